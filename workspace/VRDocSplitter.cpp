#include "workspace/VRDocSplitter.h"

#include "Shared/UserPrompts.h"
#include "engine/VRProjectModel.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "workspace/DlgNewDoc.h"
#include "workspace/VRDocFrame.h"

#include <wx/filename.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <algorithm>
#include <exception>
#include <memory>

namespace
{
const char* const kOpenErrorCaption = "Error opening the document";
const char* const kUnknownOpenError = "There was an unknown error opening the document";

// The caption of a tab opened from a file: its name without folders.
wxString FileNamePart(const wxString& sPath)
{
    wxString s = sPath.AfterLast('\\');
    return s.AfterLast('/');
}

// A tab is narrow: it shows the page's title with the project's file name in place of its path.
wxString TabCaption(const VRDocFrame* pPage)
{
    const wxString sPath = pPage->GetFileName();
    const wxString sTitle = pPage->GetTitle();
    return sPath.empty() ? sTitle : FileNamePart(sPath) + sTitle.Mid(sPath.length());
}

void PointContextAt(VRDocFrame* pPage)
{
    tApp()->AppSetDoc(pPage ? pPage->GetDocument() : nullptr);
    tApp()->AppSetIO(pPage ? pPage->GetIO() : nullptr);
}

// What a caught exception says to the user: a text failure its text, anything else the general one.
wxString FailureText()
{
    try
    {
        throw;
    }
    catch (const TextFailure& e)
    {
        return e.GetText();
    }
    catch (...)
    {
        return kUnknownOpenError;
    }
}
} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CVRDocSplitter, wxAuiNotebook)
    EVT_AUINOTEBOOK_PAGE_CHANGED(0, CVRDocSplitter::OnPageChanged)
    EVT_AUINOTEBOOK_END_DRAG(0, CVRDocSplitter::OnEndDrag)
    EVT_AUINOTEBOOK_ALLOW_DND(wxID_ANY, CVRDocSplitter::OnAllowDrop)
wxEND_EVENT_TABLE()
    // clang-format on

    CVRDocSplitter::CVRDocSplitter(wxWindow* pParent)
    : wxAuiNotebook(
          pParent, 0, wxDefaultPosition, wxSize(pParent->GetSize().GetWidth(), pParent->GetSize().GetHeight() - 45),
          wxBORDER_NONE | wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_TAB_EXTERNAL_MOVE | wxAUI_NB_SCROLL_BUTTONS)
{
    Evt_DocFrame_DatasourceChanged.AddHandler(this, &CVRDocSplitter::OnDatasourceChanged);
    Evt_DirtyStateChanged.AddHandler(this, &CVRDocSplitter::OnDirtyStateChanged);
    m_MemDocManager.SetLoadProgress(&m_MemDocLoadProgress);
}

CVRDocSplitter::~CVRDocSplitter()
{
    Evt_DocFrame_DatasourceChanged.RemoveHandler(this);
    Evt_DirtyStateChanged.RemoveHandler(this);
    // The list goes first: selection changes that the deletions cause then find no page to make
    // current, so none of them reaches a page already deleted.
    m_apDocuments.clear();
    m_pCurrentDoc = nullptr;
    while (GetPageCount() > 0)
        DeletePage(0);
}

void CVRDocSplitter::NewDoc()
{
    tcDebugInfo debugInfo("CVRDocSplitter::NewDoc");
    tcLog::Log("CVRDocSplitter::NewDoc");

    wxStopWatch stopWatch;
    kvLogN(L"<%s>", L"CDlgNewDoc");
    std::unique_ptr<CDlgNewDoc> pDialog;
    {
        wxBusyCursor busy;
        pDialog = std::make_unique<CDlgNewDoc>(this, true);
    }
    stopWatch.Pause();
    kvLog(L"<~%s:%d,%d>", L"CDlgNewDoc", static_cast<int>(stopWatch.Time()),
          static_cast<int>(stopWatch.TimeInMicro().GetValue()));

    VRDocFrame* pPage = nullptr;
    while (!pPage)
    {
        // Escape and the close box end the dialog without OK: a cancel like the Cancel button.
        if (pDialog->ShowModal() != wxID_OK)
            return;

        wxArrayString asSourceFiles;
        wxArrayString asSourceLanguages;
        pDialog->GetSourceFiles(asSourceFiles);
        pDialog->GetSourceLanguages(asSourceLanguages);
        const wxString sSRXFile = pDialog->GetSRXFile().Strip(wxString::both);
        const wxString sTMFile = pDialog->GetTMFile().Strip(wxString::both);
        try
        {
            pPage = new VRDocFrame(this, sSRXFile, &m_MemDocManager, sTMFile, asSourceFiles, asSourceLanguages,
                                   pDialog->GetTargetLanguage(), pDialog->GetAutoConvertPercent());
        }
        catch (const VRProjectCancelled&)
        {
            // Stopped from the progress dialog: back to the dialog as the user left it.
        }
        catch (...)
        {
            ShowOpenError(FailureText());
        }
    }
    pDialog.reset();
    AddDocument(pPage);
}

void CVRDocSplitter::OpenDoc(const wxString& sPath)
{
    tcDebugInfo debugInfo("CVRDocSplitter::OpenDoc");
    tcLog::Log("CVRDocSplitter::OpenDoc");

    // One file never gets two pages that would save over each other, whatever form its path has.
    const wxFileName fileName(sPath);
    for (VRDocFrame* pOpen : m_apDocuments)
    {
        const wxString sOpen = pOpen->GetFileName();
        if (!sOpen.empty() && (sOpen == sPath || wxFileName(sOpen).SameAs(fileName)))
        {
            SetSelection(GetPageIndex(pOpen));
            return;
        }
    }

    VRDocFrame* pPage = nullptr;
    try
    {
        pPage = new VRDocFrame(this, sPath, &m_MemDocManager, nullptr);
    }
    catch (const VRProjectCancelled&)
    {
        return;
    }
    catch (...)
    {
        ShowOpenError(FailureText());
        return;
    }
    // A project that opened changed (its memory was chosen anew) gets no change notice later, so
    // its tab shows the mark from the start.
    AddDocument(pPage);
}

void CVRDocSplitter::AddFiles()
{
    tcDebugInfo debugInfo("CVRDocSplitter::AddFiles");
    tcLog::Log("CVRDocSplitter::AddFiles");
    if (!m_pCurrentDoc)
    {
        tAssert(__FILE__, __LINE__, "m_pCurrentDoc");
        return;
    }
    VRDocFrame* pPage = m_pCurrentDoc;

    std::unique_ptr<CDlgNewDoc> pDialog;
    {
        wxBusyCursor busy;
        pDialog = std::make_unique<CDlgNewDoc>(this, false);
    }
    if (pDialog->ShowModal() != wxID_OK)
        return;

    wxArrayString asSourceFiles;
    wxArrayString asSourceLanguages;
    pDialog->GetSourceFiles(asSourceFiles);
    pDialog->GetSourceLanguages(asSourceLanguages);
    const wxString sSRXFile = pDialog->GetSRXFile().Strip(wxString::both);
    const wxString sTargetLanguage = pDialog->GetTargetLanguage();
    const int nThreshold = pDialog->GetAutoConvertPercent();
    pDialog.reset();

    try
    {
        // Rules that do not load leave the page with its previous ones and add nothing.
        pPage->LoadSRX(sSRXFile);
    }
    catch (...)
    {
        ShowOpenError(FailureText());
        return;
    }

    try
    {
        // Each added file marks the project changed, so closing it asks about the new files.
        for (size_t i = 0; i < asSourceFiles.size() && i < asSourceLanguages.size(); ++i)
            pPage->AddFile(asSourceFiles[i], asSourceLanguages[i], sTargetLanguage, nThreshold, nullptr);
        pPage->RefreshFiles();
    }
    catch (...)
    {
        ShowOpenError(FailureText());
    }
    // A project changed before has no change of state to tell the frame about the new files.
    PostSelectionNotification();
}

bool CVRDocSplitter::CloseAllDocs()
{
    tcDebugInfo debugInfo("CVRDocSplitter::CloseAllDocs");
    while (!m_apDocuments.empty())
    {
        // In tab order, each page brought to the front before it asks, so the user sees what the
        // question is about.
        FollowTabOrder();
        VRDocFrame* pPage = m_apDocuments.front();
        if (pPage != m_pCurrentDoc)
            SetSelection(static_cast<size_t>(GetPageIndex(pPage)));
        if (pPage != m_pCurrentDoc)
            SetCurrentFromNotebook(GetPageIndex(pPage));
        const size_t nBefore = m_apDocuments.size();
        if (!CloseCurrentDoc())
            return false;
        // A page that could not be made current is never asked again and again.
        if (m_apDocuments.size() >= nBefore)
            return false;
    }
    return true;
}

bool CVRDocSplitter::CloseCurrentDoc()
{
    tcDebugInfo debugInfo("CVRDocSplitter::CloseCurrentDoc");
    if (!m_pCurrentDoc)
        return true;
    VRDocFrame* pPage = m_pCurrentDoc;
    auto it = std::find(m_apDocuments.begin(), m_apDocuments.end(), pPage);
    if (it == m_apDocuments.end())
    {
        tAssert(__FILE__, __LINE__, "nNum<m_apDocuments.size()");
        return true;
    }
    bool bAgreed = false;
    try
    {
        bAgreed = pPage->QueryClose();
    }
    catch (...)
    {
        tUserPrompts().ShowMessage(FailureText(), g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"),
                                   wxOK | wxICON_ERROR, nullptr);
    }
    if (!bAgreed)
        return false;

    // The list loses the page before the notebook does, so the selection change the removal
    // causes makes one of the remaining pages current.
    m_pCurrentDoc = nullptr;
    m_apDocuments.erase(it);
    const int nPage = GetPageIndex(pPage);
    if (nPage != wxNOT_FOUND)
        RemovePage(static_cast<size_t>(nPage));
    if (!m_pCurrentDoc && !m_apDocuments.empty())
        SetCurrentFromNotebook(GetSelection());

    // The answers given are carried out while it goes.
    pPage->Destroy();

    // The closing page dropped the application context if it held its own document; the page now
    // current gets it back.
    if (m_pCurrentDoc)
        PointContextAt(m_pCurrentDoc);
    PostSelectionNotification();
    return true;
}

bool CVRDocSplitter::SaveCurrentDoc()
{
    tcDebugInfo debugInfo("CVRDocSplitter::SaveCurrentDoc");
    if (!m_pCurrentDoc)
        return true;
    try
    {
        return m_pCurrentDoc->Save();
    }
    catch (...)
    {
        tUserPrompts().ShowMessage(FailureText(), g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"),
                                   wxOK | wxICON_ERROR, nullptr);
        return false;
    }
}

VRDocFrame* CVRDocSplitter::GetDocument(int nNum) const
{
    if (nNum < 0)
    {
        tAssert(__FILE__, __LINE__, "nNum>=0");
        return nullptr;
    }
    if (static_cast<size_t>(nNum) >= m_apDocuments.size())
    {
        tAssert(__FILE__, __LINE__, "nNum<m_apDocuments.size()");
        return nullptr;
    }
    return m_apDocuments[static_cast<size_t>(nNum)];
}

void CVRDocSplitter::UpdatePageTitle(VRDocFrame* pPage)
{
    const int nPage = pPage ? GetPageIndex(pPage) : wxNOT_FOUND;
    if (nPage == wxNOT_FOUND)
        return;
    SetPageText(static_cast<size_t>(nPage), TabCaption(pPage));
    SetPageToolTip(static_cast<size_t>(nPage), pPage->GetFileName());
    PostSelectionNotification();
}

void CVRDocSplitter::OnPageChanged(wxAuiNotebookEvent& event)
{
    if (m_pCurrentDoc || !m_apDocuments.empty())
        SetCurrentFromNotebook(event.GetSelection());
    event.Skip();
}

void CVRDocSplitter::OnEndDrag(wxAuiNotebookEvent& event)
{
    FollowTabOrder();
    event.Skip();
}

void CVRDocSplitter::OnAllowDrop(wxAuiNotebookEvent& event)
{
    // A project tab dropped on another notebook, or another notebook's tab dropped here, would
    // leave a page where nothing manages it: such drops are refused (by not allowing them).
    if (event.GetEventObject() == this || event.GetDragSource() == this)
        return;
    event.Skip();
}

void CVRDocSplitter::SetCurrentFromNotebook(int nPage)
{
    // Tabs can be moved, so the notebook's index is mapped through its own page, never used as an
    // index of the list.
    wxWindow* pWindow = (nPage >= 0 && static_cast<size_t>(nPage) < GetPageCount()) ? GetPage(nPage) : nullptr;
    auto it = std::find(m_apDocuments.begin(), m_apDocuments.end(), pWindow);
    VRDocFrame* pNew = it != m_apDocuments.end() ? *it : nullptr;
    // The page left behind keeps what was typed in its editor.
    if (m_pCurrentDoc && m_pCurrentDoc != pNew)
        m_pCurrentDoc->FlushCommit();
    m_pCurrentDoc = pNew;
    FollowTabOrder();
    if (pNew)
        PointContextAt(pNew);
    PostSelectionNotification();
}

void CVRDocSplitter::FollowTabOrder()
{
    std::stable_sort(m_apDocuments.begin(), m_apDocuments.end(),
                     [this](VRDocFrame* pA, VRDocFrame* pB)
                     {
                         // A page not yet (or no longer) in the notebook keeps its place at the end.
                         const size_t nA = static_cast<size_t>(GetPageIndex(pA));
                         const size_t nB = static_cast<size_t>(GetPageIndex(pB));
                         return nA < nB;
                     });
}

void CVRDocSplitter::AddDocument(VRDocFrame* pPage)
{
    // The first page added is selected at once, with a selection change that must find it listed.
    m_apDocuments.push_back(pPage);
    AddPage(pPage, TabCaption(pPage), false);
    SetPageToolTip(GetPageCount() - 1, pPage->GetFileName());
    SetSelection(GetPageCount() - 1);
    m_pCurrentDoc = pPage;
    PointContextAt(pPage);
    PostSelectionNotification();
}

void CVRDocSplitter::PostSelectionNotification()
{
    wxCommandEvent event(wxEVT_CHOICE, 0);
    event.SetEventObject(this);
    AddPendingEvent(event);
}

void CVRDocSplitter::ShowOpenError(const wxString& sText)
{
    tUserPrompts().ShowMessage(sText, kOpenErrorCaption, wxOK | wxICON_ERROR, nullptr);
}

void CVRDocSplitter::OnDirtyStateChanged(tcEvent*, void* pOwner, void* pArg1, void*)
{
    auto* pThis = static_cast<CVRDocSplitter*>(pOwner);
    for (size_t i = 0; i < pThis->GetPageCount(); ++i)
    {
        auto it = std::find(pThis->m_apDocuments.begin(), pThis->m_apDocuments.end(), pThis->GetPage(i));
        if (it != pThis->m_apDocuments.end() && (*it)->GetDocument() == pArg1)
            pThis->UpdatePageTitle(*it);
    }
}

void CVRDocSplitter::OnDatasourceChanged(tcEvent*, void* pOwner, void* pArg1, void*)
{
    auto* pThis = static_cast<CVRDocSplitter*>(pOwner);
    auto it = std::find(pThis->m_apDocuments.begin(), pThis->m_apDocuments.end(), pArg1);
    if (it != pThis->m_apDocuments.end())
        pThis->UpdatePageTitle(*it);
}
