#pragma once

#include "workspace/VRSegmentEditor.h"

#include <wx/panel.h>
#include <wx/scrolbar.h>
#include <wx/textctrl.h>

#include <deque>
#include <memory>
#include <vector>

class wxStaticText;

// Notifications of the grid: wxEVT_CHOICE command events whose id is the number, posted (queued).
enum
{
    // A column separator was dragged; integer: horizontal distance. Travels up to the grid, which
    // ignores it.
    VRGRID_COLUMN_DRAGGED = 10,
    // A row separator was dragged; integer: vertical distance. The grid resizes the row above it.
    VRGRID_ROW_DRAGGED = 11,
    // From a column to the grid: a cell took the focus (integer: its index among the displayed cells).
    // From the grid to its parent: the user selected a row (integer: the row, object: the grid).
    VRGRID_SELECTION_CHANGED = 12,
};

// A vertical scrollbar that never takes the keyboard focus.
class wxNoFocusScrollbar : public wxScrollBar
{
public:
    wxNoFocusScrollbar(wxWindow* pParent, wxWindowID nId, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize, long nStyle = wxSB_VERTICAL);
    bool AcceptsFocus() const override { return false; }

private:
    void OnSetFocus(wxFocusEvent& event);
    wxDECLARE_EVENT_TABLE();
};

// A one-pixel line between rows (horizontal, orientation 1) or columns (vertical, 0). Its colour is
// its background. A movable one can be dragged: while the left button is held a 2-pixel black outline
// follows the mouse (a child window of the separator's parent, shared by its separators), and on
// release the separator posts notification 11 (row) or 10 (column) to itself, which travels up to
// the grid. A lost mouse capture ends the drag without a notification.
class VRGridSeperator : public wxPanel
{
public:
    VRGridSeperator(wxWindow* pParent, wxWindowID nId, int nOrientation);

    int GetOrientation() const { return m_nOrientation; }
    bool IsMovable() const { return m_bMovable; }
    void SetMovable(bool bMovable) { m_bMovable = bMovable; }
    bool IsDragging() const { return m_bCaptured; }

    // The outline window of this separator's parent (the one window shared by all its separators),
    // null until a separator under that parent was first dragged.
    static wxWindow* FindDragOutline(wxWindow* pParent);

    void OnMouseEvent(wxMouseEvent& event);

private:
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    // Shows the outline along the line (x1, y1)-(x2, y2) in this separator's client coordinates.
    void DrawDragOutline(int x1, int y1, int x2, int y2);
    void HideDragOutline();

    int m_nOrientation;
    bool m_bMovable = false;
    std::unique_ptr<wxCursor> m_pCursor;
    int m_nOutlineX1 = -1, m_nOutlineY1 = -1, m_nOutlineX2 = -1, m_nOutlineY2 = -1;
    bool m_bCaptured = false;
    int m_nStartX = 0, m_nStartY = 0;

    wxDECLARE_EVENT_TABLE();
};

// One column of the grid: its values and the pools of cell controls that show them. Not a window;
// its controls are children of its window (the grid). The grid owns the columns added to it.
class VRColumnBase : public wxEvtHandler
{
public:
    explicit VRColumnBase(wxWindow* pWindow);
    ~VRColumnBase() override;

    virtual int GetNumValues() const = 0;
    virtual int GetNumDisplayedRows() const = 0;
    // Shows the value of row nRow in displayed control nDisplayIndex; a row this column has no value
    // for shows an empty cell.
    virtual void DisplayRowValue(int nDisplayIndex, int nRow) = 0;
    virtual void ClearValues() = 0;
    // A new cell control, child of the column's window.
    virtual wxWindow* CreateControl() = 0;

    // The height a new value asks for.
    int CalcRowHeight() const { return 60; }
    void SetSize(int x, int y, int nWidth, int nHeight);
    // Returns every displayed control to the free pool, hidden.
    void ClearDisplayedRows();
    // The same without hiding: a redraw hides only the controls it did not take again.
    void ReleaseDisplayedRows();
    void HideFreeControls();

    void SetHeading(const wxString& sHeading) { m_sHeading = sHeading; }
    const wxString& GetHeading() const { return m_sHeading; }
    wxWindow* GetWindow() const { return m_pWindow; }
    // Displayed control i (0 = top visible row), null when out of range.
    wxWindow* GetDisplayedControl(int i) const;
    // The index of pControl among the displayed controls, -1 when it is not displayed.
    int FindDisplayedControl(const wxWindow* pControl) const;
    int GetX() const { return m_nX; }
    int GetWidth() const { return m_nWidth; }

    // Grid side of a redraw: takes a control from the free pool (shown) or creates one, appends it to
    // the displayed pool and places it.
    wxWindow* DisplayRow(int y, int nHeight);
    // The heading label (created on first use), placed over the column; its natural height.
    int DisplayHeading();
    void HideHeading();

protected:
    void OnFocus(wxFocusEvent& event);
    // A click in the control that already has the focus gets no focus event, yet a redraw may have put
    // another row into it: the click reports the row.
    void OnClick(wxMouseEvent& event);
    // Connects the handlers every cell control needs; CreateControl calls it.
    void ConnectControl(wxWindow* pControl);
    void PostSelection(int nDisplayIndex);

    wxString m_sHeading;
    std::deque<wxWindow*> m_apDisplayed;
    std::deque<wxWindow*> m_apFree;
    wxStaticText* m_pHeading = nullptr;
    wxWindow* m_pWindow;
    int m_nX = 0, m_nY = 0, m_nWidth = 0, m_nHeight = 0;
};

// The typed side of a column: AddItem reaches the values through it, with a checked cast.
template <typename T> class VRColumnValues : public VRColumnBase
{
public:
    using VRColumnBase::VRColumnBase;
    virtual void Append(const T& value) = 0;
    // Row nRow's value, the empty value for a row this column lacks.
    virtual T GetValue(int nRow) const = 0;
};

template <typename Ctrl, typename T> class VRColumnTBase : public VRColumnValues<T>
{
public:
    using VRColumnValues<T>::VRColumnValues;
};

// A column of Ctrl cells showing values of type T. Each value goes into a cell through the value
// setter, bracketed by read-only setter calls with false and then with the column's read-only flag.
template <typename Ctrl, typename T> class VRColumn4 : public VRColumnTBase<Ctrl, T>
{
public:
    using ReadOnlySetter = void (Ctrl::*)(bool);
    using ValueSetter = void (Ctrl::*)(const T&);
    using ValueGetter = T (Ctrl::*)() const;

    VRColumn4(wxWindow* pWindow, ReadOnlySetter pfnReadOnly, bool bReadOnly, ValueSetter pfnSet,
              ValueGetter pfnGet = nullptr)
        : VRColumnTBase<Ctrl, T>(pWindow), m_pfnReadOnly(pfnReadOnly), m_bReadOnly(bReadOnly), m_pfnSet(pfnSet),
          m_pfnGet(pfnGet)
    {
    }

    int GetNumValues() const override { return static_cast<int>(m_aValues.size()); }
    int GetNumDisplayedRows() const override { return static_cast<int>(this->m_apDisplayed.size()); }
    void DisplayRowValue(int nDisplayIndex, int nRow) override
    {
        if (nDisplayIndex < 0 || nDisplayIndex >= GetNumDisplayedRows())
            return;
        Ctrl* pCtrl = static_cast<Ctrl*>(this->m_apDisplayed[nDisplayIndex]);
        if (m_pfnReadOnly)
            (pCtrl->*m_pfnReadOnly)(false);
        if (m_pfnSet)
            (pCtrl->*m_pfnSet)(GetValue(nRow));
        if (m_pfnReadOnly)
            (pCtrl->*m_pfnReadOnly)(m_bReadOnly);
    }
    void ClearValues() override { m_aValues.clear(); }
    wxWindow* CreateControl() override;

    void Append(const T& value) override { m_aValues.push_back(value); }
    T GetValue(int nRow) const override
    {
        return nRow >= 0 && nRow < GetNumValues() ? m_aValues[static_cast<size_t>(nRow)] : T();
    }

    ValueGetter GetValueGetter() const { return m_pfnGet; }
    bool IsReadOnly() const { return m_bReadOnly; }

private:
    // A deque: a fill of many rows never copies the values already held.
    std::deque<T> m_aValues;
    ReadOnlySetter m_pfnReadOnly;
    bool m_bReadOnly;
    ValueSetter m_pfnSet;
    ValueGetter m_pfnGet;
};

template <> wxWindow* VRColumn4<VRSegmentEditor, wxString>::CreateControl();
template <> wxWindow* VRColumn4<wxTextCtrl, wxString>::CreateControl();
extern template class VRColumn4<VRSegmentEditor, wxString>;
extern template class VRColumn4<wxTextCtrl, wxString>;

// The virtual row grid: any number of rows of values in a fixed set of columns, with cell controls
// only for the rows that fit on screen. Controls, separators and row-number labels are pooled and
// re-used as the grid scrolls; their number grows to the largest screenful shown and never shrinks.
// A row is the set of values with the same index in every column; fill row by row.
//
// The parent hears notification 12 (a row selected by the user). Main thread only.
class VRGrid : public wxPanel
{
public:
    VRGrid(wxWindow* pParent, wxWindowID nId, const wxColour& background = wxNullColour);
    ~VRGrid() override;

    // Takes ownership of a column made with this grid as its window; add every column before any
    // value and before the grid is first sized. A non-empty heading turns the heading row on.
    void AddColumn(VRColumnBase* pColumn);
    int GetNumColumns() const { return static_cast<int>(m_apColumns.size()); }
    VRColumnBase* GetColumn(int i) const;

    // Appends a value to column nColumn and adds a row when that column now has more values than the
    // grid has rows. A column index out of range, or a value of a type the column does not hold, is
    // refused with an assertion.
    template <typename T> void AddItem(int nColumn, const T& value)
    {
        VRColumnValues<T>* pColumn = nColumn >= 0 && nColumn < GetNumColumns()
                                         ? dynamic_cast<VRColumnValues<T>*>(m_apColumns[static_cast<size_t>(nColumn)])
                                         : nullptr;
        if (!CheckColumn(pColumn != nullptr))
            return;
        pColumn->Append(value);
        RowAdded(pColumn->GetNumValues(), pColumn->CalcRowHeight());
    }
    // Forgets every value and row height, and redraws; the selection and the scroll position stay.
    void Clear();

    // Bracket a bulk fill: while frozen nothing redraws; Thaw redraws. They hide the window's own
    // Freeze and Thaw, which callers holding a wxWindow* still reach.
    void Freeze();
    void Thaw();
    bool IsGridFrozen() const { return m_bFrozen; }

    // Selects a row and scrolls so that it shows whole (its top, when it is taller than the grid);
    // posts nothing. Past the last row means the last row.
    void SetSelectedItem(int nRow);
    int GetSelectedItem() const { return m_nSelectedRow; }

    void Redraw();
    // Colours the separators around row nRow red and the others black, without a redraw.
    void RedrawSelectionLines(int nRow);

    int GetNumRows() const { return static_cast<int>(m_anRowHeights.size()); }
    int GetRowHeight(int nRow) const;
    int GetFirstVisibleRow() const;
    // Scrolls so that nRow is the first visible row (clamped by the scrollbar) and redraws.
    void ScrollToRow(int nRow);
    wxScrollBar* GetScrollbar() const { return m_pScrollbar; }
    int GetNumberColumnWidth() const { return m_nNumberWidth; }
    const std::deque<wxWindow*>& GetActiveRowSeparators() const { return m_apActiveRowSeparators; }
    const std::deque<wxWindow*>& GetActiveColumnSeparators() const { return m_apActiveColumnSeparators; }
    const std::deque<wxStaticText*>& GetActiveLabels() const { return m_apActiveLabels; }
    // The row the cell pCell shows, -1 when it is not a displayed cell.
    int FindCellRow(const wxWindow* pCell) const;

protected:
    void OnResize(wxSizeEvent& event);
    void OnScroll(wxScrollEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnVerticalResize(wxCommandEvent& event);
    void OnHorizontalResize(wxCommandEvent& event);
    void OnSelectionChanged(wxCommandEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnCellMouseWheel(wxMouseEvent& event);

private:
    friend class VRColumnBase;
    bool CheckColumn(bool bFound);
    void RowAdded(int nValues, int nHeight);
    // Moves the first visible row by nRows and redraws.
    void ScrollBy(int nRows);
    // Sets the first visible row and reads back what the scrollbar kept.
    int SetFirstVisibleRow(int nRow);
    void SetScrollRange(int nRange);
    wxWindow* TakeSeparator(std::deque<wxWindow*>& apFree, std::deque<wxWindow*>& apActive, int nOrientation);
    wxStaticText* TakeLabel(const wxString& sText);

    bool m_bFrozen = false;
    bool m_bHeadingsShown = false;
    int m_nSelectedRow = -1;
    int m_nNumberWidth = 15;
    int m_nRange = 0;
    int m_nThumbSize = 0;
    int m_nHeadingHeight = 0; // of the last redraw
    int m_nWheelRotation = 0;
    wxNoFocusScrollbar* m_pScrollbar;
    std::vector<VRColumnBase*> m_apColumns;
    std::vector<int> m_anRowHeights;
    std::deque<wxWindow*> m_apActiveRowSeparators;
    std::deque<wxWindow*> m_apFreeRowSeparators;
    std::deque<wxWindow*> m_apActiveColumnSeparators;
    std::deque<wxWindow*> m_apFreeColumnSeparators;
    std::deque<wxStaticText*> m_apActiveLabels;
    std::deque<wxStaticText*> m_apFreeLabels;

    wxDECLARE_EVENT_TABLE();
};

using VRSegmentEditorColumn = VRColumn4<VRSegmentEditor, wxString>;
using VRTextColumn = VRColumn4<wxTextCtrl, wxString>;
