#pragma once

#include "Shared/UserPrompts.h"

#include <wx/arrstr.h>

#include <deque>
#include <vector>

// User prompts that record every call and answer from a queue, in the order of the calls. A call
// whose queued answer is of another kind (a message answered by a file, say), or that finds the
// queue empty, fails the test and gets the silent answer (cancel, no, empty). GuiTest installs one
// for every test and checks for answers left over at its end.
class ScriptedUserPrompts : public tcUserPrompts
{
public:
    enum class Kind
    {
        Message,
        File,
        Directory
    };

    // One call with its arguments. sMessage is the text of a message or the message of a chooser;
    // sDefaultDir is also the default path of a folder chooser.
    struct Call
    {
        Kind eKind = Kind::Message;
        wxString sMessage;
        wxString sCaption;
        wxString sDefaultDir;
        wxString sDefaultFile;
        wxString sWildcard;
        long nStyle = 0;
        wxWindow* pParent = nullptr;
        // The filter index a multiple-file chooser was shown with (-1 for other calls).
        int nFilterIndex = -1;
        // What the user would have seen at the time: the titles of the top-level windows shown,
        // and whether pParent was shown on the screen (false without one).
        wxArrayString asShownWindows;
        bool bParentShown = false;
    };

    // Queue the answer to the next prompt: a button (wxOK, wxYES, wxNO, wxCANCEL) or a path
    // (empty for cancel).
    void AnswerMessage(int nButton);
    void AnswerFile(const wxString& sPath);
    void AnswerDirectory(const wxString& sPath);
    // The answer to a ChooseFiles call (a file chooser too): the paths (none for cancel) and the
    // filter index the user left selected.
    void AnswerFiles(const wxArrayString& asPaths, int nFilterIndex);

    // Busy notices begun so far, oldest first (they need no answer).
    const std::vector<wxString>& BusyNotices() const { return m_busyNotices; }

    // Every call so far, oldest first.
    const std::vector<Call>& Calls() const { return m_calls; }

    // Fails the running test once for every answer not used, then forgets answers and calls.
    void VerifyAndClear();

    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent) override;
    wxString ChooseFile(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                        const wxString& sWildcard, long nStyle, wxWindow* pParent) override;
    wxString ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent) override;
    wxArrayString ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                              const wxString& sWildcard, long nStyle, int& nFilterIndex, wxWindow* pParent) override;
    void BeginBusyNotice(const wxString& sText) override { m_busyNotices.push_back(sText); }

private:
    struct Answer
    {
        Kind eKind = Kind::Message;
        int nButton = 0;
        wxString sPath;
        wxArrayString asPaths;
        int nFilterIndex = -1;
    };

    // Takes the next answer if it is of kind eKind; otherwise fails the test and returns false.
    bool Take(const Call& call, Answer& answer);

    std::deque<Answer> m_answers;
    std::vector<Call> m_calls;
    std::vector<wxString> m_busyNotices;
    tcSilentUserPrompts m_silent;
};

// "message", "file chooser" or "folder chooser", for failure texts.
const char* KindName(ScriptedUserPrompts::Kind eKind);
