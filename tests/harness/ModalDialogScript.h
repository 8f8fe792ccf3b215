#pragma once

#include <wx/modalhook.h>
#include <wx/string.h>

#include <deque>
#include <functional>
#include <string>

class wxDialog;

// Scripts the modal dialogs of a window test. Every ShowModal() of the process (wxDialog,
// wxMessageDialog/wxMessageBox, wxFileDialog, wxDirDialog) comes here first and is answered by the
// next queued expectation, without the dialog ever being shown:
//
//     Dialogs().Expect("name dialog", [](wxDialog* pDialog)
//     {
//         EXPECT_EQ(pDialog->GetTitle(), "Your name");
//         FindChild<wxTextCtrl>(pDialog, "name")->SetValue("Ada");
//         return wxID_OK;
//     });
//
// As when the dialog is shown and its OK button pressed, an ordinary dialog gets its init-dialog
// event (TransferDataToWindow) before the handler runs, and validates and transfers its data
// (Validate, TransferDataFromWindow) when the handler returns its affirmative id; a refusal fails
// the test and the dialog answers wxID_CANCEL. The toolkit's own message, file and folder dialogs
// get neither; read their texts through wxMessageDialogBase, wxFileDialogBase, wxDirDialogBase.
// On GTK a file or folder chooser that was never shown has no path to give, whatever the handler
// sets: an OK answer without a path fails the test. Code that asks for files goes through
// tUserPrompts(), which tests script with ScriptedUserPrompts.
//
// A modal dialog with no expectation left fails the test (with its title and message) and answers
// wxID_CANCEL. Handlers may show further dialogs; those take the next expectations.
// Main thread only. GuiTest checks for expectations left over at the end of every test.
class ModalDialogScript : public wxModalDialogHook
{
public:
    // Receives the dialog about to be shown and returns what ShowModal() should return (never
    // wxID_NONE). It may inspect the dialog and fill in its controls.
    using Handler = std::function<int(wxDialog* pDialog)>;

    // The one script of the process, registered by the window test main.
    static ModalDialogScript& Get();

    // Queues the answer to the next modal dialog not yet answered; sWhat names it in failures.
    void Expect(Handler fnHandler);
    void Expect(const std::string& sWhat, Handler fnHandler);

    // Number of expectations not yet used.
    size_t Pending() const { return m_expectations.size(); }

    // Fails the running test once for every expectation not used, then forgets them.
    void VerifyAndClear();
    // Forgets the expectations without failing.
    void Clear()
    {
        m_expectations.clear();
        m_nQueued = 0;
    }

protected:
    int Enter(wxDialog* pDialog) override;

private:
    struct Expectation
    {
        std::string sWhat;
        Handler fnHandler;
    };

    std::deque<Expectation> m_expectations;
    int m_nQueued = 0;
};

// A handler that answers nResult without looking at the dialog.
ModalDialogScript::Handler AnswerWith(int nResult);
