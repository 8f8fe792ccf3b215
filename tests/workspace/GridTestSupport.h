#pragma once

#include "workspace/VRGrid.h"

#include <wx/frame.h>

#include <string>
#include <vector>

// A frame holding one grid that fills it, recording the selections (notification 12) the grid posts
// to it and counting the row drags (notification 11) that reach the grid.
class GridTestFrame : public wxFrame
{
public:
    struct SSelection
    {
        int nRow;
        wxObject* pObject;
    };

    explicit GridTestFrame(const wxSize& size = wxSize(700, 500));

    // The source pane's layout: one column of read-only editors.
    void AddEditorColumn(bool bReadOnly = true, const wxString& sHeading = wxString());
    void AddTextColumn(const wxString& sHeading = wxString());
    // nRows rows of tagged segments in every column, filled frozen, row by row.
    void Fill(int nRows);
    // Shows the frame and waits until the grid has been drawn at its size.
    bool ShowAndWait();

    VRGrid* m_pGrid;
    std::vector<SSelection> m_aSelections;
    int m_nRowDrags = 0;
};

// A segment as the convertors write it: text around a bold pair of codes and a placeholder.
wxString TaggedSegment(int nRow);

// Why row nRow of pGrid does not show whole (not displayed, or its cells cut by the grid's lower edge);
// empty when it does. A row higher than the grid shows whole as the first visible row.
std::string RowNotWhole(VRGrid* pGrid, int nRow);
