#include "workspace/VRFilesFrame.h"

#include "Shared/AppUtils_shared.h"
#include "tests/harness/EventPump.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/FilesTestSupport.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcNode.h"

#include <wx/bmpbuttn.h>
#include <wx/dcclient.h>
#include <wx/grid.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
class FilesPaneGui : public PaneGuiTest
{
public:
    void SetUp() override
    {
        PaneGuiTest::SetUp();
        m_pProject = LoadPaneProject("files-panes.xlf");
        ASSERT_TRUE(m_pProject);
        ASSERT_EQ(m_pProject->Files().size(), 3u);
    }

    // A pane over apFiles in a new frame, the only thing in it.
    VRFilesFrame* MakePane(const std::vector<tcNode*>& apFiles)
    {
        m_pFrame = new PaneTestFrame("Files");
        // The mouse clicks for real: in the screen's bottom corner, out of the way of the windows
        // that other test programs show on the same display at the same time.
        const wxSize screen = wxGetDisplaySize();
        m_pFrame->SetSize(screen.GetWidth() - 330, screen.GetHeight() - 330, 320, 320);
        auto* pPane = new VRFilesFrame(m_pFrame->GetHost(), &m_pProject->dtd, apFiles);
        m_pFrame->Arrange({{pPane, 1}});
        // The grid's selection events that leave the pane: a page above it would see them too.
        auto fnCount = [this](wxGridEvent& event)
        {
            ++m_nGridEvents;
            event.Skip();
        };
        m_pFrame->GetHost()->Bind(wxEVT_GRID_SELECT_CELL, fnCount);
        m_pFrame->GetHost()->Bind(wxEVT_GRID_RANGE_SELECTED,
                                  [this](wxGridRangeSelectEvent& event)
                                  {
                                      ++m_nGridEvents;
                                      event.Skip();
                                  });
        PumpEvents(20);
        m_pFrame->ClearNotifications();
        m_nGridEvents = 0;
        return pPane;
    }

    // A file node, not part of the project's tree, whose original is sOriginal.
    tcNode* MakeFile(const wxString& sOriginal)
    {
        tcNode* pFile = AllocateElementByIDHelper(m_pProject->dtd.m_pFileElement->GetID(), m_pProject->pDoc.get());
        pFile->SetAttributeDisplayByString(m_pProject->dtd.m_pFileOriginalAttr, sOriginal);
        return pFile;
    }

    static wxSpinCtrl* Spin(VRFilesFrame* pPane)
    {
        return dynamic_cast<wxSpinCtrl*>(pPane->FindWindow(VRFilesFrame::ID_SPIN));
    }
    static wxBitmapButton* Button(VRFilesFrame* pPane, int nId)
    {
        return dynamic_cast<wxBitmapButton*>(pPane->FindWindow(nId));
    }
    static wxString CountLabel(VRFilesFrame* pPane) { return FindChild<wxStaticText>(pPane, "FileCount")->GetLabel(); }

    // Lets queued notifications arrive: until one has come when bExpectOne, and a little longer in
    // any case, so that a second one would be seen too.
    void SettleNotifications(bool bExpectOne)
    {
        if (bExpectOne)
            PumpUntil([this]() { return !m_pFrame->Notifications().empty(); });
        PumpEvents(50);
    }

    // The grid shows the pane's current file as its cursor and selected row.
    static void ExpectHighlighted(VRFilesFrame* pPane)
    {
        const int nFile = pPane->GetCurrentFile();
        EXPECT_EQ(pPane->GetGrid()->GetGridCursorRow(), nFile);
        for (int nRow = 0; nRow < pPane->GetNumFiles(); ++nRow)
            EXPECT_EQ(pPane->GetGrid()->IsInSelection(nRow, 0), nRow == nFile) << "row " << nRow;
    }

    // Clicks the middle of a row with the mouse, as a user would, and waits until the grid had it.
    void ClickRow(VRFilesFrame* pPane, int nRow)
    {
        wxWindow* pGridWindow = pPane->GetGrid()->GetGridWindow();
        bool bClicked = false;
        auto fnSeen = [&bClicked](wxMouseEvent& event)
        {
            bClicked = true;
            event.Skip();
        };
        pGridWindow->Bind(wxEVT_LEFT_UP, fnSeen);
        m_pFrame->Raise();
        const wxRect rect = pPane->GetGrid()->CellToRect(nRow, 0);
        wxUIActionSimulator simulator;
        simulator.MouseMove(pGridWindow->ClientToScreen(wxPoint(rect.x + 20, rect.y + rect.height / 2)));
        PumpEvents(20);
        simulator.MouseClick();
        EXPECT_TRUE(PumpUntil([&bClicked]() { return bClicked; })) << "the click did not arrive";
        pGridWindow->Unbind(wxEVT_LEFT_UP, fnSeen);
    }

    std::unique_ptr<PaneTestProject> m_pProject;
    PaneTestFrame* m_pFrame = nullptr;
    int m_nGridEvents = 0;
};

TEST_F(FilesPaneGui, EachChoiceOfAnotherFileMakesOneSwitch)
{
    const struct
    {
        const char* szAction;
        int nStart;
        std::function<void(FilesPaneGui&, VRFilesFrame*)> fnAction;
        int nExpected;
        bool bNotified;
    } aCases[] = {
        {"Next from the last", 2, [](FilesPaneGui&, VRFilesFrame* p) { ClickButton(Button(p, VRFilesFrame::ID_NEXT)); },
         0, true},
        {"Next in the middle", 1, [](FilesPaneGui&, VRFilesFrame* p) { ClickButton(Button(p, VRFilesFrame::ID_NEXT)); },
         2, true},
        {"Previous from the first", 0,
         [](FilesPaneGui&, VRFilesFrame* p) { ClickButton(Button(p, VRFilesFrame::ID_PREVIOUS)); }, 2, true},
        {"spin", 0,
         [](FilesPaneGui&, VRFilesFrame* p)
         {
             wxSpinCtrl* pSpin = Spin(p);
             pSpin->SetValue(2);
             wxSpinEvent event(wxEVT_SPINCTRL, pSpin->GetId());
             event.SetEventObject(pSpin);
             event.SetPosition(2);
             pSpin->HandleWindowEvent(event);
         },
         1, true},
        {"click on another row", 0, [](FilesPaneGui& t, VRFilesFrame* p) { t.ClickRow(p, 2); }, 2, true},
        {"click on the current row", 1, [](FilesPaneGui& t, VRFilesFrame* p) { t.ClickRow(p, 1); }, 1, false},
        {"range of rows", 0, [](FilesPaneGui&, VRFilesFrame* p) { p->GetGrid()->SelectBlock(1, 0, 2, 0); }, 1, true},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.szAction);
        VRFilesFrame* pPane = MakePane(m_pProject->Files());
        for (int i = 0; i < c.nStart; ++i)
            ClickButton(Button(pPane, VRFilesFrame::ID_NEXT));
        SettleNotifications(c.nStart > 0);
        ASSERT_EQ(pPane->GetCurrentFile(), c.nStart);
        m_pFrame->ClearNotifications();
        m_nGridEvents = 0;

        c.fnAction(*this, pPane);
        SettleNotifications(c.bNotified);

        EXPECT_EQ(pPane->GetCurrentFile(), c.nExpected);
        EXPECT_EQ(Spin(pPane)->GetValue(), c.nExpected + 1);
        ASSERT_EQ(m_pFrame->NotificationIds(), c.bNotified ? std::vector<int>{6} : std::vector<int>{});
        if (c.bNotified)
        {
            EXPECT_EQ(m_pFrame->Notifications()[0].pObject, pPane);
        }
        const std::string sAction = c.szAction;
        // A range the user selected stays selected as a whole.
        if (sAction != "range of rows")
            ExpectHighlighted(pPane);
        // Moving the highlight for a button or the spin is no selection by the user.
        if (sAction.find("click") == std::string::npos && sAction != "range of rows")
        {
            EXPECT_EQ(m_nGridEvents, 0);
        }
        m_pFrame->Destroy();
        PumpUntil([]() { return wxTopLevelWindows.IsEmpty(); });
    }
}

TEST_F(FilesPaneGui, ExtensionComesFromTheFileName)
{
    const struct
    {
        const wchar_t* szOriginal;
        const wchar_t* szExtension;
    } aCases[] = {
        {L"a/b.c.txt", L".txt"},    {L"noext", L""},     {L"x.d/file", L""},
        {L"dir\\f.html", L".html"}, {L"x.d\\file", L""}, {L"/home/a/page.HTM", L".HTM"},
    };
    std::vector<tcNode*> apFiles;
    for (const auto& c : aCases)
        apFiles.push_back(MakeFile(c.szOriginal));
    VRFilesFrame* pPane = MakePane(apFiles);
    for (const auto& c : aCases)
    {
        EXPECT_EQ(pPane->GetCurrentFileExtension(), c.szExtension) << c.szOriginal;
        ClickButton(Button(pPane, VRFilesFrame::ID_NEXT));
    }
}

TEST_F(FilesPaneGui, ColumnFillsThePaneButKeepsItsLongestPath)
{
    const wxString sLong = "/" + wxString('x', 300) + "/document.txt";
    const struct
    {
        const char* szCase;
        wxString sOriginal;
        int nPaneWidth;
        int nColumn; // -1: at least 10 pixels; 0: the width of its longest path
    } aCases[] = {
        // The toolkit sizes even an empty column to 20 pixels with its margins, above the floor.
        {"narrow pane", "", 15, -1},
        {"wide pane", "a/b.c.txt", 400, 390},
        {"long path", sLong, 200, 0},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.szCase);
        auto* pFrame = new PaneTestFrame("Width");
        auto* pPane = new VRFilesFrame(pFrame->GetHost(), &m_pProject->dtd, {MakeFile(c.sOriginal)});
        pPane->SetSize(c.nPaneWidth, 200);
        PumpEvents(20);
        ASSERT_EQ(pPane->GetClientSize().GetWidth(), c.nPaneWidth);
        wxGrid* pGrid = pPane->GetGrid();
        if (c.nColumn < 0)
        {
            EXPECT_GE(pGrid->GetColSize(0), 10);
            EXPECT_LE(pGrid->GetColSize(0), 20);
        }
        else if (c.nColumn > 0)
        {
            EXPECT_EQ(pGrid->GetColSize(0), c.nColumn);
        }
        else
        {
            // The whole path stays readable (the grid scrolls), whatever the pane's width.
            wxClientDC dc(pGrid);
            dc.SetFont(pGrid->GetDefaultCellFont());
            const int nPath = dc.GetTextExtent(c.sOriginal).GetWidth();
            EXPECT_GE(pGrid->GetColSize(0), nPath);
            const int nColumn = pGrid->GetColSize(0);
            pPane->SetSize(c.nPaneWidth + 50, 200);
            PumpEvents(20);
            EXPECT_EQ(pGrid->GetColSize(0), nColumn);
        }
        pFrame->Destroy();
        PumpUntil([]() { return wxTopLevelWindows.IsEmpty(); });
    }
}

TEST_F(FilesPaneGui, RefillKeepsTheCurrentFileInRangeAndPostsNothing)
{
    const std::vector<tcNode*> apProject = m_pProject->Files();
    const std::vector<tcNode*> apFour = {apProject[0], apProject[1], apProject[2], MakeFile("dir\\f.html")};
    const struct
    {
        const char* szCase;
        std::vector<tcNode*> apBefore;
        int nCurrentBefore;
        std::vector<tcNode*> apAfter;
        int nCurrentAfter;
    } aCases[] = {
        {"3 to 2, current was the last", apProject, 2, {apProject[0], apProject[1]}, 1},
        {"2 to 4", {apProject[0], apProject[1]}, 1, apFour, 1},
        {"3 to 0", apProject, 1, {}, 0},
    };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(c.szCase);
        VRFilesFrame* pPane = MakePane(c.apBefore);
        for (int i = 0; i < c.nCurrentBefore; ++i)
            ClickButton(Button(pPane, VRFilesFrame::ID_NEXT));
        SettleNotifications(c.nCurrentBefore > 0);
        m_pFrame->ClearNotifications();
        m_nGridEvents = 0;

        pPane->SetFiles(c.apAfter);
        SettleNotifications(false);

        const int nFiles = static_cast<int>(c.apAfter.size());
        EXPECT_TRUE(m_pFrame->NotificationIds().empty());
        EXPECT_EQ(m_nGridEvents, 0);
        EXPECT_EQ(pPane->GetNumFiles(), nFiles);
        EXPECT_EQ(pPane->GetGrid()->GetNumberRows(), nFiles);
        EXPECT_EQ(pPane->GetCurrentFile(), c.nCurrentAfter);
        EXPECT_EQ(CountLabel(pPane), wxString::Format(" of %d", nFiles));
        wxSpinCtrl* pSpin = Spin(pPane);
        if (nFiles > 0)
        {
            EXPECT_EQ(pSpin->GetMin(), 1);
            EXPECT_EQ(pSpin->GetMax(), nFiles);
            EXPECT_EQ(pSpin->GetValue(), c.nCurrentAfter + 1);
            EXPECT_TRUE(pSpin->IsEnabled());
            ExpectHighlighted(pPane);
            // The rows show the new list.
            for (int i = 0; i < nFiles; ++i)
                EXPECT_EQ(pPane->GetGrid()->GetCellValue(i, 0),
                          c.apAfter[i]->GetAttributeS(m_pProject->dtd.m_pFileOriginalAttr));
        }
        else
        {
            EXPECT_FALSE(pSpin->IsEnabled());
            EXPECT_FALSE(Button(pPane, VRFilesFrame::ID_NEXT)->IsEnabled());
            EXPECT_FALSE(Button(pPane, VRFilesFrame::ID_PREVIOUS)->IsEnabled());
            EXPECT_EQ(pPane->GetCurrentFileExtension(), "");
            // Even a click that gets through changes nothing.
            ClickButton(Button(pPane, VRFilesFrame::ID_NEXT));
            SettleNotifications(false);
            EXPECT_TRUE(m_pFrame->NotificationIds().empty());
        }
        m_pFrame->Destroy();
        PumpUntil([]() { return wxTopLevelWindows.IsEmpty(); });
    }
}

TEST_F(FilesPaneGui, ShowsEveryFileWithItsPath)
{
    VRFilesFrame* pPane = MakePane(m_pProject->Files());
    const std::vector<wxString> asExpected = {"a/b.c.txt", "noext", "x.d/file"};
    ASSERT_EQ(pPane->GetGrid()->GetNumberRows(), 3);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(pPane->GetGrid()->GetCellValue(i, 0), asExpected[i]);
        EXPECT_TRUE(pPane->GetGrid()->IsReadOnly(i, 0));
    }
    EXPECT_EQ(CountLabel(pPane), " of 3");
    EXPECT_EQ(pPane->GetCurrentFile(), 0);
    ExpectHighlighted(pPane);
    EXPECT_TRUE(Button(pPane, VRFilesFrame::ID_NEXT)->GetToolTipText() == "Next file");
    EXPECT_TRUE(ScreenshotIfAsked("files_pane"));
}

} // namespace
