#include "workspace/VRSegmentEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
// A style as one readable character: 0-9, then a (10) to i (18).
char StyleChar(int nStyle)
{
    return static_cast<char>(nStyle < 10 ? '0' + nStyle : 'a' + nStyle - 10);
}

std::string Readable(const std::string& sStyles)
{
    std::string sOut;
    for (char c : sStyles)
        sOut += StyleChar(static_cast<unsigned char>(c));
    return sOut;
}

// A segment written as pieces, each with the style every one of its bytes must get.
struct SPieces
{
    const char* szName;
    std::vector<std::pair<std::string, char>> aPieces;

    std::string Text() const
    {
        std::string s;
        for (const auto& piece : aPieces)
            s += piece.first;
        return s;
    }
    std::string Styles() const
    {
        std::string s;
        for (const auto& piece : aPieces)
            s += std::string(piece.first.size(), piece.second);
        return s;
    }
};

const std::vector<SPieces>& LexerCases()
{
    static const std::vector<SPieces> aCases = {
        {"bpt as the convertors write it, without i",
         {{"<bpt", '2'},
          {" id=\"1\" ctype=\"bold\"><![CDATA[<b>]]><", 'c'},
          {"/", '2'},
          {"bpt", 'c'},
          {">", '2'},
          {" word", '1'}}},
        {"i=\"3\" picks style 4",
         {{"<bpt", '4'}, {" id=\"2\" i=\"3\"><![CDATA[<i>]]><", 'c'}, {"/", '4'}, {"bpt", 'c'}, {">", '4'}}},
        {"i=\"10\" picks style 11 by its last digit",
         {{"x", '1'}, {"<ept", 'b'}, {" i=\"10\"><![CDATA[</i>]]><", 'c'}, {"/", 'b'}, {"ept", 'c'}, {">", 'b'}}},
        {"a value without a digit picks style 2",
         {{"<bpt", '2'}, {" i=\"x\">c<", 'c'}, {"/", '2'}, {"bpt", 'c'}, {">", '2'}}},
        {"the id attribute is no i attribute",
         {{"<bpt", '2'}, {" id=\"7\">c<", 'c'}, {"/", '2'}, {"bpt", 'c'}, {">", '2'}}},
        {"either closing name ends either opener",
         {{"<bpt", '2'}, {">c<", 'c'}, {"/", '2'}, {"ept", 'c'}, {">", '2'}, {"z", '1'}}},
        {"sub shows only its marker",
         {{"a ", '1'},
          {"<sub", 'h'},
          {" datatype=\"html\" ctype=\"link\">inner text<", 'g'},
          {"/", 'h'},
          {"sub", 'i'},
          {">", 'h'},
          {" b", '1'}}},
        {"it followed by a word beginning with ph",
         {{"<it", 'f'},
          {" id=\"1\" pos=\"open\"><![CDATA[<b>]]><", 'g'},
          {"/", 'f'},
          {"it", 'g'},
          {">", 'f'},
          {"phrase", '1'}}},
        {"ph with its code", {{"<ph", 'd'}, {"><![CDATA[<img>]]><", 'e'}, {"/", 'd'}, {"ph", 'e'}, {">", 'd'}}},
        {"an unknown element is plain text", {{"a<b>c</b> < d", '1'}}},
        {"an opener never closed hides everything after it", {{"a", '1'}, {"<ph", 'd'}, {">rest of the text", 'e'}}},
        {"a typed opener hides what follows it", {{"a", '1'}, {"<ph", 'd'}, {"bc", 'e'}}},
        {"a self-closing ph leaves the text after it editable", {{"<ph", 'd'}, {"/>", 'd'}, {" after", '1'}}},
        {"a self-closing bpt with attributes",
         {{"<bpt", '2'},
          {" id=\"1\"", 'c'},
          {"/>", '2'},
          {"text", '1'},
          {"<ept", '2'},
          {" id=\"1\"", 'c'},
          {"/>", '2'}}},
        {"a self-closing mark inside a code closes nothing",
         {{"<ph", 'd'}, {"><![CDATA[<br/>]]><", 'e'}, {"/", 'd'}, {"ph", 'e'}, {">", 'd'}, {"x", '1'}}},
        {"nor does one inside an attribute value",
         {{"<ph", 'd'}, {" ctype=\"a/>b\">c<", 'e'}, {"/", 'd'}, {"ph", 'e'}, {">", 'd'}, {"x", '1'}}},
        {"adjacent elements",
         {{"<ph", 'd'}, {"/>", 'd'}, {"<it", 'f'}, {">c<", 'g'}, {"/", 'f'}, {"it", 'g'}, {">", 'f'}}},
        {"multi-byte text around tags counts bytes",
         {{"Grüße ", '1'},
          {"<ph", 'd'},
          {"><![CDATA[€]]><", 'e'},
          {"/", 'd'},
          {"ph", 'e'},
          {">", 'd'},
          {" 日本語 🌴", '1'}}},
        {"a code spanning lines",
         {{"<bpt", '2'},
          {" ctype=\"x\"><![CDATA[<a\nhref=\"x\">]]><", 'c'},
          {"/", '2'},
          {"bpt", 'c'},
          {">", '2'},
          {"\nnext", '1'}}},
    };
    return aCases;
}

TEST(SegmentLexer, StylesEveryByteOfATaggedSegment)
{
    for (const SPieces& c : LexerCases())
    {
        const std::string sText = c.Text();
        EXPECT_EQ(Readable(tLexSegmentStyles(sText, 0, static_cast<int>(sText.size()))), c.Styles()) << c.szName;
    }
}

TEST(SegmentLexer, ReadsNothingAtOrPastTheEndItWasGiven)
{
    const std::string sText = "<bpt i=\"3\">c</bpt>";
    const struct
    {
        int nEnd;
        const char* szStyles;
    } aCases[] = {
        // The closing quote of i lies at 9: before it is known the opener is protected all the same.
        {9, "2222ccccc"},
        {10, "4444cccccc"},
        // The closing tag is not complete before the end: everything after the opener is hidden.
        {17, "4444ccccccccccccc"},
        {18, "4444ccccccccc4ccc4"},
        {3, "111"}, // "<bp" names no element yet
    };
    for (const auto& c : aCases)
        EXPECT_EQ(Readable(tLexSegmentStyles(sText, 0, c.nEnd)), c.szStyles) << "end " << c.nEnd;
}

TEST(SegmentLexer, StylesFromAGivenStartAndClampsItsArguments)
{
    const std::string sText = "ab<ph/>c";
    EXPECT_EQ(Readable(tLexSegmentStyles(sText, 2, 8)), "ddddd1");
    EXPECT_EQ(Readable(tLexSegmentStyles(sText, -5, 100)), "11ddddd1");
    EXPECT_EQ(tLexSegmentStyles(sText, 6, 3), "");
    EXPECT_EQ(tLexSegmentStyles(std::string(), 0, 10), "");
}

TEST(SegmentTip, FindsTheCtypeOfTheElementsUnderThePointer)
{
    const struct
    {
        const char* szRun;
        const char* szTip;
    } aCases[] = {
        {"<bpt id=\"1\" ctype=\"bold\"><![CDATA[<b>]]></bpt>", "bold"},
        {"<bpt id=\"1\"><![CDATA[<b>]]></bpt>", ""},
        {"<bpt id=\"1\" ctype=\"x-link\"><![CDATA[<a\nhref=\"x\">]]></bpt>", "x-link"},
        {"<ept\nctype=\"italic\"><![CDATA[\n</i>\n]]></ept>", "italic"},
        {"<bpt id=\"1\" myctype=\"no\">c</bpt>", ""},
        {"<bpt ctype=\"unfinished", ""},
        {"<bpt ctype=\"bold\">a</bpt><bpt ctype=\"italic\">b</bpt>", "italic"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(tExtractCtype(c.szRun), c.szTip) << c.szRun;
}
} // namespace
