#pragma once

#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <string>
#include <vector>

// Regular expressions: Perl syntax (Boost.Regex) on the wide text of a wxString.
//
// - The bool argument of every routine is bCaseSensitive: true matches case exactly, false
//   ignores case (also for letters outside ASCII).
// - "." also matches line breaks, so "<ph.*?</ph>" finds a code that spans lines.
// - Character classes follow the C++ global locale at the time of the call; the program and the
//   test mains set C.UTF-8, under which letters outside ASCII are word characters for \w and \b.
// - A bad pattern, or a match too complex to finish, never throws out of these routines: the
//   error is logged and the routine reports no match (tRegReplace: the text unchanged).
// - Positions and lengths index the wxString that was searched (one unit per code point on this
//   platform), so a caller can splice that string with them; they are not UTF-16 counts.
// - Safe from any thread; compiled patterns are cached per thread.

// One match, or one group of a match.
class tcMatch : public tcLifeNoticed
{
public:
    tcMatch() = default;
    tcMatch(const tcMatch&) = default;
    tcMatch& operator=(const tcMatch&) = default;
    ~tcMatch() { tNotifyDestroyed(this); }

    // Sets the match; a group that took no part in the match has bMatched false, the position
    // wxString::npos, length 0 and an empty text. Clears the submatches.
    void Init(size_t nPos, size_t nLen, const wxString& sStr, bool bMatched = true);
    void AddSubmatch(const tcMatch& submatch);

    size_t GetPos() const { return m_nPos; }
    size_t GetLen() const { return m_nLen; }
    const wxString& GetStr() const { return m_sStr; }
    std::wstring GetStrW() const { return m_sStr.ToStdWstring(); }
    bool Matched() const { return m_bMatched; }

    // The groups of the pattern, in order: GetSubmatch(0) is group 1 ("$1"). An index beyond
    // the groups gives an unmatched, empty match.
    size_t GetNumSubmatches() const { return m_aSubmatches.size(); }
    const tcMatch& GetSubmatch(size_t nIndex) const;

private:
    size_t m_nPos = wxString::npos;
    size_t m_nLen = 0;
    wxString m_sStr;
    bool m_bMatched = false;
    std::vector<tcMatch> m_aSubmatches;
};

// Finds every non-overlapping match, left to right, with its groups, into aMatches (cleared
// first). True when there is at least one.
bool tRegSearch(const wxString& sText, const wxString& sPattern, bool bCaseSensitive, std::vector<tcMatch>& aMatches);

// True when the pattern matches the whole text. When pMatch is given it receives the match and
// its groups (and is reset when there is no match).
bool tRegMatch(const wxString& sText, const wxString& sPattern, bool bCaseSensitive, tcMatch* pMatch = nullptr);

// True when the pattern matches anywhere in the text.
bool tRegContains(const wxString& sText, const wxString& sPattern, bool bCaseSensitive);

// The text with every match replaced by sFormat, in which $1 or \1 (up to 9; ${10} beyond) stand
// for a group, $& for the whole match, and \t, \n for a tab and a line break. "$" and "\" are
// written as "$$" and "\\".
wxString tRegReplace(const wxString& sText, const wxString& sPattern, const wxString& sFormat, bool bCaseSensitive);
std::wstring tRegReplaceW(const std::wstring& sText, const std::wstring& sPattern, const std::wstring& sFormat,
                          bool bCaseSensitive);
