// Segment text, target reading and the commit of typed targets, on a project loaded from a fixture.
#include "workspace/SegmentXML.h"

#include "tests/harness/AssertRecorder.h"
#include "tests/workspace/PaneTestSupport.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string U8(const wxString& s)
{
    return s.utf8_string();
}

class SegmentXMLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_project.IsLoaded());
        m_apSegments = m_project.Segments(0);
        ASSERT_EQ(m_apSegments.size(), static_cast<size_t>(kSegmentCount));
        m_project.Doc()->ClearDirty();
    }

    const SXLIFFDTD& DTD() const { return m_project.DTD(); }
    tcNode* Segment(int i) const { return m_apSegments[static_cast<size_t>(i)]; }
    wxString Target(int i) const { return GetTargetXML(DTD(), Segment(i)); }
    // The whole target of a segment's unit.
    wxString UnitTarget(int i) const
    {
        tcNode* pTarget = nullptr;
        GetTargetXML(DTD(), Segment(i), &pTarget);
        return pTarget ? pTarget->GenerateXML() : wxString("(none)");
    }
    STargetCommit Commit(int i, const wxString& sText)
    {
        return CommitTargetXML(DTD(), m_project.Doc(), Segment(i), sText);
    }

    PaneProject m_project;
    std::vector<tcNode*> m_apSegments;
};

TEST_F(SegmentXMLTest, SegmentsAreTheSourceMrksOrTheSource)
{
    // Target mrks and the translate="no" unit stay out; a unit without mrks gives its source.
    std::vector<std::string> asKinds;
    for (const tcNode* pSegment : m_apSegments)
        asKinds.push_back(U8(pSegment->GetElementName() + L"<" + pSegment->GetParent()->GetElementName()));
    EXPECT_EQ(asKinds, (std::vector<std::string>{"source<trans-unit", "mrk<seg-source", "mrk<seg-source",
                                                 "mrk<seg-source", "mrk<seg-source", "mrk<seg-source", "mrk<sub",
                                                 "mrk<seg-source", "mrk<seg-source", "mrk<seg-source"}));
    EXPECT_EQ(m_project.Segments(1).size(), 2u);
    EXPECT_TRUE(m_project.Segments(2).empty());
    EXPECT_TRUE(CollectFileSegments(DTD(), nullptr).empty());
}

TEST_F(SegmentXMLTest, SegmentTextIsTheMarkupOfSourceAndMrkWithoutNotes)
{
    const struct
    {
        int nSegment;
        const char* szXML;
    } cases[] = {
        {kUnsegmented, "Welcome to the guide"},
        {kTwoOf2, "Two. "},
        {kBold1, "Bold <it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>start. "},
        {kSubFlow, "Company logo"},
        {kNoted, "Noted text."},
    };
    AssertRecorder asserts;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nSegment);
        EXPECT_EQ(U8(GetSegmentXML(Segment(c.nSegment), DTD().m_pSourceElement, DTD().m_pMrkElement)), c.szXML);
        EXPECT_EQ(U8(GenerateSegmentXML(Segment(c.nSegment))), c.szXML);
    }
    EXPECT_TRUE(asserts.asExpressions.empty());

    // Any other node shows nothing and is reported.
    tcNode* pUnit = FindTransUnit(DTD(), Segment(kTwoOf1));
    ASSERT_TRUE(pUnit);
    EXPECT_EQ(GetSegmentXML(pUnit, DTD().m_pSourceElement, DTD().m_pMrkElement), "");
    EXPECT_EQ(asserts.asExpressions, std::vector<std::string>{"0"});
    EXPECT_EQ(asserts.asFiles, std::vector<std::string>{"VRSourceFrame"});
}

TEST_F(SegmentXMLTest, TargetIsReadThroughTheNearestUnitAndTheFirstMrkWithTheMid)
{
    const struct
    {
        int nSegment;
        const char* szTarget;
        bool bHasTarget;
    } cases[] = {
        {kUnsegmented, "", false},
        {kTwoOf1, "Eins. ", true},
        {kTwoOf2, "", true},
        {kTwoOf3, "Drei.", true},
        {kBold1, "", false},
        // A fixed walk of four levels from a mrk in a sub reaches the body, not the unit.
        {kSubFlow, "Firmenlogo", true},
        // The first of two mrks with the same mid, as a commit writes it.
        {kDuplicate1, "Links. ", true},
        {kDuplicate2, "", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nSegment);
        tcNode* pTarget = Segment(0); // must be overwritten
        EXPECT_EQ(U8(GetTargetXML(DTD(), Segment(c.nSegment), &pTarget)), c.szTarget);
        EXPECT_EQ(pTarget != nullptr, c.bHasTarget);
    }
    // A source segment reads its whole target.
    const std::vector<tcNode*> apSecondFile = m_project.Segments(1);
    ASSERT_EQ(apSecondFile.size(), 2u);
    EXPECT_EQ(U8(GetTargetXML(DTD(), apSecondFile[0])), "Accueil");
    EXPECT_EQ(GetTargetXML(DTD(), nullptr), "");
}

TEST_F(SegmentXMLTest, StrayMarkupIsEscapedAndCodesAreKept)
{
    const struct
    {
        const char* szTyped;
        const char* szEscaped;
    } cases[] = {
        {"a & b <c", "a &amp; b &lt;c"},
        {"&amp; &lt; &gt; &quot; &apos; &#38; &#x26;", "&amp; &lt; &gt; &quot; &apos; &#38; &#x26;"},
        {"&#; &#x; &ampx &nbsp;", "&amp;#; &amp;#x; &amp;ampx &amp;nbsp;"},
        {"<ph id=\"1\"/>x</bpt><ept id=\"1\">e</ept>", "<ph id=\"1\"/>x</bpt><ept id=\"1\">e</ept>"},
        {"<it\tpos=\"open\">", "<it\tpos=\"open\">"},
        {"<b>bold</b> <phone> <mrk>", "&lt;b>bold&lt;/b> &lt;phone> <mrk>"},
        {"<![CDATA[a & <b>]]> & <", "<![CDATA[a & <b>]]> &amp; &lt;"},
        {"<![CDATA[open & <", "<![CDATA[open & <"},
        {"<sub", "&lt;sub"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U8(EscapeStrayMarkup(wxString::FromUTF8(c.szTyped))), c.szEscaped) << c.szTyped;
}

TEST_F(SegmentXMLTest, CommitPlacesTheSegmentsMrkInMidOrder)
{
    // Segment 2 goes between 1 and 3; the blank between them stays where it was.
    STargetCommit result = Commit(kTwoOf2, L"Zwei. ");
    ASSERT_TRUE(result.pDestination);
    EXPECT_FALSE(result.bNewTarget);
    EXPECT_EQ(U8(UnitTarget(kTwoOf1)), "<target><mrk mtype=\"seg\" mid=\"1\">Eins. </mrk> <mrk mtype=\"seg\" "
                                       "mid=\"2\">Zwei. </mrk><mrk mtype=\"seg\" mid=\"3\">Drei.</mrk></target>");
    // An existing segment has its content replaced, nothing else.
    Commit(kTwoOf1, L"Eins! ");
    EXPECT_EQ(U8(UnitTarget(kTwoOf1)), "<target><mrk mtype=\"seg\" mid=\"1\">Eins! </mrk> <mrk mtype=\"seg\" "
                                       "mid=\"2\">Zwei. </mrk><mrk mtype=\"seg\" mid=\"3\">Drei.</mrk></target>");
    EXPECT_TRUE(m_project.Doc()->IsDirty());

    // A unit without target: the last segment first, then one before it, which is inserted.
    result = Commit(kBold2, L"Ende");
    EXPECT_TRUE(result.bNewTarget);
    Commit(kBold1, L"Fett");
    EXPECT_EQ(U8(Target(kBold1)), "Fett<it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>");
    EXPECT_EQ(U8(Target(kBold2)), "Ende<it id=\"1\" pos=\"close\" ctype=\"bold\"><![CDATA[</b>]]></it>");
    tcNode* pTarget = result.pTarget;
    ASSERT_EQ(pTarget->GetNumChildren(), 2);
    EXPECT_EQ(pTarget->GetChild(0)->GetAttributeRawAsString(DTD().m_pMrkMidAttr), "1");
    EXPECT_EQ(pTarget->GetChild(1)->GetAttributeRawAsString(DTD().m_pMrkMidAttr), "2");

    // Duplicate mids: the first one takes the text, the second is left alone.
    Commit(kDuplicate1, L"Links! ");
    EXPECT_EQ(U8(UnitTarget(kDuplicate1)),
              "<target><mrk mtype=\"seg\" mid=\"1\">Links! </mrk><mrk mtype=\"seg\" mid=\"1\">Rechts.</mrk></target>");

    // A sub-flow segment writes into its own unit.
    Commit(kSubFlow, L"Logo");
    EXPECT_EQ(U8(UnitTarget(kSubFlow)), "<target><mrk mtype=\"seg\" mid=\"1\">Logo</mrk></target>");
}

TEST_F(SegmentXMLTest, FirstCommitMakesTheTargetInTheUnitsOrder)
{
    tcNode* pUnit = FindTransUnit(DTD(), Segment(kUnsegmented));
    ASSERT_TRUE(pUnit);
    const STargetCommit result = Commit(kUnsegmented, L"Willkommen");
    ASSERT_TRUE(result.pTarget);
    EXPECT_TRUE(result.bNewTarget);
    EXPECT_EQ(result.pDestination, result.pTarget);
    // Between the source and the proposals.
    EXPECT_EQ(result.pTarget->FindOurIndex(), 1);
    EXPECT_EQ(pUnit->GetChild(2)->GetElement(), DTD().m_pAltTransElement);
    EXPECT_EQ(U8(Target(kUnsegmented)), "Willkommen");

    // A new segment target gets its mid and the segment type.
    const STargetCommit segment = Commit(kBold2, L"Ende");
    ASSERT_TRUE(segment.pDestination);
    EXPECT_EQ(segment.pDestination->GetElement(), DTD().m_pMrkElement);
    EXPECT_EQ(segment.pDestination->GetAttributeRawAsString(DTD().m_pMrkMidAttr), "2");
    EXPECT_EQ(segment.pDestination->GetAttributeRawAsString(DTD().m_pMrkMtypeAttr), "seg");

    // Nothing is written for a node outside any unit.
    EXPECT_FALSE(CommitTargetXML(DTD(), m_project.Doc(), pUnit->GetParent(), L"x").pTarget);
}

TEST_F(SegmentXMLTest, TypedTextIsNeverLost)
{
    const struct
    {
        int nSegment;
        const char* szTyped;
        const char* szStored;
        bool bAsText;
    } cases[] = {
        {kUnsegmented, "a & b <c", "a &amp; b &lt;c", false},
        {kUnsegmented, "Fish &amp; chips", "Fish &amp; chips", false},
        // Attributes come back in the vocabulary's order.
        {kBold1, "<it ctype=\"bold\" pos=\"open\" id=\"1\"><![CDATA[<b>]]></it>Fett ",
         "<it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>Fett ", false},
        // An unclosed code cannot be told from text: the whole text is kept as text.
        {kUnsegmented, "<bpt id=\"1\">x", "&lt;bpt id=\"1\"&gt;x", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.szTyped);
        const STargetCommit result = Commit(c.nSegment, wxString::FromUTF8(c.szTyped));
        EXPECT_EQ(result.bStoredAsText, c.bAsText);
        EXPECT_EQ(U8(Target(c.nSegment)), c.szStored);
    }
}

TEST_F(SegmentXMLTest, CommitMakesTheCodesThoseOfTheSource)
{
    const struct
    {
        const char* szTyped;
        const char* szStored;
    } cases[] = {
        // Another ctype is put back.
        {"<it id=\"1\" pos=\"open\" ctype=\"italic\"><![CDATA[<b>]]></it>Fett ",
         "<it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>Fett "},
        // A missing code is appended.
        {"Fett ", "Fett <it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>"},
        // An invented code is dropped.
        {"<it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>Fett<ph id=\"9\"/>",
         "<it id=\"1\" pos=\"open\" ctype=\"bold\"><![CDATA[<b>]]></it>Fett"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.szTyped);
        Commit(kBold1, wxString::FromUTF8(c.szTyped));
        EXPECT_EQ(U8(Target(kBold1)), c.szStored);
    }
}
} // namespace
