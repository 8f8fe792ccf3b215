#include "varnak/include/tNumber.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <string>

TEST(NumberRead, LenientReadersTakeTheLeadingNumber)
{
    struct Case
    {
        const wchar_t* szText;
        int64_t nInt64;
        int nInt;
    };
    const Case cases[] = {
        {L"42", 42, 42},
        {L"  42abc", 42, 42},
        {L"-7", -7, -7},
        {L"+5", 5, 5},
        {L"1,234", 1, 1}, // the "," is not part of a number
        {L"abc", 0, 0},
        {L"", 0, 0},
        {L"- 5", 0, 0},
        {L"2147483648", 2147483648LL, std::numeric_limits<int>::max()},
        {L"-99999999999999999999", std::numeric_limits<int64_t>::min(), std::numeric_limits<int>::min()},
        {L"99999999999999999999", std::numeric_limits<int64_t>::max(), std::numeric_limits<int>::max()},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(tStringToInt64(c.szText), c.nInt64) << wxString(c.szText);
        EXPECT_EQ(tStringToInt(c.szText), c.nInt) << wxString(c.szText);
        EXPECT_EQ(tStringToLong(c.szText), static_cast<long>(c.nInt64)) << wxString(c.szText);
    }

    struct RealCase
    {
        const wchar_t* szText;
        double dValue;
    };
    const RealCase reals[] = {
        {L"3.25", 3.25}, {L" -0.5e2x", -50.0}, {L"+.5", 0.5},    {L"12,5", 12.0}, {L"12.000000", 12.0},
        {L"abc", 0.0},   {L"", 0.0},           {L"1e-400", 0.0}, {L"--1", 0.0},
    };
    for (const RealCase& c : reals)
        EXPECT_EQ(tStringToDouble(c.szText), c.dValue) << wxString(c.szText);
    EXPECT_TRUE(std::isinf(tStringToDouble(L"1e400")));
    EXPECT_TRUE(std::isinf(tStringToDouble(L"-1e400")) && tStringToDouble(L"-1e400") < 0);
    EXPECT_FLOAT_EQ(tStringToFloat(L"10.5"), 10.5f);
}

TEST(NumberRead, StrictReaderWantsTheWholeText)
{
    const wchar_t* aGoodInts[] = {L"12", L" -12 ", L"+0", L"9223372036854775807"};
    for (const wchar_t* sz : aGoodInts)
    {
        int64_t n = 99;
        EXPECT_TRUE(tToNumber(sz, n)) << wxString(sz);
    }
    const wchar_t* aBadInts[] = {L"", L" ", L"12a", L"1.5", L"9223372036854775808", L"1 2", L"0x10"};
    for (const wchar_t* sz : aBadInts)
    {
        int64_t n = 99;
        EXPECT_FALSE(tToNumber(sz, n)) << wxString(sz);
        EXPECT_EQ(n, 99);
    }

    double d = 0;
    ASSERT_TRUE(tToNumber(L" 2.5e1 ", d));
    EXPECT_EQ(d, 25.0);
    for (const wchar_t* sz : {L"1,5", L".", L"", L"1.5.2", L"e5"})
    {
        d = 7;
        EXPECT_FALSE(tToNumber(sz, d)) << wxString(sz);
        EXPECT_EQ(d, 7);
    }
}

TEST(NumberWrite, ShortestOrFixedAndRoundTrip)
{
    EXPECT_EQ(tIntToString(-12), L"-12");
    EXPECT_EQ(tIntToString(std::numeric_limits<int64_t>::min()), L"-9223372036854775808");
    EXPECT_EQ(tDoubleToString(0.1), L"0.1");
    EXPECT_EQ(tDoubleToString(12.0), L"12");
    EXPECT_EQ(tDoubleToString(12.5, 6), L"12.500000");
    // A count past what the type shows is capped, not allocated.
    EXPECT_EQ(tDoubleToString(1.5, std::numeric_limits<int>::max()), L"1.50000000000000000");
    EXPECT_EQ(tFloatToString(1.5f, std::numeric_limits<int>::max()), L"1.500000000");
    EXPECT_EQ(tDoubleToString(-0.125, 2), L"-0.12"); // round half to even, as printf does
    EXPECT_EQ(tDoubleToString(1e100), L"1e+100");
    EXPECT_EQ(tDoubleToString(1e300, 2).length(), 304u);
    EXPECT_EQ(tFloatToString(12.0f, 6), L"12.000000");
    EXPECT_EQ(tFloatToString(0.1f), L"0.1");

    for (double d : {0.1, 1.0 / 3.0, -123456.789, 6.02214076e23, 5e-324, std::numeric_limits<double>::max()})
        EXPECT_EQ(tStringToDouble(tDoubleToString(d)), d) << d;
}

TEST(NumberWrite, CommafyGroupsByThrees)
{
    struct Case
    {
        int64_t n;
        const wchar_t* szExpected;
    };
    const Case cases[] = {
        {0, L"0"},
        {999, L"999"},
        {1000, L"1,000"},
        {1234567, L"1,234,567"},
        {-1000, L"-1,000"},
        {-999, L"-999"},
        {std::numeric_limits<int64_t>::min(), L"-9,223,372,036,854,775,808"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tCommafyInt(c.n), c.szExpected) << c.n;
    EXPECT_EQ(tCommafyIntC(16777216, L'.'), L"16.777.216");
    EXPECT_EQ(tCommafyIntC(16777216), L"16,777,216");
}

TEST(NumberRead, TrueHelper)
{
    for (const wchar_t* sz : {L"1", L"true", L"TRUE", L" Yes ", L"y", L"t", L"on"})
        EXPECT_TRUE(tStrIsTrueHelper(sz)) << wxString(sz);
    for (const wchar_t* sz : {L"0", L"false", L"no", L"", L"2", L"yes please", L"off"})
        EXPECT_FALSE(tStrIsTrueHelper(sz)) << wxString(sz);
}

// Numbers must read and write the same under a locale whose decimal point is a comma: once through
// the C++ global locale, once through the C library's LC_NUMERIC.
class NumberCommaLocale : public testing::TestWithParam<const char*>
{
protected:
    NumericLocaleGuard m_localeGuard;
};

TEST_P(NumberCommaLocale, ReadsAndWritesWithAPoint)
{
    const std::string sWay = GetParam();
    if (sWay == "C++ global locale")
        std::locale::global(WithDecimalComma(std::locale()));
    else
    {
        if (!std::setlocale(LC_NUMERIC, sWay.c_str()))
            GTEST_SKIP() << sWay << " is not installed";
        char buf[32];
        std::snprintf(buf, sizeof(buf), "%.1f", 1234.5);
        ASSERT_STREQ(buf, "1234,5") << "the C library should now write a comma";
    }

    EXPECT_EQ(tDoubleToString(1234.5, 2), L"1234.50");
    EXPECT_EQ(tDoubleToString(0.25), L"0.25");
    EXPECT_EQ(tFloatToString(10.5f, 6), L"10.500000");
    EXPECT_EQ(tStringToDouble(L"1234.5"), 1234.5);
    EXPECT_EQ(tStringToDouble(L"1234,5"), 1234.0);
    EXPECT_FLOAT_EQ(tStringToFloat(L"10.500000"), 10.5f);
    double d = 0;
    EXPECT_TRUE(tToNumber(L"2.5", d));
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(tIntToString(1234567), L"1234567");
    EXPECT_EQ(tCommafyInt(1234567), L"1,234,567");
}

INSTANTIATE_TEST_SUITE_P(Number, NumberCommaLocale, testing::Values("C++ global locale", "de_DE.UTF-8"),
                         [](const testing::TestParamInfo<const char*>& row)
                         { return row.index == 0 ? std::string("CppGlobal") : std::string("LcNumericDeDE"); });
