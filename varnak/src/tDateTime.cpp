#include "varnak/include/tDateTime.h"

#include <ctime>
#include <string>

namespace
{
// Reads exactly nDigits ASCII digits at s[i] and advances i.
bool ReadDigits(const std::wstring& s, size_t& i, int nDigits, int& nValue)
{
    nValue = 0;
    for (int k = 0; k < nDigits; ++k, ++i)
    {
        if (i >= s.size() || s[i] < L'0' || s[i] > L'9')
            return false;
        nValue = nValue * 10 + (s[i] - L'0');
    }
    return true;
}

bool Expect(const std::wstring& s, size_t& i, wchar_t c)
{
    if (i < s.size() && s[i] == c)
    {
        ++i;
        return true;
    }
    return false;
}

bool IsLeapYear(int nYear)
{
    return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

int DaysInMonth(int nYear, int nMonth)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}
} // namespace

wxString tDateTimeToStr(const wxDateTime& dt)
{
    if (!dt.IsValid())
        return wxString();
    return dt.Format(L"%Y-%m-%dT%H:%M:%SZ", wxDateTime::UTC);
}

wxDateTime tStrToDateTime(const wxString& sText)
{
    const std::wstring s = wxString(sText).Trim(true).Trim(false).ToStdWstring();
    size_t i = 0;
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
    if (!ReadDigits(s, i, 4, nYear))
        return wxDateTime();
    const bool bDashed = Expect(s, i, L'-');
    if (!ReadDigits(s, i, 2, nMonth) || (bDashed && !Expect(s, i, L'-')) || !ReadDigits(s, i, 2, nDay))
        return wxDateTime();
    if (Expect(s, i, L'T') || (bDashed && Expect(s, i, L' ')))
    {
        if (!ReadDigits(s, i, 2, nHour) || (bDashed && !Expect(s, i, L':')) || !ReadDigits(s, i, 2, nMinute) ||
            (bDashed && !Expect(s, i, L':')) || !ReadDigits(s, i, 2, nSecond))
            return wxDateTime();
        if (Expect(s, i, L'.'))
        {
            const size_t nFraction = i;
            while (i < s.size() && s[i] >= L'0' && s[i] <= L'9')
                ++i;
            if (i == nFraction)
                return wxDateTime();
        }
    }
    Expect(s, i, L'Z');
    if (i != s.size())
        return wxDateTime();
    if (nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > DaysInMonth(nYear, nMonth) || nHour > 23 || nMinute > 59 ||
        nSecond > 60)
        return wxDateTime();

    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMinute;
    tm.tm_sec = nSecond;
    const time_t t = timegm(&tm);
    return wxDateTime(static_cast<wxLongLong>(t) * 1000);
}
