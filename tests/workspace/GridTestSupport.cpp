#include "tests/workspace/GridTestSupport.h"

#include "tests/harness/EventPump.h"

#include <wx/settings.h>

GridTestFrame::GridTestFrame(const wxSize& size) : wxFrame(nullptr, wxID_ANY, "Grid", wxPoint(0, 0), size)
{
    m_pGrid = new VRGrid(this, wxID_ANY, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    Bind(
        wxEVT_CHOICE,
        [this](wxCommandEvent& event) {
            m_aSelections.push_back({event.GetInt(), event.GetEventObject()});
        },
        VRGRID_SELECTION_CHANGED);
    m_pGrid->Bind(
        wxEVT_CHOICE,
        [this](wxCommandEvent& event)
        {
            ++m_nRowDrags;
            event.Skip();
        },
        VRGRID_ROW_DRAGGED);
}

void GridTestFrame::AddEditorColumn(bool bReadOnly, const wxString& sHeading)
{
    auto* pColumn = new VRSegmentEditorColumn(m_pGrid, &VRSegmentEditor::SetReadOnly, bReadOnly,
                                              &VRSegmentEditor::LoadSegment, &VRSegmentEditor::GetSegmentXML);
    pColumn->SetHeading(sHeading);
    m_pGrid->AddColumn(pColumn);
}

void GridTestFrame::AddTextColumn(const wxString& sHeading)
{
    auto* pColumn =
        new VRTextColumn(m_pGrid, &wxTextCtrl::SetEditable, true, &wxTextCtrl::SetValue, &wxTextCtrl::GetValue);
    pColumn->SetHeading(sHeading);
    m_pGrid->AddColumn(pColumn);
}

void GridTestFrame::Fill(int nRows)
{
    m_pGrid->Freeze();
    for (int nRow = 0; nRow < nRows; ++nRow)
        for (int nColumn = 0; nColumn < m_pGrid->GetNumColumns(); ++nColumn)
            m_pGrid->AddItem(nColumn, TaggedSegment(nRow));
    m_pGrid->Thaw();
}

bool GridTestFrame::ShowAndWait()
{
    Show();
    return PumpUntil([this]() { return IsShownOnScreen() && m_pGrid->GetClientSize() == GetClientSize(); });
}

wxString TaggedSegment(int nRow)
{
    return wxString::Format(
        wxString::FromUTF8("Row %d starts <bpt id=\"1\" ctype=\"bold\"><![CDATA[<b>]]></bpt>in bold"
                           "<ept id=\"1\"><![CDATA[</b>]]></ept>, then a break<ph><![CDATA[<br/>]]></ph> and "
                           "Grüße."),
        nRow + 1);
}

std::string RowNotWhole(VRGrid* pGrid, int nRow)
{
    const int nTop = pGrid->GetFirstVisibleRow();
    wxWindow* pCell = pGrid->GetColumn(0)->GetDisplayedControl(nRow - nTop);
    const std::string sWhere = "row " + std::to_string(nRow) + ", first visible row " + std::to_string(nTop);
    if (!pCell || !pCell->IsShown() || pGrid->FindCellRow(pCell) != nRow)
        return sWhere + ": not displayed";
    const wxRect rect = pCell->GetRect();
    const int nHeight = pGrid->GetClientSize().y;
    if (rect.GetTop() < 0 || (rect.GetBottom() >= nHeight && nRow != nTop))
        return sWhere + ": cells at " + std::to_string(rect.GetTop()) + " to " + std::to_string(rect.GetBottom()) +
               " in a grid of " + std::to_string(nHeight) + " pixels";
    return std::string();
}
