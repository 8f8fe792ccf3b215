#include "engine/InlineMarkup.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A document whose nodes of kind "unit" hold XML fragments.
class InlineMarkupDoc : public ::testing::Test
{
protected:
    void SetUp() override { m_doc.CreateDoc("inline"); }

    tcNode* Unit(const wxString& sXML)
    {
        tcElement* pKind = tEnsureElementExists(&m_doc, "unit", nullptr, false, CHILD_ZEROORMORE);
        tcNode* pNode = m_doc.AllocateElement(pKind);
        EXPECT_TRUE(pNode->ParseXML(sXML, &m_doc)) << sXML;
        return pNode;
    }

    static wxString Names(const std::vector<tcNode*>& apNodes)
    {
        wxString s;
        for (const tcNode* p : apNodes)
            s += (s.empty() ? "" : ",") + p->GetElementName();
        return s;
    }

    tcDocument m_doc;
};

// UTF-8, so that a failure shows the texts.
std::string Stripped(const wxString& sText)
{
    wxString s = sText;
    StripInlineMarkup(s);
    return s.utf8_string();
}
} // namespace

TEST(InlineMarkup, CountWordsCountsSeparators)
{
    struct Case
    {
        const wchar_t* szText;
        int nWords;
    };
    const Case kCases[] = {
        {L"", 0},
        {L"one", 1},
        {L"a, b", 3},
        {L"two  spaces", 3},
        {L"End.", 2},
        {L"snake_case42", 1},
        {L"Zwölf étés жизнь", 3},
        {L"line\nbreak\ttab", 3},
        {L"smile 😀", 3},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(CountWords(c.szText), c.nWords) << wxString(c.szText);
}

TEST(InlineMarkup, StripUnwrapsOnlyTheXLIFFElements)
{
    struct Case
    {
        const char* szName;
        const wchar_t* szText;
        const wchar_t* szExpected;
    };
    const Case kCases[] = {
        {"segment around a code",
         L"<mrk mtype=\"seg\" mid=\"1\">Hello <bpt id=\"1\" ctype=\"Bold\"><![CDATA[<b>]]></bpt>world</mrk>",
         L"Hello <![CDATA[<b>]]>world"},
        {"raw code content", L"Click <bpt id=\"1\" ctype=\"bold\"><b></bpt>here<ept id=\"1\"></b></ept> &amp; go.",
         L"Click <b>here</b> &amp; go."},
        {"no XLIFF element", L"a <b>bold</b> <item>x</item> <subject/> <phrase>p</phrase> <x id=\"4\"/>",
         L"a <b>bold</b> <item>x</item> <subject/> <phrase>p</phrase> <x id=\"4\"/>"},
        {"opened, never closed", L"<mrk mid=\"1\">open <ph>code", L"<mrk mid=\"1\">open <ph>code"},
        {"stray end tag", L"a</ph>b</mrk>", L"a</ph>b</mrk>"},
        {"empty elements go", L"a<bpt id=\"1\"/>b<ph />c<it id=\"2\" pos=\"begin\"></it>d", L"abcd"},
        {"nested segments of one name", L"<mrk mid=\"1\"><mrk mid=\"2\">x</mrk>y</mrk>z", L"xyz"},
        {"document sub split over two codes", L"H<bpt id=\"1\"><sub></bpt>2<ept id=\"1\"></sub></ept>O",
         L"H<sub>2</sub>O"},
        {"document sub in CDATA", L"H<bpt id=\"1\"><![CDATA[<sub>]]></bpt>2<ept id=\"1\"><![CDATA[</sub>]]></ept>O",
         L"H<![CDATA[<sub>]]>2<![CDATA[</sub>]]>O"},
        {"document tags named like codes inside a code", L"<ph><mrk></ph>x<ph></bpt></ph>", L"<mrk>x</bpt>"},
        {"sub-flow inside a code",
         L"<ph><img alt=\"<sub datatype=\"\" ctype=\"alt\"><mrk mid=\"2\">Picture <bpt id=\"3\"><i></bpt>one<ept "
         L"id=\"3\"></i></ept></mrk></sub>\"></ph>",
         L"<img alt=\"Picture <i>one</i>\">"},
        {"sub-flow next to a document sub",
         L"<bpt id=\"1\"><sub></bpt><sub ctype=\"x\"><mrk mid=\"2\">2</mrk></sub><ept id=\"1\"></sub></ept>",
         L"<sub>2</sub>"},
        {"multi-line code", L"<ph>line\none</ph>\n<ph>two</ph>", L"line\none\ntwo"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(Stripped(c.szText), wxString(c.szExpected).utf8_string()) << c.szName;
}

TEST_F(InlineMarkupDoc, StripKeepsSubscriptsOfACodeInBothOutputForms)
{
    tcNode* pSource =
        Unit("H<bpt id=\"1\" ctype=\"Style\"><![CDATA[<sub>]]></bpt>2<ept id=\"1\"><![CDATA[</sub>]]></ept>O is water");
    EXPECT_EQ(Stripped(pSource->GenerateXMLChildren(false, false)), "H<sub>2</sub>O is water");
    EXPECT_EQ(Stripped(pSource->GenerateXMLChildren(true, true)), "H<![CDATA[<sub>]]>2<![CDATA[</sub>]]>O is water");
}

TEST_F(InlineMarkupDoc, CollectFindsTheOutermostCodesInOrder)
{
    tcNode* pTarget = Unit("<mrk mid=\"1\">a<bpt id=\"1\">x<sub>s<ph>p</ph></sub></bpt>b<ept id=\"1\">y</ept></mrk>"
                           "<it id=\"2\" pos=\"end\">z</it><ph/>");
    std::vector<tcNode*> apTags;
    CollectInlineTags(pTarget, apTags);
    EXPECT_EQ(Names(apTags).utf8_string(), "bpt,ept,it,ph");

    std::vector<tcNode*> apMore{pTarget};
    CollectInlineTags(apTags[0], apMore);
    EXPECT_EQ(apMore.size(), 2u) << "a code itself is collected, not its inside";
    CollectInlineTags(nullptr, apMore);
    EXPECT_EQ(apMore.size(), 2u);
}

TEST_F(InlineMarkupDoc, SyncMakesTheTargetCodesEqualTheSource)
{
    struct Case
    {
        const char* szName;
        const char* szSource;
        const char* szTarget;
        const char* szExpected;
    };
    const Case kCases[] = {
        {"surplus code deleted", "<bpt id=\"1\">a</bpt>x<ept id=\"1\">b</ept>",
         "<bpt id=\"1\">a</bpt>y<ept id=\"1\">b</ept>z<ph>p</ph>", "<bpt id=\"1\">a</bpt>y<ept id=\"1\">b</ept>z"},
        {"missing codes appended", "<ph>1</ph>a<ph>2</ph>b<ph>3</ph>", "c<ph>1</ph>d",
         "c<ph>1</ph>d<ph>2</ph><ph>3</ph>"},
        {"different ctype replaced in place", "<bpt id=\"1\" ctype=\"Bold\">a</bpt>x<ept id=\"1\">b</ept>",
         "y<bpt id=\"1\" ctype=\"Italic\">a</bpt>z<ept id=\"1\">b</ept>",
         "y<bpt id=\"1\" ctype=\"Bold\">a</bpt>z<ept id=\"1\">b</ept>"},
        {"different kind replaced inside its segment", "<ph>1</ph><it id=\"2\" pos=\"end\">i</it>",
         "<mrk mid=\"1\">y<ph>1</ph>w<ph>9</ph></mrk>",
         "<mrk mid=\"1\">y<ph>1</ph>w<it id=\"2\" pos=\"end\">i</it></mrk>"},
        {"no codes at all", "a", "b", "b"},
        {"a bare target gets the opening codes first", "<bpt id=\"1\">p</bpt>a<ept id=\"1\">/p</ept><ph>n</ph>", "b",
         "<bpt id=\"1\">p</bpt>b<ept id=\"1\">/p</ept><ph>n</ph>"},
        {"only those before the text", " <ph>1</ph><ph>2</ph>a<ph>3</ph>", "b", "<ph>1</ph><ph>2</ph>b<ph>3</ph>"},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szName);
        tcNode* pSource = Unit(c.szSource);
        tcNode* pTarget = Unit(c.szTarget);
        std::vector<tcNode*> apSourceTags;
        std::vector<tcNode*> apTargetTags;
        CollectInlineTags(pSource, apSourceTags);
        CollectInlineTags(pTarget, apTargetTags);
        const tcNode* pFirst = apTargetTags.empty() ? nullptr : apTargetTags[0];
        const bool bFirstEqual =
            pFirst && !apSourceTags.empty() && apSourceTags[0]->GenerateXML() == pFirst->GenerateXML();

        SyncInlineTags(&m_doc, pTarget, apSourceTags, apTargetTags);
        EXPECT_EQ(pTarget->GenerateXMLChildren().utf8_string(), c.szExpected);
        EXPECT_EQ(pSource->GenerateXMLChildren().utf8_string(), c.szSource);

        // The list names live nodes of the target: the kept ones and the copies that replaced others.
        std::vector<tcNode*> apNow;
        CollectInlineTags(pTarget, apNow);
        ASSERT_LE(apTargetTags.size(), apNow.size());
        for (size_t i = 0; i < apTargetTags.size(); ++i)
            EXPECT_EQ(apTargetTags[i], apNow[i]) << i;
        if (bFirstEqual)
        {
            EXPECT_EQ(apNow[0], pFirst) << "an equal code is kept, not copied";
        }
    }
}
