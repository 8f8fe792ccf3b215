#include "Shared/VRSRXDoc.h"
#include "tests/Shared/SRXTestSupport.h"

#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Records failed assertions while it lives.
class AssertLog : public tcAssertHandler
{
public:
    AssertLog() { tRegisterAssertHandler(this); }
    ~AssertLog() override { tUnregisterAssertHandler(this); }
    void OnAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t*) override
    {
        asReports.push_back(std::string(szFile) + ":" + std::to_string(nLine) + ":" + szExpression);
    }
    std::vector<std::string> asReports;
};

// The text a call fails with; empty when it does not fail.
template <class F> wxString FailureOf(F&& fn)
{
    try
    {
        fn();
    }
    catch (const TextFailure& e)
    {
        return e.GetText();
    }
    return wxString();
}

const std::string kRuleSet = "<languagerules><languagerule languagerulename=\"R\"><rule break=\"yes\"><beforebreak>\\."
                             "</beforebreak><afterbreak>\\s</afterbreak></rule></languagerule></languagerules>";
const std::string kMapRules =
    "<maprules><maprule><languagemap languagepattern=\".*\" languagerulename=\"R\"/></maprule></maprules>";

std::string Doc(const std::string& sBody)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><srx version=\"1.0\"><header/><body>" + sBody + "</body></srx>";
}

std::string RuleSetWith(const std::string& sRules)
{
    return "<languagerules><languagerule languagerulename=\"R\">" + sRules + "</languagerule></languagerules>";
}

const std::string kGoodRule = "<rule break=\"yes\"><beforebreak>\\.</beforebreak><afterbreak>\\s</afterbreak></rule>";
} // namespace

// ----- Loading -----------------------------------------------------------------------------------

TEST_F(SRXTest, LoadFailuresCarryTheHandlersMessages)
{
    const wxString sMissing = FailureOf([] { CVRSRXDoc doc("/nonexistent/rules.srx"); });
    EXPECT_FALSE(sMissing.empty());
    EXPECT_TRUE(sMissing.EndsWith("\n")) << sMissing;

    const wxString sBroken = FailureOf([] { CVRSRXDoc doc(WriteSRX("<srx><body><maprules></srx>")); });
    EXPECT_FALSE(sBroken.empty());
    EXPECT_TRUE(sBroken.EndsWith("\n")) << sBroken;

    Done_SRXImporter();
    EXPECT_EQ(FailureOf([] { CVRSRXDoc doc(Fixture("rules.srx")); }), "Could not assign an IO handler for type SRX");
    ASSERT_TRUE(Init_SRXImporter());
}

TEST_F(SRXTest, QueriesBeforeAnyLanguageAssertAndFindNothing)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    EXPECT_EQ(doc.GetLanguage(), "");
    AssertLog asserts;
    const std::wstring sText = L"One. Two.";
    doc.Clear();
    EXPECT_EQ(doc.FindNextSegmentBreak(sText.data(), sText.data() + sText.size()), -1);
    EXPECT_EQ(asserts.asReports, std::vector<std::string>{"VRSRXDoc:308:0"});
}

// ----- Choosing the rule set ---------------------------------------------------------------------

TEST_F(SRXTest, LanguageMapsAreComparedAsPlainTextInLowerCase)
{
    struct Case
    {
        const char* szLanguage;
        const char* szRuleMarker; // the before text of the chosen set's one rule
        const char* szStored;
    };
    const Case kCases[] = {
        {"en", "B", "en"},       // the later of two maps for "en" wins
        {"EN", "B", "EN"},       // the language in capitals
        {"en-US", "2", "en-US"}, // "EN.*" is no expression; the last ".*" map serves
        {"fR-fR", "F", "fR-fR"}, // pattern and language both in lower case
        {"de", "2", "de"},       // only the first maprule counts
        {"default", "2", ".*"},  // no map "default": the ".*" map
        {"All", "2", ".*"},      {"", "2", ""},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szLanguage);
        CVRSRXDoc doc(Fixture("maps.srx"));
        doc.SetLanguage(c.szLanguage);
        ASSERT_EQ(doc.GetNumBreakRules(), 1);
        EXPECT_EQ(doc.GetBreakRules()[0].GetBeforeText(), c.szRuleMarker);
        EXPECT_EQ(doc.GetLanguage(), c.szStored);
    }
}

TEST_F(SRXTest, RuleSetNamesAreCaseSensitiveAndMissingOnesNameTheStoredLanguage)
{
    CVRSRXDoc doc(Fixture("maps.srx"));
    tcLogCapture log;
    const wxString sExpected =
        "Invalid SRX File: no languagerule element to match name specified in languagemap element french for "
        "language IT";
    EXPECT_EQ(FailureOf([&] { doc.SetLanguage("IT"); }), sExpected);
    EXPECT_TRUE(log.Contains(sExpected));

    CVRSRXDoc fallback(WriteSRX(Doc(
        kRuleSet +
        "<maprules><maprule><languagemap languagepattern=\".*\" languagerulename=\"Nowhere\"/></maprule></maprules>")));
    EXPECT_EQ(FailureOf([&] { fallback.SetLanguage("Default"); }),
              "Invalid SRX File: no languagerule element to match name specified in languagemap element Nowhere for "
              "language .*");
}

TEST_F(SRXTest, InvalidStructureFailsWithItsMessageAndLogsIt)
{
    struct Case
    {
        const char* szWhat;
        std::string sBody;
        const char* szError;
    };
    const std::string kMapTo = "<languagemap languagepattern=\".*\" languagerulename=\"R\"/>";
    const Case kCases[] = {
        {"no maprule", kRuleSet + "<maprules/>", "Invalid SRX File: no maprule elements present"},
        {"no languagemap kind", kRuleSet + "<maprules><maprule/></maprules>",
         "Invalid SRX File: no languagemap elements present"},
        {"maps only in a later maprule", kRuleSet + "<maprules><maprule/><maprule>" + kMapTo + "</maprule></maprules>",
         "Invalid SRX File: no languagemap elements present"},
        {"no languagepattern",
         kRuleSet + "<maprules><maprule><languagemap languagerulename=\"R\"/></maprule></maprules>",
         "Invalid SRX File: missing languagepattern attribute"},
        {"map without languagerulename",
         kRuleSet + "<maprules><maprule><languagemap languagepattern=\".*\"/></maprule></maprules>",
         "Invalid SRX File: missing languagerulename attribute"},
        {"rule set without languagerulename",
         "<languagerules><languagerule>" + kGoodRule + "</languagerule></languagerules>" + kMapRules,
         "Invalid SRX File: missing languagerulename attribute"},
        {"no map for the language",
         kRuleSet + "<maprules><maprule><languagemap languagepattern=\"fr\" languagerulename=\"R\"/>"
                    "<languagemap languagepattern=\".*\" languagerulename=\"\"/></maprule></maprules>",
         "Invalid SRX File: empty languagerulename attribute"},
        {"no languagerule", kMapRules, "Invalid SRX File: no languagerule elements"},
        {"no rule kind", "<languagerules><languagerule languagerulename=\"R\"/></languagerules>" + kMapRules,
         "Invalid SRX File: languagerule contains no rule elements"},
        {"the chosen set has no rule",
         "<languagerules><languagerule languagerulename=\"R\"/><languagerule languagerulename=\"S\">" + kGoodRule +
             "</languagerule></languagerules>" + kMapRules,
         "Invalid SRX File: languagerule contains no rule elements"},
        {"no break attribute",
         RuleSetWith("<rule><beforebreak>\\.</beforebreak><afterbreak>\\s</afterbreak></rule>") + kMapRules,
         "Invalid SRX File: rule element with missing break attribute"},
        {"no beforebreak kind", RuleSetWith("<rule break=\"yes\"><afterbreak>\\s</afterbreak></rule>") + kMapRules,
         "Invalid SRX File: rule contains no beforebreak element"},
        {"a rule without beforebreak",
         RuleSetWith(kGoodRule + "<rule break=\"yes\"><afterbreak>\\s</afterbreak></rule>") + kMapRules,
         "Invalid SRX File: rule contains no beforebreak element"},
        {"no afterbreak kind", RuleSetWith("<rule break=\"yes\"><beforebreak>\\.</beforebreak></rule>") + kMapRules,
         "Invalid SRX File: rule contains no afterbreak element"},
        {"a rule without afterbreak",
         RuleSetWith(kGoodRule + "<rule break=\"no\"><beforebreak>\\.</beforebreak></rule>") + kMapRules,
         "Invalid SRX File: rule contains no afterbreak element"},
        {"beforebreak never holds text",
         RuleSetWith("<rule break=\"yes\"><beforebreak/><afterbreak>\\s</afterbreak></rule>") + kMapRules,
         "Invalid SRX File: beforebreak element is empty"},
        {"afterbreak never holds text",
         RuleSetWith("<rule break=\"yes\"><beforebreak>\\.</beforebreak><afterbreak/></rule>") + kMapRules,
         "Invalid SRX File: afterbreak element is empty"},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szWhat);
        CVRSRXDoc doc(WriteSRX(Doc(c.sBody)));
        tcLogCapture log;
        EXPECT_EQ(FailureOf([&] { doc.SetLanguage("en"); }), c.szError);
        EXPECT_TRUE(log.Contains(c.szError));
        EXPECT_EQ(doc.GetLanguage(), "");
        EXPECT_EQ(doc.GetNumBreakRules() + doc.GetNumExceptionRules(), 0);
    }
}

TEST_F(SRXTest, BadBreakValuesAreSkippedAndBadExpressionsLeaveTheRulesAsTheyWere)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    AssertLog asserts;
    doc.SetLanguage("bad-break");
    // "maybe" and a missing value are reported and skipped; "true" and "false" count.
    EXPECT_EQ(asserts.asReports, (std::vector<std::string>{"VRSRXDoc:277:0", "VRSRXDoc:277:0"}));
    ASSERT_EQ(doc.GetNumBreakRules(), 1);
    ASSERT_EQ(doc.GetNumExceptionRules(), 1);
    EXPECT_EQ(doc.GetBreakRules()[0].GetBeforeText(), "\\.");
    EXPECT_FALSE(doc.GetExceptionRules()[0].HasAfter());
    EXPECT_EQ(Segment(doc, L"Dr. No! Yes. Fine? Ok"), (std::vector<std::wstring>{L"Dr. No! Yes.", L" Fine? Ok"}));

    const wxString sError = FailureOf([&] { doc.SetLanguage("bad-regex"); });
    EXPECT_FALSE(sError.empty());
    EXPECT_FALSE(sError.StartsWith("Invalid SRX File")) << sError;
    EXPECT_EQ(doc.GetLanguage(), "bad-break");
    EXPECT_EQ(doc.GetNumBreakRules(), 1);
    EXPECT_EQ(doc.GetNumExceptionRules(), 1);
}

TEST_F(SRXTest, RuleTextIsTheEscapedXMLOfTheContentWhetherWrittenPlainOrAsCDATA)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    doc.SetLanguage("escaped");
    ASSERT_EQ(doc.GetNumBreakRules(), 2);
    EXPECT_EQ(doc.GetBreakRules()[0].GetBeforeText(), "x&lt;y");
    EXPECT_EQ(doc.GetBreakRules()[1].GetBeforeText(), "x&lt;y");
}

// ----- Breaking ----------------------------------------------------------------------------------

TEST_F(SRXTest, EachNewSegmentIsScannedFromItsFirstPosition)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    doc.SetLanguage("example");
    const std::wstring sText = L"Hello world. Hi. Bye.";
    EXPECT_EQ(FindBreaks(doc, sText), (std::vector<int>{12, 4}));
    EXPECT_EQ(Segment(doc, sText), (std::vector<std::wstring>{L"Hello world.", L" Hi.", L" Bye."}));
}

TEST_F(SRXTest, ExceptionsWinWhereverTheyStandInTheFile)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    doc.SetLanguage("exception-last");
    ASSERT_EQ(doc.GetNumExceptionRules(), 2);
    EXPECT_EQ(Segment(doc, L"Mr. Smith paid 5. 3 more came. Then Mr. Jones left. End"),
              (std::vector<std::wstring>{L"Mr. Smith paid 5. 3 more came.", L" Then Mr. Jones left.", L" End"}));
}

TEST_F(SRXTest, AnAfterBreakThatNeedsMoreTextWaitsForIt)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    doc.SetLanguage("capital");
    ASSERT_EQ(doc.GetNumBreakRules(), 1);
    const CVRSRXRule& rule = doc.GetBreakRules()[0];

    const std::wstring sText = L"Go. Now";
    const wchar_t* p = sText.data();
    EXPECT_EQ(rule.Match(p, 3, p + 4), 0) << "only the blank is there";
    EXPECT_EQ(rule.Match(p, 3, p + 5), 1);
    EXPECT_EQ(rule.Match(p, 2, p + 5), -1);

    doc.Clear();
    EXPECT_EQ(doc.FindNextSegmentBreak(p, p + 3), -1);
    EXPECT_EQ(doc.GetScanPosition(), 3);
    EXPECT_EQ(doc.FindNextSegmentBreak(p, p + 4), -1);
    EXPECT_EQ(doc.GetScanPosition(), 3) << "the waiting position is examined again";
    EXPECT_EQ(doc.FindNextSegmentBreak(p, p + 5), 3);
    EXPECT_EQ(doc.GetScanPosition(), 1);

    EXPECT_EQ(Segment(doc, L"Go. now. Yes"), (std::vector<std::wstring>{L"Go. now.", L" Yes"}));
    // The last character is never offered, so a break can never wait on it.
    EXPECT_EQ(Segment(doc, L"Go. N"), (std::vector<std::wstring>{L"Go. N"}));
}

TEST_F(SRXTest, SelectingLanguagesAppendsTheirRulesWithoutChangingTheBreaks)
{
    CVRSRXDoc doc(Fixture("rules.srx"));
    doc.SetLanguage("exception-last");
    const std::wstring sText = L"Mr. Smith paid 5. 3 more came. Then Mr. Jones left. End";
    const std::vector<int> anOnce = FindBreaks(doc, sText);
    doc.SetLanguage("exception-last");
    EXPECT_EQ(doc.GetNumBreakRules(), 2);
    EXPECT_EQ(doc.GetNumExceptionRules(), 4);
    EXPECT_EQ(FindBreaks(doc, sText), anOnce);

    // Another language's rules join the list: its exception for "Dr." now applies too.
    doc.SetLanguage("bad-break");
    EXPECT_EQ(doc.GetLanguage(), "bad-break");
    EXPECT_EQ(doc.GetNumBreakRules(), 3);
    EXPECT_EQ(doc.GetNumExceptionRules(), 5);
    EXPECT_EQ(Segment(doc, L"Dr. Who. Mr. X. Yes"), (std::vector<std::wstring>{L"Dr. Who.", L" Mr. X.", L" Yes"}));
}

TEST_F(SRXTest, UnicodePropertyClassesMeanWhatTheySay)
{
    struct Case
    {
        const wchar_t* szAfter;
        const wchar_t* szNext; // the text after the position
        int nExpected;
    };
    const Case kCases[] = {
        {L"\\p{Lu}", L"É", 1},
        {L"\\p{Lu}", L"é", -1},
        {L"\\P{Lu}", L"é", 1},
        {L"\\p{Ll}", L"ß", 1},
        {L"\\p{L}", L"é", 1}, // a letter, not Boost's "lower case"
        {L"\\p{L}", L"Ж", 1},
        {L"\\pL", L"Ж", 1},
        {L"\\p{L}", L"5", -1},
        {L"\\p{N}", L"٣", 1},
        {L"\\p{P}", L"«", 1},
        {L"\\p{Ps}", L"(", 1},
        {L"[\\p{Lu}\\d]", L"Ä", 1}, // classes inside a set
        {L"[\\p{Lu}\\d]", L"7", 1},
        {L"[\\p{Lu}\\d]", L"ä", -1},
        {L"[^\\s\\p{Ll}]", L"Ä", 1},
        {L"[^\\s\\p{Ll}]", L"ä", -1},
        {L"[^\\P{L}]", L"ä", 1},
        {L"[[:upper:]]", L"Ä", 1}, // plain wide classes under C.UTF-8
        {L"\\w", L"ä", 1},
        {L"\\s\\p{Lu}", L" ", 0}, // partial with the ICU expressions too
        {L"\\Q\\p{L}\\E", L"\\p{L}", 1},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(wxString(c.szAfter) + " on " + c.szNext);
        const CVRSRXRule rule(wxString(), c.szAfter);
        const std::wstring sText = std::wstring(L"x") + c.szNext;
        EXPECT_EQ(rule.Match(sText.data(), 1, sText.data() + sText.size()), c.nExpected);
    }
    EXPECT_FALSE(FailureOf([] { CVRSRXRule rule("\\p{NoSuchClass}", ""); }).empty());

    // Before-break expressions take the same path.
    const CVRSRXRule before(L"\\p{Lu}\\.", wxString());
    const std::wstring sText = L"Émile É. x";
    EXPECT_EQ(before.Match(sText.data(), 8, sText.data() + sText.size()), 1);
    EXPECT_EQ(before.Match(sText.data(), 7, sText.data() + sText.size()), -1);
}

TEST_F(SRXTest, MatchesTheLibraryGivesUpOnCountAsNoMatchAndAreLogged)
{
    // Nested repeats with backtracking beyond the library's limits on a text that never matches.
    const CVRSRXRule rule(wxString(), L"(?:a|aa)*(?:a|aa)*(?:a|aa)*(?:a|aa)*b");
    const std::wstring sText = L"x" + std::wstring(60, L'a') + L"c";
    tcLogCapture log;
    EXPECT_EQ(rule.Match(sText.data(), 1, sText.data() + sText.size()), -1);
    EXPECT_TRUE(log.Contains("SRX rule not matched")) << (log.Lines().empty() ? wxString() : log.Lines().back());
}

TEST_F(SRXTest, ExpressionsBothCompilersRefuseAreRuleErrorsWithTheirMessage)
{
    // A set ending in a backslash made the ICU-aware compiler read past the end of the text; only
    // texts with property classes go to it now, and one that ends in an open escape never does.
    const wchar_t* const kRefused[] = {L"[\\", L"a[\\", L"[a-\\", L"\\", L"\\p{Lu}[\\", L"[\\p{L}\\", L"(", L"\\P{Lu"};
    for (const wchar_t* sz : kRefused)
    {
        SCOPED_TRACE(wxString(sz));
        EXPECT_FALSE(FailureOf([&] { CVRSRXRule rule(sz, wxString()); }).empty());
        EXPECT_FALSE(FailureOf([&] { CVRSRXRule rule(wxString(), sz); }).empty());
    }
    // Escaped backslashes are text: "\\p" is a backslash and a "p".
    const CVRSRXRule literal(wxString(), L"\\\\p");
    const std::wstring sText = L"x\\p";
    EXPECT_EQ(literal.Match(sText.data(), 1, sText.data() + sText.size()), 1);

    // In a rules file the error is the language's and the rules stay as they were.
    const std::string sRules = "<rule break=\"yes\"><beforebreak>[\\</beforebreak><afterbreak>\\s</afterbreak></rule>";
    CVRSRXDoc doc(WriteSRX(Doc(RuleSetWith(kGoodRule + sRules) + kMapRules)));
    EXPECT_FALSE(FailureOf([&] { doc.SetLanguage("en"); }).empty());
    EXPECT_EQ(doc.GetNumBreakRules(), 0);
}

TEST_F(SRXTest, RunawayRulesAreGivenUpForTheUnitWhileTheOthersStillSegmentIt)
{
    // Nested repeats against a long run of one letter: every attempt backtracks through every way
    // of splitting the run, and the scan makes an attempt at every position of every prefix.
    struct Case
    {
        const char* szWhat;
        const char* szRunaway; // a rule element
        int nRun;              // letters in the run
    };
    const Case kCases[] = {
        {"after-break", "<rule break=\"yes\"><beforebreak></beforebreak><afterbreak>(a+)+b</afterbreak></rule>", 250},
        {"before-break", "<rule break=\"yes\"><beforebreak>(a+)+b</beforebreak><afterbreak></afterbreak></rule>", 1000},
        {"exception", "<rule break=\"no\"><beforebreak>(a|aa)+c</beforebreak><afterbreak>\\s</afterbreak></rule>",
         1000},
        {"overlapping alternatives",
         "<rule break=\"yes\"><beforebreak>(a|a?)+\\.</beforebreak><afterbreak>(a|aa|aaa)*x</afterbreak></rule>", 400},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szWhat);
        const std::wstring sRun(static_cast<size_t>(c.nRun), L'a');
        const std::wstring sText = L"Yes. " + sRun + L". Next " + sRun + L" one. End";
        CVRSRXDoc doc(WriteSRX(Doc(RuleSetWith(std::string(c.szRunaway) + kGoodRule) + kMapRules)));
        doc.SetLanguage("en");
        tcLogCapture log;
        EXPECT_EQ(Segment(doc, sText),
                  (std::vector<std::wstring>{L"Yes.", L" " + sRun + L".", L" Next " + sRun + L" one.", L" End"}));
        int nGivenUp = 0;
        for (const wxString& sLine : log.Lines())
            nGivenUp += sLine.Contains("given up for the rest of the unit") ? 1 : 0;
        EXPECT_EQ(nGivenUp, 1);

        // The next unit starts with a fresh budget: the rule decides again where it can.
        log.Clear();
        EXPECT_EQ(Segment(doc, L"Fine. Good"), (std::vector<std::wstring>{L"Fine.", L" Good"}));
        EXPECT_TRUE(log.Lines().empty());
    }
}

// ----- Work per position -------------------------------------------------------------------------

namespace
{
// Escaped markup nested deep, as a plain-text file of "<a x="1"><a x="1">...</a></a>" reaches the
// rules: no sentence end, no blank, no capital anywhere.
std::wstring DeepMarkup(int nDepth)
{
    std::wstring s;
    for (int i = 0; i < nDepth; ++i)
        s += L"&lt;a x=\"1\"&gt;";
    for (int i = 0; i < nDepth; ++i)
        s += L"&lt;/a&gt;";
    return s;
}

// Offers the rule every position of the text as the unit writer does (the text up to one character
// past the position, the progress kept) and returns the matching steps spent; nResults counts the
// answers other than -1.
long long StepsOverUnit(const CVRSRXRule& rule, const std::wstring& sText, long long nBudget, int& nResults,
                        bool& bExhausted)
{
    CVRSRXRule::Progress progress;
    CVRSRXRule::Budget budget{nBudget, false};
    nResults = 0;
    const wchar_t* S = sText.data();
    for (int p = 1; p + 1 < static_cast<int>(sText.size()); ++p)
        nResults += rule.Match(S, p, S + p + 1, progress, &budget) != -1 ? 1 : 0;
    bExhausted = budget.bExhausted;
    return nBudget - budget.nLeft;
}
} // namespace

TEST_F(SRXTest, PositionsWhereNoMatchCanStartCostNoMatchingWork)
{
    // Each rule can start nowhere in the markup (the blanks in it are single spaces between two
    // letters): not one step of a budget is spent on it, however long the unit.
    struct Case
    {
        const wchar_t* szBefore;
        const wchar_t* szAfter;
    };
    const Case kCases[] = {
        {L"[\\.\\?!]+", L"\\s"},
        {L"[.?!…]+[\"'“”‘’«»‹›)\\]]*", L"\\s+[^\\s\\p{Ll}\\p{Pe}\\p{Pf}]"},
        {L"\\b(?:Mr|Mrs|Dr|Prof)\\.", L"[^\\S\\r\\n]*\\S"},
        {L"\\b(?:No|Fig|Vol|Jan|Feb)\\.", L"[^\\S\\r\\n]*\\d"},
        {L"", L"(?:\\r\\n?|\\n)[ \\t]*(?:\\r\\n?|\\n)\\s*\\S"},
        {L"(?i)[QYZ]+", L""},
    };
    const std::wstring sText = DeepMarkup(2000);
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(wxString(c.szBefore) + " / " + c.szAfter);
        const CVRSRXRule rule(c.szBefore, c.szAfter);
        int nResults = 0;
        bool bExhausted = false;
        EXPECT_EQ(StepsOverUnit(rule, sText, 0, nResults, bExhausted), 0);
        EXPECT_FALSE(bExhausted);
        EXPECT_EQ(nResults, 0);
    }
}

TEST_F(SRXTest, MatchingWorkGrowsWithTheUnitsLengthOnly)
{
    // Rules that are tried at every position of the markup, holding there or not: four times the
    // unit costs four times the steps (the scan never goes back to the segment start). A match that
    // reaches the end of the prefix, as "[^.]+" does throughout, is the exception: its attempt is
    // made again for every longer prefix, bounded only by the unit's matching budget.
    struct Case
    {
        const wchar_t* szBefore;
        const wchar_t* szAfter;
        bool bHolds; // the rule applies at every position
    };
    const Case kCases[] = {
        {L"[^ ]", L"", false},
        {L"\\S", L"[ \\t]*\\n", false},
        {L"[.?!]+", L"\\s", false},
        {L"\\b(?:[eE]\\.g|al|approx|ca)\\.", L"\\s", false},
        {L"(?:a|&|;)\\b", L"[^\\s]", false},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(wxString(c.szBefore) + " / " + c.szAfter);
        const CVRSRXRule rule(c.szBefore, c.szAfter);
        long long anSteps[2] = {0, 0};
        for (int i = 0; i < 2; ++i)
        {
            const std::wstring sText = DeepMarkup(i == 0 ? 500 : 2000);
            int nResults = 0;
            bool bExhausted = false;
            anSteps[i] = StepsOverUnit(rule, sText, 1LL << 40, nResults, bExhausted);
            EXPECT_FALSE(bExhausted);
            if (c.bHolds)
            {
                EXPECT_EQ(nResults, static_cast<int>(sText.size()) - 2);
            }
        }
        EXPECT_LE(anSteps[1], 4 * anSteps[0] + 4 * 64) << anSteps[0] << " then " << anSteps[1];
    }
}
