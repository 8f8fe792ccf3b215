#include "workspace/VRGrid.h"

#include "tests/harness/AssertRecorder.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/GridTestSupport.h"

#include <wx/stattext.h>
#include <wx/time.h>

#include <algorithm>
#include <functional>

namespace
{
class GridGui : public GuiTest
{
protected:
    GridTestFrame* MakeFrame(int nRows, const wxSize& size = wxSize(700, 500))
    {
        auto* pFrame = new GridTestFrame(size);
        pFrame->AddEditorColumn();
        pFrame->Fill(nRows);
        EXPECT_TRUE(pFrame->ShowAndWait());
        return pFrame;
    }
};

void Scroll(VRGrid* pGrid, int nPosition, wxEventType type)
{
    wxScrollBar* pBar = pGrid->GetScrollbar();
    pBar->SetThumbPosition(nPosition);
    wxScrollEvent event(type, pBar->GetId(), pBar->GetThumbPosition(), wxVERTICAL);
    event.SetEventObject(pBar);
    pBar->GetEventHandler()->ProcessEvent(event);
}

// The rows the grid shows, read from its row labels.
std::vector<wxString> Labels(VRGrid* pGrid)
{
    std::vector<wxString> asLabels;
    for (wxStaticText* pLabel : pGrid->GetActiveLabels())
        asLabels.push_back(pLabel->GetLabel());
    return asLabels;
}

std::vector<int> RedSeparators(VRGrid* pGrid)
{
    std::vector<int> anRed;
    const auto& apSeparators = pGrid->GetActiveRowSeparators();
    for (size_t i = 0; i < apSeparators.size(); ++i)
        if (apSeparators[i]->GetBackgroundColour() == *wxRED)
            anRed.push_back(static_cast<int>(i));
    return anRed;
}

VRGridSeperator* RowSeparator(VRGrid* pGrid, int i)
{
    return static_cast<VRGridSeperator*>(pGrid->GetActiveRowSeparators().at(static_cast<size_t>(i)));
}

void SendMouse(wxWindow* pWindow, wxEventType type, int x, int y, bool bLeftDown)
{
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetLeftDown(bLeftDown);
    event.SetEventObject(pWindow);
    pWindow->GetEventHandler()->ProcessEvent(event);
}

void SendWheel(wxWindow* pWindow, int nRotation)
{
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.m_wheelRotation = nRotation;
    event.m_wheelDelta = 120;
    event.m_linesPerAction = 3;
    event.SetTimestamp(static_cast<long>(wxGetLocalTimeMillis().GetValue()));
    event.SetEventObject(pWindow);
    pWindow->GetEventHandler()->ProcessEvent(event);
}

VRSegmentEditor* Cell(VRGrid* pGrid, int nColumn, int i)
{
    return dynamic_cast<VRSegmentEditor*>(pGrid->GetColumn(nColumn)->GetDisplayedControl(i));
}

TEST_F(GridGui, ScrollingReusesTheWindowsOfTheFirstScreenAndShowsTheScrolledRows)
{
    GridTestFrame* pFrame = MakeFrame(100);
    VRGrid* pGrid = pFrame->m_pGrid;
    const size_t nWindows = pGrid->GetChildren().size();
    ASSERT_GT(pGrid->GetColumn(0)->GetNumDisplayedRows(), 3);

    for (int nStep = 0; nStep < 600; ++nStep)
    {
        // Line steps down and up, and thumb jumps over the whole range, the end included.
        const bool bJump = nStep % 2 == 1;
        const int nTarget = bJump ? (nStep * 37) % 101 : pGrid->GetFirstVisibleRow() + (nStep % 4 == 0 ? 1 : -1);
        Scroll(pGrid, nTarget, bJump ? wxEVT_SCROLL_THUMBTRACK : wxEVT_SCROLL_LINEDOWN);
        const int nTop = pGrid->GetFirstVisibleRow();
        ASSERT_FALSE(Labels(pGrid).empty());
        ASSERT_EQ(Labels(pGrid).front(), wxString::Format("%d", nTop + 1)) << "step " << nStep;
        ASSERT_EQ(Cell(pGrid, 0, 0)->GetSegmentXML(), TaggedSegment(nTop)) << "step " << nStep;
        ASSERT_EQ(pGrid->FindCellRow(Cell(pGrid, 0, 1)), nTop + 1);
    }
    EXPECT_EQ(pGrid->GetChildren().size(), nWindows);

    // A grid of many more rows holds no more windows.
    GridTestFrame* pLarge = MakeFrame(50000);
    EXPECT_EQ(pLarge->m_pGrid->GetNumRows(), 50000);
    EXPECT_EQ(pLarge->m_pGrid->GetChildren().size(), nWindows);
    EXPECT_EQ(pLarge->m_pGrid->GetNumberColumnWidth(), 45);
}

TEST_F(GridGui, AnEmptyGridShowsOneBlackFixedSeparator)
{
    auto* pFrame = new GridTestFrame;
    pFrame->AddEditorColumn();
    ASSERT_TRUE(pFrame->ShowAndWait());
    VRGrid* pGrid = pFrame->m_pGrid;
    pGrid->SetSelectedItem(3);
    EXPECT_EQ(pGrid->GetSelectedItem(), -1);

    ASSERT_EQ(pGrid->GetActiveRowSeparators().size(), 1u);
    VRGridSeperator* pSeparator = RowSeparator(pGrid, 0);
    EXPECT_EQ(pSeparator->GetPosition().y, 0);
    EXPECT_EQ(pSeparator->GetBackgroundColour(), *wxBLACK);
    EXPECT_FALSE(pSeparator->IsMovable());
    EXPECT_TRUE(Labels(pGrid).empty());
    EXPECT_EQ(pGrid->GetFirstVisibleRow(), 0);

    // Cleared with a row selected, the grid is as empty.
    pFrame->Fill(10);
    pGrid->SetSelectedItem(0);
    EXPECT_EQ(RedSeparators(pGrid), (std::vector<int>{0, 1}));
    pGrid->Clear();
    EXPECT_EQ(pGrid->GetActiveRowSeparators().size(), 1u);
    EXPECT_TRUE(RedSeparators(pGrid).empty());
    EXPECT_TRUE(Labels(pGrid).empty());
    EXPECT_EQ(pGrid->GetColumn(0)->GetNumDisplayedRows(), 0);

    pSeparator = RowSeparator(pGrid, 0);
    SendMouse(pSeparator, wxEVT_LEFT_DOWN, 5, 0, true);
    SendMouse(pSeparator, wxEVT_MOTION, 5, 40, true);
    SendMouse(pSeparator, wxEVT_LEFT_UP, 5, 40, false);
    PumpEvents(30);
    EXPECT_EQ(pFrame->m_nRowDrags, 0);
    EXPECT_EQ(VRGridSeperator::FindDragOutline(pGrid), nullptr);
}

TEST_F(GridGui, FocusInACellSelectsItsRowAndTellsTheParentOnce)
{
    GridTestFrame* pFrame = MakeFrame(100);
    VRGrid* pGrid = pFrame->m_pGrid;
    pGrid->ScrollToRow(10);
    ASSERT_EQ(pGrid->GetFirstVisibleRow(), 10);

    wxWindow* pCell = pGrid->GetColumn(0)->GetDisplayedControl(2);
    wxFocusEvent focus(wxEVT_SET_FOCUS, pCell->GetId());
    focus.SetEventObject(pCell);
    pCell->GetEventHandler()->ProcessEvent(focus);
    ASSERT_TRUE(PumpUntil([&]() { return !pFrame->m_aSelections.empty(); }));
    PumpEvents(30);
    ASSERT_EQ(pFrame->m_aSelections.size(), 1u);
    EXPECT_EQ(pFrame->m_aSelections[0].nRow, 12);
    EXPECT_EQ(pFrame->m_aSelections[0].pObject, pGrid);
    EXPECT_EQ(pGrid->GetSelectedItem(), 12);
    EXPECT_EQ(RedSeparators(pGrid), (std::vector<int>{2, 3}));
    EXPECT_EQ(pGrid->GetFirstVisibleRow(), 10) << "a row on screen scrolls nothing";
    EXPECT_TRUE(ScreenshotIfAsked("grid-selected-row"));

    // Selecting past the last row selects the last row and brings it into view.
    pGrid->SetSelectedItem(500);
    EXPECT_EQ(pGrid->GetSelectedItem(), 99);
    const std::vector<wxString> asLabels = Labels(pGrid);
    const auto it = std::find(asLabels.begin(), asLabels.end(), wxString("100"));
    ASSERT_NE(it, asLabels.end());
    const int nShown = static_cast<int>(it - asLabels.begin());
    EXPECT_EQ(RedSeparators(pGrid), (std::vector<int>{nShown, nShown + 1}));
}

// Drags the separator under row nRow, scrolled to the top first, by nGrowth pixels.
void GrowRow(VRGrid* pGrid, int nRow, int nGrowth)
{
    pGrid->ScrollToRow(nRow);
    const int nHeight = pGrid->GetRowHeight(nRow) + nGrowth;
    VRGridSeperator* pSeparator = RowSeparator(pGrid, nRow - pGrid->GetFirstVisibleRow() + 1);
    SendMouse(pSeparator, wxEVT_LEFT_DOWN, 40, 0, true);
    SendMouse(pSeparator, wxEVT_LEFT_UP, 40, nGrowth, false);
    ASSERT_TRUE(PumpUntil([&]() { return pGrid->GetRowHeight(nRow) == nHeight; })) << "row " << nRow;
}

TEST_F(GridGui, StepsAndJumpsShowTheSelectedRowWhole)
{
    for (int nGridHeight : {250, 300, 440})
    {
        SCOPED_TRACE(testing::Message() << "grid of " << nGridHeight << " pixels");
        GridTestFrame* pFrame = MakeFrame(200, wxSize(700, nGridHeight));
        VRGrid* pGrid = pFrame->m_pGrid;
        ASSERT_EQ(pGrid->GetClientSize().y, nGridHeight);
        // Taller rows: one alone, two together, one higher than the grid, one near the end.
        const struct
        {
            int nRow, nGrowth;
        } aTaller[] = {{3, 40}, {60, 90}, {61, 90}, {120, nGridHeight}, {198, 30}};
        for (const auto& taller : aTaller)
            ASSERT_NO_FATAL_FAILURE(GrowRow(pGrid, taller.nRow, taller.nGrowth));
        pGrid->ScrollToRow(0);

        // Next through every row, Previous back, then jumps as the spin or a search makes them.
        std::vector<int> anRows;
        for (int nRow = 0; nRow < 200; ++nRow)
            anRows.push_back(nRow);
        for (int nRow = 199; nRow >= 0; --nRow)
            anRows.push_back(nRow);
        for (int nRow : {150, 10, 121, 199, 0, 62, 61, 119, 198})
            anRows.push_back(nRow);
        for (int nRow : anRows)
        {
            const bool bWholeBefore = RowNotWhole(pGrid, nRow).empty();
            const int nTopBefore = pGrid->GetFirstVisibleRow();
            pGrid->SetSelectedItem(nRow);
            const std::string sWhy = RowNotWhole(pGrid, nRow);
            ASSERT_TRUE(sWhy.empty()) << sWhy;
            if (bWholeBefore)
            {
                ASSERT_EQ(pGrid->GetFirstVisibleRow(), nTopBefore) << "row " << nRow << " showed whole already";
            }
            const std::vector<int> anRed = RedSeparators(pGrid);
            ASSERT_FALSE(anRed.empty()) << "row " << nRow;
            ASSERT_EQ(anRed.front(), nRow - pGrid->GetFirstVisibleRow()) << "row " << nRow;
        }
        pFrame->Destroy();
        PumpEvents(30);
    }
}

TEST_F(GridGui, AClickInTheFocusedCellReportsTheRowItShowsNow)
{
    GridTestFrame* pFrame = MakeFrame(100);
    VRGrid* pGrid = pFrame->m_pGrid;
    wxWindow* pCell = pGrid->GetColumn(0)->GetDisplayedControl(0);
    pCell->SetFocus();
    if (!PumpUntil([&]() { return wxWindow::FindFocus() == pCell; }, 2000))
        GTEST_SKIP() << "the display gives no keyboard focus";
    // The focus reports its row too; on a busy machine that can take a while, and it must not be
    // counted as the click's.
    PumpUntil([&]() { return !pFrame->m_aSelections.empty(); });
    pFrame->m_aSelections.clear();

    // The redraw puts another row into the focused cell; no focus event comes.
    pGrid->ScrollToRow(20);
    ASSERT_EQ(pGrid->GetColumn(0)->GetDisplayedControl(0), pCell);
    SendMouse(pCell, wxEVT_LEFT_DOWN, 5, 5, true);
    SendMouse(pCell, wxEVT_LEFT_UP, 5, 5, false);
    ASSERT_TRUE(PumpUntil([&]() { return !pFrame->m_aSelections.empty(); }));
    PumpEvents(30);
    ASSERT_EQ(pFrame->m_aSelections.size(), 1u);
    EXPECT_EQ(pFrame->m_aSelections[0].nRow, 20);
}

TEST_F(GridGui, DraggingARowSeparatorGrowsTheRowAboveIt)
{
    GridTestFrame* pFrame = MakeFrame(100);
    VRGrid* pGrid = pFrame->m_pGrid;
    pGrid->SetSelectedItem(1);
    VRGridSeperator* pSeparator = RowSeparator(pGrid, 2);
    const int nSeparatorY = pSeparator->GetPosition().y;

    SendMouse(pSeparator, wxEVT_LEFT_DOWN, 40, 0, true);
    SendMouse(pSeparator, wxEVT_MOTION, 40, 12, true);
    SendMouse(pSeparator, wxEVT_MOTION, 40, 25, true);
    wxWindow* pOutline = VRGridSeperator::FindDragOutline(pGrid);
    ASSERT_NE(pOutline, nullptr);
    EXPECT_TRUE(pOutline->IsShown());
    EXPECT_EQ(pOutline->GetSize().y, 2);
    EXPECT_NEAR(pOutline->GetPosition().y, nSeparatorY + 25, 1) << "the outline follows the mouse";
    EXPECT_GE(pOutline->GetSize().x, pSeparator->GetSize().x);
    PumpEvents(50);
    EXPECT_TRUE(ScreenshotIfAsked("grid-separator-drag"));

    SendMouse(pSeparator, wxEVT_LEFT_UP, 40, 25, false);
    EXPECT_FALSE(pOutline->IsShown());
    ASSERT_TRUE(PumpUntil([&]() { return pGrid->GetRowHeight(1) != 60; }));
    PumpEvents(30);
    EXPECT_EQ(pFrame->m_nRowDrags, 1);
    EXPECT_EQ(pGrid->GetRowHeight(1), 85);
    EXPECT_EQ(pGrid->GetRowHeight(0), 60);
    EXPECT_EQ(pGrid->GetRowHeight(2), 60);
    EXPECT_EQ(RowSeparator(pGrid, 3)->GetPosition().y, nSeparatorY + 1 + 60 + 25) << "the grid redrew";
    EXPECT_TRUE(pFrame->m_aSelections.empty()) << "a drag selects nothing";

    // A drag whose capture is lost ends without a notification.
    pSeparator = RowSeparator(pGrid, 2);
    SendMouse(pSeparator, wxEVT_LEFT_DOWN, 40, 0, true);
    SendMouse(pSeparator, wxEVT_MOTION, 40, 30, true);
    EXPECT_TRUE(pOutline->IsShown());
    wxMouseCaptureLostEvent lost(pSeparator->GetId());
    lost.SetEventObject(pSeparator);
    pSeparator->GetEventHandler()->ProcessEvent(lost);
    if (pSeparator->HasCapture())
        pSeparator->ReleaseMouse();
    EXPECT_FALSE(pOutline->IsShown());
    SendMouse(pSeparator, wxEVT_LEFT_UP, 40, 30, false);
    PumpEvents(50);
    EXPECT_EQ(pFrame->m_nRowDrags, 1);
    EXPECT_EQ(pGrid->GetRowHeight(1), 85);
}

TEST_F(GridGui, AFrozenGridNeitherRedrawsNorSetsItsRange)
{
    auto* pFrame = new GridTestFrame;
    pFrame->AddEditorColumn();
    ASSERT_TRUE(pFrame->ShowAndWait());
    VRGrid* pGrid = pFrame->m_pGrid;
    const size_t nWindows = pGrid->GetChildren().size();
    // The toolkit shows an empty range as it likes; what matters is that a frozen fill leaves it.
    const int nEmptyRange = pGrid->GetScrollbar()->GetRange();

    pGrid->Freeze();
    for (int nRow = 0; nRow < 20; ++nRow)
        pGrid->AddItem(0, TaggedSegment(nRow));
    pGrid->Redraw();
    pGrid->SetSize(pGrid->GetSize() + wxSize(0, -10));
    PumpEvents(30);
    EXPECT_TRUE(Labels(pGrid).empty());
    EXPECT_EQ(pGrid->GetChildren().size(), nWindows);
    EXPECT_EQ(pGrid->GetScrollbar()->GetRange(), nEmptyRange);

    // Through a window pointer, freezing is the window's own and leaves the grid's alone.
    wxWindow* pWindow = pGrid;
    pWindow->Freeze();
    pWindow->Thaw();
    EXPECT_TRUE(pGrid->IsGridFrozen());

    pGrid->Thaw();
    EXPECT_FALSE(Labels(pGrid).empty());
    EXPECT_EQ(pGrid->GetScrollbar()->GetRange(), 20);
    EXPECT_EQ(Cell(pGrid, 0, 0)->GetSegmentXML(), TaggedSegment(0));
}

TEST_F(GridGui, AValueOfTheWrongTypeIsRefused)
{
    auto* pFrame = new GridTestFrame;
    pFrame->AddEditorColumn();
    pFrame->AddTextColumn();
    ASSERT_TRUE(pFrame->ShowAndWait());
    VRGrid* pGrid = pFrame->m_pGrid;
    AssertRecorder recorder;

    pGrid->AddItem(0, 42);
    pGrid->AddItem(1, std::string("narrow"));
    pGrid->AddItem(2, wxString("no such column"));
    EXPECT_EQ(recorder.asExpressions.size(), 3u);
    EXPECT_EQ(pGrid->GetNumRows(), 0);
    EXPECT_EQ(pGrid->GetColumn(0)->GetNumValues(), 0);

    recorder.Clear();
    pGrid->AddItem(0, wxString("a"));
    pGrid->AddItem(1, wxString("b"));
    EXPECT_TRUE(recorder.asExpressions.empty());
    EXPECT_EQ(pGrid->GetNumRows(), 1);
}

TEST_F(GridGui, ARowAColumnHasNoValueForShowsAnEmptyCell)
{
    auto* pFrame = new GridTestFrame;
    pFrame->AddEditorColumn();
    pFrame->AddTextColumn();
    // Column by column: the text column's value makes a row of its own.
    pFrame->m_pGrid->AddItem(0, wxString("first"));
    pFrame->m_pGrid->AddItem(0, wxString("second"));
    pFrame->m_pGrid->AddItem(1, wxString("only"));
    ASSERT_TRUE(pFrame->ShowAndWait());
    VRGrid* pGrid = pFrame->m_pGrid;
    ASSERT_EQ(pGrid->GetNumRows(), 3);

    const char* aszEditors[] = {"first", "second", ""};
    const char* aszTexts[] = {"only", "", ""};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Cell(pGrid, 0, i)->GetSegmentXML(), aszEditors[i]) << "row " << i;
        auto* pText = dynamic_cast<wxTextCtrl*>(pGrid->GetColumn(1)->GetDisplayedControl(i));
        ASSERT_NE(pText, nullptr);
        EXPECT_EQ(pText->GetValue(), aszTexts[i]) << "row " << i;
    }
}

TEST_F(GridGui, TheWheelMovesThreeRowsPerNotchAfterACellHasScrolledItsOwnText)
{
    GridTestFrame* pFrame = MakeFrame(100);
    VRGrid* pGrid = pFrame->m_pGrid;
    const struct
    {
        const char* szWhere;
        std::function<wxWindow*()> fnTarget;
        int nRotation, nTop;
    } aCases[] = {
        {"the grid", [&]() { return static_cast<wxWindow*>(pGrid); }, -120, 3},
        {"a row label", [&]() { return static_cast<wxWindow*>(pGrid->GetActiveLabels().at(1)); }, -120, 6},
        {"the scrollbar", [&]() { return static_cast<wxWindow*>(pGrid->GetScrollbar()); }, -240, 12},
        {"a separator", [&]() { return pGrid->GetActiveRowSeparators().at(1); }, 120, 9},
        {"a cell whose text fits", [&]() { return pGrid->GetColumn(0)->GetDisplayedControl(1); }, -120, 12},
        {"half a notch", [&]() { return static_cast<wxWindow*>(pGrid); }, -60, 12},
        {"the other half", [&]() { return static_cast<wxWindow*>(pGrid); }, -60, 15},
    };
    for (const auto& c : aCases)
    {
        SendWheel(c.fnTarget(), c.nRotation);
        EXPECT_EQ(pGrid->GetFirstVisibleRow(), c.nTop) << c.szWhere;
    }

    // A cell with more text than it shows scrolls that text first.
    VRSegmentEditor* pCell = Cell(pGrid, 0, 0);
    wxString sLong;
    for (int i = 0; i < 60; ++i)
        sLong += wxString::Format("word%d ", i);
    pCell->LoadSegment(sLong);
    ASSERT_TRUE(PumpUntil([&]() { return pCell->VisibleFromDocLine(1) > pCell->LinesOnScreen(); }));
    SendWheel(pCell, -120);
    EXPECT_EQ(pGrid->GetFirstVisibleRow(), 15);
    EXPECT_GT(pCell->GetFirstVisibleLine(), 0);
    for (int i = 0; i < 50 && pGrid->GetFirstVisibleRow() == 15; ++i)
        SendWheel(pCell, -120);
    EXPECT_EQ(pGrid->GetFirstVisibleRow(), 18) << "at the end of its text the cell hands the wheel to the grid";
}
} // namespace

namespace
{
TEST_F(GridGui, HeadingsSitOverTheirColumnsAndTheRowsStartBelowThem)
{
    auto* pFrame = new GridTestFrame(wxSize(900, 400));
    pFrame->AddTextColumn("Rating");
    pFrame->AddEditorColumn(true, "Source");
    pFrame->AddEditorColumn(true, "Translation");
    pFrame->Fill(30);
    ASSERT_TRUE(pFrame->ShowAndWait());
    VRGrid* pGrid = pFrame->m_pGrid;
    pGrid->SetSelectedItem(1);

    const int nFirstSeparatorY = RowSeparator(pGrid, 0)->GetPosition().y;
    EXPECT_GT(nFirstSeparatorY, 0);
    EXPECT_TRUE(RowSeparator(pGrid, 0)->IsMovable());
    ASSERT_FALSE(Labels(pGrid).empty());
    EXPECT_EQ(Labels(pGrid).front(), "") << "the corner over the row numbers";
    EXPECT_EQ(Labels(pGrid).at(1), "1");
    for (const char* szHeading : {"Rating", "Source", "Translation"})
    {
        wxWindow* pHeading = nullptr;
        for (wxWindow* pChild : pGrid->GetChildren())
            if (dynamic_cast<wxStaticText*>(pChild) && pChild->GetLabel() == szHeading)
                pHeading = pChild;
        ASSERT_NE(pHeading, nullptr) << szHeading;
        EXPECT_TRUE(pHeading->IsShown());
        EXPECT_EQ(pHeading->GetPosition().y, 0);
        EXPECT_EQ(pHeading->GetSize().y, nFirstSeparatorY) << szHeading;
    }
    for (int nColumn = 0; nColumn < 3; ++nColumn)
    {
        wxWindow* pCell = pGrid->GetColumn(nColumn)->GetDisplayedControl(0);
        EXPECT_EQ(pCell->GetPosition().y, nFirstSeparatorY + 1);
        EXPECT_EQ(pCell->GetPosition().x, pGrid->GetColumn(nColumn)->GetX());
    }
    EXPECT_TRUE(ScreenshotIfAsked("grid-headings"));
}
} // namespace
