// The project page's saving, title, output of a translated document and statistics.
#include "workspace/VRDocFrame.h"

#include "Shared/FrmFileSelector.h"
#include "Shared/Localisation.h"
#include "Shared/Options.h"
#include "Shared/UserPrompts.h"
#include "app/WidgetDialog.h"
#include "engine/Convertor.h"
#include "engine/InlineMarkup.h"
#include "engine/OutputName.h"
#include "engine/VRMemDocStatistics.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"
#include "workspace/Suggestions.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRLoadProgress.h"
#include "workspace/VRSuggestedTranslationFrame.h"

#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <algorithm>

namespace
{
wxString Localised(const char* szKey)
{
    return g_LocEngine.FindTranslation(szKey);
}

void ShowError(const wxString& sText, wxWindow* pParent)
{
    tUserPrompts().ShowMessage(sText, Localised("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, pParent);
}

// Adds the words and characters of a segment's XML: its text only, never the markup its codes carry.
void CountText(const wxString& sXML, int& nWords, int& nCharacters)
{
    for (const wxString& sRun : TextOutsideCodes(sXML))
    {
        nWords += CountWords(sRun);
        nCharacters += static_cast<int>(sRun.length());
    }
}
} // namespace

std::vector<VRDocFrame*>& VRDocFrame::OpenPages()
{
    static std::vector<VRDocFrame*> s_apPages;
    return s_apPages;
}

bool VRDocFrame::IsHeldByOtherPage(const wxString& sPath) const
{
    const wxFileName fileName(sPath);
    for (const VRDocFrame* pPage : OpenPages())
    {
        const wxString sOpen = pPage->GetFileName();
        if (pPage != this && !sOpen.empty() && (sOpen == sPath || wxFileName(sOpen).SameAs(fileName)))
            return true;
    }
    return false;
}

bool VRDocFrame::Save()
{
    FlushCommit();
    const wxString sOldPath = GetFileName();
    wxString sError;
    if (!sOldPath.empty() && !m_bSaveFailed)
    {
        if (m_Model.Save(wxString(), &sError))
        {
            m_bSaveFailed = false;
            return true;
        }
        ShowError(tLocalisedWith("XLIFFDOC_SAVE_FAILED", sOldPath, sError), this);
        m_bSaveFailed = true;
        return false;
    }

    // After a failed save the file chooser proposes the path that failed.
    wxString sFolder = g_Options.m_sProjectFolder;
    wxString sName;
    if (!sOldPath.empty())
    {
        const wxFileName oldName(sOldPath);
        sFolder = oldName.GetPath();
        sName = oldName.GetFullName();
    }
    wxString sPath;
    for (;;)
    {
        const wxString sCwd = wxGetCwd();
        sPath = tUserPrompts().ChooseFile(Localised("XLIFFDOC_SELECT_TARGETFILE"), sFolder, sName,
                                          "XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff|All files (*.*)|*.*",
                                          PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT, this);
        wxSetWorkingDirectory(sCwd);
        if (sPath.empty())
            return false;
        // Two pages on one file would save over each other.
        if (!IsHeldByOtherPage(sPath))
            break;
        ShowError(tLocalisedWith("XLIFFDOC_FILE_IN_USE", sPath), this);
    }

    m_Model.SetPath(sPath);
    // The tab shows the new path before the data is written.
    Evt_DocFrame_DatasourceChanged.Trigger(this, nullptr);
    if (m_Model.Save(sPath, &sError))
    {
        m_bSaveFailed = false;
        // The suggestions pane's settings now belong under the project's own file.
        if (m_pLayout)
            WriteSuggestionLimits(GetIO(), m_pLayout->GetSuggestions()->GetLimits());
        return true;
    }
    // The project keeps the path it had (none for a new one) and its title.
    m_Model.SetPath(sOldPath);
    if (GetIO())
        GetIO()->OpenDatasource(sOldPath);
    Evt_DocFrame_DatasourceChanged.Trigger(this, nullptr);
    ShowError(tLocalisedWith("XLIFFDOC_SAVE_FAILED", sPath, sError), this);
    m_bSaveFailed = true;
    return false;
}

wxString VRDocFrame::GetTitle() const
{
    wxString sTitle = GetFileName().empty() ? Localised("DOC_WINDOWTITLE_UNTITLED") : GetFileName();
    if (GetDocument() && GetDocument()->IsDirty())
        sTitle += " (*" + Localised("DOC_WINDOWTITLE_UNSAVED_CHANGES") + ")";
    return sTitle;
}

bool VRDocFrame::OutputTranslatedFile(wxString sPath, wxString sLanguage)
{
    FlushCommit();
    const int nFile = GetCurrentFile();
    if (nFile < 0 || nFile >= GetNumFiles())
        return false;
    tcNode* pFile = m_Model.GetFileNodes()[nFile];
    tcConvertor* pConvertor = m_Model.GetConvertor(nFile);
    if (!pConvertor)
    {
        ShowError(tLocalisedWith("OUTPUT_NO_CONVERTOR", pFile->GetAttributeDisplayAsString(
                                                             m_Model.GetXLIFFDTD().m_pFileOriginalAttr)),
                  this);
        return false;
    }
    if (sPath.empty() && !AskOutputFile(pFile, sPath, sLanguage))
        return false;

    bool bWritten = false;
    bool bCancelled = false;
    wxString sError;
    {
        tcLogCapture log;
        const wxString sTitle = Localised("OUTPUT_PROGRESS");
        VRLoadProgress progress(sTitle, sTitle, nullptr);
        wxWindowDisabler disabler(&progress);
        bWritten = pConvertor->OutputTranslation(&m_Model.GetXLIFFDTD(), sPath, sLanguage, pFile, &progress);
        bCancelled = !bWritten && progress.WasCancelled();
        for (const wxString& sLine : log.Lines())
            if (sLine.StartsWith("ERROR: ", &sError))
                break;
    }
    if (bCancelled)
    {
        tcLog::LogStr("Output: Cancelled by user", true);
        return false;
    }
    if (!bWritten)
        ShowError(tLocalisedWith("OUTPUT_FAILED", sPath, sError), this);
    return bWritten;
}

bool VRDocFrame::AskOutputFile(tcNode* pFile, wxString& sPath, wxString& sLanguage)
{
    const SXLIFFDTD& dtd = m_Model.GetXLIFFDTD();
    wxArrayString asLanguages = GetTargetLanguages();
    const wxString sSourceLanguage = pFile->GetAttributeDisplayAsString(dtd.m_pFileSourceLanguageAttr);
    asLanguages.push_back(sSourceLanguage);
    const wxString sSource = pFile->GetAttributeDisplayAsString(dtd.m_pFileOriginalAttr);
    // Beside the source, never the source itself: its name with the language of the output.
    wxString sProposed = tOutputFileName(sSource, sSourceLanguage, asLanguages[0]);

    CWidgetDialog dialog(this, wxID_ANY, Localised("SELECT_TARGET_OUTPUT_FILE_AND_LANGUAGE"), wxDefaultPosition,
                         wxDefaultSize,
                         wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER);
    auto* pSelector = new CVRFileSelector(&dialog, "All files (*.*)|*.*", "FileOutput|" + sProposed, wxID_ANY,
                                          wxFD_SAVE, Localised("SELECT_TARGET_OUTPUT_FILE") + "         ",
                                          sProposed);
    pSelector->SetName(kszOutputFileName);
    auto* pChoice = new wxChoice(&dialog, wxID_ANY, wxDefaultPosition, wxDefaultSize, asLanguages, 0,
                                 wxDefaultValidator, kszOutputLanguageName);
    pChoice->SetSelection(0);
    // A name the user has not changed follows the language chosen.
    pChoice->Bind(wxEVT_CHOICE,
                  [&](wxCommandEvent& event)
                  {
                      event.Skip();
                      if (pSelector->GetFileName(0) != sProposed || pChoice->GetSelection() == wxNOT_FOUND)
                          return;
                      sProposed = tOutputFileName(sSource, sSourceLanguage, asLanguages[pChoice->GetSelection()]);
                      pSelector->SetFileName(sProposed);
                  });

    auto* pFileRow = new wxBoxSizer(wxHORIZONTAL);
    pFileRow->Add(pSelector, 1, wxEXPAND | wxALL, 5);
    auto* pLanguageRow = new wxBoxSizer(wxHORIZONTAL);
    pLanguageRow->Add(new wxStaticText(&dialog, wxID_ANY, Localised("SELECT_TARGET_OUTPUT_LANGUAGE")), 3,
                      wxEXPAND | wxALL, 5);
    pLanguageRow->Add(pChoice, 7, wxEXPAND | wxALL, 5);
    wxSizer* pSizer = dialog.GetSizer();
    pSizer->Insert(0, pLanguageRow, 0, wxEXPAND);
    pSizer->Insert(1, pFileRow, 0, wxEXPAND);
    pSizer->Insert(2, new wxStaticLine(&dialog), 0, wxEXPAND | wxALL, 5);
    dialog.Fit();
    dialog.CentreOnParent();

    for (;;)
    {
        if (dialog.ShowModal() != wxID_OK)
            return false;
        sPath = pSelector->GetFileName(0).Strip(wxString::both);
        const int nLanguage = pChoice->GetSelection();
        sLanguage = nLanguage == wxNOT_FOUND ? asLanguages[0] : asLanguages[nLanguage];
        if (sPath.empty())
            continue;
        // Replacing a file is asked first, and the source document is called what it is.
        const bool bSource = wxFileName(sPath).SameAs(wxFileName(sSource));
        if (wxFileExists(sPath) &&
            tUserPrompts().ShowMessage(tLocalisedWith(bSource ? "OUTPUT_FILE_IS_SOURCE" : "OUTPUT_FILE_EXISTS", sPath),
                                       Localised("MESSAGETITLE_CONFIRM"),
                                       wxYES_NO | wxICON_QUESTION | (bSource ? wxNO_DEFAULT : 0), this) != wxYES)
            continue;
        return true;
    }
}

wxArrayString VRDocFrame::GetTargetLanguages() const
{
    wxArrayString asLanguages;
    const int nFile = GetCurrentFile();
    if (nFile >= 0 && nFile < GetNumFiles())
        asLanguages.push_back(
            m_Model.GetFileNodes()[nFile]->GetAttributeDisplayAsString(m_Model.GetXLIFFDTD().m_pFileTargetLanguageAttr));
    return asLanguages;
}

void VRDocFrame::GetStatistics(CVRMemDocStatistics* pStatistics, int nIndex)
{
    FlushCommit();
    const int nFile = nIndex < 0 ? GetCurrentFile() : nIndex;
    if (nFile >= GetNumFiles())
    {
        tAssert(__FILE__, __LINE__, "nIndex<GetNumFiles()");
        return;
    }
    if (!pStatistics || nFile < 0)
        return;
    const SXLIFFDTD& dtd = m_Model.GetXLIFFDTD();
    tcNode* pFile = m_Model.GetFileNodes()[nFile];

    pStatistics->SetFileName(pFile->GetAttributeDisplayAsString(dtd.m_pFileOriginalAttr));
    pStatistics->SetLastModified(pFile->GetAttributeDisplayAsString(dtd.m_pFileLastModifiedAttr));
    pStatistics->SetLastModifiedBy(pFile->GetAttributeDisplayAsString(dtd.m_pFileLastModifiedByAttr));

    std::vector<tcNode*> apUnits;
    if (dtd.m_pTransUnitElement)
        pFile->FindDescendantsOfElementType(dtd.m_pTransUnitElement->GetID(), apUnits);
    pStatistics->SetNumTranslationUnits(static_cast<int>(apUnits.size()));
    const auto nTranslatable = std::count_if(
        apUnits.begin(), apUnits.end(),
        [&](const tcNode* pUnit) { return pUnit->GetAttributeRawAsString(dtd.m_pTransUnitTranslateAttr, ",") != "no"; });
    pStatistics->SetNumTranslatableUnits(static_cast<int>(nTranslatable));

    std::vector<tcNode*> apSegments;
    m_Model.CollectFileSegments(pFile, true, apSegments);
    pStatistics->SetNumTranslatableSegments(static_cast<int>(apSegments.size()));
    int nWords = 0;
    int nCharacters = 0;
    for (const tcNode* pSegment : apSegments)
        CountText(GetSegmentXML(pSegment, dtd.m_pSourceElement, dtd.m_pMrkElement), nWords, nCharacters);
    pStatistics->AddWords(nWords);
    pStatistics->AddCharacters(nCharacters);

    m_Model.CollectFileSegments(pFile, false, apSegments);
    pStatistics->SetNumSegments(static_cast<int>(apSegments.size()));
    int nTranslated = 0;
    nWords = 0;
    nCharacters = 0;
    for (const tcNode* pSegment : apSegments)
    {
        const wxString sTarget = GetTargetXML(dtd, pSegment);
        if (sTarget.empty())
            continue;
        ++nTranslated;
        CountText(sTarget, nWords, nCharacters);
    }
    pStatistics->AddTranslatedWords(nWords);
    pStatistics->AddTranslatedCharacters(nCharacters);
    pStatistics->SetNumTranslatedSegments(nTranslated);
    pStatistics->UpdateAverages();
}
