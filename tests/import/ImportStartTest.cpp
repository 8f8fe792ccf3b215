#include "tests/import/ImportTestUtil.h"

#include "tests/harness/TempHome.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace
{
// Compares a dump with its golden file; IMPORT_WRITE_GOLDEN=1 writes the file instead (review the
// difference before keeping it).
void ExpectGolden(const wxString& sDump, const std::string& sGolden)
{
    const fs::path path = ImportFixture(sGolden);
    if (const char* sz = std::getenv("IMPORT_WRITE_GOLDEN"); sz && std::string(sz) == "1")
    {
        WriteBytes(path, sDump.utf8_string());
        return;
    }
    EXPECT_EQ(sDump, ReadFixtureText(path)) << sGolden;
}
} // namespace

TEST(ImportStart, FixturesBuildTheDocumentsOfTheirGoldenDumps)
{
    struct Case
    {
        const char* szFixture;
        bool bCaptureCDATA;
        bool bIDs;
        const char* szGolden;
        bool bClean; // loads without any load error
    };
    const Case aCases[] = {
        // Root, sections, entries and nodes; attributes set aside or declared in start-tag order;
        // values unescaped once more; root identifier kept.
        {"dictionary.xml", false, true, "dictionary.dump", true},
        // Scopes nest, close with their element, and an unknown value opens none.
        {"xml_space.xml", false, false, "xml_space.dump", true},
        {"cdata.xml", true, false, "cdata_captured.dump", true},
        // Element-only kinds follow the order of the data; a text kind lists each child once.
        {"relations.xml", false, false, "relations.dump", true},
        // Attribute kinds are declared in the order of the start tag, names outside the BMP
        // included, so a file this program wrote reads back in the order it writes.
        {"order.xml", false, false, "order.dump", true},
        // The references go nowhere, so resolving them at the end reports them.
        {"references.xml", false, false, "references.dump", false},
    };
    for (const Case& c : aCases)
    {
        AssertRecorder asserts;
        TestImporter importer;
        importer.m_bCaptureCDATA = c.bCaptureCDATA;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture(c.szFixture));
        EXPECT_EQ(outcome.nResult, 0) << c.szFixture;
        if (c.bClean)
        {
            EXPECT_TRUE(outcome.asErrors.empty()) << c.szFixture << ": " << outcome.asErrors.front();
        }
        ExpectGolden(DumpDocument(doc, c.bIDs), c.szGolden);
    }
}

TEST(ImportStart, WithoutCaptureCDATAJoinsTheSurroundingText)
{
    TestImporter importer;
    tcDocument doc;
    ASSERT_EQ(LoadInto(importer, doc, ImportFixture("cdata.xml")).nResult, 0);
    const tcNode* pT = doc.GetDictionary()->GetLanguage(0)->GetEntry(0)->GetChild(1);
    EXPECT_EQ(DumpTree(pT), "t\n  \"xyz\"\n");
}

TEST(ImportStart, StructuralStopsFailTheLoadAndBuildNothingAfterwards)
{
    struct Case
    {
        const char* szFixture;
        const char* szPresetDictionary; // a name the DTD would have given
        const char* szError;
        const char* szTreeAtEnd;
    };
    const Case aCases[] = {
        {"stop_section.xml", nullptr,
         "Two language (section) elements with different type names [t - s] encountered, the rest of the document "
         "will not be parsed.",
         "d\n  s\n    e LemmaSign=\"a\"\n      p\n"},
        {"stop_entry.xml", nullptr,
         "Two lemma elements with different type names (f, e) encountered, the rest of the document will not be "
         "parsed.",
         "d\n  s\n    e LemmaSign=\"a\"\n      p\n"},
        {"stop_entry.xml", "dict",
         "ERROR: Dictionary has a different name in XML body than that of the DTD, the rest of the document will not "
         "be parsed.",
         ""},
    };
    for (const Case& c : aCases)
    {
        TestImporter importer;
        if (c.szPresetDictionary)
            importer.m_psDictionaryElementName = std::make_unique<wxString>(c.szPresetDictionary);
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture(c.szFixture));
        EXPECT_EQ(outcome.nResult, -1) << c.szFixture;
        ASSERT_EQ(outcome.asErrors.size(), 1u) << c.szFixture;
        EXPECT_EQ(outcome.asErrors[0], c.szError);
        const wxString sTree = importer.sDumpAtEnd.AfterFirst('-').AfterFirst('\n');
        EXPECT_EQ(sTree, c.szTreeAtEnd) << c.szFixture;
        EXPECT_EQ(doc.GetDictionary(), nullptr) << c.szFixture;
    }
}

namespace
{
int s_nYields = 0;
bool s_bNestedLoadOk = false;

void CountYield()
{
    ++s_nYields;
}

// Loads another file from inside the yield, as an event handler might.
void YieldWithNestedLoad()
{
    ++s_nYields;
    if (s_nYields != 1)
        return;
    TestImporter nested;
    tcDocument doc;
    s_bNestedLoadOk = LoadInto(nested, doc, ImportFixture("dictionary.xml")).nResult == 0;
}

class YieldHook
{
public:
    explicit YieldHook(tcXMLImportYieldFn pfn)
    {
        s_nYields = 0;
        tSetXMLImportYieldHook(pfn);
    }
    ~YieldHook() { tSetXMLImportYieldHook(nullptr); }
};
} // namespace

TEST(ImportStart, YieldsOncePerElementUntilStoppedAndNeverReenters)
{
    struct Case
    {
        const char* szFixture;
        tcXMLImportYieldFn pfnHook;
        int nYields;
    };
    const Case aCases[] = {
        {"dictionary.xml", CountYield, 14},
        // d s e p and the offending t; nothing after the stop.
        {"stop_section.xml", CountYield, 5},
        // The nested load's elements do not yield while the outer yield runs.
        {"dictionary.xml", YieldWithNestedLoad, 14},
    };
    for (const Case& c : aCases)
    {
        YieldHook hook(c.pfnHook);
        s_bNestedLoadOk = false;
        TestImporter importer;
        tcDocument doc;
        LoadInto(importer, doc, ImportFixture(c.szFixture));
        EXPECT_EQ(s_nYields, c.nYields) << c.szFixture;
        if (c.pfnHook == YieldWithNestedLoad)
        {
            EXPECT_TRUE(s_bNestedLoadOk);
        }
    }
}

TEST(ImportStart, SectionsAreReusedByNameAndNumberedByTheirIdentifiers)
{
    for (bool bAssigner : {true, false})
    {
        tcLogCapture log;
        TestImporter importer;
        tcDocument doc;
        doc.CreateDoc("test");
        if (!bAssigner)
            doc.SetIDAssigner(nullptr);
        const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture("sections.xml"));
        ASSERT_EQ(outcome.nResult, 0);
        const tcDictionary* pDict = doc.GetDictionary();
        ASSERT_EQ(pDict->GetNumSections(), 4);
        const tcLanguage* pA = pDict->GetLanguage(0);
        EXPECT_EQ(pA->GetName(), "A");
        ASSERT_EQ(pA->GetNumEntries(), 3);
        EXPECT_EQ(pA->GetEntry(1)->GetLemmaSign(), "a2");
        EXPECT_EQ(pA->GetEntry(2)->GetLemmaSign(), "x");
        EXPECT_EQ(pDict->GetLanguage(1)->GetID(), 7);
        EXPECT_TRUE(log.Contains("Invalid ID for IDAttributeName (x5)"));
        if (bAssigner)
        {
            // "-1" keeps what the library gave; 0 and an unreadable identifier take the next one.
            EXPECT_GT(pA->GetID(), 0);
            EXPECT_GT(pDict->GetLanguage(2)->GetID(), pA->GetID());
            EXPECT_GT(pDict->GetLanguage(3)->GetID(), pDict->GetLanguage(2)->GetID());
            EXPECT_TRUE(log.Contains("Assigning section ID"));
        }
        else
        {
            EXPECT_EQ(pDict->GetLanguage(2)->GetID(), 0);
            EXPECT_FALSE(log.Contains("Assigning section ID"));
        }
    }
}

TEST(ImportStart, EntryNamedLikeAnotherKindTakesThatKindOver)
{
    // A merge into a document whose DTD already knows "file" with a child and an attribute.
    tcDocument doc;
    doc.CreateDoc("merge");
    doc.CreateEmptyOvraDTD();
    doc.SetDictionary(static_cast<tcDictionary*>(doc.AllocateElementByID(1)));
    tcElement* pFile = AddElement(&doc, "file", NODE_NODE, 0, 0, false, nullptr);
    tcElement* pHeader = AddElement(&doc, "header", NODE_NODE, 0, 0, false, nullptr);
    pFile->AddChildElement(pHeader, CHILD_ZEROORONE);
    tCreateAttribute(&doc, pFile, "original", ATTRDEF_REQUIRED, ATTR_LIST, true, 0)->SetDefault("a.txt");

    const fs::path path = TempHomeListener::Current() / "merge.xml";
    WriteBytes(path, "<xliff><body><file original=\"b.txt\"><header/></file></body></xliff>");
    TestImporter importer;
    importer.AttachDoc(&doc);
    importer.OpenDatasource(wxString(path.wstring()));
    int nProgress = 0;
    ASSERT_EQ(importer.LoadMerge(nProgress, nullptr), 0);

    const tcDTD* pDTD = doc.GetDTD();
    tcElement* pKind4 = pDTD->GetElementByID(ELEMENTID_ENTRY);
    EXPECT_EQ(pKind4->GetName(), "file");
    EXPECT_EQ(pDTD->FindElementByName("file"), pKind4);
    ASSERT_NE(pKind4->FindChildByID(pHeader->GetID()), nullptr);
    EXPECT_EQ(pKind4->FindChildByID(pHeader->GetID())->eConstraint, CHILD_ZEROORONE);
    const tcAttribute* pOriginal = pKind4->FindAttributeByName("original");
    ASSERT_NE(pOriginal, nullptr);
    EXPECT_EQ(pOriginal->GetType(), ATTR_LIST);
    EXPECT_EQ(pOriginal->GetDefaultType(), ATTRDEF_REQUIRED);
    EXPECT_EQ(pOriginal->GetDefault(), "a.txt");
    EXPECT_NE(pOriginal->GetList(), nullptr);
    EXPECT_EQ(DumpTree(doc.GetDictionary()), "xliff\n  body\n    file original=\"b.txt\"\n      header\n");
}
