#include "workspace/VRPreviewPanel.h"

#include "Shared/HTMLPreview.h"
#include "engine/ConvertorPreview.h"
#include "engine/ConvertorPreviewWx.h"
#include "engine/Convertor_txt.h"
#include "tests/harness/EventPump.h"
#include "tests/harness/Screenshot.h"
#include "tests/workspace/FilesTestSupport.h"
#include "varnak/include/tcDTD.h"
#include "workspace/VRFilesFrame.h"
#include "workspace/VRNotesFrame.h"

#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/weakref.h>

namespace
{
class PreviewPanelGui : public PaneGuiTest
{
protected:
    void SetUp() override
    {
        PaneGuiTest::SetUp();
        m_fnOldMaker = tSetPreviewWindowMaker(nullptr);
        tInstallConvertorPreviewWindows();
    }
    void TearDown() override
    {
        PaneGuiTest::TearDown();
        tSetPreviewWindowMaker(m_fnOldMaker);
    }

    VRPreviewPanel* MakePanel(PaneTestFrame** ppFrame = nullptr)
    {
        auto* pFrame = new PaneTestFrame("Preview");
        auto* pPanel = new VRPreviewPanel(pFrame->GetHost());
        pFrame->Arrange({{pPanel, 1}});
        if (ppFrame)
            *ppFrame = pFrame;
        return pPanel;
    }

    // Whether pPanel lays pWindow out (it is an item of the panel's sizer).
    static bool LaysOut(wxWindow* pPanel, wxWindow* pWindow)
    {
        return pPanel->GetSizer() && pPanel->GetSizer()->GetItem(pWindow) != nullptr;
    }

    static int CountLines(wxWindow* pPanel)
    {
        int n = 0;
        for (wxWindow* pChild : pPanel->GetChildren())
            if (dynamic_cast<wxStaticLine*>(pChild))
                ++n;
        return n;
    }

    tcPreviewWindowMaker m_fnOldMaker;
};

TEST_F(PreviewPanelGui, HostingTheSameWindowAgainOnlyChangesTheFlag)
{
    VRPreviewPanel* pPanel = MakePanel();
    wxWeakRef<wxWindow> pView = new VRHTMLWindow(tcHTMLLinkCallback(), pPanel);
    pPanel->SetPreviewWindow(pView, false);
    pPanel->SetPreviewWindow(pView, true);
    EXPECT_EQ(pPanel->GetPreviewWindow(), pView.get());
    EXPECT_TRUE(pPanel->IsOwned());
    EXPECT_TRUE(pView->IsShown());
    EXPECT_TRUE(LaysOut(pPanel, pView));
    // The flag it holds now decides: the window is the panel's to destroy.
    pPanel->SetPreviewWindow(nullptr, false);
    EXPECT_FALSE(pView);
}

TEST_F(PreviewPanelGui, EmptyingDestroysAnOwnedWindowAndHidesAnyOther)
{
    for (bool bOwned : {true, false})
    {
        SCOPED_TRACE(bOwned ? "owned" : "not owned");
        VRPreviewPanel* pPanel = MakePanel();
        wxWeakRef<wxWindow> pView = new VRHTMLWindow(tcHTMLLinkCallback(), pPanel);
        pPanel->SetPreviewWindow(pView, bOwned);
        pPanel->SetPreviewWindow(nullptr, false);
        EXPECT_EQ(pPanel->GetPreviewWindow(), nullptr);
        if (bOwned)
        {
            EXPECT_FALSE(pView);
        }
        else
        {
            ASSERT_TRUE(pView);
            EXPECT_FALSE(pView->IsShown());
            EXPECT_FALSE(LaysOut(pPanel, pView));
        }
        EXPECT_EQ(CountLines(pPanel), 1);
    }
}

TEST_F(PreviewPanelGui, WindowOfAnotherPanelIsMovedIn)
{
    VRPreviewPanel* pPanel = MakePanel();
    VRPreviewPanel* pOther = MakePanel();
    auto* pView = new VRHTMLWindow(tcHTMLLinkCallback(), pOther);
    pOther->SetPreviewWindow(pView, false);
    ASSERT_TRUE(LaysOut(pOther, pView));

    pPanel->SetPreviewWindow(pView, false);
    EXPECT_EQ(pView->GetParent(), pPanel);
    EXPECT_TRUE(LaysOut(pPanel, pView));
    EXPECT_FALSE(LaysOut(pOther, pView));
    EXPECT_TRUE(pView->IsShown());
    // The panel it left must not hide it in its new home.
    pOther->SetPreviewWindow(nullptr, false);
    EXPECT_TRUE(pView->IsShown());
    EXPECT_EQ(pView->GetParent(), pPanel);
}

TEST_F(PreviewPanelGui, ManyReplacementsKeepOneLine)
{
    VRPreviewPanel* pPanel = MakePanel();
    for (int i = 0; i < 20; ++i)
        pPanel->SetPreviewWindow(new VRHTMLWindow(tcHTMLLinkCallback(), pPanel), true);
    EXPECT_EQ(CountLines(pPanel), 1);
    // One hosted window, one line and one spacer: the owned windows replaced are gone.
    EXPECT_EQ(pPanel->GetChildren().GetCount(), 2u);
    EXPECT_EQ(pPanel->GetSizer()->GetItemCount(), 3u);
}

TEST_F(PreviewPanelGui, WindowDestroyedElsewhereIsForgotten)
{
    VRPreviewPanel* pPanel = MakePanel();
    for (bool bOwned : {true, false})
    {
        SCOPED_TRACE(bOwned ? "owned" : "not owned");
        auto* pView = new VRHTMLWindow(tcHTMLLinkCallback(), pPanel);
        pPanel->SetPreviewWindow(pView, bOwned);
        pView->Destroy();
        EXPECT_EQ(pPanel->GetPreviewWindow(), nullptr);
        pPanel->SetPreviewWindow(new VRHTMLWindow(tcHTMLLinkCallback(), pPanel), true);
        pPanel->SetSize(300, 200);
        pPanel->Layout();
        pPanel->SetPreviewWindow(nullptr, false);
    }
    EXPECT_EQ(pPanel->GetSizer()->GetItemCount(), 3u);
}

TEST_F(PreviewPanelGui, FamilyWindowMovesBetweenPages)
{
    tcPreviewWindowFamily family;
    family.Join();
    PaneTestFrame* pFirstFrame = nullptr;
    PaneTestFrame* pSecondFrame = nullptr;
    VRPreviewPanel* pFirst = MakePanel(&pFirstFrame);
    VRPreviewPanel* pSecond = MakePanel(&pSecondFrame);

    wxWindow* pShared = nullptr;
    for (VRPreviewPanel* pPanel : {pFirst, pSecond, pFirst, pSecond})
    {
        wxWindow* pWindow = family.Show(pPanel, "<p>page</p>");
        ASSERT_TRUE(pWindow);
        if (!pShared)
            pShared = pWindow;
        EXPECT_EQ(pWindow, pShared);
        pPanel->SetPreviewWindow(pWindow, false);
        EXPECT_EQ(pWindow->GetParent(), pPanel);
        EXPECT_TRUE(LaysOut(pPanel, pWindow));
        EXPECT_FALSE(LaysOut(pPanel == pFirst ? pSecond : pFirst, pWindow));
        EXPECT_TRUE(pWindow->IsShown());
    }

    // The first page closes while the second one shows the window: it stays.
    pFirstFrame->Destroy();
    PumpUntil([pFirstFrame]() { return !wxTopLevelWindows.Find(pFirstFrame); });
    ASSERT_EQ(family.GetWindow(), pShared);
    pSecond->SetPreviewWindow(family.Show(pSecond, "<p>again</p>"), false);
    EXPECT_EQ(pSecond->GetPreviewWindow(), pShared);
    EXPECT_TRUE(pShared->IsShown());

    // A third page takes it and closes: the second page forgets it and gets a new one.
    PaneTestFrame* pThirdFrame = nullptr;
    VRPreviewPanel* pThird = MakePanel(&pThirdFrame);
    pThird->SetPreviewWindow(family.Show(pThird, "<p>third</p>"), false);
    pThirdFrame->Destroy();
    PumpUntil([pThirdFrame]() { return !wxTopLevelWindows.Find(pThirdFrame); });
    EXPECT_EQ(family.GetWindow(), nullptr);
    EXPECT_EQ(pSecond->GetPreviewWindow(), nullptr);
    wxWindow* pNew = family.Show(pSecond, "<p>new</p>");
    ASSERT_TRUE(pNew);
    pSecond->SetPreviewWindow(pNew, false);
    EXPECT_EQ(pNew->GetParent(), pSecond);
    EXPECT_TRUE(pNew->IsShown());
    EXPECT_EQ(pSecond->GetSizer()->GetItemCount(), 3u);

    // The family's last member destroys its window; the panel is left empty.
    family.Leave();
    EXPECT_EQ(pSecond->GetPreviewWindow(), nullptr);
    pSecond->SetPreviewWindow(nullptr, false);
}

// The three panes over the fixture project, as a translator sees them.
TEST_F(PreviewPanelGui, PanesOverAProject)
{
    std::unique_ptr<PaneTestProject> pProject = LoadPaneProject("files-panes.xlf");
    ASSERT_TRUE(pProject);
    auto* pFrame = new PaneTestFrame("Lintrado panes", wxSize(1000, 380));
    const std::vector<tcNode*> apFiles = pProject->Files();
    auto* pFiles = new VRFilesFrame(pFrame->GetHost(), &pProject->dtd, apFiles);
    tcNode* pHeader = pProject->Nodes(pProject->dtd.m_pHeaderElement, apFiles[0])[0];
    auto* pNotes = new VRNotesPage(pFrame->GetHost(), pProject->dtd.m_pNoteElement, pProject->pDoc.get(), pHeader);
    auto* pPreview = new VRPreviewPanel(pFrame->GetHost());
    pFrame->Arrange({{pFiles, 2}, {pNotes, 3}, {pPreview, 4}});

    {
        tcConvertorTXT convertor(pProject->pDoc.get(), L"en");
        tcNode* pCurrent = pProject->Nodes(pProject->dtd.m_pMrkElement, apFiles[0])[1];
        wxWindow* pWindow = convertor.GeneratePreview(&pProject->dtd, pPreview, apFiles[0], pCurrent, L"de");
        ASSERT_TRUE(pWindow);
        pPreview->SetPreviewWindow(pWindow, false);
        EXPECT_EQ(pWindow->GetParent(), pPreview);
        PumpEvents(200);
        EXPECT_TRUE(ScreenshotIfAsked("files_notes_preview"));
        // The page empties the panel before it drops its convertors.
        pPreview->SetPreviewWindow(nullptr, false);
    }
    DestroyTopLevelWindows();
}

} // namespace
