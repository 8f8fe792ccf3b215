#include "workspace/SegmentDisplay.h"
#include "workspace/VRSegmentEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
// The editor's marks around a code and between two codes, as UTF-8.
const std::string O = "\xF4\x8F\xBF\xBB";
const std::string C = "\xF4\x8F\xBF\xBC";
const std::string G = "\xF3\xA0\x80\x81";

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
         {{O, 'c'},
          {"<bpt", '2'},
          {" id=\"1\" ctype=\"bold\"><![CDATA[<b>]]><", 'c'},
          {"/", '2'},
          {"bpt", 'c'},
          {">", '2'},
          {C, 'c'},
          {" word", '1'}}},
        {"i=\"3\" picks style 4",
         {{O, 'c'},
          {"<bpt", '4'},
          {" id=\"2\" i=\"3\"><![CDATA[<i>]]><", 'c'},
          {"/", '4'},
          {"bpt", 'c'},
          {">", '4'},
          {C, 'c'}}},
        {"i=\"10\" picks style 11 by its last digit",
         {{"x", '1'},
          {O, 'c'},
          {"<ept", 'b'},
          {" i=\"10\"><![CDATA[</i>]]><", 'c'},
          {"/", 'b'},
          {"ept", 'c'},
          {">", 'b'},
          {C, 'c'}}},
        {"a value without a digit picks style 2",
         {{O, 'c'}, {"<bpt", '2'}, {" i=\"x\">c<", 'c'}, {"/", '2'}, {"bpt", 'c'}, {">", '2'}, {C, 'c'}}},
        {"the id attribute is no i attribute",
         {{O, 'c'}, {"<bpt", '2'}, {" id=\"7\">c<", 'c'}, {"/", '2'}, {"bpt", 'c'}, {">", '2'}, {C, 'c'}}},
        {"either closing name ends either opener",
         {{O, 'c'}, {"<bpt", '2'}, {">c<", 'c'}, {"/", '2'}, {"ept", 'c'}, {">", '2'}, {C, 'c'}, {"z", '1'}}},
        {"sub shows only its marker",
         {{"a ", '1'},
          {O, 'g'},
          {"<sub", 'h'},
          {" datatype=\"html\" ctype=\"link\">inner text<", 'g'},
          {"/", 'h'},
          {"sub", 'i'},
          {">", 'h'},
          {C, 'g'},
          {" b", '1'}}},
        {"it followed by a word beginning with ph",
         {{O, 'g'},
          {"<it", 'f'},
          {" id=\"1\" pos=\"open\"><![CDATA[<b>]]><", 'g'},
          {"/", 'f'},
          {"it", 'g'},
          {">", 'f'},
          {C, 'g'},
          {"phrase", '1'}}},
        {"ph with its code",
         {{O, 'e'}, {"<ph", 'd'}, {"><![CDATA[<img>]]><", 'e'}, {"/", 'd'}, {"ph", 'e'}, {">", 'd'}, {C, 'e'}}},
        {"typed markup is plain text", {{"a<b>c</b> < d <ph/> <bpt i=\"1\">", '1'}}},
        {"an element of another name shows like a placeholder",
         {{"a", '1'},
          {O, 'e'},
          {"<mrk", 'd'},
          {" mtype=\"x\">c<", 'e'},
          {"/", 'd'},
          {"mrk", 'e'},
          {">", 'd'},
          {C, 'e'}}},
        {"a code never closed hides everything after it",
         {{"a", '1'}, {O, 'e'}, {"<ph", 'd'}, {">rest of the text", 'e'}}},
        {"a self-closing ph leaves the text after it editable",
         {{O, 'e'}, {"<ph", 'd'}, {"/>", 'd'}, {C, 'e'}, {" after", '1'}}},
        {"a self-closing bpt with attributes",
         {{O, 'c'},
          {"<bpt", '2'},
          {" id=\"1\"", 'c'},
          {"/>", '2'},
          {C, 'c'},
          {"text", '1'},
          {O, 'c'},
          {"<ept", '2'},
          {" id=\"1\"", 'c'},
          {"/>", '2'},
          {C, 'c'}}},
        {"a self-closing mark inside a code closes nothing",
         {{O, 'e'},
          {"<ph", 'd'},
          {"><![CDATA[<br/>]]><", 'e'},
          {"/", 'd'},
          {"ph", 'e'},
          {">", 'd'},
          {C, 'e'},
          {"x", '1'}}},
        {"nor does one inside an attribute value",
         {{O, 'e'},
          {"<ph", 'd'},
          {" ctype=\"a/>b\">c<", 'e'},
          {"/", 'd'},
          {"ph", 'e'},
          {">", 'd'},
          {C, 'e'},
          {"x", '1'}}},
        {"after a closing tag inside its CDATA the rest of the code stays hidden",
         {{O, 'c'},
          {"<bpt", '2'},
          {"><![CDATA[<", 'c'},
          {"/", '2'},
          {"bpt", 'c'},
          {">", '2'},
          {"]]></bpt>", 'c'},
          {C, 'c'},
          {"x", '1'}}},
        {"adjacent codes have a gap between them",
         {{O, 'e'},
          {"<ph", 'd'},
          {"/>", 'd'},
          {C, 'e'},
          {G, 'j'},
          {O, 'g'},
          {"<it", 'f'},
          {">c<", 'g'},
          {"/", 'f'},
          {"it", 'g'},
          {">", 'f'},
          {C, 'g'}}},
        {"multi-byte text around tags counts bytes",
         {{"Grüße ", '1'},
          {O, 'e'},
          {"<ph", 'd'},
          {"><![CDATA[€]]><", 'e'},
          {"/", 'd'},
          {"ph", 'e'},
          {">", 'd'},
          {C, 'e'},
          {" 日本語 🌴", '1'}}},
        {"a code spanning lines",
         {{O, 'c'},
          {"<bpt", '2'},
          {" ctype=\"x\"><![CDATA[<a\nhref=\"x\">]]><", 'c'},
          {"/", '2'},
          {"bpt", 'c'},
          {">", '2'},
          {C, 'c'},
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
    const std::string sText = O + "<bpt i=\"3\">c</bpt>" + C;
    const struct
    {
        int nEnd;
        const char* szStyles;
    } aCases[] = {
        // The closing quote of i lies at 13: before it is known the opener is protected all the same.
        {13, "cccc2222ccccc"},
        {14, "cccc4444cccccc"},
        // The closing tag is not complete before the end: everything after the opener is hidden.
        {21, "cccc4444ccccccccccccc"},
        {22, "cccc4444ccccccccc4ccc4"},
        {26, "cccc4444ccccccccc4ccc4cccc"},
        // "<bp" names no element yet: a code all the same, shown like a placeholder.
        {7, "eeeeddd"},
    };
    for (const auto& c : aCases)
        EXPECT_EQ(Readable(tLexSegmentStyles(sText, 0, c.nEnd)), c.szStyles) << "end " << c.nEnd;
}

TEST(SegmentLexer, StylesFromAGivenStartAndClampsItsArguments)
{
    const std::string sText = "ab" + O + "<ph/>" + C + "c";
    EXPECT_EQ(Readable(tLexSegmentStyles(sText, 2, 16)), "eeeedddddeeee1");
    EXPECT_EQ(Readable(tLexSegmentStyles(sText, -5, 100)), "11eeeedddddeeee1");
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
