#pragma once

#include <wx/panel.h>

#include <vector>

class VRGrid;
class tcElement;
class tcNode;
class wxSpinCtrl;
class wxSpinEvent;

// The pane that lists the current file's source segments, one grid row each, and moves between
// them: a segment-number spin, previous and next buttons (wrapping around), previous and next
// untranslated buttons and a copy-source button. Every change of the current segment posts
// notification 3; the untranslated and copy-source buttons only pass their request on (1, 2, 5).
// Notifications are wxEVT_CHOICE command events queued on the pane, object the pane.
//
// A file without segments disables the navigation and posts nothing. The segment nodes are read
// while the grid is filled, in the constructor, and not kept. Main thread only.
class VRSourceFrame : public wxPanel
{
public:
    enum
    {
        ID_NEXT = 30000,
        ID_PREVIOUS = 30001,
        ID_NEXT_UNTRANSLATED = 30002,
        ID_PREVIOUS_UNTRANSLATED = 30003,
        ID_SPIN = 30004,
        ID_GRID = 30005,
        ID_COPY_SOURCE = 30006,
    };
    // Notifications posted to the page.
    enum
    {
        NOTIFY_NEXT_UNTRANSLATED = 1,
        NOTIFY_PREVIOUS_UNTRANSLATED = 2,
        NOTIFY_SEGMENT_CHANGED = 3,
        NOTIFY_COPY_SOURCE = 5,
    };

    // apSegments: `source` and `mrk` nodes in document order (the page's segment list).
    VRSourceFrame(wxWindow* pParent, tcElement* pSourceElement, tcElement* pMrkElement,
                  const std::vector<tcNode*>& apSegments);

    // The grid text (segment XML at fill time) of the current segment; empty without segments.
    wxString GetCurrentSegmentText() const;
    // The XML a segment shows in the grid (see ::GetSegmentXML).
    wxString GetSegmentXML(const tcNode* pNode) const;
    // Makes segment nIndex current, shows its number and posts notification 3; the grid selection
    // stays. An index outside the list is ignored.
    void SelectSegment(int nIndex);
    // Selects grid row nIndex; posts nothing and leaves the current segment.
    void SetSelectedSegment(int nIndex);

    int GetCurrentSegment() const { return m_nCurrentSegment; }
    int GetSegmentCount() const { return m_nSegmentCount; }
    VRGrid* GetGrid() const { return m_pGrid; }
    wxSpinCtrl* GetSpin() const { return m_pSpin; }

protected:
    void OnNextSegment(wxCommandEvent& event);
    void OnPreviousSegment(wxCommandEvent& event);
    void OnNextUntranslated(wxCommandEvent& event);
    void OnPreviousUntranslated(wxCommandEvent& event);
    void OnCopySource(wxCommandEvent& event);
    void OnSegmentSpin(wxSpinEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnGridSelection(wxCommandEvent& event);

private:
    void FillGrid(const std::vector<tcNode*>& apSegments);
    wxSizer* CreateNavigation();
    // Makes nIndex current, shows it in the spin and posts 3.
    void MoveTo(int nIndex);
    void Notify(int nId);

    VRGrid* m_pGrid = nullptr;
    wxSpinCtrl* m_pSpin = nullptr;
    tcElement* m_pSourceElement;
    tcElement* m_pMrkElement;
    int m_nSegmentCount;
    int m_nCurrentSegment = 0;

    wxDECLARE_EVENT_TABLE();
};
