#include "workspace/VRDocFrame.h"

#include "Shared/ErrorBoundary.h"
#include "Shared/ImportXML.h"
#include "Shared/Localisation.h"
#include "Shared/Options.h"
#include "Shared/UserPrompts.h"
#include "engine/Convertor.h"
#include "engine/InlineMarkup.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocStatistics.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/DlgMemDoc.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRDocLayout.h"
#include "workspace/VRLoadProgress.h"
#include "workspace/VRPreviewPanel.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRSuggestedTranslationFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/aui/aui.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/utils.h>

#include <algorithm>

tcEvent Evt_DocFrame_DatasourceChanged("Evt_DocFrame_DatasourceChanged");

namespace
{
const char* const kViewsPath = "/UserInterface/Views";

// The views group of the store, made current; null without a store.
wxConfigBase* ViewsStore()
{
    if (g_pConfig)
        g_pConfig->SetPath(kViewsPath);
    return g_pConfig;
}

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
    OpenPages().push_back(this);
}

VRDocFrame::VRDocFrame(wxWindow* pParent, const wxString& sPath, CVRMemDocManager* pMemDocManager, CVRMemDoc* pMemDoc)
    : wxPanel(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_Model(pMemDocManager)
{
    {
        const wxString sTitle = "Opening project";
        VRLoadProgress progress(sTitle, sTitle, nullptr);
        wxWindowDisabler disabler(&progress);
        OpenProgressHook hook(&progress);
        try
        {
            m_Model.Open(sPath, pMemDoc,
                         [this](CVRMemDocManager& manager)
                         { return tAskForMemDoc(manager, m_Model.GetMemDocProblem()); });
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
    OpenPages().push_back(this);
}

VRDocFrame::~VRDocFrame()
{
    std::vector<VRDocFrame*>& apPages = OpenPages();
    apPages.erase(std::remove(apPages.begin(), apPages.end(), this), apPages.end());
    // Nothing of the panes may touch the document or a convertor once they start to go.
    FlushCommit();
    if (m_pPanes)
    {
        m_pPanes->UnbindNodes();
        m_pPanes->ClearPreview();
    }
    // Panes set from outside leave the page's own ones bound; those go only with the page's window.
    if (m_pLayout && m_pPanes != m_pLayout.get())
    {
        m_pLayout->FlushCommit();
        m_pLayout->UnbindNodes();
        m_pLayout->ClearPreview();
    }
    if (!m_bCloseAgreed)
        QueryClose(false);
    if (m_bDropMemoryChanges)
        m_Model.DropMemoryChanges();
    m_Model.CloseMemory();
    // The docking manager lets go of the page before the panes are destroyed with it.
    if (m_pPanes == m_pLayout.get())
        m_pPanes = nullptr;
    m_pLayout.reset();
    // The model releases document, handler, context, rules and convertors.
}

wxString VRDocFrame::GetProjectName() const
{
    return GetFileName().empty() ? g_LocEngine.FindTranslation("DOC_WINDOWTITLE_UNTITLED") : GetFileName();
}

bool VRDocFrame::QueryClose(bool bCanCancel)
{
    FlushCommit();
    const long nButtons = wxYES_NO | wxICON_QUESTION | (bCanCancel ? wxCANCEL : 0);
    const wxString sCaption = g_LocEngine.FindTranslation("MESSAGETITLE_CONFIRM");
    bool bDropMemoryChanges = false;
    if (m_Model.MemoryHasUnsavedPairs())
    {
        const int nAnswer = tUserPrompts().ShowMessage(tLocalisedWith("MEMDOC_UNSAVED_CHANGES_OF", GetProjectName()),
                                                       sCaption, nButtons, this);
        if (nAnswer == wxCANCEL)
            return false;
        const bool bSaved = nAnswer == wxYES && m_Model.SaveMemory();
        // A file choice cancelled (or a failed save) stops the close while it still can stop.
        if (nAnswer == wxYES && !bSaved && bCanCancel)
            return false;
        bDropMemoryChanges = !bSaved;
    }
    while (m_Model.IsChanged())
    {
        const int nAnswer = tUserPrompts().ShowMessage(tLocalisedWith("XLIFFDOC_UNSAVED_CHANGES_OF", GetProjectName()),
                                                       sCaption, nButtons, this);
        if (nAnswer == wxCANCEL)
            return false;
        if (nAnswer == wxNO)
        {
            tcLog::LogStr("Save: Cancelled by user", true);
            break;
        }
        if (Save())
            break;
    }
    m_bDropMemoryChanges = bDropMemoryChanges;
    m_bCloseAgreed = true;
    return true;
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
    const int nFile = std::clamp(GetCurrentFile(), 0, nFiles - 1);
    const wxString sFile =
        m_Model.GetFileNodes()[nFile]->GetAttributeDisplayAsString(m_Model.GetXLIFFDTD().m_pFileOriginalAttr);
    const int nAnswer = tUserPrompts().ShowMessage(tLocalisedWith("WARNING_REMOVE_FILE", sFile),
                                                   g_LocEngine.FindTranslation("MESSAGETITLE_WARNING"),
                                                   wxOK | wxCANCEL | wxICON_EXCLAMATION, this);
    if (nAnswer != wxOK)
        return;
    FlushCommit();
    if (m_pPanes)
        m_pPanes->ClearPreview();
    m_Model.RemoveFile(nFile);
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
    m_Model.SelectFile(0);
    m_pLayout = std::make_unique<VRDocLayout>(this, m_Model);
    m_pPanes = m_pLayout.get();
    BindEvents();
    SelectFile(0);
}

void VRDocFrame::BindEvents()
{
    struct SHandler
    {
        int nId;
        void (VRDocFrame::*pfn)(wxCommandEvent&);
    };
    static const SHandler aHandlers[] = {
        {NOTIFY_NEXT_UNTRANSLATED, &VRDocFrame::OnNextUntranslated},
        {NOTIFY_PREVIOUS_UNTRANSLATED, &VRDocFrame::OnPreviousUntranslated},
        {NOTIFY_SEGMENT_CHANGED, &VRDocFrame::OnSegmentChanged},
        {NOTIFY_USE_SUGGESTION, &VRDocFrame::OnUseSuggestion},
        {NOTIFY_COPY_SOURCE, &VRDocFrame::OnCopySource},
        {NOTIFY_FILE_CHANGED, &VRDocFrame::OnFileChanged},
        {NOTIFY_TARGET_STATE_CHANGED, &VRDocFrame::OnTargetStateChanged},
    };
    for (const SHandler& handler : aHandlers)
    {
        const auto pfn = handler.pfn;
        Bind(
            wxEVT_CHOICE,
            [this, pfn](wxCommandEvent& event) { tRunGuarded("Project page", this, [&] { (this->*pfn)(event); }); },
            handler.nId);
    }
    // Edits and qualifier changes need nothing of the page; they stop here like the others.
    Bind(
        wxEVT_CHOICE, [](wxCommandEvent&) {}, NOTIFY_TARGET_EDITED);
    Bind(
        wxEVT_CHOICE, [](wxCommandEvent&) {}, NOTIFY_TARGET_STATE_QUALIFIER_CHANGED);
    Bind(wxEVT_AUINOTEBOOK_ALLOW_DND, &VRDocFrame::OnAllowNotebookDnD, this);
    Bind(wxEVT_SIZE, &VRDocFrame::OnSize, this);
    Bind(wxEVT_IDLE, &VRDocFrame::OnIdle, this);
}

void VRDocFrame::SelectFile(int nIndex)
{
    FlushCommit();
    m_Model.SelectFile(nIndex);
    m_nCurrentFile = nIndex;
    // Made now, so that the preview and output find it.
    m_Model.GetConvertor(nIndex);
    if (m_pLayout)
        m_pLayout->ShowCurrentFile();
    m_bPreviewStale = true;
}

void VRDocFrame::SelectSegment(int nIndex)
{
    FlushCommit();
    if (m_pLayout)
        m_pLayout->ShowSegment(nIndex);
    m_bPreviewStale = true;
}

void VRDocFrame::MoveToUntranslated(int nStep)
{
    FlushCommit();
    VRSourceFrame* pSource = m_pLayout->GetSourceFrame();
    const std::vector<tcNode*>& apSegments = m_Model.GetSegments();
    const int nCount = static_cast<int>(apSegments.size());
    if (nCount == 0)
        return;
    const int nStart = std::clamp(pSource->GetCurrentSegment(), 0, nCount - 1);
    int nIndex = (nStart + nStep + nCount) % nCount;
    while (nIndex != nStart && m_pLayout->GetTranslationFrame()->HasTarget(apSegments[nIndex]))
        nIndex = (nIndex + nStep + nCount) % nCount;
    if (nIndex != nStart)
        pSource->SelectSegment(nIndex);
}

void VRDocFrame::OnNextUntranslated(wxCommandEvent&)
{
    MoveToUntranslated(1);
}

void VRDocFrame::OnPreviousUntranslated(wxCommandEvent&)
{
    MoveToUntranslated(-1);
}

void VRDocFrame::OnSegmentChanged(wxCommandEvent&)
{
    SelectSegment(m_pLayout->GetSourceFrame()->GetCurrentSegment());
}

void VRDocFrame::OnUseSuggestion(wxCommandEvent&)
{
    tcNode* pSegment = m_pLayout->GetCurrentSegmentNode();
    VRSuggestedTranslationFrame* pSuggestions = m_pLayout->GetSuggestions();
    const tcNode* pSuggestion = pSegment ? pSuggestions->GetSelectedSuggestion() : nullptr;
    if (!pSuggestion)
        return;
    std::vector<tcNode*> apSourceTags, apCopyTags;
    CollectInlineTags(pSegment, apSourceTags);
    tcDocument* pDoc = GetDocument();
    // A suggestion from the memory lives in another document; its kinds are declared by name there.
    tcNode* pCopy = pSuggestion->GetDTD() == pDoc->GetDTD()
                        ? pDoc->AllocateElementByID(pSuggestion->GetElementTypeID(), true, false)
                        : pDoc->AllocateElementByName(pSuggestion->GetElementName());
    if (!pCopy)
        return;
    tcCloneContext context(pDoc, pSuggestion->GetDoc());
    context.bMergeDTDs = pSuggestion->GetDoc() != pDoc;
    pCopy->CloneTree(pSuggestion, &context);
    CollectInlineTags(pCopy, apCopyTags);
    SyncInlineTags(pDoc, pCopy, apSourceTags, apCopyTags);
    const wxString sText = pCopy->GenerateXMLChildren(true, true);
    pDoc->DeleteTreeFromDoc(pCopy);
    // The text is committed before the state is set, so both land on this segment.
    VRTranslationFrame* pTranslation = m_pLayout->GetTranslationFrame();
    pTranslation->SetTargetText(sText);
    if (pSuggestions->IsExactMatch())
    {
        pTranslation->SetState("translated");
        pTranslation->SetStateQualifier("exact-match");
    }
    else
    {
        pTranslation->SetState("needs-adaptation");
        pTranslation->SetStateQualifier("fuzzy-match");
    }
    pDoc->SetDirty();
}

void VRDocFrame::OnCopySource(wxCommandEvent&)
{
    if (!m_pLayout->GetCurrentSegmentNode())
        return;
    VRTranslationFrame* pTranslation = m_pLayout->GetTranslationFrame();
    pTranslation->SetTargetText(m_pLayout->GetSourceFrame()->GetCurrentSegmentText());
    pTranslation->SetState("needs-adaptation");
    pTranslation->SetStateQualifier("x-leveraged-source");
    GetDocument()->SetDirty();
}

void VRDocFrame::OnFileChanged(wxCommandEvent&)
{
    const int nFile = m_pLayout->GetCurrentFile();
    if (!m_Model.GetConvertor(nFile))
        tcLog::LogStr("No convertor for the current file: no preview", true);
    SelectFile(nFile);
}

void VRDocFrame::OnTargetStateChanged(wxCommandEvent&)
{
    tcNode* pSegment = m_pLayout->GetCurrentSegmentNode();
    if (!pSegment)
        return;
    VRTranslationFrame* pTranslation = m_pLayout->GetTranslationFrame();
    const bool bFinal = pTranslation->GetState() == "final";
    const bool bWasFinal = pTranslation->GetPreviousState() == "final";
    if (bFinal != bWasFinal)
        UpdateMemoryPairs(pSegment, bFinal);
}

void VRDocFrame::UpdateMemoryPairs(tcNode* pSegment, bool bAdd)
{
    CVRMemDoc* pMemDoc = GetMemDoc();
    if (!pMemDoc)
    {
        tcLog::LogStr("No memory: the translation pairs stay out of it", true);
        return;
    }
    const SXLIFFDTD& dtd = m_Model.GetXLIFFDTD();
    tcNode* pUnit = pSegment;
    while (pUnit && pUnit->GetElement() != dtd.m_pTransUnitElement)
        pUnit = pUnit->GetParent();
    if (!pUnit)
        return;
    wxString sSourceLanguage;
    if (const tcNode* pSource = pUnit->GetNthChildOfElementType(dtd.m_pSourceElement->GetID(), 0))
        sSourceLanguage = pSource->GetAttributeDeprecatedAsString(dtd.m_pSourceLangAttr);
    if (sSourceLanguage.empty())
    {
        const tcNode* pFile = pUnit;
        while (pFile && pFile->GetElement() != dtd.m_pFileElement)
            pFile = pFile->GetParent();
        if (pFile)
            sSourceLanguage = pFile->GetAttributeDisplayAsString(dtd.m_pFileSourceLanguageAttr);
    }
    const wxString sTargetLanguage = m_pLayout->GetTranslationFrame()->GetTargetLanguage();
    if (sSourceLanguage.empty() || sTargetLanguage.empty())
    {
        tcLog::LogStr("Translation pair without a language: the memory stays unchanged", true);
        return;
    }
    // The state is the unit's, but only the segment the translator confirmed is a finished pair: its
    // siblings may hold half-typed text. A sentence segment carries the blanks that separated it from
    // the one before (and a line end after the last); they belong to the document, not to the pair,
    // and would keep the sentence from ever matching itself fully again.
    const wxString sTarget = GetTargetXML(dtd, pSegment).Strip(wxString::both);
    if (sTarget.empty())
        return;
    const wxString sSource = GetSegmentXML(pSegment, dtd.m_pSourceElement, dtd.m_pMrkElement).Strip(wxString::both);
    if (bAdd)
        pMemDoc->AddTranslation(sSource, sTarget, sSourceLanguage, sTargetLanguage);
    else
        pMemDoc->RemoveTranslation(sSource, sTarget, sSourceLanguage, sTargetLanguage);
}

void VRDocFrame::OnAllowNotebookDnD(wxAuiNotebookEvent& event)
{
    // Only the page's own notebooks trade tabs; a project tab or another page's pane never drops in.
    if (m_pLayout && m_pLayout->IsOwnNotebook(event.GetDragSource()))
        event.Allow();
}

void VRDocFrame::OnSize(wxSizeEvent& event)
{
    if (m_bLayoutPending && m_pLayout)
    {
        m_bLayoutPending = false;
        m_pLayout->GetManager()->Update();
        // The first page ever shown records the built-in layout; later pages take the default.
        if (ViewsStore() && !LoadPerspective("DefaultView"))
        {
            StoreView("DefaultView");
            StoreView("OriginalDefaultView");
        }
    }
    event.Skip();
}

void VRDocFrame::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    if (!m_bPreviewStale || !m_pLayout)
        return;
    m_bPreviewStale = false;
    tcConvertor* pConvertor = m_Model.GetConvertor(m_nCurrentFile);
    if (!pConvertor || m_nCurrentFile >= GetNumFiles())
        return;
    tRunGuarded("Preview", this,
                [&]
                {
                    wxWindow* pWindow = pConvertor->GeneratePreview(
                        &m_Model.GetXLIFFDTD(), m_pLayout->GetPreviewPanel(), m_Model.GetFileNodes()[m_nCurrentFile],
                        m_pLayout->GetCurrentSegmentNode(), m_pLayout->GetTranslationFrame()->GetTargetLanguage());
                    m_pLayout->ShowPreviewWindow(pWindow);
                });
}

void VRDocFrame::ShowHTMLPreview(const wxString& sHTML)
{
    if (!m_pLayout)
        return;
    m_pLayout->ShowHTML(sHTML);
    // The page stays until the translator moves on.
    m_bPreviewStale = false;
}

bool VRDocFrame::LoadPerspective(const wxString& sName)
{
    wxString sValue;
    if (!g_pConfig || !m_pLayout || !g_pConfig->Read(sName, &sValue) || sValue.empty())
        return false;
    return m_pLayout->LoadView(sValue);
}

void VRDocFrame::StoreView(const wxString& sName)
{
    if (g_pConfig && m_pLayout)
        g_pConfig->Write(sName, m_pLayout->SaveView());
}

bool VRDocFrame::LoadView(const wxString& sName)
{
    return ViewsStore() && LoadPerspective(sName);
}

void VRDocFrame::SaveView(const wxString& sName)
{
    if (ViewsStore())
        StoreView(sName);
}

void VRDocFrame::DeleteView(const wxString& sName)
{
    wxConfigBase* pStore = ViewsStore();
    if (!pStore)
        return;
    pStore->DeleteEntry(sName, true);
    // The store puts back the group it has just removed when it returns to the old path, so an
    // empty group is removed from the root.
    pStore->SetPath(kViewsPath);
    if (pStore->GetNumberOfEntries() == 0 && pStore->GetNumberOfGroups() == 0)
    {
        pStore->SetPath("/");
        pStore->DeleteGroup(kViewsPath);
    }
}

void VRDocFrame::SetDefaultView()
{
    SaveView("DefaultView");
}

void VRDocFrame::RestoreDefaultView()
{
    if (ViewsStore() && !LoadPerspective("DefaultView"))
        tAssert(__FILE__, __LINE__, "DefaultView");
}

void VRDocFrame::RestoreOriginalDefaultView()
{
    if (!ViewsStore())
        return;
    if (!LoadPerspective("OriginalDefaultView"))
        tAssert(__FILE__, __LINE__, "OriginalDefaultView");
    StoreView("DefaultView");
}
