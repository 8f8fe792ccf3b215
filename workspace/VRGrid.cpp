#include "workspace/VRGrid.h"

#include "workspace/VRGridLayout.h"

#include "varnak/include/tAssert.h"
#include "varnak/include/tcDebugInfo.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include <algorithm>

namespace
{
const char* const DRAG_OUTLINE_NAME = "VRGridDragOutline";
const int WHEEL_ROWS_PER_NOTCH = 3;

wxColour ButtonFace()
{
    return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
}
} // namespace

wxNoFocusScrollbar::wxNoFocusScrollbar(wxWindow* pParent, wxWindowID nId, const wxPoint& pos, const wxSize& size,
                                       long nStyle)
    : wxScrollBar(pParent, nId, pos, size, nStyle)
{
}

void wxNoFocusScrollbar::OnSetFocus(wxFocusEvent&)
{
    // Consumed: the keyboard stays where the user typed.
}

VRGridSeperator::VRGridSeperator(wxWindow* pParent, wxWindowID nId, int nOrientation)
    : wxPanel(pParent, nId, wxDefaultPosition, wxSize(1, 1), wxBORDER_NONE), m_nOrientation(nOrientation),
      m_pCursor(std::make_unique<wxCursor>(nOrientation == 1 ? wxCURSOR_SIZENS : wxCURSOR_SIZEWE))
{
}

wxWindow* VRGridSeperator::FindDragOutline(wxWindow* pParent)
{
    for (wxWindow* pChild : pParent->GetChildren())
        if (pChild->GetName() == DRAG_OUTLINE_NAME)
            return pChild;
    return nullptr;
}

void VRGridSeperator::OnMouseEvent(wxMouseEvent& event)
{
    // The wheel scrolls the grid wherever the pointer is.
    if (event.GetEventType() == wxEVT_MOUSEWHEEL)
    {
        if (GetParent())
            GetParent()->GetEventHandler()->ProcessEvent(event);
        return;
    }
    if (!m_bMovable)
        return;
    if (event.LeftDown())
    {
        if (!HasCapture())
            CaptureMouse();
        m_bCaptured = true;
        m_nStartX = event.GetX();
        m_nStartY = event.GetY();
        SetCursor(*m_pCursor);
    }
    else if (event.Dragging())
    {
        SetCursor(*m_pCursor);
        // Only a drag this separator started draws: a button pressed elsewhere is no drag of it.
        if (!m_bCaptured)
            return;
        const wxSize client = GetClientSize();
        if (m_nOrientation == 1)
            DrawDragOutline(0, event.GetY(), client.x, event.GetY());
        else
            DrawDragOutline(event.GetX(), 0, event.GetX(), client.y);
    }
    else if (event.LeftUp())
    {
        HideDragOutline();
        // A release without a press here ends no drag of this separator.
        if (!m_bCaptured)
            return;
        m_bCaptured = false;
        if (HasCapture())
            ReleaseMouse();
        const bool bRow = m_nOrientation == 1;
        wxCommandEvent notification(wxEVT_CHOICE, bRow ? VRGRID_ROW_DRAGGED : VRGRID_COLUMN_DRAGGED);
        notification.SetInt(bRow ? event.GetY() - m_nStartY : event.GetX() - m_nStartX);
        notification.SetEventObject(this);
        GetEventHandler()->AddPendingEvent(notification);
    }
    else if (event.Moving())
        SetCursor(*m_pCursor);
}

void VRGridSeperator::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    m_bCaptured = false;
    HideDragOutline();
}

void VRGridSeperator::DrawDragOutline(int x1, int y1, int x2, int y2)
{
    wxWindow* pParent = GetParent();
    if (!pParent)
        return;
    wxWindow* pOutline = FindDragOutline(pParent);
    if (!pOutline)
    {
        pOutline = new wxWindow(pParent, wxID_ANY, wxDefaultPosition, wxSize(1, 1), wxBORDER_NONE, DRAG_OUTLINE_NAME);
        pOutline->SetBackgroundColour(*wxBLACK);
    }
    // A line two pixels thick in the parent's coordinates.
    const wxPoint at = GetPosition();
    const int nLeft = std::min(x1, x2), nTop = std::min(y1, y2);
    const int nWidth = std::abs(x2 - x1), nHeight = std::abs(y2 - y1);
    if (nHeight == 0)
        pOutline->SetSize(at.x + nLeft, at.y + nTop - 1, std::max(nWidth, 1), 2);
    else
        pOutline->SetSize(at.x + nLeft - 1, at.y + nTop, 2, std::max(nHeight, 1));
    pOutline->Show();
    pOutline->Raise();
    m_nOutlineX1 = x1;
    m_nOutlineY1 = y1;
    m_nOutlineX2 = x2;
    m_nOutlineY2 = y2;
}

void VRGridSeperator::HideDragOutline()
{
    if (m_nOutlineX1 == -1 && m_nOutlineY1 == -1 && m_nOutlineX2 == -1 && m_nOutlineY2 == -1)
        return;
    if (GetParent())
        if (wxWindow* pOutline = FindDragOutline(GetParent()))
            pOutline->Hide();
    m_nOutlineX1 = m_nOutlineY1 = m_nOutlineX2 = m_nOutlineY2 = -1;
}

VRColumnBase::VRColumnBase(wxWindow* pWindow) : m_pWindow(pWindow) {}

// The controls and the heading label are children of the window, which destroys them.
VRColumnBase::~VRColumnBase() = default;

void VRColumnBase::SetSize(int x, int y, int nWidth, int nHeight)
{
    m_nX = x;
    m_nY = y;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
}

void VRColumnBase::ClearDisplayedRows()
{
    ReleaseDisplayedRows();
    for (wxWindow* pControl : m_apFree)
        pControl->Hide();
}

void VRColumnBase::ReleaseDisplayedRows()
{
    // From the back, so that taking from the back of the free pool gives each displayed place its
    // control again: a cell keeps its focus when the grid redraws without scrolling.
    while (!m_apDisplayed.empty())
    {
        m_apFree.push_back(m_apDisplayed.back());
        m_apDisplayed.pop_back();
    }
}

void VRColumnBase::HideFreeControls()
{
    for (wxWindow* pControl : m_apFree)
        if (pControl->IsShown())
            pControl->Hide();
}

wxWindow* VRColumnBase::GetDisplayedControl(int i) const
{
    return i >= 0 && i < static_cast<int>(m_apDisplayed.size()) ? m_apDisplayed[static_cast<size_t>(i)] : nullptr;
}

int VRColumnBase::FindDisplayedControl(const wxWindow* pControl) const
{
    const auto it = std::find(m_apDisplayed.begin(), m_apDisplayed.end(), pControl);
    return it == m_apDisplayed.end() ? -1 : static_cast<int>(it - m_apDisplayed.begin());
}

wxWindow* VRColumnBase::DisplayRow(int y, int nHeight)
{
    wxWindow* pControl = nullptr;
    if (!m_apFree.empty())
    {
        pControl = m_apFree.back();
        m_apFree.pop_back();
    }
    else
        pControl = CreateControl();
    m_apDisplayed.push_back(pControl);
    pControl->SetSize(m_nX, y + m_nY, m_nWidth, nHeight);
    if (!pControl->IsShown())
        pControl->Show();
    return pControl;
}

int VRColumnBase::DisplayHeading()
{
    if (!m_pHeading)
    {
        m_pHeading = new wxStaticText(m_pWindow, wxID_ANY, m_sHeading, wxDefaultPosition, wxDefaultSize,
                                      wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
        m_pHeading->SetBackgroundColour(ButtonFace());
    }
    else if (m_pHeading->GetLabel() != m_sHeading)
        m_pHeading->SetLabel(m_sHeading);
    const int nHeight = m_pHeading->GetBestSize().y;
    m_pHeading->SetSize(m_nX, 0, m_nWidth, nHeight);
    m_pHeading->Show();
    return nHeight;
}

void VRColumnBase::HideHeading()
{
    if (m_pHeading)
        m_pHeading->Hide();
}

void VRColumnBase::OnFocus(wxFocusEvent& event)
{
    event.Skip();
    const int i = FindDisplayedControl(dynamic_cast<wxWindow*>(event.GetEventObject()));
    if (i >= 0)
        PostSelection(i);
}

void VRColumnBase::OnClick(wxMouseEvent& event)
{
    event.Skip();
    auto* pControl = dynamic_cast<wxWindow*>(event.GetEventObject());
    // A click that gives the focus is reported by the focus event: one click, one notification.
    if (!pControl || wxWindow::FindFocus() != pControl)
        return;
    const int i = FindDisplayedControl(pControl);
    if (i >= 0)
        PostSelection(i);
}

void VRColumnBase::ConnectControl(wxWindow* pControl)
{
    pControl->Bind(wxEVT_SET_FOCUS, &VRColumnBase::OnFocus, this);
    pControl->Bind(wxEVT_LEFT_DOWN, &VRColumnBase::OnClick, this);
    if (auto* pGrid = dynamic_cast<VRGrid*>(m_pWindow))
        pControl->Bind(wxEVT_MOUSEWHEEL, &VRGrid::OnCellMouseWheel, pGrid);
}

void VRColumnBase::PostSelection(int nDisplayIndex)
{
    wxCommandEvent notification(wxEVT_CHOICE, VRGRID_SELECTION_CHANGED);
    notification.SetInt(nDisplayIndex);
    notification.SetEventObject(this);
    m_pWindow->GetEventHandler()->AddPendingEvent(notification);
}

template <> wxWindow* VRColumn4<VRSegmentEditor, wxString>::CreateControl()
{
    auto* pEditor =
        new VRSegmentEditor(m_pWindow, wxID_ANY, wxString(), false, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
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
    tcDebugInfo debug("VRGrid::VRGrid");
    m_pScrollbar = new wxNoFocusScrollbar(this, wxID_ANY);
    m_pScrollbar->Bind(wxEVT_MOUSEWHEEL, &VRGrid::OnMouseWheel, this);
    if (background.IsOk())
        SetBackgroundColour(background);
}

VRGrid::~VRGrid()
{
    // The cells go first: their handlers are bound to the columns.
    m_bFrozen = true;
    DestroyChildren();
    m_pScrollbar = nullptr;
    for (VRColumnBase* pColumn : m_apColumns)
        delete pColumn;
}

void VRGrid::AddColumn(VRColumnBase* pColumn)
{
    if (!pColumn)
        return;
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
        tAssert(__FILE__, __LINE__, "the column exists and holds values of this type");
    return bFound;
}

void VRGrid::RowAdded(int nValues, int nHeight)
{
    VRGridLayout::RowAdded(m_anRowHeights, nValues, nHeight);
    // Frozen, the scrollbar learns the range at Thaw: setting it for every row of a bulk fill costs.
    m_nRange = nValues;
    if (!m_bFrozen)
        Redraw();
}

void VRGrid::Clear()
{
    tcDebugInfo debug("VRGrid::Clear");
    m_anRowHeights.clear();
    for (VRColumnBase* pColumn : m_apColumns)
        pColumn->ClearValues();
    Redraw();
}

void VRGrid::Freeze()
{
    m_bFrozen = true;
}

void VRGrid::Thaw()
{
    m_bFrozen = false;
    Redraw();
}

int VRGrid::GetRowHeight(int nRow) const
{
    return nRow >= 0 && nRow < GetNumRows() ? m_anRowHeights[static_cast<size_t>(nRow)] : 0;
}

int VRGrid::GetFirstVisibleRow() const
{
    return m_pScrollbar ? std::max(0, m_pScrollbar->GetThumbPosition()) : 0;
}

int VRGrid::SetFirstVisibleRow(int nRow)
{
    if (!m_pScrollbar)
        return 0;
    m_pScrollbar->SetThumbPosition(std::max(0, nRow));
    // The scrollbar keeps the position within range - thumb size.
    return GetFirstVisibleRow();
}

void VRGrid::ScrollToRow(int nRow)
{
    SetFirstVisibleRow(nRow);
    Redraw();
}

void VRGrid::ScrollBy(int nRows)
{
    if (nRows == 0)
        return;
    ScrollToRow(GetFirstVisibleRow() + nRows);
}

void VRGrid::SetScrollRange(int nRange)
{
    m_nRange = std::max(0, nRange);
}

void VRGrid::SetSelectedItem(int nRow)
{
    tcDebugInfo debug("VRGrid::SetSelectedItem");
    m_nSelectedRow = VRGridLayout::ClampSelection(nRow, GetNumRows());
    if (m_nSelectedRow < 0)
    {
        RedrawSelectionLines(-1);
        return;
    }
    VRColumnBase* pFirst = GetColumn(0);
    const int nDisplayed = pFirst ? pFirst->GetNumDisplayedRows() : 0;
    const int nValues = pFirst ? pFirst->GetNumValues() : 0;
    const VRGridLayout::SSelectionMove move =
        VRGridLayout::MoveForSelection(m_nSelectedRow, GetFirstVisibleRow(), nDisplayed, nValues, m_anRowHeights,
                                       GetClientSize().y - m_nHeadingHeight);
    if (move.bScroll)
    {
        // The scrollbar keeps its position within range - thumb size, and the last redraw's thumb may
        // be wider than the one this first row gets (near the end, or with tall rows below it): a
        // narrower thumb lets the position hold, and the redraw sets the real one.
        if (m_pScrollbar)
            m_pScrollbar->SetScrollbar(move.nTop, std::min(m_nThumbSize, std::max(1, m_nRange - move.nTop)), m_nRange,
                                       std::max(1, m_nThumbSize));
        Redraw();
    }
    else
        RedrawSelectionLines(m_nSelectedRow);
}

void VRGrid::RedrawSelectionLines(int nRow)
{
    const int nTop = GetFirstVisibleRow();
    for (size_t i = 0; i < m_apActiveRowSeparators.size(); ++i)
    {
        wxWindow* pSeparator = m_apActiveRowSeparators[i];
        const wxColour colour = VRGridLayout::IsSelectionLine(static_cast<int>(i), nRow, nTop) ? *wxRED : *wxBLACK;
        if (pSeparator->GetBackgroundColour() != colour)
        {
            pSeparator->SetBackgroundColour(colour);
            pSeparator->Refresh();
        }
    }
}

wxWindow* VRGrid::TakeSeparator(std::deque<wxWindow*>& apFree, std::deque<wxWindow*>& apActive, int nOrientation)
{
    wxWindow* pSeparator = nullptr;
    if (!apFree.empty())
    {
        pSeparator = apFree.back();
        apFree.pop_back();
    }
    else
        pSeparator = new VRGridSeperator(this, wxID_ANY, nOrientation);
    apActive.push_back(pSeparator);
    return pSeparator;
}

wxStaticText* VRGrid::TakeLabel(const wxString& sText)
{
    wxStaticText* pLabel = nullptr;
    if (!m_apFreeLabels.empty())
    {
        pLabel = m_apFreeLabels.back();
        m_apFreeLabels.pop_back();
        if (pLabel->GetLabel() != sText)
            pLabel->SetLabel(sText);
    }
    else
    {
        pLabel = new wxStaticText(this, wxID_ANY, sText, wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
        pLabel->SetBackgroundColour(ButtonFace());
        pLabel->Bind(wxEVT_MOUSEWHEEL, &VRGrid::OnMouseWheel, this);
    }
    m_apActiveLabels.push_back(pLabel);
    return pLabel;
}

namespace
{
// Moves every active window to the back of its free pool, last first, so that each place gets the
// same window again when nothing scrolled. Hiding waits until the redraw knows which stay unused.
template <typename W> void Release(std::deque<W*>& apActive, std::deque<W*>& apFree)
{
    while (!apActive.empty())
    {
        apFree.push_back(apActive.back());
        apActive.pop_back();
    }
}

template <typename W> void HideUnused(std::deque<W*>& apFree)
{
    for (W* pWindow : apFree)
        if (pWindow->IsShown())
            pWindow->Hide();
}

void Place(wxWindow* pWindow, int x, int y, int nWidth, int nHeight)
{
    pWindow->SetSize(x, y, nWidth, nHeight);
    if (!pWindow->IsShown())
        pWindow->Show();
}
} // namespace

void VRGrid::Redraw()
{
    tcDebugInfo debug("VRGrid::Redraw");
    if (m_bFrozen || !m_pScrollbar)
        return;
    wxWindowBase::Freeze();
    // The scrollbar may refuse the first row (its position stays within range - thumb size, and the
    // thumb size is only known after the rows are placed): then the rows are placed again from the
    // row it kept, so the cells always show the rows the scrollbar and the selection count from.
    for (int nPass = 0; nPass < 2; ++nPass)
    {
        Release(m_apActiveRowSeparators, m_apFreeRowSeparators);
        Release(m_apActiveColumnSeparators, m_apFreeColumnSeparators);
        Release(m_apActiveLabels, m_apFreeLabels);
        for (VRColumnBase* pColumn : m_apColumns)
            pColumn->ReleaseDisplayedRows();

        const wxSize size = GetClientSize();
        const int nScrollbarWidth = m_pScrollbar->GetBestSize().x;
        // Never below the scrollbar's own least height: the toolkit refuses to lay it out smaller.
        m_pScrollbar->SetSize(size.x - nScrollbarWidth, 0, nScrollbarWidth,
                              std::max(size.y, m_pScrollbar->GetBestSize().y));

        VRGridLayout::SInput input;
        input.nWidth = size.x;
        input.nHeight = size.y;
        input.nScrollbarWidth = nScrollbarWidth;
        input.nNumColumns = GetNumColumns();
        input.nNumValues = m_apColumns.empty() ? 0 : m_apColumns[0]->GetNumValues();
        input.nFirstRow = GetFirstVisibleRow();
        // A selection the rows no longer reach (after Clear) colours nothing.
        input.nSelectedRow = m_nSelectedRow < GetNumRows() ? m_nSelectedRow : -1;
        input.pRowHeights = &m_anRowHeights;
        // The heading labels' height is needed before the rows are placed; their place after.
        VRGridLayout::SLayout layout = VRGridLayout::Compute(input);
        if (m_bHeadingsShown && !m_apColumns.empty())
        {
            for (size_t i = 0; i < m_apColumns.size(); ++i)
            {
                m_apColumns[i]->SetSize(layout.anColumnX[i], 0, layout.nCellWidth, size.y);
                const int nHeight = m_apColumns[i]->DisplayHeading();
                if (i == 0)
                    input.nHeadingHeight = nHeight;
            }
            layout = VRGridLayout::Compute(input);
        }
        m_nNumberWidth = layout.nNumberWidth;
        for (size_t i = 0; i < m_apColumns.size(); ++i)
        {
            m_apColumns[i]->SetSize(layout.anColumnX[i], 0, layout.nCellWidth, size.y);
            if (!m_bHeadingsShown)
                m_apColumns[i]->HideHeading();
        }
        if (input.nHeadingHeight > 0)
            Place(TakeLabel(wxString()), 0, 0, layout.nNumberWidth, input.nHeadingHeight);

        for (const VRGridLayout::SRowPlace& row : layout.aRows)
        {
            auto* pSeparator =
                static_cast<VRGridSeperator*>(TakeSeparator(m_apFreeRowSeparators, m_apActiveRowSeparators, 1));
            const wxColour colour = row.bRed ? *wxRED : *wxBLACK;
            if (pSeparator->GetBackgroundColour() != colour)
                pSeparator->SetBackgroundColour(colour);
            pSeparator->SetMovable(row.bMovable);
            Place(pSeparator, 0, row.nSeparatorY, layout.nSeparatorWidth, 1);
            if (row.nRow < 0)
                break;
            Place(TakeLabel(wxString::Format("%d", row.nRow + 1)), 0, row.nY, layout.nNumberWidth, row.nHeight);
            for (VRColumnBase* pColumn : m_apColumns)
            {
                pColumn->DisplayRow(row.nY, row.nHeight);
                pColumn->DisplayRowValue(pColumn->GetNumDisplayedRows() - 1, row.nRow);
            }
        }
        for (int x : layout.anColumnSeparatorX)
        {
            auto* pSeparator =
                static_cast<VRGridSeperator*>(TakeSeparator(m_apFreeColumnSeparators, m_apActiveColumnSeparators, 0));
            if (pSeparator->GetBackgroundColour() != *wxBLACK)
                pSeparator->SetBackgroundColour(*wxBLACK);
            pSeparator->SetMovable(true);
            Place(pSeparator, x, 0, 1, layout.nColumnSeparatorHeight);
        }

        HideUnused(m_apFreeRowSeparators);
        HideUnused(m_apFreeColumnSeparators);
        HideUnused(m_apFreeLabels);
        for (VRColumnBase* pColumn : m_apColumns)
            pColumn->HideFreeControls();

        m_nHeadingHeight = input.nHeadingHeight;
        m_nThumbSize = layout.nThumbSize;
        m_pScrollbar->SetScrollbar(input.nFirstRow, m_nThumbSize, m_nRange, std::max(1, m_nThumbSize));
        if (GetFirstVisibleRow() == input.nFirstRow)
            break;
    }
    wxWindowBase::Thaw();
}

int VRGrid::FindCellRow(const wxWindow* pCell) const
{
    for (VRColumnBase* pColumn : m_apColumns)
    {
        const int i = pColumn->FindDisplayedControl(pCell);
        if (i >= 0)
            return GetFirstVisibleRow() + i;
    }
    return -1;
}

void VRGrid::OnResize(wxSizeEvent&)
{
    Redraw();
}

void VRGrid::OnScroll(wxScrollEvent&)
{
    Redraw();
}

void VRGrid::OnPaint(wxPaintEvent& event)
{
    // The children cover the grid; the background is the toolkit's.
    wxPaintDC dc(this);
    event.StopPropagation();
}

void VRGrid::OnVerticalResize(wxCommandEvent&)
{
    // Columns keep equal widths.
}

void VRGrid::OnHorizontalResize(wxCommandEvent& event)
{
    tcDebugInfo debug("VRGrid::OnHorizontalResize");
    const auto it = std::find(m_apActiveRowSeparators.begin(), m_apActiveRowSeparators.end(),
                              dynamic_cast<wxWindow*>(event.GetEventObject()));
    if (it == m_apActiveRowSeparators.end())
        return;
    const int i = static_cast<int>(it - m_apActiveRowSeparators.begin());
    if (VRGridLayout::ResizeRow(m_anRowHeights, GetFirstVisibleRow(), i, event.GetInt()))
        Redraw();
}

void VRGrid::OnSelectionChanged(wxCommandEvent& event)
{
    tcDebugInfo debug("VRGrid::OnSelectionChanged");
    SetSelectedItem(GetFirstVisibleRow() + event.GetInt());
    if (m_nSelectedRow < 0 || !GetParent())
        return;
    // To the parent: posted here, it would come back into this handler.
    wxCommandEvent notification(wxEVT_CHOICE, VRGRID_SELECTION_CHANGED);
    notification.SetInt(m_nSelectedRow);
    notification.SetEventObject(this);
    GetParent()->GetEventHandler()->AddPendingEvent(notification);
}

void VRGrid::OnMouseWheel(wxMouseEvent& event)
{
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || event.GetWheelDelta() <= 0)
        return;
    m_nWheelRotation += event.GetWheelRotation();
    const int nNotches = m_nWheelRotation / event.GetWheelDelta();
    m_nWheelRotation -= nNotches * event.GetWheelDelta();
    // Turning the wheel away from the user (a positive rotation) shows earlier rows.
    ScrollBy(-nNotches * WHEEL_ROWS_PER_NOTCH);
}

void VRGrid::OnCellMouseWheel(wxMouseEvent& event)
{
    // A cell with more of its own text to show in that direction scrolls first.
    if (auto* pEditor = dynamic_cast<wxStyledTextCtrl*>(event.GetEventObject());
        pEditor && event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL)
    {
        const int nFirst = pEditor->GetFirstVisibleLine();
        const int nLines = pEditor->VisibleFromDocLine(pEditor->GetLineCount());
        const bool bUp = event.GetWheelRotation() > 0;
        if (bUp ? nFirst > 0 : nFirst + pEditor->LinesOnScreen() < nLines)
        {
            event.Skip();
            return;
        }
    }
    OnMouseWheel(event);
}

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
    EVT_MOUSEWHEEL(VRGrid::OnMouseWheel)
    EVT_CHOICE(VRGRID_COLUMN_DRAGGED, VRGrid::OnVerticalResize)
    EVT_CHOICE(VRGRID_ROW_DRAGGED, VRGrid::OnHorizontalResize)
    EVT_CHOICE(VRGRID_SELECTION_CHANGED, VRGrid::OnSelectionChanged)
wxEND_EVENT_TABLE()
    // clang-format on
