// The suggestions pane over the fixture project: the proposals shown, the one chosen, and the
// limits kept per project file.
#include "workspace/VRSuggestedTranslationFrame.h"

#include "tests/harness/Screenshot.h"
#include "tests/workspace/PaneGuiTest.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"
#include "workspace/VRGrid.h"
#include "workspace/VRSourceFrame.h"
#include "workspace/VRTranslationFrame.h"

#include <wx/anybutton.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <string>
#include <vector>

namespace
{
// A handler that names a project file and reads nothing.
class NamedIO : public tcIO
{
public:
    explicit NamedIO(const wxString& sPath) : m_sPath(sPath) {}
    wxString GetDatasource() const override { return m_sPath; }

private:
    wxString m_sPath;
};

std::string TargetOf(const tcNode* pTarget)
{
    return pTarget ? pTarget->GenerateXMLChildren().utf8_string() : "(null)";
}

class VRSuggestedTranslationFrameGui : public PaneGuiTest
{
protected:
    void SetUp() override
    {
        PaneGuiTest::SetUp();
        m_apSegments = m_project.Segments(0);
        ASSERT_EQ(m_apSegments.size(), static_cast<size_t>(kSegmentCount));
    }

    VRSuggestedTranslationFrame* MakePane(const tcIO* pIO)
    {
        auto* pPane = new VRSuggestedTranslationFrame(m_pFrame->Panel(), m_project.DTDPtr(), pIO);
        m_pFrame->ShowPanes({pPane});
        return pPane;
    }
    tcNode* Segment(int i) const { return m_apSegments[static_cast<size_t>(i)]; }

    static void Spin(wxSpinCtrl* pSpin, int nValue)
    {
        pSpin->SetValue(nValue);
        wxSpinEvent event(wxEVT_SPINCTRL, pSpin->GetId());
        event.SetEventObject(pSpin);
        event.SetPosition(nValue);
        pSpin->HandleWindowEvent(event);
    }
    static void GridRow(VRSuggestedTranslationFrame* pPane, int nRow, wxObject* pFrom)
    {
        wxCommandEvent event(wxEVT_CHOICE, VRGRID_SELECTION_CHANGED);
        event.SetInt(nRow);
        event.SetEventObject(pFrom);
        pPane->HandleWindowEvent(event);
    }
    // What the pane shows of the proposals now: count label, spin and selection.
    static void ExpectNone(VRSuggestedTranslationFrame* pPane)
    {
        EXPECT_EQ(pPane->GetSelectedSuggestion(), nullptr);
        EXPECT_FALSE(pPane->IsExactMatch());
        EXPECT_EQ(pPane->GetCountLabel()->GetLabel(), " 0");
        EXPECT_FALSE(pPane->GetSelectionSpin()->IsEnabled());
        EXPECT_EQ(pPane->GetSelectionSpin()->GetMax(), 1);
        EXPECT_EQ(pPane->GetGrid()->GetNumRows(), 0);
    }

    std::vector<tcNode*> m_apSegments;
};

TEST_F(VRSuggestedTranslationFrameGui, EachSegmentShowsItsBestProposalSelected)
{
    VRSuggestedTranslationFrame* pPane = MakePane(nullptr);
    ExpectNone(pPane);

    const struct
    {
        int nSegment;
        int nShown;
        const char* szBest;
        bool bExact;
    } cases[] = {
        {kTwoOf2, 5, "Zwei.", false},
        {kTwoOf1, 1, "Eins.", true},
        {kSubFlow, 1, "Firmenlogo", false},
        {kUnsegmented, 1, "Willkommen im Buch", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nSegment);
        // A selection left from the segment before does not carry over.
        Spin(pPane->GetSelectionSpin(), pPane->GetSelectionSpin()->GetMax());
        pPane->SetNode(Segment(c.nSegment));
        EXPECT_EQ(pPane->GetShownCount(), c.nShown);
        EXPECT_EQ(pPane->GetGrid()->GetNumRows(), c.nShown);
        EXPECT_EQ(pPane->GetCountLabel()->GetLabel(), wxString::Format(" %d", c.nShown));
        EXPECT_EQ(pPane->GetSelectionSpin()->GetValue(), 1);
        EXPECT_EQ(pPane->GetSelectionSpin()->GetMax(), c.nShown);
        EXPECT_TRUE(pPane->GetSelectionSpin()->IsEnabled());
        EXPECT_EQ(pPane->GetGrid()->GetSelectedItem(), 0);
        EXPECT_EQ(TargetOf(pPane->GetSelectedSuggestion()), c.szBest);
        EXPECT_EQ(pPane->IsExactMatch(), c.bExact);
    }

    for (tcNode* pNone : {Segment(kTwoOf3), static_cast<tcNode*>(nullptr)})
    {
        pPane->SetNode(pNone);
        ExpectNone(pPane);
    }
    EXPECT_TRUE(m_pFrame->Ids().empty());
}

TEST_F(VRSuggestedTranslationFrameGui, TranslatorPicksAProposal)
{
    VRSuggestedTranslationFrame* pPane = MakePane(nullptr);
    pPane->SetNode(Segment(kTwoOf2));
    ASSERT_EQ(pPane->GetShownCount(), 5);

    // Grid order: 95, 80, 40, "85%", none.
    Spin(pPane->GetSelectionSpin(), 3);
    EXPECT_EQ(TargetOf(pPane->GetSelectedSuggestion()), "Zwei!");
    EXPECT_EQ(pPane->GetGrid()->GetSelectedItem(), 2);

    GridRow(pPane, 1, pPane->GetGrid());
    EXPECT_EQ(TargetOf(pPane->GetSelectedSuggestion()), "Zwei..");
    EXPECT_EQ(pPane->GetSelectionSpin()->GetValue(), 2);

    // Another window's row is not this pane's.
    GridRow(pPane, 4, m_pFrame->Panel());
    EXPECT_EQ(TargetOf(pPane->GetSelectedSuggestion()), "Zwei..");

    // The proposal without a quality comes last.
    Spin(pPane->GetSelectionSpin(), 5);
    EXPECT_EQ(TargetOf(pPane->GetSelectedSuggestion()), "Zw.");
    EXPECT_FALSE(pPane->IsExactMatch());

    ClickButton(dynamic_cast<wxAnyButton*>(pPane->FindWindow(VRSuggestedTranslationFrame::ID_USE)));
    EXPECT_TRUE(WaitFor(VRSuggestedTranslationFrame::NOTIFY_USE_SUGGESTION));
    Settle();
    ASSERT_EQ(m_pFrame->Ids(), std::vector<int>{VRSuggestedTranslationFrame::NOTIFY_USE_SUGGESTION});
    EXPECT_EQ(m_pFrame->aReceived[0].pObject, pPane);
}

TEST_F(VRSuggestedTranslationFrameGui, LimitsRefillAndAreKeptPerProjectFile)
{
    const NamedIO first(L"/home/u/first.xlf");
    VRSuggestedTranslationFrame* pPane = MakePane(&first);
    EXPECT_EQ(pPane->GetPercentSpin()->GetValue(), 30);
    EXPECT_EQ(pPane->GetLimitSpin()->GetValue(), 5);
    EXPECT_EQ(pPane->GetLimitSpin()->GetMax(), 100);

    // Before any segment a change is only stored.
    Spin(pPane->GetLimitSpin(), 4);
    EXPECT_EQ(pPane->GetShownCount(), 0);

    pPane->SetNode(Segment(kTwoOf2));
    EXPECT_EQ(pPane->GetShownCount(), 4);
    Spin(pPane->GetPercentSpin(), 90);
    // 95 and the two without an integer quality.
    EXPECT_EQ(pPane->GetShownCount(), 3);
    EXPECT_EQ(pPane->GetCountLabel()->GetLabel(), " 3");

    // The next pane for the same file starts where this one left; another file starts afresh.
    const NamedIO same(L"/home/u/first.xlf");
    VRSuggestedTranslationFrame* pSame = MakePane(&same);
    EXPECT_EQ(pSame->GetPercentSpin()->GetValue(), 90);
    EXPECT_EQ(pSame->GetLimitSpin()->GetValue(), 4);
    const NamedIO other(L"/home/u/other.xlf");
    VRSuggestedTranslationFrame* pOther = MakePane(&other);
    EXPECT_EQ(pOther->GetPercentSpin()->GetValue(), 30);
    EXPECT_EQ(pOther->GetLimitSpin()->GetValue(), 5);

    // A project without a file keeps its choices to itself.
    VRSuggestedTranslationFrame* pNew = MakePane(nullptr);
    Spin(pNew->GetPercentSpin(), 60);
    EXPECT_EQ(MakePane(nullptr)->GetPercentSpin()->GetValue(), 30);
}

// The three panes side by side as the page shows them, segment 2 current and a proposal chosen.
TEST_F(VRSuggestedTranslationFrameGui, ThreePanesTogether)
{
    m_pFrame->SetSize(1200, 500);
    auto* pSource = new VRSourceFrame(m_pFrame->Panel(), m_project.DTD().m_pSourceElement,
                                      m_project.DTD().m_pMrkElement, m_apSegments);
    auto* pTranslation = new VRTranslationFrame(m_pFrame->Panel(), m_project.DTDPtr(), m_project.Doc());
    auto* pSuggestions = new VRSuggestedTranslationFrame(m_pFrame->Panel(), m_project.DTDPtr(), m_project.IO());
    m_pFrame->ShowPanes({pSource, pTranslation, pSuggestions});

    pSource->SelectSegment(kTwoOf2);
    pSource->SetSelectedSegment(kTwoOf2);
    pTranslation->SetNode(Segment(kTwoOf2));
    pSuggestions->SetNode(Segment(kTwoOf2));
    Spin(pSuggestions->GetSelectionSpin(), 2);
    pTranslation->SetTargetText(pSuggestions->GetSelectedSuggestion()->GenerateXMLChildren());
    Settle();
    EXPECT_EQ(pSource->GetCurrentSegment(), kTwoOf2);
    EXPECT_EQ(pTranslation->GetTargetText(), "Zwei..");
    EXPECT_TRUE(ScreenshotIfAsked("panes"));
}
} // namespace
