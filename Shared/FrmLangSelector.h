#pragma once

#include "varnak/include/tcEvent.h"

#include <wx/panel.h>

class wxBoxSizer;
class wxChoice;

// Fired when a language selector's language, script or region changes (arg1: null, arg2: the
// selector). Alive from static initialisation.
extern tcEvent Evt_LangSelector_Changed;

// Choices of language, script and region (and a variant choice while the language has variants)
// that compose a language tag through the language database (tGetLanguageDatabase). The language
// list holds the offered languages with the offered grandfathered tags merged in by key. A language
// with an implied script preselects it; the composer then leaves the script out ("en", not
// "en-Latn"). Without a database only the placeholder is offered. Main thread only.
class CVRLangSelector : public wxPanel
{
public:
    enum
    {
        ID_LANGUAGE = 20050,
        ID_SCRIPT = 20051,
        ID_REGION = 20052
    };

    // sLanguage preselects the list entry with exactly that key (a whole tag such as "en-US"
    // preselects nothing). bEnableMode: script and region are disabled rather than hidden while no
    // language is chosen. pParent must not be null.
    CVRLangSelector(wxWindow* pParent, wxWindowID nID, const wxString& sLanguage, bool bEnableMode);

    // The composed tag, empty while the placeholder is selected.
    wxString GetSelectedLanguageCode() const;

    wxChoice* GetLanguageChoice() const { return m_pLanguage; }
    wxChoice* GetScriptChoice() const { return m_pScript; }
    wxChoice* GetRegionChoice() const { return m_pRegion; }
    // Null while the language has no more than one variant.
    wxChoice* GetVariantChoice() const { return m_pVariant; }

    // Selects the language entry at nIndex as a user would, with the events that follow.
    void SelectLanguage(int nIndex);

private:
    void OnLangSelectionChanged(wxCommandEvent& event);
    void OnScriptChanged(wxCommandEvent& event);
    void OnRegionChanged(wxCommandEvent& event);
    void ProcessLangSelectionChanged();
    void ShowScriptAndRegion(bool bShow);
    void DestroyVariant();

    wxBoxSizer* m_pSizer = nullptr;
    wxChoice* m_pLanguage = nullptr;
    wxChoice* m_pScript = nullptr;
    wxChoice* m_pRegion = nullptr;
    wxChoice* m_pVariant = nullptr;
    bool m_bEnableMode;

    wxDECLARE_EVENT_TABLE();
};
