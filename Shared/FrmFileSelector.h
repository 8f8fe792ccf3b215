#pragma once

#include "varnak/include/tcEvent.h"

#include <wx/panel.h>

class CVRLangSelector;
class wxBoxSizer;
class wxButton;
class wxStaticText;
class wxTextCtrl;

// Fired on every change of a file selector's text: Changed when it holds text, Emptied when it was
// cleared (arg1: null, arg2: the selector). Handlers run inside the change and may change the
// selector again. Alive from static initialisation.
extern tcEvent Evt_FileSelector_Changed;
extern tcEvent Evt_FileSelector_Emptied;

// A text box with a Browse button for one file name or several separated by ";" (so a path that
// itself contains ";" cannot be given here). Browse opens the file chooser of tUserPrompts() and
// remembers the last folder and filter per selector name under
// "/UserInterface/FileSelectors/<name>". Main thread only.
class CVRFileSelector : public wxPanel
{
public:
    enum
    {
        ID_TEXT = 10000,
        ID_BROWSE = 10001
    };

    // nDialogStyle: wxFD_OPEN (1), wxFD_SAVE (2), or wxFD_OPEN | wxFD_MULTIPLE (513). An empty
    // sLabel shows no label; an empty sName remembers nothing.
    CVRFileSelector(wxWindow* pParent, const wxString& sWildcard, const wxString& sName, wxWindowID nID,
                    long nDialogStyle, const wxString& sLabel, const wxString& sFile);
    ~CVRFileSelector() override;

    // The number of ";" plus one (an empty box counts as one file with an empty name).
    int GetNumFiles() const;
    // The whole text for index 0 of one file, else the nIndex-th ";"-separated part. An index out
    // of range or a missing part is reported by assertion and gives "".
    wxString GetFileName(int nIndex) const;
    // Sets the text, which fires the change events at once.
    void SetFileName(const wxString& sFile);

    // The configuration name: sName with "/" and "\" made "_".
    const wxString& GetSelectorName() const { return m_sName; }
    static wxString SanitiseName(const wxString& sName);
    wxTextCtrl* GetTextCtrl() const { return m_pText; }

protected:
    wxBoxSizer* GetRowSizer() const { return m_pSizer; }

private:
    void OnFileChange(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);

    wxStaticText* m_pLabel = nullptr;
    wxTextCtrl* m_pText = nullptr;
    wxButton* m_pBrowse = nullptr;
    long m_nDialogStyle;
    wxString m_sWildcard;
    wxString m_sName;
    wxBoxSizer* m_pSizer = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// A file selector row with a language selector in front, for one source file.
class CVRSourceSelector : public CVRFileSelector
{
public:
    CVRSourceSelector(wxWindow* pParent, const wxString& sWildcard, wxWindowID nID, long nDialogStyle,
                      const wxString& sLanguage, const wxString& sLabel, const wxString& sFile);
    ~CVRSourceSelector() override;

    // The composed language tag, empty while no language is chosen.
    wxString GetLanguageCode() const;
    CVRLangSelector* GetLangSelector() const { return m_pLangSelector; }

private:
    CVRLangSelector* m_pLangSelector = nullptr;
};
