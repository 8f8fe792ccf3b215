#pragma once

#include "tests/harness/EventPump.h"
#include "tests/harness/ModalDialogScript.h"
#include "tests/harness/ScriptedUserPrompts.h"

#include <gtest/gtest.h>
#include <wx/window.h>

class wxAnyButton;

// Base of the window tests. Each test gets scripted user prompts (installed as tUserPrompts()) and
// the modal-dialog script; at its end, top-level windows it left open are destroyed (pumping until
// they are gone), and expectations and answers it did not use fail it.
class GuiTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    ModalDialogScript& Dialogs() { return ModalDialogScript::Get(); }
    ScriptedUserPrompts& Prompts() { return m_prompts; }

private:
    ScriptedUserPrompts m_prompts;
};

// Destroys every top-level window and pumps until all are deleted; false (and a test failure)
// when some remain after nTimeoutMs.
bool DestroyTopLevelWindows(int nTimeoutMs = 10000);

// Sends pButton the wxEVT_BUTTON a click would, synchronously and through the same path as the
// toolkit (an exception escaping the handler fails the test).
void ClickButton(wxAnyButton* pButton);

// The window named sName (the name given at its creation) in pParent's tree, as a T; null when
// there is none or it is no T.
template <typename T> T* FindChild(wxWindow* pParent, const wxString& sName)
{
    return dynamic_cast<T*>(pParent->FindWindow(sName));
}
