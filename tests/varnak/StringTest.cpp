#include "varnak/include/tString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::string Join(const std::vector<wxString>& aTokens)
{
    std::string s;
    for (const wxString& sToken : aTokens)
        s += "[" + sToken.utf8_string() + "]";
    return s;
}

} // namespace

TEST(StringTok, SplitsQuotesAndTrims)
{
    struct Case
    {
        const wchar_t* szText;
        const wchar_t* szDelimiters;
        const wchar_t* szQuote;
        const char* szExpected; // tokens, each in brackets
    };
    const Case cases[] = {
        // The convertor registry's extension lists.
        {L"*.html;*.htm;*.xhtml;*.shtml", L";", L"", "[*.html][*.htm][*.xhtml][*.shtml]"},
        {L"*.doc; *.docx ;*.rtf", L";", L"", "[*.doc][*.docx][*.rtf]"},
        // HTML tag words split at single blanks: the blank is a delimiter, so nothing is trimmed
        // and "<b >" keeps its empty word.
        {L"b ", L" ", L"", "[b][]"},
        {L"a  href=x", L" ", L"", "[a][][href=x]"},
        {L"a\t b", L" ", L"", "[a\t][b]"},
        // Word style codes split at "," with a double quote.
        {L"4,6", L",", L"\"", "[4][6]"},
        {L"4,,5,", L",", L"\"", "[4][][5][]"},
        // ATTDATA comments: trimmed parts, "&quot;" as a six-character quote.
        {L"CDATA, mylist, #NORMAL, ltr", L",", L"&quot;", "[CDATA][mylist][#NORMAL][ltr]"},
        {L"LDATA,&quot;my, list&quot;,#NORMAL,rtl", L",", L"&quot;", "[LDATA][my, list][#NORMAL][rtl]"},
        {L"&quot; padded &quot; , x", L",", L"&quot;", "[ padded ][x]"},
        {L"&quot;&quot;,x", L",", L"&quot;", "[][x]"},
        // The preferred connection "kind,proxy".
        {L"1,\"http://proxy:8080\"", L",", L"\"", "[1][http://proxy:8080]"},
        {L"0,", L",", L"\"", "[0][]"},
        // An unclosed quote runs to the end.
        {L"a,\"b,c", L",", L"\"", "[a][b,c]"},
        // Tabs and line breaks are blanks too, unless they delimit.
        {L"\tx\t;\r\ny ", L";", L"", "[x][y]"},
        {L"x \ty", L"\t", L"", "[x][y]"},
        // Several delimiter characters.
        {L"a;b,c", L";,", L"", "[a][b][c]"},
        // Native list values are separated by a whole entity reference, not by its characters.
        {L"noun&brindova__list__seperator;verb phrase", L"&brindova__list__seperator;", L"", "[noun][verb phrase]"},
        {L"a;b&c", L"&brindova__list__seperator;", L"", "[a;b&c]"},
        {L"", L",", L"\"", ""},
        {L"   ", L",", L"", "[]"},
    };
    for (const Case& c : cases)
    {
        std::vector<wxString> aTokens = {L"left over"};
        const int nCount = tStrTok(c.szText, c.szDelimiters, c.szQuote, aTokens);
        EXPECT_EQ(Join(aTokens), c.szExpected) << wxString(c.szText);
        EXPECT_EQ(nCount, static_cast<int>(aTokens.size())) << wxString(c.szText);
    }
}

TEST(StringUTF16, SurrogatePairsBothWays)
{
    const wxString sText = L"a\U0001F600b";
    ASSERT_EQ(sText.length(), 3u);
    const std::u16string sUnits = tToU16(sText);
    EXPECT_EQ(sUnits, (std::u16string{u'a', 0xD83D, 0xDE00, u'b'}));
    EXPECT_EQ(tFromU16(sUnits), sText);
    EXPECT_EQ(kvUTF16ToWString(kvWStringToUTF16(sText).c_str()), sText);
    EXPECT_EQ(kvUTF16ToWString(nullptr), wxString());

    // Lone halves survive the round trip instead of vanishing.
    const std::u16string sLone = {0xDE00, u'x', 0xD83D};
    EXPECT_EQ(tToU16(tFromU16(sLone)), sLone);

    EXPECT_TRUE(tIsSurrogatePair(0xD83D, 0xDE00));
    EXPECT_FALSE(tIsSurrogatePair(0xDE00, 0xD83D));
    EXPECT_EQ(tSurrogatePairToChar(0xD83D, 0xDE00), U'\U0001F600');
    EXPECT_EQ(tSurrogatePairToChar(u'a', 0xDE00), U'\uFFFD');
}

// Long texts are converted in pieces: pairs and lone halves at and around the seams of the pieces
// come through as they do anywhere else.
TEST(StringUTF16, LongTextsKeepEveryCharacter)
{
    for (size_t nAt : {0u, 254u, 255u, 256u, 511u, 600u})
    {
        std::u16string sUnits(700, u'a');
        std::wstring sExpected(700, L'a');
        sUnits[nAt] = 0xD83D;
        sUnits[nAt + 1] = 0xDE00;
        sExpected.replace(nAt, 2, 1, L'\U0001F600');
        sUnits[nAt + 40] = 0xDE00; // a lone half further on
        sExpected[nAt + 39] = static_cast<wchar_t>(0xDE00);
        const wxString sText = tFromU16(sUnits);
        EXPECT_EQ(sText.ToStdWstring(), sExpected) << nAt;
        EXPECT_EQ(tToU16(sText), sUnits) << nAt;
    }
}

TEST(StringUTF8, EncodesAndDecodesLeniently)
{
    EXPECT_EQ(tToUTF8(L"Grüße \U0001F334"), "Gr\xC3\xBC\xC3\x9F"
                                            "e \xF0\x9F\x8C\xB4");
    // Halves stored as separate units are joined; a lone half becomes U+FFFD, not an empty text.
    EXPECT_EQ(tToUTF8(wxString(L"\xD83D\xDE00", 2)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(tToUTF8(wxString(L"a\xD800z", 3)), "a\xEF\xBF\xBDz");

    struct Case
    {
        const char* szBytes;
        const wchar_t* szExpected;
    };
    const Case cases[] = {
        {"plain", L"plain"},
        {"caf\xC3\xA9", L"café"},
        {"a\xFF"
         "b",
         L"a\uFFFDb"},
        {"\xC0\xAF", L"\uFFFD\uFFFD"},           // overlong "/"
        {"\xE2\x82", L"\uFFFD\uFFFD"},           // cut off at the end
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"}, // an encoded surrogate half
        {"\xF0\x9F\x8C\xB4", L"\U0001F334"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kvFromUTF8(c.szBytes), wxString(c.szExpected)) << c.szBytes;
    EXPECT_EQ(kvFromUTF8(static_cast<const char*>(nullptr)), wxString());
    EXPECT_EQ(kvFromUTF8(std::string("a\0b", 3)).length(), 3u);

    EXPECT_EQ(kvMBToWC("Stra\xC3\x9F"
                       "e",
                       KV_CONV_UTF8),
              L"Straße");
    EXPECT_EQ(kvMBToWC("x", 12345), wxString());
    EXPECT_EQ(kvMBToWC(nullptr), wxString());
}

TEST(StringUTF32, ValidCodePointsOnly)
{
    EXPECT_EQ(tUTF32ToStr(std::u32string{0x1F334, U' ', 0x41}), L"\U0001F334 A");
    EXPECT_EQ(tToU16(tUTF32ToStr(std::u32string{0x1F4A9})).size(), 2u);
    // Values from untrusted references: a surrogate half or beyond U+10FFFF is not a character.
    EXPECT_EQ(tUTF32CharToString(0xD800), L"\uFFFD");
    EXPECT_EQ(tUTF32CharToString(0x110000), L"\uFFFD");
    const uint32_t aPoints[] = {0x48, 0xFFFFFFFF, 0x69};
    EXPECT_EQ(tUTF32ToStr(aPoints, 3), L"H\uFFFDi");
}

TEST(StringCase, MapsLettersOutsideAscii)
{
    EXPECT_EQ(tStrToUpper(L"straße àéç ω"), L"STRAßE ÀÉÇ Ω");
    EXPECT_EQ(tStrToLower(L"ÀÉÎ ΣΑ ABC"), L"àéî σα abc");
    wxString s = L"ärger";
    EXPECT_EQ(tMakeUpper(s), L"ÄRGER");
    EXPECT_EQ(s, L"ÄRGER");
    EXPECT_EQ(tMakeLower(s), L"ärger");
    EXPECT_EQ(tToUpper(L'é'), L'É');
    EXPECT_EQ(tToLower(L'Ж'), L'ж');
    EXPECT_EQ(tToUpper(L'1'), L'1');
}

TEST(StringCompare, OrdersByUtf16CodeUnits)
{
    struct Case
    {
        const wchar_t* szA;
        const wchar_t* szB;
        int nSign;
    };
    const Case cases[] = {
        {L"en", L"fr", -1},
        {L"en", L"en", 0},
        {L"en-GB", L"en", 1},
        {L"", nullptr, 0},
        {nullptr, L"a", -1},
        {L"Z", L"a", -1},
        // U+FFFD is one unit 0xFFFD; U+1F600 begins with 0xD83D, so it sorts first.
        {L"\uFFFD", L"\U0001F600", 1},
        {L"\U0001F600", L"\uE000", -1},
    };
    auto sign = [](int n) { return (n > 0) - (n < 0); };
    for (const Case& c : cases)
    {
        EXPECT_EQ(sign(teStrcmp(c.szA, c.szB)), c.nSign) << wxString(c.szA) << " / " << wxString(c.szB);
        EXPECT_EQ(sign(teStrcmp(wxString(c.szA ? c.szA : L""), wxString(c.szB ? c.szB : L""))), c.nSign);
    }
}

TEST(StringCopy, NeverWritesBeyondTheBuffer)
{
    wchar_t buf[6];
    wmemset(buf, L'#', 6);
    EXPECT_TRUE(teStrcpy(buf, 6, L"abcde"));
    EXPECT_STREQ(buf, L"abcde");

    wmemset(buf, L'#', 6);
    EXPECT_FALSE(teStrcpy(buf, 4, L"/home/user/file.xlf"));
    EXPECT_STREQ(buf, L"/ho");
    EXPECT_EQ(buf[4], L'#');

    EXPECT_TRUE(teStrcpy(buf, 6, static_cast<const wchar_t*>(nullptr)));
    EXPECT_STREQ(buf, L"");
    EXPECT_TRUE(teStrcpy(buf, 6, wxString(L"xyz")));
    EXPECT_STREQ(buf, L"xyz");

    EXPECT_FALSE(teStrcpy(buf, 0, L"a"));
    EXPECT_STREQ(buf, L"xyz");
    EXPECT_FALSE(teStrcpy(nullptr, 6, L"a"));
}

TEST(StringEdit, TrimAndReplace)
{
    struct TrimCase
    {
        const wchar_t* szText;
        const wchar_t* szBoth;
        const wchar_t* szLeft;
        const wchar_t* szRight;
    };
    const TrimCase trims[] = {
        {L"  a b \t\n", L"a b", L"a b \t\n", L"  a b"},
        {L"", L"", L"", L""},
        {L" \t ", L"", L"", L""},
        {L"\u3000x\u3000", L"x", L"x\u3000", L"\u3000x"}, // ideographic space
    };
    for (const TrimCase& c : trims)
    {
        wxString sBoth = c.szText;
        wxString sLeft = c.szText;
        wxString sRight = c.szText;
        EXPECT_EQ(tStrTrim(sBoth), c.szBoth);
        EXPECT_EQ(tStrTrimL(sLeft), c.szLeft);
        EXPECT_EQ(tStrTrimR(sRight), c.szRight);
    }

    struct ReplaceCase
    {
        const wchar_t* szText;
        const wchar_t* szFind;
        const wchar_t* szReplace;
        const wchar_t* szExpected;
        size_t nCount;
    };
    const ReplaceCase replaces[] = {
        {L"aaa", L"aa", L"b", L"ba", 1},
        {L"a&b&&c", L"&&", L"&", L"a&b&c", 1},
        {L"a", L"a", L"aa", L"aa", 1}, // the replacement is not searched again
        {L"abc", L"", L"x", L"abc", 0},
        {L"abc", L"z", L"x", L"abc", 0},
        {L"x  y  z", L"  ", L"<space> ", L"x<space> y<space> z", 2},
    };
    for (const ReplaceCase& c : replaces)
    {
        wxString s = c.szText;
        EXPECT_EQ(tStrReplace(s, c.szFind, c.szReplace), c.nCount) << wxString(c.szText);
        EXPECT_EQ(s, c.szExpected);
        std::wstring sw = c.szText;
        EXPECT_EQ(tStrReplaceW(sw, c.szFind, c.szReplace), c.nCount);
        EXPECT_EQ(sw, c.szExpected);
    }

    EXPECT_TRUE(tStrContainsW(L"abc", L""));
    EXPECT_TRUE(tStrStartsWithW(L"he-IL", L"he"));
    EXPECT_FALSE(tStrStartsWithW(L"e", L"el"));
    EXPECT_TRUE(tStrEndsWith(L"x.png", L".png"));
    EXPECT_FALSE(tStrEndsWith(L"x.PNG", L".png"));
}

TEST(StringHtml, EscapesMarkupCharacters)
{
    EXPECT_EQ(tEscapeHTMLChars(L"<a href=\"x\">'Tom' & Jerry</a>"),
              L"&lt;a href=&quot;x&quot;&gt;&#39;Tom&#39; &amp; Jerry&lt;/a&gt;");
    EXPECT_EQ(tEscapeHTMLChars(L"&amp;"), L"&amp;amp;");
    EXPECT_EQ(tEscapeHTMLChars8(L"é<"), "\xC3\xA9&lt;");
}

TEST(StringHex, RoundTripAndRejects)
{
    std::vector<uint8_t> aAll(256);
    for (size_t i = 0; i < aAll.size(); ++i)
        aAll[i] = static_cast<uint8_t>(i);
    const wxString sHex = tBinToHex(aAll.data(), aAll.size());
    EXPECT_EQ(sHex.Left(8), L"00010203");
    EXPECT_EQ(sHex.Right(4), L"FEFF");
    std::vector<uint8_t> aBack;
    ASSERT_TRUE(tHexToBin(sHex, aBack));
    EXPECT_EQ(aBack, aAll);
    ASSERT_TRUE(tHexToBin(L"aBcD", aBack));
    EXPECT_EQ(aBack, (std::vector<uint8_t>{0xAB, 0xCD}));

    for (const wchar_t* szBad : {L"abc", L"0g", L"12 4", L"\uFF10\uFF11"})
    {
        aBack = {1, 2};
        EXPECT_FALSE(tHexToBin(szBad, aBack)) << wxString(szBad);
        EXPECT_TRUE(aBack.empty());
    }
    EXPECT_EQ(tBinToHex(nullptr, 3), wxString());
}

TEST(StringColour, DarkishByPerceivedBrightness)
{
    struct Case
    {
        const wchar_t* szColour;
        bool bDark;
    };
    const Case cases[] = {
        {L"000000", true}, {L"FFFFFF", false}, {L"#202020", true}, {L"808080", false}, // brightness 128
        {L"7F7F7F", true}, {L"0000FF", true},  {L"FFFF00", false}, {L"00ff00", false},
        {L"12345", false}, {L"GG0000", false}, {L"", false},       {L"#", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tIsColourDarkish(c.szColour), c.bDark) << wxString(c.szColour);
}
