#include "app/AppPaths.h"

#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
TEST(AppPaths, DataFolderRuleOverTemporaryTrees)
{
    struct Case
    {
        const char* szName;
        std::vector<const char*> asFolders; // made under the test's home
        const char* szAppPath;              // expected, relative to the home
        const char* szLibDataPath;
    } aCases[] = {
        {"only the parent has Data", {"tree/Data", "tree/bin"}, "tree", "tree/Data"},
        {"both have Data", {"tree/Data", "tree/bin/Data"}, "tree/bin", "tree/bin/Data"},
        {"neither has Data", {"tree/bin"}, "tree/bin", "tree/bin/Data"},
        {"LibraryData beside the moved folder",
         {"tree/Data", "tree/bin", "LibraryData"},
         "tree",
         "tree/../LibraryData"},
        {"LibraryData beside the executable's folder",
         {"tree/bin/Data", "tree/LibraryData"},
         "tree/bin",
         "tree/bin/../LibraryData"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        const fs::path home = TempHomeListener::Current() / c.szName;
        for (const char* szFolder : c.asFolders)
            fs::create_directories(home / szFolder);
        const wxString sHome = wxString::FromUTF8(home.string());

        tcAppPaths paths = ComputeAppPaths(sHome + "/tree/bin/lintrado");

        EXPECT_EQ(sHome + "/tree/bin/lintrado", paths.sAppPathFull);
        EXPECT_EQ((sHome + "/tree/bin").ToStdWstring(), paths.sExecPath);
        EXPECT_EQ(sHome + "/" + c.szAppPath, paths.sAppPath);
        EXPECT_EQ(sHome + "/" + c.szAppPath + "/Data", paths.sDataPath);
        EXPECT_EQ(sHome + "/" + c.szAppPath + "/Data/Lintrado", paths.sAppDataPath);
        EXPECT_EQ(sHome + "/" + c.szLibDataPath, paths.sLibDataPath);
    }
}

TEST(AppPaths, LogGoesToTheUserDataFolderOrBesideTheProgram)
{
    const wxString sHome = HomePath();

    // Missing parents are made too.
    EXPECT_EQ(sHome + "/data/deep/Lintrado/Log64.txt",
              ComputeLogFilename(sHome + "/data/deep/Lintrado", sHome + "/app"));
    EXPECT_TRUE(wxDirExists(sHome + "/data/deep/Lintrado"));

    // A folder that cannot exist: a file stands where its parent should be.
    WriteHomeFile("blocker", "");
    EXPECT_EQ(sHome + "/app/Log64.txt", ComputeLogFilename(sHome + "/blocker/Lintrado", sHome + "/app"));
}

TEST(AppPaths, UserLocalDataFolderFollowsXdgDataHome)
{
    const wxString sHome = HomePath();
    struct Case
    {
        const char* szDataHome; // null: unset
        wxString sExpected;
    } aCases[] = {
        {"/srv/data", "/srv/data/Lintrado"},
        {nullptr, sHome + "/.local/share/Lintrado"},
        {"relative/data", sHome + "/.local/share/Lintrado"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szDataHome ? c.szDataHome : "(unset)");
        if (c.szDataHome)
            wxSetEnv("XDG_DATA_HOME", c.szDataHome);
        else
            wxUnsetEnv("XDG_DATA_HOME");
        EXPECT_EQ(c.sExpected, GetUserLocalDataFolder("Lintrado"));
    }
}

TEST(AppPaths, InstanceLockLivesInTheRuntimeFolderElseInTempWithTheUserId)
{
    const wxString sHome = HomePath();
    fs::create_directories(TempHomeListener::Current() / "lock-run");
    const wxString sTemp = wxFileName::GetTempDir();
    const wxString sPerUser = wxString::Format("Korvendel|Lintrado-%lu", static_cast<unsigned long>(getuid()));
    struct Case
    {
        const char* szName;
        wxString sRuntime; // empty name: unset
        bool bSet;
        wxString sFolder;
        wxString sFile;
    } aCases[] = {
        {"existing folder", sHome + "/lock-run", true, sHome + "/lock-run", "Korvendel|Lintrado"},
        {"unset", "", false, sTemp, sPerUser},
        {"empty", "", true, sTemp, sPerUser},
        {"missing folder", sHome + "/no-such-run", true, sTemp, sPerUser},
        // A relative value would move with the working folder.
        {"relative", "lock-run", true, sTemp, sPerUser},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        if (c.bSet)
            wxSetEnv("XDG_RUNTIME_DIR", c.sRuntime);
        else
            wxUnsetEnv("XDG_RUNTIME_DIR");
        const tcInstanceLockPlace place = ComputeInstanceLockPlace("Korvendel|Lintrado");
        EXPECT_EQ(c.sFolder, place.sFolder);
        EXPECT_EQ(c.sFile, place.sName);
    }
}
} // namespace
