#include "varnak/include/tUTF8.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(UTF8, DecodesLenientlyAndValidatesAlike)
{
    struct Case
    {
        std::string sBytes;
        std::wstring sDecoded;
        bool bValid;
    };
    const Case cases[] = {
        {"", L"", true},
        {"a\0b"s, L"a\0b"s, true},
        {"\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", L"\x7F\x80\x7FF\x800\xFFFF", true},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", L"\U00010000\U0010FFFF", true},
        {"\xEF\xBF\xBD", L"\uFFFD", true}, // a replacement character spelled out is valid
        {"\x80", L"\uFFFD", false},
        {"\xC0\xAF", L"\uFFFD\uFFFD", false},                     // overlong
        {"\xE0\x9F\xBF", L"\uFFFD\uFFFD\uFFFD", false},           // overlong, three bytes
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD", false},           // an encoded surrogate half
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD", false}, // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", false},
        {"\xE2\x82", L"\uFFFD\uFFFD", false},             // cut off at the end
        {"\xE2x\x82\xAC", L"\uFFFDx\uFFFD\uFFFD", false}, // cut off by a plain byte, which survives
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(tUTF8ToWide(c.sBytes), c.sDecoded) << c.sBytes;
        EXPECT_EQ(tIsValidUTF8(c.sBytes), c.bValid) << c.sBytes;
        if (c.bValid)
        {
            EXPECT_EQ(tWideToUTF8(c.sDecoded), c.sBytes) << c.sBytes;
        }
    }
}

TEST(UTF8, EncodesScalarValuesAndJoinsSurrogateUnits)
{
    struct Case
    {
        std::wstring sText;
        std::string sBytes;
    };
    const Case cases[] = {
        {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80"},
        // Halves in the wrong order, or alone, are not a character.
        {std::wstring{wchar_t(0xDE00), wchar_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {std::wstring{L'a', wchar_t(0xD83D)}, "a\xEF\xBF\xBD"},
        {std::wstring{wchar_t(0xD83D), wchar_t(0xD83D), wchar_t(0xDE00)}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        {std::wstring{wchar_t(0x110000), L'z'}, "\xEF\xBF\xBDz"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tWideToUTF8(c.sText), c.sBytes);

    std::string s;
    tAppendUTF8(s, U'\U0001F334');
    tAppendUTF8(s, 0xDFFF);
    EXPECT_EQ(s, "\xF0\x9F\x8C\xB4\xEF\xBF\xBD");
    EXPECT_TRUE(tIsUnicodeScalar(0xD7FF));
    EXPECT_FALSE(tIsUnicodeScalar(0xD800));
    EXPECT_TRUE(tIsUnicodeScalar(0x10FFFF));
    EXPECT_FALSE(tIsUnicodeScalar(0x110000));
}
