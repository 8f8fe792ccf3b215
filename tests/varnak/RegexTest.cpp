#include "varnak/include/tRegex.h"

#include "varnak/include/kvLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// "pos:len:text" for each match, groups after "|" ("-" for a group that did not take part).
std::string Describe(const std::vector<tcMatch>& aMatches)
{
    std::string s;
    for (const tcMatch& m : aMatches)
    {
        s += "[" + std::to_string(m.GetPos()) + ":" + std::to_string(m.GetLen()) + ":" + m.GetStr().utf8_string();
        for (size_t i = 0; i < m.GetNumSubmatches(); ++i)
        {
            const tcMatch& g = m.GetSubmatch(i);
            s += "|" + (g.Matched() ? std::to_string(g.GetPos()) + ":" + g.GetStr().utf8_string() : std::string("-"));
        }
        s += "]";
    }
    return s;
}

} // namespace

TEST(RegexSearch, FindsEveryMatchWithGroups)
{
    struct Case
    {
        const wchar_t* szText;
        const wchar_t* szPattern;
        bool bCaseSensitive;
        const char* szExpected;
    };
    const Case cases[] = {
        // Decimal character references, as the entity expansion looks for them.
        {L"A &#65; B &#66;", L"&#([0-9]+);", true, "[2:5:&#65;|4:65][10:5:&#66;|12:66]"},
        {L"&#x1F600;", L"(&#x[0-9a-fA-F]+;)", true, "[0:9:&#x1F600;|0:&#x1F600;]"},
        // Letters outside ASCII are word characters for \w and \b under C.UTF-8.
        {L"größte Straße", L"\\w+", true, "[0:6:größte][7:6:Straße]"},
        {L"über uber", L"\\bber\\b", true, ""},
        {L"über uber", L"\\b\\w+ber\\b", true, "[0:4:über][5:4:uber]"},
        // The case flag, also for letters outside ASCII.
        {L"ÄPFEL und Äpfel", L"äpfel", false, "[0:5:ÄPFEL][10:5:Äpfel]"},
        {L"ÄPFEL und Äpfel", L"äpfel", true, ""},
        {L"ÄPFEL und Äpfel", L"Äpfel", true, "[10:5:Äpfel]"},
        // Non-greedy codes, one of them across a line break.
        {L"a<ph x>1\n2</ph>b<ph>3</ph>", L"<ph.*?</ph>", true, "[1:14:<ph x>1\n2</ph>][16:10:<ph>3</ph>]"},
        // Positions index the wxString: a character outside the BMP is one unit there.
        {L"\U0001F600x", L"x", true, "[1:1:x]"},
        {L"ac abc", L"a(b)?c", true, "[0:2:ac|-][3:3:abc|4:b]"},
        {L"nothing", L"[0-9]", true, ""},
    };
    for (const Case& c : cases)
    {
        std::vector<tcMatch> aMatches(2);
        const bool bFound = tRegSearch(c.szText, c.szPattern, c.bCaseSensitive, aMatches);
        EXPECT_EQ(Describe(aMatches), c.szExpected) << wxString(c.szPattern);
        EXPECT_EQ(bFound, !aMatches.empty());
    }
}

TEST(RegexSearch, PositionsSpliceTheSearchedText)
{
    wxString sText = L"\U0001F334 x &#66; y &#67;";
    std::vector<tcMatch> aMatches;
    ASSERT_TRUE(tRegSearch(sText, L"&#([0-9]+);", true, aMatches));
    for (auto it = aMatches.rbegin(); it != aMatches.rend(); ++it)
    {
        long nCode = 0;
        ASSERT_TRUE(it->GetSubmatch(0).GetStr().ToLong(&nCode));
        sText = sText.Left(it->GetPos()) + wxString(static_cast<wchar_t>(nCode), 1) +
                sText.Mid(it->GetPos() + it->GetLen());
    }
    EXPECT_EQ(sText, L"\U0001F334 x B y C");
    EXPECT_FALSE(aMatches[0].GetSubmatch(5).Matched());
    EXPECT_EQ(aMatches[0].GetSubmatch(5).GetPos(), wxString::npos);
}

TEST(RegexMatch, TestsTheWholeText)
{
    struct Case
    {
        const wchar_t* szText;
        const wchar_t* szPattern;
        bool bExpected;
    };
    const Case cases[] = {
        {L"Open/mac/Open File\tCtrl+O", L"^.+/mac/[^\t]+\t[^\t]+$", true},
        {L"Quit\tAlt+F4/mac/Cmd+Q", L"^.+/mac/[^\t]+\t[^\t]+$", false},
        {L"Quit\tAlt+F4/mac/Cmd+Q", L"^.*\t(.*)/mac/(.*)$", true},
        {L"Save/mac/Save File", L"^(.*)/mac/(.*)$", true},
        {L"SAVE/MAC/x", L"^(.*)/mac/(.*)$", true}, // the menus pass false: case is ignored
        {L"abc", L"b", false},
        {L"line1\nline2", L"line1.line2", true},
        {L"\U0001F600", L".", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tRegMatch(c.szText, c.szPattern, false), c.bExpected) << wxString(c.szText);

    tcMatch m;
    ASSERT_TRUE(tRegMatch(L"Save/mac/Save File", L"^(.*)/mac/(.*)$", true, &m));
    EXPECT_EQ(m.GetLen(), 18u);
    ASSERT_EQ(m.GetNumSubmatches(), 2u);
    EXPECT_EQ(m.GetSubmatch(0).GetStrW(), L"Save");
    EXPECT_EQ(m.GetSubmatch(1).GetStr(), L"Save File");
    EXPECT_FALSE(tRegMatch(L"x", L"y", true, &m));
    EXPECT_FALSE(m.Matched());
    EXPECT_EQ(m.GetNumSubmatches(), 0u);

    EXPECT_TRUE(tRegContains(L"abc", L"B", false));
    EXPECT_FALSE(tRegContains(L"abc", L"B", true));
}

TEST(RegexReplace, GroupsAndFlags)
{
    struct Case
    {
        const wchar_t* szText;
        const wchar_t* szPattern;
        const wchar_t* szFormat;
        bool bCaseSensitive;
        const wchar_t* szExpected;
    };
    const Case cases[] = {
        {L"Save/mac/Save File", L"(.*)/mac/(.*)", L"\\1", false, L"Save"},
        {L"A/mac/B/mac/C", L"(.*)/mac/(.*)", L"\\1", false, L"A/mac/B"}, // from the last marker on
        {L"no marker", L"(.*)/mac/(.*)", L"\\1", false, L"no marker"},
        {L"Open/mac/Open File\tCtrl+O", L"^(.+)/mac/[^\t]+\t[^\t]+$", L"\\1", false, L"Open"},
        {L"Quit\tAlt+F4/mac/Cmd+Q", L"\t(.*)/mac/(.*)$", L"\t\\1", false, L"Quit\tAlt+F4"},
        {L"John Smith", L"(\\w+) (\\w+)", L"$2, $1", true, L"Smith, John"},
        {L"Jürgen Ärger", L"(\\w+) (\\w+)", L"$2 $1", true, L"Ärger Jürgen"},
        {L"a<ph>x\ny</ph>b<ept i=\"1\">c</ept>", L"<ph.*?</ph>", L"", true, L"ab<ept i=\"1\">c</ept>"},
        {L"Hello HELLO", L"hello", L"x", false, L"x x"},
        {L"Hello HELLO", L"hello", L"x", true, L"Hello HELLO"},
        {L"cost 5", L"([0-9]+)", L"$$$1", true, L"cost $5"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(tRegReplace(c.szText, c.szPattern, c.szFormat, c.bCaseSensitive), c.szExpected)
            << wxString(c.szText) << " ~ " << wxString(c.szPattern);
        EXPECT_EQ(tRegReplaceW(c.szText, c.szPattern, c.szFormat, c.bCaseSensitive), c.szExpected);
    }
}

TEST(RegexErrors, BadPatternLogsAndMatchesNothing)
{
    tcLogCapture log;
    std::vector<tcMatch> aMatches(1);
    EXPECT_FALSE(tRegSearch(L"a(b", L"a(b", true, aMatches));
    EXPECT_TRUE(aMatches.empty());
    EXPECT_TRUE(log.Contains(L"a(b"));

    tcMatch m;
    m.Init(1, 1, L"x");
    EXPECT_FALSE(tRegMatch(L"[", L"[", false, &m));
    EXPECT_FALSE(m.Matched());
    EXPECT_FALSE(tRegContains(L"x", L"x{2,1}", true));
    EXPECT_EQ(tRegReplace(L"keep me", L"(?<", L"", true), L"keep me");
    EXPECT_EQ(tRegReplaceW(L"keep me", L"*", L"", false), L"keep me");
    EXPECT_GE(log.Lines().size(), 5u);
}
