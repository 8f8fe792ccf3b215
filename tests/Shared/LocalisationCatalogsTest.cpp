#include "Shared/Localisation.h"

#include "Shared/Options.h"
#include "tests/platform/WxConsoleApp.h"
#include "tests/varnak/TestSupport.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace
{
bool HasLine(const tcLogCapture& log, const wxString& sLine)
{
    const std::vector<wxString> lines = log.Lines();
    return std::find(lines.begin(), lines.end(), sLine) != lines.end();
}

const std::string kEnglish = "APPLICATION_NAME=Lintrado\nGREETING=Hello\nFAREWELL=Goodbye\n";

// A catalog folder in the test's home ("app/Data/Lintrado/Languages") with the globals pointing at
// it, an empty engine, and a store whose "/Localisation" group the test writes.
class LocalisationCatalogs : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sSavedAppDataPath = g_sAppDataPath;
        m_sSavedDataPath = g_sDataPath;
        m_sSavedAppName = g_sAppName;
        g_sAppDataPath = HomePath("app/Data/Lintrado");
        g_sDataPath = HomePath("app/Data");
        g_sLocCatalogPath.clear();
        g_sLocDefaultCatalog.clear();
        g_sLocCatalogFile.clear();
        g_asLocCatalogs.clear();
        g_LocEngine.Clear();
    }

    void TearDown() override
    {
        tDeleteConfigStore();
        g_LocEngine.Clear();
        tLocalisationDone();
        g_sLocCatalogPath.clear();
        g_sAppDataPath = m_sSavedAppDataPath;
        g_sDataPath = m_sSavedDataPath;
        g_sAppName = m_sSavedAppName;
    }

    static wxString Catalog(const std::string& sName, const std::string& sText)
    {
        return WriteHomeFile("app/Data/Lintrado/Languages/" + sName, sText);
    }

    // Opens the store over a per-user file holding this "CatalogFile" value.
    static void StoreCatalogFile(const wxString& sValue)
    {
        WriteHomeFile("config/Lintrado.conf", "[Localisation]\nCatalogFile=" + std::string(sValue.utf8_str()) + "\n");
        tCreateConfigStore(HomePath("config/Lintrado.conf"), wxString());
    }

private:
    wxString m_sSavedAppDataPath;
    wxString m_sSavedDataPath;
    wxString m_sSavedAppName;
};

TEST_F(LocalisationCatalogs, UserCatalogSettingDecidesWhatOverlaysTheDefault)
{
    Catalog("Default", "English\n");
    Catalog("English.lang", kEnglish);
    // On this file system "english" names another file; a name equal to the default's but for
    // case must still not load it.
    Catalog("english.lang", "GREETING=lower-case twin\n");
    Catalog("German.lang", "GREETING=Hallo\n");
    const wxString sOwnFile = WriteHomeFile("elsewhere/Mine.lang", "GREETING=Howdy\n");
    const wxString sNotACatalog = WriteHomeFile("elsewhere/notes.txt", "GREETING=never\n");

    struct Case
    {
        wxString sStored;
        wxString sAfterSettings; // the "CATALOG: " value
        wxString sCatalogFile;   // after the load
        const char* szGreeting;
    } aCases[] = {
        {"", "", "English", "Hello"},
        {"english", "english", "English", "Hello"},
        {"German", "German", "German", "Hallo"},
        {"Klingon", "", "English", "Hello"},
        {sOwnFile, sOwnFile, sOwnFile, "Howdy"},
        {sNotACatalog, "", "English", "Hello"},
        {HomePath("elsewhere/Missing.lang"), "", "English", "Hello"},
        {"Mine.lang", "", "English", "Hello"}, // a relative path is no catalog name
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.sStored.utf8_string());
        g_LocEngine.Clear();
        StoreCatalogFile(c.sStored);
        tcLogCapture log;

        ASSERT_TRUE(tLocalisationLoadCatalogs());

        EXPECT_TRUE(HasLine(log, "CATALOG: " + c.sAfterSettings));
        EXPECT_EQ(c.sCatalogFile, g_sLocCatalogFile);
        EXPECT_EQ("English", g_sLocDefaultCatalog);
        EXPECT_EQ(c.szGreeting, g_LocEngine.FindTranslation("GREETING"));
        // Keys the user's catalog leaves out come from the default.
        EXPECT_EQ("Goodbye", g_LocEngine.FindTranslation("FAREWELL"));
        EXPECT_EQ("Lintrado", g_sAppName);
        tDeleteConfigStore();
    }
}

TEST_F(LocalisationCatalogs, WithoutADefaultCatalogNameStartUpIsRefusedWithTheMessage)
{
    Catalog("English.lang", kEnglish);
    const char* aDefaultFiles[] = {nullptr, "", "\n", "  \r\nEnglish\n"};
    for (const char* szDefault : aDefaultFiles)
    {
        SCOPED_TRACE(szDefault ? szDefault : "(no file)");
        fs::remove(TempHomeListener::Current() / "app/Data/Lintrado/Languages/Default");
        if (szDefault)
            Catalog("Default", szDefault);
        g_sAppName = "unchanged";
        tcLogCapture log;

        EXPECT_FALSE(tLocalisationLoadCatalogs());

        // Nobody can answer here, so the prompt seam logs the message instead of showing it.
        EXPECT_TRUE(log.Contains("MSG: Error: No default language file. This probably means the application is "
                                 "running in a different path than where its data files are located."));
        EXPECT_EQ("unchanged", g_sAppName);
        EXPECT_FALSE(g_LocEngine.HasTranslation("GREETING"));
    }
}

TEST_F(LocalisationCatalogs, DefaultNamingAMissingCatalogStillStartsWithKeysAsTexts)
{
    Catalog("Default", "Esperanto\n");

    EXPECT_TRUE(tLocalisationLoadCatalogs());

    EXPECT_EQ("Esperanto", g_sLocCatalogFile);
    EXPECT_EQ("APPLICATION_NAME", g_sAppName);
    EXPECT_TRUE(g_asLocCatalogs.empty());
}

TEST_F(LocalisationCatalogs, CatalogListHoldsTheLangFilesOfTheFolderOnly)
{
    Catalog("Default", "English\n");
    Catalog("English.lang", kEnglish);
    Catalog("German.lang", "");
    Catalog("readme.txt", "");
    Catalog("old/French.lang", "");
    Catalog("Upper.LANG", "");
    tcLogCapture log;

    ASSERT_TRUE(tLocalisationLoadCatalogs());

    EXPECT_EQ((std::vector<wxString>{"English", "German"}), g_asLocCatalogs);
    EXPECT_TRUE(log.Contains("tLocalisationInit: Found catalog: \"German.lang\""));
    tLocalisationDone();
    EXPECT_TRUE(g_asLocCatalogs.empty());
}

TEST_F(LocalisationCatalogs, EmptyFolderListsNothingAndInitFallsBackToTheDataFolder)
{
    WriteHomeFile("app/Data/Catalogs/Only.lang", "");
    fs::create_directories(TempHomeListener::Current() / "app/Data/Lintrado/Languages");
    tcLogCapture log;

    g_sLocCatalogPath = g_sAppDataPath + "/Languages/";
    tLocalisationInit();
    EXPECT_TRUE(g_asLocCatalogs.empty());
    EXPECT_FALSE(log.Contains("Found catalog"));

    g_sLocCatalogPath.clear();
    g_sLocCatalogFile = "stale";
    tLocalisationInit();
    EXPECT_EQ(g_sDataPath + "/Catalogs/", g_sLocCatalogPath);
    EXPECT_EQ((std::vector<wxString>{"Only"}), g_asLocCatalogs);
    EXPECT_TRUE(g_sLocCatalogFile.empty());
}

// The catalogs the program ships, read from the source tree.
class ShippedCatalog : public testing::Test
{
protected:
    static fs::path Languages() { return fs::path(LINTRADO_SOURCE_DIR) / "Data/Lintrado/Languages"; }

    static std::string DefaultName()
    {
        std::ifstream in(Languages() / "Default");
        std::string sLine;
        std::getline(in, sLine);
        return sLine;
    }
};

TEST_F(ShippedCatalog, DefaultNamesACatalogThatLoads)
{
    const std::string sName = DefaultName();
    ASSERT_FALSE(sName.empty());
    tcLocalisationEngine engine;
    EXPECT_TRUE(engine.LoadLocStrings(wxString::FromUTF8((Languages() / (sName + ".lang")).string()), true, true));
    EXPECT_EQ("Lintrado", engine.FindTranslation("APPLICATION_NAME"));
}

TEST_F(ShippedCatalog, HoldsEveryKeyTheSourcesLookUp)
{
    tcLocalisationEngine engine;
    ASSERT_TRUE(
        engine.LoadLocStrings(wxString::FromUTF8((Languages() / (DefaultName() + ".lang")).string()), true, true));

    const std::regex lookUp(R"((?:FindTranslation|tLocalisedWith)\(\s*(?:L|_T\()?\s*"([^"]+)\")");
    std::set<std::string> missing;
    size_t nKeys = 0;
    for (const char* szFolder : {"app", "Shared", "engine", "import", "net", "platform", "script", "workspace"})
    {
        const fs::path folder = fs::path(LINTRADO_SOURCE_DIR) / szFolder;
        if (!fs::is_directory(folder))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
        {
            const std::string sExt = entry.path().extension().string();
            if (!entry.is_regular_file() || (sExt != ".cpp" && sExt != ".h"))
                continue;
            const std::string sText = ReadBytes(entry.path());
            for (std::sregex_iterator it(sText.begin(), sText.end(), lookUp), end; it != end; ++it)
            {
                ++nKeys;
                if (!engine.HasTranslation(wxString::FromUTF8((*it)[1].str())))
                    missing.insert((*it)[1].str() + " (" + entry.path().filename().string() + ")");
            }
        }
    }
    EXPECT_GT(nKeys, 0u) << "the search found no look-up at all; has the calling convention changed?";
    for (const std::string& sMissing : missing)
        ADD_FAILURE() << "not in the shipped catalog: " << sMissing;
}
} // namespace
