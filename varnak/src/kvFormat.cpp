#include "varnak/include/kvFormat.h"

#include "varnak/include/tUTF8.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace
{
enum class Length
{
    None,
    HH,
    H,
    L,
    LL,
    J,
    Z,
    T,
    LongDouble,
};

struct Spec
{
    bool bLeft = false;
    bool bPlus = false;
    bool bSpace = false;
    bool bAlt = false;
    bool bZero = false;
    int nWidth = 0;
    int nPrecision = -1; // -1: none given
    Length length = Length::None;
    wchar_t conv = 0;
};

// Caps what a hostile width or precision can allocate.
constexpr int kMaxField = 4096;

void Pad(std::wstring& sOut, std::size_t nCount, wchar_t c)
{
    sOut.append(nCount, c);
}

// Writes prefix and body into a field of the directive's width: left-aligned, right-aligned with blanks,
// or (bZeroPad) with zeros between the prefix (sign, "0x") and the body.
void Emit(std::wstring& sOut, const Spec& spec, std::wstring_view sPrefix, std::wstring_view sBody, bool bZeroPad)
{
    const std::size_t nLen = sPrefix.size() + sBody.size();
    const std::size_t nWidth = static_cast<std::size_t>(std::max(spec.nWidth, 0));
    const std::size_t nFill = nWidth > nLen ? nWidth - nLen : 0;
    if (spec.bLeft)
    {
        sOut.append(sPrefix);
        sOut.append(sBody);
        Pad(sOut, nFill, L' ');
    }
    else if (bZeroPad)
    {
        sOut.append(sPrefix);
        Pad(sOut, nFill, L'0');
        sOut.append(sBody);
    }
    else
    {
        Pad(sOut, nFill, L' ');
        sOut.append(sPrefix);
        sOut.append(sBody);
    }
}

wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

wchar_t AsciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring Widen(std::string_view s)
{
    return std::wstring(s.begin(), s.end()); // ASCII only: digits, signs, letters of numbers
}

long long ReadSigned(Length length, va_list& args)
{
    switch (length)
    {
    case Length::HH:
        return static_cast<signed char>(va_arg(args, int));
    case Length::H:
        return static_cast<short>(va_arg(args, int));
    case Length::L:
        return va_arg(args, long);
    case Length::LL:
        return va_arg(args, long long);
    case Length::J:
        return static_cast<long long>(va_arg(args, intmax_t));
    case Length::Z:
        return static_cast<long long>(va_arg(args, ssize_t));
    case Length::T:
        return static_cast<long long>(va_arg(args, ptrdiff_t));
    default:
        return va_arg(args, int);
    }
}

unsigned long long ReadUnsigned(Length length, va_list& args)
{
    switch (length)
    {
    case Length::HH:
        return static_cast<unsigned char>(va_arg(args, unsigned int));
    case Length::H:
        return static_cast<unsigned short>(va_arg(args, unsigned int));
    case Length::L:
        return va_arg(args, unsigned long);
    case Length::LL:
        return va_arg(args, unsigned long long);
    case Length::J:
        return static_cast<unsigned long long>(va_arg(args, uintmax_t));
    case Length::Z:
        return va_arg(args, size_t);
    case Length::T:
        return static_cast<unsigned long long>(va_arg(args, ptrdiff_t));
    default:
        return va_arg(args, unsigned int);
    }
}

void FormatInteger(std::wstring& sOut, const Spec& spec, va_list& args)
{
    const bool bSigned = spec.conv == L'd' || spec.conv == L'i';
    unsigned long long nMagnitude = 0;
    bool bNegative = false;
    if (bSigned)
    {
        const long long n = ReadSigned(spec.length, args);
        bNegative = n < 0;
        // Through unsigned arithmetic, so that the most negative value has a magnitude too.
        nMagnitude = bNegative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    }
    else
        nMagnitude = ReadUnsigned(spec.length, args);

    int nBase = 10;
    if (spec.conv == L'x' || spec.conv == L'X')
        nBase = 16;
    else if (spec.conv == L'o')
        nBase = 8;

    char buf[64];
    std::string sDigits;
    if (!(nMagnitude == 0 && spec.nPrecision == 0)) // printf writes no digit for zero at precision 0
    {
        const auto res = std::to_chars(buf, buf + sizeof buf, nMagnitude, nBase);
        sDigits.assign(buf, res.ptr);
    }
    if (spec.conv == L'X')
        std::transform(sDigits.begin(), sDigits.end(), sDigits.begin(),
                       [](char c) { return static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c); });
    if (spec.nPrecision > 0 && sDigits.size() < static_cast<std::size_t>(spec.nPrecision))
        sDigits.insert(0, static_cast<std::size_t>(spec.nPrecision) - sDigits.size(), '0');
    if (spec.conv == L'o' && spec.bAlt && (sDigits.empty() || sDigits[0] != '0'))
        sDigits.insert(0, 1, '0');

    std::wstring sPrefix;
    if (bNegative)
        sPrefix = L"-";
    else if (bSigned && spec.bPlus)
        sPrefix = L"+";
    else if (bSigned && spec.bSpace)
        sPrefix = L" ";
    if (spec.bAlt && nMagnitude != 0 && nBase == 16)
        sPrefix += spec.conv == L'X' ? L"0X" : L"0x";

    Emit(sOut, spec, sPrefix, Widen(sDigits), spec.bZero && spec.nPrecision < 0);
}

void FormatPointer(std::wstring& sOut, const Spec& spec, va_list& args)
{
    const void* p = va_arg(args, void*);
    if (!p)
    {
        Emit(sOut, spec, L"", L"(nil)", false);
        return;
    }
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, reinterpret_cast<std::uintptr_t>(p), 16);
    Emit(sOut, spec, L"0x", Widen(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf))), false);
}

template <typename T> std::string FloatDigits(T value, const Spec& spec)
{
    const wchar_t conv = AsciiLower(spec.conv);
    std::chars_format fmt = std::chars_format::fixed;
    int nPrecision = spec.nPrecision < 0 ? 6 : spec.nPrecision;
    if (conv == L'e')
        fmt = std::chars_format::scientific;
    else if (conv == L'g')
    {
        fmt = std::chars_format::general;
        if (nPrecision == 0)
            nPrecision = 1;
    }
    else if (conv == L'a')
        fmt = std::chars_format::hex;

    // The longest fixed forms have 309 (double) and about 4,950 (long double) digits before the point.
    const std::size_t nIntegral = sizeof(T) > sizeof(double) ? 5000 : 320;
    std::string sBuf(static_cast<std::size_t>(nPrecision) + nIntegral, '\0');
    std::to_chars_result res{};
    if (conv == L'g' && spec.bAlt)
    {
        // '#' keeps the trailing zeros of %g, which the general form of to_chars drops: choose
        // between the two forms by the exponent, as printf does.
        res =
            std::to_chars(sBuf.data(), sBuf.data() + sBuf.size(), value, std::chars_format::scientific, nPrecision - 1);
        if (res.ec != std::errc())
            return std::string();
        const std::string_view sSci(sBuf.data(), static_cast<std::size_t>(res.ptr - sBuf.data()));
        int nExp = 0;
        const std::size_t nE = sSci.find('e');
        if (nE != std::string_view::npos)
            std::from_chars(sSci.data() + nE + (sSci[nE + 1] == '+' ? 2 : 1), sSci.data() + sSci.size(), nExp);
        if (nExp >= -4 && nExp < nPrecision)
            res = std::to_chars(sBuf.data(), sBuf.data() + sBuf.size(), value, std::chars_format::fixed,
                                nPrecision - 1 - nExp);
    }
    else if (conv == L'a' && spec.nPrecision < 0)
        res = std::to_chars(sBuf.data(), sBuf.data() + sBuf.size(), value, fmt);
    else
        res = std::to_chars(sBuf.data(), sBuf.data() + sBuf.size(), value, fmt, nPrecision);
    if (res.ec != std::errc())
        return std::string();
    sBuf.resize(static_cast<std::size_t>(res.ptr - sBuf.data()));

    if (spec.bAlt && sBuf.find('.') == std::string::npos)
    {
        // '#' keeps the decimal point even without decimals.
        const std::size_t nExp = sBuf.find_first_of(conv == L'a' ? "p" : "e");
        sBuf.insert(nExp == std::string::npos ? sBuf.size() : nExp, 1, '.');
    }
    if (conv == L'a')
        sBuf.insert(0, "0x");
    return sBuf;
}

void FormatFloat(std::wstring& sOut, const Spec& spec, va_list& args)
{
    long double value = spec.length == Length::LongDouble ? va_arg(args, long double) : va_arg(args, double);
    const bool bNegative = std::signbit(value);
    if (bNegative)
        value = -value;

    std::wstring sPrefix;
    if (bNegative)
        sPrefix = L"-";
    else if (spec.bPlus)
        sPrefix = L"+";
    else if (spec.bSpace)
        sPrefix = L" ";

    const bool bUpper = spec.conv >= L'A' && spec.conv <= L'Z';
    std::string sBody;
    bool bFinite = std::isfinite(value);
    if (!bFinite)
        sBody = std::isnan(value) ? "nan" : "inf";
    else if (spec.length == Length::LongDouble)
        sBody = FloatDigits(value, spec);
    else
        sBody = FloatDigits(static_cast<double>(value), spec);

    std::wstring sWide = Widen(sBody);
    if (bUpper)
        std::transform(sWide.begin(), sWide.end(), sWide.begin(), AsciiUpper);
    if (AsciiLower(spec.conv) == L'a' && sWide.size() >= 2)
    {
        // The "0x" belongs to the prefix so that zero padding goes after it.
        sPrefix += sWide.substr(0, 2);
        sWide.erase(0, 2);
    }
    Emit(sOut, spec, sPrefix, sWide, spec.bZero && bFinite);
}

void FormatString(std::wstring& sOut, const Spec& spec, va_list& args)
{
    // %s and %ls are wide, %S and %hs narrow; %lS is wide as well.
    bool bNarrow = spec.conv == L'S';
    if (spec.length == Length::H)
        bNarrow = true;
    else if (spec.length == Length::L)
        bNarrow = false;

    std::wstring sText;
    if (bNarrow)
    {
        const char* sz = va_arg(args, const char*);
        if (!sz)
            sText = L"(null)";
        else if (spec.nPrecision >= 0) // a character takes at most 4 bytes: never read past what may be there
            sText = tUTF8ToWide(std::string_view(sz, strnlen(sz, 4 * static_cast<std::size_t>(spec.nPrecision))));
        else
            sText = tUTF8ToWide(sz);
    }
    else
    {
        const wchar_t* sz = va_arg(args, const wchar_t*);
        if (!sz)
            sText = L"(null)";
        else if (spec.nPrecision >= 0)
            sText.assign(sz, wcsnlen(sz, static_cast<std::size_t>(spec.nPrecision)));
        else
            sText = sz;
    }
    if (spec.nPrecision >= 0 && sText.size() > static_cast<std::size_t>(spec.nPrecision))
        sText.resize(static_cast<std::size_t>(spec.nPrecision));
    Emit(sOut, spec, L"", sText, false);
}

void FormatChar(std::wstring& sOut, const Spec& spec, va_list& args)
{
    bool bNarrow = spec.conv == L'C' || spec.length == Length::H;
    if (spec.length == Length::L)
        bNarrow = false;
    wchar_t c = 0;
    if (bNarrow)
    {
        const auto b = static_cast<unsigned char>(va_arg(args, int));
        c = b < 0x80 ? static_cast<wchar_t>(b) : static_cast<wchar_t>(tREPLACEMENT_CHAR);
    }
    else
        c = static_cast<wchar_t>(va_arg(args, wint_t));
    Emit(sOut, spec, L"", std::wstring_view(&c, 1), false);
}

int ReadNumber(const wchar_t*& p)
{
    long n = 0;
    while (*p >= L'0' && *p <= L'9')
    {
        n = std::min<long>(n * 10 + (*p - L'0'), kMaxField);
        ++p;
    }
    return static_cast<int>(n);
}

// Reads the directive that follows a '%'; returns false when the conversion is not one of ours, leaving
// p at the character that stopped it.
bool ParseSpec(const wchar_t*& p, Spec& spec, va_list& args)
{
    for (;; ++p)
    {
        if (*p == L'-')
            spec.bLeft = true;
        else if (*p == L'+')
            spec.bPlus = true;
        else if (*p == L' ')
            spec.bSpace = true;
        else if (*p == L'#')
            spec.bAlt = true;
        else if (*p == L'0')
            spec.bZero = true;
        else
            break;
    }
    if (*p == L'*')
    {
        const int n = va_arg(args, int);
        if (n < 0)
            spec.bLeft = true;
        spec.nWidth = std::min(n < 0 ? (n == INT_MIN ? kMaxField : -n) : n, kMaxField);
        ++p;
    }
    else
        spec.nWidth = ReadNumber(p);
    if (*p == L'.')
    {
        ++p;
        if (*p == L'*')
        {
            const int n = va_arg(args, int);
            spec.nPrecision = n < 0 ? -1 : std::min(n, kMaxField);
            ++p;
        }
        else
            spec.nPrecision = ReadNumber(p);
    }
    switch (*p)
    {
    case L'h':
        ++p;
        spec.length = Length::H;
        if (*p == L'h')
        {
            ++p;
            spec.length = Length::HH;
        }
        break;
    case L'l':
        ++p;
        spec.length = Length::L;
        if (*p == L'l')
        {
            ++p;
            spec.length = Length::LL;
        }
        break;
    case L'q':
        ++p;
        spec.length = Length::LL;
        break;
    case L'j':
        ++p;
        spec.length = Length::J;
        break;
    case L'z':
        ++p;
        spec.length = Length::Z;
        break;
    case L't':
        ++p;
        spec.length = Length::T;
        break;
    case L'L':
        ++p;
        spec.length = Length::LongDouble;
        break;
    case L'I':
        if (p[1] == L'6' && p[2] == L'4')
        {
            p += 3;
            spec.length = Length::LL;
        }
        else if (p[1] == L'3' && p[2] == L'2')
            p += 3;
        break;
    default:
        break;
    }
    spec.conv = *p;
    return spec.conv != 0 && std::wcschr(L"diuoxXfFeEgGaAsScCpn", spec.conv) != nullptr;
}
} // namespace

wxString kvFormatV(const wchar_t* szFormat, va_list args)
{
    if (!szFormat)
        return wxString();
    va_list ap;
    va_copy(ap, args);
    std::wstring sOut;
    const wchar_t* p = szFormat;
    while (*p)
    {
        if (*p != L'%')
        {
            const wchar_t* q = std::wcschr(p, L'%');
            const std::size_t n = q ? static_cast<std::size_t>(q - p) : std::wcslen(p);
            sOut.append(p, n);
            p += n;
            continue;
        }
        const wchar_t* pStart = p;
        ++p;
        if (*p == L'%')
        {
            sOut += L'%';
            ++p;
            continue;
        }
        Spec spec;
        if (!ParseSpec(p, spec, ap))
        {
            // Not a conversion of ours: copy it as it stands (a lone % at the end included).
            if (*p)
                ++p;
            sOut.append(pStart, static_cast<std::size_t>(p - pStart));
            continue;
        }
        ++p;
        switch (spec.conv)
        {
        case L'd':
        case L'i':
        case L'u':
        case L'o':
        case L'x':
        case L'X':
            FormatInteger(sOut, spec, ap);
            break;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A':
            FormatFloat(sOut, spec, ap);
            break;
        case L's':
        case L'S':
            FormatString(sOut, spec, ap);
            break;
        case L'c':
        case L'C':
            FormatChar(sOut, spec, ap);
            break;
        case L'p':
            FormatPointer(sOut, spec, ap);
            break;
        case L'n':
            (void)va_arg(ap, void*);
            break;
        default:
            break;
        }
    }
    va_end(ap);
    return wxString(sOut);
}

wxString kv_format_detail::Format(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    wxString s = kvFormatV(szFormat, args);
    va_end(args);
    return s;
}
