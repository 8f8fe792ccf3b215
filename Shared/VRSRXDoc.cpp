#include "Shared/VRSRXDoc.h"

#include "import/SRXImporter.h"
#include "varnak/include/TextFailure.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"

#include <boost/regex.hpp>
#include <boost/regex/icu.hpp>

#include <bitset>
#include <cstddef>
#include <cwchar>
#include <exception>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <variant>

struct CVRSRXExpression
{
    std::variant<boost::wregex, boost::u32regex> regex;
    // \G means "where this search began", which a scan resumed part-way cannot reproduce: such an
    // expression is always scanned from the segment start.
    bool bResumable = true;
    // The expression has no look-around, conditional, recursion or \G: whether an attempt at a
    // position can match then depends only on the character there and the one before it, so the
    // characters no attempt can start with are found once (on first use, by trying each of the
    // first 256 characters after each kind of character before it) and passed over at no cost.
    bool bFilterable = false;
    mutable std::once_flag filterOnce;
    // Characters a match or partial match can start with; characters beyond 256 always may.
    mutable std::bitset<256> abCanStart;
    // Whether the expression can match empty text after some character, or at the start.
    mutable bool bMatchesEmpty = true;
};

namespace
{
// Assertion sites report fixed numbers, not source lines: reports already filed name these, so
// they must not move when the file is edited.
constexpr int kAssertBadBreakValue = 277; // a rule's break attribute is neither yes nor no
constexpr int kAssertNoLanguageSet = 308; // segment breaks asked for before a language was set

// ----- Compiling ---------------------------------------------------------------------------------

// The long name of a one-letter general category, which Boost would otherwise take for a class
// name of its own ("L" is its "lower"); other names are returned as they stand.
std::wstring CategoryName(const std::wstring& sName)
{
    if (sName.size() != 1)
        return sName;
    switch (sName[0])
    {
    case L'L':
    case L'l':
        return L"Letter";
    case L'M':
    case L'm':
        return L"Mark";
    case L'N':
    case L'n':
        return L"Number";
    case L'P':
    case L'p':
        return L"Punctuation";
    case L'S':
    case L's':
        return L"Symbol";
    case L'Z':
    case L'z':
        return L"Separator";
    case L'C':
    case L'c':
        return L"Other";
    default:
        return sName;
    }
}

// Rewrites Unicode property classes into the forms Boost's ICU support reads as SRX means them:
// one-letter categories by their long names, and \p{..} / \P{..} inside a set as [:..:] / [:^..:]
// (Boost takes "\p" inside a set for a plain "p"). Everything else is copied unchanged.
std::wstring NormaliseUnicodeClasses(const std::wstring& sIn)
{
    if (sIn.find(L"\\p") == std::wstring::npos && sIn.find(L"\\P") == std::wstring::npos)
        return sIn;
    std::wstring sOut;
    sOut.reserve(sIn.size() + 16);
    const size_t n = sIn.size();
    bool bInSet = false;
    for (size_t i = 0; i < n; ++i)
    {
        const wchar_t c = sIn[i];
        if (c == L'\\' && i + 1 < n)
        {
            const wchar_t d = sIn[i + 1];
            if (d == L'Q')
            {
                // Quoted text up to \E is literal.
                const size_t nEnd = sIn.find(L"\\E", i + 2);
                const size_t nStop = nEnd == std::wstring::npos ? n : nEnd + 2;
                sOut.append(sIn, i, nStop - i);
                i = nStop - 1;
                continue;
            }
            if ((d == L'p' || d == L'P') && i + 2 < n)
            {
                std::wstring sName;
                size_t nNext;
                if (sIn[i + 2] == L'{')
                {
                    const size_t nClose = sIn.find(L'}', i + 3);
                    if (nClose == std::wstring::npos)
                    {
                        sOut.append(sIn, i, std::wstring::npos);
                        break;
                    }
                    sName = sIn.substr(i + 3, nClose - i - 3);
                    nNext = nClose + 1;
                }
                else
                {
                    sName = sIn.substr(i + 2, 1);
                    nNext = i + 3;
                }
                sName = CategoryName(sName);
                if (bInSet)
                    sOut += (d == L'p' ? L"[:" : L"[:^") + sName + L":]";
                else
                    sOut += std::wstring(1, L'\\') + d + L"{" + sName + L"}";
                i = nNext - 1;
                continue;
            }
            sOut += c;
            sOut += d;
            ++i;
            continue;
        }
        if (!bInSet && c == L'[')
        {
            bInSet = true;
            sOut += c;
            size_t j = i + 1;
            if (j < n && sIn[j] == L'^')
                sOut += sIn[j++];
            if (j < n && sIn[j] == L']')
                sOut += sIn[j++];
            i = j - 1;
            continue;
        }
        if (bInSet && c == L'[' && i + 1 < n && (sIn[i + 1] == L':' || sIn[i + 1] == L'=' || sIn[i + 1] == L'.'))
        {
            const wchar_t szClose[3] = {sIn[i + 1], L']', 0};
            const size_t nClose = sIn.find(szClose, i + 2);
            const size_t nStop = nClose == std::wstring::npos ? n : nClose + 2;
            sOut.append(sIn, i, nStop - i);
            i = nStop - 1;
            continue;
        }
        if (bInSet && c == L']')
            bInSet = false;
        sOut += c;
    }
    return sOut;
}

// Whether every group of the text is plain, independent or sets options ("(?:", "(?>", "(?i)",
// "(?-i:" ...), and \G does not occur: no look-ahead or look-behind (which look past the character
// at an attempt's start and the one before it), conditional or recursion.
bool HasOnlyPlainGroups(const std::wstring& sText)
{
    if (sText.find(L"\\G") != std::wstring::npos)
        return false;
    for (size_t i = sText.find(L"(?"); i != std::wstring::npos; i = sText.find(L"(?", i + 2))
    {
        const wchar_t c = i + 2 < sText.size() ? sText[i + 2] : L'\0';
        const wchar_t d = i + 3 < sText.size() ? sText[i + 3] : L'\0';
        const bool bOption = std::wcschr(L"imsx", c) || (c == L'-' && std::wcschr(L"imsx", d));
        if (c != L':' && c != L'>' && !(c != L'\0' && bOption))
            return false;
    }
    return true;
}

wxString MessageText(const std::exception& e)
{
    wxString s = wxString::FromUTF8(e.what());
    if (s.empty() && e.what()[0])
        s = wxString::From8BitData(e.what());
    return s;
}

// Whether the text uses a Unicode property class (\p or \P, escaped backslashes aside) and ends
// in no open escape: the only texts worth the ICU-aware compiler. That compiler reads past the end
// of some texts the wide one refuses (a set ending in a backslash), so nothing else goes to it.
bool NeedsUnicodeCompiler(const std::wstring& sText)
{
    bool bProperty = false;
    for (size_t i = 0; i < sText.size(); ++i)
    {
        if (sText[i] != L'\\')
            continue;
        if (i + 1 == sText.size())
            return false;
        if (sText[i + 1] == L'p' || sText[i + 1] == L'P')
            bProperty = true;
        ++i;
    }
    return bProperty;
}

// Compiles a rule text with the plain wide expressions first, and with the ICU-aware ones when
// those reject a text with Unicode property classes. Throws TextFailure with the wide compiler's
// message when neither accepts it.
std::shared_ptr<const CVRSRXExpression> Compile(const wxString& sText)
{
    const std::wstring sPattern = NormaliseUnicodeClasses(sText.ToStdWstring());
    auto pExpr = std::make_shared<CVRSRXExpression>();
    pExpr->bResumable = sPattern.find(L"\\G") == std::wstring::npos;
    pExpr->bFilterable = HasOnlyPlainGroups(sPattern);
    try
    {
        pExpr->regex.emplace<boost::wregex>(sPattern);
        return pExpr;
    }
    catch (const std::exception& eWide)
    {
        if (!NeedsUnicodeCompiler(sText.ToStdWstring()))
            throw TextFailure(MessageText(eWide));
        try
        {
            pExpr->regex.emplace<boost::u32regex>(boost::make_u32regex(sPattern.c_str()));
            return pExpr;
        }
        catch (const std::exception&)
        {
            throw TextFailure(MessageText(eWide));
        }
    }
}

// ----- Matching ----------------------------------------------------------------------------------

// Thrown through the expression engine (which unwinds its own state) when a budget is spent.
struct BudgetSpent
{
};

// What an engine run looked at: whether it compared two iterators standing at the end of the text
// (the only way its result can depend on where the text ends), and the furthest position it went.
struct EndProbe
{
    const wchar_t* pEnd = nullptr;
    const wchar_t* pReach = nullptr;
    bool bTouched = false;
    // Every move and comparison of an iterator is one step of work taken from it; none when null.
    CVRSRXRule::Budget* pBudget = nullptr;

    void Step()
    {
        if (pBudget && --pBudget->nLeft < 0)
            throw BudgetSpent();
    }
};

// A text iterator that reports to an EndProbe. Bidirectional on purpose: the engine then learns
// about the end only through comparisons, never through distances.
class ProbeIterator
{
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    ProbeIterator() = default;
    ProbeIterator(const wchar_t* p, EndProbe* pProbe) : m_p(p), m_pProbe(pProbe) {}

    reference operator*() const { return *m_p; }
    ProbeIterator& operator++()
    {
        m_pProbe->Step();
        if (++m_p > m_pProbe->pReach)
            m_pProbe->pReach = m_p;
        return *this;
    }
    ProbeIterator operator++(int)
    {
        ProbeIterator old = *this;
        ++*this;
        return old;
    }
    ProbeIterator& operator--()
    {
        m_pProbe->Step();
        --m_p;
        return *this;
    }
    ProbeIterator operator--(int)
    {
        ProbeIterator old = *this;
        --*this;
        return old;
    }
    friend bool operator==(const ProbeIterator& a, const ProbeIterator& b)
    {
        if (EndProbe* pProbe = a.m_pProbe ? a.m_pProbe : b.m_pProbe)
            pProbe->Step();
        if (a.m_p != b.m_p)
            return false;
        if (a.m_pProbe && a.m_p == a.m_pProbe->pEnd)
            a.m_pProbe->bTouched = true;
        return true;
    }
    friend bool operator!=(const ProbeIterator& a, const ProbeIterator& b) { return !(a == b); }

    const wchar_t* Get() const { return m_p; }

private:
    const wchar_t* m_p = nullptr;
    EndProbe* m_pProbe = nullptr;
};

// The characters an attempt of the expression can start with, and whether it can match empty text:
// each of the first 256 characters is tried as a text of its own, at the start and after a letter,
// a space and a line feed (the only properties of the character before that the expression can
// test: word or not, line end or not, none). An attempt that would match, or run into the end of
// the text, counts; so does one the library gives up on.
template <class Regex> void BuildStartFilter(const Regex& re, const CVRSRXExpression& expr)
{
    const wchar_t aszBefore[] = {0, L'a', L' ', L'\n'};
    wchar_t aText[2];
    auto tries = [&](int nBefore, bool bOneChar, boost::match_flag_type flags)
    {
        aText[0] = aszBefore[nBefore];
        EndProbe probe;
        probe.pEnd = aText + (bOneChar ? 2 : 1);
        probe.pReach = aText + 1;
        const ProbeIterator itFirst(aText + 1, &probe);
        const ProbeIterator itBase(nBefore == 0 ? aText + 1 : aText, &probe);
        boost::match_results<ProbeIterator> what;
        try
        {
            return boost::regex_search(itFirst, ProbeIterator(probe.pEnd, &probe), what, re,
                                       flags | boost::match_continuous, itBase);
        }
        catch (const std::exception&)
        {
            return true;
        }
    };
    for (int c = 0; c < 256; ++c)
    {
        aText[1] = static_cast<wchar_t>(c);
        bool bCan = false;
        for (int nBefore = 0; nBefore < 4 && !bCan; ++nBefore)
            bCan = tries(nBefore, true, boost::match_default | boost::match_partial);
        expr.abCanStart[static_cast<size_t>(c)] = bCan;
    }
    bool bEmpty = false;
    for (int nBefore = 0; nBefore < 4 && !bEmpty; ++nBefore)
        bEmpty = tries(nBefore, false, boost::match_default);
    expr.bMatchesEmpty = bEmpty;
}

// The expression's start filter, built on first use; null when it has none.
const CVRSRXExpression* StartFilter(const CVRSRXExpression& expr)
{
    if (!expr.bFilterable)
        return nullptr;
    std::call_once(expr.filterOnce,
                   [&] { std::visit([&](const auto& re) { BuildStartFilter(re, expr); }, expr.regex); });
    return &expr;
}

// Whether an attempt at the character c may match: false only when the start filter rules it out.
bool CanStart(const CVRSRXExpression& filter, wchar_t c)
{
    const auto nCode = static_cast<long>(c);
    return nCode < 0 || nCode > 255 || filter.abCanStart[static_cast<size_t>(nCode)];
}

// The before-break condition: does the expression, taking its matches one after another over
// [pStart, pStart + nPos) as an iterator does, have a match that ends at pStart + nPos?
//
// The scan is split into single attempts at one start position each (leftmost start first, as a
// search takes them). An attempt that never met the end of the text gives the same result for every
// longer prefix, so such settled attempts are kept in progress and the next query resumes after
// them.
//
// With a start filter, start positions whose character no attempt can start with are passed over
// (settled: the attempt could only fail there, whatever follows), and so is the start at the end of
// the prefix when the expression cannot match empty text, so that a position costs an attempt of
// the engine only where a match may start.
template <class Regex>
bool ScanBefore(const Regex& re, const CVRSRXExpression* pFilter, const wchar_t* pStart, int nPos,
                CVRSRXRule::Progress& progress, CVRSRXRule::Budget* pBudget)
{
    EndProbe probe;
    probe.pEnd = pStart + nPos;
    probe.pBudget = pBudget;
    const ProbeIterator itBase(pStart, &probe);
    const ProbeIterator itEnd(pStart + nPos, &probe);
    boost::match_results<ProbeIterator> what;

    int nSearchStart = progress.nSearchStart;
    int nStart = progress.nNextStart;
    bool bAfterEmpty = progress.bAfterEmpty;
    bool bSettled = true;
    // While every attempt so far is settled, the next query resumes where this one is now.
    auto keep = [&](int nReach)
    {
        if (!bSettled)
            return;
        progress.nSearchStart = nSearchStart;
        progress.nNextStart = nStart;
        progress.bAfterEmpty = bAfterEmpty;
        if (nReach > progress.nReach)
            progress.nReach = nReach;
    };
    while (nStart <= nPos)
    {
        if (pFilter && nStart < nPos && !CanStart(*pFilter, pStart[nStart]))
        {
            while (nStart < nPos && !CanStart(*pFilter, pStart[nStart]))
                ++nStart;
            keep(nStart);
            continue;
        }
        if (pFilter && nStart == nPos && !pFilter->bMatchesEmpty)
            break;
        boost::match_flag_type flags = boost::match_default | boost::match_continuous;
        if (bAfterEmpty && nStart == nSearchStart)
            flags |= boost::regex_constants::match_not_initial_null;
        probe.bTouched = false;
        probe.pReach = pStart + nStart;
        const bool bFound = boost::regex_search(ProbeIterator(pStart + nStart, &probe), itEnd, what, re, flags, itBase);
        bSettled = bSettled && !probe.bTouched && nStart < nPos;
        const int nReach = static_cast<int>(probe.pReach - pStart);
        if (bFound)
        {
            const int nMatchEnd = static_cast<int>(what[0].second.Get() - pStart);
            if (nMatchEnd == nPos)
                return true;
            bAfterEmpty = nMatchEnd == nStart;
            nSearchStart = nStart = nMatchEnd;
        }
        else
        {
            ++nStart;
        }
        keep(nReach);
    }
    return false;
}

// The same condition scanned as an iterator does, from the segment start, for expressions that
// cannot resume part-way.
template <class Regex>
bool ScanBeforeWhole(const Regex& re, const wchar_t* pStart, int nPos, CVRSRXRule::Budget* pBudget)
{
    const wchar_t* const pEnd = pStart + nPos;
    EndProbe probe;
    probe.pEnd = pEnd;
    probe.pReach = pStart;
    probe.pBudget = pBudget;
    const ProbeIterator itBase(pStart, &probe);
    const ProbeIterator itEnd(pEnd, &probe);
    boost::match_results<ProbeIterator> what;
    ProbeIterator itSearch = itBase;
    boost::match_flag_type flags = boost::match_default;
    while (boost::regex_search(itSearch, itEnd, what, re, flags, itBase))
    {
        const wchar_t* const pFirst = what[0].first.Get();
        const wchar_t* const pSecond = what[0].second.Get();
        if (pSecond == pEnd)
            return true;
        flags = boost::match_default;
        if (pFirst == pSecond)
            flags |= boost::regex_constants::match_not_initial_null;
        itSearch = ProbeIterator(pSecond, &probe);
    }
    return false;
}

// The after-break result at the start of [pFrom, pEnd), a text of its own: 1 for a complete match
// starting there, 0 for a partial one, -1 for none. Only the attempt at pFrom is made: a search
// would return the leftmost complete or partial match, so an attempt that fails there gives -1
// either way.
// With a start filter, a first character that no attempt can start with gives -1 at once.
template <class Regex>
int ScanAfter(const Regex& re, const CVRSRXExpression* pFilter, const wchar_t* pFrom, const wchar_t* pEnd,
              CVRSRXRule::Budget* pBudget)
{
    if (pFilter && pFrom < pEnd && !CanStart(*pFilter, *pFrom))
        return -1;
    EndProbe probe;
    probe.pEnd = pEnd;
    probe.pReach = pFrom;
    probe.pBudget = pBudget;
    const ProbeIterator itFrom(pFrom, &probe);
    boost::match_results<ProbeIterator> what;
    if (!boost::regex_search(itFrom, ProbeIterator(pEnd, &probe), what, re,
                             boost::match_default | boost::match_partial | boost::match_continuous, itFrom))
        return -1;
    if (what[0].first.Get() != pFrom)
        return -1;
    return what[0].matched ? 1 : 0;
}

// ----- Errors of SetLanguage ---------------------------------------------------------------------

const char* const kaszErrors[] = {
    "",
    "Invalid SRX File: no maprule elements present",
    "Invalid SRX File: no languagemap elements present",
    "Invalid SRX File: missing languagepattern attribute",
    "Invalid SRX File: missing languagerulename attribute",
    "Invalid SRX File: empty languagerulename attribute",
    "Invalid SRX File: no languagerule elements",
    nullptr, // composed with its arguments: kszNoRuleSetForMap
    "Invalid SRX File: languagerule contains no rule elements",
    "Invalid SRX File: rule element with missing break attribute",
    "Invalid SRX File: rule contains no beforebreak element",
    "Invalid SRX File: rule contains no afterbreak element",
    "Invalid SRX File: beforebreak element is empty",
    "Invalid SRX File: afterbreak element is empty",
};

const wchar_t* const kszNoRuleSetForMap =
    L"Invalid SRX File: no languagerule element to match name specified in languagemap element %s for language %s";

[[noreturn]] void Fail(int nError)
{
    tcLog::LogStr(kaszErrors[nError]);
    throw TextFailure(wxString::FromUTF8(kaszErrors[nError]));
}

// Descendants of a kind below pNode in document order; none when the kind is missing.
std::vector<tcNode*> Descendants(const tcNode* pNode, const tcElement* pKind)
{
    std::vector<tcNode*> apOut;
    if (pNode && pKind)
        pNode->FindDescendantsOfElementType(pKind->GetID(), apOut);
    return apOut;
}

// Rule text as the document writes it as XML; CDATA sections count as their text.
wxString RuleText(const tcNode* pNode)
{
    return pNode->GenerateXMLChildren(true, false);
}
} // namespace

// ----- CVRSRXRule --------------------------------------------------------------------------------

CVRSRXRule::CVRSRXRule(const wxString& sBefore, const wxString& sAfter)
    : m_bHasBefore(!sBefore.empty()), m_bHasAfter(!sAfter.empty()), m_sBefore(sBefore), m_sAfter(sAfter)
{
    tcDebugInfo dbg("CVRSRXRule::CVRSRXRule");
    if (m_bHasBefore)
        m_pBefore = Compile(sBefore);
    if (m_bHasAfter)
        m_pAfter = Compile(sAfter);
}

CVRSRXRule::~CVRSRXRule()
{
    tcDebugInfo dbg("CVRSRXRule::~CVRSRXRule");
    m_pBefore.reset();
    m_pAfter.reset();
}

CVRSRXRule::CVRSRXRule(const CVRSRXRule& other) = default;
CVRSRXRule& CVRSRXRule::operator=(const CVRSRXRule& other) = default;

bool CVRSRXRule::SameTexts(const CVRSRXRule& other) const
{
    return m_sBefore == other.m_sBefore && m_sAfter == other.m_sAfter;
}

int CVRSRXRule::Match(const wchar_t* pStart, int nPos, const wchar_t* pEnd) const
{
    Progress progress;
    return Match(pStart, nPos, pEnd, progress);
}

int CVRSRXRule::Match(const wchar_t* pStart, int nPos, const wchar_t* pEnd, Progress& progress) const
{
    return Match(pStart, nPos, pEnd, progress, nullptr);
}

int CVRSRXRule::Match(const wchar_t* pStart, int nPos, const wchar_t* pEnd, Progress& progress, Budget* pBudget) const
{
    tcDebugInfo dbg("CVRSRXRule::Match");
    if (!pStart || nPos < 0 || !pEnd || pEnd - pStart < nPos)
        return -1;
    if (pBudget && pBudget->bExhausted)
        return -1;
    try
    {
        if (m_bHasBefore && !BeforeHolds(pStart, nPos, progress, pBudget))
            return -1;
        if (m_bHasAfter)
            return AfterResult(pStart, nPos, pEnd, pBudget);
        return 1;
    }
    catch (const BudgetSpent&)
    {
        pBudget->bExhausted = true;
        kvLog(L"SRX rule given up for the rest of the unit, it takes too long to match (before \"%s\", after \"%s\")",
              m_sBefore, m_sAfter);
        return -1;
    }
    catch (const std::exception& e)
    {
        // The expression library gives up on matches that grow too complex; the rule then does not
        // apply here, and the unit is still segmented by the others.
        if (!progress.bFailureLogged)
        {
            progress.bFailureLogged = true;
            kvLog(L"SRX rule not matched (before \"%s\", after \"%s\"): %s", m_sBefore, m_sAfter, MessageText(e));
        }
        return -1;
    }
}

bool CVRSRXRule::BeforeHolds(const wchar_t* pStart, int nPos, Progress& progress, Budget* pBudget) const
{
    if (progress.pStart != pStart)
    {
        progress = Progress();
        progress.pStart = pStart;
    }
    const size_t nIndex = static_cast<size_t>(nPos);
    if (nIndex < progress.aKnown.size() && progress.aKnown[nIndex] != 0)
        return progress.aKnown[nIndex] == 1;

    bool bHolds;
    const CVRSRXExpression* pFilter = StartFilter(*m_pBefore);
    if (!m_pBefore->bResumable)
    {
        bHolds =
            std::visit([&](const auto& re) { return ScanBeforeWhole(re, pStart, nPos, pBudget); }, m_pBefore->regex);
    }
    else if (progress.nReach < nPos && progress.nNextStart <= nPos)
    {
        bHolds = std::visit([&](const auto& re) { return ScanBefore(re, pFilter, pStart, nPos, progress, pBudget); },
                            m_pBefore->regex);
    }
    else
    {
        // A shorter prefix than the settled steps looked at (a position examined again out of
        // order): scan it on its own without disturbing the kept progress.
        Progress fresh;
        fresh.pStart = pStart;
        bHolds = std::visit([&](const auto& re) { return ScanBefore(re, pFilter, pStart, nPos, fresh, pBudget); },
                            m_pBefore->regex);
    }
    if (progress.aKnown.size() <= nIndex)
        progress.aKnown.resize(nIndex + 1 + nIndex / 2, 0);
    progress.aKnown[nIndex] = bHolds ? 1 : 2;
    return bHolds;
}

int CVRSRXRule::AfterResult(const wchar_t* pStart, int nPos, const wchar_t* pEnd, Budget* pBudget) const
{
    const wchar_t* pFrom = pStart + nPos;
    const CVRSRXExpression* pFilter = StartFilter(*m_pAfter);
    return std::visit([&](const auto& re) { return ScanAfter(re, pFilter, pFrom, pEnd, pBudget); }, m_pAfter->regex);
}

// ----- CVRSRXDoc ---------------------------------------------------------------------------------

CVRSRXDoc::CVRSRXDoc(const wxString& sPath)
{
    tcDebugInfo dbg("CVRSRXDoc::CVRSRXDoc");
    m_pDoc = std::make_unique<tcDocument>();
    m_pDoc->SetHeldByProgram(true); // scripts may edit the rules, not free them
    m_pIO = g_pIORegistry->AllocateIO(SRXImporterGUID());
    if (!m_pIO)
        throw TextFailure("Could not assign an IO handler for type SRX");
    m_pIO->AttachDoc(m_pDoc.get());
    m_pIO->OpenDatasource(sPath);
    m_pDoc->CreateDoc("SRX");

    std::vector<unsigned char> abBuffer(8192, 0);
    int nProgress = 0;
    int nResult;
    do
    {
        nResult = m_pIO->LoadDictionary(nProgress, abBuffer.data());
    } while (nResult > 0);
    if (nResult < 0)
    {
        wxString sErrors;
        for (int i = 0; i < m_pIO->GetNumLoadErrors(); ++i)
            sErrors += m_pIO->GetLoadError(i) + "\n";
        m_pIO->DetachDoc();
        throw TextFailure(sErrors);
    }
}

CVRSRXDoc::~CVRSRXDoc()
{
    tcDebugInfo dbg("CVRSRXDoc::~CVRSRXDoc");
    m_pIO->DetachDoc();
    m_pDoc->RecreateDefaultIDAssigner();
    m_pIO.reset();
    m_pDoc->SetHeldByProgram(false);
    m_pDoc->DeleteDoc();
    m_pDoc.reset();
}

void CVRSRXDoc::SetLanguage(const wxString& sLanguage)
{
    tcDebugInfo dbg("CVRSRXDoc::SetLanguage");
    const wxString sKey = sLanguage.Lower();
    const wxString sStored = (sKey == "all" || sKey == "default") ? wxString(".*") : sLanguage;
    const tcDTD* pDTD = m_pDoc->GetDTD();
    const tcNode* pRoot = m_pDoc->GetDictionary();

    // The language maps of the first maprule.
    const std::vector<tcNode*> apMapRules = Descendants(pRoot, pDTD->FindElementByName("maprule"));
    if (apMapRules.empty())
        Fail(1);
    const tcElement* pMapKind = pDTD->FindElementByName("languagemap");
    if (!pMapKind)
        Fail(2);
    const tcAttribute* pPatternAttr = pMapKind->FindAttributeByName("languagepattern");
    if (!pPatternAttr)
        Fail(3);
    const tcAttribute* pMapNameAttr = pMapKind->FindAttributeByName("languagerulename");
    if (!pMapNameAttr)
        Fail(4);
    const std::vector<tcNode*> apMaps = Descendants(apMapRules.front(), pMapKind);
    if (apMaps.empty())
        Fail(2);

    wxString sRuleSet;
    for (const tcNode* pMap : apMaps)
        if (pMap->GetAttributeDisplayAsString(pPatternAttr).Lower() == sKey)
            sRuleSet = pMap->GetAttributeDisplayAsString(pMapNameAttr);
    if (sRuleSet.empty())
        for (const tcNode* pMap : apMaps)
            if (pMap->GetAttributeDisplayAsString(pPatternAttr) == ".*")
                sRuleSet = pMap->GetAttributeDisplayAsString(pMapNameAttr);
    if (sRuleSet.empty())
        Fail(5);

    // The rule set of that name.
    const tcElement* pRuleSetKind = pDTD->FindElementByName("languagerule");
    if (!pRuleSetKind)
        Fail(6);
    const tcAttribute* pRuleSetNameAttr = pRuleSetKind->FindAttributeByName("languagerulename");
    if (!pRuleSetNameAttr)
        Fail(4);
    const std::vector<tcNode*> apRuleSets = Descendants(pRoot, pRuleSetKind);
    if (apRuleSets.empty())
        Fail(6);
    const tcNode* pRuleSet = nullptr;
    for (const tcNode* pCandidate : apRuleSets)
    {
        if (pCandidate->GetAttributeDisplayAsString(pRuleSetNameAttr) == sRuleSet)
        {
            pRuleSet = pCandidate;
            break;
        }
    }
    if (!pRuleSet)
    {
        kvLog(kszNoRuleSetForMap, sRuleSet, sStored);
        throw TextFailure(kvFormat(kszNoRuleSetForMap, sRuleSet, sStored));
    }

    // Its rules.
    const tcElement* pRuleKind = pDTD->FindElementByName("rule");
    if (!pRuleKind)
        Fail(8);
    const tcAttribute* pBreakAttr = pRuleKind->FindAttributeByName("break");
    if (!pBreakAttr)
        Fail(9);
    const std::vector<tcNode*> apRules = Descendants(pRuleSet, pRuleKind);
    if (apRules.empty())
        Fail(8);
    const tcElement* pBeforeKind = pDTD->FindElementByName("beforebreak");
    if (!pBeforeKind)
        Fail(10);
    const tcElement* pAfterKind = pDTD->FindElementByName("afterbreak");
    if (!pAfterKind)
        Fail(11);
    if (!pBeforeKind->AllowsPCDATA())
        Fail(12);
    if (!pAfterKind->AllowsPCDATA())
        Fail(13);

    // Built aside, so that an error leaves the lists as they were.
    std::vector<CVRSRXRule> aBreaks;
    std::vector<CVRSRXRule> aExceptions;
    for (const tcNode* pRule : apRules)
    {
        const tcNode* pBefore = pRule->FindChildElementInChildNodes(pBeforeKind);
        if (!pBefore)
            Fail(10);
        const tcNode* pAfter = pRule->FindChildElementInChildNodes(pAfterKind);
        if (!pAfter)
            Fail(11);
        const wxString sBreak = pRule->GetAttributeDisplayAsString(pBreakAttr);
        const bool bBreak = sBreak == "true" || sBreak == "yes";
        if (!bBreak && sBreak != "false" && sBreak != "no")
        {
            tAssert("VRSRXDoc", kAssertBadBreakValue, "0");
            continue;
        }
        CVRSRXRule rule(RuleText(pBefore), RuleText(pAfter));
        (bBreak ? aBreaks : aExceptions).push_back(rule);
    }

    m_sLanguage = sStored;
    m_aBreakRules.insert(m_aBreakRules.end(), aBreaks.begin(), aBreaks.end());
    m_aExceptionRules.insert(m_aExceptionRules.end(), aExceptions.begin(), aExceptions.end());
    m_nBreakRules = static_cast<int>(m_aBreakRules.size());
    m_nExceptionRules = static_cast<int>(m_aExceptionRules.size());

    auto markRepeats = [](const std::vector<CVRSRXRule>& aRules, std::vector<char>& abRepeated)
    {
        abRepeated.assign(aRules.size(), 0);
        for (size_t i = 0; i < aRules.size(); ++i)
            for (size_t j = 0; j < i && !abRepeated[i]; ++j)
                abRepeated[i] = !abRepeated[j] && aRules[j].SameTexts(aRules[i]);
    };
    markRepeats(m_aBreakRules, m_abBreakRepeated);
    markRepeats(m_aExceptionRules, m_abExceptionRepeated);
    ResetProgress();
    ResetBudgets();
}

void CVRSRXDoc::Clear()
{
    tcDebugInfo dbg("CVRSRXDoc::Clear");
    m_nScanPosition = 1;
    ResetProgress();
    ResetBudgets();
}

void CVRSRXDoc::ResetProgress()
{
    m_aBreakProgress.assign(m_aBreakRules.size(), CVRSRXRule::Progress());
    m_aExceptionProgress.assign(m_aExceptionRules.size(), CVRSRXRule::Progress());
}

void CVRSRXDoc::ResetBudgets()
{
    const CVRSRXRule::Budget fresh{kBudgetBase, false};
    m_aBreakBudgets.assign(m_aBreakRules.size(), fresh);
    m_aExceptionBudgets.assign(m_aExceptionRules.size(), fresh);
    m_pUnitStart = nullptr;
    m_pUnitEnd = nullptr;
}

void CVRSRXDoc::GrowBudgets(const wchar_t* pStart, const wchar_t* pEnd)
{
    // Text outside the span seen so far (a caller that moved to another buffer without Clear)
    // counts as a new span.
    const std::less<const wchar_t*> before;
    if (!m_pUnitStart || before(pStart, m_pUnitStart) || before(m_pUnitEnd, pStart))
    {
        m_pUnitStart = pStart;
        m_pUnitEnd = pStart;
    }
    if (!before(m_pUnitEnd, pEnd))
        return;
    const long long nMore = static_cast<long long>(pEnd - m_pUnitEnd) * kBudgetPerChar;
    m_pUnitEnd = pEnd;
    for (std::vector<CVRSRXRule::Budget>* paBudgets : {&m_aBreakBudgets, &m_aExceptionBudgets})
    {
        for (CVRSRXRule::Budget& budget : *paBudgets)
        {
            if (!budget.bExhausted)
                budget.nLeft += nMore;
        }
    }
}

int CVRSRXDoc::MatchList(const std::vector<CVRSRXRule>& aRules, const std::vector<char>& abRepeated,
                         std::vector<CVRSRXRule::Progress>& aProgress, std::vector<CVRSRXRule::Budget>& aBudgets,
                         const wchar_t* pStart, int nPos, const wchar_t* pEnd)
{
    for (size_t i = 0; i < aRules.size(); ++i)
    {
        if (abRepeated[i])
            continue;
        const int nResult = aRules[i].Match(pStart, nPos, pEnd, aProgress[i], &aBudgets[i]);
        if (nResult != -1)
            return nResult;
    }
    return -1;
}

int CVRSRXDoc::FindNextSegmentBreak(const wchar_t* pStart, const wchar_t* pEnd)
{
    tcDebugInfo dbg("CVRSRXDoc::FindNextSegmentBreak");
    if (m_sLanguage.empty())
        tAssert("VRSRXDoc", kAssertNoLanguageSet, "0");
    if (!pStart || !pEnd || pEnd < pStart)
        return -1;
    const std::ptrdiff_t nAvailable = pEnd - pStart;
    const int n = nAvailable > INT32_MAX ? INT32_MAX : static_cast<int>(nAvailable);
    GrowBudgets(pStart, pEnd);

    int p = m_nScanPosition;
    for (; p < n; ++p)
    {
        const int nException = MatchList(m_aExceptionRules, m_abExceptionRepeated, m_aExceptionProgress,
                                         m_aExceptionBudgets, pStart, p, pEnd);
        if (nException == 0)
            return -1;
        if (nException == 1)
            continue;
        const int nBreak =
            MatchList(m_aBreakRules, m_abBreakRepeated, m_aBreakProgress, m_aBreakBudgets, pStart, p, pEnd);
        if (nBreak == 0)
            return -1;
        if (nBreak == 1)
        {
            m_nScanPosition = 1;
            ResetProgress();
            return p;
        }
    }
    m_nScanPosition = p;
    return -1;
}
