#pragma once

#include <vector>

// The arithmetic of the row grid, without windows: where a redraw puts separators, row labels and
// cells, where scrolling to a selection leaves the first visible row, and how a dragged separator
// changes a row height. VRGrid applies the results to its windows.
namespace VRGridLayout
{
// Width in pixels of the row-number column for a column of nValues values: 15, plus 10 for each
// factor of ten from 110 values on.
int NumberColumnWidth(int nValues);

struct SInput
{
    int nWidth = 0; // the grid's client size
    int nHeight = 0;
    int nScrollbarWidth = 0;
    int nHeadingHeight = 0; // 0 when no heading row is shown
    int nNumColumns = 1;
    int nNumValues = 0;                            // the first column's value count (sets the number-column width)
    int nFirstRow = 0;                             // the first visible row
    int nSelectedRow = -1;                         // -1: none
    const std::vector<int>* pRowHeights = nullptr; // one per row; null means no rows
};

// One row separator, and the row below it when there is one.
struct SRowPlace
{
    int nSeparatorY = 0;
    bool bRed = false;
    bool bMovable = false;
    int nRow = -1; // the row shown below the separator, -1 after the last row
    int nY = 0;    // top and height of that row's label and cells
    int nHeight = 0;
};

struct SLayout
{
    int nNumberWidth = 15;
    int nColumnWidth = 0;                // the pitch of the columns
    int nCellWidth = 0;                  // the width of a column's cells
    int nSeparatorWidth = 0;             // the width of a row separator
    std::vector<int> anColumnX;          // left edge of each column's cells
    std::vector<SRowPlace> aRows;        // the separators, top to bottom
    std::vector<int> anColumnSeparatorX; // number-column edge first, then one right of each column
    int nColumnSeparatorHeight = 0;
    int nThumbSize = 0; // rows started - 1, never below 0
};

SLayout Compute(const SInput& input);

// Whether row nRow shows whole when nTop is the first visible row: its cells end within nSpace, the
// grid's height below the headings. The first visible row counts as whole even when it is taller than
// nSpace, as nothing shows more of it.
bool IsRowWhole(const std::vector<int>& anHeights, int nTop, int nRow, int nSpace);

// The smallest first visible row that shows row nRow whole: nRow itself when the row alone does not fit.
int LeastTopShowing(const std::vector<int>& anHeights, int nRow, int nSpace);

// Where the first visible row goes when row nRow is selected, with nTop the first visible row,
// nDisplayed the number of rows showing cells (a row cut at the bottom included), nValues the row
// count, anHeights the row heights and nSpace the grid's height below the headings. bScroll is false
// when the row shows whole and only the selection lines change. A step onto the row cut at the bottom,
// or onto the next one, scrolls just far enough to show it whole; a farther jump puts it half a screen
// down, or lower when the rows above it are tall.
struct SSelectionMove
{
    bool bScroll = false;
    int nTop = 0;
};
SSelectionMove MoveForSelection(int nRow, int nTop, int nDisplayed, int nValues, const std::vector<int>& anHeights,
                                int nSpace);

// The selected row as stored: nRow clamped to the last of nRows rows (-1 when there are none); a
// negative row means no selection.
int ClampSelection(int nRow, int nRows);

// Whether the row separator at index i of the active ones (top first) is red for selected row nRow
// and first visible row nTop.
bool IsSelectionLine(int i, int nRow, int nTop);

// Applies a drag of nDistance pixels to the separator at index i of the active ones: the row above it
// (nTop + i - 1) changes height. False, changing nothing, for the top separator, a row out of range,
// or a height that would be 0 or less.
bool ResizeRow(std::vector<int>& anHeights, int nTop, int i, int nDistance);

// A column now holds nValues values: the row nValues - 1 exists already (its height becomes the
// smaller of its own and nHeight) or is appended with nHeight.
void RowAdded(std::vector<int>& anHeights, int nValues, int nHeight);
} // namespace VRGridLayout
