#include "varnak/include/tcTextFileInputStream.h"

#include <gtest/gtest.h>

#include <wx/convauto.h>
#include <wx/mstream.h>

#include <string>

namespace
{
using namespace std::string_literals;

struct DecodeCase
{
    const char* szName;
    std::string sBytes;
    std::wstring sText;
    teAutoEncoding encoding;
    bool bBOM;
};

// What the toolkit's automatic conversion makes of the bytes, the reference the decoder follows.
std::wstring ToolkitDecode(const std::string& sBytes)
{
    if (sBytes.empty())
        return std::wstring();
    wxConvAuto conv;
    const wxString s(sBytes.data(), conv, sBytes.size());
    return s.ToStdWstring();
}
} // namespace

TEST(TextAutoDecode, FollowsTheToolkitsAutomaticConversion)
{
    const DecodeCase cases[] = {
        {"utf8",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xF0\x9F\x8C\xB4",
         L"Grüße \U0001F334", teAutoEncoding::UTF8, false},
        {"utf8 bom", "\xEF\xBB\xBFx\xC3\xA9", L"xé", teAutoEncoding::UTF8, true},
        {"utf16le",
         "\xFF\xFE"
         "a\0\xE9\0\x3C\xD8\x34\xDF"s,
         L"aé\U0001F334", teAutoEncoding::UTF16LE, true},
        {"utf16be", "\xFE\xFF\0a\0\xE9"s, L"aé", teAutoEncoding::UTF16BE, true},
        {"utf32le",
         "\xFF\xFE\0\0"
         "a\0\0\0\x34\xF3\x01\0"s,
         L"a\U0001F334", teAutoEncoding::UTF32LE, true},
        {"utf32be", "\0\0\xFE\xFF\0\0\0a"s, L"a", teAutoEncoding::UTF32BE, true},
        // Not valid UTF-8: the fallback is Latin-1, so 0x93 is a C1 control, not a Windows-1252 quote.
        {"latin1", "caf\xE9 \x93q\x94", L"caf\u00E9 \u0093q\u0094", teAutoEncoding::Latin1, false},
        {"crlf kept", "a\r\nb", L"a\r\nb", teAutoEncoding::UTF8, false},
        {"empty", "", L"", teAutoEncoding::UTF8, false},
    };
    for (const DecodeCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        teAutoEncoding encoding = teAutoEncoding::Latin1;
        bool bBOM = !c.bBOM;
        EXPECT_EQ(tDecodeTextAuto(c.sBytes, &encoding, &bBOM), c.sText);
        EXPECT_EQ(encoding, c.encoding);
        EXPECT_EQ(bBOM, c.bBOM);
        EXPECT_EQ(ToolkitDecode(c.sBytes), c.sText);
    }
}

TEST(TextAutoDecode, BrokenUnitsBecomeReplacementCharacters)
{
    // An odd UTF-16 byte, a lone surrogate half, a UTF-32 value beyond Unicode and a short UTF-32 tail.
    EXPECT_EQ(tDecodeTextAuto("\xFF\xFE"
                              "a\0\x00\xD8z"s),
              L"a\uFFFD\uFFFD");
    EXPECT_EQ(tDecodeTextAuto("\xFF\xFE\0\0\0\0\x11\0"
                              "b\0"s),
              L"\uFFFD\uFFFD");
}

TEST(TextFileInputStream, GivesEveryCharacterAndFlagsTheEnd)
{
    wxMemoryInputStream input("\xEF\xBB\xBF<a>\xC3\xA9", 8);
    tcTextFileInputStream stream(input, -1, -1);
    EXPECT_TRUE(stream.IsOk());
    std::wstring sRead;
    while (!stream.Eof())
    {
        const wchar_t c = stream.GetCharacter();
        ASSERT_EQ(stream.LastRead(), 1u);
        sRead += c;
    }
    EXPECT_EQ(sRead, L"<a>é");
    EXPECT_EQ(stream.GetCharacter(), 0);
    EXPECT_EQ(stream.LastRead(), 0u);

    wxMemoryInputStream empty("", 0);
    tcTextFileInputStream none(empty);
    EXPECT_TRUE(none.Eof());
    EXPECT_EQ(none.GetCharacter(), 0);
    EXPECT_EQ(none.LastRead(), 0u);
}
