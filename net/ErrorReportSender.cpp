#include "net/ErrorReportSender.h"

#include "Shared/AppUtils_sharedText.h"
#include "Shared/Options.h"
#include "net/ReportService.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tErrorReport.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/tcLocalisationEngine.h"
#include "varnak/include/tcWork.h"

#include <wx/filename.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

tcErrorReportSender* g_pErrorReportSender = nullptr;

namespace
{
std::string Bytes(const wxString& s)
{
    return s.utf8_string();
}

wxString MarkerOf(const wxString& sArchive)
{
    return sArchive + ".busy";
}

// The program a process runs, "" when it cannot be read.
std::string ExecutableOf(const std::string& sProcDir)
{
    char a[4096];
    const ssize_t n = ::readlink((sProcDir + "/exe").c_str(), a, sizeof a - 1);
    return n > 0 ? std::string(a, static_cast<size_t>(n)) : std::string();
}

// True when the marker's process has ended or runs another program. A marker without a process
// id (written by hand, or by an older copy) counts as live: it is removed by hand.
bool IsStaleMarker(const wxString& sMarker)
{
    const std::optional<std::string> sText = tReadFileBytes(sMarker);
    if (!sText)
        return false;
    const std::vector<std::string> aLines = tSplitByteLines(*sText);
    long nPid = 0;
    if (aLines.size() < 2 || !wxString(aLines[1]).ToLong(&nPid) || nPid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(nPid), 0) != 0 && errno == ESRCH)
        return true;
    const std::string sTheirs = ExecutableOf("/proc/" + std::to_string(nPid));
    // Unreadable (another user's process): leave it alone.
    return !sTheirs.empty() && sTheirs != ExecutableOf("/proc/self");
}

std::string MarkerText()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char a[64];
    std::snprintf(a, sizeof a, "%04d-%02d-%02d %02d:%02d:%02d\n", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return std::string(a) + std::to_string(::getpid()) + "\n";
}

// Moves the archive into the folder under its own name, or with "-2", "-3" ... before ".zip"
// when that name is taken; never over another archive.
bool MoveWithoutOverwriting(const wxString& sArchive, const wxString& sFolder)
{
    const wxFileName name(sArchive);
    for (int n = 1; n < 1000; ++n)
    {
        const wxString sTarget = sFolder + "/" +
                                 (n == 1 ? name.GetFullName() : wxString::Format("%s-%d.%s", name.GetName(), n, name.GetExt()));
        if (::renameat2(AT_FDCWD, Bytes(sArchive).c_str(), AT_FDCWD, Bytes(sTarget).c_str(), RENAME_NOREPLACE) == 0)
        {
            kvLog(L"SendErrorLog: moved to %s", sTarget);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    kvLogError(L"SendErrorLog: %s could not be moved to %s (errno %d); it stays", sArchive, sFolder, errno);
    return false;
}
} // namespace

teArchiveClaim tClaimPendingArchive(const wxString& sArchive)
{
    const wxString sMarker = MarkerOf(sArchive);
    if (tFileExists(sMarker))
    {
        if (!IsStaleMarker(sMarker))
            return teArchiveClaim::Taken;
        kvLog(L">>> PENDING: %s was left by a process that has ended; claimed again", sMarker);
        ::unlink(Bytes(sMarker).c_str());
    }
    kvLog(L">>> PENDING: Creating %s", sMarker);
    // Unique per claim, so that claims of two threads never share their temporary file either.
    static std::atomic<unsigned> s_nClaims{0};
    const std::string sTemp =
        Bytes(sMarker) + "." + std::to_string(::getpid()) + "-" + std::to_string(++s_nClaims) + ".tmp";
    const std::string sText = MarkerText();
    const int fd = ::open(sTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool bWritten = fd >= 0 && ::write(fd, sText.data(), sText.size()) == static_cast<ssize_t>(sText.size());
    if (fd >= 0)
        bWritten = ::close(fd) == 0 && bWritten;
    if (!bWritten)
    {
        ::unlink(sTemp.c_str());
        return teArchiveClaim::Failed;
    }
    if (::renameat2(AT_FDCWD, sTemp.c_str(), AT_FDCWD, Bytes(sMarker).c_str(), RENAME_NOREPLACE) != 0)
    {
        const int nError = errno;
        ::unlink(sTemp.c_str());
        return nError == EEXIST ? teArchiveClaim::Taken : teArchiveClaim::Failed;
    }
    kvLog(L">>> PENDING: Created %s", sMarker);
    return teArchiveClaim::Claimed;
}

int tPackCrashRecords(const wxString& sPendingFolder)
{
    if (sPendingFolder.empty())
        return 0;
    std::vector<wxString> aRecords;
    tFindAllFiles(sPendingFolder, "*.crash", aRecords, false);
    int nPacked = 0;
    for (const wxString& sRecord : aRecords)
    {
        const std::optional<std::string> sText = tReadFileBytes(sRecord);
        const std::vector<std::string> aLines = sText ? tSplitByteLines(*sText) : std::vector<std::string>();
        const wxString sErrorLog = aLines.empty() ? wxString() : wxString::FromUTF8(aLines[0]);
        kvLog(L"Crash record %s: error log %s", sRecord, sErrorLog);
        if (sErrorLog.empty() || !tFileExists(sErrorLog))
        {
            kvLogError(L"Crash record %s names no error log that exists; kept", sRecord);
            continue;
        }
        const wxString sArchive =
            tSendErrorReport(g_LocEngine.FindTranslation("APPLICATION_CRASH_MESSAGE"),
                             g_LocEngine.FindTranslation("MESSAGETITLE_ERROR"), g_sAppName + " - Fatal Error Report",
                             sErrorLog, true);
        if (sArchive.empty())
            continue; // the record stays for the next start
        ::unlink(Bytes(sRecord).c_str());
        ++nPacked;
    }
    return nPacked;
}

tcWorkSendErrorLogFile::tcWorkSendErrorLogFile(const std::wstring& sArchive, const std::string& sURL, bool bOwnsMarker)
    : tcWorkSendFile(sArchive, sURL, nullptr, 0), m_bOwnsMarker(bOwnsMarker)
{
}

tcWorkSendErrorLogFile::~tcWorkSendErrorLogFile()
{
    // Never run (the queue stopped first): the marker would keep the archive from later starts.
    if (!m_bRan)
        RemoveMarker();
}

void tcWorkSendErrorLogFile::RemoveMarker()
{
    // Only a marker of this run: any other belongs to a copy that may be sending the archive.
    if (m_bOwnsMarker)
        ::unlink(Bytes(MarkerOf(m_sFilePath)).c_str());
    m_bOwnsMarker = false;
}

bool tcWorkSendErrorLogFile::DoWork()
{
    m_bRan = true;
    const bool bResult = tcWorkSendFile::DoWork();
    RemoveMarker();
    return bResult;
}

void tcWorkSendErrorLogFile::OnSendDone(int nResult, const std::wstring& sPath, const std::string&)
{
    tcDebugInfo debugInfo("tcWorkSendErrorLogFile::OnSendDone");
    tcLog::Log("tcWorkSendErrorLogFile::OnSendDone");
    kvLog(L"SendErrorLog:OnSendDone(%d,%s) %s", nResult, sPath.c_str(),
          nResult != 0 ? L"Failed to send" : L"Sent successfully");
    if (nResult == 0)
    {
        ::unlink(Bytes(sPath).c_str());
        return;
    }
    const wxString sFolder = tGetLogsFolder("CouldNotSend");
    if (sFolder.empty())
    {
        // Moving it to a bare file name would drop it into the working folder.
        kvLogError(L"SendErrorLog: no folder CouldNotSend; %s stays in Pending", sPath.c_str());
        return;
    }
    MoveWithoutOverwriting(sPath, sFolder);
}

tcErrorReportSender::~tcErrorReportSender()
{
    DeleteQueue(L"ErrReportSender~:Deleting work queue", L"ErrReportSender~:Deleting work queue:Done");
}

void tcErrorReportSender::DeleteQueue(const wchar_t* szBefore, const wchar_t* szAfter)
{
    if (!m_pWorkQueue)
        return;
    kvLog(szBefore);
    m_bAbort = true; // a running upload stops at its next progress call
    m_pWorkQueue.reset();
    kvLog(szAfter);
}

void tcErrorReportSender::Done()
{
    tcLog::LogStr("ErrReportSender:Done");
    DeleteQueue(L"ErrReportSender:Deleting work queue", L"ErrReportSender:Deleting work queue: Done");
}

bool tcErrorReportSender::WaitIdle(std::chrono::milliseconds timeout)
{
    return !m_pWorkQueue || m_pWorkQueue->WaitIdle(timeout);
}

bool tcErrorReportSender::Start()
{
    Done();
    m_bAbort = false;
    const wxString sService = tGetReportServiceAddress();
    if (sService.empty())
    {
        kvLog(L"ErrReportSender: no report service is configured; pending reports stay");
        return false;
    }
    const wxString sPending = tGetLogsFolder("Pending");
    kvLog(L">>> PENDING PATH: %s", sPending);
    if (sPending.empty())
        return false;

    std::vector<wxString> aArchives;
    tFindAllFiles(sPending, "*.zip", aArchives, false);
    kvLog(L">>> PENDING FILES: %d", static_cast<int>(aArchives.size()));

    const std::string sURL = tToUTF8(sService + "/app/postreport.php");
    std::vector<std::unique_ptr<tcWorkSendErrorLogFile>> aBatch;
    for (const wxString& sArchive : aArchives)
    {
        kvLog(L">>> PENDING: %s", sArchive);
        const teArchiveClaim eClaim = tClaimPendingArchive(sArchive);
        if (eClaim == teArchiveClaim::Taken)
            continue; // another copy of the program sends it, or sent it
        auto pItem = std::make_unique<tcWorkSendErrorLogFile>(sArchive.ToStdWstring(), sURL,
                                                              eClaim == teArchiveClaim::Claimed);
        pItem->SetAbortFlag(&m_bAbort);
        aBatch.push_back(std::move(pItem));
    }
    kvLog(L">>> PENDING NUM: %d", static_cast<int>(aBatch.size()));
    if (aBatch.empty())
        return false;

    if (!CURLInit())
    {
        tcLog::LogStr(">>> tCURLInit failed");
        return false; // the batch goes, and with it the markers it claimed
    }
    m_pWorkQueue = std::make_unique<tcWorkQueue>();
    for (auto& pItem : aBatch)
        m_pWorkQueue->EnqueueWork(pItem.release());
    tcLog::LogStr(">>> SEND FILE QUEUE START");
    m_pWorkQueue->Start(1, 0);
    return true;
}

bool tErrReportSenderStart()
{
    tcDebugInfo debugInfo("tErrReportSenderStart");
    if (g_pErrorReportSender)
        return true;
    // Records of crashes become archives whether or not they may be sent: they stay in Pending.
    tPackCrashRecords(tGetErrorReportFolder());

    tGetOptions()->AddProperty(tTYPE_BOOL, L"/App/FaultReports", L"AllowSend", L"1",
                               L"If on, allows the application to automatically send anonymous fault incident "
                               L"reports to the software vendor. Recommended setting: On.");
    if (!tGetOptions()->GetBool(L"/App/FaultReports", L"AllowSend", true))
        return false;

    g_pErrorReportSender = new tcErrorReportSender;
    if (!g_pErrorReportSender->Start())
    {
        delete g_pErrorReportSender;
        g_pErrorReportSender = nullptr;
        return false;
    }
    return true;
}

void tErrReportSenderDone()
{
    tcDebugInfo debugInfo("tErrReportSenderDone");
    tcLog::LogStr("ErrReportSenderDone");
    delete g_pErrorReportSender;
    g_pErrorReportSender = nullptr;
}
