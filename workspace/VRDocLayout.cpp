#include "workspace/VRDocLayout.h"

#include "Shared/HTMLPreview.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcNode.h"
#include "workspace/VRFilesFrame.h"
#include "workspace/VRNotesFrame.h"
#include "workspace/VRPreviewPanel.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRSuggestedTranslationFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/aui/aui.h>

#include <algorithm>
#include <iterator>

namespace
{
constexpr long kNotebookStyle = wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_TAB_EXTERNAL_MOVE |
                                wxAUI_NB_SCROLL_BUTTONS;

wxString Caption(const char* szKey)
{
    return g_LocEngine.FindTranslation(szKey);
}

const char* const kNotebookNames[] = {"topleft", "bottomleft", "topright", "bottomright"};
// The token of a stored view that lists the tabs before the perspective.
const char* const kViewWithTabs = "2";
} // namespace

VRDocLayout::VRDocLayout(VRDocFrame* pPage, VRProjectModel& model) : m_pPage(pPage), m_Model(model)
{
    m_pManager = std::make_unique<wxAuiManager>(pPage, wxAUI_MGR_DEFAULT);
    m_pManager->SetDockSizeConstraint(0.5, 1.0);
    wxAuiPaneInfo info;
    info.CenterPane().Movable(false).Resizable(true).Dockable(true).Floatable(true).BestSize(wxSize(2000, -1));
    info.Left().Dock();
    const SXLIFFDTD* pDTD = &m_Model.GetXLIFFDTD();
    for (wxAuiNotebook*& pNotebook : m_apNotebooks)
        pNotebook = new wxAuiNotebook(pPage, wxID_ANY, wxDefaultPosition, wxDefaultSize, kNotebookStyle);

    m_pSource = new VRSourceFrame(m_apNotebooks[0], pDTD->m_pSourceElement, pDTD->m_pMrkElement, m_Model.GetSegments());
    m_apNotebooks[0]->AddPage(m_pSource, Caption("SOURCE_SEGMENTS"), true);
    m_pFiles = new VRFilesFrame(m_apNotebooks[0], pDTD, m_Model.GetFileNodes());
    m_apNotebooks[0]->AddPage(m_pFiles, Caption("SOURCE_FILES"), false);
    m_pManager->AddPane(m_apNotebooks[0], wxAuiPaneInfo(info).Name("topleft"));

    m_pTranslation = new VRTranslationFrame(m_apNotebooks[1], pDTD, m_Model.GetDocument(), m_Model.GetMemDoc());
    m_apNotebooks[1]->AddPage(m_pTranslation, Caption("TARGET_TRANSLATIONS"), true);
    m_pManager->AddPane(m_apNotebooks[1], wxAuiPaneInfo(info).Name("bottomleft"));

    info.Center();
    m_pFileNotes =
        new VRNotesPage(m_apNotebooks[2], pDTD->m_pNoteElement, m_Model.GetDocument(), m_Model.GetHeaderNode());
    m_apNotebooks[2]->AddPage(m_pFileNotes, Caption("FILE_NOTES"), true);
    m_pTranslationNotes = new VRNotesPage(m_apNotebooks[2], pDTD->m_pNoteElement, m_Model.GetDocument(), nullptr);
    m_apNotebooks[2]->AddPage(m_pTranslationNotes, Caption("TRANSLATION_NOTES"), false);
    m_pPreview = new VRPreviewPanel(m_apNotebooks[2]);
    m_apNotebooks[2]->AddPage(m_pPreview, Caption("TRANSLATION_PREVIEW"), false);
    m_pManager->AddPane(m_apNotebooks[2], wxAuiPaneInfo(info).Name("topright"));

    m_pSuggestions = new VRSuggestedTranslationFrame(m_apNotebooks[3], pDTD, m_Model.GetIO());
    m_apNotebooks[3]->AddPage(m_pSuggestions, Caption("SUGGESTED_TRANSLATIONS"), true);
    m_pManager->AddPane(m_apNotebooks[3], wxAuiPaneInfo(info).Name("bottomright"));
    m_sBuiltInTabs = SaveTabs();
}

VRDocLayout::~VRDocLayout()
{
    ShowPreviewWindow(nullptr);
    m_pManager->UnInit();
}

void VRDocLayout::FlushCommit()
{
    m_pTranslation->FlushCommit();
}

void VRDocLayout::ClearPreview()
{
    ShowPreviewWindow(nullptr);
}

void VRDocLayout::ShowPreviewWindow(wxWindow* pWindow)
{
    m_pPreview->SetPreviewWindow(pWindow, false);
    DeleteHTMLWindow(m_pHTMLView);
}

void VRDocLayout::ShowHTML(const wxString& sHTML)
{
    ShowPreviewWindow(nullptr);
    m_pHTMLView = CreateHTMLWindow(m_pPreview, m_pPreview, tcHTMLLinkCallback(), nullptr, -1);
    if (m_pHTMLView)
    {
        m_pHTMLView->SetSize(0, 0, 552, 356);
        m_pHTMLView->SetPage(sHTML.utf8_string());
        // The view deletes its window itself, so the panel only hosts it.
        m_pPreview->SetPreviewWindow(m_pHTMLView->GetWindow(), false);
    }
    int nPage = wxNOT_FOUND;
    if (wxAuiNotebook* pNotebook = NotebookOf(m_pPreview, &nPage))
        pNotebook->SetSelection(nPage);
}

void VRDocLayout::UnbindNodes()
{
    m_pTranslation->SetNode(nullptr);
    m_pSuggestions->SetNode(nullptr);
    m_pTranslationNotes->SetNode(nullptr);
    m_pFileNotes->SetNode(nullptr);
}

int VRDocLayout::GetCurrentFile() const
{
    return m_pFiles->GetCurrentFile();
}

void VRDocLayout::SetFiles(const std::vector<tcNode*>& apFiles)
{
    m_pFiles->SetFiles(apFiles);
}

// The tab keys are the caption keys, which stay the same whatever the program's language.
std::vector<std::pair<wxWindow*, const char*>> VRDocLayout::Tabs() const
{
    return {{m_pSource, "SOURCE_SEGMENTS"},
            {m_pFiles, "SOURCE_FILES"},
            {m_pTranslation, "TARGET_TRANSLATIONS"},
            {m_pFileNotes, "FILE_NOTES"},
            {m_pTranslationNotes, "TRANSLATION_NOTES"},
            {m_pPreview, "TRANSLATION_PREVIEW"},
            {m_pSuggestions, "SUGGESTED_TRANSLATIONS"}};
}

wxString VRDocLayout::SaveTabs() const
{
    const auto aTabs = Tabs();
    wxString sTabs;
    for (int n = 0; n < 4; ++n)
    {
        wxAuiNotebook* pNotebook = m_apNotebooks[n];
        sTabs += (n > 0 ? ";" : "") + wxString(kNotebookNames[n]) + "=";
        for (size_t i = 0; i < pNotebook->GetPageCount(); ++i)
        {
            const wxWindow* pPage = pNotebook->GetPage(i);
            const auto it = std::find_if(aTabs.begin(), aTabs.end(), [&](const auto& tab) { return tab.first == pPage; });
            if (it == aTabs.end())
                continue;
            sTabs += (sTabs.EndsWith("=") ? "" : ",") + wxString(it->second);
            if (static_cast<int>(i) == pNotebook->GetSelection())
                sTabs += "*";
        }
    }
    return sTabs;
}

void VRDocLayout::LoadTabs(const wxString& sTabs)
{
    const auto aTabs = Tabs();
    std::vector<std::pair<wxAuiNotebook*, wxWindow*>> aSelected;
    for (const wxString& sNotebook : wxSplit(sTabs, ';', 0))
    {
        const wxString sName = sNotebook.BeforeFirst('=');
        const auto itName = std::find(std::begin(kNotebookNames), std::end(kNotebookNames), sName);
        if (itName == std::end(kNotebookNames))
            continue;
        wxAuiNotebook* pTarget = m_apNotebooks[itName - std::begin(kNotebookNames)];
        size_t nPlace = 0;
        for (wxString sKey : wxSplit(sNotebook.AfterFirst('='), ',', 0))
        {
            const bool bSelected = sKey.EndsWith("*", &sKey);
            const auto it = std::find_if(aTabs.begin(), aTabs.end(), [&](const auto& tab) { return sKey == tab.second; });
            if (it == aTabs.end())
                continue;
            int nIndex = wxNOT_FOUND;
            wxAuiNotebook* pHolder = NotebookOf(it->first, &nIndex);
            if (pHolder != pTarget || nIndex != static_cast<int>(nPlace))
            {
                if (pHolder)
                    pHolder->RemovePage(nIndex);
                if (it->first->GetParent() != pTarget)
                    it->first->Reparent(pTarget);
                pTarget->InsertPage(std::min(nPlace, pTarget->GetPageCount()), it->first, Caption(it->second), false);
            }
            ++nPlace;
            if (bSelected)
                aSelected.emplace_back(pTarget, it->first);
        }
    }
    for (const auto& [pNotebook, pPage] : aSelected)
        pNotebook->SetSelection(pNotebook->GetPageIndex(pPage));
}

wxString VRDocLayout::SaveView() const
{
    return wxString(kViewWithTabs) + "|" + SaveTabs() + "|" + m_pManager->SavePerspective();
}

bool VRDocLayout::LoadView(const wxString& sValue)
{
    wxString sTabs = m_sBuiltInTabs;
    wxString sPerspective = sValue;
    if (sValue.Find('|') != wxNOT_FOUND)
    {
        sPerspective = sValue.AfterFirst('|');
        if (sValue.BeforeFirst('|') == kViewWithTabs)
        {
            sTabs = sPerspective.BeforeFirst('|');
            sPerspective = sPerspective.AfterFirst('|');
        }
    }
    if (!m_pManager->LoadPerspective(sPerspective, false))
        return false;
    LoadTabs(sTabs);
    m_pManager->Update();
    return true;
}

wxAuiNotebook* VRDocLayout::NotebookOf(const wxWindow* pPage, int* pnIndex) const
{
    for (wxAuiNotebook* pNotebook : m_apNotebooks)
    {
        const int nIndex = pNotebook->GetPageIndex(const_cast<wxWindow*>(pPage));
        if (nIndex != wxNOT_FOUND)
        {
            if (pnIndex)
                *pnIndex = nIndex;
            return pNotebook;
        }
    }
    return nullptr;
}

bool VRDocLayout::IsOwnNotebook(const wxWindow* pWindow) const
{
    for (const wxAuiNotebook* pNotebook : m_apNotebooks)
        if (pWindow && pNotebook == pWindow)
            return true;
    return false;
}

tcNode* VRDocLayout::GetCurrentSegmentNode() const
{
    const std::vector<tcNode*>& apSegments = m_Model.GetSegments();
    const int nIndex = m_nShownSegment;
    return nIndex >= 0 && nIndex < static_cast<int>(apSegments.size()) ? apSegments[nIndex] : nullptr;
}

void VRDocLayout::CreateSourceFrame()
{
    // The pane's grid holds the old file's rows; a new pane is simpler than refilling every part.
    // It takes the old one's place, wherever the translator moved that tab.
    int nPage = 0;
    wxAuiNotebook* pNotebook = NotebookOf(m_pSource, &nPage);
    if (pNotebook)
        pNotebook->DeletePage(nPage);
    else
        pNotebook = m_apNotebooks[0];
    const SXLIFFDTD* pDTD = &m_Model.GetXLIFFDTD();
    m_pSource = new VRSourceFrame(pNotebook, pDTD->m_pSourceElement, pDTD->m_pMrkElement, m_Model.GetSegments());
    pNotebook->InsertPage(nPage, m_pSource, Caption("SOURCE_SEGMENTS"), false);
}

void VRDocLayout::ShowCurrentFile()
{
    // The editor's pending text belongs to the file shown so far.
    m_pTranslation->FlushCommit();
    int nPage = wxNOT_FOUND;
    wxAuiNotebook* pNotebook = NotebookOf(m_pSource, &nPage);
    const bool bSourceShown = pNotebook && pNotebook->GetSelection() == nPage;
    CreateSourceFrame();
    if (bSourceShown && (pNotebook = NotebookOf(m_pSource, &nPage)) != nullptr)
        pNotebook->SetSelection(nPage);
    m_pFileNotes->SetNode(m_Model.GetHeaderNode());
    ShowSegment(0);
}

void VRDocLayout::ShowSegment(int nIndex)
{
    m_pTranslation->FlushCommit();
    const std::vector<tcNode*>& apSegments = m_Model.GetSegments();
    tcNode* pNode = nIndex >= 0 && nIndex < static_cast<int>(apSegments.size()) ? apSegments[nIndex] : nullptr;
    m_nShownSegment = pNode ? nIndex : -1;
    if (pNode)
        m_pSource->SetSelectedSegment(nIndex);
    m_pTranslation->SetNode(pNode);
    m_pSuggestions->SetNode(pNode);
    m_pTranslationNotes->SetNode(pNode);
}
