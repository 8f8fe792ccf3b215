#include "workspace/DlgNewDoc.h"

#include "Shared/FrmFileSelector.h"
#include "Shared/FrmLangSelector.h"
#include "Shared/Options.h"
#include "engine/ConvertorRegistry.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/statline.h>
#include <wx/textctrl.h>
#include <wx/stattext.h>
#include <wx/tokenzr.h>

#include <algorithm>

namespace
{
constexpr long kSourceStyle = wxFD_OPEN | wxFD_MULTIPLE;
const char* const kszSettings = "/Settings";

// The non-empty ";"-separated parts of a row's text: "a;" and "a;;b" make no empty row.
wxArrayString SplitFiles(const wxString& sText)
{
    wxArrayString asParts;
    wxStringTokenizer tokens(sText, ";");
    while (tokens.HasMoreTokens())
    {
        const wxString sPart = tokens.GetNextToken();
        if (!sPart.empty())
            asParts.push_back(sPart);
    }
    return asParts;
}
} // namespace

wxString CDlgNewDoc::BuildFileFilter()
{
    wxString sFilter;
    wxString sAll;
    const ConvertorRegistry* pRegistry = g_pConvertorRegistry;
    const int nRows = pRegistry ? pRegistry->GetNumConvertors() : 0;
    for (int i = 0; i < nRows; ++i)
    {
        const wxString sExtensions = pRegistry->GetExtensions(i);
        if (!sFilter.empty())
            sFilter += "|";
        sFilter += pRegistry->GetName(i) + wxString::Format("(%s)|%s", sExtensions, sExtensions);
        sAll += (sAll.empty() ? "" : ";") + sExtensions;
    }
    if (nRows > 1)
        sFilter += "|All supported files (" + sAll + ")|" + sAll;
    return sFilter;
}

CDlgNewDoc::CDlgNewDoc(wxWindow* pParent, bool bNewProject)
    : wxDialog(pParent, wxID_ANY, g_LocEngine.FindTranslation("NEW_DOCUMENT_TITLE"), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxFULL_REPAINT_ON_RESIZE),
      m_bNewProject(bNewProject)
{
    Evt_FileSelector_Changed.AddHandler(this, &CDlgNewDoc::OnSourceFileChanged);
    Evt_LangSelector_Changed.AddHandler(this, &CDlgNewDoc::OnSourceFileChanged);
    Evt_FileSelector_Emptied.AddHandler(this, &CDlgNewDoc::OnSourceFileEmptied);
    try
    {
        m_sFileFilter = BuildFileFilter();
        auto* pMain = new wxBoxSizer(wxVERTICAL);

        m_pSourceBox = new wxStaticBoxSizer(wxVERTICAL, this, g_LocEngine.FindTranslation("NEW_SOURCE_FILES"));
        pMain->Add(m_pSourceBox, 0, wxEXPAND | wxALL, 5);
        AddSourceRow(wxString(), wxString());

        auto* pTargetRow = new wxBoxSizer(wxHORIZONTAL);
        pTargetRow->Add(new wxStaticText(this, wxID_ANY, g_LocEngine.FindTranslation("TARGET_LANGUAGE")), 1,
                        wxALIGN_CENTER_VERTICAL);
        m_pTargetLanguage = new CVRLangSelector(this, wxID_ANY, wxString(), false);
        pTargetRow->Add(m_pTargetLanguage, 6, wxEXPAND);
        pMain->Add(pTargetRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 5);

        auto addFileRow = [&](const char* szLabelKey, const wxString& sWildcard, const wxString& sName,
                              const wxString& sFile) {
            auto* pRow = new wxBoxSizer(wxHORIZONTAL);
            pRow->Add(new wxStaticText(this, wxID_ANY, g_LocEngine.FindTranslation(szLabelKey)), 1,
                      wxALIGN_CENTER_VERTICAL);
            pRow->AddSpacer(2);
            auto* pSelector = new CVRFileSelector(this, sWildcard, sName, wxID_ANY, wxFD_OPEN, wxString(), sFile);
            pRow->Add(pSelector, 6, wxEXPAND);
            pRow->AddSpacer(3);
            pMain->Add(pRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 5);
            return pSelector;
        };
        m_pSRXSelector =
            addFileRow("SRX_FILE", "SRX files (*.srx)|*.srx", "SRXFile", tPathCombine(g_sDataPath, "Default.srx"));
        if (m_bNewProject)
            m_pTMSelector = addFileRow("TM_FILE", "TMX files (*.tmx)|*.tmx", "TMXFile",
                                       g_LocEngine.FindTranslation("DOCUMENT_CREATE_NEW_EMPTY"));

        bool bAutoConvert = true;
        long nPercent = 75;
        if (g_pConfig)
        {
            g_pConfig->SetPath(kszSettings);
            bAutoConvert = g_pConfig->ReadBool("AutoConvert", true);
            nPercent = std::clamp(g_pConfig->ReadLong("AutoConvertPercent", 75), 0L, 99L);
        }
        auto* pAutoRow = new wxBoxSizer(wxHORIZONTAL);
        pAutoRow->AddStretchSpacer();
        m_pAutoConvert = new wxCheckBox(this, ID_AUTOCONVERT, wxString());
        m_pAutoConvert->SetValue(bAutoConvert);
        pAutoRow->Add(m_pAutoConvert, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
        m_pAutoConvertText = new wxStaticText(this, wxID_ANY, g_LocEngine.FindTranslation("AUTO_CONVERT"));
        pAutoRow->Add(m_pAutoConvertText, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
        m_pPercent = new wxSpinCtrl(this, ID_PERCENT, wxString(), wxDefaultPosition, wxSize(45, -1),
                                    wxSP_ARROW_KEYS, 0, 99, static_cast<int>(nPercent));
        // GTK's spin control needs more than 45 pixels for its buttons; never narrower than that.
        m_pPercent->SetMinSize(wxSize(std::max(45, m_pPercent->GetBestSize().x), -1));
        pAutoRow->Add(m_pPercent, 0, wxALIGN_CENTER_VERTICAL);
        pAutoRow->Add(new wxStaticText(this, wxID_ANY, "%"), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 2);
        m_pAutoConvertText->Enable(bAutoConvert);
        m_pPercent->Enable(bAutoConvert);
        pMain->Add(pAutoRow, 0, wxEXPAND | wxALL, 5);

        pMain->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT, 5);
        auto* pButtons = new wxBoxSizer(wxHORIZONTAL);
        m_pOKButton = new wxButton(this, wxID_OK, g_LocEngine.FindTranslation("DIALOG_OK"));
        pButtons->Add(m_pOKButton);
        pButtons->AddSpacer(7);
        pButtons->Add(new wxButton(this, wxID_CANCEL, g_LocEngine.FindTranslation("DIALOG_CANCEL")));
        m_pOKButton->Disable();
        pMain->Add(pButtons, 0, wxALIGN_RIGHT | wxALL, 5);

        SetSizerAndFit(pMain);
        Centre();
    }
    catch (...)
    {
        RemoveHandlers();
        throw;
    }
}

CDlgNewDoc::~CDlgNewDoc()
{
    RemoveHandlers();
}

void CDlgNewDoc::RemoveHandlers()
{
    Evt_FileSelector_Changed.RemoveHandler(this);
    Evt_LangSelector_Changed.RemoveHandler(this);
    Evt_FileSelector_Emptied.RemoveHandler(this);
}

CVRSourceSelector* CDlgNewDoc::AddSourceRow(const wxString& sLanguage, const wxString& sFile)
{
    auto* pRow = new CVRSourceSelector(this, m_sFileFilter, ID_SOURCE, kSourceStyle, sLanguage, wxString(), sFile);
    m_apSourceRows.push_back(pRow);
    m_pSourceBox->Add(pRow, 0, wxEXPAND | wxBOTTOM, 2);
    return pRow;
}

void CDlgNewDoc::GetSourceFiles(wxArrayString& asFiles) const
{
    for (const CVRSourceSelector* pRow : m_apSourceRows)
    {
        const wxString sFile = pRow->GetFileName(0);
        if (!sFile.empty())
            asFiles.push_back(sFile);
    }
}

void CDlgNewDoc::GetSourceLanguages(wxArrayString& asLanguages) const
{
    for (const CVRSourceSelector* pRow : m_apSourceRows)
        if (!pRow->GetFileName(0).empty())
            asLanguages.push_back(pRow->GetLanguageCode());
}

wxString CDlgNewDoc::GetSRXFile() const
{
    return m_pSRXSelector ? m_pSRXSelector->GetFileName(0) : wxString();
}

wxString CDlgNewDoc::GetTMFile() const
{
    return m_pTMSelector ? m_pTMSelector->GetFileName(0) : wxString();
}

wxString CDlgNewDoc::GetTargetLanguage() const
{
    return m_pTargetLanguage ? m_pTargetLanguage->GetSelectedLanguageCode() : wxString();
}

int CDlgNewDoc::GetAutoConvertPercent() const
{
    return m_pPercent && m_pPercent->IsEnabled() ? m_pPercent->GetValue() : -1;
}

void CDlgNewDoc::OnCancel(wxCommandEvent&)
{
    m_bCancelled = true;
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Hide();
}

void CDlgNewDoc::OnAutoConvert(wxCommandEvent&)
{
    const bool bOn = m_pAutoConvert->GetValue();
    m_pPercent->Enable(bOn);
    m_pAutoConvertText->Enable(bOn);
    if (g_pConfig)
    {
        g_pConfig->SetPath(kszSettings);
        g_pConfig->Write("AutoConvert", bOn);
        g_pConfig->Flush();
    }
}

void CDlgNewDoc::OnAutoConvertPercent(wxSpinEvent&)
{
    if (g_pConfig)
    {
        g_pConfig->SetPath(kszSettings);
        g_pConfig->Write("AutoConvertPercent", static_cast<long>(m_pPercent->GetValue()));
        g_pConfig->Flush();
    }
}

void CDlgNewDoc::OnSourceFileChanged(tcEvent*, void* pOwner, void*, void*)
{
    static_cast<CDlgNewDoc*>(pOwner)->ProcessSourceFileChanged();
}

void CDlgNewDoc::OnSourceFileEmptied(tcEvent*, void* pOwner, void*, void* pSender)
{
    static_cast<CDlgNewDoc*>(pOwner)->ProcessSourceFileEmptied(static_cast<wxWindow*>(pSender));
}

void CDlgNewDoc::ProcessSourceFileChanged()
{
    if (!m_pOKButton)
        return;
    UpdateOKState();

    // Setting a row's first name below runs this again, nested, and that run appends rows: the
    // walk re-reads the count every time.
    for (size_t i = 0; i < m_apSourceRows.size(); ++i)
    {
        CVRSourceSelector* pRow = m_apSourceRows[i];
        if (pRow->GetFileName(0).empty())
            return;
        if (pRow->GetNumFiles() > 1)
        {
            const wxArrayString asParts = SplitFiles(pRow->GetTextCtrl()->GetValue());
            const wxString sLanguage = pRow->GetLanguageCode();
            for (size_t n = 1; n < asParts.size(); ++n)
                AddSourceRow(sLanguage, asParts[n]);
            pRow->SetFileName(asParts.empty() ? wxString() : asParts[0]);
        }
    }
    AddSourceRow(wxString(), wxString());
    // The row just added may be what OK waited for: the first file typed last must not leave OK off.
    UpdateOKState();
    RelayoutKeepingCentre();
}

void CDlgNewDoc::UpdateOKState()
{
    // Added files need both languages as much as a new project's: without them they get no
    // proposals and their final pairs never reach the memory.
    bool bOK = m_apSourceRows.size() >= 2 && !GetSRXFile().empty() && (!m_bNewProject || !GetTMFile().empty()) &&
               !GetTargetLanguage().empty();
    for (const CVRSourceSelector* pRow : m_apSourceRows)
        if (bOK && !pRow->GetFileName(0).empty() && pRow->GetLanguageCode().empty())
            bOK = false;
    m_pOKButton->Enable(bOK);
}

void CDlgNewDoc::ProcessSourceFileEmptied(wxWindow*)
{
    if (!m_pOKButton)
        return;
    std::vector<CVRSourceSelector*> apEmpty;
    for (CVRSourceSelector* pRow : m_apSourceRows)
        if (pRow->GetFileName(0).empty())
            apEmpty.push_back(pRow);
    if (apEmpty.size() == 2)
    {
        CVRSourceSelector* pLast = m_apSourceRows.back();
        CVRSourceSelector* pEmptied = apEmpty[0] == pLast ? apEmpty[1] : apEmpty[0];
        m_apSourceRows.pop_back();
        m_pSourceBox->Detach(pLast);
        pLast->Destroy();
        m_apSourceRows.erase(std::find(m_apSourceRows.begin(), m_apSourceRows.end(), pEmptied));
        m_apSourceRows.push_back(pEmptied);
        m_pSourceBox->Detach(pEmptied);
        m_pSourceBox->Add(pEmptied, 0, wxEXPAND | wxBOTTOM, 2);
    }
    else
        T_ASSERT(apEmpty.size() == 1 && apEmpty[0] == m_apSourceRows.back());

    if (m_apSourceRows.size() < 2 || GetSRXFile().empty() || (m_bNewProject && GetTMFile().empty()))
        m_pOKButton->Disable();
    RelayoutKeepingCentre();
}

void CDlgNewDoc::RelayoutKeepingCentre()
{
    const wxRect rect = GetRect();
    const wxPoint centre(rect.x + rect.width / 2, rect.y + rect.height / 2);
    Layout();
    Fit();
    const wxSize size = GetSize();
    Move(centre.x - size.x / 2, centre.y - size.y / 2);
}

// clang-format off
wxBEGIN_EVENT_TABLE(CDlgNewDoc, wxDialog)
    EVT_BUTTON(wxID_CANCEL, CDlgNewDoc::OnCancel)
    EVT_CHECKBOX(CDlgNewDoc::ID_AUTOCONVERT, CDlgNewDoc::OnAutoConvert)
    EVT_SPINCTRL(CDlgNewDoc::ID_PERCENT, CDlgNewDoc::OnAutoConvertPercent)
wxEND_EVENT_TABLE()
// clang-format on
