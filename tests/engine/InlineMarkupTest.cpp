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

TEST(InlineMarkup, CountWordsCountsRunsOfLettersAndDigits)
{
    struct Case
    {
        const wchar_t* szText;
        int nWords;
    };
    const Case kCases[] = {
        // punctuation and blanks separate, however many
        {L"", 0},
        {L"one", 1},
        {L"Hello, world", 2},
        {L"two  spaces", 2},
        {L"End.", 1},
        {L" \t\n ... !? -- ", 0},
        {L"(see \"Setup\"): done; next...", 4},
        {L"line\nbreak\ttab", 3},
        {L"Zwölf étés жизнь", 3},
        {L"cafe\u0301 ole\u0301", 2},
        {L"smile 😀", 1},
        // apostrophes and hyphens inside a word keep it one word, at its edges they separate
        {L"don't can\u2019t rock'n'roll", 3},
        {L"'quoted' \u2018single\u2019", 2},
        {L"well-known e-mail state\u2011of\u2011the\u2011art", 3},
        {L"- dash - and -- double", 3},
        {L"word- -word", 2},
        {L"LC_ALL and __init__", 3},
        // numbers: a decimal or thousands separator between digits keeps them one
        {L"3.14 and 1,000,000.50", 3},
        {L"2024-01-05", 1},
        {L"In 2024. Then 5, 6.", 5},
        {L"v1.2 A4", 2},
        // CJK: each ideograph, hiragana or katakana character is a word
        {L"日本語", 3},
        {L"これはペンです。", 7},
        {L"Lintrado 是翻译工具", 6},
        {L"한국어 문장", 2},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(CountWords(c.szText), c.nWords) << wxString(c.szText).utf8_string();
}

TEST(InlineMarkup, TextOutsideCodesIsWhatAReaderSees)
{
    struct Case
    {
        const char* szName;
        const wchar_t* szXML;
        const wchar_t* szRuns; // the runs joined by "|"
    };
    const Case kCases[] = {
        {"plain text", L"Hello world.", L"Hello world."},
        {"references decoded", L"Fish &amp; chips &lt;3 &#233;t&#xE9; &quot;x&quot;", L"Fish & chips <3 été \"x\""},
        {"paired codes with native markup",
         L"Click <bpt id=\"1\" ctype=\"link\">&lt;a href=&quot;setup.html#install&quot;&gt;</bpt>here<ept "
         L"id=\"1\">&lt;/a&gt;</ept> to go on.",
         L"Click |here| to go on."},
        {"codes in CDATA",
         L"Run <bpt id=\"1\"><![CDATA[<code class=\"cmd\">]]></bpt>make<ept id=\"1\"><![CDATA[</code>]]></ept>.",
         L"Run |make|."},
        {"placeholders, empty and full",
         L"a<ph id=\"1\"/>b<ph id=\"2\">&lt;br/&gt;</ph>c<it id=\"3\" pos=\"open\">&lt;i&gt;</it>d", L"a|b|c|d"},
        {"line break and space kept in codes part words",
         L"cannot<ph><![CDATA[<newline>]]></ph>be 12<ph><![CDATA[&nbsp;]]></ph>MB", L"cannot|be 12|MB"},
        {"sub-flow inside a code is its own segment",
         L"See <ph id=\"1\">&lt;img alt=&quot;<sub><mrk mtype=\"seg\" mid=\"2\">A cat</mrk></sub>&quot;&gt;</ph>.",
         L"See |."},
        {"segment wrappers outside codes give their text", L"<mrk mtype=\"seg\" mid=\"1\">One</mrk> <sub>two</sub>",
         L"One two"},
        {"CDATA outside a code is text", L"x <![CDATA[a < b]]> y", L"x a < b y"},
        {"notes, comments and instructions", L"a<note>not this</note>b<!-- c -->d<?pi e?>f", L"abdf"},
        {"a code inside a code", L"a<bpt id=\"1\">x<ph>y</ph>z</bpt>b", L"a|b"},
        {"codes only", L"<ph>&lt;p&gt;</ph><ph/>", L""},
        {"unfinished tag ends the text", L"a<bpt id=\"1\"", L"a"},
    };
    for (const Case& c : kCases)
    {
        wxString sRuns;
        for (const wxString& sRun : TextOutsideCodes(c.szXML))
            sRuns += (sRuns.empty() ? "" : "|") + sRun;
        EXPECT_EQ(sRuns.utf8_string(), wxString(c.szRuns).utf8_string()) << c.szName;
    }
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
