// The editor's form of a segment: what the translator types is the text, codes stay whole.
#include "workspace/SegmentDisplay.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const wxString O(kCodeOpen);
const wxString C(kCodeClose);
const wxString G(kCodeGap);

const wxString BOLD = "<bpt id=\"1\" ctype=\"bold\"><![CDATA[<b>]]></bpt>";
const wxString BOLD_END = "<ept id=\"1\"><![CDATA[</b>]]></ept>";
const wxString BREAK = "<ph id=\"2\"><![CDATA[<br/>]]></ph>";

std::string U8(const wxString& s)
{
    return s.utf8_string();
}

TEST(SegmentDisplay, XMLAndEditorFormConvertBothWays)
{
    const struct
    {
        const char* szWhat;
        wxString sXML;
        wxString sDisplay;
    } aCases[] = {
        {"plain text", "Hallo, Welt.", "Hallo, Welt."},
        {"entities are the characters they stand for", "AT&amp;T a&lt;b &gt; \"q\"", "AT&T a<b > \"q\""},
        {"a code keeps its raw XML between marks", "a " + BOLD + "b" + BOLD_END + " c",
         "a " + O + BOLD + C + "b" + O + BOLD_END + C + " c"},
        {"two codes that touch have a gap", BOLD + BOLD_END, O + BOLD + C + G + O + BOLD_END + C},
        {"a segment that starts and ends with codes", BREAK + "x" + BREAK, O + BREAK + C + "x" + O + BREAK + C},
        {"a self-closing code", "a<x id=\"3\"/>b", "a" + O + "<x id=\"3\"/>" + C + "b"},
        {"a nested element belongs to its code", "<bpt id=\"1\">&lt;a title=\"<sub>Titel</sub>\"&gt;</bpt>x",
         O + "<bpt id=\"1\">&lt;a title=\"<sub>Titel</sub>\"&gt;</bpt>" + C + "x"},
        {"an attribute value holding >", "<ph ctype=\"a>b\">c</ph>", O + "<ph ctype=\"a>b\">c</ph>" + C},
        {"the empty segment", "", ""},
    };
    for (const auto& c : aCases)
    {
        EXPECT_EQ(U8(tSegmentXMLToDisplay(c.sXML)), U8(c.sDisplay)) << c.szWhat;
        EXPECT_EQ(U8(tSegmentDisplayToXML(c.sDisplay)), U8(c.sXML)) << c.szWhat;
    }
}

TEST(SegmentDisplay, StoredFormsThatReadBackAsTheSameSegment)
{
    const struct
    {
        const char* szWhat;
        wxString sXML;
        wxString sDisplay;
        wxString sWritten;
    } aCases[] = {
        {"a text CDATA section is text", "a<![CDATA[<&>]]>b", "a<&>b", "a&lt;&amp;&gt;b"},
        {"a quote written as an entity", "&quot;q&apos;", "\"q'", "\"q'"},
        {"a character reference", "&#233;t&#xE9;", wxString::FromUTF8("été"), wxString::FromUTF8("été")},
        // A "<" that starts no complete element is text, so nothing is lost.
        {"an unclosed element", "a<bpt id=\"1\">b", "a<bpt id=\"1\">b", "a&lt;bpt id=\"1\"&gt;b"},
        {"a stray end tag", "a</b>c", "a</b>c", "a&lt;/b&gt;c"},
        // The marks are the editor's own: met in a segment they show as the replacement character.
        {"the editor's marks in a text", "a" + O + "b" + G,
         wxString::FromUTF8("a\xEF\xBF\xBD"
                            "b\xEF\xBF\xBD"),
         wxString::FromUTF8("a\xEF\xBF\xBD"
                            "b\xEF\xBF\xBD")},
    };
    for (const auto& c : aCases)
    {
        EXPECT_EQ(U8(tSegmentXMLToDisplay(c.sXML)), U8(c.sDisplay)) << c.szWhat;
        EXPECT_EQ(U8(tSegmentDisplayToXML(c.sDisplay)), U8(c.sWritten)) << c.szWhat;
    }
    // Stray marks (a gap left where text was typed, a close with no open) write nothing.
    EXPECT_EQ(U8(tSegmentDisplayToXML("a" + G + "b" + C)), "ab");
    EXPECT_EQ(U8(tSegmentDisplayToXML("a" + O + BREAK)), U8("a" + BREAK));
}

TEST(SegmentDisplay, CodesAndPlainTextOfAnEditorText)
{
    const wxString sDisplay = "Das " + O + BOLD + C + "Paket" + O + BOLD_END + C + G + O + BREAK + C + " & mehr";
    EXPECT_EQ(U8(tSegmentDisplayCodes(sDisplay)), U8(O + BOLD + C + O + BOLD_END + C + O + BREAK + C));
    EXPECT_EQ(U8(tSegmentDisplayPlainText(sDisplay)), "Das Paket & mehr");
    // Text typed anywhere leaves the codes as they were; a lost code does not.
    EXPECT_EQ(tSegmentDisplayCodes("x" + sDisplay + "y"), tSegmentDisplayCodes(sDisplay));
    EXPECT_NE(tSegmentDisplayCodes("Das " + O + BOLD + C + "Paket"), tSegmentDisplayCodes(sDisplay));
}

TEST(SegmentDisplay, TextOffsetsSkipCodesAndGaps)
{
    const wxString sDisplay = wxString::FromUTF8("ü") + O + BOLD + C + G + O + BOLD_END + C + "ab";
    const std::string sBytes = U8(sDisplay);
    const int nAfterCodes = static_cast<int>(sBytes.size()) - 2;
    const struct
    {
        int nPos;
        int nOffset;
    } aCases[] = {{0, 0}, {2, 2}, {nAfterCodes, 2}, {nAfterCodes + 1, 3}, {nAfterCodes + 2, 4}, {1000, 4}};
    for (const auto& c : aCases)
        EXPECT_EQ(tSegmentTextOffset(sBytes, c.nPos), c.nOffset) << "position " << c.nPos;
    // A caret after text stays after that text, before the codes that follow it.
    EXPECT_EQ(tSegmentPositionOfTextOffset(sBytes, 0), 0);
    EXPECT_EQ(tSegmentPositionOfTextOffset(sBytes, 2), 2);
    EXPECT_EQ(tSegmentPositionOfTextOffset(sBytes, 3), nAfterCodes + 1);
    EXPECT_EQ(tSegmentPositionOfTextOffset(sBytes, 9), static_cast<int>(sBytes.size()));
    // A segment that starts with codes: the first typed letter lies after them.
    const std::string sLeading = U8(O + BOLD + C + "D" + O + BOLD_END + C);
    EXPECT_EQ(tSegmentPositionOfTextOffset(sLeading, 1), static_cast<int>(U8(O + BOLD + C + "D").size()));
}
} // namespace
