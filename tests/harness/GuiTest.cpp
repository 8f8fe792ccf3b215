#include "tests/harness/GuiTest.h"

#include "Shared/UserPrompts.h"

#include <wx/anybutton.h>
#include <wx/toplevel.h>

#include <string>
#include <vector>

void GuiTest::SetUp()
{
    // Leftovers of a test that did not use this fixture are not this test's to answer.
    Dialogs().Clear();
    tSetUserPrompts(&m_prompts);
}

void GuiTest::TearDown()
{
    DestroyTopLevelWindows();
    Dialogs().VerifyAndClear();
    m_prompts.VerifyAndClear();
    tSetUserPrompts(nullptr);
}

bool DestroyTopLevelWindows(int nTimeoutMs)
{
    // Owned windows go with their owners; destroying them separately would delete them twice.
    std::vector<wxWindow*> roots;
    for (wxWindow* pWindow : wxTopLevelWindows)
    {
        if (!pWindow->GetParent() && !pWindow->IsBeingDeleted())
            roots.push_back(pWindow);
    }
    for (wxWindow* pWindow : roots)
        pWindow->Destroy();
    if (PumpUntil([]() { return wxTopLevelWindows.IsEmpty(); }, nTimeoutMs))
        return true;
    std::string sTitles;
    for (wxWindow* pWindow : wxTopLevelWindows)
        sTitles += " \"" + pWindow->GetLabel().utf8_string() + "\"";
    ADD_FAILURE() << "Top-level windows still alive after " << nTimeoutMs << " ms:" << sTitles;
    return false;
}

void ClickButton(wxAnyButton* pButton)
{
    wxCommandEvent event(wxEVT_BUTTON, pButton->GetId());
    event.SetEventObject(pButton);
    pButton->HandleWindowEvent(event);
}
