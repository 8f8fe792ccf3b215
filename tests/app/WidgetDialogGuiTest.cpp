#include "app/WidgetDialog.h"

#include "tests/harness/GuiTest.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <functional>

namespace
{
using WidgetDialogGui = GuiTest;

// Runs the dialog's own modal loop, without the test script answering for it, and lets fnAct act
// on the dialog once the loop runs. A loop still running after 10 s is ended with -1, so a dialog
// that ignores the action fails the test instead of hanging it.
int ShowModalForReal(wxDialog& dialog, std::function<void()> fnAct)
{
    ModalDialogScript::Get().Unregister();
    wxTimer safety;
    safety.Bind(wxEVT_TIMER,
                [&](wxTimerEvent&)
                {
                    if (dialog.IsModal())
                        dialog.EndModal(-1);
                });
    safety.StartOnce(10000);
    dialog.CallAfter(fnAct);
    const int nResult = dialog.ShowModal();
    safety.Stop();
    ModalDialogScript::Get().Register();
    return nResult;
}

TEST_F(WidgetDialogGui, CallersControlsGoAboveTheButtonRow)
{
    CWidgetDialog dialog(nullptr, wxID_ANY, "Output");
    wxSizer* pSizer = dialog.GetSizer();
    ASSERT_NE(pSizer, nullptr);
    auto* pFile = new wxTextCtrl(&dialog, wxID_ANY, "target.txt");
    auto* pLanguage = new wxTextCtrl(&dialog, wxID_ANY, "de");
    pSizer->Insert(0, pFile, 0, wxEXPAND | wxALL, 4);
    pSizer->Insert(1, pLanguage, 0, wxEXPAND | wxALL, 4);
    dialog.Fit();

    ASSERT_EQ(pSizer->GetItemCount(), 3u);
    EXPECT_EQ(pSizer->GetItem(size_t(0))->GetWindow(), pFile);
    EXPECT_EQ(pSizer->GetItem(size_t(1))->GetWindow(), pLanguage);
    wxSizer* pRow = pSizer->GetItem(size_t(2))->GetSizer();
    ASSERT_NE(pRow, nullptr);
    ASSERT_EQ(pRow->GetItemCount(), 2u);
    wxWindow* pOk = pRow->GetItem(size_t(0))->GetWindow();
    wxWindow* pCancel = pRow->GetItem(size_t(1))->GetWindow();
    ASSERT_TRUE(pOk && pCancel);
    EXPECT_EQ(pOk->GetId(), 5100);
    EXPECT_EQ(pOk->GetLabel(), "OK");
    EXPECT_EQ(pCancel->GetId(), 5101);
    EXPECT_EQ(pCancel->GetLabel(), "Cancel");
    // The row sits below the controls, centred.
    EXPECT_GT(pOk->GetPosition().y, pLanguage->GetPosition().y);
    const int nRowCentre = (pOk->GetRect().GetLeft() + pCancel->GetRect().GetRight()) / 2;
    EXPECT_NEAR(nRowCentre, dialog.GetClientSize().GetWidth() / 2, 3);
}

TEST_F(WidgetDialogGui, OkGivesOkAndEveryOtherWayOutGivesCancel)
{
    struct Case
    {
        const char* szWhat;
        void (*pfnAct)(wxDialog& dialog);
        int nResult;
    };
    static const Case s_cases[] = {
        {"OK button", [](wxDialog& d) { ClickButton(static_cast<wxButton*>(d.FindWindow(wxID_OK))); }, 5100},
        {"Cancel button", [](wxDialog& d) { ClickButton(static_cast<wxButton*>(d.FindWindow(wxID_CANCEL))); }, 5101},
        {"close box", [](wxDialog& d) { d.Close(); }, 5101},
        {"Escape",
         [](wxDialog& d)
         {
             wxKeyEvent key(wxEVT_CHAR_HOOK);
             key.m_keyCode = WXK_ESCAPE;
             key.SetEventObject(&d);
             d.HandleWindowEvent(key);
         },
         5101},
    };
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szWhat);
        CWidgetDialog dialog(nullptr, wxID_ANY, "Output");
        dialog.GetSizer()->Insert(0, new wxTextCtrl(&dialog, wxID_ANY, "x"), 0, wxEXPAND | wxALL, 4);
        dialog.Fit();
        EXPECT_EQ(ShowModalForReal(dialog, [&]() { c.pfnAct(dialog); }), c.nResult);
    }
}

TEST_F(WidgetDialogGui, WithoutControlsItIsTheButtonRow)
{
    CWidgetDialog dialog(nullptr, wxID_ANY, "Empty");
    dialog.Fit();
    wxWindow* pOk = dialog.FindWindow(wxID_OK);
    wxWindow* pCancel = dialog.FindWindow(wxID_CANCEL);
    ASSERT_TRUE(pOk && pCancel);
    EXPECT_EQ(pOk->GetPosition().y, pCancel->GetPosition().y);
    EXPECT_LT(pOk->GetPosition().x, pCancel->GetPosition().x);
    EXPECT_LE(dialog.GetClientSize().GetHeight(), pOk->GetSize().GetHeight() + 2 * 4 + 2);
}
} // namespace
