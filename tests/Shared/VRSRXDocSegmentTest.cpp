#include "Shared/VRSRXDoc.h"
#include "Shared/AppUtils_sharedTestText.h"
#include "tests/Shared/SRXTestSupport.h"

#include <boost/regex.hpp>
#include <boost/regex/icu.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace
{
// ----- The shipped rules ---------------------------------------------------------------------------

struct SentenceCase
{
    const char* szLanguage;
    std::vector<std::wstring> asSegments; // joined, they make the unit's text
};

std::wstring Join(const std::vector<std::wstring>& as)
{
    std::wstring s;
    for (const std::wstring& sPart : as)
        s += sPart;
    return s;
}

const SentenceCase kSentences[] = {
    {"en-US",
     {L"Mr. Smith met Dr. Jones at 5 p.m. yesterday.", L" They visited cities, e.g. Paris and Rome.",
      L" J. K. Rowling signed books (see No. 5 and Fig. 3) all day.", L" Did it help?", L" Yes!",
      L" \"It cost 2.5 dollars.\"", L" Prices rose etc.", L" The end came in Jan. 2020.", L" 'Quoted,' he said."}},
    {"EN-gb", {L"St. Paul's is in London.", L" Really...", L" No.", L" I won't."}},
    {"de-DE",
     {L"Herr Dr. Müller kam am 3. Mai nach Hause.", L" Er brachte z. B. Äpfel mit, z.B. Birnen.", L" Warum?",
      L" Darum!", L" Das war 2019.", L" Dann ging er, d. h. er lief.", L" »Komm!«", L" Er kam."}},
    {"de-AT", {L"Siehe S. 4 bzw. Nr. 7 im Anhang.", L" Übrigens: Ja."}},
    {"fr-FR",
     {L"M. Dupont est arrivé.", L" Il a dit : « Bonjour. »", L" Puis il est parti.", L" Vraiment ?", L" Oui !",
      L" Mme Martin, p. ex. Anne, voir p. 5, etc.", L" C'est tout."}},
    {"es-ES",
     {L"El Sr. García llegó.", L" ¿Cómo estás?", L" ¡Muy bien!", L" Vive en EE. UU. desde 2010.",
      L" Ver pág. 5 del Dr. Pérez.", L" Fin."}},
    {"it",
     {L"Il Sig. Rossi è arrivato.", L" La Sig.ra Bianchi no.", L" Il Dott. Verdi, ad es. Mario, ecc.",
      L" L'anno dopo, vedi p. 7.", L" Basta."}},
    {"nl-NL",
     {L"Dhr. Jansen kwam om drie uur.", L" Hij zei bijv. Hallo.", L" Wat?", L" Niets!", L" Zie nr. 5 en blz. 10.",
      L" Mevr. De Vries bleef."}},
    {"pt-BR",
     {L"O Sr. Silva chegou.", L" A Dra. Costa saiu, veja pág. 3.", L" Onde?", L" Aqui!", L" V. Exa. está bem."}},
    {"ja", {L"今日は晴れです。", L"「行こう。」", L"彼は言った。"}},
    {"default", {L"One sentence.", L" Another one?", L" Ж. Иванов пришёл."}},
};

// Paragraph ends in plain text: a line break followed by a blank line ends a segment whatever
// precedes it; the white space begins the next segment.
const SentenceCase kParagraphs[] = {
    {"heading then paragraph", {L"Introduction", L"\n\nThis tool formats text."}},
    {"colon then blank line",
     {L"Sufficiently recent versions support the following clocks:",
      L"\n\nA settable system-wide clock that measures real (i.e., wall-clock) time."}},
    {"no punctuation at all", {L"First item", L"\n\nSecond item", L"\n\nThird item"}},
    {"blank line of spaces and a tab", {L"One", L"\n  \t\nTwo"}},
    {"spaces before the line break", {L"One", L"  \n\nTwo"}},
    {"several blank lines", {L"Alpha", L"\n\n\n\nBeta"}},
    {"CR LF line ends", {L"Title", L"\r\n\r\nBody text here.", L"\r\n \r\nMore"}},
    {"two sentences on one line", {L"It runs.", L" It stops.", L"\n\nNext"}},
    {"sentence over two lines", {L"This sentence is\nbroken over two lines.", L" Then more follows."}},
    {"initial before a blank line", {L"See Appendix B.", L"\n\nThe next part."}},
    {"initial before a single line break", {L"See Appendix B.\nThe next part."}},
    {"blank lines at the very end stay", {L"Last line.\n\n\n"}},
};

// A number or dotted number that starts a text (the segment, a line, or the text after a code, as
// the unit writer gives codes) numbers a heading or an item and ends no segment; one after a word
// still ends its sentence, and a blank line still ends the paragraph.
const SentenceCase kNumbers[] = {
    {"numbered heading", {L"1. Introduction"}},
    {"dotted number", {L"8.1.3. Locale"}},
    {"heading after a code",
     {L"<bpt id=\"1\"><![CDATA[<h2 class=\"title\">]]></bpt>8.1.3. Locale settings<ept "
      L"id=\"1\"><![CDATA[</h2>]]></ept>"}},
    {"item after a line-break code and blanks", {L"Steps:<ph id=\"2\"><![CDATA[<newline>]]></ph>  2. Open it"}},
    {"items on their own lines", {L"Contents\n1. Introduction\n 2. Usage"}},
    {"item after a sentence", {L"It is done.", L" 2. Next steps"}},
    {"a number ending a sentence", {L"It was 2019.", L" Then it stopped."}},
    {"a number before a blank line", {L"1.", L"\n\nIntroduction"}},
};

// Abbreviations a manual uses hold a break back before capitals, numbers and codes alike.
const SentenceCase kManualAbbreviations[] = {
    {"e.g.", {L"Cities, e.g. Paris and Rome, are old."}},
    {"E.g.", {L"E.g. Paris is old."}},
    {"eg.",
     {L"Set a path, eg. <bpt id=\"1\"><![CDATA[<code>]]></bpt>/tmp<ept id=\"1\"><![CDATA[</code>]]></ept> first."}},
    {"i.e.", {L"Capitals, i.e. Paris, are old."}},
    {"ie.", {L"Capitals, ie. Paris, are old."}},
    {"vs.", {L"Paris vs. Rome is a match."}},
    {"cf.", {L"Read on, cf. Chapter 2."}},
    {"approx.", {L"It takes approx. 5 minutes."}},
    {"no.", {L"Item no. 5 is gone.", L" Did it help?", L" No.", L" It did not."}},
    {"etc. before no capital", {L"Fruit, bread, etc. (see below) are sold."}},
    {"etc. at a sentence end", {L"Prices rose etc.", L" The end came."}},
};

// ----- A literal reference of the breaking rules ---------------------------------------------------

// One rule as written: the before expression's matches are taken with the library's own iterator
// over [S, S + p), the after expression is searched (not anchored) with partial matches allowed.
struct ReferenceRule
{
    using Expression = std::variant<boost::wregex, boost::u32regex>;
    std::optional<Expression> before;
    std::optional<Expression> after;

    static std::optional<Expression> Compile(const wxString& sText)
    {
        if (sText.empty())
            return std::nullopt;
        try
        {
            return Expression(boost::wregex(sText.ToStdWstring()));
        }
        catch (const std::exception&)
        {
            return Expression(boost::make_u32regex(sText.ToStdWstring().c_str()));
        }
    }

    explicit ReferenceRule(const CVRSRXRule& rule)
        : before(Compile(rule.GetBeforeText())), after(Compile(rule.GetAfterText()))
    {
    }

    int Match(const wchar_t* S, int p, const wchar_t* E) const
    {
        if (before)
        {
            bool bEndsAtP = false;
            if (const auto* pWide = std::get_if<boost::wregex>(&*before))
            {
                for (boost::wcregex_iterator it(S, S + p, *pWide), end; it != end && !bEndsAtP; ++it)
                    bEndsAtP = (*it)[0].second == S + p;
            }
            else
            {
                const auto& re = std::get<boost::u32regex>(*before);
                for (boost::u32regex_iterator<const wchar_t*> it(S, S + p, re), end; it != end && !bEndsAtP; ++it)
                    bEndsAtP = (*it)[0].second == S + p;
            }
            if (!bEndsAtP)
                return -1;
        }
        if (after)
        {
            boost::wcmatch what;
            const auto flags = boost::match_default | boost::match_partial;
            bool bFound;
            if (const auto* pWide = std::get_if<boost::wregex>(&*after))
                bFound = boost::regex_search(S + p, E, what, *pWide, flags);
            else
                bFound = boost::u32regex_search(S + p, E, what, std::get<boost::u32regex>(*after), flags);
            if (!bFound || what[0].first != S + p)
                return -1;
            return what[0].matched ? 1 : 0;
        }
        return 1;
    }
};

// The break search as written: every rule matched from scratch, the scan position kept as stated.
class ReferenceBreaker
{
public:
    explicit ReferenceBreaker(const CVRSRXDoc& doc)
    {
        for (const CVRSRXRule& rule : doc.GetBreakRules())
            m_aBreaks.emplace_back(rule);
        for (const CVRSRXRule& rule : doc.GetExceptionRules())
            m_aExceptions.emplace_back(rule);
    }

    std::vector<int> Breaks(const std::wstring& sText)
    {
        std::vector<int> anBreaks;
        m_nScan = 1;
        int nConsumed = 0;
        for (int j = 1; j < static_cast<int>(sText.size()); ++j)
        {
            const int nBreak = Find(sText.data() + nConsumed, sText.data() + j);
            if (nBreak > 0)
            {
                anBreaks.push_back(nBreak);
                nConsumed += nBreak;
            }
        }
        return anBreaks;
    }

private:
    int Find(const wchar_t* S, const wchar_t* E)
    {
        const int n = static_cast<int>(E - S);
        int p;
        for (p = m_nScan; p < n; ++p)
        {
            bool bException = false;
            for (const ReferenceRule& rule : m_aExceptions)
            {
                const int r = rule.Match(S, p, E);
                if (r == 0)
                    return -1;
                if (r == 1)
                {
                    bException = true;
                    break;
                }
            }
            if (bException)
                continue;
            for (const ReferenceRule& rule : m_aBreaks)
            {
                const int r = rule.Match(S, p, E);
                if (r == 0)
                    return -1;
                if (r == 1)
                {
                    m_nScan = 1;
                    return p;
                }
            }
        }
        m_nScan = p;
        return -1;
    }

    std::vector<ReferenceRule> m_aBreaks;
    std::vector<ReferenceRule> m_aExceptions;
    int m_nScan = 1;
};

std::wstring RandomText(int nMaxLength)
{
    static const wchar_t kAlphabet[] = L"aaabbxyMrDXÉé..!? \n";
    const int nAlphabet = static_cast<int>(std::size(kAlphabet)) - 1;
    std::wstring s;
    const int nLength = std::rand() % (nMaxLength + 1);
    for (int i = 0; i < nLength; ++i)
        s += kAlphabet[std::rand() % nAlphabet];
    return s;
}

std::string Printable(const std::wstring& s)
{
    return wxString(s).utf8_string();
}

// The row's text cut by the rules gives the row's segments.
void ExpectSegments(CVRSRXDoc& doc, const SentenceCase& c)
{
    const std::vector<std::wstring> asSegments = Segment(doc, Join(c.asSegments));
    EXPECT_EQ(asSegments, c.asSegments) << [&]
    {
        std::string s;
        for (const std::wstring& sSegment : asSegments)
            s += "[" + Printable(sSegment) + "]";
        return s;
    }();
}
} // namespace

TEST_F(SRXTest, ShippedRulesSegmentEachLanguageTheyCover)
{
    const wxString sPath = wxString::FromUTF8(LINTRADO_DATA_DIR) + "/Default.srx";
    for (const SentenceCase& c : kSentences)
    {
        SCOPED_TRACE(c.szLanguage);
        CVRSRXDoc doc(sPath);
        doc.SetLanguage(c.szLanguage);
        ExpectSegments(doc, c);
    }
}

TEST_F(SRXTest, ShippedRulesMapTheRegionalTagsOfEachLanguage)
{
    const wxString sPath = wxString::FromUTF8(LINTRADO_DATA_DIR) + "/Default.srx";
    const char* kTags[] = {"en", "EN-AU", "de-CH", "fr-CA", "es-MX", "es-419", "it-CH", "nl-BE", "pt-PT"};
    for (const char* szTag : kTags)
    {
        SCOPED_TRACE(szTag);
        CVRSRXDoc doc(sPath);
        doc.SetLanguage(szTag);
        // Every mapped language has abbreviation lists besides the initials rule of the fallback.
        EXPECT_GT(doc.GetNumExceptionRules(), 1);
    }
}

// The kept scan progress and the anchored after-break attempt against the rules as written, on
// random texts full of the characters the rules react to (ends of text, empty matches, \G, $,
// look-ahead at the cut, unbounded before-break expressions, repeated rules, boundaries and line
// starts that depend on the character before a match, sets that ignore case).
TEST_F(SRXTest, BreaksEqualThoseOfTheLiteralRulesOnRandomTexts)
{
    std::srand(20240607);
    for (const char* szRuleSet : {"mixed", "breaks-only"})
    {
        SCOPED_TRACE(szRuleSet);
        CVRSRXDoc doc(Fixture("differential.srx"));
        doc.SetLanguage(szRuleSet);
        doc.SetLanguage(szRuleSet);
        ReferenceBreaker reference(doc);
        for (int i = 0; i < 1500; ++i)
        {
            const std::wstring sText = RandomText(48);
            ASSERT_EQ(FindBreaks(doc, sText), reference.Breaks(sText)) << Printable(sText);
        }
    }
}

TEST_F(SRXTest, SingleMatchesEqualThoseOfTheLiteralRulesOnRandomTexts)
{
    std::srand(77);
    CVRSRXDoc doc(Fixture("differential.srx"));
    doc.SetLanguage("mixed");
    std::vector<CVRSRXRule> aRules = doc.GetBreakRules();
    aRules.insert(aRules.end(), doc.GetExceptionRules().begin(), doc.GetExceptionRules().end());
    for (const CVRSRXRule& rule : aRules)
    {
        SCOPED_TRACE(rule.GetBeforeText() + " / " + rule.GetAfterText());
        const ReferenceRule reference(rule);
        for (int i = 0; i < 150; ++i)
        {
            const std::wstring sText = RandomText(24);
            const wchar_t* S = sText.data();
            const int n = static_cast<int>(sText.size());
            for (int p = 1; p < n; ++p)
                for (int e = p + 1; e <= n; ++e)
                    ASSERT_EQ(rule.Match(S, p, S + e), reference.Match(S, p, S + e))
                        << Printable(sText) << " p=" << p << " e=" << e;
        }
    }
}

TEST_F(SRXTest, ShippedRulesEndSegmentsAtBlankLinesInEveryLanguage)
{
    const wxString sPath = wxString::FromUTF8(LINTRADO_DATA_DIR) + "/Default.srx";
    for (const char* szLanguage : {"en", "de", "fr", "es", "it", "nl", "pt", "default"})
    {
        CVRSRXDoc doc(sPath);
        doc.SetLanguage(szLanguage);
        for (const SentenceCase& c : kParagraphs)
        {
            SCOPED_TRACE(std::string(szLanguage) + ": " + c.szLanguage);
            ExpectSegments(doc, c);
        }
    }
}

TEST_F(SRXTest, ShippedRulesKeepNumberedHeadingsAndManualAbbreviations)
{
    const wxString sPath = wxString::FromUTF8(LINTRADO_DATA_DIR) + "/Default.srx";
    for (const char* szLanguage : {"en", "de", "fr", "es", "it", "nl", "pt", "default"})
    {
        CVRSRXDoc doc(sPath);
        doc.SetLanguage(szLanguage);
        for (const SentenceCase& c : kNumbers)
        {
            SCOPED_TRACE(std::string(szLanguage) + ": " + c.szLanguage);
            ExpectSegments(doc, c);
        }
    }
    CVRSRXDoc english(sPath);
    english.SetLanguage("en");
    for (const SentenceCase& c : kManualAbbreviations)
    {
        SCOPED_TRACE(c.szLanguage);
        ExpectSegments(english, c);
    }
}

// Abbreviations that hold a break back do not hold back a paragraph end.
TEST_F(SRXTest, ShippedAbbreviationsDoNotSpanBlankLines)
{
    const wxString sPath = wxString::FromUTF8(LINTRADO_DATA_DIR) + "/Default.srx";
    const SentenceCase cases[] = {
        {"en", {L"Ask Mr.", L"\n\nSmith said no."}},
        {"en", {L"Ask Mr.\nSmith today."}},
        {"en", {L"Listed under No.", L"\n \n5 items remain."}},
        {"en", {L"Listed under No.\n5 items remain."}},
        {"de", {L"Siehe S.", L"\n\nNeuer Absatz."}},
        {"de", {L"Am 3.", L"\n\nMai."}},
        {"de", {L"Am 3.\nMai kam er."}},
        {"fr", {L"Voir M.", L"\n\nDupont."}},
    };
    for (const SentenceCase& c : cases)
    {
        const std::wstring sText = Join(c.asSegments);
        SCOPED_TRACE(std::string(c.szLanguage) + ": " + Printable(sText));
        CVRSRXDoc doc(sPath);
        doc.SetLanguage(c.szLanguage);
        EXPECT_EQ(Segment(doc, sText), c.asSegments);
    }
}

// A manual-like text: headings without full stops, introductions ending in a colon, paragraphs of
// several sentences, some wrapped over lines, blank lines sometimes holding spaces.
TEST_F(SRXTest, NoSegmentOfAGeneratedTextHoldsABlankLine)
{
    std::srand(4242);
    std::wstring sText;
    int nParagraphs = 0;
    for (int i = 0; i < 400; ++i, ++nParagraphs)
    {
        if (i > 0)
            sText += std::rand() % 4 == 0 ? L"\n \t\n" : L"\n\n";
        const int nKind = std::rand() % 4;
        if (nKind == 0)
            sText += tGenFakeSentence(1, 5, true, L"en").ToStdWstring(); // a heading
        else if (nKind == 1)
            sText += tGenFakeSentence(4, 12, true, L"en").ToStdWstring() + L":";
        else
        {
            const int nSentences = 1 + std::rand() % 4;
            for (int k = 0; k < nSentences; ++k)
            {
                if (k > 0)
                    sText += std::rand() % 3 == 0 ? L"\n" : L" ";
                sText += tGenFakeSentence(3, 14, true, L"en").ToStdWstring() + (k % 2 ? L"?" : L".");
            }
        }
    }
    CVRSRXDoc doc(wxString::FromUTF8(LINTRADO_DATA_DIR) + "/Default.srx");
    doc.SetLanguage("en");
    const std::vector<std::wstring> asSegments = Segment(doc, sText);
    EXPECT_EQ(Join(asSegments), sText);
    EXPECT_GE(static_cast<int>(asSegments.size()), nParagraphs);
    const boost::wregex blankLine(L"\\S[ \\t]*\\n[ \\t]*\\n\\s*\\S");
    for (const std::wstring& sSegment : asSegments)
        EXPECT_FALSE(boost::regex_search(sSegment, blankLine)) << Printable(sSegment);
}
