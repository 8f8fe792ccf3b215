#include "tests/harness/GuiTest.h"

#include "Shared/UserPrompts.h"
#include "tests/harness/Screenshot.h"

#include <gtest/gtest-spi.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>
#include <wx/weakref.h>

#include <stdexcept>

namespace
{
// One click asks for a name in a dialog of its own, confirms it in a message box and asks through
// the user prompts where to save it: the three interruptions a window test has to answer.
class NameFrame : public wxFrame
{
public:
    NameFrame() : wxFrame(nullptr, wxID_ANY, "Names", wxDefaultPosition, wxSize(400, 200))
    {
        m_pButton = new wxButton(this, wxID_ANY, "Enter name");
        m_pButton->Bind(wxEVT_BUTTON, &NameFrame::OnEnterName, this);
    }

    wxButton* m_pButton;
    wxString m_sName;
    bool m_bConfirmed = false;
    wxString m_sSavePath;

private:
    void OnEnterName(wxCommandEvent&)
    {
        wxDialog dialog(this, wxID_ANY, "Your name");
        auto* pText = new wxTextCtrl(&dialog, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0,
                                     wxDefaultValidator, "name");
        auto* pSizer = new wxBoxSizer(wxVERTICAL);
        pSizer->Add(pText, 0, wxEXPAND | wxALL, 8);
        pSizer->Add(dialog.CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
        dialog.SetSizerAndFit(pSizer);
        if (dialog.ShowModal() != wxID_OK)
            return;
        m_sName = pText->GetValue();
        m_bConfirmed =
            wxMessageBox("Keep the name " + m_sName + "?", "Confirm", wxYES_NO | wxICON_QUESTION, this) == wxYES;
        if (m_bConfirmed)
            m_sSavePath =
                tUserPrompts().ChooseFile("Save the name", wxString(), m_sName + ".txt", "Text files (*.txt)|*.txt",
                                          PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT, this);
    }
};

class GuiHarness : public GuiTest
{
};

TEST_F(GuiHarness, ScriptsTheDialogsAndPromptsOfAClick)
{
    auto* pFrame = new NameFrame;
    pFrame->Show();
    ASSERT_TRUE(PumpUntil([&]() { return pFrame->IsShownOnScreen(); }));

    Dialogs().Expect("name dialog",
                     [](wxDialog* pDialog)
                     {
                         EXPECT_EQ(pDialog->GetTitle(), "Your name");
                         auto* pText = FindChild<wxTextCtrl>(pDialog, "name");
                         if (!pText)
                         {
                             ADD_FAILURE() << "The name dialog has no name control";
                             return wxID_CANCEL;
                         }
                         pText->SetValue("Ada");
                         return wxID_OK;
                     });
    Dialogs().Expect("confirmation",
                     [](wxDialog* pDialog)
                     {
                         auto* pMessage = dynamic_cast<wxMessageDialogBase*>(pDialog);
                         EXPECT_NE(pMessage, nullptr);
                         EXPECT_EQ(pMessage ? pMessage->GetMessage() : wxString(), "Keep the name Ada?");
                         EXPECT_EQ(pDialog->GetTitle(), "Confirm");
                         return wxID_YES;
                     });
    Prompts().AnswerFile("/tmp/names/Ada.txt");

    ClickButton(pFrame->m_pButton);

    EXPECT_EQ(Dialogs().Pending(), 0u);
    EXPECT_EQ(pFrame->m_sName, "Ada");
    EXPECT_TRUE(pFrame->m_bConfirmed);
    EXPECT_EQ(pFrame->m_sSavePath, "/tmp/names/Ada.txt");
    ASSERT_EQ(Prompts().Calls().size(), 1u);
    const ScriptedUserPrompts::Call& call = Prompts().Calls()[0];
    EXPECT_EQ(call.eKind, ScriptedUserPrompts::Kind::File);
    EXPECT_EQ(call.sMessage, "Save the name");
    EXPECT_EQ(call.sDefaultFile, "Ada.txt");
    EXPECT_EQ(call.sWildcard, "Text files (*.txt)|*.txt");
    EXPECT_EQ(call.nStyle, PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT);
    EXPECT_EQ(call.pParent, pFrame);
    EXPECT_TRUE(ScreenshotIfAsked("harness-name-frame"));

    wxWeakRef<wxFrame> pAlive(pFrame);
    pFrame->Close();
    EXPECT_TRUE(PumpUntil([&]() { return !pAlive; }));
}

int ShowMessageBox()
{
    return wxMessageBox("Nobody scripted me", "Surprise", wxOK);
}

int ShowPlainDialog()
{
    wxDialog dialog(nullptr, wxID_ANY, "Plain surprise");
    return dialog.ShowModal();
}

int ShowFileDialog()
{
    wxFileDialog dialog(nullptr, "File surprise", wxString(), wxString(), "*.*", wxFD_OPEN);
    return dialog.ShowModal();
}

int ShowDirDialog()
{
    wxDirDialog dialog(nullptr, "Folder surprise");
    return dialog.ShowModal();
}

TEST_F(GuiHarness, AnUnexpectedModalDialogFailsTheTestAndIsCancelled)
{
    struct Case
    {
        const char* szKind;
        int (*pfnShow)();
        const char* szFailure;
        int nResult;
    };
    static const Case s_cases[] = {
        {"message box", ShowMessageBox, "Unexpected modal dialog \"Surprise\" saying \"Nobody scripted me\"", wxCANCEL},
        {"own dialog", ShowPlainDialog, "Unexpected modal dialog \"Plain surprise\"", wxID_CANCEL},
        {"file dialog", ShowFileDialog, "Unexpected modal dialog \"File surprise\"", wxID_CANCEL},
        {"folder dialog", ShowDirDialog, "Unexpected modal dialog \"Folder surprise\"", wxID_CANCEL},
    };
    static const Case* s_pCase;
    static int s_nResult;
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szKind);
        s_pCase = &c;
        s_nResult = wxID_NONE;
        EXPECT_NONFATAL_FAILURE(s_nResult = s_pCase->pfnShow(), c.szFailure);
        EXPECT_EQ(s_nResult, c.nResult);
    }
}

wxString ChooseWithScriptedOk()
{
    wxFileDialog dialog(nullptr, "Open memory", wxString(), wxString(), "*.tmx", wxFD_OPEN);
    ModalDialogScript::Get().Expect("file chooser",
                                    [](wxDialog* pDialog)
                                    {
                                        static_cast<wxFileDialog*>(pDialog)->SetPath("/tmp/memory.tmx");
                                        return wxID_OK;
                                    });
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString("(cancelled)");
}

// Guards against a test that would believe it chose a file while the code receives none.
TEST_F(GuiHarness, AFileChooserAnsweredOkWithoutAPathFailsTheTest)
{
    static wxString s_sPath;
    EXPECT_NONFATAL_FAILURE(s_sPath = ChooseWithScriptedOk(),
                            "The chooser \"Open memory\" gives no path after the scripted OK of file chooser");
    EXPECT_EQ(s_sPath, "(cancelled)");
}

TEST_F(GuiHarness, ScriptedAnswersNeverAskedForFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDialogScript::Get().Expect("the save question", AnswerWith(wxID_YES));
            ModalDialogScript::Get().VerifyAndClear();
        },
        "Expected modal dialog never shown: the save question");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserPrompts prompts;
            prompts.AnswerDirectory("/tmp");
            prompts.VerifyAndClear();
        },
        "Scripted folder chooser answer never asked for");
}

TEST_F(GuiHarness, UnscriptedOrMismatchedPromptsFailAndGetTheSilentAnswer)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserPrompts prompts;
            EXPECT_EQ(prompts.ShowMessage("Overwrite?", "Save", wxYES_NO, nullptr), wxNO);
        },
        "Unexpected message \"Overwrite?\"");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserPrompts prompts;
            prompts.AnswerMessage(wxYES);
            EXPECT_EQ(prompts.ChooseFile("Open", "", "", "", PROMPT_FILE_OPEN, nullptr), "");
            EXPECT_EQ(prompts.Calls().size(), 1u);
        },
        "A file chooser \"Open\" met the scripted answer to a message");
}

// Refuses every value, as a validator does when the user typed something wrong.
class RefusingValidator : public wxValidator
{
public:
    wxObject* Clone() const override { return new RefusingValidator; }
    bool Validate(wxWindow*) override { return false; }
    bool TransferToWindow() override { return true; }
    bool TransferFromWindow() override { return true; }
};

int ShowRefusingDialog()
{
    wxDialog dialog(nullptr, wxID_ANY, "Strict");
    new wxTextCtrl(&dialog, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0, RefusingValidator());
    ModalDialogScript::Get().Expect("strict dialog", AnswerWith(wxID_OK));
    return dialog.ShowModal();
}

TEST_F(GuiHarness, AnOkAnswerValidatesAndTransfersLikeTheOkButton)
{
    wxString sName = "before";
    wxDialog dialog(nullptr, wxID_ANY, "Validated");
    new wxTextCtrl(&dialog, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0,
                   wxTextValidator(wxFILTER_NONE, &sName), "name");
    auto answerWithText = [](const wxString& sText, int nResult)
    {
        return [sText, nResult](wxDialog* pDialog)
        {
            FindChild<wxTextCtrl>(pDialog, "name")->SetValue(sText);
            return nResult;
        };
    };

    Dialogs().Expect("cancelled", answerWithText("ignored", wxID_CANCEL));
    EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
    EXPECT_EQ(sName, "before");

    Dialogs().Expect("accepted",
                     [&](wxDialog* pDialog)
                     {
                         // The dialog was initialised from its data, as on showing.
                         EXPECT_EQ(FindChild<wxTextCtrl>(pDialog, "name")->GetValue(), "before");
                         return answerWithText("after", wxID_OK)(pDialog);
                     });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(sName, "after");

    static int s_nResult;
    EXPECT_NONFATAL_FAILURE(s_nResult = ShowRefusingDialog(),
                            "The dialog \"Strict\" refused the values of the script of strict dialog");
    EXPECT_EQ(s_nResult, wxID_CANCEL);
}

wxButton* g_pThrowingButton = nullptr;

void ClickThrowingButton()
{
    ClickButton(g_pThrowingButton);
}

void FailAnAssertion()
{
    wxFAIL_MSG("the sky fell");
}

void LogAnError()
{
    wxLogError("Cannot open %s", "memory.tmx");
}

// What would stop a person (an assertion box, a logged error box) or end the program (an exception
// through the toolkit) fails the test instead, and the test runs on.
TEST_F(GuiHarness, WhatTheUserWouldSeeFailsTheTest)
{
    auto* pFrame = new wxFrame(nullptr, wxID_ANY, "Thrower");
    g_pThrowingButton = new wxButton(pFrame, wxID_ANY, "Throw");
    g_pThrowingButton->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { throw std::runtime_error("handler broke"); });
    struct Case
    {
        const char* szKind;
        void (*pfnDo)();
        const char* szFailure;
    };
    static const Case s_cases[] = {
        {"exception", ClickThrowingButton, "Exception escaped an event handler: handler broke"},
        {"assertion", FailAnAssertion, "the sky fell"},
        {"logged error", LogAnError, "wxLog would show the user: Cannot open memory.tmx"},
    };
    static const Case* s_pCase;
    for (const Case& c : s_cases)
    {
        SCOPED_TRACE(c.szKind);
        s_pCase = &c;
        EXPECT_NONFATAL_FAILURE(s_pCase->pfnDo(), c.szFailure);
    }
}
} // namespace
