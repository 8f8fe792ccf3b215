// The whole program's fault reports, started as a child process on the test's display with the
// test's own home: a crash, a crash handler that hangs, and the upload of a pending archive.
#include "tests/harness/ChildProcess.h"
#include "tests/harness/LoopbackServer.h"
#include "tests/varnak/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>

namespace fs = std::filesystem;

namespace
{
fs::path BuiltProgram()
{
    return fs::read_symlink("/proc/self/exe").parent_path() / "lintrado";
}

fs::path Home()
{
    return TempHomeListener::Current();
}

fs::path Pending(const std::string& sName = "")
{
    return Home() / ".local/share/Korvendel/Logs/Pending" / sName;
}

std::string Log()
{
    return ReadBytes(Home() / ".local/share/Lintrado/Log64.txt");
}

int Count(const std::string& sText, const std::regex& pattern)
{
    return static_cast<int>(std::distance(std::sregex_iterator(sText.begin(), sText.end(), pattern), std::sregex_iterator()));
}

std::string Capture(const std::string& sCommand)
{
    std::string sOut;
    FILE* p = popen(sCommand.c_str(), "r");
    if (!p)
        return sOut;
    char a[4096];
    size_t n;
    while ((n = fread(a, 1, sizeof a, p)) > 0)
        sOut.append(a, n);
    pclose(p);
    return sOut;
}

class FaultReportProcess : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs a display (run under xvfb-run)";
        ASSERT_TRUE(fs::exists(BuiltProgram())) << BuiltProgram();
        // A stand-in for the desktop's opener that records what it was asked to open.
        WriteBytes(Home() / "bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$HOME/opened.txt\"\n");
        fs::permissions(Home() / "bin/xdg-open", fs::perms::owner_all);
    }

    void Configure(const std::string& sFaultReports)
    {
        WriteBytes(Home() / ".config/Korvendel/Lintrado.conf", "[App/FaultReports]\n" + sFaultReports);
    }

    // The program with the test hooks and the sanitizers' own fault handling switched off, so the
    // program's handler is in charge.
    std::unique_ptr<ChildProcess> Start(const std::string& sFault, int nAutoCloseMs)
    {
        std::vector<std::string> asEnv{"LINTRADO_TEST_AUTOCLOSE=" + std::to_string(nAutoCloseMs),
                                       "ASAN_OPTIONS=detect_leaks=0:handle_segv=0:handle_abort=0",
                                       "PATH=" + (Home() / "bin").string() + ":" + std::getenv("PATH")};
        if (!sFault.empty())
            asEnv.push_back("LINTRADO_TEST_FAULT=" + sFault);
        else
            unsetenv("LINTRADO_TEST_FAULT");
        auto pProgram = std::make_unique<ChildProcess>(BuiltProgram(), std::vector<std::string>{"x"}, asEnv);
        EXPECT_TRUE(pProgram->Started());
        return pProgram;
    }

    Watchdog m_watchdog{240};
};

TEST_F(FaultReportProcess, ACrashLeavesItsReportAndTheNextStartPacksIt)
{
    LoopbackServer server;
    Configure("ServiceAddress=" + server.BaseURL() + "\n");
    {
        auto pProgram = Start("segv", 60000);
        ASSERT_TRUE(pProgram->Wait());
        EXPECT_EQ(SIGABRT, pProgram->Signal()) << "exit code " << pProgram->ExitCode();
    }
    const std::string sLog = Log();
    EXPECT_EQ(1, Count(sLog, std::regex("ERROR: FATAL EXCEPTION\n")));
    for (const char* szName : {"WorkingSetSize", "PeakWorkingSetSize", "PagefileUsage", "PeakPagefileUsage"})
        EXPECT_EQ(1, Count(sLog, std::regex(std::string("MEMINFO:") + szName + "=[1-9][0-9]{5,}\n"))) << szName;

    std::vector<fs::path> records;
    for (const auto& entry : fs::directory_iterator(Pending()))
        if (entry.path().extension() == ".crash")
            records.push_back(entry.path());
    ASSERT_EQ(1u, records.size());
    const std::string sGUID = records[0].stem().string();
    ASSERT_TRUE(std::regex_match(sGUID, std::regex("[0-9A-F]{32}"))) << sGUID;
    const fs::path errorLog = Home() / ".local/share/Lintrado/ErrorLogs" / ("ErrorLog_" + sGUID + ".txt");
    EXPECT_EQ(errorLog.string() + "\n", ReadBytes(records[0]));
    const std::string sErrorLog = ReadBytes(errorLog);
    EXPECT_NE(std::string::npos, sErrorLog.find("Identifier: " + sGUID + "\n"));
    EXPECT_NE(std::string::npos, sErrorLog.find("ERROR: FATAL EXCEPTION")) << sErrorLog;

    // The opener runs on after the program ended.
    ASSERT_TRUE(WaitFor([] { return fs::exists(Home() / "opened.txt"); }));
    const std::string sOpened = ReadBytes(Home() / "opened.txt");
    EXPECT_EQ(0u, sOpened.rfind(server.BaseURL() + "/app/report.php?app=Lintrado1N", 0)) << sOpened;
    EXPECT_TRUE(std::regex_search(sOpened, std::regex("&date=\\d{4}-\\d\\d-\\d\\d%20\\d\\d%3A\\d\\d%3A\\d\\d&os=")))
        << sOpened;
    EXPECT_NE(std::string::npos, sOpened.find("&type=exception&guid=" + sGUID + "&data=")) << sOpened;
    EXPECT_EQ(std::string::npos, sOpened.find("&assert=")) << sOpened;
    EXPECT_EQ(0u, server.RequestCount()); // the browser would have fetched it, not the program

    // The next start packs the record; with sending off the archive stays.
    Configure("ServiceAddress=" + server.BaseURL() + "\nAllowSend=0\n");
    {
        auto pProgram = Start("", 200);
        ASSERT_TRUE(pProgram->Wait());
        EXPECT_EQ(0, pProgram->ExitCode());
    }
    EXPECT_FALSE(fs::exists(records[0]));
    const fs::path archive = Pending(sGUID + ".zip");
    ASSERT_TRUE(fs::exists(archive));
    const std::string sPacked = Capture("python3 -c 'import sys, zipfile; "
                                        "sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]).decode())' '" +
                                        archive.string() + "' 'ErrorLog_" + sGUID + ".txt'");
    EXPECT_EQ(sErrorLog, sPacked);
    EXPECT_EQ(0u, server.RequestCount());
}

TEST_F(FaultReportProcess, AHangingHandlerIsEndedByItsAlarm)
{
    Configure("");
    auto pProgram = Start("hang", 60000);
    ASSERT_TRUE(pProgram->Wait());
    EXPECT_EQ(SIGALRM, pProgram->Signal()) << "exit code " << pProgram->ExitCode();
    EXPECT_EQ(1, Count(Log(), std::regex("ERROR: FATAL EXCEPTION\n")));
}

TEST_F(FaultReportProcess, AtStartAPendingArchiveIsSent)
{
    LoopbackServer server;
    Configure("ServiceAddress=" + server.BaseURL() + "\n");
    WriteBytes(Pending("report.zip"), "archive bytes");
    auto pProgram = Start("", 120000);
    ASSERT_TRUE(WaitFor([] { return Log().find("Sent successfully") != std::string::npos; }));
    EXPECT_TRUE(WaitFor([] { return !fs::exists(Pending("report.zip")); }));
    const std::string sLog = Log();
    EXPECT_NE(std::string::npos, sLog.find(">>> PENDING NUM: 1\n"));
    ASSERT_EQ(1u, server.RequestCount());
    EXPECT_EQ("archive bytes", LoopbackServer::ParseMultipart(server.Requests()[0]).at(0).sContent);
    EXPECT_FALSE(fs::exists(Pending("report.zip.busy")));
}
} // namespace
