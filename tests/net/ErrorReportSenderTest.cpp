// The fault-report sender in a temporary logs folder, with the report service pointed at a
// loopback server.
#include "net/ErrorReportSender.h"

#include "net/ReportService.h"
#include "tests/Shared/NetFixture.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tErrorReport.h"

#include <wx/zipstrm.h>
#include <wx/wfstream.h>

#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <thread>

namespace fs = std::filesystem;

namespace
{
class ErrorReportSender : public NetFixture
{
protected:
    void SetUp() override
    {
        NetFixture::SetUp();
        SetDefault(L"");
    }

    void TearDown() override
    {
        tErrReportSenderDone();
        tSetErrorReportFolder(wxString());
        NetFixture::TearDown();
    }

    static void SetDefault(const wchar_t*) { SetSystemProxy(wxString()); }

    static void PointAt(const LoopbackServer& server)
    {
        g_pConfig->Write("/App/FaultReports/ServiceAddress", wxString::FromUTF8(server.BaseURL() + "/"));
    }

    static fs::path Logs() { return TempHomeListener::Current() / ".local/share/Korvendel/Logs"; }
    static fs::path Pending(const std::string& sName = "") { return Logs() / "Pending" / sName; }
    static fs::path CouldNotSend(const std::string& sName = "") { return Logs() / "CouldNotSend" / sName; }

    static void Archive(const std::string& sName, const std::string& sBytes = "zip bytes")
    {
        WriteBytes(Pending(sName), sBytes);
    }

    // The sender is running; waits until its queue has no work left.
    static void WaitUntilIdle()
    {
        ASSERT_NE(nullptr, g_pErrorReportSender);
        ASSERT_TRUE(g_pErrorReportSender->WaitIdle(std::chrono::seconds(60)));
    }

    // The id of a process that has ended.
    static pid_t EndedProcess()
    {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(0);
        waitpid(pid, nullptr, 0);
        return pid;
    }
};

TEST_F(ErrorReportSender, SendsWhatIsNotMarkedAndDeletesItWithItsMarker)
{
    LoopbackServer server;
    PointAt(server);
    Archive("a.zip", "first archive");
    Archive("b.zip");
    WriteBytes(Pending("b.zip.busy"), "2026-01-01 00:00:00\n" + std::to_string(getpid()) + "\n");
    Archive("notes.txt");
    tcLogCapture log;
    ASSERT_TRUE(tErrReportSenderStart());
    WaitUntilIdle();

    EXPECT_TRUE(log.Contains(">>> PENDING FILES: 2"));
    EXPECT_TRUE(log.Contains(">>> PENDING NUM: 1"));
    EXPECT_TRUE(log.Contains("Sent successfully"));
    ASSERT_EQ(1u, server.RequestCount());
    const LoopbackServer::Request request = server.Requests()[0];
    EXPECT_EQ("POST /app/postreport.php HTTP/1.1", request.sRequestLine);
    const auto parts = LoopbackServer::ParseMultipart(request);
    ASSERT_EQ(2u, parts.size());
    EXPECT_EQ("first archive", parts[0].sContent);
    EXPECT_FALSE(fs::exists(Pending("a.zip")));
    EXPECT_FALSE(fs::exists(Pending("a.zip.busy")));
    // The marked one belongs to a live copy of this program.
    EXPECT_TRUE(fs::exists(Pending("b.zip")));
    EXPECT_TRUE(fs::exists(Pending("b.zip.busy")));
}

TEST_F(ErrorReportSender, AFailedUploadMovesTheArchiveWithoutOverwritingAnother)
{
    LoopbackServer server;
    server.SetDefault({LoopbackServer::Reply::Kind::Answer, 500, "", {}});
    PointAt(server);
    Archive("r.zip", "new");
    WriteBytes(CouldNotSend("r.zip"), "older");
    tcLogCapture log;
    ASSERT_TRUE(tErrReportSenderStart());
    WaitUntilIdle();
    EXPECT_EQ(1u, server.RequestCount()); // no retries
    EXPECT_TRUE(log.Contains("SendErrorLog:OnSendDone(22,"));
    EXPECT_TRUE(log.Contains("Failed to send"));
    EXPECT_FALSE(fs::exists(Pending("r.zip")));
    EXPECT_FALSE(fs::exists(Pending("r.zip.busy")));
    EXPECT_EQ("older", ReadBytes(CouldNotSend("r.zip")));
    EXPECT_EQ("new", ReadBytes(CouldNotSend("r-2.zip")));
}

TEST_F(ErrorReportSender, AnArchiveStaysInPendingWhenCouldNotSendCannotBeMade)
{
    LoopbackServer server;
    server.SetDefault({LoopbackServer::Reply::Kind::Answer, 500, "", {}});
    PointAt(server);
    Archive("r.zip");
    WriteBytes(Logs() / "CouldNotSend", "a file where the folder should be");
    ASSERT_TRUE(tErrReportSenderStart());
    WaitUntilIdle();
    EXPECT_EQ(1u, server.RequestCount());
    EXPECT_TRUE(fs::exists(Pending("r.zip")));
    EXPECT_FALSE(fs::exists(Pending("r.zip.busy")));
    EXPECT_FALSE(fs::exists(fs::current_path() / "r.zip"));
}

TEST_F(ErrorReportSender, NothingHappensWithoutConsentOrWithoutAService)
{
    LoopbackServer server;
    struct Case
    {
        const char* szWhat;
        const char* szAddress; // null: none set
        bool bAllow;
    };
    const Case aCases[] = {
        {"AllowSend off", "", false},
        {"no service address", nullptr, true},
        {"not a web address", "ftp://127.0.0.1/", true},
    };
    for (const Case& c : aCases)
    {
        Archive("r.zip");
        g_pConfig->DeleteEntry("/App/FaultReports/ServiceAddress");
        if (c.szAddress)
            g_pConfig->Write("/App/FaultReports/ServiceAddress",
                             *c.szAddress ? wxString(c.szAddress) : wxString::FromUTF8(server.BaseURL()));
        tGetOptions()->SetBool("/App/FaultReports", "AllowSend", c.bAllow);
        tcLogCapture log;
        EXPECT_FALSE(tErrReportSenderStart()) << c.szWhat;
        EXPECT_EQ(nullptr, g_pErrorReportSender) << c.szWhat;
        EXPECT_FALSE(log.Contains(">>> PENDING PATH")) << c.szWhat;
        EXPECT_FALSE(g_bCURLInitialized) << c.szWhat;
        EXPECT_EQ(std::vector<fs::path>{Pending("r.zip")},
                  std::vector<fs::path>(fs::directory_iterator(Pending()), fs::directory_iterator()))
            << c.szWhat;
    }
    EXPECT_EQ(0u, server.RequestCount());
}

TEST_F(ErrorReportSender, ASecondStartDoesNothing)
{
    LoopbackServer server;
    server.SetDefault({LoopbackServer::Reply::Kind::Silent, 200, "", {}});
    PointAt(server);
    Archive("r.zip");
    ASSERT_TRUE(tErrReportSenderStart());
    tcErrorReportSender* pFirst = g_pErrorReportSender;
    tcLogCapture log;
    EXPECT_TRUE(tErrReportSenderStart());
    EXPECT_EQ(pFirst, g_pErrorReportSender);
    EXPECT_FALSE(log.Contains(">>> PENDING"));
}

TEST_F(ErrorReportSender, ANetworkThatCannotStartLeavesNoMarker)
{
    LoopbackServer server;
    PointAt(server);
    Archive("a.zip");
    Archive("b.zip");
    tSetCURLInitFailureForTest(true);
    tcLogCapture log;
    EXPECT_FALSE(tErrReportSenderStart());
    EXPECT_TRUE(log.Contains(">>> tCURLInit failed"));
    EXPECT_TRUE(fs::exists(Pending("a.zip")));
    EXPECT_TRUE(fs::exists(Pending("b.zip")));
    EXPECT_FALSE(fs::exists(Pending("a.zip.busy")));
    EXPECT_FALSE(fs::exists(Pending("b.zip.busy")));
}

TEST_F(ErrorReportSender, StoppingDuringAHangingUploadKeepsEveryArchive)
{
    LoopbackServer server;
    server.SetDefault({LoopbackServer::Reply::Kind::Silent, 200, "", {}});
    PointAt(server);
    Archive("a.zip");
    Archive("b.zip");
    ASSERT_TRUE(tErrReportSenderStart());
    ASSERT_TRUE(server.WaitForRequests(1)); // the first upload hangs; the second waits its turn
    tcLogCapture log;
    tErrReportSenderDone();
    EXPECT_TRUE(log.Contains(">>> SendFile: aborted"));
    EXPECT_FALSE(log.Contains("OnSendDone"));
    EXPECT_TRUE(fs::exists(Pending("a.zip")));
    EXPECT_TRUE(fs::exists(Pending("b.zip")));
    EXPECT_FALSE(fs::exists(Pending("a.zip.busy")));
    EXPECT_FALSE(fs::exists(Pending("b.zip.busy")));
    EXPECT_EQ(1u, server.RequestCount());
}

TEST_F(ErrorReportSender, AMarkerOfAnEndedProcessIsReclaimedOneOfALiveProcessIsNot)
{
    LoopbackServer server;
    PointAt(server);
    Archive("ended.zip");
    WriteBytes(Pending("ended.zip.busy"), "2026-01-01 00:00:00\n" + std::to_string(EndedProcess()) + "\n");
    Archive("live.zip");
    WriteBytes(Pending("live.zip.busy"), "2026-01-01 00:00:00\n" + std::to_string(getpid()) + "\n");
    Archive("byhand.zip");
    WriteBytes(Pending("byhand.zip.busy"), "2026-01-01 00:00:00\n");
    ASSERT_TRUE(tErrReportSenderStart());
    WaitUntilIdle();
    ASSERT_EQ(1u, server.RequestCount());
    EXPECT_EQ("ended.zip", LoopbackServer::ParseMultipart(server.Requests()[0]).at(0).sFileName);
    EXPECT_FALSE(fs::exists(Pending("ended.zip")));
    EXPECT_FALSE(fs::exists(Pending("ended.zip.busy")));
    EXPECT_TRUE(fs::exists(Pending("live.zip.busy")));
    EXPECT_TRUE(fs::exists(Pending("byhand.zip.busy")));
}

TEST_F(ErrorReportSender, TheMarkerNamesTheTimeAndTheClaimingProcess)
{
    Archive("r.zip");
    ASSERT_EQ(teArchiveClaim::Claimed, tClaimPendingArchive(wxString(Pending("r.zip").string())));
    const std::string sMarker = ReadBytes(Pending("r.zip.busy"));
    EXPECT_TRUE(std::regex_match(sMarker, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\n)" +
                                                     std::to_string(getpid()) + "\n")))
        << sMarker;
    EXPECT_EQ(teArchiveClaim::Taken, tClaimPendingArchive(wxString(Pending("r.zip").string())));
}

TEST_F(ErrorReportSender, OfTwoRacingClaimsOneWins)
{
    for (int i = 0; i < 50; ++i)
    {
        const std::string sName = "race" + std::to_string(i) + ".zip";
        Archive(sName);
        const wxString sArchive(Pending(sName).string());
        teArchiveClaim eOne{}, eTwo{};
        std::thread one([&] { eOne = tClaimPendingArchive(sArchive); });
        std::thread two([&] { eTwo = tClaimPendingArchive(sArchive); });
        one.join();
        two.join();
        EXPECT_EQ(1, (eOne == teArchiveClaim::Claimed) + (eTwo == teArchiveClaim::Claimed)) << i;
        EXPECT_EQ(1, (eOne == teArchiveClaim::Taken) + (eTwo == teArchiveClaim::Taken)) << i;
    }
    // No temporary file of a losing claim stays behind.
    for (const auto& entry : fs::directory_iterator(Pending()))
        EXPECT_EQ(std::string::npos, entry.path().string().find(".tmp")) << entry.path();
}

TEST_F(ErrorReportSender, CrashRecordsBecomeArchivesBeforeTheConsentIsAsked)
{
    const fs::path errorLog = Logs() / "ErrorLogs" / "ErrorLog_X.txt";
    const std::string sLog = "Title: Exception\nIdentifier: 0123456789ABCDEF0123456789ABCDEF\nstack\n";
    WriteBytes(errorLog, sLog);
    WriteBytes(Pending("0123456789ABCDEF0123456789ABCDEF.crash"), errorLog.string() + "\n");
    WriteBytes(Pending("FEDCBA98765432100123456789ABCDEF.crash"), (Logs() / "missing.txt").string() + "\n");
    tSetErrorReportFolder(wxString(Pending().string()));
    tGetOptions()->SetBool("/App/FaultReports", "AllowSend", false);

    EXPECT_FALSE(tErrReportSenderStart());
    const fs::path archive = Pending("0123456789ABCDEF0123456789ABCDEF.zip");
    ASSERT_TRUE(fs::exists(archive));
    EXPECT_FALSE(fs::exists(Pending("0123456789ABCDEF0123456789ABCDEF.crash")));
    // A record whose error log is gone cannot become an archive; it is kept, never dropped.
    EXPECT_TRUE(fs::exists(Pending("FEDCBA98765432100123456789ABCDEF.crash")));

    wxFFileInputStream file(archive.string());
    wxZipInputStream zip(file);
    std::unique_ptr<wxZipEntry> pEntry(zip.GetNextEntry());
    ASSERT_TRUE(pEntry);
    EXPECT_EQ("ErrorLog_X.txt", pEntry->GetName());
    std::string sRead(sLog.size() + 10, '\0');
    zip.Read(sRead.data(), sRead.size());
    sRead.resize(zip.LastRead());
    EXPECT_EQ(sLog, sRead);
}
} // namespace
