#include "workspace/VRGrid.h"

#include "workspace/VRGridLayout.h"

#include "varnak/include/tAssert.h"

#include <wx/stattext.h>

// clang-format off
wxBEGIN_EVENT_TABLE(wxNoFocusScrollbar, wxScrollBar)
    EVT_SET_FOCUS(wxNoFocusScrollbar::OnSetFocus)
wxEND_EVENT_TABLE()

wxBEGIN_EVENT_TABLE(VRGridSeperator, wxPanel)
    EVT_MOUSE_EVENTS(VRGridSeperator::OnMouseEvent)
    EVT_MOUSE_CAPTURE_LOST(VRGridSeperator::OnCaptureLost)
wxEND_EVENT_TABLE()

wxBEGIN_EVENT_TABLE(VRGrid, wxPanel)
    EVT_SIZE(VRGrid::OnResize)
    EVT_SCROLL(VRGrid::OnScroll)
    EVT_PAINT(VRGrid::OnPaint)
    EVT_CHOICE(VRGRID_COLUMN_DRAGGED, VRGrid::OnVerticalResize)
    EVT_CHOICE(VRGRID_ROW_DRAGGED, VRGrid::OnHorizontalResize)
    EVT_CHOICE(VRGRID_SELECTION_CHANGED, VRGrid::OnSelectionChanged)
wxEND_EVENT_TABLE()
// clang-format on

wxNoFocusScrollbar::wxNoFocusScrollbar(wxWindow* pParent, wxWindowID nId, const wxPoint& pos, const wxSize& size,
                                       long nStyle)
    : wxScrollBar(pParent, nId, pos, size, nStyle)
{
}

void wxNoFocusScrollbar::OnSetFocus(wxFocusEvent&) {}

VRGridSeperator::VRGridSeperator(wxWindow* pParent, wxWindowID nId, int nOrientation)
    : wxPanel(pParent, nId, wxDefaultPosition, wxSize(1, 1), wxBORDER_NONE), m_nOrientation(nOrientation)
{
}

wxWindow* VRGridSeperator::FindDragOutline(wxWindow*) { return nullptr; }
void VRGridSeperator::OnMouseEvent(wxMouseEvent&) {}
void VRGridSeperator::OnCaptureLost(wxMouseCaptureLostEvent&) {}
void VRGridSeperator::DrawDragOutline(int, int, int, int) {}
void VRGridSeperator::HideDragOutline() {}

VRColumnBase::VRColumnBase(wxWindow* pWindow) : m_pWindow(pWindow) {}
VRColumnBase::~VRColumnBase() = default;
void VRColumnBase::SetSize(int x, int y, int nWidth, int nHeight)
{
    m_nX = x;
    m_nY = y;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
}
void VRColumnBase::ClearDisplayedRows() {}
wxWindow* VRColumnBase::GetDisplayedControl(int) const { return nullptr; }
int VRColumnBase::FindDisplayedControl(const wxWindow*) const { return -1; }
wxWindow* VRColumnBase::DisplayRow(int, int) { return nullptr; }
int VRColumnBase::DisplayHeading() { return 0; }
void VRColumnBase::HideHeading() {}
void VRColumnBase::OnFocus(wxFocusEvent& event) { event.Skip(); }
void VRColumnBase::OnClick(wxMouseEvent& event) { event.Skip(); }
void VRColumnBase::ConnectControl(wxWindow*) {}
void VRColumnBase::PostSelection(int) {}

template <> wxWindow* VRColumn4<VRSegmentEditor, wxString>::CreateControl()
{
    auto* pEditor = new VRSegmentEditor(m_pWindow, wxID_ANY, wxString(), false, wxDefaultPosition, wxDefaultSize,
                                        wxBORDER_NONE);
    ConnectControl(pEditor);
    return pEditor;
}

template <> wxWindow* VRColumn4<wxTextCtrl, wxString>::CreateControl()
{
    auto* pText = new wxTextCtrl(m_pWindow, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0);
    ConnectControl(pText);
    return pText;
}

template class VRColumn4<VRSegmentEditor, wxString>;
template class VRColumn4<wxTextCtrl, wxString>;

VRGrid::VRGrid(wxWindow* pParent, wxWindowID nId, const wxColour& background) : wxPanel(pParent, nId)
{
    m_pScrollbar = new wxNoFocusScrollbar(this, wxID_ANY);
    if (background.IsOk())
        SetBackgroundColour(background);
}

VRGrid::~VRGrid()
{
    DestroyChildren();
    for (VRColumnBase* pColumn : m_apColumns)
        delete pColumn;
}

void VRGrid::AddColumn(VRColumnBase* pColumn)
{
    if (!pColumn->GetHeading().empty())
        m_bHeadingsShown = true;
    m_apColumns.push_back(pColumn);
}

VRColumnBase* VRGrid::GetColumn(int i) const
{
    return i >= 0 && i < GetNumColumns() ? m_apColumns[static_cast<size_t>(i)] : nullptr;
}

bool VRGrid::CheckColumn(bool bFound)
{
    if (!bFound)
        tAssert(__FILE__, __LINE__, "column holds values of this type");
    return bFound;
}

void VRGrid::RowAdded(int nValues, int nHeight) { VRGridLayout::RowAdded(m_anRowHeights, nValues, nHeight); }
void VRGrid::Clear() {}
void VRGrid::Freeze() { m_bFrozen = true; }
void VRGrid::Thaw() { m_bFrozen = false; }
void VRGrid::SetSelectedItem(int nRow) { m_nSelectedRow = nRow; }
void VRGrid::Redraw() {}
void VRGrid::RedrawSelectionLines(int) {}
int VRGrid::GetRowHeight(int nRow) const
{
    return nRow >= 0 && nRow < GetNumRows() ? m_anRowHeights[static_cast<size_t>(nRow)] : 0;
}
int VRGrid::GetFirstVisibleRow() const { return m_pScrollbar->GetThumbPosition(); }
void VRGrid::ScrollToRow(int) {}
int VRGrid::FindCellRow(const wxWindow*) const { return -1; }
void VRGrid::OnResize(wxSizeEvent&) {}
void VRGrid::OnScroll(wxScrollEvent&) {}
void VRGrid::OnPaint(wxPaintEvent&) {}
void VRGrid::OnVerticalResize(wxCommandEvent&) {}
void VRGrid::OnHorizontalResize(wxCommandEvent&) {}
void VRGrid::OnSelectionChanged(wxCommandEvent&) {}
void VRGrid::OnMouseWheel(wxMouseEvent&) {}
void VRGrid::OnCellMouseWheel(wxMouseEvent&) {}
void VRGrid::ScrollBy(int) {}
int VRGrid::SetFirstVisibleRow(int nRow) { return nRow; }
void VRGrid::SetScrollRange(int) {}
wxWindow* VRGrid::TakeSeparator(std::deque<wxWindow*>&, std::deque<wxWindow*>&, int) { return nullptr; }
wxStaticText* VRGrid::TakeLabel(const wxString&) { return nullptr; }
