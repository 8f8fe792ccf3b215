// Files made to hurt: each loads cleanly or fails cleanly with its message, through every handler,
// and nothing of a failed load is kept or written back.
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/harness/TempHome.h"
#include "tests/import/ImportTestUtil.h"

#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// A document with the handler that read it, made through the registry as the program makes them.
struct Loaded
{
    std::unique_ptr<tcDocument> pDoc = std::make_unique<tcDocument>();
    std::unique_ptr<tcIO> pIO;
    LoadOutcome outcome;

    ~Loaded()
    {
        if (pIO)
            pIO->DetachDoc();
    }
    wxString Errors() const
    {
        wxString s;
        for (const wxString& sError : outcome.asErrors)
            s += sError + "\n";
        return s;
    }
};

struct Handler
{
    const char* szName;
    const tGUID& (*pfnGuid)();
};
const Handler kHandlers[] = {
    {"XLIFF", XLIFFImporterGUID},
    {"TMX", TMXImporterGUID},
    {"SRX", SRXImporterGUID},
};

std::unique_ptr<Loaded> LoadWith(const tGUID& guid, const fs::path& path)
{
    auto pLoaded = std::make_unique<Loaded>();
    pLoaded->pIO = g_pIORegistry->AllocateIO(guid);
    if (!pLoaded->pIO)
    {
        ADD_FAILURE() << "no handler";
        return pLoaded;
    }
    pLoaded->outcome = LoadInto(dynamic_cast<CXMLImporter&>(*pLoaded->pIO), *pLoaded->pDoc, path);
    return pLoaded;
}

fs::path WriteFile(const std::string& sName, const std::string& sBytes)
{
    const fs::path path = TempHomeListener::Current() / sName;
    WriteBytes(path, sBytes);
    return path;
}

std::string Repeat(const std::string& s, int n)
{
    std::string sOut;
    sOut.reserve(s.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        sOut += s;
    return sOut;
}

// An XLIFF project whose one source holds sContent.
std::string Project(const std::string& sContent, const std::string& sDoctype = std::string())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + sDoctype +
           "<xliff version=\"1.2\"><file original=\"a.txt\" source-language=\"en\" datatype=\"plaintext\"><body>"
           "<trans-unit id=\"1\"><source>" +
           sContent + "</source></trans-unit></body></file></xliff>";
}

// A memory whose one seg holds sContent.
std::string Memory(const std::string& sContent)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tmx version=\"1.4\"><header srclang=\"en\"/><body><tu>"
           "<tuv xml:lang=\"en\"><seg>" +
           sContent + "</seg></tuv></tu></body></tmx>";
}

class ImportHostile : public ::testing::Test
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
} // namespace

TEST_F(ImportHostile, EntriesNamedLikeAnEnclosingElementFailTheLoadThroughEveryHandler)
{
    // Taking the enclosing kind over as the entry kind used to delete its nodes, the open section
    // among them, and go on with the freed section.
    struct Case
    {
        const char* szXML;
        const char* szName;
    };
    const Case aCases[] = {
        {"<d><s><s/></s></d>", "s"},
        {"<d><s><d/></s></d>", "d"},
        {"<d><s><s><p/></s><s/></s></d>", "s"},
    };
    for (const Case& c : aCases)
    {
        const fs::path path = WriteFile("enclosing.xml", c.szXML);
        for (const Handler& handler : kHandlers)
        {
            SCOPED_TRACE(std::string(c.szXML) + " through " + handler.szName);
            auto pLoaded = LoadWith(handler.pfnGuid(), path);
            EXPECT_EQ(pLoaded->outcome.nResult, -1);
            ASSERT_EQ(pLoaded->outcome.asErrors.size(), 1u) << pLoaded->Errors();
            EXPECT_EQ(pLoaded->outcome.asErrors[0],
                      wxString::Format("The entry elements (%s) have the name of an enclosing element, the rest of "
                                       "the document will not be parsed.",
                                       c.szName));
            EXPECT_EQ(pLoaded->pDoc->GetDictionary(), nullptr);
        }
    }
    // An entry kind declared beforehand under another name still takes that name over.
    const fs::path declared =
        WriteFile("declared.xml", "<?xml version=\"1.0\"?><!DOCTYPE d [<!ELEMENT d (s)>"
                                  "<!ELEMENT s (e*)><!ELEMENT e (#PCDATA)>]><d><s><e>x</e></s></d>");
    auto pLoaded = LoadWith(XLIFFImporterGUID(), declared);
    EXPECT_EQ(pLoaded->outcome.nResult, 0) << pLoaded->Errors();
}

TEST_F(ImportHostile, DeepNestingFailsWithItsPositionAndKeepsNothing)
{
    // A hundred thousand levels, inline in a project and in a memory: the tree walks that save,
    // copy and free such a document would run out of stack.
    const int nDeep = 100000;
    struct Case
    {
        const char* szName;
        std::string sXML;
        const tGUID& (*pfnGuid)();
        int nColumn; // of the start tag that goes one level too deep
    };
    // Below the root, four elements are open before the first inline one (file body trans-unit
    // source, body tu tuv seg), so the inline element number kMaxElementDepth - 3 goes too deep;
    // the column is the one after its start tag.
    const int nLevels = static_cast<int>(CXMLImporter::kMaxElementDepth);
    const auto column = [nLevels](const std::string& sHead, const char* szClose, int nTagLength)
    { return static_cast<int>(sHead.find(szClose)) + (nLevels - 3) * nTagLength + 1; };
    const Case aCases[] = {
        {"project.xlf", Project(Repeat("<g id=\"1\">", nDeep) + "x" + Repeat("</g>", nDeep)), XLIFFImporterGUID,
         column(Project(""), "</source>", 10)},
        {"memory.tmx", Memory(Repeat("<hi>", nDeep) + "x" + Repeat("</hi>", nDeep)), TMXImporterGUID,
         column(Memory(""), "</seg>", 4)},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        const fs::path path = WriteFile(c.szName, c.sXML);
        auto pLoaded = LoadWith(c.pfnGuid(), path);
        EXPECT_EQ(pLoaded->outcome.nResult, -1);
        ASSERT_EQ(pLoaded->outcome.asErrors.size(), 1u) << pLoaded->Errors();
        EXPECT_EQ(pLoaded->outcome.asErrors[0].utf8_string(),
                  wxString::Format("Fatal error in file %s at line 1 , column %d : elements are nested more than %d "
                                   "levels deep",
                                   path.string(), c.nColumn, nLevels)
                      .utf8_string());
        EXPECT_EQ(pLoaded->pDoc->GetDictionary(), nullptr);
    }
}

TEST_F(ImportHostile, NestingUpToTheLimitLoadsSavesAndReloads)
{
    const int nLevels = static_cast<int>(CXMLImporter::kMaxElementDepth) - 5;
    const fs::path path =
        WriteFile("deep.xlf", Project(Repeat("<g id=\"1\">", nLevels) + "x" + Repeat("</g>", nLevels)));
    auto pLoaded = LoadWith(XLIFFImporterGUID(), path);
    ASSERT_EQ(pLoaded->outcome.nResult, 0) << pLoaded->Errors();
    const fs::path saved = TempHomeListener::Current() / "saved.xlf";
    ASSERT_EQ(pLoaded->pIO->SaveAs(wxString(saved.wstring()), nullptr), 0);
    auto pReloaded = LoadWith(XLIFFImporterGUID(), saved);
    ASSERT_EQ(pReloaded->outcome.nResult, 0) << pReloaded->Errors();
    const fs::path resaved = TempHomeListener::Current() / "resaved.xlf";
    ASSERT_EQ(pReloaded->pIO->SaveAs(wxString(resaved.wstring()), nullptr), 0);
    EXPECT_EQ(ReadBytes(resaved), ReadBytes(saved));
    EXPECT_NE(ReadBytes(saved).find(Repeat("<g id=\"1\">", nLevels) + "x</g>"), std::string::npos);
}

TEST_F(ImportHostile, EntityBombFailsAtOnceWhileProjectsWithManyReferencesLoad)
{
    // Nine levels of ten references each stand for a billion copies of "lol".
    std::string sDoctype = "<!DOCTYPE xliff [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i)
        sDoctype += "<!ENTITY l" + std::to_string(i) + " \"" + Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
    sDoctype += "]>";
    for (const char* szWhere : {"content", "attribute"})
    {
        SCOPED_TRACE(szWhere);
        const std::string sXML =
            std::string(szWhere) == "content" ? Project("&l9;", sDoctype) : Project("<g id=\"&l9;\">x</g>", sDoctype);
        const fs::path path = WriteFile("bomb.xlf", sXML);
        auto pLoaded = LoadWith(XLIFFImporterGUID(), path);
        EXPECT_EQ(pLoaded->outcome.nResult, -1);
        ASSERT_EQ(pLoaded->outcome.asErrors.size(), 1u) << pLoaded->Errors();
        EXPECT_TRUE(pLoaded->outcome.asErrors[0].StartsWith("Fatal error in file ")) << pLoaded->Errors();
        EXPECT_TRUE(pLoaded->outcome.asErrors[0].Contains("entity expansions")) << pLoaded->Errors();
        EXPECT_EQ(pLoaded->pDoc->GetDictionary(), nullptr);
    }

    // Predefined entities and character references do not count, and a declared one used a few
    // hundred times stays far from the limit.
    const std::string sFew = Repeat("a &amp; b &lt; c &#x263A; ", 20000) + Repeat("&co; ", 500);
    const fs::path few = WriteFile("few.xlf", Project(sFew, "<!DOCTYPE xliff [<!ENTITY co \"Korvendel Ltd.\">]>"));
    auto pFew = LoadWith(XLIFFImporterGUID(), few);
    ASSERT_EQ(pFew->outcome.nResult, 0) << pFew->Errors();
    EXPECT_TRUE(DumpTree(pFew->pDoc->GetDictionary()).Contains("Korvendel Ltd. Korvendel Ltd."));
}

TEST_F(ImportHostile, AFileOfAnotherKindIsNeverWrittenBackAsTheHandlersFormat)
{
    // Read generically, a file of another kind would be written as the part that fits the format's
    // shape: its root element and everything beside the first section would be lost.
    const std::string sXML = "<d version=\"3\"><s><e LemmaSign=\"a\"><p/></e></s></d>";
    const fs::path path = WriteFile("other.xml", sXML);
    for (const Handler& handler : kHandlers)
    {
        SCOPED_TRACE(handler.szName);
        auto pLoaded = LoadWith(handler.pfnGuid(), path);
        ASSERT_EQ(pLoaded->outcome.nResult, 0) << pLoaded->Errors();
        const fs::path target = TempHomeListener::Current() / (std::string("out.") + handler.szName);
        EXPECT_LT(pLoaded->pIO->SaveAs(wxString(target.wstring()), nullptr), 0);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_LT(pLoaded->pIO->SaveAs(wxString(path.wstring()), nullptr), 0);
        EXPECT_EQ(ReadBytes(path), sXML);
    }
}

TEST_F(ImportHostile, InvalidUTF8IsReportedWhereTheBadBytesStand)
{
    // The parser names the place where it decoded the chunk holding the bytes, which may be many
    // lines earlier.
    const std::string sHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    std::string sLong = sHead + "\n<tmx version=\"1.4\"><header srclang=\"en\"/><body>\n";
    for (int i = 0; i < 1000; ++i)
        sLong += "<tu><tuv xml:lang=\"en\"><seg>Unit " + std::to_string(i) + " \xC3\xA9</seg></tuv></tu>\n";
    struct Case
    {
        const char* szWhat;
        std::string sXML;
        int nLine;
        int nColumn;
    };
    const Case aCases[] = {
        {"stray byte", sHead + "\n<tmx>\n<x>\xFF</x></tmx>", 3, 4},
        {"after characters of two and four bytes, CR LF lines",
         sHead + "\r\n<tmx>\r\n<x>\xC3\xA9\xF0\x9F\x98\x80\xC3</x></tmx>", 3, 6},
        {"overlong form", sHead + "<tmx>\r<x>\xC0\xAF</x></tmx>", 2, 4},
        {"surrogate half", sHead + "<tmx><x>\xED\xA0\x80</x></tmx>", 1, static_cast<int>(sHead.size()) + 9},
        {"no declaration", "<tmx>\n<x>\xE2\x82</x></tmx>", 2, 4},
        {"a thousand lines in", sLong + "<tu><tuv xml:lang=\"en\"><seg>\xE9t\xE9</seg></tuv></tu></body></tmx>", 1003,
         29},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        const fs::path path = WriteFile("bad.tmx", c.sXML);
        auto pLoaded = LoadWith(TMXImporterGUID(), path);
        EXPECT_EQ(pLoaded->outcome.nResult, -1);
        ASSERT_EQ(pLoaded->outcome.asErrors.size(), 1u) << pLoaded->Errors();
        EXPECT_EQ(pLoaded->outcome.asErrors[0].utf8_string(),
                  wxString::Format("Fatal error in file %s at line %d , column %d : invalid UTF-8 byte sequence",
                                   path.string(), c.nLine, c.nColumn)
                      .utf8_string());
        EXPECT_EQ(pLoaded->pDoc->GetDictionary(), nullptr);
    }

    // Files in other encodings are the parser's to read.
    const fs::path latin1 =
        WriteFile("latin1.tmx", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><tmx version=\"1.4\">"
                                "<header/><body><tu><tuv><seg>\xE9t\xE9</seg></tuv></tu></body></tmx>");
    auto pLatin1 = LoadWith(TMXImporterGUID(), latin1);
    ASSERT_EQ(pLatin1->outcome.nResult, 0) << pLatin1->Errors();
    EXPECT_TRUE(DumpTree(pLatin1->pDoc->GetDictionary()).Contains(wxString::FromUTF8("\"\xC3\xA9t\xC3\xA9\"")));
}
