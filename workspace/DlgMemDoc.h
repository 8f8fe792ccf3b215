#pragma once

#include <wx/dialog.h>

class CVRMemDoc;
class CVRMemDocManager;
class wxButton;
class wxTextCtrl;

// The modal dialog in which the user names the translation memory of a project whose memory cannot
// be found: Open picks an existing file, New names a file that need not exist yet, or the path is
// typed in the field; OK is enabled while the field holds text. The file choosers go through
// tUserPrompts(). Main thread only.
class CDlgMemDoc : public wxDialog
{
public:
    // Control identifiers. The buttons have the toolkit's standard identifiers, so OK, Cancel,
    // Escape and the close box end the dialog as in any other.
    enum
    {
        ID_OPEN = wxID_OPEN,
        ID_NEW = wxID_NEW,
        ID_OK = wxID_OK,
        ID_CANCEL = wxID_CANCEL,
        ID_FILE = 9999
    };

    // pParent may be null; sProblem (may be empty) is shown above the usual text: why a memory has
    // to be chosen (the project's own could not be opened).
    explicit CDlgMemDoc(wxWindow* pParent, const wxString& sProblem = wxString());

    // The path in the field when the dialog was closed with OK; empty after Cancel (or the close
    // box or Escape) and before the dialog was closed.
    const wxString& GetFileName() const { return m_sFileName; }

private:
    void OnOpen(wxCommandEvent& event);
    void OnNew(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnTextChanged(wxCommandEvent& event);

    // Lets the user choose a TMX file with the chooser style nStyle and puts it into the field.
    void ChooseInto(long nStyle);

    wxString m_sFileName;
    wxButton* m_pOKButton = nullptr;
    wxTextCtrl* m_pFileField = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// Asks the user for the memory of a project until one opens, and returns it held by manager (release
// it there). A named file that does not exist is created as a new, empty memory once the user
// agrees; a file that cannot be opened is reported and the dialog shown again. Throws TextFailure
// with a message for the user when the user cancels the dialog, or at once in no-user-interaction
// mode, so that opening the project stops instead of asking forever.
CVRMemDoc* tAskForMemDoc(CVRMemDocManager& manager, const wxString& sProblem = wxString());
