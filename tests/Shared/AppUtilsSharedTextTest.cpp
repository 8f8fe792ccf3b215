#include "Shared/AppUtils_sharedText.h"

#include "tests/Shared/AppUtilsSharedFixtures.h"
#include "tests/harness/TempHome.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

wxString W(const char* szUTF8)
{
    return wxString::FromUTF8(szUTF8);
}

std::string U8(const wxString& s)
{
    return s.utf8_string();
}

// ----- Edit distance --------------------------------------------------------------------------------

struct DistanceCase
{
    const char* szFirst;
    const char* szSecond;
    uint32_t nDel, nIns, nSub;
    uint32_t nExpected;
};

TEST(AppUtilsSharedText, WeightedDistanceTable)
{
    const std::vector<DistanceCase> aCases = {
        {"flaw", "lawn", 1, 1, 1, 2},
        {"", "abc", 1, 2, 1, 6},
        {"abc", "", 3, 1, 1, 9},
        {"abc", "abd", 1, 1, 5, 2}, // a deletion and an insertion beat the substitution
        {"kitten", "sitting", 1, 1, 1, 3},
        {"ab", "abc", 1, 1, 1, 1},
        {"", "", 4, 4, 4, 0},
        {"Abc", "abc", 1, 1, 1, 1}, // case counts
        {"\xF0\x9F\x98\x80"
         "abc",
         "abc", 1, 1, 1, 2},                                  // a character above U+FFFF is two units
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", 1, 1, 1, 1}, // the pair shares its high half
        {"abc", "", 1, 5, 1, 3},
        {"", "ab", 7, 2, 7, 4},
        {"kitten", "sitting", 3, 3, 3, 9},
        {"kitten", "sitting", 0, 0, 0, 0},
        {"kitten", "sitting", 2, 3, 1, 5},
        {"a", "b", 0x80000000u, 0x80000000u, 0x80000000u, 0}, // costs add up in 32 bits unchecked, so the sums wrap
    };
    for (const DistanceCase& c : aCases)
    {
        wxString sFirst = W(c.szFirst), sSecond = W(c.szSecond);
        const std::u16string sA = tToU16(sFirst), sB = tToU16(sSecond);
        SCOPED_TRACE(std::string(c.szFirst) + " / " + c.szSecond);
        EXPECT_EQ(tLevenshteinDistance(sFirst, sSecond, c.nDel, c.nIns, c.nSub), c.nExpected);
        EXPECT_EQ(tLevenshteinDistancePlain(sA, sB, c.nDel, c.nIns, c.nSub), c.nExpected);
        EXPECT_EQ(sFirst, W(c.szFirst)); // taken by reference, left as it was
        EXPECT_EQ(sSecond, W(c.szSecond));
    }
    wxString sA = "flaw", sB = "lawn";
    EXPECT_EQ(tLevenshteinDistance(sA, sB), 2u); // the costs default to 1
}

struct SwapCase
{
    const char* szFirst;
    const char* szSecond;
    uint32_t nDel, nIns, nSub, nTrans;
    uint32_t nExpected;
};

TEST(AppUtilsSharedText, DistanceWithTranspositionsTable)
{
    const std::vector<SwapCase> aCases = {
        {"abcd", "abdc", 1, 1, 1, 1, 1},
        {"abcd", "abdc", 1, 1, 1, 5, 2},
        {"ab", "ba", 1, 1, 1, 1, 2}, // no swap before the third unit
        {"", "abc", 7, 7, 7, 7, 3},  // empty sides ignore the costs
        {"xyz", "", 7, 7, 7, 7, 3},
        {"abc", "bac", 1, 1, 1, 1, 2}, // a swap involving the first unit is never one
        {"xabc", "xbac", 1, 1, 1, 1, 1},
        {"abc", "acb", 1, 1, 1, 1, 1},
        {"xab", "xcd", 5, 5, 5, 1, 3}, // the crossing penalties are fixed at 1
        {"a", "b", 5, 5, 5, 5, 5},
        {"ab", "b", 9, 9, 9, 9, 1}, // the border counts 1 per unit whatever the costs
        {"xxabab", "xxbaba", 1, 1, 1, 1, 2},
        {"xxabcd", "xxbadc", 1, 1, 1, 1, 2},
        {"xxab", "xxba", 1, 1, 1, 0, 0},
        {"xxab", "xxbc", 1, 1, 1, 0, 1},
        {"x\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80x", 1, 1, 1, 1, 2}, // units, not characters
        {"xx\xF0\x9F\x98\x80", "x\xF0\x9F\x98\x80x", 1, 1, 1, 1, 2},
    };
    for (const SwapCase& c : aCases)
    {
        wxString sFirst = W(c.szFirst), sSecond = W(c.szSecond);
        const std::u16string sA = tToU16(sFirst), sB = tToU16(sSecond);
        SCOPED_TRACE(std::string(c.szFirst) + " / " + c.szSecond + " trans " + std::to_string(c.nTrans));
        EXPECT_EQ(tLevenshteinDistance(sFirst, sSecond, c.nDel, c.nIns, c.nSub, c.nTrans), c.nExpected);
        EXPECT_EQ(tLevenshteinDistancePlain(sA, sB, c.nDel, c.nIns, c.nSub, c.nTrans), c.nExpected);
    }
}

// Random UTF-16 texts from a small pool, so that matches are frequent; the pool's characters above
// U+FFFF share high halves, so pairs match in part.
std::u16string RandomText(std::mt19937& rng, size_t nLen)
{
    static const std::u32string sPool = U"abcab\u00E9\U0001F600\U0001F601\U00010437";
    std::u32string s;
    std::uniform_int_distribution<size_t> pick(0, sPool.size() - 1);
    while (s.size() < nLen)
        s += sPool[pick(rng)];
    std::u16string s16 = tToU16(tUTF32ToStr(s));
    s16.resize(std::min(s16.size(), nLen));
    return s16;
}

TEST(AppUtilsSharedText, FastDistanceEqualsTheTable)
{
    const unsigned nSeed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(nSeed));
    std::mt19937 rng(nSeed);
    // Lengths around the block edges of the bit vectors, and random ones up to four blocks.
    const std::vector<size_t> aEdges = {0, 1, 2, 3, 63, 64, 65, 127, 128, 129, 200};
    std::uniform_int_distribution<size_t> anyLen(0, 260);
    std::uniform_int_distribution<int> anyEdge(0, static_cast<int>(aEdges.size()) - 1);
    for (int nRound = 0; nRound < 1500; ++nRound)
    {
        const size_t n = nRound % 3 == 0 ? aEdges[anyEdge(rng)] : anyLen(rng);
        const size_t m = nRound % 5 == 0 ? aEdges[anyEdge(rng)] : anyLen(rng);
        std::u16string sA = RandomText(rng, n);
        std::u16string sB = RandomText(rng, m);
        if (nRound % 4 == 1 && !sA.empty())
        {
            // A near copy: a few edits and swaps of the first text.
            sB = sA;
            for (int k = 0; k < 4 && sB.size() > 2; ++k)
            {
                const size_t p = rng() % (sB.size() - 1);
                if (k % 2)
                    std::swap(sB[p], sB[p + 1]);
                else
                    sB.erase(p, 1);
            }
        }
        SCOPED_TRACE("round " + std::to_string(nRound));
        for (uint32_t nCost : {1u, 3u})
            ASSERT_EQ(tLevenshteinDistanceU16(sA, sB, nCost, nCost, nCost),
                      tLevenshteinDistancePlain(sA, sB, nCost, nCost, nCost));
        for (uint32_t nTrans : {1u, 2u})
            ASSERT_EQ(tLevenshteinDistanceU16(sA, sB, 1, 1, 1, nTrans),
                      tLevenshteinDistancePlain(sA, sB, 1, 1, 1, nTrans));
    }
}

// ----- Soundex --------------------------------------------------------------------------------------

TEST(AppUtilsSharedText, SoundexTable)
{
    const std::vector<std::pair<const char*, const char*>> aCases = {
        {"Robert", "R163"},
        {"Rupert", "R163"},
        {"Ashcraft", "A261"},
        {"Tymczak", "T520"},
        {"Pfister", "P123"},
        {"Lee", "L000"},
        {"1B", "1000"},
        {",abc", ""},
        {"", ""},
        {"BF", "B100"},
        {"Honeyman", "H500"},
        {"Jackson", "J250"},
        {"a,bcd", "A000"},
        {"M\xC3\xBCller", "M460"},
        {"robert", "R163"},
        {"Al-Ghazali", "A424"},
        {"\xC3\xA9mile", "\xC3\x89"
                         "540"},
    };
    for (const auto& [szText, szCode] : aCases)
        EXPECT_EQ(U8(tSoundex(W(szText))), szCode) << szText;
}

// ----- Numeric character references -----------------------------------------------------------------

struct EntityCase
{
    const char* szText;
    const char* szDecimal; // after tStrExpandNumericEntities
    const char* szHex;     // after tStrExpandHexEntities
};

TEST(AppUtilsSharedText, EntityExpansionTable)
{
    const std::vector<EntityCase> aCases = {
        {"A &#65; B", "A A B", "A &#65; B"},
        {"&#x1F600;", "&#x1F600;", "\xF0\x9F\x98\x80"},
        {"&#128512;", "\xF0\x9F\x98\x80", "&#128512;"}, // decimal above U+FFFF decodes whole
        {"&#65;&#x42;&#67;", "A&#x42;C", "&#65;B&#67;"},
        {"&#x0041;&#0065;", "&#x0041;A", "A&#0065;"},
        {"&#xe9;&#xE9;", "&#xe9;&#xE9;", "\xC3\xA9\xC3\xA9"},
        {"no references & no;", "no references & no;", "no references & no;"},
        {"&#0;&#x0;", "&#0;&#x0;", "&#0;&#x0;"},                                              // NUL stays written
        {"&#55357;&#xD83D;&#xDFFF;", "&#55357;&#xD83D;&#xDFFF;", "&#55357;&#xD83D;&#xDFFF;"}, // halves
        {"&#1114112;&#x110000;", "&#1114112;&#x110000;", "&#1114112;&#x110000;"},             // > U+10FFFF
        {"&#x100000041;", "&#x100000041;", "&#x100000041;"},                                  // would wrap to "A"
        {"&#4294967361;", "&#4294967361;", "&#4294967361;"},
        {"&#1114111;", "\xF4\x8F\xBF\xBF", "&#1114111;"},
        {"&#X41;&#x;&#;&#6 5;", "&#X41;&#x;&#;&#6 5;", "&#X41;&#x;&#;&#6 5;"},
        {"&#38;#x41;", "&#x41;", "&#38;#x41;"},
        {"", "", ""},
    };
    for (const EntityCase& c : aCases)
    {
        SCOPED_TRACE(c.szText);
        wxString sDecimal = W(c.szText);
        EXPECT_EQ(tStrExpandNumericEntities(sDecimal), std::string(c.szText) != c.szDecimal);
        EXPECT_EQ(U8(sDecimal), c.szDecimal);
        std::wstring sHex = W(c.szText).ToStdWstring();
        EXPECT_EQ(tStrExpandHexEntities(sHex), std::string(c.szText) != c.szHex);
        EXPECT_EQ(U8(wxString(sHex)), c.szHex);
    }
    wxString sPair = "&#x1F600;";
    tStrExpandNumericEntities(sPair);
    std::wstring sPairW = sPair.ToStdWstring();
    tStrExpandHexEntities(sPairW);
    EXPECT_EQ(tToU16(sPairW), u"\U0001F600");
    EXPECT_EQ(tToU16(sPairW).size(), 2u); // one surrogate pair
}

TEST(AppUtilsSharedText, EntityExpansionOnNodes)
{
    TinyDoc tiny;
    tcElement* pKind = tiny.Kind("seg");
    tcAttribute* pAttr = AddElementAttribute(pKind, "note", ATTR_CDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
    ASSERT_NE(pAttr, nullptr);
    tcNode* pSeg = tiny.New("seg");
    tcText* pText = tiny.AddText(pSeg, "&#38;#x41;&#x42;&#67;");

    EXPECT_TRUE(tExpandNumericEntities(pText, nullptr));
    EXPECT_EQ(U8(pText->GetText()), "&#x41;BC"); // every reference decoded once

    pSeg->SetAttributeS(pAttr, "caf&#xE9; &#128512;");
    EXPECT_TRUE(tExpandNumericEntities(pSeg, pAttr));
    EXPECT_EQ(U8(pSeg->GetAttributeS(pAttr)), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_FALSE(tExpandNumericEntities(pSeg, pAttr));

    EXPECT_FALSE(tExpandNumericEntities(pSeg, nullptr));
    EXPECT_FALSE(tExpandNumericEntities(nullptr, pAttr));
    tcText* pPlain = tiny.AddText(pSeg, "&#0; stays");
    EXPECT_FALSE(tExpandNumericEntities(pPlain, nullptr));
    EXPECT_EQ(U8(pPlain->GetText()), "&#0; stays");
}

// ----- Labels ---------------------------------------------------------------------------------------

TEST(AppUtilsSharedText, MenuLabelTable)
{
    const std::vector<std::pair<const char*, const char*>> aCases = {
        {"Open/mac/Open File\tCtrl+O", "Open"},
        {"Quit\tAlt+F4/mac/Cmd+Q", "Quit\tAlt+F4"},
        {"Save/mac/Save File", "Save"},
        {"Print\tCtrl+P", "Print\tCtrl+P"},
        {"Plain", "Plain"},
        {"", ""},
        {"A/mac/B/mac/C", "A/mac/B"}, // from the last marker on
        {"Copy/mac/Copy it/mac/Copy that\tCtrl+C", "Copy/mac/Copy it"},
        {"First line\nSave/mac/Save File", "First line\nSave"},
        {"Save/mac/Save File\nsecond line", "Save"},
    };
    for (const auto& [szLabel, szExpected] : aCases)
        EXPECT_EQ(U8(ProcessMenuString(W(szLabel))), szExpected) << szLabel;
}

TEST(AppUtilsSharedText, PlatformPartTable)
{
    const std::vector<std::pair<const char*, const char*>> aCases = {
        {"OK/mac/Okay", "OK"},        {"Cancel", "Cancel"},  {"", ""},
        {"A/mac/B/mac/C", "A/mac/B"}, {"/mac/Mac only", ""}, {"Line one\nLine two/mac/Mac", "Line one\nLine two"},
    };
    for (const auto& [szText, szExpected] : aCases)
    {
        EXPECT_EQ(U8(ProcessButtonString(W(szText))), szExpected) << szText;
        EXPECT_EQ(U8(ProcessMessageBoxString(W(szText))), szExpected) << szText;
        EXPECT_EQ(U8(wxString(ProcessMultiPlatformStringGeneric(W(szText).ToStdWstring()))), szExpected) << szText;
    }
}

TEST(AppUtilsSharedText, MenuEscapingAndPrefixes)
{
    EXPECT_EQ(EscapeMenuString(L"A&B"), "A&&B");
    EXPECT_EQ(UnEscapeMenuString(L"A&&B"), "A&B");
    EXPECT_EQ(EscapeMenuString(L"&&&"), "&&&&&&");
    EXPECT_EQ(UnEscapeMenuString(L"&&&"), "&&");
    EXPECT_EQ(EscapeMenuString(L"none"), "none");
    EXPECT_EQ(EscapeMenuString(nullptr), "");
    EXPECT_EQ(UnEscapeMenuString(nullptr), "");

    struct PrefixCase
    {
        const wchar_t* szText;
        const wchar_t* szPrefix;
        bool bExpected;
    };
    for (const PrefixCase& c : std::vector<PrefixCase>{{nullptr, L"he", false},
                                                       {L"he", nullptr, true},
                                                       {nullptr, nullptr, false},
                                                       {L"hebrew", L"he", true},
                                                       {L"He", L"he", false},
                                                       {L"h", L"he", false},
                                                       {L"", L"", true},
                                                       {L"el-GR", L"el", true}})
        EXPECT_EQ(tStartsWithHelper(c.szText, c.szPrefix), c.bExpected)
            << (c.szText ? wxString(c.szText) : "(null)") << " / " << (c.szPrefix ? wxString(c.szPrefix) : "(null)");
}

// ----- Scripts, logs and build ----------------------------------------------------------------------

TEST(AppUtilsSharedText, ScriptLogLinesAndBreakpointWithoutDebugger)
{
    tcLogCapture capture;
    tLuaLog("hello %s");
    tLuaBreakpoint("here");
    // Reaching this line is the point: without a debugger the breakpoint must not stop the process.
    const std::vector<wxString> asLines = capture.Lines();
    ASSERT_GE(asLines.size(), 2u);
    EXPECT_EQ(asLines[0], "LUA: hello %s");
    EXPECT_EQ(asLines[1], "LuaBreakpoint: here");
}

TEST(AppUtilsSharedText, LogsFolderUnderLocalData)
{
    const fs::path home = TempHomeListener::Current();
    const fs::path expected = home / ".local/share/Korvendel/Logs/Pending";
    EXPECT_EQ(U8(tGetLogsFolder("Pending")), expected.string());
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(U8(tGetLogsFolder("Pending")), expected.string()); // an existing folder is fine

    // Without XDG_DATA_HOME, or with a relative one, the folder is under ~/.local/share.
    const std::string sXdg = std::getenv("XDG_DATA_HOME");
    setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(U8(tGetLocalAppDataFolder()), (home / ".local/share").string());
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(U8(tGetLocalAppDataFolder()), (home / ".local/share").string());
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    EXPECT_EQ(U8(tGetLogsFolder("CouldNotSend")), (home / "data/Korvendel/Logs/CouldNotSend").string());

    // A level that cannot be created (a file stands in its place) gives the empty path.
    fs::create_directories(home / "blocked");
    std::ofstream(home / "blocked/Korvendel") << "a file";
    setenv("XDG_DATA_HOME", (home / "blocked").c_str(), 1);
    EXPECT_EQ(tGetLogsFolder("Pending"), "");
    setenv("XDG_DATA_HOME", sXdg.c_str(), 1);
}

TEST(AppUtilsSharedText, DevelopmentBuildTable)
{
    const wxString sSaved = g_sAppPath;
    const std::vector<std::pair<const char*, bool>> aCases = {
        {"C:\\Korvendel\\Source\\Lintrado\\Release", true},
        {"/home/dev/Korvendel/Source/lintrado/build/bin", true},
        {"/opt/Korvendel/Lintrado", false},
        {"/home/dev/korvendel/source", false},
        {"", false},
    };
    for (const auto& [szPath, bExpected] : aCases)
    {
        g_sAppPath = szPath;
        EXPECT_EQ(tIsDevelopmentBuild(), bExpected) << szPath;
    }
    g_sAppPath = sSaved;
}
} // namespace
