#pragma once

#include "workspace/VRDocFrame.h"

#include <memory>
#include <utility>
#include <vector>

class VRFilesFrame;
class tcHTMLWindow;
class VRNotesPage;
class VRPreviewPanel;
class VRSourceFrame;
class VRSuggestedTranslationFrame;
class VRTranslationFrame;
class wxAuiManager;
class wxAuiNotebook;
class wxWindow;

// The seven panes of a project page in four docked notebooks ("topleft", "bottomleft" on the
// left, "topright", "bottomright" in the centre). The docking manager runs over the page; the
// layout must be destroyed before the page's children go. Main thread only.
class VRDocLayout : public VRDocFramePanes
{
public:
    VRDocLayout(VRDocFrame* pPage, VRProjectModel& model);
    ~VRDocLayout() override;
    VRDocLayout(const VRDocLayout&) = delete;
    VRDocLayout& operator=(const VRDocLayout&) = delete;

    void FlushCommit() override;
    void ClearPreview() override;
    void UnbindNodes() override;
    int GetCurrentFile() const override;
    void SetFiles(const std::vector<tcNode*>& apFiles) override;

    // Replaces the source segments pane with one over the model's current segment list and shows
    // the first segment (or none) in every pane; the file notes show the current header.
    void ShowCurrentFile();
    // Shows an HTML page in the preview panel and brings the panel to the front of its notebook.
    void ShowHTML(const wxString& sHTML);
    // Hosts a convertor's preview window (not owned; null: none), dropping an HTML page shown before.
    void ShowPreviewWindow(wxWindow* pWindow);
    // Shows segment nIndex of the current file in every pane; ignored outside the list.
    void ShowSegment(int nIndex);

    // The arrangement as a stored view holds it: "2|" + tabs + "|" + the docking manager's
    // perspective, where tabs lists each notebook's tabs in order, as "topleft=SOURCE_SEGMENTS*,
    // SOURCE_FILES;bottomleft=..." (the caption keys, "*" after the notebook's selected tab).
    wxString SaveView() const;
    // Applies a stored view: the perspective, and every tab put back into its notebook at its place.
    // A value without tabs ("1|" + perspective, or a bare perspective) puts the tabs where a new
    // page has them. False, changing nothing, when the perspective is no layout.
    bool LoadView(const wxString& sValue);

    wxAuiManager* GetManager() const { return m_pManager.get(); }
    bool IsOwnNotebook(const wxWindow* pWindow) const;
    wxAuiNotebook* GetNotebook(int nIndex) const { return m_apNotebooks[nIndex]; }
    VRSourceFrame* GetSourceFrame() const { return m_pSource; }
    VRFilesFrame* GetFilesFrame() const { return m_pFiles; }
    VRTranslationFrame* GetTranslationFrame() const { return m_pTranslation; }
    VRNotesPage* GetFileNotes() const { return m_pFileNotes; }
    VRNotesPage* GetTranslationNotes() const { return m_pTranslationNotes; }
    VRPreviewPanel* GetPreviewPanel() const { return m_pPreview; }
    VRSuggestedTranslationFrame* GetSuggestions() const { return m_pSuggestions; }
    // The segment the panes show (-1: none) and its node (null: none).
    int GetShownSegment() const { return m_nShownSegment; }
    tcNode* GetCurrentSegmentNode() const;

private:
    void CreateSourceFrame();
    // The tab list of SaveView, and putting the tabs where such a list says.
    std::vector<std::pair<wxWindow*, const char*>> Tabs() const;
    wxString SaveTabs() const;
    void LoadTabs(const wxString& sTabs);
    // The notebook holding pPage (null when none) and the page's index there.
    wxAuiNotebook* NotebookOf(const wxWindow* pPage, int* pnIndex = nullptr) const;

    VRDocFrame* m_pPage;
    VRProjectModel& m_Model;
    std::unique_ptr<wxAuiManager> m_pManager;
    wxAuiNotebook* m_apNotebooks[4] = {};
    VRSourceFrame* m_pSource = nullptr;
    VRFilesFrame* m_pFiles = nullptr;
    VRTranslationFrame* m_pTranslation = nullptr;
    VRNotesPage* m_pFileNotes = nullptr;
    VRNotesPage* m_pTranslationNotes = nullptr;
    VRPreviewPanel* m_pPreview = nullptr;
    VRSuggestedTranslationFrame* m_pSuggestions = nullptr;
    int m_nShownSegment = -1;
    std::unique_ptr<tcHTMLWindow> m_pHTMLView;
    // The tabs as a new page has them.
    wxString m_sBuiltInTabs;
};
