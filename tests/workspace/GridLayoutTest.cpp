#include "workspace/VRGridLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using namespace VRGridLayout;

TEST(GridLayout, NumberColumnGrowsByTenPixelsPerDigitFrom110Rows)
{
    const struct
    {
        int nRows, nWidth;
    } aCases[] = {{0, 15}, {109, 15}, {110, 25}, {1099, 25}, {1100, 35}, {10999, 35}, {11000, 45}, {50000, 45}};
    for (const auto& c : aCases)
        EXPECT_EQ(NumberColumnWidth(c.nRows), c.nWidth) << c.nRows << " rows";
}

SInput Input(const std::vector<int>& anHeights, int nHeight, int nFirstRow = 0, int nSelected = -1)
{
    SInput input;
    input.nWidth = 400;
    input.nHeight = nHeight;
    input.nScrollbarWidth = 15;
    input.nNumColumns = 2;
    input.nNumValues = static_cast<int>(anHeights.size());
    input.nFirstRow = nFirstRow;
    input.nSelectedRow = nSelected;
    input.pRowHeights = &anHeights;
    return input;
}

TEST(GridLayout, APartlyVisibleRowStillGetsItsCellsAndTheThumbCountsTheOthers)
{
    const std::vector<int> anHeights(100, 60);
    const SLayout layout = Compute(Input(anHeights, 250));
    ASSERT_EQ(layout.aRows.size(), 5u);
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(layout.aRows[i].nRow, i);
        EXPECT_EQ(layout.aRows[i].nSeparatorY, i * 61);
        EXPECT_EQ(layout.aRows[i].nY, i * 61 + 1);
        EXPECT_EQ(layout.aRows[i].bMovable, i > 0) << "only the separator at the very top stays put";
        EXPECT_FALSE(layout.aRows[i].bRed);
    }
    EXPECT_GT(layout.aRows[4].nY + layout.aRows[4].nHeight, 250);
    EXPECT_EQ(layout.nThumbSize, 4);
}

TEST(GridLayout, RowsThatAllFitEndWithASeparatorUnderTheLastRow)
{
    const std::vector<int> anHeights = {60, 30};
    const SLayout layout = Compute(Input(anHeights, 250));
    ASSERT_EQ(layout.aRows.size(), 3u);
    EXPECT_EQ(layout.aRows[2].nRow, -1);
    EXPECT_EQ(layout.aRows[2].nSeparatorY, 92);
    EXPECT_EQ(layout.nColumnSeparatorHeight, 93);
    EXPECT_EQ(layout.nThumbSize, 2);
}

TEST(GridLayout, AnEmptyGridHasOneBlackFixedSeparatorAndNoThumb)
{
    const std::vector<int> anHeights;
    // Whatever was asked for, an empty grid stores no selection.
    const SLayout layout = Compute(Input(anHeights, 250, 0, ClampSelection(3, 0)));
    ASSERT_EQ(layout.aRows.size(), 1u);
    EXPECT_EQ(layout.aRows[0].nSeparatorY, 0);
    EXPECT_FALSE(layout.aRows[0].bMovable);
    EXPECT_FALSE(layout.aRows[0].bRed);
    EXPECT_EQ(layout.aRows[0].nRow, -1);
    EXPECT_EQ(layout.nColumnSeparatorHeight, 1);
    EXPECT_EQ(layout.nThumbSize, 0);
}

TEST(GridLayout, HeadingRowPushesTheRowsDown)
{
    const std::vector<int> anHeights(10, 60);
    SInput input = Input(anHeights, 250);
    input.nHeadingHeight = 20;
    const SLayout layout = Compute(input);
    ASSERT_FALSE(layout.aRows.empty());
    EXPECT_EQ(layout.aRows[0].nSeparatorY, 20);
    EXPECT_TRUE(layout.aRows[0].bMovable);
}

TEST(GridLayout, CellsLieBetweenTheColumnSeparators)
{
    const std::vector<int> anHeights(3, 60);
    for (int nColumns : {1, 2, 3})
    {
        SInput input = Input(anHeights, 250);
        input.nNumColumns = nColumns;
        const SLayout layout = Compute(input);
        ASSERT_EQ(layout.anColumnSeparatorX.size(), static_cast<size_t>(nColumns + 1));
        EXPECT_EQ(layout.anColumnSeparatorX[0], layout.nNumberWidth);
        for (int i = 0; i < nColumns; ++i)
        {
            EXPECT_GT(layout.anColumnX[i], layout.anColumnSeparatorX[i]) << nColumns << " columns, column " << i;
            EXPECT_LT(layout.anColumnX[i] + layout.nCellWidth, layout.anColumnSeparatorX[i + 1]);
        }
        EXPECT_LE(layout.anColumnSeparatorX.back(), input.nWidth - input.nScrollbarWidth);
    }
}

TEST(GridLayout, SelectingARowScrollsOnlyWhenItDoesNotShowWhole)
{
    // 100 rows of 60 pixels in 250 pixels, first visible row 5: rows 5 to 8 show whole, row 9 shows its
    // top 5 pixels. Rows 40 and 41 are 150 pixels high, row 70 is higher than the grid.
    std::vector<int> anHeights(100, 60);
    anHeights[40] = anHeights[41] = 150;
    anHeights[70] = 400;
    const struct
    {
        int nRow;
        bool bScroll;
        int nTop;
    } aCases[] = {
        {7, false, 5},  {5, false, 5}, {8, false, 5}, // whole on screen
        {9, true, 6},                                 // cut at the bottom: just far enough
        {10, true, 7},                                // just below the cut row
        {30, true, 28},                               // far below: half a screen above it
        {4, true, 4},                                 // just above: one row
        {0, true, 0},                                 // far above
        {99, true, 97},                               // near the end
        {41, true, 41},                               // far below, under a tall row: half a screen would cut it
        {70, true, 70},                               // higher than the grid: its top
        {72, true, 71},                               // under a row higher than the grid: from the row after it
    };
    for (const auto& c : aCases)
    {
        const SSelectionMove move = MoveForSelection(c.nRow, 5, 5, 100, anHeights, 250);
        EXPECT_EQ(move.bScroll, c.bScroll) << "row " << c.nRow;
        EXPECT_EQ(move.nTop, c.nTop) << "row " << c.nRow;
        EXPECT_TRUE(IsRowWhole(anHeights, move.nTop, c.nRow, 250)) << "row " << c.nRow;
    }
    // Stepping on from a row higher than the grid shows the next row whole, below none of the tall one.
    EXPECT_EQ(MoveForSelection(71, 70, 1, 100, anHeights, 250).nTop, 71);
    // A grid lower than any row shows each selected row's top.
    EXPECT_EQ(MoveForSelection(6, 5, 1, 100, anHeights, 40).nTop, 6);
    EXPECT_FALSE(MoveForSelection(5, 5, 1, 100, anHeights, 40).bScroll);
}

TEST(GridLayout, SelectionPastTheLastRowIsTheLastRow)
{
    EXPECT_EQ(ClampSelection(500, 100), 99);
    EXPECT_EQ(ClampSelection(99, 100), 99);
    EXPECT_EQ(ClampSelection(0, 0), -1);
    EXPECT_EQ(ClampSelection(-1, 100), -1);
}

TEST(GridLayout, OnlyTheTwoLinesAroundTheSelectedRowAreRed)
{
    std::vector<int> anRed;
    for (int i = 0; i < 6; ++i)
        if (IsSelectionLine(i, 7, 5))
            anRed.push_back(i);
    EXPECT_EQ(anRed, (std::vector<int>{2, 3}));
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(IsSelectionLine(i, -1, 5)) << "no selection, separator " << i;

    // A redraw colours by row: the separators above and below the selected row.
    const std::vector<int> anHeights(100, 60);
    const SLayout layout = Compute(Input(anHeights, 400, 5, 7));
    for (size_t i = 0; i < layout.aRows.size(); ++i)
        EXPECT_EQ(layout.aRows[i].bRed, i == 2 || i == 3) << "separator " << i;
}

TEST(GridLayout, DraggingASeparatorResizesTheRowAboveIt)
{
    const struct
    {
        int i, nDistance;
        bool bChanged;
        int nHeight; // of row 5 + i - 1 afterwards
    } aCases[] = {
        {2, 25, true, 85},   {2, -59, true, 1},
        {1, 10, true, 70},   {0, 25, false, 60}, // the top separator belongs to a row not shown
        {2, -60, false, 60}, {2, -200, false, 60},
    };
    for (const auto& c : aCases)
    {
        std::vector<int> anHeights(10, 60);
        EXPECT_EQ(ResizeRow(anHeights, 5, c.i, c.nDistance), c.bChanged) << c.i << " by " << c.nDistance;
        EXPECT_EQ(anHeights[static_cast<size_t>(5 + std::max(c.i, 1) - 1)], c.nHeight);
        int nTotal = 0;
        for (int h : anHeights)
            nTotal += h;
        EXPECT_EQ(nTotal, 600 + (c.bChanged ? c.nDistance : 0)) << "no other row changes";
    }
    std::vector<int> anHeights(3, 60);
    EXPECT_FALSE(ResizeRow(anHeights, 2, 3, 10)) << "a separator below the last row";
}

TEST(GridLayout, RowByRowFillingAddsOneRowPerRowAndColumnByColumnAddsMore)
{
    std::vector<int> anRowByRow;
    for (int nRow = 1; nRow <= 3; ++nRow)
        for (int nColumn = 0; nColumn < 2; ++nColumn)
            RowAdded(anRowByRow, nRow, 60);
    EXPECT_EQ(anRowByRow.size(), 3u);

    std::vector<int> anColumnByColumn;
    for (int nColumn = 0; nColumn < 2; ++nColumn)
        for (int nRow = 1; nRow <= 3; ++nRow)
            RowAdded(anColumnByColumn, nRow, 60);
    EXPECT_EQ(anColumnByColumn.size(), 6u) << "each value of the second column appends a row of its own";

    std::vector<int> anHeights = {80};
    RowAdded(anHeights, 1, 60);
    EXPECT_EQ(anHeights, std::vector<int>{60}) << "an existing row keeps the smaller height";
}
} // namespace
