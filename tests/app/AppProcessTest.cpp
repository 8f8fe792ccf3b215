// The whole program started as a child process on the test's display, with the test's own home.
#include "tests/harness/ChildProcess.h"
#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr int kTimeoutMs = 90000;

fs::path BuiltProgram()
{
    return fs::read_symlink("/proc/self/exe").parent_path() / "lintrado";
}

// The program with its test hook set (it closes its window nAutoCloseMs after showing it) and
// extra "NAME=value" settings. In sanitizer builds the whole program's leak report is mostly GTK's
// and D-Bus's caches, kept until exit; it would only change the exit code these tests check.
class AppChild : public ChildProcess
{
public:
    AppChild(const fs::path& program, const std::vector<std::string>& asArgs, int nAutoCloseMs,
             const std::vector<std::string>& asExtraEnv = {})
        : ChildProcess(program, asArgs, Settings(nAutoCloseMs, asExtraEnv))
    {
    }

    // The exit code, or -1 when the program did not end in time (or ended by a signal).
    int ExitCodeAfterWait()
    {
        Wait(kTimeoutMs);
        return ExitCode();
    }

private:
    static std::vector<std::string> Settings(int nAutoCloseMs, const std::vector<std::string>& asExtraEnv)
    {
        std::vector<std::string> asEnv{"LINTRADO_TEST_AUTOCLOSE=" + std::to_string(nAutoCloseMs),
                                       "ASAN_OPTIONS=detect_leaks=0"};
        asEnv.insert(asEnv.end(), asExtraEnv.begin(), asExtraEnv.end());
        return asEnv;
    }
};

// The log's lines without their time stamps ("YYYY-MM-DD HH:MM:SS.mmm ").
std::vector<std::string> LogLines()
{
    const std::string sText = ReadBytes(TempHomeListener::Current() / ".local/share/Lintrado/Log64.txt");
    std::vector<std::string> lines;
    size_t nStart = 0;
    while (nStart < sText.size())
    {
        size_t nEnd = sText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = sText.size();
        std::string sLine = sText.substr(nStart, nEnd - nStart);
        lines.push_back(sLine.size() >= 24 ? sLine.substr(24) : sLine);
        nStart = nEnd + 1;
    }
    return lines;
}

// Index of the first line starting with sPrefix at or after nFrom; -1 when there is none.
int FindLine(const std::vector<std::string>& lines, const std::string& sPrefix, int nFrom = 0)
{
    for (int i = std::max(nFrom, 0); i < static_cast<int>(lines.size()); ++i)
        if (lines[i].rfind(sPrefix, 0) == 0)
            return i;
    return -1;
}

int CountLines(const std::vector<std::string>& lines, const std::string& sPrefix)
{
    return static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& s) { return s.rfind(sPrefix, 0) == 0; }));
}

fs::path ConfigFile()
{
    return TempHomeListener::Current() / ".config/Korvendel/Lintrado.conf";
}

void WriteConfig(const std::string& sText)
{
    fs::create_directories(ConfigFile().parent_path());
    WriteHomeFile(".config/Korvendel/Lintrado.conf", sText);
}

class AppProcess : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs a display (run under xvfb-run)";
        ASSERT_TRUE(fs::exists(BuiltProgram())) << BuiltProgram();
    }
};

TEST_F(AppProcess, StartsLogsItsSystemBlockShowsTheWindowAndSavesOnClose)
{
    WriteConfig("[Window]\nmaximized=0\nx=-5\ny=10\nwidth=500\nheight=300\n");
    AppChild program(BuiltProgram(), {"dummy"}, 200);
    ASSERT_TRUE(program.Started());

    ASSERT_EQ(0, program.ExitCodeAfterWait());

    const std::vector<std::string> lines = LogLines();
    const std::string sHyphens(49, '-');
    const int nBlock = FindLine(lines, sHyphens);
    ASSERT_GE(nBlock, 0);
    int nAt = nBlock;
    for (const char* szLabel :
         {"DATETIME        : ",     "App major version: ",    "Operating System: ",      "Locale          : ",
          "Build date/time : ",     "GCC version     : ",     "AppPathFull: ",           "AppPath    : ",
          "LogFilename: ",          "LibDataPath: ",          "DataPath   : ",           "AppDataPath: ",
          "ExecPath   :",           "Cores/CPUs      : ",     "64-bit          : ",      "Little-endian   : ",
          "OS description  : ",     "Free memory     : ",     "Memory in use       : ",  "Physical memory     : ",
          "Physical memory free: ", "Paging file         : ", "Paging file free    : ",  "Virtual memory      : ",
          "Virtual memory free : ", "Extended memory free: ", "InitializeWin32MemInfo:", sHyphens.c_str()})
    {
        const int nNext = FindLine(lines, szLabel, nAt + 1);
        EXPECT_GT(nNext, nAt) << "out of order or missing: " << szLabel;
        nAt = std::max(nAt, nNext);
    }
    const std::string sProgramFolder = BuiltProgram().parent_path().string();
    EXPECT_EQ("AppPathFull: " + BuiltProgram().string(), lines[FindLine(lines, "AppPathFull: ")]);
    // The program sits in build/bin and finds its data in build/Data.
    EXPECT_EQ("AppPath    : " + BuiltProgram().parent_path().parent_path().string(),
              lines[FindLine(lines, "AppPath    : ")]);
    EXPECT_EQ(sProgramFolder, lines[FindLine(lines, "ExecPath   :") + 1]);

    EXPECT_GE(FindLine(lines, "argv[1]=dummy"), 0);
    EXPECT_GE(FindLine(lines, "Window settings: Not maximized (-5 10, 500 300)"), 0);
    EXPECT_GE(FindLine(lines, "Test hook: closing the main window (shown: yes)"), 0);

    const int nOptions = FindLine(lines, "Shutdown: options saved");
    const int nStore = FindLine(lines, "Shutdown: configuration store closed");
    const int nLog = FindLine(lines, "Shutdown: log closed");
    EXPECT_TRUE(nBlock < nOptions && nOptions < nStore && nStore < nLog)
        << nOptions << " " << nStore << " " << nLog;
    EXPECT_EQ(static_cast<int>(lines.size()) - 1, nLog);
    // Steps that do nothing yet say nothing.
    for (const std::string& sLine : lines)
    {
        for (const char* szStep : {"fault-report", "sender", "assertion handler", "fatal-exception"})
            EXPECT_EQ(std::string::npos, sLine.find(szStep)) << sLine;
    }

    const std::string sConfig = ReadBytes(ConfigFile());
    EXPECT_NE(std::string::npos, sConfig.find("[Keyboard]")) << sConfig;
    // The window group is only ever read.
    EXPECT_NE(std::string::npos, sConfig.find("width=500")) << sConfig;
}

TEST_F(AppProcess, OpensTheScriptBindingsAndStartsWithoutThemWhenOpeningFails)
{
    {
        AppChild program(BuiltProgram(), {}, 200);
        ASSERT_TRUE(program.Started());
        ASSERT_EQ(0, program.ExitCodeAfterWait());
        const std::vector<std::string> lines = LogLines();
        const int nOpened = FindLine(lines, "Script bindings opened: 121 type names, ");
        EXPECT_GE(nOpened, 0);
        EXPECT_NE(std::string::npos, lines[std::max(nOpened, 0)].find(", 222 constants"));
        const int nClosed = FindLine(lines, "Shutdown: Lua state closed");
        EXPECT_TRUE(nOpened < nClosed && nClosed < FindLine(lines, "Shutdown: log closed"));
        EXPECT_EQ(0, CountLines(lines, "LUA ERROR:"));
    }
    fs::remove(TempHomeListener::Current() / ".local/share/Lintrado/Log64.txt");
    AppChild program(BuiltProgram(), {}, 200, {"LINTRADO_TEST_FAIL_SCRIPT_OPENING=1"});
    ASSERT_TRUE(program.Started());
    ASSERT_EQ(0, program.ExitCodeAfterWait());
    const std::vector<std::string> lines = LogLines();
    // Kept until the log was open, then logged once; the program went on and closed normally.
    EXPECT_EQ(1, CountLines(lines, "LUA ERROR: the script bindings could not be opened, scripts run without them: "
                                   "opening refused by the test hook"));
    EXPECT_EQ(-1, FindLine(lines, "Script bindings opened"));
    EXPECT_GE(FindLine(lines, "Test hook: closing the main window (shown: yes)"), 0);
    EXPECT_GE(FindLine(lines, "Shutdown: log closed"), 0);
}

TEST_F(AppProcess, SecondCopyIsRefusedWhileTheFirstRuns)
{
    AppChild first(BuiltProgram(), {"first"}, 60000);
    ASSERT_TRUE(first.Started());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (FindLine(LogLines(), "Window settings:") < 0 && first.IsRunning() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_GE(FindLine(LogLines(), "Window settings:"), 0) << "the first copy did not start";

    // The lock is a per-user runtime file, not a file in the (possibly shared) home folder.
    EXPECT_TRUE(fs::exists(TempHomeListener::Current() / "run/Korvendel|Lintrado"));
    EXPECT_FALSE(fs::exists(TempHomeListener::Current() / "Korvendel|Lintrado"));

    AppChild second(BuiltProgram(), {"second"}, 0);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(255, second.ExitCodeAfterWait());

    EXPECT_TRUE(first.IsRunning());
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(1, CountLines(lines, "Another program instance is already running, aborting."));
    // The second copy never reached its window.
    EXPECT_EQ(1, CountLines(lines, "Window settings:"));
    EXPECT_EQ(1, CountLines(lines, "Shutdown: options were never loaded, not saved"));
}

TEST_F(AppProcess, WithoutDefaultCatalogItEndsWith255AndKeepsTheStoredSettings)
{
    // A copy of the program in a tree of its own whose catalog folder has no "Default".
    const fs::path tree = TempHomeListener::Current() / "install";
    fs::create_directories(tree / "bin");
    fs::create_directories(tree / "Data/Lintrado/Languages");
    fs::copy_file(BuiltProgram(), tree / "bin/lintrado");
    WriteHomeFile("install/Data/Lintrado/Languages/English.lang", "APPLICATION_NAME=Lintrado\n");
    const std::string sStored = "[Projects]\nProjectFolder=/keep/this\n";
    WriteConfig(sStored);

    AppChild program(tree / "bin/lintrado", {"dummy"}, 0);
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(255, program.ExitCodeAfterWait());

    const std::vector<std::string> lines = LogLines();
    EXPECT_GE(FindLine(lines, "MSG: Error: No default language file."), 0);
    EXPECT_LT(FindLine(lines, "Window settings:"), 0);
    EXPECT_GE(FindLine(lines, "Shutdown: options were never loaded, not saved"), 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("Shutdown: log closed", lines.back());
    EXPECT_EQ(sStored, ReadBytes(ConfigFile()));
}
} // namespace
