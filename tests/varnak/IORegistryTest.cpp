#include "varnak/include/tcIO.h"

#include "varnak/include/tString.h"
#include "varnak/include/tcDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
tGUID Guid(const char* szText)
{
    tGUID guid;
    EXPECT_TRUE(tStringToGUID(szText, guid));
    return guid;
}

// A handler whose loading steps return the scripted values, the errors added before the last.
class ScriptedIO : public tcIO
{
public:
    explicit ScriptedIO(std::vector<int> anResults = {}) : m_anResults(std::move(anResults)) {}

    int LoadDictionary(int& nProgress, void*) override
    {
        const int nResult = m_nCalls < m_anResults.size() ? m_anResults[m_nCalls] : -1;
        ++m_nCalls;
        nProgress += 10;
        if (nResult < 0)
        {
            AddLoadError(L"first problem");
            AddLoadError(L"second problem");
        }
        return nResult;
    }

    size_t m_nCalls = 0;

private:
    std::vector<int> m_anResults;
};

std::unique_ptr<tcIO> AllocateScripted()
{
    return std::make_unique<ScriptedIO>();
}

std::unique_ptr<tcIO> AllocateNothing()
{
    return nullptr;
}

bool SelectFixedPath(wchar_t* szBuffer, size_t nBufferSize)
{
    return teStrcpy(szBuffer, nBufferSize, L"/projects/chosen.xlf");
}

int ExportCount(tcDocument* pDoc, const wxString& sPath, const SExportOptions*)
{
    return pDoc && !sPath.empty() ? 7 : -1;
}

// The loop every caller runs: load while the handler reports more to do.
int LoadAllSteps(tcIO& io, int& nCalls)
{
    int nProgress = 0;
    char buffer[16384] = {};
    int nResult;
    nCalls = 0;
    do
    {
        nResult = io.LoadDictionary(nProgress, buffer);
        ++nCalls;
    } while (nResult > 0);
    return nResult;
}
} // namespace

TEST(IOHandler, LoadLoopAndLoadErrors)
{
    tcDocument doc;
    ScriptedIO steps({2, 1, 0});
    steps.AttachDoc(&doc);
    EXPECT_EQ(steps.GetDoc(), &doc);
    int nCalls = 0;
    EXPECT_EQ(LoadAllSteps(steps, nCalls), 0);
    EXPECT_EQ(nCalls, 3);
    EXPECT_EQ(steps.GetNumLoadErrors(), 0);

    ScriptedIO failing({-1});
    EXPECT_EQ(LoadAllSteps(failing, nCalls), -1);
    EXPECT_EQ(nCalls, 1);
    ASSERT_EQ(failing.GetNumLoadErrors(), 2);
    EXPECT_EQ(failing.GetLoadError(0), L"first problem");
    EXPECT_EQ(failing.GetLoadError(1), L"second problem");
    EXPECT_EQ(failing.GetLoadError(2), L"");
    EXPECT_EQ(failing.GetLoadError(-1), L"");
    failing.ClearLoadErrors();
    EXPECT_EQ(failing.GetNumLoadErrors(), 0);

    steps.DetachDoc();
    EXPECT_EQ(steps.GetDoc(), nullptr);
    EXPECT_EQ(steps.GetDictionary(), nullptr);
    EXPECT_FALSE(steps.SetDictionary(nullptr));
}

TEST(IOHandler, TheBaseHandlerCannotReadOrWrite)
{
    tcIO io;
    int nProgress = 0;
    EXPECT_FALSE(io.OpenDatasource("/tmp/x.xlf"));
    EXPECT_EQ(io.GetDatasource(), L"");
    EXPECT_EQ(io.GetRelativeRoot(), L"");
    EXPECT_LT(io.LoadDictionary(nProgress, nullptr), 0);
    EXPECT_LT(io.LoadMerge(nProgress, nullptr), 0);
    EXPECT_EQ(io.GetNumLoadErrors(), 2);
    EXPECT_LT(io.Save({}), 0);
    EXPECT_LT(io.SaveAs("/tmp/x.xlf", nullptr), 0);
    EXPECT_LT(io.ExportDictionary("/tmp/x.html", nullptr), 0);
    EXPECT_TRUE(io.GetDatasourceType().IsNull());
    // Documents are held whole, so there is never an entry left to load.
    bool bError = true;
    EXPECT_TRUE(io.LoadEntry(nullptr, bError, true));
    EXPECT_FALSE(bError);
}

TEST(IORegistry, RegisterAllocateAndUnregisterByGuid)
{
    tcIORegistry registry;
    const tGUID xliff = Guid("22D0245C-B96F-41A8-BD82-D327D199011C");
    const tGUID tmx = Guid("0B1E062C-F1ED-4482-ABAC-5875EB90D436");
    ASSERT_TRUE(
        registry.RegisterIO(xliff, IOFLAG_OPEN, "XLIFFImporter", "XLIFF files", &AllocateScripted, &SelectFixedPath));
    ASSERT_TRUE(registry.RegisterIO(tmx, IOFLAG_SAVE | IOFLAG_SAVEAS | IOFLAG_OPEN, "TMXImporter", "TMX files",
                                    &AllocateScripted));
    // Refused: a GUID registered already, the null GUID, no factory.
    EXPECT_FALSE(registry.RegisterIO(xliff, 0, "Other", "Other", &AllocateScripted));
    EXPECT_FALSE(registry.RegisterIO(tGUID(), 0, "Null", "Null", &AllocateScripted));
    EXPECT_FALSE(registry.RegisterIO(Guid("AE567AC9-0795-4DEC-8833-80F9CBFEDFAA"), 0, "SRX", "SRX", nullptr));

    EXPECT_EQ(registry.GetNumIO(), 2);
    EXPECT_EQ(registry.GetIOType(0), xliff);
    EXPECT_EQ(registry.GetIOType(1), tmx);
    EXPECT_TRUE(registry.GetIOType(2).IsNull());
    EXPECT_EQ(registry.GetIOTypeFromTag("TMXImporter"), tmx);
    EXPECT_TRUE(registry.GetIOTypeFromTag("tmximporter").IsNull());
    EXPECT_EQ(registry.GetIOFlags(tmx), 21);
    EXPECT_EQ(registry.GetIOFlags(xliff), 16);
    EXPECT_EQ(registry.GetIOTag(xliff), L"XLIFFImporter");
    EXPECT_EQ(registry.GetIOName(tmx), L"TMX files");

    std::unique_ptr<tcIO> pIO = registry.AllocateIO(tmx);
    ASSERT_TRUE(pIO);
    EXPECT_EQ(pIO->GetDatasourceType(), tmx);
    EXPECT_NE(registry.AllocateIO(tmx).get(), pIO.get()); // a new handler every time
    EXPECT_EQ(registry.AllocateIO(Guid("AE567AC9-0795-4DEC-8833-80F9CBFEDFAA")), nullptr);

    wchar_t szBuffer[64] = L"untouched";
    EXPECT_TRUE(registry.SelectDatasource(xliff, szBuffer, 64));
    EXPECT_STREQ(szBuffer, L"/projects/chosen.xlf");
    wchar_t szSmall[8] = L"";
    EXPECT_FALSE(registry.SelectDatasource(xliff, szSmall, 8));
    EXPECT_FALSE(registry.SelectDatasource(tmx, szBuffer, 64)); // no chooser

    EXPECT_TRUE(registry.Unregister(tmx));
    EXPECT_FALSE(registry.Unregister(tmx));
    EXPECT_EQ(registry.AllocateIO(tmx), nullptr);
    EXPECT_EQ(registry.GetIOFlags(tmx), 0);
    EXPECT_EQ(registry.GetIOName(tmx), L"");
    EXPECT_EQ(registry.GetNumIO(), 1);
    // The handler made before stays usable.
    EXPECT_EQ(pIO->GetDatasourceType(), tmx);
}

TEST(IORegistry, FailingFactoriesAndExporters)
{
    tcIORegistry registry;
    const tGUID broken = Guid("00000000-0000-4000-8000-000000000001");
    const tGUID html = Guid("00000000-0000-4000-8000-000000000002");
    ASSERT_TRUE(registry.RegisterIO(broken, IOFLAG_OPEN, "Broken", "Broken", &AllocateNothing));
    EXPECT_EQ(registry.AllocateIO(broken), nullptr);

    ASSERT_TRUE(registry.RegisterExporter(html, "HTML", "HTML pages", &ExportCount));
    EXPECT_FALSE(registry.RegisterExporter(html, "HTML", "again", &ExportCount));
    EXPECT_TRUE(registry.IsProcExporter(html));
    EXPECT_FALSE(registry.IsProcExporter(broken));
    EXPECT_EQ(registry.GetIOFlags(html), IOFLAG_EXPORT);
    EXPECT_EQ(registry.AllocateIO(html), nullptr);
    tcDocument doc;
    EXPECT_EQ(registry.Export(html, &doc, "/tmp/out.html", nullptr), 7);
    EXPECT_EQ(registry.Export(broken, &doc, "/tmp/out.html", nullptr), -1);
}

TEST(IORegistry, TheGlobalRegistryIsAlwaysThere)
{
    ASSERT_NE(g_pIORegistry, nullptr);
    const tGUID guid = Guid("00000000-0000-4000-8000-0000000000AA");
    const int nBefore = g_pIORegistry->GetNumIO();
    ASSERT_TRUE(g_pIORegistry->RegisterIO(guid, IOFLAG_OPEN, "GlobalTest", "Global test", &AllocateScripted));
    EXPECT_NE(g_pIORegistry->AllocateIO(guid), nullptr);
    EXPECT_TRUE(g_pIORegistry->Unregister(guid));
    EXPECT_EQ(g_pIORegistry->GetNumIO(), nBefore);
}
