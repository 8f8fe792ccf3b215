// Documents converted into a project and written back in their source language come back as they
// were, whatever their encoding and line ends.
#include "engine/Convertor_html.h"
#include "engine/Convertor_txt.h"

#include "tests/engine/ConvertTestSupport.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace
{
std::string Fixture(const std::string& sName)
{
    return ReadBytes(std::filesystem::path(LINTRADO_FIXTURES_DIR) / "convert/roundtrip" / sName);
}

std::string Replace(std::string s, const std::string& sFind, const std::string& sReplace)
{
    for (size_t n = s.find(sFind); n != std::string::npos; n = s.find(sFind, n + sReplace.size()))
        s.replace(n, sFind.size(), sReplace);
    return s;
}

std::string CRLF(const std::string& s)
{
    return Replace(s, "\n", "\r\n");
}

std::string UTF16(const std::string& sUTF8, bool bBigEndian)
{
    std::string s = bBigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : tToU16(wxString::FromUTF8(sUTF8)))
    {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        s += bBigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return s;
}

std::string Latin1(const std::string& sUTF8)
{
    std::string s;
    for (wxUniChar c : wxString::FromUTF8(sUTF8))
        s += static_cast<char>(c.GetValue());
    return s;
}

struct SRoundTrip
{
    const char* szName;
    std::string sBytes;
    // The UTF-8 text output writes.
    std::string sExpected;
};
} // namespace

TEST(ConvertorRoundTrip, DocumentsComeBackInTheirSourceLanguage)
{
    const std::string sPage = Fixture("page.html");
    const std::string sPageOut = Replace(sPage, "<br>", "<br />");
    const std::string sCatalog = Fixture("catalog.xml");
    const std::string sNotes = Fixture("notes.txt");
    ASSERT_NE(sPage.find("<br>"), std::string::npos);
    ASSERT_NE(sNotes.find("&amp;"), std::string::npos);

    const SRoundTrip cases[] = {
        {"page.html", sPage, sPageOut},
        {"crlf.html", CRLF(sPage), CRLF(sPageOut)},
        {"utf16le.html", UTF16(sPage, false), sPageOut},
        {"catalog.xml", sCatalog, sCatalog},
        {"bom.xml", "\xEF\xBB\xBF" + sCatalog, sCatalog},
        {"utf16be.xml", UTF16(CRLF(sCatalog), true), CRLF(sCatalog)},
        {"notes.txt", sNotes, sNotes},
        {"latin1.txt", Latin1(sNotes), sNotes},
        // Plain text comes back with line feeds.
        {"crlf.txt", CRLF(sNotes), sNotes},
        {"utf16le.txt", UTF16(CRLF(sNotes), false), sNotes},
    };
    CRecordedAsserts asserts;
    for (const SRoundTrip& c : cases)
    {
        SCOPED_TRACE(c.szName);
        const wxString sName = wxString::FromUTF8(c.szName);
        CConvertProject project;
        std::unique_ptr<tcConvertor> pConvertor;
        if (sName.EndsWith(".html"))
            pConvertor = AllocateConvertor_HTML(&project.Doc(), L"en");
        else if (sName.EndsWith(".xml"))
            pConvertor = AllocateConvertor_XML(&project.Doc(), L"en");
        else
            pConvertor = AllocateConvertor_TXT(&project.Doc(), L"en");
        bool bRead = false;
        tcNode* pFile = project.Convert(*pConvertor, WriteHomeFile("rt/" + std::string(c.szName), c.sBytes), &bRead);
        EXPECT_TRUE(bRead);
        ASSERT_NE(pFile, nullptr);
        EXPECT_EQ(project.Output(*pConvertor, pFile, L"en"), c.sExpected);
        // Nothing is translated yet: the target language gives the document through its segments.
        EXPECT_EQ(project.Output(*pConvertor, pFile, L"de"), c.sExpected);
    }
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
}
