// The engine's main road without a window: documents in, segmented, looked up, pre-translated,
// saved, reopened, saved again, and written back as translated documents.
#include "engine/Convertor.h"

#include "Shared/VRSRXDoc.h"
#include "engine/ConvertorRegistry.h"
#include "engine/Convertor_html.h"
#include "engine/Convertor_segment.h"
#include "engine/Convertor_txt.h"
#include "engine/MemDocLookupPool.h"
#include "engine/VRMemDoc.h"
#include "engine/XLIFFDTD.h"
#include "import/SRXImporter.h"
#include "import/TMXImporter.h"
#include "import/XLIFFImporter.h"
#include "tests/harness/TempHome.h"
#include "varnak/include/tOutput.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

fs::path Fixture(const std::string& sName)
{
    return fs::path(LINTRADO_FIXTURES_DIR) / "convert" / sName;
}

wxString Path(const fs::path& path)
{
    return wxString(path.wstring());
}

std::string Bytes(const fs::path& path)
{
    return tReadFileBytes(Path(path)).value_or("<unreadable>");
}

class ConvertorProjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Init_XLIFFImporter();
        Init_TMXImporter();
        Init_SRXImporter();
        CSegmentTUChild::ResetIDCounterForTests();
        m_registry.Register(0, L"Text documents", L"*.txt", L"Add plain text documents into XLIFF projects", 1.0f,
                            AllocateConvertor_TXT);
        m_registry.Register(0, L"HTML documents", L"*.html;*.htm;*.xhtml;*.shtml",
                            L"Add HTML documents into XLIFF projects", 1.0f, AllocateConvertor_HTML);
    }
    void TearDown() override { Done_XLIFFImporter(); }

    static std::unique_ptr<tcDocument> Load(const fs::path& path)
    {
        auto pDoc = std::make_unique<tcDocument>();
        pDoc->CreateDoc(L"project");
        std::unique_ptr<tcIO> pIO = g_pIORegistry->AllocateIO(XLIFFImporterGUID());
        EXPECT_TRUE(pIO);
        if (!pIO)
            return nullptr;
        pIO->AttachDoc(pDoc.get());
        EXPECT_TRUE(pIO->OpenDatasource(Path(path)));
        int nProgress = 0;
        int nResult = 0;
        while ((nResult = pIO->LoadDictionary(nProgress, nullptr)) > 0)
        {
        }
        EXPECT_EQ(nResult, 0) << (pIO->GetNumLoadErrors() ? pIO->GetLoadError(0).utf8_string() : "");
        return pDoc;
    }

    fs::path CreateProject(const std::vector<std::string>& asSources);

    ConvertorRegistry m_registry;
};

// The source documents of the project.
const std::vector<std::string> kSources = {"guide.txt", "page.html"};

// A new project from the documents, pre-translated at 75 from a memory of a few units and saved
// through the XLIFF writer; returns the saved file.
fs::path ConvertorProjectTest::CreateProject(const std::vector<std::string>& asSources = kSources)
{
    const fs::path dir = TempHomeListener::Current();
    tcDocument doc;
    doc.CreateDoc(L"new project");
    tcDictionary* pRoot = PrepareNewProjectDocument(&doc);
    EXPECT_TRUE(pRoot);
    SXLIFFDTD dtd;
    InitXLIFFDTD(&doc, dtd, false);
    CVRSRXDoc rules(Path(Fixture("rules.srx")));
    rules.SetLanguage(L"en");
    CVRMemDoc memory(Path(Fixture("memory.tmx")));
    for (const std::string& sName : asSources)
    {
        SCOPED_TRACE(sName);
        // The documents are copied first: the project names them by path.
        fs::copy_file(Fixture(sName), dir / sName);
        std::unique_ptr<tcConvertor> pConvertor =
            m_registry.CreateConvertor(ConvertorRegistry::ExtensionOf(wxString::FromUTF8(sName)), &doc, L"en");
        EXPECT_TRUE(pConvertor);
        if (pConvertor)
        {
            EXPECT_TRUE(
                pConvertor->Convert(&dtd, Path(dir / sName), pRoot, &rules, &memory, L"en", L"de", 75, nullptr));
        }
    }
    EXPECT_FALSE(memory.IsModified());

    const fs::path saved = dir / "project.xlf";
    EXPECT_EQ(OutputXLIFF(&doc, nullptr, Path(saved)), 0);
    return saved;
}

TEST_F(ConvertorProjectTest, ReopenedProjectSavesToTheSameBytes)
{
    // subflow.html opens with a translated attribute, so the first mrk the reader meets is a
    // sub-flow segment, written without mtype.
    for (const std::vector<std::string>& asSources : {kSources, std::vector<std::string>{"subflow.html"}})
    {
        SCOPED_TRACE(asSources.back());
        const fs::path saved = CreateProject(asSources);
        std::unique_ptr<tcDocument> pReopened = Load(saved);
        ASSERT_TRUE(pReopened);
        SXLIFFDTD reopenedDTD;
        InitXLIFFDTD(pReopened.get(), reopenedDTD, true);
        const fs::path resaved = saved.parent_path() / "project2.xlf";
        ASSERT_EQ(OutputXLIFF(pReopened.get(), nullptr, Path(resaved)), 0);
        EXPECT_EQ(Bytes(resaved), Bytes(saved));
    }
}

TEST_F(ConvertorProjectTest, ReopenedProjectWritesTranslatedDocuments)
{
    const fs::path saved = CreateProject();
    const fs::path dir = saved.parent_path();
    std::unique_ptr<tcDocument> pReopened = Load(saved);
    ASSERT_TRUE(pReopened);
    SXLIFFDTD reopenedDTD;
    InitXLIFFDTD(pReopened.get(), reopenedDTD, true);

    // Each file written in the target language holds the memory's targets, pre-filled without
    // codes but written back within the document's markup; in the source language it is the
    // document again.
    std::vector<tcNode*> apFiles;
    pReopened->GetDictionary()->FindDescendantsOfElementType(reopenedDTD.m_pFileElement->GetID(), apFiles);
    ASSERT_EQ(apFiles.size(), kSources.size());
    for (size_t i = 0; i < apFiles.size(); ++i)
    {
        const std::string& sName = kSources[i];
        SCOPED_TRACE(sName);
        const wxString sOriginal = apFiles[i]->GetAttributeDisplayAsString(reopenedDTD.m_pFileOriginalAttr);
        EXPECT_EQ(sOriginal, Path(dir / sName));
        std::unique_ptr<tcConvertor> pConvertor =
            m_registry.CreateConvertor(ConvertorRegistry::ExtensionOf(sOriginal), pReopened.get(), L"en");
        ASSERT_TRUE(pConvertor);

        const fs::path translated = dir / ("de." + sName);
        ASSERT_TRUE(pConvertor->OutputTranslation(&reopenedDTD, Path(translated), L"de", apFiles[i]));
        const fs::path expected =
            Fixture(fs::path(sName).stem().string() + ".de" + fs::path(sName).extension().string());
        EXPECT_EQ(Bytes(translated), Bytes(expected));

        const fs::path source = dir / ("en." + sName);
        ASSERT_TRUE(pConvertor->OutputTranslation(&reopenedDTD, Path(source), L"en", apFiles[i]));
        EXPECT_EQ(Bytes(source), Bytes(Fixture(sName)));

        // A file that cannot be written is reported, never passed as done.
        EXPECT_FALSE(pConvertor->OutputTranslation(&reopenedDTD, Path(dir / "missing" / sName), L"de", apFiles[i]));
    }
    EXPECT_FALSE(pReopened->IsDirty());
}

// A project in "en" against a memory of "en-US" units: every segment gets the memory's proposals, and
// the "de" target is filled from the "de-DE" variant while the "fr-FR" one only proposes.
TEST_F(ConvertorProjectTest, RegionalMemoryServesABareLanguageProject)
{
    const fs::path dir = TempHomeListener::Current();
    tcDocument doc;
    doc.CreateDoc(L"new project");
    tcDictionary* pRoot = PrepareNewProjectDocument(&doc);
    ASSERT_TRUE(pRoot);
    SXLIFFDTD dtd;
    InitXLIFFDTD(&doc, dtd, false);
    CVRSRXDoc rules(Path(Fixture("rules.srx")));
    rules.SetLanguage(L"en");
    CVRMemDoc memory("");
    memory.AddTranslation("Open the file.", wxString::FromUTF8("Öffnen Sie die Datei."), "en-US", "de-DE");
    memory.AddTranslation("Open the file.", "Ouvrez le fichier.", "en-US", "fr-FR");
    memory.AddTranslation("Close the window.", wxString::FromUTF8("Fermez la fenêtre."), "en-US", "fr-FR");

    const fs::path source = dir / "doc.txt";
    {
        std::ofstream(source) << "Open the file. Close the window.";
    }
    std::unique_ptr<tcConvertor> pConvertor = m_registry.CreateConvertor(L".txt", &doc, L"en");
    ASSERT_TRUE(pConvertor);
    ASSERT_TRUE(pConvertor->Convert(&dtd, Path(source), pRoot, &rules, &memory, L"en", L"de", 75, nullptr));

    std::vector<tcNode*> apAltTrans;
    pRoot->FindDescendantsOfElementType(dtd.m_pAltTransElement->GetID(), apAltTrans);
    EXPECT_GE(apAltTrans.size(), 3u);
    std::vector<tcNode*> apFiles;
    pRoot->FindDescendantsOfElementType(dtd.m_pFileElement->GetID(), apFiles);
    ASSERT_EQ(apFiles.size(), 1u);
    const fs::path translated = dir / "doc.de.txt";
    ASSERT_TRUE(pConvertor->OutputTranslation(&dtd, Path(translated), L"de", apFiles[0]));
    EXPECT_EQ(Bytes(translated), "\xC3\x96"
                                 "ffnen Sie die Datei. Close the window.");
    memory.GetDocument()->ClearDirty();
}

// A project of several hundred segments (more than the writer keeps waiting at once) against a
// memory whose proposals carry inline codes: looked up on one worker or on several, the file is the
// same, byte for byte.
TEST_F(ConvertorProjectTest, ProjectIsTheSameWhateverTheNumberOfLookupThreads)
{
    const fs::path dir = TempHomeListener::Current();
    std::mt19937 rng(11);
    const char* const aszWords[] = {"open", "the", "lid", "press", "green", "button", "wait", "for", "beep", "close"};
    auto Sentence = [&]
    {
        std::string s = "Now";
        for (int i = 0, n = 2 + static_cast<int>(rng() % 9); i < n; ++i)
            s += std::string(" ") + aszWords[rng() % std::size(aszWords)];
        return s + ".";
    };
    std::vector<std::string> asSentences;
    std::string sHTML = "<html><body>\n";
    for (int nParagraph = 0; nParagraph < 200; ++nParagraph)
    {
        sHTML += "<p>";
        for (int i = 0, n = 1 + static_cast<int>(rng() % 3); i < n; ++i)
        {
            asSentences.push_back(Sentence());
            sHTML += (i ? " " : "") + (rng() % 5 == 0 ? "<b>Now</b>" + asSentences.back().substr(3) : asSentences.back());
        }
        sHTML += "</p>\n";
    }
    sHTML += "</body></html>\n";
    std::ofstream(dir / "many.html", std::ios::binary) << sHTML;

    CVRMemDoc memory("");
    for (int i = 0; i < 300; ++i)
    {
        const std::string& sKnown = asSentences[rng() % asSentences.size()];
        const std::string sSource = i % 3 == 0 ? sKnown : i % 3 == 1 ? "Then" + sKnown.substr(3) : Sentence();
        const std::string sTarget = i % 4 == 0 ? "<bpt i=\"1\" x=\"2\">&lt;b&gt;</bpt>Nun<ept i=\"1\">&lt;/b&gt;</ept> " +
                                                     std::to_string(i)
                                               : "Jetzt " + std::to_string(i) + ".";
        memory.AddTranslation(wxString::FromUTF8(sSource), wxString::FromUTF8(sTarget), "en", i % 7 ? "de" : "fr");
    }

    auto Create = [&](int nThreads)
    {
        CMemDocLookupPool::SetDefaultThreads(nThreads);
        CSegmentTUChild::ResetIDCounterForTests();
        tcDocument doc;
        doc.CreateDoc(L"new project");
        tcDictionary* pRoot = PrepareNewProjectDocument(&doc);
        SXLIFFDTD dtd;
        InitXLIFFDTD(&doc, dtd, false);
        CVRSRXDoc rules(Path(Fixture("rules.srx")));
        rules.SetLanguage(L"en");
        std::unique_ptr<tcConvertor> pConvertor = m_registry.CreateConvertor(L".html", &doc, L"en");
        EXPECT_TRUE(pConvertor && pConvertor->Convert(&dtd, Path(dir / "many.html"), pRoot, &rules, &memory, L"en",
                                                      L"de", 75, nullptr));
        // The file element's date moves with the clock.
        std::vector<tcNode*> apFiles;
        pRoot->FindDescendantsOfElementType(dtd.m_pFileElement->GetID(), apFiles);
        for (tcNode* pFile : apFiles)
            pFile->SetAttributeDisplayByString(L"date", L"2026-01-01T00:00:00Z");
        const fs::path saved = dir / ("threads" + std::to_string(nThreads) + ".xlf");
        EXPECT_EQ(OutputXLIFF(&doc, nullptr, Path(saved)), 0);
        return Bytes(saved);
    };
    const std::string sOne = Create(1);
    const std::string sMany = Create(4);
    CMemDocLookupPool::SetDefaultThreads(0);
    // Proposals with codes and pre-filled targets are there, and the same with every number of workers.
    EXPECT_NE(sOne.find("<alt-trans"), std::string::npos);
    EXPECT_NE(sOne.find("x=\"2\""), std::string::npos);
    EXPECT_NE(sOne.find("<target"), std::string::npos);
    EXPECT_EQ(sOne, sMany);
    memory.GetDocument()->ClearDirty();
}

} // namespace
