// The translation pane over the fixture project: every keystroke reaches the project once, in the
// segment it was typed in.
#include "workspace/VRTranslationFrame.h"

#include "import/XLIFFImporter.h"
#include "tests/workspace/PaneGuiTest.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tcNode.h"
#include "workspace/SegmentDisplay.h"
#include "workspace/SegmentXML.h"
#include "workspace/VRAttributeSelector.h"
#include "workspace/VRSegmentEditor.h"

#include <wx/uiaction.h>

#include <string>
#include <vector>

namespace
{
std::string U8(const wxString& s)
{
    return s.utf8_string();
}

class VRTranslationFrameGui : public PaneGuiTest
{
protected:
    void SetUp() override
    {
        PaneGuiTest::SetUp();
        m_apSegments = m_project.Segments(0);
        ASSERT_EQ(m_apSegments.size(), static_cast<size_t>(kSegmentCount));
        m_pPane = new VRTranslationFrame(m_pFrame->Panel(), m_project.DTDPtr(), m_project.Doc());
        m_pFrame->ShowPanes({m_pPane});
    }

    tcNode* Segment(int i) const { return m_apSegments[static_cast<size_t>(i)]; }
    wxString Stored(int i) const { return GetTargetXML(m_project.DTD(), Segment(i)); }
    bool HasTargetElement(int i) const
    {
        tcNode* pTarget = nullptr;
        GetTargetXML(m_project.DTD(), Segment(i), &pTarget);
        return pTarget != nullptr;
    }
    VRSegmentEditor* Editor() const { return m_pPane->GetEditor(); }
    // Shows a segment and forgets what that told the page.
    void Show(int i)
    {
        m_pPane->SetNode(Segment(i));
        Settle();
        m_pFrame->Clear();
    }
    // Types as the user does: at the caret, one change at a time.
    void Type(const wxString& sText)
    {
        for (const wxUniChar c : sText)
            Editor()->AddText(wxString(c));
    }

    std::vector<tcNode*> m_apSegments;
    VRTranslationFrame* m_pPane = nullptr;
};

TEST_F(VRTranslationFrameGui, BurstOfTypingCommitsOnce)
{
    m_pPane->SetNode(Segment(kTwoOf1));
    Settle();
    EXPECT_TRUE(m_pFrame->Ids().empty());
    EXPECT_FALSE(m_project.Doc()->IsDirty());
    EXPECT_EQ(m_pPane->GetTargetText(), "Eins. ");

    Editor()->GotoPos(Editor()->GetLength());
    Type(L"Zwei");
    EXPECT_TRUE(m_pPane->HasPendingCommit());
    EXPECT_EQ(U8(Stored(kTwoOf1)), "Eins. ");
    ASSERT_TRUE(WaitFor(VRTranslationFrame::NOTIFY_TARGET_COMMITTED));
    Settle();
    EXPECT_EQ(m_pFrame->Ids(), std::vector<int>{VRTranslationFrame::NOTIFY_TARGET_COMMITTED});
    EXPECT_EQ(m_pFrame->aReceived[0].pObject, m_pPane);
    EXPECT_EQ(U8(Stored(kTwoOf1)), "Eins. Zwei");
    EXPECT_EQ(m_pPane->GetTargetText(), "Eins. Zwei");
    EXPECT_TRUE(m_project.Doc()->IsDirty());
}

TEST_F(VRTranslationFrameGui, FirstEditMakesTheTargetAndBindsTheSelectors)
{
    for (int nSegment : {kUnsegmented, kBold2})
    {
        SCOPED_TRACE(nSegment);
        Show(nSegment);
        EXPECT_FALSE(HasTargetElement(nSegment));
        EXPECT_FALSE(m_pPane->GetStateSelector()->IsEnabled());
        EXPECT_FALSE(m_pPane->GetStateQualifierSelector()->IsEnabled());
        EXPECT_FALSE(Editor()->GetReadOnly());

        Type(L"Neu");
        ASSERT_TRUE(WaitFor(VRTranslationFrame::NOTIFY_TARGET_COMMITTED));
        EXPECT_TRUE(HasTargetElement(nSegment));
        EXPECT_TRUE(m_pPane->GetStateSelector()->IsEnabled());
        EXPECT_TRUE(m_pPane->GetStateQualifierSelector()->IsEnabled());
        // The selectors now write the new target.
        m_pPane->SetState(L"translated");
        EXPECT_TRUE(WaitFor(VRTranslationFrame::NOTIFY_STATE_CHANGED));
        tcNode* pTarget = nullptr;
        GetTargetXML(m_project.DTD(), Segment(nSegment), &pTarget);
        ASSERT_TRUE(pTarget);
        EXPECT_EQ(pTarget->GetAttributeRawAsString(m_project.DTD().m_pTargetStateAttr), "translated");
        EXPECT_EQ(m_pPane->GetState(), "translated");
    }
    EXPECT_EQ(U8(Stored(kBold2)), "Neu<it id=\"1\" pos=\"close\" ctype=\"bold\"><![CDATA[</b>]]></it>");
}

TEST_F(VRTranslationFrameGui, TypedTextStaysAsTypedAndCodesPutRightKeepTheCaret)
{
    const struct
    {
        int nSegment;
        const char* szTyped;
        int nCaret;
        const char* szStored;
    } cases[] = {
        // Escaped once in the document, and shown as typed: nothing to reload, the caret stays.
        {kUnsegmented, "a & b <c", 3, "a &amp; b &lt;c"},
        // A missing code comes back at the end; the caret stays in the text.
        {kBold1, "Fett ", 2, "Fett <it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.szTyped);
        Show(c.nSegment);
        Editor()->SetText(wxString::FromUTF8(c.szTyped));
        Editor()->SetEmptySelection(c.nCaret);
        ASSERT_TRUE(WaitFor(VRTranslationFrame::NOTIFY_TARGET_COMMITTED));
        Settle();
        EXPECT_EQ(Count(VRTranslationFrame::NOTIFY_TARGET_COMMITTED), 1);
        EXPECT_EQ(U8(Stored(c.nSegment)), c.szStored);
        EXPECT_EQ(U8(Editor()->GetSegmentXML()), c.szStored);
        EXPECT_EQ(U8(m_pPane->GetTargetText()), c.szStored);
        EXPECT_EQ(U8(tSegmentDisplayPlainText(Editor()->GetText())), c.szTyped);
        EXPECT_EQ(Editor()->GetCurrentPos(), c.nCaret);
        EXPECT_EQ(Editor()->GetAnchor(), c.nCaret);
        EXPECT_FALSE(m_pPane->HasPendingCommit());
        // The reload is no step of the translator's: one undo takes the typing back.
        Editor()->Undo();
        EXPECT_EQ(Editor()->GetText(), "");
        EXPECT_FALSE(Editor()->CanUndo());
    }
}

TEST_F(VRTranslationFrameGui, SegmentsThatOnceLoopedSettleAfterOneCommit)
{
    for (int nSegment : {kSubFlow, kDuplicate1, kDuplicate2})
    {
        SCOPED_TRACE(nSegment);
        Show(nSegment);
        Editor()->GotoPos(Editor()->GetLength());
        Type(L"!");
        ASSERT_TRUE(WaitFor(VRTranslationFrame::NOTIFY_TARGET_COMMITTED));
        m_project.Doc()->ClearDirty();
        PumpEvents(300);
        EXPECT_EQ(Count(VRTranslationFrame::NOTIFY_TARGET_COMMITTED), 1);
        EXPECT_FALSE(m_project.Doc()->IsDirty());
        EXPECT_FALSE(m_pPane->HasPendingCommit());
    }
    EXPECT_EQ(U8(Stored(kSubFlow)), "Firmenlogo!");
    EXPECT_EQ(U8(Stored(kDuplicate1)), "Links. !");
    EXPECT_EQ(U8(Stored(kDuplicate2)), "!");
}

TEST_F(VRTranslationFrameGui, SwitchingKeepsTypingInItsOwnSegment)
{
    Show(kTwoOf2);
    Type(L"Zwei");
    m_pPane->SetNode(Segment(kUnsegmented));
    EXPECT_EQ(U8(Stored(kTwoOf2)), "Zwei");
    EXPECT_FALSE(HasTargetElement(kUnsegmented));
    EXPECT_EQ(Editor()->GetText(), "");
    Settle();
    EXPECT_FALSE(HasTargetElement(kUnsegmented));
    EXPECT_EQ(Count(VRTranslationFrame::NOTIFY_TARGET_COMMITTED), 1);
    // The new segment's text brings no undo history with it.
    EXPECT_FALSE(Editor()->CanUndo());

    // The page flushes before it saves, whatever the timer is doing.
    Show(kTwoOf3);
    Editor()->GotoPos(Editor()->GetLength());
    Type(L"!");
    m_pPane->FlushCommit();
    EXPECT_EQ(U8(Stored(kTwoOf3)), "Drei.!");
    m_pPane->FlushCommit();
    Settle();
    EXPECT_EQ(Count(VRTranslationFrame::NOTIFY_TARGET_COMMITTED), 1);
}

TEST_F(VRTranslationFrameGui, SetTargetTextHasCommittedWhenItReturns)
{
    Show(kUnsegmented);
    m_pPane->SetTargetText(L"Willkommen");
    EXPECT_EQ(U8(Stored(kUnsegmented)), "Willkommen");
    EXPECT_TRUE(m_project.Doc()->IsDirty());
    EXPECT_FALSE(m_pPane->HasPendingCommit());
    // One undoable step, and one notification.
    EXPECT_TRUE(Editor()->CanUndo());
    Settle();
    EXPECT_EQ(m_pFrame->Ids(), std::vector<int>{VRTranslationFrame::NOTIFY_TARGET_COMMITTED});

    // The same text again is still stored (the state may follow it).
    m_pFrame->Clear();
    m_pPane->SetTargetText(L"Willkommen");
    Settle();
    EXPECT_EQ(Count(VRTranslationFrame::NOTIFY_TARGET_COMMITTED), 1);
}

TEST_F(VRTranslationFrameGui, NoSegmentMeansNothingToType)
{
    // Before the first segment, and for a file without segments.
    for (int nRound = 0; nRound < 2; ++nRound)
    {
        SCOPED_TRACE(nRound);
        if (nRound == 1)
        {
            Show(kTwoOf1);
            m_pPane->SetNode(nullptr);
        }
        EXPECT_TRUE(Editor()->GetReadOnly());
        EXPECT_EQ(Editor()->GetText(), "");
        EXPECT_FALSE(m_pPane->GetStateSelector()->IsEnabled());
        EXPECT_FALSE(m_pPane->GetStateQualifierSelector()->IsEnabled());
        m_pPane->SetTargetText(L"x");
        m_pPane->FlushCommit();
        Settle();
        EXPECT_FALSE(m_pPane->HasPendingCommit());
        EXPECT_EQ(Count(VRTranslationFrame::NOTIFY_TARGET_COMMITTED), 0);
    }
    EXPECT_EQ(U8(Stored(kTwoOf1)), "Eins. ");
}

TEST_F(VRTranslationFrameGui, TargetLanguageFallsBackToTheFile)
{
    AssertRecorder asserts;
    const std::vector<tcNode*> apSecondFile = m_project.Segments(1);
    ASSERT_EQ(apSecondFile.size(), 2u);
    // The file's language, for a target without its own.
    m_pPane->SetNode(Segment(kTwoOf1));
    EXPECT_EQ(m_pPane->GetTargetLanguage(), "de");
    // The target's own language comes first.
    m_pPane->SetNode(apSecondFile[0]);
    EXPECT_EQ(m_pPane->GetTargetLanguage(), "fr");
    // A segment without target leaves the language as it was.
    m_pPane->SetNode(apSecondFile[1]);
    EXPECT_EQ(m_pPane->GetTargetLanguage(), "fr");
    EXPECT_TRUE(asserts.asExpressions.empty());

    // Neither the target nor its file names one.
    auto* pFresh = new VRTranslationFrame(m_pFrame->Panel(), m_project.DTDPtr(), m_project.Doc());
    pFresh->SetNode(apSecondFile[1]);
    pFresh->SetTargetText(L"Qui sommes-nous");
    EXPECT_EQ(pFresh->GetTargetLanguage(), "");
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"0"});
    EXPECT_EQ(asserts.asFiles, std::vector<std::string>{"VRTranslationFrame"});
}

TEST_F(VRTranslationFrameGui, PaneReadsTargetsThroughTheSameWalk)
{
    tcNode* pTarget = nullptr;
    EXPECT_EQ(U8(m_pPane->GetTargetXML(Segment(kSubFlow), &pTarget)), "Firmenlogo");
    EXPECT_TRUE(pTarget);
    EXPECT_TRUE(m_pPane->HasTarget(Segment(kTwoOf3)));
    EXPECT_FALSE(m_pPane->HasTarget(Segment(kTwoOf2)));
    EXPECT_FALSE(m_pPane->HasTarget(Segment(kUnsegmented)));
}

TEST_F(VRTranslationFrameGui, TypedTargetIsSavedWithTheProject)
{
    Show(kUnsegmented);
    m_pFrame->Raise();
    Editor()->SetFocus();
    ASSERT_TRUE(PumpUntil([this]() { return Editor()->HasFocus(); }));
    wxUIActionSimulator simulator;
    ASSERT_TRUE(simulator.Text("Hallo & Tschuess"));
    ASSERT_TRUE(PumpUntil([this]() { return U8(Stored(kUnsegmented)) == "Hallo &amp; Tschuess"; }));
    Settle();

    const wxString sSaved = HomePath("saved.xlf");
    ASSERT_EQ(OutputXLIFF(m_project.Doc(), nullptr, sSaved), 0);
    const std::string sBytes = ReadBytes(sSaved);
    EXPECT_NE(sBytes.find("<source>Welcome to the guide</source><target>Hallo &amp; Tschuess</target><alt-trans"),
              std::string::npos)
        << sBytes;
}

TEST_F(VRTranslationFrameGui, ClosingPaneTouchesNothing)
{
    // The page flushes before it closes; a pane destroyed with an edit pending neither commits it
    // nor leaves a timer behind.
    Show(kTwoOf1);
    Type(L"x");
    ASSERT_TRUE(m_pPane->HasPendingCommit());
    bool bGone = false;
    m_pPane->Bind(wxEVT_DESTROY,
                  [&bGone](wxWindowDestroyEvent& event)
                  {
                      event.Skip();
                      bGone = true;
                  });
    m_pPane->Destroy();
    m_pPane = nullptr;
    ASSERT_TRUE(PumpUntil([&bGone]() { return bGone; }));
    Settle();
    EXPECT_EQ(U8(Stored(kTwoOf1)), "Eins. ");
    EXPECT_FALSE(m_project.Doc()->IsDirty());
    EXPECT_TRUE(m_pFrame->Ids().empty());
}
} // namespace
