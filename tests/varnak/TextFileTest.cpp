#include "varnak/include/tTextFile.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace
{

std::vector<wxString> ReadLines(const wxString& sPath)
{
    std::vector<wxString> aLines;
    auto pReader = tOpenTextFile(sPath);
    if (!pReader)
        return aLines;
    wxString sLine;
    while (pReader->ReadLine(sLine))
        aLines.push_back(sLine);
    EXPECT_TRUE(sLine.empty());
    return aLines;
}

} // namespace

TEST(TextFileWriter, Utf8ReadsBack)
{
    const wxString sPath = HomePath("random.txt");
    const wxString sLine = L"Grüße ελληνικά שלום \U0001F334.";
    auto pFile = tCreateUTF8TextFile(sPath, UTF8FILE_NOBOM);
    ASSERT_TRUE(pFile);
    EXPECT_TRUE(pFile->Printf(L"%s%s", sLine.wc_str(), L"\n"));
    EXPECT_TRUE(pFile->Printf(L"%d,%.1f,%S%s", 7, 2.5, "narrow", L"\r\n"));
    EXPECT_TRUE(pFile->Write(wxString(L"\xD83D\xDE00 halves", 9)));
    EXPECT_TRUE(pFile->Close());
    EXPECT_FALSE(pFile->Write(L"after close"));

    EXPECT_EQ(ReadBytes(sPath), "Gr\xC3\xBC\xC3\x9F"
                                "e \xCE\xB5\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC "
                                "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xF0\x9F\x8C\xB4.\n"
                                "7,2.5,narrow\r\n"
                                "\xF0\x9F\x98\x80 halves");
    const std::vector<wxString> aLines = ReadLines(sPath);
    ASSERT_EQ(aLines.size(), 3u);
    EXPECT_EQ(aLines[0], sLine);
    EXPECT_EQ(aLines[1], L"7,2.5,narrow");
    EXPECT_EQ(aLines[2], L"\U0001F600 halves");
    EXPECT_EQ(tOpenTextFile(sPath)->GetEncoding(), teTextEncoding::UTF8);
}

TEST(TextFileWriter, ByteOrderMarkAndFailures)
{
    const wxString sPath = HomePath("bom.txt");
    {
        auto pFile = tCreateUTF8TextFile(sPath, UTF8FILE_BOM);
        ASSERT_TRUE(pFile);
        pFile->Write(L"é");
        // The destructor closes the file.
    }
    EXPECT_EQ(ReadBytes(sPath), "\xEF\xBB\xBF\xC3\xA9");
    EXPECT_EQ(ReadLines(sPath), std::vector<wxString>{L"é"});

    auto pPlain = tCreateTextFile(HomePath("plain.txt"));
    ASSERT_TRUE(pPlain);
    pPlain->Write(L"2024-01-01 10:00:00\n");
    EXPECT_TRUE(pPlain->Close());
    EXPECT_EQ(ReadBytes(HomePath("plain.txt")), "2024-01-01 10:00:00\n");

    EXPECT_FALSE(tCreateTextFile(HomePath("no/such/folder/x.txt")));
    EXPECT_FALSE(tCreateUTF8TextFile(L"", 0));
}

TEST(TextFileReader, LineEndsAndEncodings)
{
    struct Case
    {
        const char* szName;
        std::string sBytes;
        std::vector<wxString> aLines;
        teTextEncoding encoding;
    };
    const Case cases[] = {
        {"ends", "a\nb\r\nc\rd", {L"a", L"b", L"c", L"d"}, teTextEncoding::UTF8},
        {"trailing", "a\n\nb\n", {L"a", L"", L"b"}, teTextEncoding::UTF8},
        {"empty", "", {}, teTextEncoding::UTF8},
        {"crcr", "\r\r", {L"", L""}, teTextEncoding::UTF8},
        {"utf16le",
         std::string("\xFF\xFE"
                     "a\0\xE9\0\n\0\x3C\xD8\x34\xDF",
                     12),
         {L"a\u00E9", L"\U0001F334"},
         teTextEncoding::UTF16LE},
        {"utf16be", std::string("\xFE\xFF\0x\0\r\0\n\0y", 10), {L"x", L"y"}, teTextEncoding::UTF16BE},
        {"cp1252", "caf\xE9 \x80 \x93quoted\x94", {L"café € \u201Cquoted\u201D"}, teTextEncoding::Windows1252},
    };
    for (const Case& c : cases)
    {
        const wxString sPath = WriteHomeFile(c.szName, c.sBytes);
        auto pReader = tOpenTextFile(sPath);
        ASSERT_TRUE(pReader) << c.szName;
        EXPECT_EQ(pReader->GetEncoding(), c.encoding) << c.szName;
        EXPECT_EQ(ReadLines(sPath), c.aLines) << c.szName;
    }
    EXPECT_FALSE(tOpenTextFile(HomePath("missing.txt")));
    EXPECT_FALSE(tOpenTextFile(HomePath()));
}

TEST(TextFileBytes, ReadsVerbatimAndSplitsLinesUndecoded)
{
    const std::string sBytes("\xEF\xBB\xBFone\r\n\0two\xFF\n", 14);
    const std::optional<std::string> sRead = tReadFileBytes(WriteHomeFile("raw.bin", sBytes));
    ASSERT_TRUE(sRead.has_value());
    EXPECT_EQ(*sRead, sBytes);
    EXPECT_EQ(tReadFileBytes(WriteHomeFile("empty.bin", "")), std::optional<std::string>(""));
    EXPECT_FALSE(tReadFileBytes(HomePath("missing.bin")).has_value());
    EXPECT_FALSE(tReadFileBytes(HomePath()).has_value()) << "a folder opens but does not read";

    struct Case
    {
        std::string sBytes;
        std::vector<std::string> aLines;
    };
    const Case cases[] = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\r\nb\n", {"a", "b"}},
        {"\xEF\xBB\xBF"
         "a\n\nb",
         {"a", "", "b"}},
        // Only a "\r" right before "\n" ends a line; only one is dropped.
        {"a\rb\n", {"a\rb"}},
        {"a\r\r\n", {"a\r"}},
        // A mark later on, and bytes that are not UTF-8, stay as they are.
        {"x\xEF\xBB\xBFy\n\xFF", {"x\xEF\xBB\xBFy", "\xFF"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tSplitByteLines(c.sBytes), c.aLines) << c.sBytes;
}
