#pragma once

#include "workspace/Suggestions.h"

#include <wx/panel.h>

#include <vector>

class VRGrid;
class tcIO;
class tcNode;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
struct SXLIFFDTD;

// The pane that shows the memory's proposals for the current segment, best first, in a grid of
// rating, source and translation, and lets the translator pick one (grid row or selection spin) and
// use it (button 4 posts notification 4, a wxEVT_CHOICE command event queued on the pane, object
// the pane). The minimum match and the maximum number shown are spins stored per project file.
//
// The handle record and the IO handler are not owned and must outlive the pane; the handler gives
// the project file's path at every read and write of the limits (null, or a handler without a data
// source: nothing is stored and the pane starts from 30 and 5). The document's nodes are read in
// SetNode; the page calls SetNode again (or with null) before it deletes the segment shown. Main
// thread only.
class VRSuggestedTranslationFrame : public wxPanel
{
public:
    enum
    {
        ID_GRID = 0,
        ID_SELECTION = 1,
        ID_PERCENT = 2,
        ID_LIMIT = 3,
        ID_USE = 4,
    };
    // The notification posted to the page.
    static constexpr int NOTIFY_USE_SUGGESTION = 4;

    VRSuggestedTranslationFrame(wxWindow* pParent, const SXLIFFDTD* pDTD, const tcIO* pIO);

    // Shows the proposals of a segment (`source` or `mrk`) and selects the best; null shows none.
    void SetNode(const tcNode* pSegment);
    // The target of the selected proposal; null when there is none.
    tcNode* GetSelectedSuggestion() const;
    // Whether the selected proposal is a full match (score 100).
    bool IsExactMatch() const;

    int GetShownCount() const { return static_cast<int>(m_aSuggestions.size()); }
    int GetSelected() const { return m_nSelected; }
    const SSuggestionLimits& GetLimits() const { return m_limits; }
    VRGrid* GetGrid() const { return m_pGrid; }
    wxSpinCtrl* GetSelectionSpin() const { return m_pSelectSpin; }
    wxSpinCtrl* GetPercentSpin() const { return m_pPercentSpin; }
    wxSpinCtrl* GetLimitSpin() const { return m_pLimitSpin; }
    wxStaticText* GetCountLabel() const { return m_pCountLabel; }

protected:
    void OnSelectSpin(wxSpinEvent& event);
    void OnPercentSpin(wxSpinEvent& event);
    void OnLimitSpin(wxSpinEvent& event);
    void OnUseTranslation(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnGridSelection(wxCommandEvent& event);

private:
    wxSizer* CreateBottomRow();
    void Fill();
    void Select(int nIndex);
    void LimitsChanged();

    const SXLIFFDTD* m_pDTD;
    const tcIO* m_pIO;
    int m_nSelected = 0;
    SSuggestionLimits m_limits;
    const tcNode* m_pSegment = nullptr;
    wxSpinCtrl* m_pSelectSpin = nullptr;
    wxStaticText* m_pCountLabel = nullptr;
    wxSpinCtrl* m_pPercentSpin = nullptr;
    wxSpinCtrl* m_pLimitSpin = nullptr;
    VRGrid* m_pGrid = nullptr;
    std::vector<SSuggestion> m_aSuggestions;

    wxDECLARE_EVENT_TABLE();
};
