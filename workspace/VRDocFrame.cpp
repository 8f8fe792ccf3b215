#include "workspace/VRDocFrame.h"

#include "Shared/ImportXML.h"
#include "Shared/Options.h"
#include "Shared/UserPrompts.h"
#include "engine/Convertor.h"
#include "engine/VRMemDocStatistics.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/DlgMemDoc.h"
#include "workspace/VRLoadProgress.h"

#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/utils.h>

#include <algorithm>

tcEvent Evt_DocFrame_DatasourceChanged("Evt_DocFrame_DatasourceChanged");

namespace
{
// While a project opens, the importer's yield hook also moves this dialog's gauge and turns its
// Cancel into a stop request for the load.
VRLoadProgress* s_pOpenProgress = nullptr;
tcXMLImportYieldFn s_pfnOuterYield = nullptr;
int s_nOpenSteps = 0;

void YieldWhileOpening()
{
    if (s_pfnOuterYield)
        s_pfnOuterYield();
    // The dialog processes its own button on every update; every element would be too slow.
    if (!s_pOpenProgress || ++s_nOpenSteps % 32 != 0)
        return;
    s_pOpenProgress->SetValue((s_pOpenProgress->GetValue() + 50) % tcConvertorProgress::kMaximum);
    if (s_pOpenProgress->WasCancelled())
        tRequestXMLImportStop();
}

class OpenProgressHook
{
public:
    explicit OpenProgressHook(VRLoadProgress* pProgress)
    {
        s_pfnOuterYield = tGetXMLImportYieldHook();
        s_pOpenProgress = pProgress;
        s_nOpenSteps = 0;
        tSetXMLImportYieldHook(&YieldWhileOpening);
    }
    ~OpenProgressHook()
    {
        tSetXMLImportYieldHook(s_pfnOuterYield);
        s_pfnOuterYield = nullptr;
        s_pOpenProgress = nullptr;
    }
    OpenProgressHook(const OpenProgressHook&) = delete;
    OpenProgressHook& operator=(const OpenProgressHook&) = delete;
};
} // namespace

VRDocFrame::VRDocFrame(wxWindow* pParent, const wxString& sSRXPath, CVRMemDocManager* pMemDocManager,
                       const wxString& sMemDoc, const wxArrayString& asSourceFiles,
                       const wxArrayString& asSourceLanguages, const wxString& sTargetLanguage, int nThreshold)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_Model(pMemDocManager)
{
    m_Model.BeginNew(sSRXPath, sMemDoc);
    {
        const wxString sTitle = "Adding files to project";
        VRLoadProgress progress(sTitle, sTitle, nullptr);
        // No command may run while the project is half made; the progress dialog stays usable.
        wxWindowDisabler disabler(&progress);
        m_Model.AddFiles(asSourceFiles, asSourceLanguages, sTargetLanguage, nThreshold, &progress);
    }
    m_Model.FinishNew();
    CreateLayout();
}

VRDocFrame::VRDocFrame(wxWindow* pParent, const wxString& sPath, CVRMemDocManager* pMemDocManager,
                       CVRMemDoc* pMemDoc)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_Model(pMemDocManager)
{
    {
        const wxString sTitle = "Opening project";
        VRLoadProgress progress(sTitle, sTitle, nullptr);
        wxWindowDisabler disabler(&progress);
        OpenProgressHook hook(&progress);
        try
        {
            m_Model.Open(sPath, pMemDoc, [](CVRMemDocManager& manager) { return tAskForMemDoc(manager); });
        }
        catch (const VRProjectCancelled&)
        {
            throw;
        }
        catch (const TextFailure&)
        {
            // A stopped load fails like any other; the user asked for it, so no error box.
            if (progress.WasCancelled())
                throw VRProjectCancelled("Cancelled by user");
            throw;
        }
    }
    CreateLayout();
}

VRDocFrame::~VRDocFrame()
{
    // Nothing of the panes may touch the document or a convertor once they start to go.
    FlushCommit();
    if (m_pPanes)
    {
        m_pPanes->UnbindNodes();
        m_pPanes->ClearPreview();
    }
    m_Model.CloseMemory();
    while (m_Model.IsChanged())
    {
        const int nAnswer = tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("XLIFFDOC_UNSAVED_CHANGES"),
                                                       g_LocEngine.FindTranslation("MESSAGETITLE_CONFIRM"), wxYES_NO,
                                                       this);
        if (nAnswer == wxNO)
        {
            tcLog::LogStr("Save: Cancelled by user", true);
            break;
        }
        if (nAnswer == wxYES && Save())
            break;
    }
    // The model releases document, handler, context, rules and convertors.
}

void VRDocFrame::CreateDocument()
{
    m_Model.CreateDocument(m_Model.GetPath());
}

void VRDocFrame::LoadSRX(const wxString& sPath)
{
    m_Model.LoadSRX(sPath);
}

bool VRDocFrame::AddFile(const wxString& sSourcePath, const wxString& sSourceLanguage, const wxString& sTargetLanguage,
                         int nThreshold, tcConvertorProgress* pProgress)
{
    const bool bAdded = m_Model.AddFile(sSourcePath, sSourceLanguage, sTargetLanguage, nThreshold, pProgress);
    if (bAdded && GetDocument())
        GetDocument()->SetDirty();
    return bAdded;
}

void VRDocFrame::CollectSegments(std::vector<tcNode*>& apSegments) const
{
    m_Model.CollectSegments(apSegments);
}

void VRDocFrame::RefreshFiles()
{
    FlushCommit();
    if (m_pPanes)
        m_pPanes->ClearPreview();
    m_Model.RefreshFiles();
    AfterFilesChanged();
}

void VRDocFrame::RemoveCurrentFile()
{
    const int nFiles = GetNumFiles();
    if (nFiles == 0)
        return;
    if (nFiles == 1)
    {
        tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("CANNOT_REMOVE_LAST_FILE"),
                                   g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, this);
        return;
    }
    const int nAnswer = tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("WARNING_REMOVE_FILE"),
                                                   g_LocEngine.FindTranslation("MESSAGETITLE_WARNING"),
                                                   wxOK | wxCANCEL | wxICON_EXCLAMATION, this);
    if (nAnswer != wxOK)
        return;
    FlushCommit();
    if (m_pPanes)
        m_pPanes->ClearPreview();
    m_Model.RemoveFile(std::clamp(GetCurrentFile(), 0, nFiles - 1));
    AfterFilesChanged();
}

int VRDocFrame::GetCurrentFile() const
{
    return m_pPanes ? m_pPanes->GetCurrentFile() : m_nCurrentFile;
}

void VRDocFrame::AfterFilesChanged()
{
    if (m_pPanes)
        m_pPanes->SetFiles(m_Model.GetFileNodes());
    // After the last file of the list went, the one before it becomes current.
    m_nCurrentFile = std::clamp(GetCurrentFile(), 0, std::max(0, GetNumFiles() - 1));
    SelectFile(m_nCurrentFile);
}

void VRDocFrame::FlushCommit()
{
    if (m_pPanes)
        m_pPanes->FlushCommit();
}

void VRDocFrame::CreateLayout()
{
    m_bLayoutPending = true;
    SelectFile(0);
}

void VRDocFrame::SelectFile(int nIndex)
{
    m_Model.SelectFile(nIndex);
    m_nCurrentFile = nIndex;
    // Made now, so that the preview and output find it.
    m_Model.GetConvertor(nIndex);
    m_bPreviewStale = true;
}

void VRDocFrame::SelectSegment(int)
{
    m_bPreviewStale = true;
}

bool VRDocFrame::Save()
{
    bool bSaved = false;
    if (!GetFileName().empty() && !m_bSaveFailed)
        bSaved = m_Model.Save();
    else
    {
        const wxString sCwd = wxGetCwd();
        const wxString sPath = tUserPrompts().ChooseFile(
            g_LocEngine.FindTranslation("XLIFFDOC_SELECT_TARGETFILE"), g_Options.m_sProjectFolder, wxString(),
            "XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff|All files (*.*)|*.*", wxFD_SAVE | wxFD_OVERWRITE_PROMPT, this);
        wxSetWorkingDirectory(sCwd);
        if (sPath.empty())
            return false;
        m_Model.SetPath(sPath);
        Evt_DocFrame_DatasourceChanged.Trigger(this, nullptr);
        bSaved = m_Model.Save(sPath);
    }
    // After a failed save the next one asks for a file, so a closing page can always be saved elsewhere.
    m_bSaveFailed = !bSaved;
    return bSaved;
}

wxString VRDocFrame::GetTitle() const
{
    wxString sTitle = GetFileName().empty() ? g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNTITLED") : GetFileName();
    if (GetDocument() && GetDocument()->IsDirty())
        sTitle += " (*" + g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNSAVED_CHANGES") + ")";
    return sTitle;
}

bool VRDocFrame::OutputTranslatedFile(wxString sPath, wxString sLanguage)
{
    tcConvertor* pConvertor = m_Model.GetConvertor(m_nCurrentFile);
    if (sPath.empty() || !pConvertor || m_nCurrentFile >= GetNumFiles())
        return false;
    return pConvertor->OutputTranslation(&m_Model.GetXLIFFDTD(), sPath, sLanguage,
                                         m_Model.GetFileNodes()[m_nCurrentFile]);
}

wxArrayString VRDocFrame::GetTargetLanguages() const
{
    wxArrayString asLanguages;
    if (m_nCurrentFile < GetNumFiles())
        asLanguages.push_back(m_Model.GetFileNodes()[m_nCurrentFile]->GetAttributeDisplayAsString(
            m_Model.GetXLIFFDTD().m_pFileTargetLanguageAttr));
    return asLanguages;
}

void VRDocFrame::GetStatistics(CVRMemDocStatistics* pStatistics, int nIndex)
{
    const int nFile = nIndex < 0 ? m_nCurrentFile : nIndex;
    if (!pStatistics || nFile >= GetNumFiles())
        return;
    tcNode* pFile = m_Model.GetFileNodes()[nFile];
    std::vector<tcNode*> apSegments;
    m_Model.CollectFileSegments(pFile, true, apSegments);
    pStatistics->SetNumTranslatableSegments(static_cast<int>(apSegments.size()));
    m_Model.CollectFileSegments(pFile, false, apSegments);
    pStatistics->SetNumSegments(static_cast<int>(apSegments.size()));
}

void VRDocFrame::ShowHTMLPreview(const wxString&)
{
}

bool VRDocFrame::LoadView(const wxString&)
{
    return false;
}

void VRDocFrame::SaveView(const wxString&)
{
}

void VRDocFrame::DeleteView(const wxString&)
{
}

void VRDocFrame::SetDefaultView()
{
}

void VRDocFrame::RestoreDefaultView()
{
}

void VRDocFrame::RestoreOriginalDefaultView()
{
}
