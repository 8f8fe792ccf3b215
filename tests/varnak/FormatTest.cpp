#include "varnak/include/kvFormat.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

namespace
{
struct Case
{
    const char* szWhat;
    wxString sGot;
    const wchar_t* szWant;
};

void ExpectAll(const std::vector<Case>& aCases)
{
    for (const Case& c : aCases)
        EXPECT_EQ(c.sGot, wxString(c.szWant)) << c.szWhat;
}

template <typename T>
concept Passable = requires(const T& value)
{
    kv_format_detail::Arg(value);
};
} // namespace

TEST(KvFormat, Integers)
{
    ExpectAll({
        {"plain", kvFormat(L"%d", 42), L"42"},
        {"negative", kvFormat(L"%d", -42), L"-42"},
        {"width", kvFormat(L"[%5d]", -42), L"[  -42]"},
        {"left", kvFormat(L"[%-5d]", -42), L"[-42  ]"},
        {"zero pad after the sign", kvFormat(L"[%05d]", -42), L"[-0042]"},
        {"plus", kvFormat(L"%+d %+d", 5, -5), L"+5 -5"},
        {"space", kvFormat(L"[% d]", 5), L"[ 5]"},
        {"precision", kvFormat(L"[%5.3d]", 7), L"[  007]"},
        {"precision beats zero flag", kvFormat(L"[%06.3d]", -7), L"[  -007]"},
        {"zero at precision 0", kvFormat(L"[%.0d]", 0), L"[]"},
        {"%i", kvFormat(L"%i", -1), L"-1"},
        {"%u of -1", kvFormat(L"%u", -1), L"4294967295"},
        {"%ld", kvFormat(L"%ld", -1234567890123L), L"-1234567890123"},
        {"%lld min", kvFormat(L"%lld", LLONG_MIN), L"-9223372036854775808"},
        {"%llu max", kvFormat(L"%llu", ULLONG_MAX), L"18446744073709551615"},
        {"%I64d", kvFormat(L"%I64d", -5LL), L"-5"},
        {"%hhd wraps", kvFormat(L"%hhd", 300), L"44"},
        {"%hd wraps", kvFormat(L"%hd", 65535), L"-1"},
        {"%zu", kvFormat(L"%zu", static_cast<size_t>(1) << 40), L"1099511627776"},
        {"%x", kvFormat(L"%x", 255), L"ff"},
        {"%X", kvFormat(L"%X", 0xBEEFu), L"BEEF"},
        {"%#x", kvFormat(L"%#x %#X", 255, 255), L"0xff 0XFF"},
        {"%#x of 0 has no prefix", kvFormat(L"%#x", 0), L"0"},
        {"%#010x", kvFormat(L"%#010x", 255), L"0x000000ff"},
        {"%08llX", kvFormat(L"%08llX", 0xABCULL), L"00000ABC"},
        {"%o", kvFormat(L"%o %#o %#o", 8, 8, 0), L"10 010 0"},
        {"* width", kvFormat(L"[%*d]", 5, 42), L"[   42]"},
        {"negative * width is left", kvFormat(L"[%*d]", -5, 42), L"[42   ]"},
        {"* precision", kvFormat(L"[%.*d]", 4, 42), L"[0042]"},
    });
}

TEST(KvFormat, FloatingPointIsLocaleIndependent)
{
    // The global C++ locale and, where installed, the C library's numeric locale use a decimal comma.
    const NumericLocaleGuard guard;
    std::locale::global(WithDecimalComma(std::locale::classic()));
    const bool bCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    char szCheck[16];
    std::snprintf(szCheck, sizeof szCheck, "%.1f", 1.5);
    const bool bCommaSeen = std::string(szCheck) == "1,5";

    ExpectAll({
        {"%f", kvFormat(L"%f", 3.5), L"3.500000"},
        {"%.2f", kvFormat(L"%.2f", 1234.5678), L"1234.57"},
        {"%.0f rounds half to even", kvFormat(L"%.0f %.0f", 2.5, 3.5), L"2 4"},
        {"%#.0f keeps the point", kvFormat(L"%#.0f", 3.0), L"3."},
        {"width", kvFormat(L"[%8.3f]", -1.5), L"[  -1.500]"},
        {"zero pad after the sign", kvFormat(L"[%08.3f]", -1.5), L"[-001.500]"},
        {"left", kvFormat(L"[%-8.2f]", 2.0), L"[2.00    ]"},
        {"plus", kvFormat(L"%+.1f", 2.0), L"+2.0"},
        {"negative zero", kvFormat(L"%.1f", -0.0), L"-0.0"},
        {"%e", kvFormat(L"%e", 12345.678), L"1.234568e+04"},
        {"%E", kvFormat(L"%.2E", 0.000123), L"1.23E-04"},
        {"%g small", kvFormat(L"%g", 0.0001), L"0.0001"},
        {"%g smaller", kvFormat(L"%g", 0.00001), L"1e-05"},
        {"%g large", kvFormat(L"%g %g", 100000.0, 1000000.0), L"100000 1e+06"},
        {"%g drops zeros", kvFormat(L"%g", 2.5), L"2.5"},
        {"%G", kvFormat(L"%G", 1e-10), L"1E-10"},
        {"%.3g", kvFormat(L"%.3g", 3.14159), L"3.14"},
        {"%Lf", kvFormat(L"%Lf", 1.25L), L"1.250000"},
        {"%a", kvFormat(L"%a", 1.0), L"0x1p+0"},
        {"infinity", kvFormat(L"%f %F", HUGE_VAL, -HUGE_VAL), L"inf -INF"},
        {"nan is not zero padded", kvFormat(L"[%05f]", std::nan("")), L"[  nan]"},
        {"* precision", kvFormat(L"%.*f", 2, 3.14159), L"3.14"},
        {"large", kvFormat(L"%.1f", 1e20), L"100000000000000000000.0"},
    });

    if (!bCommaLocale || !bCommaSeen)
        std::printf("note: de_DE.UTF-8 is not installed; only the C++ locale had a decimal comma\n");
}

// The C library in the C locale is the reference for what printf conversions mean.
TEST(KvFormat, NumbersMatchTheCLibraryInTheCLocale)
{
    const std::vector<double> aValues = {0.0,
                                         1.0,
                                         -1.0,
                                         0.5,
                                         0.1,
                                         2.675,
                                         123.456,
                                         -9876.54321,
                                         1e-7,
                                         1e15,
                                         6.02e23,
                                         std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::denorm_min()};
    const std::vector<const char*> aFloatFormats = {"%f", "%.0f", "%.3f",  "%12.4f", "%-12.2e|", "%e",      "%.10e",
                                                    "%g", "%.1g", "%.12g", "%+g",    "%G",       "%010.2f", "%#g"};
    for (const char* szFormat : aFloatFormats)
    {
        for (double v : aValues)
        {
            char szWant[512];
            std::snprintf(szWant, sizeof szWant, szFormat, v);
            const wxString sFormat(szFormat);
            EXPECT_EQ(kvFormat(sFormat.wc_str(), v), wxString(szWant)) << szFormat << " of " << szWant;
        }
    }
    const std::vector<long long> aIntegers = {0, 1, -1, 7, -123456, INT_MAX, INT_MIN, LLONG_MAX, LLONG_MIN};
    const std::vector<const char*> aIntFormats = {"%lld",   "%10lld", "%-10lld|", "%010lld", "%+lld", "% lld",
                                                  "%.5lld", "%llx",   "%#llX",    "%llo",    "%#llo"};
    for (const char* szFormat : aIntFormats)
    {
        for (long long n : aIntegers)
        {
            char szWant[128];
            std::snprintf(szWant, sizeof szWant, szFormat, n);
            const wxString sFormat(szFormat);
            EXPECT_EQ(kvFormat(sFormat.wc_str(), n), wxString(szWant)) << szFormat << " of " << n;
        }
    }
}

TEST(KvFormat, WideAndNarrowStrings)
{
    const wchar_t* szWide = L"žluťoučký 日本語 \U0001D11E";
    const char* szNarrow = "žluťoučký 日本語 \xF0\x9D\x84\x9E";
    ExpectAll({
        {"%s is wide", kvFormat(L"<%s>", szWide), L"<žluťoučký 日本語 \U0001D11E>"},
        {"%S is narrow UTF-8", kvFormat(L"<%S>", szNarrow), L"<žluťoučký 日本語 \U0001D11E>"},
        {"%ls and %hs", kvFormat(L"%ls|%hs", L"wide", "narrow"), L"wide|narrow"},
        {"%lS is wide", kvFormat(L"%lS", L"wide"), L"wide"},
        {"width", kvFormat(L"[%5s][%-5S]", L"ab", "cd"), L"[   ab][cd   ]"},
        {"width counts characters", kvFormat(L"[%6S]", "日本語"), L"[   日本語]"},
        {"precision counts characters", kvFormat(L"[%.2s][%.2S]", L"日本語", "žluť"), L"[日本][žl]"},
        {"null", kvFormat(L"%s %S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
         L"(null) (null)"},
        {"invalid UTF-8 is replaced, not dropped", kvFormat(L"%S", "a\377b\346\227"), L"a\uFFFDb\uFFFD\uFFFD"},
        {"overlong UTF-8 is replaced", kvFormat(L"%S", "\xC0\xAF"), L"\uFFFD\uFFFD"},
        {"%c", kvFormat(L"%c%c", L'ž', 0x1D11E), L"ž\U0001D11E"},
        {"%C", kvFormat(L"[%3C]", 'A'), L"[  A]"},
        {"mixed", kvFormat(L"%s (%S:%d)", L"nIndex<size", "AppUtils.cpp", 12), L"nIndex<size (AppUtils.cpp:12)"},
    });
    // Characters outside the BMP stay one character each (UTF-32 wxString).
    EXPECT_EQ(kvFormat(L"%s", L"\U0001D11E").length(), 1u);
}

// A wxString handed to a C variadic function would be read as garbage; these pass as their text.
TEST(KvFormat, ToolkitStringsPassAsTheirText)
{
    const wxString sName = wxString::FromUTF8("日本語 \xF0\x9D\x84\x9E");
    ExpectAll({
        {"wxString for %s", kvFormat(L"[%s]", sName), L"[日本語 \U0001D11E]"},
        {"c_str() for %s", kvFormat(L"[%s]", sName.c_str()), L"[日本語 \U0001D11E]"},
        {"utf8_str() for %S", kvFormat(L"[%S]", sName.utf8_str()), L"[日本語 \U0001D11E]"},
        {"temporary", kvFormat(L"%s|%d", sName + "!", 3), L"日本語 \U0001D11E!|3"},
        {"std::wstring for %s", kvFormat(L"[%s]", std::wstring(L"ž")), L"[ž]"},
        {"wxWCharBuffer for %s", kvFormat(L"[%s]", wxWCharBuffer(L"ž")), L"[ž]"},
    });
    static_assert(Passable<wxString> && Passable<wxCharBuffer> && Passable<const char*> && Passable<double>);
    static_assert(!Passable<std::string> && !Passable<std::string_view>, "narrow classes must be refused");
}

TEST(KvFormat, PercentSignsAndUnknownConversions)
{
    int nNotWritten = 7;
    ExpectAll({
        {"%%", kvFormat(L"Memory in use: %d%%", 42), L"Memory in use: 42%"},
        {"lone % at the end", kvFormat(L"100%"), L"100%"},
        {"lone % after a flag", kvFormat(L"x%-"), L"x%-"},
        {"unknown conversion", kvFormat(L"%y %d", 3), L"%y 3"},
        {"%n writes nothing", kvFormat(L"a%nb", &nNotWritten), L"ab"},
        {"no conversion", kvFormat(L"plain text"), L"plain text"},
        {"null format", kvFormat(nullptr), L""},
        {"empty format", kvFormat(L""), L""},
    });
    EXPECT_EQ(nNotWritten, 7);
}

TEST(KvFormat, HugeWidthsAreCapped)
{
    EXPECT_LE(kvFormat(L"%999999999d", 1).length(), 4096u);
    EXPECT_LE(kvFormat(L"%.999999999s", L"abc").length(), 3u);
}
