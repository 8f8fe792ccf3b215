#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/harness/TempHome.h"
#include "tests/import/ImportTestUtil.h"

#include "Shared/UserPrompts.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcProperties.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
enum class Format
{
    SRX,
    TMX,
    XLIFF
};

const tGUID& GuidOf(Format eFormat)
{
    switch (eFormat)
    {
    case Format::SRX:
        return SRXImporterGUID();
    case Format::TMX:
        return TMXImporterGUID();
    case Format::XLIFF:
        break;
    }
    return XLIFFImporterGUID();
}

fs::path FixturePath(const std::string& sName)
{
    return fs::path(LINTRADO_FIXTURES_DIR) / sName;
}

// A document with the handler that read it, made through the registry as the program makes them.
// The handler goes first, so it never outlives its document.
struct Loaded
{
    std::unique_ptr<tcDocument> pDoc = std::make_unique<tcDocument>();
    std::unique_ptr<tcIO> pIO;
    LoadOutcome outcome;

    CXMLImporter& Importer() const { return dynamic_cast<CXMLImporter&>(*pIO); }
    wxString Tree() const { return DumpTree(pDoc->GetDictionary()); }
    wxString DocumentType() const { return pDoc->GetProperties().GetString("Document", "Type", "(none)"); }
};

std::unique_ptr<Loaded> LoadWith(Format eFormat, const fs::path& path)
{
    auto pLoaded = std::make_unique<Loaded>();
    pLoaded->pIO = g_pIORegistry->AllocateIO(GuidOf(eFormat));
    if (!pLoaded->pIO)
    {
        ADD_FAILURE() << "no handler";
        return pLoaded;
    }
    pLoaded->outcome = LoadInto(pLoaded->Importer(), *pLoaded->pDoc, path);
    return pLoaded;
}

wxString JoinErrors(const std::vector<wxString>& asErrors)
{
    wxString s;
    for (const wxString& sError : asErrors)
        s += sError + "\n";
    return s;
}

// The three handler types, registered for the test's lifetime as the program registers them.
class ImportFormats : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Init_XLIFFImporter());
        ASSERT_TRUE(Init_TMXImporter());
        ASSERT_TRUE(Init_SRXImporter());
    }
    void TearDown() override
    {
        Done_XLIFFImporter();
        Done_TMXImporter();
        Done_SRXImporter();
    }
};

// Answers the file chooser with one path and records the filter it was shown.
class OneFilePrompts : public tcSilentUserPrompts
{
public:
    explicit OneFilePrompts(const wxString& sAnswer) : m_sAnswer(sAnswer) { tSetUserPrompts(this); }
    ~OneFilePrompts() override { tSetUserPrompts(nullptr); }
    wxString ChooseFile(const wxString& sMessage, const wxString&, const wxString&, const wxString& sWildcard, long nStyle,
                        wxWindow*) override
    {
        asWildcards.push_back(sWildcard);
        asTitles.push_back(sMessage);
        nLastStyle = nStyle;
        return m_sAnswer;
    }
    std::vector<wxString> asWildcards;
    std::vector<wxString> asTitles;
    long nLastStyle = 0;

private:
    wxString m_sAnswer;
};
} // namespace

// ----- Registration -----------------------------------------------------------------------------------

TEST_F(ImportFormats, RegistryMakesEachHandlerByGUIDWithItsFlags)
{
    struct Case
    {
        Format eFormat;
        const wchar_t* szGUID;
        int nFlags;
        const char* szTag;
        const char* szName;
    };
    const Case kCases[] = {
        {Format::SRX, L"AE567AC9-0795-4DEC-8833-80F9CBFEDFAA", IOFLAG_SAVE | IOFLAG_SAVEAS | IOFLAG_OPEN, "SRXImporter",
         "SRX (Segmentation Rules eXchange)"},
        {Format::TMX, L"0B1E062C-F1ED-4482-ABAC-5875EB90D436", IOFLAG_SAVE | IOFLAG_SAVEAS | IOFLAG_OPEN, "TMXImporter",
         "TMX (Translation Memory eXchange) in TMX mode [beta]"},
        {Format::XLIFF, L"{22D0245C-B96F-41A8-BD82-D327D199011C}", IOFLAG_OPEN, "XLIFFImporter",
         "XLIFF (XML Localisation Interchange File Format) in XLIFF mode [beta]"},
    };
    EXPECT_FALSE(Init_TMXImporter()) << "a second registration must be refused";
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szTag);
        tGUID guid;
        ASSERT_TRUE(tStringToGUID(c.szGUID, guid));
        EXPECT_EQ(guid, GuidOf(c.eFormat));
        EXPECT_EQ(g_pIORegistry->GetIOFlags(guid), c.nFlags);
        EXPECT_EQ(g_pIORegistry->GetIOTag(guid), c.szTag);
        EXPECT_EQ(g_pIORegistry->GetIOName(guid), wxString::FromUTF8(c.szName));

        std::unique_ptr<tcIO> pIO = g_pIORegistry->AllocateIO(guid);
        ASSERT_TRUE(pIO);
        EXPECT_EQ(pIO->GetDatasourceType(), guid);
        EXPECT_EQ(dynamic_cast<CSRXImporter*>(pIO.get()) != nullptr, c.eFormat == Format::SRX);
        EXPECT_EQ(dynamic_cast<CTMXImporter*>(pIO.get()) != nullptr, c.eFormat == Format::TMX);
        EXPECT_EQ(dynamic_cast<CXLIFFImporter*>(pIO.get()) != nullptr, c.eFormat == Format::XLIFF);
        // A project's handler keeps its context open while it lives.
        EXPECT_EQ(tDebugContextString().Contains("ImportXLIFF"), c.eFormat == Format::XLIFF) << tDebugContextString();
        pIO.reset();
        EXPECT_FALSE(tDebugContextString().Contains("ImportXLIFF")) << tDebugContextString();
    }

    Done_XLIFFImporter();
    EXPECT_FALSE(g_pIORegistry->AllocateIO(XLIFFImporterGUID()));
    EXPECT_TRUE(g_pIORegistry->AllocateIO(TMXImporterGUID())) << "the other types stay";
    EXPECT_TRUE(Init_XLIFFImporter());
}

TEST_F(ImportFormats, SelectDataSourceCopiesTheChosenPathOrLeavesTheBufferAlone)
{
    struct Case
    {
        Format eFormat;
        const char* szAnswer;
        size_t nBufferSize;
        bool bExpected;
        const char* szBufferAfter;
    };
    const Case kCases[] = {
        {Format::SRX, "/data/rules/Default.srx", 64, true, "/data/rules/Default.srx"},
        {Format::TMX, "/data/main.tmx", 64, true, "/data/main.tmx"},
        {Format::XLIFF, "/projects/é.xlf", 16, true, "/projects/é.xlf"},
        {Format::XLIFF, "", 64, false, "untouched"},
        // A path that does not fit must not be taken as chosen.
        {Format::TMX, "/a/much/longer/path/than/the/buffer.tmx", 8, false, nullptr},
    };
    const char* kFilters[] = {"SRX files (*.srx)|*.srx|All files (*.*)|*.*",
                              "TMX files (*.tmx)|*.tmx|All files (*.*)|*.*",
                              "XLIFF files (*.xlf;*.xliff)|*.xlf;*.xliff|All files (*.*)|*.*"};
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.szAnswer);
        OneFilePrompts prompts(wxString::FromUTF8(c.szAnswer));
        std::vector<wchar_t> szBuffer(c.nBufferSize, L'\0');
        wcscpy(szBuffer.data(), L"untouched");
        EXPECT_EQ(g_pIORegistry->SelectDatasource(GuidOf(c.eFormat), szBuffer.data(), szBuffer.size()), c.bExpected);
        ASSERT_EQ(prompts.asWildcards.size(), 1u);
        EXPECT_EQ(prompts.asWildcards[0], kFilters[static_cast<int>(c.eFormat)]);
        // Opening a project says so in the chooser's title (the catalog's key while none is loaded).
        EXPECT_EQ(prompts.asTitles[0], c.eFormat == Format::XLIFF ? "OPEN_PROJECT_TITLE" : "");
        if (c.szBufferAfter)
        {
            EXPECT_EQ(wxString(szBuffer.data()), wxString::FromUTF8(c.szBufferAfter));
        }
    }
}

// ----- Documents built from each format ---------------------------------------------------------------

struct ShapeCase
{
    const char* szName;
    Format eFormat;
    const char* szFixture;
    const char* szDocumentType;
    const char* szTree;
};

void PrintTo(const ShapeCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class ImportFormatShapes : public ImportFormats, public ::testing::WithParamInterface<ShapeCase>
{
};

TEST_P(ImportFormatShapes, RootElementGivesTheFormatsDocument)
{
    const ShapeCase& c = GetParam();
    auto pLoaded = LoadWith(c.eFormat, ImportFixture(std::string("formats/") + c.szFixture));
    ASSERT_EQ(pLoaded->outcome.nResult, 0) << JoinErrors(pLoaded->outcome.asErrors);
    EXPECT_TRUE(pLoaded->outcome.asErrors.empty()) << JoinErrors(pLoaded->outcome.asErrors);
    EXPECT_EQ(pLoaded->DocumentType(), c.szDocumentType);
    EXPECT_EQ(pLoaded->Tree().utf8_string(), c.szTree);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ImportFormatShapes,
                         ::testing::Values(
                             // Two files give two entries in file order; xml:space on the root keeps tabs and line
                             // feeds; text stays decoded and CDATA stays CDATA.
                             ShapeCase{"XLIFFWithTwoFiles", Format::XLIFF, "two-files.xlf", "XLIFF", R"(xml
  xliff version="1.2" xmlns="urn:oasis:names:tc:xliff:document:1.2" xml:space="preserve"
    file original="a.txt" source-language="en"
      body
        trans-unit id="1"
          source
            "One\ttwo\nthree"
    file original="b.txt" source-language="en"
      body
        trans-unit id="2"
          source
            "Four & <five>"
          target
            [[<keep> & ]]
)"},
                             ShapeCase{"TMXAsOneEntry", Format::TMX, "memory.tmx", "TMX", R"(xml
  tmxdoc
    tmx version="1.4"
      header srclang="en"
      body
        tu
          note
            "see"
          tuv xml:lang="en"
            seg
              "A line"
        tu
          tuv xml:lang="en"
            seg
              "B <b>"
)"},
                             ShapeCase{"SRXWithNamespace", Format::SRX, "rules.srx", "(none)", R"(xml
  srxdoc
    srx xmlns="http://www.lisa.org/srx20" version="2.0"
      header cascade="yes"
      body
        languagerules
          languagerule languagerulename="Default"
            rule break="yes"
              beforebreak
                "[.?!]"
              afterbreak
                "\\s"
)"},
                             // Another root: the generic reading, without the format's shape or type; an element
                             // inside it named like the format's root is content like any other.
                             ShapeCase{"WrongRootTakesTheGenericRoad", Format::TMX, "wrong-root.tmx", "(none)",
                                       R"(memory version="1"
  part name="a"
    unit
      "one "
      tmx version="1.4"
    unit
      "two"
)"}),
                         [](const ::testing::TestParamInfo<ShapeCase>& caseInfo)
                         { return std::string(caseInfo.param.szName); });

TEST_F(ImportFormats, RootAttributesAreImpliedTextKindsWithTheParsersValues)
{
    auto pLoaded = LoadWith(Format::SRX, ImportFixture("formats/rules.srx"));
    ASSERT_EQ(pLoaded->outcome.nResult, 0) << JoinErrors(pLoaded->outcome.asErrors);
    const tcElement* pSrx = pLoaded->pDoc->GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    ASSERT_TRUE(pSrx);
    EXPECT_EQ(pSrx->GetName(), "srx");
    EXPECT_EQ(pLoaded->pDoc->GetDTD()->GetElementByID(ELEMENTID_SECTION)->GetName(), "srxdoc");
    EXPECT_EQ(pLoaded->pDoc->GetDTD()->GetElementByID(ELEMENTID_DICTIONARY)->GetName(), "xml");
    for (const char* szName : {"xmlns", "version"})
    {
        SCOPED_TRACE(szName);
        const tcAttribute* pAttr = pSrx->FindAttributeByName(szName);
        ASSERT_TRUE(pAttr);
        EXPECT_EQ(pAttr->GetDefaultType(), ATTRDEF_IMPLIED);
        EXPECT_EQ(pAttr->GetType(), ATTR_CDATA);
    }

    // The value the parser gives is stored as it is: a text that reads like a reference stays one.
    const fs::path path = TempHomeListener::Current() / "escaped.tmx";
    WriteBytes(path, "<tmx version=\"1.4\" o-tmf=\"a &amp;lt; b\"><body/></tmx>");
    auto pTMX = LoadWith(Format::TMX, path);
    ASSERT_EQ(pTMX->outcome.nResult, 0) << JoinErrors(pTMX->outcome.asErrors);
    EXPECT_EQ(pTMX->Tree().utf8_string(), "xml\n  tmxdoc\n    tmx version=\"1.4\" o-tmf=\"a &lt; b\"\n      body\n");
    ASSERT_EQ(pTMX->pIO->Save({}), 0);
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\" o-tmf=\"a &amp;lt; "
                               "b\">\n  <body/>\n</tmx>\n");
}

TEST_F(ImportFormats, TMXNamingAMissingDTDLoadsWithOneWarning)
{
    auto pLoaded = LoadWith(Format::TMX, ImportFixture("formats/missing-dtd.tmx"));
    ASSERT_EQ(pLoaded->outcome.nResult, 0) << JoinErrors(pLoaded->outcome.asErrors);
    ASSERT_EQ(pLoaded->outcome.asErrors.size(), 1u) << JoinErrors(pLoaded->outcome.asErrors);
    EXPECT_TRUE(pLoaded->outcome.asErrors[0].StartsWith("Warning")) << pLoaded->outcome.asErrors[0];
    EXPECT_TRUE(pLoaded->outcome.asErrors[0].Contains("no-such-tmx.dtd")) << pLoaded->outcome.asErrors[0];
    EXPECT_TRUE(pLoaded->Tree().Contains("\"Hello\"")) << pLoaded->Tree();
    EXPECT_EQ(pLoaded->DocumentType(), "TMX");
}

// ----- Round trips through the handlers and writers ----------------------------------------------------

struct RoundTripCase
{
    const char* szName;
    Format eFormat;
    const char* szFixture;
    // Parts of the first saved file that show nothing was lost or escaped twice.
    std::vector<std::string> asInSaved;
};

void PrintTo(const RoundTripCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class ImportFormatRoundTrip : public ImportFormats, public ::testing::WithParamInterface<RoundTripCase>
{
};

TEST_P(ImportFormatRoundTrip, ImportSaveImportKeepsTheTreeAndSaveImportSaveTheBytes)
{
    const RoundTripCase& c = GetParam();
    auto pFirst = LoadWith(c.eFormat, FixturePath(c.szFixture));
    ASSERT_EQ(pFirst->outcome.nResult, 0) << JoinErrors(pFirst->outcome.asErrors);
    const wxString sTree = pFirst->Tree();

    const fs::path first = TempHomeListener::Current() / "first" / fs::path(c.szFixture).filename();
    fs::create_directories(first.parent_path());
    ASSERT_EQ(pFirst->pIO->SaveAs(wxString(first.wstring()), nullptr), 0);
    EXPECT_EQ(pFirst->pIO->GetDatasource(), wxString(first.wstring()));
    const std::string sSaved = ReadBytes(first);
    for (const std::string& sPart : c.asInSaved)
        EXPECT_NE(sSaved.find(sPart), std::string::npos) << sPart << "\n" << sSaved;
    EXPECT_EQ(sSaved.find("&amp;lt;"), std::string::npos) << sSaved;
    // A TMX fixture is laid out as the writer lays out memories.
    if (c.eFormat == Format::TMX)
    {
        EXPECT_EQ(sSaved, ReadBytes(FixturePath(c.szFixture)));
    }

    auto pSecond = LoadWith(c.eFormat, first);
    ASSERT_EQ(pSecond->outcome.nResult, 0) << JoinErrors(pSecond->outcome.asErrors);
    EXPECT_EQ(pSecond->Tree(), sTree);
    EXPECT_EQ(pSecond->DocumentType(), pFirst->DocumentType());

    // Save (not SaveAs) replaces the handler's own file and keeps its permissions.
    const fs::path second = TempHomeListener::Current() / "second" / first.filename();
    fs::create_directories(second.parent_path());
    WriteBytes(second, "old");
    const fs::perms permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(second, permissions);
    ASSERT_TRUE(pSecond->pIO->OpenDatasource(wxString(second.wstring())));
    ASSERT_EQ(pSecond->pIO->Save({}), 0);
    EXPECT_EQ(ReadBytes(second), sSaved);
    EXPECT_EQ(fs::status(second).permissions(), permissions);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ImportFormatRoundTrip,
    ::testing::Values(
        RoundTripCase{"XLIFFProjectWithInlineCodesAndCDATA",
                      Format::XLIFF,
                      "xml/project.xlf",
                      {"<xliff xml:space=\"preserve\" memdocs=\"/data/memories/main, shared.tmx\" version=\"1.2\" "
                       "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">",
                       "<![CDATA[<html><body>{0}{1}</body></html> <!-- keep ]]]]><![CDATA[> as it is -->]]>",
                       "&lt;b&gt;</bpt>here<ept", "&amp; go &gt; on.", "Line\ttwo&#13;\nend"}},
        RoundTripCase{"PrettyTMXWithHighlightsAndCodes",
                      Format::TMX,
                      "xml/memory.tmx",
                      {"<tmx version=\"1.4\">", "<hi type=\"bold\">Start</hi>", "&lt;img src=\"a.png\"/&gt;</ph>",
                       "&lt;i&gt;</bpt>fine<ept", "Memory &amp; more"}},
        RoundTripCase{
            "SRXWithNamespaces",
            Format::SRX,
            "xml/rules.srx",
            {"<srx xmlns=\"http://www.lisa.org/srx20\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
             "xsi:schemaLocation=\"http://www.lisa.org/srx20 srx20.xsd\" version=\"2.0\">",
             "<beforebreak>\\b(Mr|Dr)\\.</beforebreak>", "&lt;br&gt;|&amp;nbsp;"}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& caseInfo) { return std::string(caseInfo.param.szName); });

// ----- Saving failures ---------------------------------------------------------------------------------

TEST_F(ImportFormats, FailedSavesReturnLessThanZeroAndKeepTheOldFile)
{
    auto pLoaded = LoadWith(Format::TMX, ImportFixture("formats/memory.tmx"));
    ASSERT_EQ(pLoaded->outcome.nResult, 0) << JoinErrors(pLoaded->outcome.asErrors);

    // A folder that cannot be made: SaveAs fails and still names the new data source.
    const fs::path blocker = TempHomeListener::Current() / "plain-file";
    WriteBytes(blocker, "not a folder");
    const wxString sUnwritable = wxString((blocker / "memory.tmx").wstring());
    EXPECT_LT(pLoaded->pIO->SaveAs(sUnwritable, nullptr), 0);
    EXPECT_EQ(pLoaded->pIO->GetDatasource(), sUnwritable);

    // A disk that fills up while writing: the file that was there stays as it was.
    const fs::path target = TempHomeListener::Current() / "kept" / "memory.tmx";
    const std::string sOld = "<?xml version=\"1.0\"?><tmx version=\"1.4\"><body/></tmx>";
    WriteBytes(target, sOld);
    ASSERT_TRUE(pLoaded->pIO->OpenDatasource(wxString(target.wstring())));
    {
        FileSizeLimit limit(16);
        ASSERT_TRUE(limit.IsSet());
        EXPECT_LT(pLoaded->pIO->Save({}), 0);
    }
    EXPECT_EQ(ReadBytes(target), sOld);

    // Without a data source or document nothing is written anywhere.
    ASSERT_TRUE(pLoaded->pIO->OpenDatasource(wxString()));
    EXPECT_LT(pLoaded->pIO->Save({}), 0);
    pLoaded->pIO->DetachDoc();
    EXPECT_LT(pLoaded->pIO->SaveAs(wxString(target.wstring()), nullptr), 0);
    EXPECT_EQ(ReadBytes(target), sOld);
}

TEST_F(ImportFormats, ProjectHandlerSavesWhenCalledDirectlyThoughTheRegistryOffersOpenOnly)
{
    auto pLoaded = LoadWith(Format::XLIFF, ImportFixture("formats/two-files.xlf"));
    ASSERT_EQ(pLoaded->outcome.nResult, 0) << JoinErrors(pLoaded->outcome.asErrors);
    EXPECT_EQ(g_pIORegistry->GetIOFlags(XLIFFImporterGUID()) & (IOFLAG_SAVE | IOFLAG_SAVEAS), 0);
    const fs::path target = TempHomeListener::Current() / "project.xlf";
    ASSERT_EQ(pLoaded->pIO->SaveAs(wxString(target.wstring()), nullptr), 0);
    const std::string sSaved = ReadBytes(target);
    EXPECT_NE(sSaved.find("<source>One\ttwo\nthree</source>"), std::string::npos) << sSaved;
    EXPECT_NE(sSaved.find("<![CDATA[<keep> & ]]>"), std::string::npos) << sSaved;
}
