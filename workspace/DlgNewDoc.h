#pragma once

#include <wx/arrstr.h>
#include <wx/dialog.h>

#include <vector>

class CVRFileSelector;
class CVRLangSelector;
class CVRSourceSelector;
class tcEvent;
class wxButton;
class wxCheckBox;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticBoxSizer;
class wxStaticText;

// The modal dialog describing a new project (source files with their languages, target language,
// segmentation rules, memory, auto-fill threshold) or, without the memory row, the files to add to
// the current project. The source rows split a row holding several files (";") into one row per
// file and keep one empty row last. Auto-fill settings live under "/Settings". Main thread only.
class CDlgNewDoc : public wxDialog
{
public:
    enum
    {
        ID_SOURCE = 10000,
        ID_AUTOCONVERT = 10002,
        ID_PERCENT = 10003
    };

    // bNewProject: with the memory row; false for adding files to a project.
    CDlgNewDoc(wxWindow* pParent, bool bNewProject);
    ~CDlgNewDoc() override;

    // Append the first file name of every row that has one, and those rows' language tags.
    void GetSourceFiles(wxArrayString& asFiles) const;
    void GetSourceLanguages(wxArrayString& asLanguages) const;
    wxString GetSRXFile() const;
    // Empty in add-files mode.
    wxString GetTMFile() const;
    wxString GetTargetLanguage() const;
    // The threshold while auto-fill is on, else -1.
    int GetAutoConvertPercent() const;
    bool WasCancelled() const { return m_bCancelled; }

    // For tests and the screenshot.
    const std::vector<CVRSourceSelector*>& GetSourceRows() const { return m_apSourceRows; }
    CVRFileSelector* GetSRXSelector() const { return m_pSRXSelector; }
    CVRFileSelector* GetTMSelector() const { return m_pTMSelector; }
    CVRLangSelector* GetTargetSelector() const { return m_pTargetLanguage; }
    wxButton* GetOKButton() const { return m_pOKButton; }
    wxCheckBox* GetAutoConvertBox() const { return m_pAutoConvert; }
    wxSpinCtrl* GetPercentCtrl() const { return m_pPercent; }
    const wxString& GetFileFilter() const { return m_sFileFilter; }

    // The source rows' wildcard made from the convertor registry (null: empty).
    static wxString BuildFileFilter();

private:
    void OnCancel(wxCommandEvent& event);
    void OnAutoConvert(wxCommandEvent& event);
    void OnAutoConvertPercent(wxSpinEvent& event);
    static void OnSourceFileChanged(tcEvent* pEvent, void* pOwner, void* pArg1, void* pArg2);
    static void OnSourceFileEmptied(tcEvent* pEvent, void* pOwner, void* pArg1, void* pArg2);
    void ProcessSourceFileChanged();
    void ProcessSourceFileEmptied(wxWindow* pDestroyed);
    CVRSourceSelector* AddSourceRow(const wxString& sLanguage, const wxString& sFile);
    void UpdateOKState();
    void RelayoutKeepingCentre();
    void RemoveHandlers();

    bool m_bCancelled = false;
    bool m_bNewProject;
    std::vector<CVRSourceSelector*> m_apSourceRows;
    CVRFileSelector* m_pSRXSelector = nullptr;
    CVRFileSelector* m_pTMSelector = nullptr;
    CVRLangSelector* m_pTargetLanguage = nullptr;
    wxButton* m_pOKButton = nullptr;
    wxCheckBox* m_pAutoConvert = nullptr;
    wxStaticText* m_pAutoConvertText = nullptr;
    wxSpinCtrl* m_pPercent = nullptr;
    wxString m_sFileFilter;
    wxStaticBoxSizer* m_pSourceBox = nullptr;

    wxDECLARE_EVENT_TABLE();
};
