// The source segments pane over the fixture project: moving between segments and what it tells the
// page.
#include "workspace/VRSourceFrame.h"

#include "engine/XLIFFDTD.h"
#include "tests/workspace/PaneGuiTest.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRGrid.h"

#include <wx/bmpbuttn.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <string>
#include <vector>

namespace
{
class VRSourceFrameGui : public PaneGuiTest
{
protected:
    VRSourceFrame* MakePane(const std::vector<tcNode*>& apSegments)
    {
        auto* pPane = new VRSourceFrame(m_pFrame->Panel(), m_project.DTD().m_pSourceElement,
                                        m_project.DTD().m_pMrkElement, apSegments);
        m_pFrame->ShowPanes({pPane});
        // The frame's first focus would land in a grid cell, and a cell taking the focus selects its
        // row: start from a known focus so that only the test's own actions move the segment.
        if (pPane->GetSpin()->IsEnabled())
        {
            pPane->GetSpin()->SetFocus();
            PumpUntil([pPane]() { return pPane->GetSpin()->HasFocus(); }, 2000);
        }
        Settle();
        m_pFrame->Clear();
        return pPane;
    }

    static void Click(VRSourceFrame* pPane, int nId)
    {
        auto* pButton = dynamic_cast<wxAnyButton*>(pPane->FindWindow(nId));
        ASSERT_TRUE(pButton);
        ClickButton(pButton);
    }
    static void Spin(VRSourceFrame* pPane, int nValue)
    {
        pPane->GetSpin()->SetValue(nValue);
        wxSpinEvent event(wxEVT_SPINCTRL, VRSourceFrame::ID_SPIN);
        event.SetEventObject(pPane->GetSpin());
        event.SetPosition(nValue);
        pPane->GetSpin()->HandleWindowEvent(event);
    }
    static void GridRow(VRSourceFrame* pPane, int nRow, wxObject* pFrom)
    {
        wxCommandEvent event(wxEVT_CHOICE, VRGRID_SELECTION_CHANGED);
        event.SetInt(nRow);
        event.SetEventObject(pFrom);
        pPane->HandleWindowEvent(event);
    }
};

TEST_F(VRSourceFrameGui, NavigationMovesAndTellsThePage)
{
    VRSourceFrame* pPane = MakePane(m_project.Segments(0));
    ASSERT_EQ(pPane->GetSegmentCount(), 10);
    wxObject* pForeign = m_pFrame->Panel();

    enum Action
    {
        Next,
        Previous,
        SpinTo5,
        Row7,
        ForeignRow7,
        NextUntranslated,
        PreviousUntranslated,
        CopySource,
    };
    const struct
    {
        int nStart;
        Action action;
        int nCurrent;
        std::vector<int> anPosted;
    } cases[] = {
        {9, Next, 0, {3}},
        {0, Previous, 9, {3}},
        {4, Next, 5, {3}},
        {4, Previous, 3, {3}},
        {0, SpinTo5, 4, {3}},
        {0, Row7, 7, {3}},
        {2, ForeignRow7, 2, {}},
        {6, NextUntranslated, 6, {1}},
        {6, PreviousUntranslated, 6, {2}},
        {6, CopySource, 6, {5}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "start " << c.nStart << ", action " << c.action);
        m_pFrame->Clear();
        pPane->SelectSegment(c.nStart);
        ASSERT_TRUE(WaitFor(VRSourceFrame::NOTIFY_SEGMENT_CHANGED));
        m_pFrame->Clear();
        switch (c.action)
        {
        case Next: Click(pPane, VRSourceFrame::ID_NEXT); break;
        case Previous: Click(pPane, VRSourceFrame::ID_PREVIOUS); break;
        case SpinTo5: Spin(pPane, 5); break;
        case Row7: GridRow(pPane, 7, pPane->GetGrid()); break;
        case ForeignRow7: GridRow(pPane, 7, pForeign); break;
        case NextUntranslated: Click(pPane, VRSourceFrame::ID_NEXT_UNTRANSLATED); break;
        case PreviousUntranslated: Click(pPane, VRSourceFrame::ID_PREVIOUS_UNTRANSLATED); break;
        case CopySource: Click(pPane, VRSourceFrame::ID_COPY_SOURCE); break;
        }
        if (!c.anPosted.empty())
        {
            EXPECT_TRUE(WaitFor(c.anPosted.back()));
        }
        Settle();
        EXPECT_EQ(pPane->GetCurrentSegment(), c.nCurrent);
        EXPECT_EQ(pPane->GetSpin()->GetValue(), c.nCurrent + 1);
        EXPECT_EQ(m_pFrame->Ids(), c.anPosted);
        for (const SNotification& notification : m_pFrame->aReceived)
            EXPECT_EQ(notification.pObject, pPane);
    }
}

TEST_F(VRSourceFrameGui, SelectingAndShowingAreApart)
{
    VRSourceFrame* pPane = MakePane(m_project.Segments(0));
    EXPECT_EQ(pPane->GetCurrentSegmentText(), "Welcome to the guide");

    // The page's own choice of segment is told like the user's; the grid stays as it is.
    pPane->SelectSegment(2);
    EXPECT_TRUE(WaitFor(3));
    EXPECT_EQ(pPane->GetCurrentSegmentText(), "Two. ");
    EXPECT_EQ(pPane->GetGrid()->GetSelectedItem(), -1);

    // Showing a row changes neither the current segment nor tells anyone.
    m_pFrame->Clear();
    pPane->SetSelectedSegment(9);
    Settle();
    EXPECT_EQ(pPane->GetGrid()->GetSelectedItem(), 9);
    EXPECT_EQ(pPane->GetCurrentSegment(), 2);
    EXPECT_TRUE(m_pFrame->Ids().empty());

    // Indexes outside the list are ignored.
    pPane->SelectSegment(10);
    pPane->SelectSegment(-1);
    Settle();
    EXPECT_EQ(pPane->GetCurrentSegment(), 2);
    EXPECT_TRUE(m_pFrame->Ids().empty());
}

TEST_F(VRSourceFrameGui, FileWithoutSegmentsDisablesTheNavigation)
{
    const std::vector<tcNode*> apNone = m_project.Segments(2);
    ASSERT_TRUE(apNone.empty());
    VRSourceFrame* pPane = MakePane(apNone);
    EXPECT_FALSE(pPane->GetSpin()->IsEnabled());
    for (int nId : {VRSourceFrame::ID_NEXT, VRSourceFrame::ID_PREVIOUS, VRSourceFrame::ID_NEXT_UNTRANSLATED,
                    VRSourceFrame::ID_PREVIOUS_UNTRANSLATED, VRSourceFrame::ID_COPY_SOURCE})
    {
        EXPECT_FALSE(pPane->FindWindow(nId)->IsEnabled()) << nId;
        // A click that reaches the pane anyway changes nothing.
        Click(pPane, nId);
    }
    pPane->SelectSegment(0);
    Settle();
    EXPECT_TRUE(m_pFrame->Ids().empty());
    EXPECT_EQ(pPane->GetCurrentSegment(), 0);
    EXPECT_EQ(pPane->GetCurrentSegmentText(), "");
    EXPECT_EQ(pPane->GetGrid()->GetNumRows(), 0);
    bool bCountShown = false;
    for (const wxWindow* pChild : pPane->GetChildren())
    {
        const auto* pLabel = dynamic_cast<const wxStaticText*>(pChild);
        bCountShown = bCountShown || (pLabel && pLabel->GetLabel() == " of 0");
    }
    EXPECT_TRUE(bCountShown);
}

TEST_F(VRSourceFrameGui, ButtonsCarryImagesAndTips)
{
    VRSourceFrame* pPane = MakePane(m_project.Segments(0));
    const struct
    {
        int nId;
        const char* szTip;
    } buttons[] = {
        {VRSourceFrame::ID_PREVIOUS_UNTRANSLATED, "Previous untranslated segment"},
        {VRSourceFrame::ID_NEXT_UNTRANSLATED, "Next untranslated segment"},
        {VRSourceFrame::ID_COPY_SOURCE, "Copy the source text into the translation"},
    };
    for (const auto& button : buttons)
    {
        auto* pButton = dynamic_cast<wxBitmapButton*>(pPane->FindWindow(button.nId));
        ASSERT_TRUE(pButton) << button.nId;
        EXPECT_TRUE(pButton->GetBitmap().IsOk()) << button.nId;
        EXPECT_EQ(pButton->GetToolTipText(), button.szTip);
    }
}

TEST_F(VRSourceFrameGui, FillOfManySegmentsIsTimedInTheLog)
{
    // 110 units in one file: the row numbers need a wider column.
    tcDocument doc;
    tcDictionary* pRoot = PrepareNewProjectDocument(&doc);
    ASSERT_TRUE(pRoot);
    SXLIFFDTD dtd;
    InitXLIFFDTD(&doc, dtd, false);
    wxString sXML = L"<file original=\"a.txt\" source-language=\"en\" datatype=\"plaintext\"><body>";
    for (int i = 1; i <= 110; ++i)
        sXML += wxString::Format(L"<trans-unit id=\"%d\"><source>Sentence %d.</source></trans-unit>", i, i);
    sXML += L"</body></file>";
    ASSERT_TRUE(pRoot->GetChild(0)->ParseXML(sXML, &doc));
    const std::vector<tcNode*> apSegments = CollectFileSegments(dtd, pRoot->GetChild(0)->GetChild(0));
    ASSERT_EQ(apSegments.size(), 110u);

    tcLogCapture log;
    auto* pPane = new VRSourceFrame(m_pFrame->Panel(), dtd.m_pSourceElement, dtd.m_pMrkElement, apSegments);
    m_pFrame->ShowPanes({pPane});
    EXPECT_EQ(pPane->GetGrid()->GetNumRows(), 110);
    EXPECT_EQ(pPane->GetGrid()->GetNumberColumnWidth(), 25);
    EXPECT_TRUE(log.Contains(L"<ADDITEMS>"));
    EXPECT_TRUE(log.Contains(L"<~ADDITEMS:"));
    pPane->SelectSegment(109);
    EXPECT_EQ(pPane->GetCurrentSegmentText(), "Sentence 110.");
}
} // namespace
