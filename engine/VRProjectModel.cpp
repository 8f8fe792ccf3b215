#include "engine/VRProjectModel.h"

#include "Shared/Localisation.h"
#include "Shared/UserPrompts.h"
#include "Shared/VRSRXDoc.h"
#include "engine/Convertor.h"
#include "engine/ConvertorProgress.h"
#include "engine/ConvertorRegistry.h"
#include "engine/VRMemDoc.h"
#include "engine/VRMemDocManager.h"
#include "import/XLIFFImporter.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/kvLogReason.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"

#include <wx/defs.h>
#include <wx/filename.h>
#include <wx/stopwatch.h>

#include <algorithm>

namespace
{
// The handler's load errors as one failure text: the first few lines and how many there were.
wxString LoadErrorText(const tcIO& io)
{
    constexpr int kShown = 5;
    const int nErrors = io.GetNumLoadErrors();
    if (nErrors == 0)
        return "Invalid XLIFF project";
    wxString sText;
    for (int i = 0; i < nErrors && i < kShown; ++i)
        sText += io.GetLoadError(i) + "\n";
    sText += wxString::Format("(%d load error%s)", nErrors, nErrors == 1 ? "" : "s");
    return sText;
}

void ThrowIfCancelled(const tcConvertorProgress* pProgress)
{
    if (pProgress && pProgress->WasCancelled())
    {
        tcLog::LogStr("New project: Cancelled by user", true);
        throw VRProjectCancelled("Cancelled by user");
    }
}

// Tells the user, once, which source was left out of the project and why.
void ReportNotAdded(const wxString& sSourcePath, const wxString& sReason)
{
    kvLogError(L"%s was not added to the project: %s", sSourcePath, sReason);
    tUserPrompts().ShowMessage(tLocalisedWith("FILE_NOT_ADDED", sSourcePath, sReason),
                               g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
}

bool SameFile(const wxString& sA, const wxString& sB)
{
    if (sA.empty() || sB.empty())
        return sA == sB;
    return wxFileName(sA).SameAs(wxFileName(sB));
}
} // namespace

VRProjectModel::VRProjectModel(CVRMemDocManager* pManager) : m_pMemDocManager(pManager)
{
    ClearXLIFFDTD(m_XLIFFDTD);
}

VRProjectModel::~VRProjectModel()
{
    ReleaseAll();
}

wxString VRProjectModel::NewEmptyMemoryChoice()
{
    return g_LocEngine.FindTranslation("DOCUMENT_CREATE_NEW_EMPTY");
}

void VRProjectModel::CreateDocument(const wxString& sPath)
{
    m_sPath = sPath;
    m_pDoc = std::make_unique<tcDocument>();
    m_pDoc->SetHeldByProgram(true); // scripts may edit the project, not free it
    m_pIO = g_pIORegistry ? g_pIORegistry->AllocateIO(XLIFFImporterGUID()) : nullptr;
    if (!m_pIO)
        throw TextFailure("Could not assign an IO handler for type XLIFF");
    m_pIO->AttachDoc(m_pDoc.get());
    m_pIO->OpenDatasource(sPath);
    m_pDoc->CreateDoc("translate");
    m_pDoc->SetDirty();
}

void VRProjectModel::CreateNew(const wxString& sSRXPath, const wxString& sMemDoc, const wxArrayString& asSourceFiles,
                               const wxArrayString& asSourceLanguages, const wxString& sTargetLanguage, int nThreshold,
                               tcConvertorProgress* pProgress)
{
    BeginNew(sSRXPath, sMemDoc);
    AddFiles(asSourceFiles, asSourceLanguages, sTargetLanguage, nThreshold, pProgress);
    FinishNew();
}

void VRProjectModel::BeginNew(const wxString& sSRXPath, const wxString& sMemDoc)
{
    CreateDocument(wxString());
    m_pRoot = PrepareNewProjectDocument(m_pDoc.get());
    InitXLIFFDTD(m_pDoc.get(), m_XLIFFDTD, false);
    FindRootAndXliff();
    LoadSRX(sSRXPath);

    if (sMemDoc.empty() || sMemDoc == NewEmptyMemoryChoice())
        m_pOwnMemDoc = m_pMemDocManager->NewMemDoc();
    else
    {
        OpenProjectMemory(sMemDoc);
        if (m_pXliffNode)
            m_pXliffNode->SetAttributeDisplayByString(m_XLIFFDTD.m_pXliffMemdocsAttr, sMemDoc, false, ",");
    }

    tApp()->AppSetDoc(m_pDoc.get());
    tApp()->AppSetIO(m_pIO.get());
}

void VRProjectModel::AddFiles(const wxArrayString& asSourceFiles, const wxArrayString& asSourceLanguages,
                              const wxString& sTargetLanguage, int nThreshold, tcConvertorProgress* pProgress)
{
    T_ASSERT(!asSourceFiles.empty() && asSourceFiles.size() == asSourceLanguages.size());
    const size_t nFiles = std::min(asSourceFiles.size(), asSourceLanguages.size());
    for (size_t i = 0; i < nFiles; ++i)
    {
        ThrowIfCancelled(pProgress);
        // The gauge shows the progress of the file being converted.
        if (pProgress)
            pProgress->SetValue(0);
        AddFile(asSourceFiles[i], asSourceLanguages[i], sTargetLanguage, nThreshold, pProgress);
    }
    ThrowIfCancelled(pProgress);
}

void VRProjectModel::FinishNew()
{
    FindRootAndXliff();
    CollectFileNodes();
    SelectFile(0);
    // An empty first file is no reason to refuse the others; only sources without any text are.
    const bool bAnySegment = std::any_of(m_apFileNodes.begin(), m_apFileNodes.end(),
                                         [this](tcNode* pFile)
                                         {
                                             std::vector<tcNode*> apSegments;
                                             CollectFileSegments(pFile, true, apSegments);
                                             return !apSegments.empty();
                                         });
    if (!bAnySegment)
        throw TextFailure("Nothing to translate");
}

void VRProjectModel::Open(const wxString& sPath, CVRMemDoc* pMemDoc, const AskMemDocFn& askMemDoc)
{
    // A given memory is the caller's reference handed to this model: released with it.
    m_pHeldMemDoc = pMemDoc;
    // Another kind of XML (a web page, a memory given a project's name) would be read as a
    // dictionary of its own and fail with messages about that; the user needs to hear what it is.
    wxString sRoot;
    if (tReadXMLRootName(sPath, sRoot) && sRoot != "xliff")
        throw TextFailure(tLocalisedWith("NOT_A_PROJECT", sPath));
    CreateDocument(sPath);

    int nProgress = 0;
    std::vector<char> buffer(16384, 0);
    int nResult = 0;
    while ((nResult = m_pIO->LoadDictionary(nProgress, buffer.data())) > 0)
    {
    }
    if (nResult < 0)
        throw TextFailure(LoadErrorText(*m_pIO));
    // A finished load is the saved state: only what happens from here on (a new memdocs) is a change.
    m_pDoc->ClearDirty();

    InitXLIFFDTD(m_pDoc.get(), m_XLIFFDTD, true);
    FindRootAndXliff();
    if (!m_pXliffNode)
        throw TextFailure("Invalid XLIFF project");

    const wxString sStored = GetMemDocsPath();
    if (!m_pHeldMemDoc && !sStored.empty())
    {
        wxString sError;
        m_pHeldMemDoc = m_pMemDocManager->OpenMemDoc(sStored, &sError);
        ThrowIfMemoryLoadCancelled();
        if (!m_pHeldMemDoc)
            m_sMemDocProblem = tLocalisedWith("SELECT_TM_STORED_FAILED", sStored, sError);
    }
    if (!m_pHeldMemDoc)
    {
        if (!askMemDoc)
            throw TextFailure(g_LocEngine.FindTranslation("SELECT_TM_CANCELLED"));
        m_pHeldMemDoc = askMemDoc(*m_pMemDocManager);
        if (!m_pHeldMemDoc)
            throw TextFailure(g_LocEngine.FindTranslation("SELECT_TM_CANCELLED"));
    }
    SetMemDocsPath(m_pHeldMemDoc->GetFileName());

    // A saved project always opens again, also when files were removed or added until no segment
    // is left: its panes are then empty.
    CollectFileNodes();
    SelectFile(0);

    tApp()->AppSetDoc(m_pDoc.get());
    tApp()->AppSetIO(m_pIO.get());
}

void VRProjectModel::OpenProjectMemory(const wxString& sMemDoc)
{
    wxString sError;
    if (!wxFileName::Exists(sMemDoc))
    {
        // An empty memory there at once, so that the project names a file that exists and no final
        // pair is lost until the project is reopened.
        const int nAnswer = tUserPrompts().ShowMessage(tLocalisedWith("SELECT_TM_CREATE_NEW", sMemDoc),
                                                       g_LocEngine.FindTranslation("MESSAGETITLE_CONFIRM"),
                                                       wxYES_NO | wxICON_QUESTION, nullptr);
        if (nAnswer != wxYES)
            throw VRProjectCancelled("Cancelled by user");
        m_pHeldMemDoc = m_pMemDocManager->CreateMemDoc(sMemDoc, &sError);
        if (!m_pHeldMemDoc)
            throw TextFailure(tLocalisedWith("SELECT_TM_CREATE_FAILED", sMemDoc, sError));
        return;
    }
    m_pHeldMemDoc = m_pMemDocManager->OpenMemDoc(sMemDoc, &sError);
    ThrowIfMemoryLoadCancelled();
    if (!m_pHeldMemDoc)
        throw TextFailure(tLocalisedWith("SELECT_TM_OPEN_FAILED", sMemDoc, sError));
}

void VRProjectModel::ThrowIfMemoryLoadCancelled() const
{
    if (m_pMemDocManager->WasLoadCancelled())
        throw VRProjectCancelled("Cancelled by user");
}

void VRProjectModel::LoadSRX(const wxString& sPath)
{
    auto pRules = std::make_unique<CVRSRXDoc>(sPath);
    m_pRules = std::move(pRules);
}

bool VRProjectModel::AddFile(const wxString& sSourcePath, const wxString& sSourceLanguage,
                             const wxString& sTargetLanguage, int nThreshold, tcConvertorProgress* pProgress)
{
    wxStopWatch watch;
    kvLogN(L"<%s>", L"ADDFILE");
    const wxString sExtension = ConvertorRegistry::ExtensionOf(sSourcePath);
    std::unique_ptr<tcConvertor> pConvertor =
        g_pConvertorRegistry ? g_pConvertorRegistry->CreateConvertor(sExtension, m_pDoc.get(), sSourceLanguage)
                             : nullptr;
    if (!pConvertor)
        return false;
    try
    {
        if (!m_pRules)
            throw TextFailure("No rules");
        m_pRules->SetLanguage(sSourceLanguage);
    }
    catch (const std::exception& e)
    {
        tcLog::LogStr("Error setting SRX language", true);
        const auto* pText = dynamic_cast<const TextFailure*>(&e);
        ReportNotAdded(sSourcePath, pText ? pText->GetText() : wxString::FromUTF8(e.what()));
        return false;
    }
    bool bAdded = false;
    try
    {
        bAdded = pConvertor->Convert(&m_XLIFFDTD, sSourcePath, m_pRoot, m_pRules.get(), GetMemDoc(), sSourceLanguage,
                                     sTargetLanguage, nThreshold, pProgress);
    }
    catch (const VRProjectCancelled&)
    {
        throw;
    }
    catch (const TextFailure& e)
    {
        // The convertor took the file out again: the other files go on.
        ThrowIfCancelled(pProgress);
        ReportNotAdded(sSourcePath, e.GetText());
        return false;
    }
    const wxString sFailure = pConvertor->GetFailure();
    pConvertor.reset();
    watch.Pause();
    kvLog(L"<~%s:%d,%d>", L"ADDFILE", static_cast<int>(watch.Time()), static_cast<int>(watch.TimeInMicro().GetValue()));
    ThrowIfCancelled(pProgress);
    if (!bAdded)
        ReportNotAdded(sSourcePath, sFailure.empty() ? g_LocEngine.FindTranslation("FILE_COULD_NOT_OPEN") : sFailure);
    return bAdded;
}

void VRProjectModel::CollectFileSegments(tcNode* pParent, bool bTranslatableOnly,
                                         std::vector<tcNode*>& apSegments) const
{
    apSegments = CollectUnitSegments(m_XLIFFDTD, pParent, bTranslatableOnly);
}

void VRProjectModel::CollectSegments(std::vector<tcNode*>& apSegments) const
{
    CollectFileSegments(m_pBodyNode, true, apSegments);
}

void VRProjectModel::CollectFileNodes()
{
    m_apFileNodes.clear();
    if (m_pXliffNode && m_XLIFFDTD.m_pFileElement)
        m_pXliffNode->FindDescendantsOfElementType(m_XLIFFDTD.m_pFileElement->GetID(), m_apFileNodes);
    if (m_apFileNodes.empty())
        throw TextFailure("XLIFF file does not contain any valid files");
    m_apConvertors.clear();
    m_apConvertors.resize(m_apFileNodes.size());
}

void VRProjectModel::FindRootAndXliff()
{
    m_pRoot = m_pDoc ? m_pDoc->GetDictionary() : nullptr;
    m_pXliffNode = m_pRoot ? m_pRoot->GetLanguage(0) : nullptr;
}

void VRProjectModel::RefreshFiles()
{
    DropConvertors();
    CollectFileNodes();
    m_nCurrentFile = std::clamp(m_nCurrentFile, 0, GetNumFiles() - 1);
}

bool VRProjectModel::RemoveFile(int nIndex)
{
    if (GetNumFiles() < 2 || nIndex < 0 || nIndex >= GetNumFiles())
        return false;
    // Nothing may point into the file once it is gone.
    DropConvertors();
    m_apSegments.clear();
    m_pHeaderNode = nullptr;
    m_pBodyNode = nullptr;
    tcNode* pFile = m_apFileNodes[nIndex];
    m_apFileNodes.erase(m_apFileNodes.begin() + nIndex);
    m_pDoc->DeleteTreeFromDoc(pFile);
    m_pDoc->SetDirty();
    RefreshFiles();
    return true;
}

void VRProjectModel::SelectFile(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetNumFiles())
    {
        T_ASSERT(nIndex >= 0 && nIndex < GetNumFiles());
        return;
    }
    m_nCurrentFile = nIndex;
    m_apSegments.clear();
    tcNode* pFile = m_apFileNodes[nIndex];
    m_pHeaderNode = pFile->GetNthChildOfElementType(m_XLIFFDTD.m_pHeaderElement->GetID(), 0);
    m_pBodyNode = nullptr;
    if (!m_pHeaderNode)
        throw TextFailure("No header element found");
    m_pBodyNode = pFile->GetNthChildOfElementType(m_XLIFFDTD.m_pBodyElement->GetID(), 0);
    if (!m_pBodyNode)
        throw TextFailure("No Body element found");
    CollectSegments(m_apSegments);
}

tcConvertor* VRProjectModel::GetConvertor(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetNumFiles())
        return nullptr;
    if (m_apConvertors.size() != m_apFileNodes.size())
        m_apConvertors.resize(m_apFileNodes.size());
    if (!m_apConvertors[nIndex] && g_pConvertorRegistry)
    {
        tcNode* pFile = m_apFileNodes[nIndex];
        const wxString sOriginal = pFile->GetAttributeDisplayAsString(m_XLIFFDTD.m_pFileOriginalAttr);
        const wxString sLanguage = pFile->GetAttributeDisplayAsString(m_XLIFFDTD.m_pFileSourceLanguageAttr);
        m_apConvertors[nIndex] =
            g_pConvertorRegistry->CreateConvertor(ConvertorRegistry::ExtensionOf(sOriginal), m_pDoc.get(), sLanguage);
    }
    return m_apConvertors[nIndex].get();
}

void VRProjectModel::DropConvertors()
{
    for (auto& pConvertor : m_apConvertors)
        pConvertor.reset();
}

wxString VRProjectModel::GetMemDocsPath() const
{
    if (!m_pXliffNode || !m_XLIFFDTD.m_pXliffMemdocsAttr)
        return wxString();
    return m_pXliffNode->GetAttributeRawAsString(m_XLIFFDTD.m_pXliffMemdocsAttr, ",");
}

void VRProjectModel::SetMemDocsPath(const wxString& sPath)
{
    if (!m_pXliffNode || !m_XLIFFDTD.m_pXliffMemdocsAttr || SameFile(GetMemDocsPath(), sPath))
        return;
    m_pXliffNode->SetAttributeDisplayByString(m_XLIFFDTD.m_pXliffMemdocsAttr, sPath, false, ",");
    m_pDoc->SetDirty();
}

bool VRProjectModel::MemoryHasUnsavedPairs() const
{
    if (m_pOwnMemDoc)
        return m_pOwnMemDoc->IsModified();
    // A memory another project still uses is asked about when the last one closes.
    return m_pHeldMemDoc && m_pHeldMemDoc->GetRefCount() == 1 && m_pHeldMemDoc->IsModified();
}

bool VRProjectModel::SaveMemory()
{
    if (m_pHeldMemDoc)
    {
        bool bSaved = false;
        {
            tcBusyNotice busy(g_LocEngine.FindTranslation("DOC_SAVING"));
            bSaved = m_pHeldMemDoc->SaveAs(m_pHeldMemDoc->GetFileName());
        }
        if (!bSaved)
            tUserPrompts().ShowMessage(
                tLocalisedWith("SELECT_TM_CREATE_FAILED", m_pHeldMemDoc->GetFileName(), wxString()),
                g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
        return bSaved;
    }
    if (!m_pOwnMemDoc)
        return true;
    for (;;)
    {
        const wxString sCwd = wxGetCwd();
        const wxString sFile = tUserPrompts().ChooseFile("Choose a file", wxString(), wxString(),
                                                         "TMX files (*.tmx)|*.tmx|All files (*.*)|*.*",
                                                         PROMPT_FILE_SAVE | PROMPT_FILE_OVERWRITE_PROMPT, nullptr);
        wxSetWorkingDirectory(sCwd);
        if (sFile.empty())
            return false;
        // Two memory objects on one file would overwrite each other's pairs.
        if (m_pMemDocManager->FindMemDoc(sFile))
        {
            tUserPrompts().ShowMessage(tLocalisedWith("MEMDOC_FILE_IN_USE", sFile),
                                       g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
            continue;
        }
        bool bSaved = false;
        {
            tcBusyNotice busy(g_LocEngine.FindTranslation("DOC_SAVING"));
            bSaved = m_pOwnMemDoc->SaveAs(sFile);
        }
        if (bSaved)
        {
            SetMemDocsPath(m_pOwnMemDoc->GetFileName());
            return true;
        }
        tUserPrompts().ShowMessage(tLocalisedWith("SELECT_TM_CREATE_FAILED", sFile, wxString()),
                                   g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), wxOK | wxICON_ERROR, nullptr);
    }
}

void VRProjectModel::DropMemoryChanges()
{
    if (!MemoryHasUnsavedPairs())
        return;
    tcLog::LogStr("Save: Cancelled by user", true);
    CVRMemDoc* pMemDoc = GetMemDoc();
    if (tcDocument* pMemDocument = pMemDoc->GetDocument())
        pMemDocument->ClearDirty();
}

void VRProjectModel::CloseMemory()
{
    if (m_pHeldMemDoc)
    {
        m_pMemDocManager->ReleaseMemDoc(m_pHeldMemDoc);
        m_pHeldMemDoc = nullptr;
        return;
    }
    if (!m_pOwnMemDoc)
        return;
    if (m_pOwnMemDoc->IsModified())
    {
        const int nAnswer =
            tUserPrompts().ShowMessage(g_LocEngine.FindTranslation("MEMDOC_UNSAVED_CHANGES"),
                                       g_LocEngine.FindTranslation("MESSAGETITLE_CONFIRM"), wxYES_NO, nullptr);
        if (nAnswer != wxYES || !SaveMemory())
            tcLog::LogStr("Save: Cancelled by user", true);
    }
    std::unique_ptr<CVRMemDoc> pMemDoc = std::move(m_pOwnMemDoc);
    // Asked once: the memory's own destructor must not ask again.
    if (tcDocument* pMemDocument = pMemDoc->GetDocument())
        pMemDocument->ClearDirty();
    pMemDoc.reset();
}

bool VRProjectModel::Save(const wxString& sPath, wxString* psError)
{
    if (!m_pIO || !m_pDoc)
    {
        if (psError)
            *psError = "The project has no document";
        return false;
    }
    int nResult = -1;
    // The writers log why they failed; the last line of that is the reason given to the user.
    tcLogCapture log;
    {
        tcBusyNotice busy(g_LocEngine.FindTranslation("DOC_SAVING"));
        if (sPath.empty())
            nResult = m_sPath.empty() ? -1 : m_pIO->Save(std::vector<tcEntry*>());
        else
        {
            m_sPath = sPath;
            nResult = m_pIO->SaveAs(sPath, nullptr);
        }
    }
    if (nResult < 0)
    {
        if (psError)
            *psError = kvLoggedReason(log, "The file could not be written");
        return false;
    }
    m_pDoc->ClearDirty();
    m_pDoc->ClearDeleted();
    return true;
}

CVRMemDoc* VRProjectModel::GetMemDoc() const
{
    return m_pHeldMemDoc ? m_pHeldMemDoc : m_pOwnMemDoc.get();
}

bool VRProjectModel::IsChanged() const
{
    return m_pDoc && m_pDoc->IsDirty();
}

void VRProjectModel::ReleaseAll()
{
    m_apSegments.clear();
    m_apFileNodes.clear();
    m_pHeaderNode = nullptr;
    m_pBodyNode = nullptr;
    if (m_pHeldMemDoc)
    {
        m_pMemDocManager->ReleaseMemDoc(m_pHeldMemDoc);
        m_pHeldMemDoc = nullptr;
    }
    if (m_pOwnMemDoc)
    {
        // Asked about in CloseMemory or not at all (a failed creation): never by its destructor.
        if (tcDocument* pMemDocument = m_pOwnMemDoc->GetDocument())
            pMemDocument->ClearDirty();
        m_pOwnMemDoc.reset();
    }
    if (m_pIO)
        m_pIO->DetachDoc();
    if (m_pDoc)
        m_pDoc->RecreateDefaultIDAssigner();
    // The context is cleared only where it still names this project: another page may be current.
    if (m_pIO && tApp()->GetCurrentIO() == m_pIO.get())
        tApp()->AppSetIO(nullptr);
    m_pIO.reset();
    m_pRoot = nullptr;
    m_pXliffNode = nullptr;
    if (m_pDoc)
    {
        m_pDoc->SetHeldByProgram(false);
        m_pDoc->DeleteDoc();
        if (tApp()->GetCurrentDoc() == m_pDoc.get())
            tApp()->AppDeleteDoc(m_pDoc.get());
        m_pDoc.reset();
    }
    m_pRules.reset();
    m_apConvertors.clear();
}
