// The plain-text convertor: decoding, escaping and the failures it reports.
#include "engine/Convertor_txt.h"

#include "Shared/UserPrompts.h"
#include "engine/ConvertorPreview.h"
#include "engine/ConvertorProgress.h"
#include "engine/Convertor_segment.h"
#include "tests/engine/ConvertTestSupport.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using namespace std::string_literals;

class CImportableTXT : public tcConvertorTXT
{
public:
    using tcConvertorTXT::tcConvertorTXT;
    void SetSourcePath(const wxString& sPath) { m_sSourcePath = sPath; }
};

class CProgress : public tcConvertorProgress
{
public:
    int GetValue() const override { return m_nValue; }
    void SetValue(int nValue) override { m_nValue = nValue; }
    int m_nValue = 1000;
};

struct SEncodingCase
{
    const char* szName;
    std::string sBytes;
    // The dump of the segment model: one unit, one run with the text escaped.
    const char* szDump;
    // The UTF-8 output in the source language.
    std::string sOutput;
    bool bWarning;
};
} // namespace

TEST(ConvertorTXT, EncodingsTable)
{
    const SEncodingCase cases[] = {
        {"utf8",
         "Gr\xC3\xBC\xC3\x9F"
         "e & <tags>\n",
         "U[T(Grüße &amp; &lt;tags&gt;\\n)]", "Grüße & <tags>\n", false},
        {"utf8 with bom",
         "\xEF\xBB\xBF"
         "caf\xC3\xA9",
         "U[T(café)]", "café", false},
        {"utf16le",
         "\xFF\xFE"
         "a\0\xE9\0\n\0"s,
         "U[T(aé\\n)]", "aé\n", false},
        {"utf16be", "\xFE\xFF\0a\0\xE9"s, "U[T(aé)]", "aé", false},
        {"utf32le",
         "\xFF\xFE\0\0"
         "a\0\0\0\x34\xF3\x01\0"s,
         "U[T(a\xF0\x9F\x8C\xB4)]", "a\xF0\x9F\x8C\xB4", false},
        // Not UTF-8: read as Latin-1, so 0x93 is a C1 control, not a Windows-1252 quote.
        {"latin1", "caf\xE9 \x93!", "U[T(café \xC2\x93!)]", "café \xC2\x93!", false},
        {"empty", "", "U[T()]", "", false},
        {"crlf", "a\r\nb\r\n", "U[T(a\\nb\\n)]", "a\nb\n", false},
        {"lone carriage return", "a\rb", "U[T(a&#13;b)]", "a\rb", false},
        {"entities stay text", "&amp; &lt;", "U[T(&amp;amp; &amp;lt;)]", "&amp; &lt;", false},
        // UTF-16 without a mark is read as UTF-8 holding NUL characters, which XML forbids.
        {"utf16 without mark", "a\0b\0"s,
         "U[T(a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD)]",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD",
         true},
    };
    CRecordedAsserts asserts;
    int nRow = 0;
    for (const SEncodingCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        tcLogCapture log;
        const wxString sPath = WriteHomeFile("enc/" + std::to_string(++nRow) + ".txt", c.sBytes);
        CConvertProject project;

        CImportableTXT importer(&project.Doc(), L"en");
        importer.SetSourcePath(sPath);
        CSegmentDoc segments(nullptr, nullptr, nullptr, nullptr, L"en", nullptr, -1, L"de");
        CProgress progress;
        EXPECT_TRUE(importer.Import(&segments, &progress));
        EXPECT_EQ(DumpSegments(segments), c.szDump);
        EXPECT_EQ(progress.m_nValue, 1500);
        EXPECT_EQ(log.Contains(L"characters that XML does not allow"), c.bWarning);

        auto pConvertor = AllocateConvertor_TXT(&project.Doc(), L"en");
        tcNode* pFile = project.Convert(*pConvertor, sPath);
        ASSERT_NE(pFile, nullptr);
        EXPECT_EQ(project.Output(*pConvertor, pFile, L"en"), c.sOutput);
    }
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
}

TEST(ConvertorTXT, UnreadableFilesGiveTheirReasonAndAddNoUnit)
{
    CRecordedPrompts prompts;
    CRecordedAsserts asserts;
    CConvertProject project;
    const wxString sFolder = WriteHomeFile("folder.txt/x", "").BeforeLast('/');
    const struct
    {
        wxString sPath;
        const char* szFailure;
    } cases[] = {{sFolder + "/missing.txt", "FILE_DOES_NOT_EXIST"}, {sFolder, "FILE_COULD_NOT_OPEN"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.sPath.utf8_string());
        CImportableTXT importer(&project.Doc(), L"en");
        importer.SetSourcePath(c.sPath);
        CSegmentDoc segments(nullptr, nullptr, nullptr, nullptr, L"en", nullptr, -1, L"de");
        EXPECT_FALSE(importer.Import(&segments, nullptr));
        EXPECT_EQ(segments.GetNumUnits(), 0);
        EXPECT_EQ(importer.GetFailure().utf8_string(), c.szFailure);
    }
    // The caller tells the user, naming the file: nothing is shown here, and nothing is asserted.
    EXPECT_EQ(prompts.m_asShown, std::vector<wxString>());
    EXPECT_EQ(asserts.m_asSeen, std::vector<std::string>());
}

TEST(ConvertorTXT, PreviewShowsTheTextAsWrittenWithHighlights)
{
    CConvertProject project;
    tcConvertorTXT convertor(&project.Doc(), L"en");
    const wxString sGenerated = L"a &lt; b &amp; c\n__Lintrado_segment_untranslated_begin__d"
                                L"__Lintrado_segment_untranslated_end__";
    // No window maker is installed here: nothing is shown, but the page is kept.
    EXPECT_EQ(convertor.Preview(wxString(), sGenerated, nullptr, nullptr), nullptr);
    EXPECT_EQ(convertor.GetLastPreviewText(),
              L"a &lt; b &amp; c<br /><span style=\"background-color:#CAE1F9\">d</span>");
    EXPECT_EQ(convertor.ShowLastPreview(nullptr), nullptr);
}
