#include "tests/import/ImportTestUtil.h"

#include "Shared/XercesMemory.h"

#include "tests/harness/TempHome.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcEvent.h"

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/sax/SAXParseException.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;

TEST(ImportFrame, UnescapeRoutinesDifferInHowTheyRescan)
{
    struct Case
    {
        const wchar_t* szIn;
        const wchar_t* szOnePass;
        const wchar_t* szSequential;
    };
    const Case aCases[] = {
        {L"", L"", L""},
        {L"plain", L"plain", L"plain"},
        {L"&gt;&lt;&amp;&apos;&quot;", L"><&'\"", L"><&'\""},
        // A replaced "&" starts no new reference in one pass; the sequential replaces go on.
        {L"a &amp;lt; b", L"a &lt; b", L"a &lt; b"},
        {L"&amp;quot;", L"&quot;", L"\""},
        {L"&amp;apos;", L"&apos;", L"'"},
        {L"&amp;amp;", L"&amp;", L"&amp;"},
        {L"& &amp &unknown; &#60;", L"& &amp &unknown; &#60;", L"& &amp &unknown; &#60;"},
        {L"x&quot", L"x&quot", L"x&quot"},
    };
    for (const Case& c : aCases)
    {
        std::wstring s = c.szIn;
        tXMLUnescapeInPlace(s);
        EXPECT_EQ(s, c.szOnePass) << c.szIn;
        EXPECT_EQ(tXMLUnescapeString(wxString(c.szIn)), wxString(c.szSequential)) << c.szIn;
        const std::u16string s16 = kvWStringToUTF16(c.szIn);
        EXPECT_EQ(tXMLUnescapeString(s16.c_str()), wxString(c.szSequential)) << c.szIn;
    }
    EXPECT_EQ(tXMLUnescapeString(static_cast<const XMLCh*>(nullptr)), wxString());
}

TEST(ImportFrame, BoolTextsAreExactAndOthersAssert)
{
    struct Case
    {
        const char* szText;
        bool bValue;
        bool bAsserts;
    };
    const Case aCases[] = {
        {"1", true, false},   {"yes", true, false},  {"y", true, false},  {"true", true, false},   {"t", true, false},
        {"0", false, false},  {"no", false, false},  {"n", false, false}, {"false", false, false}, {"f", false, false},
        {"Yes", false, true}, {"TRUE", false, true}, {"", false, true},   {" 1", false, true},     {"2", false, true},
    };
    for (const Case& c : aCases)
    {
        AssertRecorder recorder;
        EXPECT_EQ(tParseBoolValue(c.szText), c.bValue) << c.szText;
        EXPECT_EQ(recorder.asExpressions.size(), c.bAsserts ? 1u : 0u) << c.szText;
    }
}

TEST(ImportFrame, DecimalsTakeTheLongestPrefixAndTellWhetherAllWasRead)
{
    struct Case
    {
        const char* szText;
        int nValue;
        bool bValid;
    };
    const Case aCases[] = {
        {"12", 12, true},
        {" -3", -3, true},
        {"+4", 4, true},
        {"12abc", 12, false},
        {"abc", 0, false},
        {"", 0, false},
        {"1 ", 1, false},
        {"-", 0, false},
        {"99999999999", INT_MAX, false},
        {"-99999999999", INT_MIN, false},
        {"2147483647", INT_MAX, true},
    };
    for (const Case& c : aCases)
    {
        int nValue = -77;
        EXPECT_EQ(tParseXMLDecimal(c.szText, nValue), c.bValid) << c.szText;
        EXPECT_EQ(nValue, c.nValue) << c.szText;
    }
}

TEST(ImportFrame, AttributeValuesAreStoredByTheirType)
{
    const wxString sSep = "&brindova__list__seperator;";
    struct Case
    {
        const char* szAttr;
        const wchar_t* szValue; // null: no value text
        bool bByText;
        const char* szStored; // null: the node holds no value
        int nErrors;
        const char* szNewItem; // an item the list must hold afterwards
    };
    const std::wstring sListN = (L"1" + sSep + L"0" + sSep + L"1" + sSep + L"blue" + sSep + L"7").ToStdWstring();
    const Case aCases[] = {
        {"c", L"a,b <x>", false, "a,b <x>", 0, nullptr},
        {"num", L"1,234", false, "1234", 0, nullptr},
        {"num", L"12x", false, "12", 0, nullptr},
        {"num", nullptr, false, "0", 0, nullptr},
        {"l", L"2", false, "green", 0, nullptr},
        {"l", L"0", false, "", 0, nullptr},
        {"l", L"12", false, "", 1, nullptr},
        {"l", L"12", true, "12", 0, "12"},
        {"l", L"blue", false, "blue", 0, "blue"},
        {"l", L"", false, nullptr, 0, nullptr},
        {"ln", sListN.c_str(), false, "red,blue", 1, "blue"},
        {"ln", L"green", true, "green", 0, nullptr},
        {"unknown", L"v", false, nullptr, 0, nullptr},
    };
    for (const Case& c : aCases)
    {
        tcDocument doc;
        doc.CreateDoc("attrs");
        doc.CreateEmptyOvraDTD();
        tcElement* pKind = AddElement(&doc, "n", NODE_NODE, 0, 0, false, nullptr);
        tCreateAttribute(&doc, pKind, "c", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
        tCreateAttribute(&doc, pKind, "num", ATTRDEF_IMPLIED, ATTR_NDATA, false, 0);
        tcAttrList* pList = tEnsureListExists(doc.GetDTD(), "colours");
        pList->AddListItem(1, "red");
        pList->AddListItem(2, "green");
        tCreateAttribute(&doc, pKind, "l", ATTRDEF_IMPLIED, ATTR_LIST, false, 0)->SetList(pList);
        tCreateAttribute(&doc, pKind, "ln", ATTRDEF_IMPLIED, ATTR_LISTN, false, 0)->SetList(pList);
        tcNode* pNode = doc.AllocateElement(pKind);

        TestImporter importer;
        importer.m_bListValuesByText = c.bByText;
        tSetNodeAttributeFromXML(&importer, pNode, c.szAttr, c.szValue);

        const tcAttribute* pAttr = pKind->FindAttributeByName(c.szAttr);
        const std::string sLabel =
            std::string(c.szAttr) + " " + wxString(c.szValue ? c.szValue : L"(null)").utf8_string();
        if (c.szStored)
        {
            EXPECT_EQ(pNode->GetAttributeS(pAttr), wxString(c.szStored)) << sLabel;
        }
        else
        {
            EXPECT_FALSE(pAttr && pNode->HasAttributeValue(pAttr)) << sLabel;
        }
        EXPECT_EQ(importer.GetNumLoadErrors(), c.nErrors) << sLabel;
        if (c.nErrors && std::string(c.szAttr) == "l")
        {
            EXPECT_EQ(importer.GetLoadError(0),
                      "Attribute (l)  has list item id (12) that does not exist, it will be set to empty");
        }
        if (c.szNewItem)
        {
            EXPECT_GE(pList->FindByText(c.szNewItem), 0) << sLabel;
        }
    }
}

TEST(ImportFrame, ParserMessagesBecomeLoadErrorsInThreeForms)
{
    TestImporter importer;
    const xercesc::SAXParseException exc(u"boom", u"", u"/tmp/f.xml", 3, 17);
    importer.warning(exc);
    importer.error(exc);
    EXPECT_FALSE(importer.m_bStopParsing);
    importer.fatalError(exc);
    EXPECT_TRUE(importer.m_bStopParsing);
    ASSERT_EQ(importer.GetNumLoadErrors(), 3);
    EXPECT_EQ(importer.GetLoadError(0), "Warning in file /tmp/f.xml at line 3 , column 17 : boom");
    EXPECT_EQ(importer.GetLoadError(1), "Error in file /tmp/f.xml at line 3 , column 17 : boom");
    EXPECT_EQ(importer.GetLoadError(2), "Fatal error in file /tmp/f.xml at line 3 , column 17 : boom");
}

TEST(ImportFrame, LoadFailuresReportOnceAndLeaveNoDictionary)
{
    const fs::path pathMissing = TempHomeListener::Current() / "no such file.xml";
    {
        TestImporter importer;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, pathMissing);
        EXPECT_EQ(outcome.nResult, -1);
        ASSERT_EQ(outcome.asErrors.size(), 1u);
        EXPECT_TRUE(outcome.asErrors[0].StartsWith("Fatal error in file ")) << outcome.asErrors[0];
        EXPECT_TRUE(outcome.asErrors[0].Contains(" at line 0 , column 0 : ")) << outcome.asErrors[0];
        EXPECT_TRUE(outcome.asErrors[0].Contains("no such file.xml")) << outcome.asErrors[0];
        EXPECT_EQ(doc.GetDictionary(), nullptr);
    }
    {
        // The parser delivers everything up to the break, so a dictionary exists by then; the load
        // still fails and hands nothing on.
        TestImporter importer;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture("truncated.xml"));
        EXPECT_EQ(outcome.nResult, -1);
        ASSERT_EQ(outcome.asErrors.size(), 1u);
        EXPECT_TRUE(outcome.asErrors[0].StartsWith("Fatal error in file ")) << outcome.asErrors[0];
        EXPECT_TRUE(outcome.asErrors[0].Contains("truncated.xml at line 5 , column 22 : ")) << outcome.asErrors[0];
        EXPECT_EQ(doc.GetDictionary(), nullptr);
        EXPECT_EQ(importer.m_pDictionary, nullptr);
    }
}

// A handler of the document's events runs inside the parse. When it fails, the failure must stay on
// this side of the parser: the load fails with a load error, leaves nothing behind, and the next
// load of the same file works.
TEST(ImportFrame, AHandlerThatThrowsInsideTheParseFailsOnlyThatLoad)
{
    const wxString sPath =
        WriteHomeFile("small.xml", "<dict><sec><entry><sense>one</sense><sense>two</sense></entry></sec></dict>");
    struct Thrower
    {
        static void OnInserted(tcEvent*, void*, void*, void*) { throw std::runtime_error("handler failed"); }
    };
    int nOwner = 0;
    Evt_NodeInserted.AddHandler(&nOwner, &Thrower::OnInserted);
    {
        TestImporter importer;
        tcDocument doc;
        LoadOutcome outcome;
        EXPECT_NO_THROW(outcome = LoadInto(importer, doc, fs::path(sPath.ToStdString())));
        EXPECT_EQ(outcome.nResult, -1);
        ASSERT_EQ(outcome.asErrors.size(), 1u);
        EXPECT_EQ(outcome.asErrors[0], "Internal error at the end of an element, parsing abandoned: handler failed");
        EXPECT_EQ(doc.GetDictionary(), nullptr);
    }
    Evt_NodeInserted.RemoveHandler(&nOwner);

    TestImporter importer;
    tcDocument doc;
    const LoadOutcome outcome = LoadInto(importer, doc, fs::path(sPath.ToStdString()));
    EXPECT_EQ(outcome.nResult, 0);
    EXPECT_TRUE(outcome.asErrors.empty());
    EXPECT_NE(doc.GetDictionary(), nullptr);
}

TEST(ImportFrame, FailedPlatformStartFailsEveryLoadWithOneError)
{
    TestImporter importer;
    tcDocument doc;
    doc.CreateDoc("x");
    importer.AttachDoc(&doc);
    importer.OpenDatasource(wxString(ImportFixture("missing_dtd.xml").wstring()));
    importer.m_bInitFailed = true;
    importer.m_sInitError = "no transcoder";
    int nProgress = 0;
    EXPECT_EQ(importer.LoadMerge(nProgress, nullptr), -1);
    EXPECT_EQ(importer.LoadMerge(nProgress, nullptr), -1);
    ASSERT_EQ(importer.GetNumLoadErrors(), 2);
    EXPECT_EQ(importer.GetLoadError(1), "Error during initialization! : Exception message is: no transcoder");
}

TEST(ImportFrame, DatasourceIsOnlyNamed)
{
    TestImporter importer;
    EXPECT_TRUE(importer.OpenDatasource("/nowhere/at all.xml"));
    EXPECT_EQ(importer.GetDatasource(), "/nowhere/at all.xml");
}

namespace
{
// Points the program's path globals at a temporary tree for one test.
class SchemaTree
{
public:
    SchemaTree() : m_root(TempHomeListener::Current() / "tree")
    {
        m_asSaved[0] = g_sAppPath;
        m_asSaved[1] = g_sDataPath;
        m_asSaved[2] = g_sLibDataPath;
        WriteBytes(m_root / "app/Data/a.dtd", "<!-- app -->");
        WriteBytes(m_root / "data/Schemas/a.dtd", "<!-- data -->");
        WriteBytes(m_root / "data/Schemas/b.dtd", "<!-- data -->");
        WriteBytes(m_root / "app/../LibraryData/Schemas/d.dtd", "<!-- librarydata -->");
        WriteBytes(m_root / "lib/Schemas/c.dtd", "<!-- lib -->");
        WriteBytes(m_root / "doc/local.dtd", "<!-- doc -->");
        WriteBytes(m_root / "outside/secret.txt", "TOPSECRET");
        fs::create_symlink(m_root / "outside/secret.txt", m_root / "doc/link.dtd");
        g_sAppPath = wxString((m_root / "app").wstring());
        g_sDataPath = wxString((m_root / "data").wstring());
        g_sLibDataPath = wxString((m_root / "lib").wstring());
    }
    ~SchemaTree()
    {
        g_sAppPath = m_asSaved[0];
        g_sDataPath = m_asSaved[1];
        g_sLibDataPath = m_asSaved[2];
    }
    fs::path Path(const std::string& s) const { return fs::canonical(m_root / s); }
    const fs::path& Root() const { return m_root; }

private:
    fs::path m_root;
    wxString m_asSaved[3];
};
} // namespace

TEST(ImportFrame, EntitiesResolveOnlyFromSchemaFoldersAndTheDocumentFolder)
{
    SchemaTree tree;
    TestImporter importer;
    importer.OpenDatasource(wxString((tree.Root() / "doc/doc.xml").wstring()));
    CXMLEntityResolver resolver(&importer);

    struct Case
    {
        std::string sId;
        std::string sResolved; // empty: skipped with a warning
    };
    const std::string sRoot = tree.Root().string();
    const Case aCases[] = {
        {"a.dtd", "app/Data/a.dtd"}, // the application's Data folder wins
        {"b.dtd", "data/Schemas/b.dtd"},
        {"d.dtd", "LibraryData/Schemas/d.dtd"},
        {"c.dtd", "lib/Schemas/c.dtd"},
        {"local.dtd", "doc/local.dtd"},
        {sRoot + "/data/Schemas/b.dtd", "data/Schemas/b.dtd"},
        {"file://" + sRoot + "/doc/local.dtd", "doc/local.dtd"},
        {"../outside/secret.txt", ""},
        {sRoot + "/outside/secret.txt", ""},
        {"link.dtd", ""},
        {"../data/Schemas/../../outside/secret.txt", ""},
        {"missing.dtd", ""},
        {"http://example.com/x.dtd", ""},
    };
    int nWarnings = 0;
    for (const Case& c : aCases)
    {
        const std::u16string sId16 = kvWStringToUTF16(wxString::FromUTF8(c.sId));
        std::unique_ptr<xercesc::InputSource> pSource(resolver.resolveEntity(u"-//pub", sId16.c_str()));
        ASSERT_NE(pSource, nullptr) << c.sId;
        EXPECT_EQ(kvUTF16ToWString(pSource->getPublicId()), "-//pub") << c.sId;
        const bool bFile = dynamic_cast<xercesc::LocalFileInputSource*>(pSource.get()) != nullptr;
        if (c.sResolved.empty())
        {
            EXPECT_FALSE(bFile) << c.sId;
            ++nWarnings;
        }
        else
        {
            ASSERT_TRUE(bFile) << c.sId;
            EXPECT_EQ(kvUTF16ToWString(pSource->getSystemId()), wxString(tree.Path(c.sResolved).wstring())) << c.sId;
        }
    }
    EXPECT_EQ(importer.GetNumLoadErrors(), nWarnings);
    EXPECT_TRUE(importer.GetLoadError(0).StartsWith("Warning: ")) << importer.GetLoadError(0);
}

TEST(ImportFrame, MissingDTDIsSkippedAndForeignEntitiesAreNotRead)
{
    SchemaTree tree;
    {
        TestImporter importer;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, ImportFixture("missing_dtd.xml"));
        EXPECT_EQ(outcome.nResult, 0);
        ASSERT_EQ(outcome.asErrors.size(), 1u);
        EXPECT_TRUE(outcome.asErrors[0].Contains("nowhere.dtd")) << outcome.asErrors[0];
        EXPECT_TRUE(DumpTree(doc.GetDictionary()).Contains("      p\n        \"x\"\n"));
    }
    {
        WriteBytes(tree.Root() / "doc/inside.txt", "VISIBLE");
        WriteBytes(tree.Root() / "doc/entities.xml",
                   "<?xml version=\"1.0\"?>\n"
                   "<!DOCTYPE d [<!ENTITY out SYSTEM \"../outside/secret.txt\">"
                   "<!ENTITY in SYSTEM \"inside.txt\">]>\n"
                   "<d><s><e LemmaSign=\"a\"><p>[&out;]</p><q>[&in;]</q></e></s></d>\n");
        TestImporter importer;
        tcDocument doc;
        const LoadOutcome outcome = LoadInto(importer, doc, tree.Root() / "doc/entities.xml");
        EXPECT_EQ(outcome.nResult, 0);
        ASSERT_EQ(outcome.asErrors.size(), 1u);
        EXPECT_TRUE(outcome.asErrors[0].Contains("../outside/secret.txt")) << outcome.asErrors[0];
        const wxString sTree = DumpTree(doc.GetDictionary());
        EXPECT_FALSE(sTree.Contains("TOPSECRET")) << sTree;
        EXPECT_TRUE(sTree.Contains("\"[VISIBLE]\"")) << sTree;
    }
}

TEST(ImportFrame, EntityBombFailsInsteadOfExpanding)
{
    // Nine levels of ten references each would stand for a billion copies; a low limit shows the
    // stop without spending the time the real one takes.
    std::string sXML = "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i)
    {
        sXML += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            sXML += "&l" + std::to_string(i - 1) + ";";
        sXML += "\">";
    }
    sXML += "]><d a=\"&l9;\"><s><e LemmaSign=\"a\"/></s></d>";
    const fs::path path = TempHomeListener::Current() / "bomb.xml";
    WriteBytes(path, sXML);
    TestImporter importer;
    importer.m_nEntityExpansionLimit = 10000;
    tcDocument doc;
    const LoadOutcome outcome = LoadInto(importer, doc, path);
    EXPECT_EQ(outcome.nResult, -1);
    ASSERT_EQ(outcome.asErrors.size(), 1u);
    EXPECT_TRUE(outcome.asErrors[0].StartsWith("Fatal error in file ")) << outcome.asErrors[0];
    EXPECT_TRUE(outcome.asErrors[0].Contains("entity expansions")) << outcome.asErrors[0];
    EXPECT_EQ(doc.GetDictionary(), nullptr);
}

// Every block the parser takes for a load comes back when the load ends, whatever way it ends; only
// the parser's own caches may stay, and they stop growing after a first load.
TEST(ImportFrame, LoadsGiveBackEveryParserBlock)
{
    struct Case
    {
        const char* szName;
        std::string sFile;
        bool bLoads;
    };
    const fs::path dir = TempHomeListener::Current();
    const Case aCases[] = {
        {"plain", "<?xml version=\"1.0\"?><d><s><e LemmaSign=\"a\"><p>x</p></e></s></d>", true},
        {"internal subset",
         "<?xml version=\"1.0\"?><!DOCTYPE d [<!ELEMENT d (s*)><!ENTITY w \"word\">]>"
         "<d><s><e LemmaSign=\"&w;\"/></s></d>",
         true},
        {"fatal error", "<?xml version=\"1.0\"?><d><s><e LemmaSign=\"a\"><p>x</e>", false},
        {"truncated in the subset", "<?xml version=\"1.0\"?><!DOCTYPE d [<!ELEMENT d (s*)", false},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        const fs::path path = dir / (std::string(c.szName) + ".xml");
        WriteBytes(path, c.sFile);
        auto load = [&]
        {
            TestImporter importer;
            tcDocument doc;
            const LoadOutcome outcome = LoadInto(importer, doc, path);
            EXPECT_EQ(outcome.nResult == 0, c.bLoads);
        };
        load();
        const long nAfterFirst = tXercesLiveBlocks();
        for (int i = 0; i < 3; ++i)
            load();
        EXPECT_EQ(tXercesLiveBlocks(), nAfterFirst);
    }
}
