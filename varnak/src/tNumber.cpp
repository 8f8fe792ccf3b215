#include "varnak/include/tNumber.h"

#include <charconv>
#include <cmath>
#include <cwctype>
#include <limits>
#include <string>
#include <system_error>

namespace
{
// Number syntax is ASCII: narrowing the text lets std::from_chars, which never looks at the
// locale, do the reading. Anything else becomes a character no number contains.
std::string ToAscii(const wxString& sText)
{
    std::string s;
    s.reserve(sText.length());
    for (wxUniChar ch : sText)
    {
        const auto c = ch.GetValue();
        s += c < 0x80 ? static_cast<char>(c) : '\x7F';
    }
    return s;
}

size_t SkipSpace(const std::string& s, size_t i)
{
    while (i < s.size() && std::iswspace(static_cast<wint_t>(static_cast<unsigned char>(s[i]))))
        ++i;
    return i;
}

// Reads an integer at s[i] (sign allowed). Returns the end of what was read, or i when nothing;
// bOverflow tells that the value was clamped.
size_t ReadInteger(const std::string& s, size_t i, int64_t& nValue, bool& bOverflow)
{
    bOverflow = false;
    nValue = 0;
    bool bNegative = false;
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        bNegative = s[j++] == '-';
    const size_t nDigits = j;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9')
        ++j;
    if (j == nDigits)
        return i;
    uint64_t nMagnitude = 0;
    const auto [ptr, ec] = std::from_chars(s.data() + nDigits, s.data() + j, nMagnitude);
    (void)ptr;
    const uint64_t nLimit =
        bNegative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1 : uint64_t(std::numeric_limits<int64_t>::max());
    if (ec == std::errc::result_out_of_range || nMagnitude > nLimit)
    {
        bOverflow = true;
        nMagnitude = nLimit;
    }
    nValue = bNegative ? static_cast<int64_t>(0 - nMagnitude) : static_cast<int64_t>(nMagnitude);
    return j;
}

// Reads a real at s[i] (sign allowed, also "inf" and "nan"). Returns the end of what was read, or
// i when nothing.
size_t ReadReal(const std::string& s, size_t i, double& dValue)
{
    dValue = 0;
    size_t j = i;
    bool bNegative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        bNegative = s[j++] == '-';
    // from_chars takes no sign of its own before the digits but a '-'; give it none at all.
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        return i;
    double d = 0;
    const auto [ptr, ec] = std::from_chars(s.data() + j, s.data() + s.size(), d, std::chars_format::general);
    const size_t nEnd = static_cast<size_t>(ptr - s.data());
    if (nEnd == j)
        return i;
    if (ec == std::errc::result_out_of_range)
    {
        // Tell an overflow from an underflow by the exponent's sign.
        const std::string sPart = s.substr(j, nEnd - j);
        const size_t nE = sPart.find_first_of("eE");
        const bool bTiny = nE != std::string::npos && nE + 1 < sPart.size() && sPart[nE + 1] == '-';
        d = bTiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    dValue = bNegative ? -d : d;
    return nEnd;
}

template <typename T> T Clamp(int64_t n)
{
    if (n < static_cast<int64_t>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (n > static_cast<int64_t>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(n);
}

wxString Group(int64_t nValue, wchar_t cSeparator)
{
    const std::string sDigits = std::to_string(nValue);
    const size_t nStart = sDigits[0] == '-' ? 1 : 0;
    std::wstring sOut(sDigits.begin(), sDigits.begin() + static_cast<std::ptrdiff_t>(nStart));
    const size_t nCount = sDigits.size() - nStart;
    for (size_t k = 0; k < nCount; ++k)
    {
        if (k > 0 && (nCount - k) % 3 == 0)
            sOut += cSeparator;
        sOut += static_cast<wchar_t>(sDigits[nStart + k]);
    }
    return wxString(sOut);
}

template <typename T> wxString FormatReal(T value, int nDecimals)
{
    // More decimals than the type holds only add zeros (or noise), and a script may ask for billions.
    nDecimals = std::min(nDecimals, std::numeric_limits<T>::max_digits10);
    // Fixed notation of 1e308 needs 309 digits before the point, plus the decimals asked for.
    std::string buf(400 + static_cast<size_t>(nDecimals < 0 ? 0 : nDecimals), '\0');
    char* pBegin = buf.data();
    char* pEnd = pBegin + buf.size();
    const auto result = nDecimals < 0 ? std::to_chars(pBegin, pEnd, value)
                                      : std::to_chars(pBegin, pEnd, value, std::chars_format::fixed, nDecimals);
    if (result.ec != std::errc())
        return wxString();
    return wxString::FromAscii(pBegin, static_cast<size_t>(result.ptr - pBegin));
}
} // namespace

int64_t tStringToInt64(const wxString& sText)
{
    const std::string s = ToAscii(sText);
    int64_t n = 0;
    bool bOverflow = false;
    ReadInteger(s, SkipSpace(s, 0), n, bOverflow);
    return n;
}

int tStringToInt(const wxString& sText)
{
    return Clamp<int>(tStringToInt64(sText));
}

long tStringToLong(const wxString& sText)
{
    return Clamp<long>(tStringToInt64(sText));
}

double tStringToDouble(const wxString& sText)
{
    const std::string s = ToAscii(sText);
    double d = 0;
    ReadReal(s, SkipSpace(s, 0), d);
    return d;
}

float tStringToFloat(const wxString& sText)
{
    return static_cast<float>(tStringToDouble(sText));
}

bool tToNumber(const wxString& sText, int64_t& nValue)
{
    const std::string s = ToAscii(sText);
    const size_t nBegin = SkipSpace(s, 0);
    int64_t n = 0;
    bool bOverflow = false;
    const size_t nEnd = ReadInteger(s, nBegin, n, bOverflow);
    if (nEnd == nBegin || bOverflow || SkipSpace(s, nEnd) != s.size())
        return false;
    nValue = n;
    return true;
}

bool tToNumber(const wxString& sText, double& dValue)
{
    const std::string s = ToAscii(sText);
    const size_t nBegin = SkipSpace(s, 0);
    double d = 0;
    const size_t nEnd = ReadReal(s, nBegin, d);
    if (nEnd == nBegin || SkipSpace(s, nEnd) != s.size())
        return false;
    dValue = d;
    return true;
}

wxString tIntToString(int64_t nValue)
{
    return wxString::FromAscii(std::to_string(nValue).c_str());
}

wxString tDoubleToString(double dValue, int nDecimals)
{
    return FormatReal(dValue, nDecimals);
}

wxString tFloatToString(float fValue, int nDecimals)
{
    return FormatReal(fValue, nDecimals);
}

wxString tCommafyInt(int64_t nValue)
{
    return Group(nValue, L',');
}

wxString tCommafyIntC(int64_t nValue, wchar_t cSeparator)
{
    return Group(nValue, cSeparator);
}

bool tStrIsTrueHelper(const wxString& sText)
{
    wxString s = sText;
    s.Trim(true).Trim(false);
    s.MakeLower();
    return s == L"1" || s == L"true" || s == L"yes" || s == L"y" || s == L"t" || s == L"on";
}
