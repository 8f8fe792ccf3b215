#include "Shared/FrmLangSelector.h"

#include "varnak/include/tAssert.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLanguageDatabase.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/wupdlock.h>

#include <algorithm>

tcEvent Evt_LangSelector_Changed("Evt_LangSelector_Changed");

namespace
{
constexpr int kChoiceWidth = 94;

// At least the fixed width, and wide enough for the placeholders ("<Language>") to be read whole.
void SetMinimumWidth(wxChoice* pChoice)
{
    pChoice->SetMinSize(wxSize(std::max(kChoiceWidth, pChoice->GetBestSize().x), -1));
}

wxString SelectedText(const wxChoice* pChoice)
{
    if (!pChoice || pChoice->GetSelection() <= 0)
        return wxString();
    return pChoice->GetString(pChoice->GetSelection());
}
} // namespace

CVRLangSelector::CVRLangSelector(wxWindow* pParent, wxWindowID nID, const wxString& sLanguage, bool bEnableMode)
    : wxPanel(pParent, nID, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxTAB_TRAVERSAL),
      m_bEnableMode(bEnableMode)
{
    tcDebugInfo debugInfo("CVRLangSelector::CVRLangSelector");
    T_ASSERT(pParent);
    const tcLanguageDatabase* pDatabase = tGetLanguageDatabase();
    const wxSize size(kChoiceWidth, -1);

    m_pLanguage = new wxChoice(this, ID_LANGUAGE, wxDefaultPosition, size);
    {
        wxWindowUpdateLocker freeze(m_pLanguage);
        wxArrayString asItems;
        asItems.push_back(g_LocEngine.FindTranslation("SELECT_LANGUAGE"));
        if (pDatabase)
        {
            size_t nGrand = 0;
            const auto& grand = pDatabase->m_paGrandFatherList;
            for (const auto& pLanguage : pDatabase->m_paLanguageList)
            {
                for (; nGrand < grand.size() && teStrcmp(grand[nGrand]->m_sKey, pLanguage->m_sKey) <= 0; ++nGrand)
                    if (grand[nGrand]->IsOffered())
                        asItems.push_back(grand[nGrand]->m_sKey);
                if (pLanguage->IsOffered())
                    asItems.push_back(pLanguage->m_sKey);
            }
        }
        m_pLanguage->Append(asItems);
        const int nInitial = sLanguage.empty() ? wxNOT_FOUND : m_pLanguage->FindString(sLanguage, true);
        m_pLanguage->SetSelection(nInitial > 0 ? nInitial : 0);
    }

    m_pScript = new wxChoice(this, ID_SCRIPT, wxDefaultPosition, size);
    m_pScript->Append(g_LocEngine.FindTranslation("SELECT_SCRIPT"));
    m_pRegion = new wxChoice(this, ID_REGION, wxDefaultPosition, size);
    m_pRegion->Append(g_LocEngine.FindTranslation("SELECT_REGION"));
    if (pDatabase)
    {
        wxArrayString asScripts;
        for (const auto& pScript : pDatabase->m_paScriptList)
            if (pScript->IsOffered())
                asScripts.push_back(pScript->m_sKey);
        m_pScript->Append(asScripts);
        wxArrayString asRegions;
        for (const auto& pRegion : pDatabase->m_paRegionList)
            if (pRegion->IsOffered())
                asRegions.push_back(pRegion->m_sKey);
        m_pRegion->Append(asRegions);
    }
    m_pScript->SetSelection(0);
    m_pRegion->SetSelection(0);

    {
        tcDebugInfo processInfo("CVRLangSelector::OnLangSelectionChanged");
        ProcessLangSelectionChanged();
    }

    m_pSizer = new wxBoxSizer(wxHORIZONTAL);
    for (wxChoice* pChoice : {m_pLanguage, m_pScript, m_pRegion, m_pVariant})
    {
        if (!pChoice)
            continue;
        SetMinimumWidth(pChoice);
        m_pSizer->Add(pChoice, 1, wxALL, 2);
    }
    SetSizer(m_pSizer);
}

void CVRLangSelector::ShowScriptAndRegion(bool bShow)
{
    for (wxChoice* pChoice : {m_pScript, m_pRegion})
    {
        if (m_bEnableMode)
            pChoice->Enable(bShow);
        else
            pChoice->Show(bShow);
    }
}

void CVRLangSelector::DestroyVariant()
{
    if (!m_pVariant)
        return;
    if (m_pSizer)
        m_pSizer->Detach(m_pVariant);
    m_pVariant->Destroy();
    m_pVariant = nullptr;
}

void CVRLangSelector::ProcessLangSelectionChanged()
{
    const tcLanguageDatabase* pDatabase = tGetLanguageDatabase();
    const wxString sLanguage = SelectedText(m_pLanguage);
    const tcLanguageRecord* pRecord = nullptr;
    if (!sLanguage.empty() && pDatabase && !pDatabase->FindGrandFather(sLanguage))
    {
        for (const auto& pEntry : pDatabase->m_paLanguageList)
        {
            if (pEntry->m_sKey.CmpNoCase(sLanguage) != 0)
                continue;
            if (!pRecord)
                pRecord = pEntry.get();
            if (pEntry->IsOffered())
            {
                pRecord = pEntry.get();
                break;
            }
        }
    }

    if (!pRecord)
    {
        m_pScript->SetSelection(0);
        m_pRegion->SetSelection(0);
        ShowScriptAndRegion(false);
        DestroyVariant();
    }
    else
    {
        wxWindowUpdateLocker freeze(this);
        int nScript = 0;
        if (!pRecord->m_sImpliedScript.empty())
        {
            const int nFound = m_pScript->FindString(pRecord->m_sImpliedScript, true);
            if (nFound > 0)
                nScript = nFound;
        }
        m_pScript->SetSelection(nScript);
        ShowScriptAndRegion(true);
        DestroyVariant();
        if (pRecord->m_paVariants.size() > 1)
        {
            m_pVariant = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxSize(kChoiceWidth, -1));
            m_pVariant->Append(g_LocEngine.FindTranslation("SELECT_VARIANT"));
            for (const tcLanguageVariant* pVariant : pRecord->m_paVariants)
                if (pVariant->IsOffered())
                    m_pVariant->Append(pVariant->m_sKey);
            m_pVariant->SetSelection(0);
            if (m_pSizer)
            {
                SetMinimumWidth(m_pVariant);
                m_pSizer->Add(m_pVariant, 1, wxALL, 2);
            }
        }
    }

    if (m_pSizer)
    {
        m_pSizer->Layout();
        if (GetParent())
            GetParent()->Layout();
        Refresh();
        Evt_LangSelector_Changed.Trigger(nullptr, this);
    }
}

wxString CVRLangSelector::GetSelectedLanguageCode() const
{
    const wxString sLanguage = SelectedText(m_pLanguage);
    const tcLanguageDatabase* pDatabase = tGetLanguageDatabase();
    if (sLanguage.empty() || !pDatabase)
        return wxString();
    return pDatabase->GetLanguageCode(sLanguage, SelectedText(m_pScript), SelectedText(m_pRegion),
                                      SelectedText(m_pVariant));
}

void CVRLangSelector::SelectLanguage(int nIndex)
{
    m_pLanguage->SetSelection(nIndex);
    tcDebugInfo debugInfo("CVRLangSelector::OnLangSelectionChanged");
    ProcessLangSelectionChanged();
}

void CVRLangSelector::OnLangSelectionChanged(wxCommandEvent&)
{
    tcDebugInfo debugInfo("CVRLangSelector::OnLangSelectionChanged");
    ProcessLangSelectionChanged();
}

void CVRLangSelector::OnScriptChanged(wxCommandEvent&)
{
    if (m_pSizer)
        Evt_LangSelector_Changed.Trigger(nullptr, this);
}

void CVRLangSelector::OnRegionChanged(wxCommandEvent&)
{
    if (m_pSizer)
        Evt_LangSelector_Changed.Trigger(nullptr, this);
}

// clang-format off
wxBEGIN_EVENT_TABLE(CVRLangSelector, wxPanel)
    EVT_CHOICE(CVRLangSelector::ID_LANGUAGE, CVRLangSelector::OnLangSelectionChanged)
    EVT_CHOICE(CVRLangSelector::ID_SCRIPT, CVRLangSelector::OnScriptChanged)
    EVT_CHOICE(CVRLangSelector::ID_REGION, CVRLangSelector::OnRegionChanged)
wxEND_EVENT_TABLE()
// clang-format on
