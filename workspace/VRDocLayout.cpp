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

namespace
{
constexpr long kNotebookStyle = wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_TAB_EXTERNAL_MOVE |
                                wxAUI_NB_SCROLL_BUTTONS;

wxString Caption(const char* szKey)
{
    return g_LocEngine.FindTranslation(szKey);
}
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
    const int nPage = m_apNotebooks[2]->GetPageIndex(m_pPreview);
    if (nPage != wxNOT_FOUND)
        m_apNotebooks[2]->SetSelection(nPage);
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
    wxAuiNotebook* pNotebook = m_apNotebooks[0];
    const int nPage = pNotebook->GetPageIndex(m_pSource);
    // The pane's grid holds the old file's rows; a new pane is simpler than refilling every part.
    if (nPage != wxNOT_FOUND)
        pNotebook->DeletePage(nPage);
    const SXLIFFDTD* pDTD = &m_Model.GetXLIFFDTD();
    m_pSource = new VRSourceFrame(pNotebook, pDTD->m_pSourceElement, pDTD->m_pMrkElement, m_Model.GetSegments());
    pNotebook->InsertPage(0, m_pSource, Caption("SOURCE_SEGMENTS"), false);
}

void VRDocLayout::ShowCurrentFile()
{
    // The editor's pending text belongs to the file shown so far.
    m_pTranslation->FlushCommit();
    const bool bSourceShown = m_apNotebooks[0]->GetSelection() == m_apNotebooks[0]->GetPageIndex(m_pSource);
    CreateSourceFrame();
    if (bSourceShown)
        m_apNotebooks[0]->SetSelection(0);
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
