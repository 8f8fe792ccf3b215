#include "varnak/include/tRegex.h"

#include "varnak/include/kvLog.h"

#include <boost/regex.hpp>

#include <exception>
#include <iterator>
#include <locale>
#include <memory>
#include <unordered_map>

namespace
{
typedef std::shared_ptr<const boost::wregex> tRegexPtr;

// Compiling dominates short searches, and the program applies the same few patterns to every
// segment. The key holds the locale's name because a compiled pattern keeps the classification
// of the locale it was built under.
tRegexPtr Compile(const std::wstring& sPattern, bool bCaseSensitive)
{
    thread_local std::unordered_map<std::wstring, tRegexPtr> cache;
    const std::string sLocale = std::locale().name();
    std::wstring sKey(sLocale.begin(), sLocale.end());
    sKey += bCaseSensitive ? L"\x01" : L"\x02";
    sKey += sPattern;
    auto it = cache.find(sKey);
    if (it != cache.end())
        return it->second;

    boost::regex_constants::syntax_option_type flags = boost::regex::perl | boost::regex::mod_s;
    if (!bCaseSensitive)
        flags |= boost::regex::icase;
    auto pRegex = std::make_shared<const boost::wregex>(sPattern, flags); // throws on a bad pattern
    if (cache.size() >= 256)
        cache.clear();
    cache.emplace(std::move(sKey), pRegex);
    return pRegex;
}

void LogFailure(const wchar_t* szRoutine, const std::wstring& sPattern, const std::exception& e)
{
    kvLogError(L"%s: regular expression \"%s\" failed: %S", szRoutine, sPattern.c_str(), e.what());
}

void FillMatch(const boost::match_results<const wchar_t*>& m, const wchar_t* pBegin, tcMatch& match)
{
    match.Init(static_cast<size_t>(m[0].first - pBegin), static_cast<size_t>(m[0].length()), wxString(m[0].str()));
    for (size_t i = 1; i < m.size(); ++i)
    {
        tcMatch group;
        if (m[i].matched)
            group.Init(static_cast<size_t>(m[i].first - pBegin), static_cast<size_t>(m[i].length()),
                       wxString(m[i].str()));
        else
            group.Init(wxString::npos, 0, wxString(), false);
        match.AddSubmatch(group);
    }
}
} // namespace

void tcMatch::Init(size_t nPos, size_t nLen, const wxString& sStr, bool bMatched)
{
    m_bMatched = bMatched;
    m_nPos = bMatched ? nPos : wxString::npos;
    m_nLen = bMatched ? nLen : 0;
    m_sStr = bMatched ? sStr : wxString();
    m_aSubmatches.clear();
}

void tcMatch::AddSubmatch(const tcMatch& submatch)
{
    m_aSubmatches.push_back(submatch);
}

const tcMatch& tcMatch::GetSubmatch(size_t nIndex) const
{
    static const tcMatch& s_none = *new tcMatch; // never destroyed: boxes may point to it
    return nIndex < m_aSubmatches.size() ? m_aSubmatches[nIndex] : s_none;
}

bool tRegSearch(const wxString& sText, const wxString& sPattern, bool bCaseSensitive, std::vector<tcMatch>& aMatches)
{
    aMatches.clear();
    const std::wstring sPat = sPattern.ToStdWstring();
    try
    {
        const tRegexPtr pRegex = Compile(sPat, bCaseSensitive);
        const wchar_t* pBegin = sText.wx_str();
        const wchar_t* pEnd = pBegin + sText.length();
        std::vector<tcMatch> aFound;
        for (boost::regex_iterator<const wchar_t*> it(pBegin, pEnd, *pRegex), end; it != end; ++it)
        {
            aFound.emplace_back();
            FillMatch(*it, pBegin, aFound.back());
        }
        aMatches.swap(aFound);
    }
    catch (const std::exception& e)
    {
        LogFailure(L"tRegSearch", sPat, e);
    }
    return !aMatches.empty();
}

bool tRegMatch(const wxString& sText, const wxString& sPattern, bool bCaseSensitive, tcMatch* pMatch)
{
    if (pMatch)
        *pMatch = tcMatch();
    const std::wstring sPat = sPattern.ToStdWstring();
    try
    {
        const tRegexPtr pRegex = Compile(sPat, bCaseSensitive);
        const wchar_t* pBegin = sText.wx_str();
        boost::match_results<const wchar_t*> m;
        if (!boost::regex_match(pBegin, pBegin + sText.length(), m, *pRegex))
            return false;
        if (pMatch)
            FillMatch(m, pBegin, *pMatch);
        return true;
    }
    catch (const std::exception& e)
    {
        LogFailure(L"tRegMatch", sPat, e);
        if (pMatch)
            *pMatch = tcMatch();
    }
    return false;
}

bool tRegContains(const wxString& sText, const wxString& sPattern, bool bCaseSensitive)
{
    const std::wstring sPat = sPattern.ToStdWstring();
    try
    {
        const tRegexPtr pRegex = Compile(sPat, bCaseSensitive);
        const wchar_t* pBegin = sText.wx_str();
        return boost::regex_search(pBegin, pBegin + sText.length(), *pRegex);
    }
    catch (const std::exception& e)
    {
        LogFailure(L"tRegContains", sPat, e);
    }
    return false;
}

std::wstring tRegReplaceW(const std::wstring& sText, const std::wstring& sPattern, const std::wstring& sFormat,
                          bool bCaseSensitive)
{
    try
    {
        const tRegexPtr pRegex = Compile(sPattern, bCaseSensitive);
        std::wstring sOut;
        boost::regex_replace(std::back_inserter(sOut), sText.begin(), sText.end(), *pRegex, sFormat,
                             boost::format_perl);
        return sOut;
    }
    catch (const std::exception& e)
    {
        LogFailure(L"tRegReplace", sPattern, e);
    }
    return sText;
}

wxString tRegReplace(const wxString& sText, const wxString& sPattern, const wxString& sFormat, bool bCaseSensitive)
{
    return wxString(
        tRegReplaceW(sText.ToStdWstring(), sPattern.ToStdWstring(), sFormat.ToStdWstring(), bCaseSensitive));
}
