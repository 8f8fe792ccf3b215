#include "workspace/VRGridLayout.h"

#include <algorithm>

namespace VRGridLayout
{
int NumberColumnWidth(int nValues)
{
    int nWidth = 15;
    for (int n = nValues; n >= 110; n /= 10)
        nWidth += 10;
    return nWidth;
}

SLayout Compute(const SInput& input)
{
    SLayout layout;
    const int nRows = input.pRowHeights ? static_cast<int>(input.pRowHeights->size()) : 0;
    const int nColumns = std::max(1, input.nNumColumns);
    layout.nNumberWidth = NumberColumnWidth(input.nNumValues);
    const int nUsable = input.nWidth - input.nScrollbarWidth - 2;
    layout.nColumnWidth = std::max(0, (nUsable - layout.nNumberWidth) / nColumns);
    layout.nCellWidth = std::max(0, layout.nColumnWidth - 3);
    layout.nSeparatorWidth = std::max(0, nUsable);
    for (int i = 0; i < nColumns; ++i)
        layout.anColumnX.push_back(layout.nNumberWidth + i * layout.nColumnWidth + 1);

    int y = input.nHeadingHeight;
    int f = std::max(0, input.nFirstRow);
    // Rows that only partly fit at the bottom still get their cells, and a grid whose rows all fit
    // ends with one separator under its last row.
    while (y < input.nHeight)
    {
        SRowPlace place;
        place.nSeparatorY = y;
        place.bRed = input.nSelectedRow >= 0 && (f == input.nSelectedRow || f == input.nSelectedRow + 1);
        place.bMovable = y != 0;
        ++y;
        if (f >= nRows)
        {
            layout.aRows.push_back(place);
            break;
        }
        place.nRow = f;
        place.nY = y;
        place.nHeight = (*input.pRowHeights)[static_cast<size_t>(f)];
        layout.aRows.push_back(place);
        // A height the user could not have set (0 or less) must not stall the loop.
        y += std::max(1, place.nHeight);
        ++f;
    }
    layout.nColumnSeparatorHeight = y;
    layout.anColumnSeparatorX.push_back(layout.nNumberWidth);
    for (int i = 0; i < nColumns; ++i)
        layout.anColumnSeparatorX.push_back(layout.nNumberWidth + (i + 1) * layout.nColumnWidth);
    layout.nThumbSize = std::max(0, static_cast<int>(layout.aRows.size()) - 1);
    return layout;
}

namespace
{
// The pixels row nRow takes below the separator above it; a height the user could not have set still
// takes one, as in Compute.
int RowPitch(const std::vector<int>& anHeights, int nRow)
{
    return 1 + std::max(1, anHeights[static_cast<size_t>(nRow)]);
}
} // namespace

bool IsRowWhole(const std::vector<int>& anHeights, int nTop, int nRow, int nSpace)
{
    if (nRow < nTop || nTop < 0 || nRow >= static_cast<int>(anHeights.size()))
        return false;
    if (nRow == nTop)
        return true;
    int nUsed = 0;
    for (int f = nTop; f <= nRow && nUsed <= nSpace; ++f)
        nUsed += RowPitch(anHeights, f);
    return nUsed <= nSpace;
}

int LeastTopShowing(const std::vector<int>& anHeights, int nRow, int nSpace)
{
    if (nRow < 0 || nRow >= static_cast<int>(anHeights.size()))
        return std::max(0, nRow);
    int nTop = nRow;
    int nUsed = RowPitch(anHeights, nRow);
    while (nTop > 0 && nUsed + RowPitch(anHeights, nTop - 1) <= nSpace)
        nUsed += RowPitch(anHeights, --nTop);
    return nTop;
}

SSelectionMove MoveForSelection(int nRow, int nTop, int nDisplayed, int nValues, const std::vector<int>& anHeights,
                                int nSpace)
{
    SSelectionMove move;
    move.nTop = nTop;
    if (IsRowWhole(anHeights, nTop, nRow, nSpace))
        return move;
    const int nShown = std::max(0, nDisplayed - 1);
    const int nHalf = nShown / 2;
    move.bScroll = true;
    if (nRow >= nTop)
        move.nTop = nRow - nTop - nShown <= 1 ? nTop + 1 : std::min(nRow - nHalf, nValues);
    else
        move.nTop = nTop - nRow == 1 ? nRow : std::max(nRow - nHalf, 0);
    // Counting the displayed rows takes a row cut at the bottom as shown, and half a screen of tall
    // rows may not hold the row: the first row that shows it whole wins.
    move.nTop = std::max({0, move.nTop, LeastTopShowing(anHeights, nRow, nSpace)});
    return move;
}

int ClampSelection(int nRow, int nRows)
{
    if (nRow < 0)
        return -1;
    return std::min(nRow, nRows - 1);
}

bool IsSelectionLine(int i, int nRow, int nTop)
{
    return nRow >= 0 && (i == nRow - nTop || i == nRow - nTop + 1);
}

bool ResizeRow(std::vector<int>& anHeights, int nTop, int i, int nDistance)
{
    const int nRow = nTop + i - 1;
    if (i <= 0 || nRow < 0 || nRow >= static_cast<int>(anHeights.size()))
        return false;
    int& nHeight = anHeights[static_cast<size_t>(nRow)];
    if (nHeight + nDistance <= 0)
        return false;
    nHeight += nDistance;
    return true;
}

void RowAdded(std::vector<int>& anHeights, int nValues, int nHeight)
{
    if (static_cast<int>(anHeights.size()) == nValues && nValues > 0)
    {
        int& nExisting = anHeights[static_cast<size_t>(nValues - 1)];
        nExisting = std::min(nExisting, nHeight);
    }
    else
        anHeights.push_back(nHeight);
}
} // namespace VRGridLayout
