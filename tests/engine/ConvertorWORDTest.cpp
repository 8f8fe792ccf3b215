// The Word convertor against the in-memory Word: units from the template's change entries, the
// chunked fetching, writing translations back, the round trip and the failures.
#include "engine/Convertor_word.h"

#include "Shared/AppUtils_shared.h"
#include "engine/ConvertorProgress.h"
#include "engine/Convertor_segment.h"
#include "engine/Convertor_txt.h"
#include "tests/engine/ConvertTestSupport.h"
#include "tests/engine/FakeWord.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

class CImportableWORD : public tcConvertorWORD
{
public:
    using tcConvertorWORD::tcConvertorWORD;
    void SetSourcePath(const wxString& sPath) { m_sSourcePath = sPath; }
    void UseInternalFileOf(const SXLIFFDTD& dtd, tcNode* pFile)
    {
        m_pXLIFFDTD = &dtd;
        m_pInternalFileNode = FindInternalFile(pFile);
    }
};

class CProgress : public tcConvertorProgress
{
public:
    int GetValue() const override { return m_nValue; }
    void SetValue(int nValue) override
    {
        m_aSteps.push_back(nValue - m_nValue);
        m_nValue = nValue;
    }
    int m_nValue = 0;
    std::vector<int> m_aSteps;
};

// A dump with the position marker written "@".
std::string Dump(const CSegmentDoc& doc)
{
    wxString s = wxString::FromUTF8(DumpSegments(doc));
    s.Replace(kszWordPosition, L"@");
    return s.utf8_string();
}

// The document text kept in the file's skeleton; nullopt when there is none.
std::optional<wxString> SkeletonText(tcConvertor& convertor)
{
    tcNode* pInternal = convertor.GetInternalFileNode();
    std::vector<uint8_t> aBytes;
    if (!pInternal || !tHexToBin(pInternal->GenerateXMLChildren(false, false), aBytes))
        return std::nullopt;
    const std::string sBytes(aBytes.begin(), aBytes.end());
    const std::string sMagic = FakeWordFile(wxString());
    if (sBytes.compare(0, sMagic.size(), sMagic) != 0)
        return std::nullopt;
    return wxString::FromUTF8(sBytes.substr(sMagic.size()));
}

class ConvertorWORDTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sOldDataPath = g_sDataPath;
        g_sDataPath = HomePath("data");
        WriteHomeFile("data/Lintrado.dot", "template");
        m_word.m_sTemplateDir = HomePath("Templates");
        const char* szTmp = std::getenv("TMPDIR");
        m_sOldTmp = szTmp ? std::optional<std::string>(szTmp) : std::nullopt;
        fs::create_directories(TempDir());
        setenv("TMPDIR", TempDir().c_str(), 1);
    }
    void TearDown() override
    {
        g_sDataPath = m_sOldDataPath;
        if (m_sOldTmp)
            setenv("TMPDIR", m_sOldTmp->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    static fs::path TempDir() { return fs::path(HomePath("tmp").utf8_string()); }
    // The names in a folder, sorted.
    static std::vector<std::string> FilesIn(const fs::path& dir)
    {
        std::vector<std::string> asNames;
        for (const auto& entry : fs::directory_iterator(dir))
            asNames.push_back(entry.path().filename().string());
        std::sort(asNames.begin(), asNames.end());
        return asNames;
    }
    // The files left in the temporary folder.
    static std::vector<std::string> TempFiles() { return FilesIn(TempDir()); }

    // A source document of the fake holding sText, with the template scripted to report the
    // results and the end position nEnd.
    wxString Source(const wxString& sText, const std::vector<CFakeWordProvider::SResult>& aResults, long nEnd)
    {
        m_word.m_aResults = aResults;
        m_word.m_nMaxRange = nEnd;
        return WriteHomeFile("src/" + std::to_string(++m_nSources) + ".doc", FakeWordFile(sText));
    }

    // Imports sPath into a segment model (whose dump goes to *psDump) and gives the result.
    bool Import(const wxString& sPath, std::string* psDump, CProgress* pProgress = nullptr,
                std::optional<wxString>* psSkeleton = nullptr)
    {
        // The skeleton needs a file element to live in.
        tcConvertorTXT txt(&m_project.Doc(), L"en");
        tcNode* pFile = m_project.Convert(txt, WriteHomeFile("holder.txt", "x"));
        CImportableWORD importer(&m_project.Doc(), L"en");
        importer.SetSourcePath(sPath);
        importer.UseInternalFileOf(m_project.DTD(), pFile);
        CSegmentDoc segments(nullptr, nullptr, nullptr, nullptr, L"en", nullptr, -1, L"de");
        const bool bRead = importer.Import(&segments, pProgress);
        m_sLastFailure = importer.GetFailure();
        if (psDump)
            *psDump = Dump(segments);
        if (psSkeleton)
            *psSkeleton = SkeletonText(importer);
        return bRead;
    }

    CFakeWordProvider m_word;
    CConvertProject m_project;
    // Why the last Import failed.
    wxString m_sLastFailure;

private:
    wxString m_sOldDataPath;
    std::optional<std::string> m_sOldTmp;
    int m_nSources = 0;
};

struct SImportCase
{
    const char* szName;
    const wchar_t* szText;
    std::vector<CFakeWordProvider::SResult> aResults;
    const char* szDump;
    const wchar_t* szSkeleton;
    // The end position the template reports; -1: the text's length.
    long nEnd = -1;
};
} // namespace

TEST_F(ConvertorWORDTest, EntriesBecomeUnitsWithPlaceholdersAndPositions)
{
    const SImportCase cases[] = {
        // Paragraph ends: each run after a unit holding only its position; the mark at 11 stays.
        {"paragraphs",
         L"abcdefghijklmnopqrstuvwxyz0123",
         {{12, L"12|1"}, {25, L"25|1"}},
         "U[]U[S1(@0])]U[T(abcdefghijk)]U[S2(@2])]U[T(mnopqrstuvwx)]U[S3(@4])]U[T(z0123)]",
         L" l y "},
        // After the last entry the rest of the text runs to the end, after the last codes again.
        {"bold pair",
         L"abcdefghijk",
         {{6, L"6|4"}, {10, L"10|5"}},
         "U[S1(|Bold|@0])T(abcdef)E(@1]=S1)T(ghij)E(@2])T(k)]",
         L"   "},
        // "0" leaves the text before the next run in the document, "10" starts the run at its position.
        {"skips", L"abcdefghij", {{3, L"3|0"}, {6, L"6|10"}}, "U[S1(@6])T(ghij)]", L"abcdef "},
        {"skip then bold",
         L"abcdefghij",
         {{3, L"3|0"}, {8, L"8|4"}},
         "U[S1(|Bold|@4])T(efgh)S2(|Bold|@5])T(ij)]",
         L"abcd  "},
        {"two styles at once",
         L"abcdefghij",
         {{6, L"6|4,6"}},
         "U[S1(|Bold|@0])S2(|Italic|@0])T(abcdef)S3(|Bold|@1])S4(|Italic|@1])T(ghij)]",
         L"  "},
        {"unknown code", L"abcdefghij", {{6, L"6|3"}}, "U[S1(@0])T(abcdef)S2(@1])T(ghij)]", L"  "},
        {"unmatched end", L"abcdefghij", {{6, L"6|5"}}, "U[E(@0])T(abcdef)E(@1])T(ghij)]", L"  "},
        // A result without "|" is no position 0: it is skipped.
        {"entry without bar",
         L"abcdefghij",
         {{5, L"5"}, {7, L"7|8"}},
         "U[S1(|Underline|@0])T(abcdefg)S2(|Underline|@1])T(hij)]",
         L"  "},
        // Escaped in the units. A run without codes still gets its position.
        {"markup characters", L"a & <b>", {}, "U[S1(@0])T(a &amp; &lt;b&gt;)]", L" "},
        // A range with no text is reported, and still gets its placeholder.
        {"end beyond the text", L"ab", {{4, L"4|4"}}, "U[S1(|Bold|@0])T(ab)S2(|Bold|@3])T()]", L"  ", 6},
        // A manual line break is no XML character: a code keeps it.
        {"line break",
         L"ab\x0B"
         L"cd",
         {},
         "U[S1(@0])T(ab)S2(__Lintrado_wordcharacter__11])T(cd)]",
         L" "},
    };
    for (const SImportCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        tcLogCapture log;
        CRecordedAsserts asserts;
        const wxString sText(c.szText);
        std::string sDump;
        std::optional<wxString> sSkeleton;
        const long nEnd = c.nEnd < 0 ? static_cast<long>(sText.length()) : c.nEnd;
        EXPECT_TRUE(Import(Source(sText, c.aResults, nEnd), &sDump, nullptr, &sSkeleton));
        EXPECT_EQ(sDump, c.szDump);
        EXPECT_EQ(sSkeleton.value_or(L"(none)"), wxString(c.szSkeleton));
        EXPECT_EQ(log.Contains(L"GetDiffs gave \"5\""), std::string(c.szName) == "entry without bar");
        EXPECT_EQ(asserts.m_asSeen, std::string(c.szName) == "end beyond the text"
                                        ? std::vector<std::string>{"Convertor_word 0"}
                                        : std::vector<std::string>());
    }
}

TEST_F(ConvertorWORDTest, EntriesAreFetchedInChunksOfTwoHundredPositions)
{
    struct SChunkCase
    {
        long nEnd;
        std::vector<std::string> asCompRanges;
    };
    const SChunkCase cases[] = {
        {0, {"Run(CompRanges,0,-1)"}},
        {150, {"Run(CompRanges,0,149)", "Run(CompRanges,150,149)"}},
        {200, {"Run(CompRanges,0,199)", "Run(CompRanges,200,199)"}},
        {400, {"Run(CompRanges,0,199)", "Run(CompRanges,200,399)", "Run(CompRanges,400,399)"}},
    };
    for (const SChunkCase& c : cases)
    {
        SCOPED_TRACE(c.nEnd);
        m_word.m_asLog.clear();
        CProgress progress;
        const wxString sText(L'a', static_cast<size_t>(c.nEnd));
        ASSERT_TRUE(Import(Source(sText, {}, c.nEnd), nullptr, &progress));
        EXPECT_EQ(m_word.Calls({"Run(CompRanges"}), c.asCompRanges);
        // 17, the chunks' shares adding up to 8850, then 940.
        ASSERT_EQ(progress.m_aSteps.size(), c.asCompRanges.size() + 2);
        EXPECT_EQ(progress.m_aSteps.front(), 17);
        EXPECT_EQ(progress.m_aSteps.back(), 940);
        EXPECT_EQ(progress.m_nValue, 17 + 8850 + 940);
    }

    // Entries on both sides of a chunk boundary arrive once each.
    m_word.m_asLog.clear();
    std::string sDump;
    const wxString sText = wxString(L'a', 199) + L"bc" + wxString(L'd', 199);
    ASSERT_TRUE(Import(Source(sText, {{199, L"199|3"}, {200, L"200|3"}, {201, L"201|3"}}, 400), &sDump));
    EXPECT_EQ(sDump, "U[S1(@0])T(" + std::string(199, 'a') + ")S2(@1])T(b)S3(@2])T(c)S4(@3])T(" +
                         std::string(199, 'd') + ")]");
    EXPECT_EQ(m_word.Calls({"RunString(GetDiffs)"}).size(), 3u + 3u);

    // A failing call ends the chunk's fetching; the entries after it are never read.
    m_word.m_asLog.clear();
    tcLogCapture log;
    ASSERT_TRUE(Import(Source(L"abcdefghij", {{5, L"5|4"}, {6, L"", true}, {7, L"7|5"}}, 10), &sDump));
    EXPECT_EQ(sDump, "U[S1(|Bold|@0])T(abcde)S2(|Bold|@1])T(fghij)]");
    EXPECT_TRUE(log.Contains(L"GetDiffs failed"));
}

TEST_F(ConvertorWORDTest, ImportDrivesWordInOrderAndLeavesNothingBehind)
{
    ASSERT_TRUE(Import(Source(L"abcdefghij", {{6, L"6|4"}}, 10), nullptr));
    const std::vector<std::string> asCalls =
        m_word.Calls({"Start", "Visible", "Open", "AddAddin", "RunLong", "Run(", "SaveAs", "Close", "Quit"});
    ASSERT_EQ(asCalls.size(), 12u);
    EXPECT_EQ(asCalls[0], "Start");
    EXPECT_EQ(asCalls[1], "Visible(0)");
    EXPECT_EQ(asCalls[2].substr(0, 5), "Open ");
    EXPECT_EQ(asCalls[3], "AddAddin " + HomePath("Templates/Lintrado.dot").utf8_string());
    EXPECT_EQ(asCalls[4], "RunLong(GetMaxRange)");
    EXPECT_EQ(asCalls[5], "Run(CalcFieldRanges)");
    EXPECT_EQ(asCalls[6], "Run(CompRanges,0,9)");
    EXPECT_EQ(asCalls[7], "Run(CompRanges,10,9)");
    EXPECT_EQ(asCalls[8], "Run(ModuleCleanup)");
    EXPECT_EQ(asCalls[9].substr(0, 7), "SaveAs ");
    EXPECT_EQ(asCalls[10], "Close(0)");
    EXPECT_EQ(asCalls[11], "Quit");
    // The template went to Word's folder; the source itself was never touched.
    EXPECT_EQ(ReadBytes(HomePath("Templates/Lintrado.dot")), "template");
    EXPECT_EQ(ReadBytes(HomePath("src/1.doc")), FakeWordFile(L"abcdefghij"));
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

TEST_F(ConvertorWORDTest, FailuresAddNoUnitAndLeaveNothingBehind)
{
    struct SFailureCase
    {
        const char* szName;
        bool bAvailable;
        bool bCanStart;
        bool bTemplate;
        const char* szFailure;
        int nQuit;
    };
    const SFailureCase cases[] = {
        {"no provider", false, true, true, "WORD_NOT_AVAILABLE", 0},
        {"word does not start", true, false, true, "WORD_NOT_AVAILABLE", 0},
        {"template missing", true, true, false,
         "Could not locate Lintrado.dot, it is not possible to translate Microsoft Word documents without it. Please "
         "reinstall the software or contact technial support for further assistance.",
         1},
    };
    for (const SFailureCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        m_word.m_asLog.clear();
        m_word.m_nQuit = 0;
        m_word.m_bAvailable = c.bAvailable;
        m_word.m_bCanStart = c.bCanStart;
        if (!c.bTemplate)
        {
            fs::remove(fs::path(HomePath("data/Lintrado.dot").utf8_string()));
            fs::remove(fs::path(HomePath("Templates/Lintrado.dot").utf8_string()));
        }
        CRecordedPrompts prompts;
        std::string sDump;
        EXPECT_FALSE(Import(Source(L"abcdefghij", {{6, L"6|4"}}, 10), &sDump));
        EXPECT_EQ(sDump, "");
        // The reason goes to the caller, who names the file; nothing is shown here.
        EXPECT_EQ(m_sLastFailure.utf8_string(), c.szFailure);
        EXPECT_EQ(prompts.m_asShown, std::vector<wxString>());
        EXPECT_EQ(m_word.m_nQuit, c.nQuit);
        // The working copy was closed unsaved before Word quit.
        const std::vector<std::string> asCleanup = {"Close(0)", "Quit"};
        EXPECT_EQ(m_word.Calls({"Close", "Quit", "SaveAs"}), c.nQuit ? asCleanup : std::vector<std::string>());
        EXPECT_EQ(TempFiles(), std::vector<std::string>());
    }
}

TEST_F(ConvertorWORDTest, ExportRefusesABadSkeletonAndQuitsWordOnEveryPath)
{
    CImportableWORD convertor(&m_project.Doc(), L"en");
    const wxString sOut = HomePath("out.doc");
    const std::string sSkeleton = FakeWordFile(L" ");
    const wxString sHex = tBinToHex(sSkeleton.data(), sSkeleton.size());
    const std::string sNotWord = "plain";
    struct SExportCase
    {
        const char* szName;
        wxString sSkeleton;
        bool bResult;
        bool bStarted;
    };
    const SExportCase cases[] = {
        {"empty", wxString(), false, false},
        {"not hexadecimal", L"ZZ", false, false},
        {"odd length", L"ABC", false, false},
        {"word cannot open it", tBinToHex(sNotWord.data(), sNotWord.size()), false, true},
        {"good", sHex, true, true},
    };
    for (const SExportCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        m_word.m_nStarted = 0;
        m_word.m_nQuit = 0;
        // A failed export leaves the earlier file whole, and nothing beside it.
        WriteHomeFile("out.doc", "earlier");
        const std::vector<std::string> asBefore = FilesIn(fs::path(HomePath().utf8_string()));
        EXPECT_EQ(convertor.Export(c.sSkeleton, wxString(kszWordPosition) + L"0]x", sOut, nullptr), c.bResult);
        EXPECT_EQ(m_word.m_nStarted, c.bStarted ? 1 : 0);
        EXPECT_EQ(m_word.m_nQuit, m_word.m_nStarted);
        EXPECT_EQ(ReadBytes(sOut), c.bResult ? FakeWordFile(L"x") : std::string("earlier"));
        EXPECT_EQ(FilesIn(fs::path(HomePath().utf8_string())), asBefore);
        EXPECT_EQ(TempFiles(), std::vector<std::string>());
    }
    m_word.m_bAvailable = false;
    EXPECT_FALSE(convertor.Export(sHex, L"x", HomePath("never.doc"), nullptr));
    EXPECT_FALSE(fs::exists(fs::path(HomePath("never.doc").utf8_string())));
}

TEST(ConvertorWORDWriteRanges, PiecesGoToTheirPlaceholdersWithHighlights)
{
    CFakeWordProvider word;
    // "@n]" stands for the position marker, { and } for the untranslated markers, « and » for the
    // selected ones.
    const auto generated = [](wxString s)
    {
        s.Replace(L"{", kszUntranslatedBegin);
        s.Replace(L"}", kszUntranslatedEnd);
        s.Replace(L"«", kszSelectedBegin);
        s.Replace(L"»", kszSelectedEnd);
        s.Replace(L"@", kszWordPosition);
        return s;
    };
    struct SWriteCase
    {
        const char* szName;
        const wchar_t* szText;
        const wchar_t* szResult;
        const char* szShaded;
        const char* szBordered;
    };
    // The skeleton " l y " has placeholders at 0, 2 and 4.
    const SWriteCase cases[] = {
        {"in order", L"@0]aa@2]bbbb@4]zzz", L"aalbbbbyzzz", "", ""},
        // Written by position, each moving the later ones by its growth.
        {"out of order", L"@4]zzz@0]aa@2]bbbb", L"aalbbbbyzzz", "", ""},
        {"empty and one space keep the placeholder", L"@0] @2]@4]x", L" l yx", "", ""},
        {"text before the first marker goes to 0", L"a@2]b", L"alby ", "", ""},
        {"highlights within pieces", L"@0]{aa}@2]x«bb»@4]cc", L"aalxbbycc", "[0,2)", "[4,6)"},
        // Open at a piece's end: on into the next piece, up to its end marker.
        {"highlights across pieces", L"@0]a{a@2]bb}@4]«cc", L"aalbbycc", "[1,2) [3,5)", "[6,8)"},
        {"a piece ending with a begin marker", L"@0]aa{@2]bb@4]}cc", L"aalbbycc", "[3,5)", ""},
        // Unescaped before Word gets it; the highlight counts the characters Word has.
        {"escaped text", L"@0]{&amp; &lt;b&gt;}", L"& <b>l y ", "[0,5)", ""},
        {"kept character", L"@0]a__Lintrado_wordcharacter__11]b",
         L"a\x0B"
         L"bl y ",
         "", ""},
        {"unclosed selection", L"@0]a«a@4]c", L"aal yc", "", "[1,2) [5,6)"},
    };
    for (const SWriteCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        CFakeWordDocument doc(word, L"doc", L" l y ");
        tcConvertorWORD::WriteRanges(doc, generated(c.szText));
        EXPECT_EQ(doc.m_sText, wxString(c.szResult));
        EXPECT_EQ(doc.ShadedRanges(0xF9E1CA), c.szShaded);
        EXPECT_EQ(doc.BorderedRanges(0x0000FF), c.szBordered);
        EXPECT_EQ(doc.ShadedRanges(0x0000FF) + doc.BorderedRanges(0xF9E1CA), "");
    }
}

namespace
{
// A translation of XLIFF content: letters of the text upper-cased; tags, references and the
// content of codes as they stand.
wxString Translate(const wxString& sXML)
{
    wxString sOut;
    bool bInTag = false;
    bool bInReference = false;
    int nCodeDepth = 0;
    for (size_t i = 0; i < sXML.length(); ++i)
    {
        const wchar_t c = sXML[i];
        if (c == L'<')
        {
            bInTag = true;
            const wxString sRest = sXML.substr(i);
            for (const wchar_t* szCode : {L"bpt", L"ept", L"ph", L"it"})
            {
                if (sRest.StartsWith(wxString(L"<") + szCode))
                    ++nCodeDepth;
                else if (sRest.StartsWith(wxString(L"</") + szCode))
                    --nCodeDepth;
            }
        }
        else if (c == L'&')
            bInReference = true;
        sOut += (bInTag || bInReference || nCodeDepth > 0) ? c : static_cast<wchar_t>(towupper(c));
        if (c == L'>')
            bInTag = false;
        else if (c == L';')
            bInReference = false;
    }
    return sOut;
}

// Gives every segmented unit of pFile a target whose segments translate the source's.
void AddTargets(CConvertProject& project, tcNode* pFile)
{
    const SXLIFFDTD& dtd = project.DTD();
    std::vector<tcNode*> apSegSources;
    pFile->FindDescendantsOfElementType(dtd.m_pSegSourceElement->GetID(), apSegSources);
    for (tcNode* pSegSource : apSegSources)
    {
        // A unit of one sentence has no segment markers.
        wxString sTarget = pSegSource->HasDescendantsOfElementType(dtd.m_pMrkElement->GetID())
                               ? wxString()
                               : Translate(pSegSource->GenerateXMLChildren(true, true));
        for (tcNode* pMrk : pSegSource->GetChildren())
            if (pMrk->GetElement() == dtd.m_pMrkElement)
            {
                const wxString sMrk = pMrk->GenerateXML(true, true);
                const size_t nOpen = sMrk.find(L'>') + 1;
                const size_t nClose = sMrk.rfind(L"</");
                sTarget += sMrk.substr(0, nOpen) + Translate(sMrk.substr(nOpen, nClose - nOpen)) + sMrk.substr(nClose);
            }
        tcNode* pTarget = AllocateElementByIDHelper(dtd.m_pTargetElement->GetID(), &project.Doc());
        ASSERT_TRUE(pTarget->ParseXML(sTarget, &project.Doc()));
        ASSERT_TRUE(pSegSource->GetParent()->AddChildOrdered(pTarget));
    }
}
} // namespace

TEST_F(ConvertorWORDTest, ProjectRoundTripPutsEachTranslationAtItsPosition)
{
    // Two paragraphs, the second with a bold word and a manual line break, and a figure the
    // template skips.
    const wxString sText = L"Tom & Jerry <3\rBig news\x0B"
                           L"today.\r[fig]";
    const wxString sPath = Source(sText, {{15, L"15|1"}, {18, L"18|4"}, {23, L"23|5"}, {31, L"31|1"}, {35, L"35|0"}},
                                  static_cast<long>(sText.length()));
    tcConvertorWORD convertor(&m_project.Doc(), L"en");
    bool bRead = false;
    tcNode* pFile = m_project.Convert(convertor, sPath, &bRead);
    ASSERT_TRUE(bRead);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(SkeletonText(convertor).value_or(L"(none)"), wxString(L" \r   \r[fig]"));

    // In the source language the document comes back as it was.
    EXPECT_EQ(m_project.Output(convertor, pFile, L"en"), FakeWordFile(sText));
    // Translated: each text at its place, the paragraph marks and the figure untouched.
    AddTargets(m_project, pFile);
    EXPECT_EQ(m_project.Output(convertor, pFile, L"de"), FakeWordFile(L"TOM & JERRY <3\rBIG NEWS\x0B"
                                                                      L"TODAY.\r[fig]"));
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}
