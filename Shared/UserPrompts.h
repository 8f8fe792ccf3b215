#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

class wxWindow;

// What a file chooser is for (ChooseFile's nStyle), combined with "|". The seam has flags of its
// own so that window-free code needs no window header.
enum tePromptFileFlags : long
{
    PROMPT_FILE_OPEN = 0x01,
    PROMPT_FILE_SAVE = 0x02,
    PROMPT_FILE_OVERWRITE_PROMPT = 0x04, // save: ask before replacing an existing file
    PROMPT_FILE_MUST_EXIST = 0x08,       // open: only an existing file can be chosen
    PROMPT_FILE_MULTIPLE = 0x10,         // open: several files can be chosen (ChooseFiles)
};

// What window-free code asks of the user: a message or question, a file, a folder. The code calls
// tUserPrompts() and never shows a window itself; the application installs prompts that show the
// toolkit's dialogs, tests install prompts that answer from a script. Main thread only.
class tcUserPrompts
{
public:
    virtual ~tcUserPrompts() = default;

    // Shows sText with the buttons and icon that nStyle asks for (wxOK, wxYES_NO, wxCANCEL,
    // wxICON_*, as for wxMessageBox) and returns the button chosen: wxOK, wxYES, wxNO or wxCANCEL.
    // pParent may be null.
    virtual int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent) = 0;

    // Lets the user choose one file; nStyle takes the PROMPT_FILE_* flags (other bits are ignored).
    // sWildcard is in the wxFileDialog form ("XLIFF files (*.xlf)|*.xlf"). Returns the full path,
    // empty when cancelled.
    virtual wxString ChooseFile(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                                const wxString& sWildcard, long nStyle, wxWindow* pParent) = 0;

    // Lets the user choose a folder; returns its path, empty when cancelled.
    virtual wxString ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent) = 0;

    // Lets the user choose files: several when nStyle has PROMPT_FILE_MULTIPLE. nFilterIndex is the
    // wildcard entry shown first and receives the one the user left selected. Returns the full
    // paths, none when cancelled. This default chooses one file through ChooseFile and leaves
    // nFilterIndex as it is.
    virtual wxArrayString ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir,
                                      const wxString& sDefaultFile, const wxString& sWildcard, long nStyle,
                                      int& nFilterIndex, wxWindow* pParent);

    // A notice such as "Saving, please wait..." shown from BeginBusyNotice until EndBusyNotice
    // (calls pair up and do not nest). The default only logs the text.
    virtual void BeginBusyNotice(const wxString& sText);
    virtual void EndBusyNotice() {}
};

// Shows a busy notice through tUserPrompts() for its lifetime.
class tcBusyNotice
{
public:
    explicit tcBusyNotice(const wxString& sText);
    ~tcBusyNotice();
    tcBusyNotice(const tcBusyNotice&) = delete;
    tcBusyNotice& operator=(const tcBusyNotice&) = delete;
};

// The prompts used when nobody can answer (nothing installed, no-user-interaction mode): nothing is
// shown. A message is logged as "MSG: " + text and answered with the most cautious button the
// style offers (wxCANCEL, else wxNO, else wxOK); the choosers answer empty.
class tcSilentUserPrompts : public tcUserPrompts
{
public:
    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent) override;
    wxString ChooseFile(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                        const wxString& sWildcard, long nStyle, wxWindow* pParent) override;
    wxString ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent) override;
};

// The installed prompts; the silent ones while none are installed.
tcUserPrompts& tUserPrompts();

// Installs pPrompts (not owned: it must outlive its installation); null restores the silent ones.
void tSetUserPrompts(tcUserPrompts* pPrompts);
