#include "varnak/include/tOutput.h"

#include "tests/varnak/DomTestUtil.h"
#include "tests/varnak/TestSupport.h"
#include "tests/varnak/XMLTestLoader.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAtomicFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
typedef int (*Writer)(tcDocument*, tcDictionary*, const wxString&, const SExportOptions&, const tsXMLExportOptions&);

Writer WriterFor(teTestFormat eFormat)
{
    switch (eFormat)
    {
    case teTestFormat::XLIFF:
        return &OutputXLIFF;
    case teTestFormat::TMX:
        return &OutputTMX;
    case teTestFormat::SRX:
        break;
    }
    return &OutputSRX;
}

// The options the project handler saves with: switches that drop content in formatted exports
// must not drop anything here.
SExportOptions ProjectOptions()
{
    SExportOptions options;
    options.bTimestamps = false;
    options.bUsernames = false;
    options.bHyperlink = false;
    options.bFrequency = false;
    options.bExpandTildes = true;
    options.bEntities = true;
    options.mapSections[0] = {0, tcLSMap()};
    return options;
}

std::vector<std::string> FolderEntries(const fs::path& folder)
{
    std::vector<std::string> as;
    for (const auto& entry : fs::directory_iterator(folder))
        as.push_back(entry.path().filename().string());
    std::sort(as.begin(), as.end());
    return as;
}

// Every file of these tests goes into one folder of the temporary home, so a listing shows exactly
// what the writers left behind.
fs::path OutDir()
{
    const fs::path dir = TempHomeListener::Current() / "out";
    fs::create_directories(dir);
    return dir;
}

wxString OutPath(const std::string& sName)
{
    OutDir();
    return HomePath("out/" + sName);
}

wxString WriteOutFile(const std::string& sName, const std::string& sBytes)
{
    return WriteHomeFile("out/" + sName, sBytes);
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// A document shaped like a new project: root "xml", section "xliff" with xml:space, one file.
struct NewProject
{
    DomDoc d;
    tcNode* pFile = nullptr;

    NewProject()
    {
        tcDTD* pDTD = d.doc.GetDTD();
        pDTD->GetElementByID(ELEMENTID_DICTIONARY)->SetName("xml");
        tcElement* pXliff = pDTD->GetElementByID(ELEMENTID_SECTION);
        pXliff->SetName("xliff");
        tcElement* pFileKind = pDTD->GetElementByID(ELEMENTID_ENTRY);
        pFileKind->SetName("file");
        d.pSection->SetAttributeS(tCreateAttribute(&d.doc, pXliff, "xml:space", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0),
                                  "preserve");
        pFile = d.doc.AllocateElement(pFileKind);
        pFile->SetAttributeS(tCreateAttribute(&d.doc, pFileKind, "original", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0),
                             "a.txt");
        d.pSection->InsertEntry(static_cast<tcEntry*>(pFile));
    }

    void SetRootAttribute(const wxString& sName, const wxString& sValue)
    {
        tcElement* pXliff = d.doc.GetDTD()->GetElementByID(ELEMENTID_SECTION);
        d.pSection->SetAttributeS(tCreateAttribute(&d.doc, pXliff, sName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0),
                                  sValue);
    }
};
} // namespace

// ----- Round trips ----------------------------------------------------------------------------------

struct RoundTripCase
{
    const char* szName;
    const char* szFixture;
    teTestFormat eFormat;
    std::vector<std::string> asInDump; // proves the loader saw the interesting parts
};

void PrintTo(const RoundTripCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class XMLRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(XMLRoundTrip, ImportWriteImportKeepsTheTreeAndWriteImportWriteTheBytes)
{
    const RoundTripCase& c = GetParam();
    const std::string sFixture = ReadFixture(c.szFixture);
    auto pFirst = LoadTestXML(sFixture, c.eFormat);
    ASSERT_TRUE(pFirst);
    const std::string sDump = DumpTree(*pFirst);
    for (const std::string& sPart : c.asInDump)
        EXPECT_NE(sDump.find(sPart), std::string::npos) << sPart << "\n" << sDump;

    const wxString sPath = OutPath("first.xml");
    ASSERT_EQ(WriterFor(c.eFormat)(pFirst.get(), nullptr, sPath, ProjectOptions(), tsXMLExportOptions()), 0);
    const std::string sWritten = ReadBytes(sPath);
    // The fixtures are written the way the writers write, so even the first write keeps every byte.
    EXPECT_EQ(sWritten, sFixture);

    auto pSecond = LoadTestXML(sWritten, c.eFormat);
    ASSERT_TRUE(pSecond);
    EXPECT_EQ(DumpTree(*pSecond), sDump);

    const wxString sPath2 = OutPath("second.xml");
    ASSERT_EQ(
        WriterFor(c.eFormat)(pSecond.get(), pSecond->GetDictionary(), sPath2, SExportOptions(), tsXMLExportOptions()),
        0);
    EXPECT_EQ(ReadBytes(sPath2), sWritten);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, XMLRoundTrip,
    ::testing::Values(
        RoundTripCase{"XLIFFProjectWithInlineCodesAndCDATA",
                      "xml/project.xlf",
                      teTestFormat::XLIFF,
                      {"<xliff xml:space=[preserve] memdocs=[/data/memories/main, shared.tmx] version=[1.2]",
                       "original=[/docs/a&b <draft>.html]", "tool-id=[] tool-name=[Lintrado]",
                       "lastmodified=[2024-01-02T03:04:05Z] lastmodifiedby=[anna]",
                       "cdata[<html><body>{0}{1}</body></html> <!-- keep ]]> as it is -->]",
                       "from=[reviewer\tone\nline two \"q\" & <x>]", "state-qualifier=[]", "text[Line\ttwo\r\nend]",
                       "<x id=[4]", "text[it's ]"}},
        RoundTripCase{"PrettyTMXWithHighlightsAndCodes",
                      "xml/memory.tmx",
                      teTestFormat::TMX,
                      {"<tmx version=[1.4]", "<hi type=[bold]", "<bpt i=[1] x=[2] type=[italic]",
                       "text[<img src=\"a.png\"/>]", "text[\n    ]", "text[ & \"good\"]"}},
        RoundTripCase{"SRXWithNamespaces",
                      "xml/rules.srx",
                      teTestFormat::SRX,
                      {"<srx xmlns=[http://www.lisa.org/srx20] xmlns:xsi=[http://www.w3.org/2001/XMLSchema-instance]",
                       "text[\\b(Mr|Dr)\\.]", "text[<br>|&nbsp;]", "<afterbreak\n"}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& caseInfo) { return std::string(caseInfo.param.szName); });

// ----- Shapes ---------------------------------------------------------------------------------------

TEST(XMLWriters, XLIFFRootGetsVersionAndNamespaceOnce)
{
    NewProject p;
    p.SetRootAttribute("memdocs", "m.tmx");
    std::string sOut;
    ASSERT_TRUE(GenerateXLIFF(&p.d.doc, nullptr, sOut));
    const std::string sExpected = kDeclaration + "<xliff xml:space=\"preserve\" memdocs=\"m.tmx\" version=\"1.2\" "
                                                 "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><file "
                                                 "original=\"a.txt\"/></xliff>";
    EXPECT_EQ(sOut, sExpected);

    // After a reopen the two are ordinary attributes of the root and are not added again.
    auto pReopened = LoadTestXML(sOut, teTestFormat::XLIFF);
    ASSERT_TRUE(pReopened);
    std::string sAgain;
    ASSERT_TRUE(GenerateXLIFF(pReopened.get(), nullptr, sAgain));
    EXPECT_EQ(sAgain, sExpected);

    NewProject other;
    other.SetRootAttribute("version", "1.1");
    ASSERT_TRUE(GenerateXLIFF(&other.d.doc, nullptr, sOut));
    EXPECT_NE(sOut.find("<xliff xml:space=\"preserve\" version=\"1.1\">"), std::string::npos) << sOut;

    NewProject own;
    own.SetRootAttribute("xmlns", "urn:example");
    ASSERT_TRUE(GenerateXLIFF(&own.d.doc, nullptr, sOut));
    EXPECT_NE(sOut.find("<xliff xml:space=\"preserve\" xmlns=\"urn:example\" version=\"1.2\">"), std::string::npos)
        << sOut;
}

TEST(XMLWriters, OtherShapesAreRefusedAndTheOldFileStays)
{
    struct ShapeCase
    {
        const char* szName;
        teTestFormat eFormat;
        void (*pfnBreak)(NewProject& p);
    };
    const ShapeCase kCases[] = {
        {"no dictionary", teTestFormat::XLIFF, [](NewProject& p) { p.d.doc.SetDictionary(nullptr); }},
        {"two sections", teTestFormat::XLIFF, [](NewProject& p) { p.d.pRoot->AddLanguage("second"); }},
        {"TMX without entry", teTestFormat::TMX, [](NewProject& p) { p.d.pSection->RemoveChild(p.pFile); }},
        {"SRX with two entries", teTestFormat::SRX,
         [](NewProject& p)
         { p.d.pSection->InsertEntry(static_cast<tcEntry*>(p.d.doc.AllocateElementByID(ELEMENTID_ENTRY))); }},
        {"invalid element name", teTestFormat::XLIFF,
         [](NewProject& p) { p.d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY)->SetName("my file"); }},
        {"invalid attribute name", teTestFormat::TMX,
         [](NewProject& p)
         {
             tcElement* pKind = p.d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
             p.pFile->SetAttributeS(tCreateAttribute(&p.d.doc, pKind, "a<b", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0),
                                    "v");
         }},
    };
    const wxString sPath = WriteOutFile("old.xml", "old content");
    for (const ShapeCase& c : kCases)
    {
        NewProject p;
        c.pfnBreak(p);
        tcLogCapture log;
        EXPECT_LT(WriterFor(c.eFormat)(&p.d.doc, nullptr, sPath, SExportOptions(), tsXMLExportOptions()), 0)
            << c.szName;
        EXPECT_TRUE(log.Contains(L"cannot be written")) << c.szName;
        EXPECT_EQ(ReadBytes(sPath), "old content") << c.szName;
    }
    // A dictionary of another document is refused too.
    NewProject a;
    NewProject b;
    EXPECT_LT(OutputXLIFF(&a.d.doc, b.d.pRoot, sPath), 0);
    EXPECT_EQ(FolderEntries(OutDir()).size(), 1u);
}

// ----- Saving ---------------------------------------------------------------------------------------

TEST(XMLWriters, UnwritableTargetsFailWithoutCreatingAnything)
{
    NewProject p;
    const wxString sPlain = WriteOutFile("plain.txt", "plain");
    const wxString kTargets[] = {sPlain + "/project.xlf", OutPath("missing/project.xlf"), OutPath("")};
    for (const wxString& sTarget : kTargets)
    {
        tcLogCapture log;
        EXPECT_LT(OutputXLIFF(&p.d.doc, nullptr, sTarget), 0) << sTarget;
        EXPECT_FALSE(log.Lines().empty());
    }
    EXPECT_EQ(ReadBytes(sPlain), "plain");
    EXPECT_EQ(FolderEntries(OutDir()), (std::vector<std::string>{"plain.txt"}));
}

TEST(XMLWriters, AFailedWriteLeavesThePreviousFileWhole)
{
    NewProject p;
    const wxString sPath = WriteOutFile("project.xlf", "previous");
    {
        FileSizeLimit limit(kDeclaration.size() + 5);
        ASSERT_TRUE(limit.IsSet());
        EXPECT_LT(OutputXLIFF(&p.d.doc, nullptr, sPath), 0);
    }
    EXPECT_EQ(ReadBytes(sPath), "previous");
    EXPECT_EQ(FolderEntries(OutDir()), (std::vector<std::string>{"project.xlf"}));
    // The same save succeeds once the disk takes the bytes again.
    EXPECT_EQ(OutputXLIFF(&p.d.doc, nullptr, sPath), 0);
    EXPECT_EQ(ReadBytes(sPath).rfind(kDeclaration + "<xliff", 0), 0u);
}

TEST(AtomicFile, KeepsPermissionsAndFollowsLinks)
{
    const fs::path home = OutDir();
    const wxString sPath = WriteOutFile("shared.tmx", "old");
    fs::permissions(home / "shared.tmx", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(tWriteFileAtomically(sPath, "new"));
    EXPECT_EQ(ReadBytes(sPath), "new");
    EXPECT_EQ(fs::status(home / "shared.tmx").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::create_directory(home / "links");
    fs::create_symlink(home / "shared.tmx", home / "links" / "link.tmx");
    ASSERT_TRUE(tWriteFileAtomically(OutPath("links/link.tmx"), "through the link"));
    EXPECT_TRUE(fs::is_symlink(home / "links" / "link.tmx"));
    EXPECT_EQ(ReadBytes(sPath), "through the link");

    // A new file gets the usual permissions of new files, not those of a private temporary file.
    const mode_t nOldMask = umask(022);
    ASSERT_TRUE(tWriteFileAtomically(OutPath("fresh.tmx"), ""));
    umask(nOldMask);
    EXPECT_EQ(fs::status(home / "fresh.tmx").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST(AtomicFile, NothingChangesBeforeCommit)
{
    const fs::path home = OutDir();
    const wxString sPath = WriteOutFile("doc.xml", "old");
    {
        tcAtomicFile file(sPath);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write(std::string("half written")));
        EXPECT_EQ(ReadBytes(sPath), "old");
        EXPECT_EQ(FolderEntries(home).size(), 2u); // the target and the temporary file beside it
    }
    EXPECT_EQ(ReadBytes(sPath), "old");
    EXPECT_EQ(FolderEntries(home), (std::vector<std::string>{"doc.xml"}));

    tcAtomicFile file(sPath);
    EXPECT_TRUE(file.Write(std::string("done")));
    EXPECT_TRUE(file.Commit());
    EXPECT_FALSE(file.Commit());
    EXPECT_FALSE(file.Write(std::string("late")));
    EXPECT_EQ(ReadBytes(sPath), "done");

    // A folder in the way of the target cannot be replaced.
    fs::create_directory(home / "folder.xml");
    wxString sError;
    EXPECT_FALSE(tWriteFileAtomically(OutPath("folder.xml"), "x", &sError));
    EXPECT_FALSE(sError.empty());
    EXPECT_TRUE(fs::is_directory(home / "folder.xml"));
    EXPECT_EQ(FolderEntries(home), (std::vector<std::string>{"doc.xml", "folder.xml"}));
}

TEST(AtomicFile, TheNextSaveRemovesWhatAKilledSaveOfTheSameFileLeft)
{
    const fs::path home = OutDir();
    const wxString sPath = WriteOutFile("doc.xml", "old");
    // A save killed halfway, as by SIGKILL or a power cut: nothing of it runs again.
    const pid_t nChild = fork();
    ASSERT_GE(nChild, 0);
    if (nChild == 0)
    {
        tcAtomicFile file(sPath);
        file.Write(std::string(100000, 'x'));
        kill(getpid(), SIGKILL);
        _exit(0);
    }
    int nStatus = 0;
    ASSERT_EQ(waitpid(nChild, &nStatus, 0), nChild);
    ASSERT_TRUE(WIFSIGNALED(nStatus));
    std::vector<std::string> asLeft = FolderEntries(home);
    ASSERT_EQ(asLeft.size(), 2u);
    const std::string sKilled = asLeft[0];
    EXPECT_EQ(sKilled.rfind(".doc.xml.", 0), 0u);

    // Names that are not a temporary file of doc.xml, or not a file, stay.
    const std::vector<std::string> asOthers = {".doc.xml.AbC12",   ".doc.xml.AbC1234", ".doc.xml.AbC-12",
                                               ".doc.xmlAAbC123",  "doc.xml.AbC123",   ".other.xml.AbC123",
                                               ".doc.xml.AbC123x", ".Doc.xml.AbC123"};
    for (const std::string& sName : asOthers)
        WriteOutFile(sName, "someone else's");
    fs::create_directory(home / ".doc.xml.Folder");
    fs::create_symlink(home / "doc.xml", home / ".doc.xml.Link01");
    // A save of the same file still running holds its own temporary file.
    tcAtomicFile running(sPath);
    ASSERT_TRUE(running.IsOpen());
    ASSERT_TRUE(running.Write(std::string("running")));

    ASSERT_TRUE(tWriteFileAtomically(sPath, "new"));
    EXPECT_EQ(ReadBytes(sPath), "new");
    EXPECT_FALSE(fs::exists(home / sKilled));
    std::vector<std::string> asExpected = asOthers;
    asExpected.insert(asExpected.end(), {"doc.xml", ".doc.xml.Folder", ".doc.xml.Link01"});
    std::vector<std::string> asNow = FolderEntries(home);
    EXPECT_EQ(asNow.size(), asExpected.size() + 1) << "the running save's file stays";
    for (const std::string& sName : asExpected)
        EXPECT_NE(std::find(asNow.begin(), asNow.end(), sName), asNow.end()) << sName;

    // The running save still finishes, and leaves nothing behind.
    EXPECT_TRUE(running.Commit());
    EXPECT_EQ(ReadBytes(sPath), "running");
    asNow = FolderEntries(home);
    std::sort(asExpected.begin(), asExpected.end());
    EXPECT_EQ(asNow, asExpected);
}

TEST(AtomicFile, AReadOnlyFileIsRefusedAndAWritableOneKeepsItsMode)
{
    const fs::path home = OutDir();
    struct Case
    {
        const char* szName;
        fs::perms mode;
        bool bRefused;
    };
    using fs::perms;
    const Case aCases[] = {
        {"read-only.xlf", perms::owner_read | perms::group_read | perms::others_read, true},
        {"mine-read-only.tmx", perms::owner_read, true},
        {"executable.xlf", perms::owner_read | perms::owner_exec | perms::group_read, true},
        {"writable.xlf", perms::owner_read | perms::owner_write | perms::others_read, false},
        {"group-writable.tmx", perms::owner_read | perms::group_read | perms::group_write, false},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        const wxString sPath = WriteOutFile(c.szName, "old");
        fs::permissions(home / c.szName, c.mode);
        wxString sError;
        EXPECT_EQ(tWriteFileAtomically(sPath, "new", &sError), !c.bRefused);
        EXPECT_EQ(ReadBytes(sPath), c.bRefused ? "old" : "new");
        EXPECT_EQ(fs::status(home / c.szName).permissions() & perms::all, c.mode);
        EXPECT_EQ(sError, c.bRefused ? "the file " + sPath + " is read-only" : wxString());
    }
    // Nothing else was written beside them.
    EXPECT_EQ(FolderEntries(home).size(), std::size(aCases));

    // The writers say so.
    NewProject p;
    tcLogCapture log;
    EXPECT_LT(OutputXLIFF(&p.d.doc, nullptr, OutPath("read-only.xlf")), 0);
    EXPECT_TRUE(log.Contains("is read-only")) << log.Lines().back();
    EXPECT_EQ(ReadBytes(OutPath("read-only.xlf")), "old");
}
