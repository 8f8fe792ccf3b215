#include "app/FatalReport.h"

#include "Shared/AppUtils_sharedText.h"
#include "app/AssertHandlerApp.h"
#include "net/ReportService.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/kvSignalLog.h"
#include "varnak/include/tErrorReport.h"
#include "varnak/include/tGUID.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"

#include <wx/filename.h>
#include <wx/utils.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace
{
constexpr size_t kPath = 4096;

// Everything the handler reads, in plain static storage. Written on the main thread before any
// fault can use it; a text that does not fit is left empty, and its step skipped.
struct Prepared
{
    char szGUID[40];
    char szLogFile[kPath];
    char szErrorLog[kPath];
    char szRecord[kPath];
    char szRecordPart[kPath];
    char szXdgOpen[kPath];
    char szAddressHead[kMaxReportAddressBytes + 1]; // up to and with "&date="
    char szAddressTail[kMaxReportAddressBytes + 1]; // from "&os=" to "&data="
    bool bHang;
    unsigned nAlarmSeconds;
};
Prepared s_prepared = {{}, {}, {}, {}, {}, {}, {}, {}, false, 10};

// Scratch space of the handler: too large for a failing stack.
char s_aRecent[32 * 1024];
char s_aContext[4096];
char s_aAddress[kMaxReportAddressBytes + 1];
char s_aStatus[8192];

bool Copy(char* pDest, size_t nSize, const wxString& s)
{
    const std::string sBytes = s.utf8_string();
    if (sBytes.size() >= nSize)
    {
        pDest[0] = '\0';
        return false;
    }
    std::memcpy(pDest, sBytes.c_str(), sBytes.size() + 1);
    return true;
}

wxString FindOnPath(const wxString& sName)
{
    wxString sPath;
    if (!wxGetEnv("PATH", &sPath))
        return wxString();
    for (const wxString& sFolder : wxSplit(sPath, ':', '\0'))
    {
        const wxString sCandidate = sFolder + "/" + sName;
        if (!sFolder.empty() && ::access(sCandidate.utf8_string().c_str(), X_OK) == 0)
            return sCandidate;
    }
    return wxString();
}

// ---- The handler's own helpers: async-signal-safe ----------------------------------------------

void Put(int fd, const char* sz)
{
    kvSignalSafe::WriteAll(fd, sz, kvSignalSafe::Length(sz));
}

// Appends sz to the buffer at nAt, escaping as tURLEscape does, while it fits.
void PutEscaped(char* pBuf, size_t nSize, size_t& nAt, const char* p, size_t nLen)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < nLen; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        const bool bPlain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                            c == '.' || c == '_' || c == '~';
        // Whole characters only: a UTF-8 lead byte goes only with room for its escaped sequence.
        size_t nNeed = bPlain ? 1 : 3;
        if (c >= 0xC0)
            nNeed = 3 * (c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2);
        if (nAt + nNeed >= nSize)
            return;
        if (bPlain)
            pBuf[nAt++] = static_cast<char>(c);
        else
        {
            pBuf[nAt++] = '%';
            pBuf[nAt++] = kHex[c >> 4];
            pBuf[nAt++] = kHex[c & 15];
        }
    }
}

void PutText(char* pBuf, size_t nSize, size_t& nAt, const char* sz)
{
    for (; *sz && nAt + 1 < nSize; ++sz)
        pBuf[nAt++] = *sz;
}

void WriteErrorLog()
{
    const Prepared& p = s_prepared;
    if (!p.szErrorLog[0])
        return;
    const int fd = ::open(p.szErrorLog, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    char aTime[32];
    const size_t nTime = kvSignalSafe::FormatNow(aTime, false);
    aTime[nTime] = '\0';
    Put(fd, "Title: Exception\nIdentifier: ");
    Put(fd, p.szGUID);
    Put(fd, "\nTime: ");
    Put(fd, aTime);
    Put(fd, "\nLog file: ");
    Put(fd, p.szLogFile);
    Put(fd, "\n\nLast lines of the log:\n");
    kvSignalSafe::WriteAll(fd, s_aRecent, kvSignalSafe::CopyRecent(s_aRecent, sizeof s_aRecent));
    // The stack of debug contexts is the riskiest read (it may be half changed): last.
    Put(fd, "\nDebug context: ");
    kvSignalSafe::WriteAll(fd, s_aContext, tDebugContextCopyUTF8(s_aContext, sizeof s_aContext));
    Put(fd, "\n");
    ::close(fd);
}

void WriteRecord()
{
    const Prepared& p = s_prepared;
    if (!p.szRecord[0] || !p.szErrorLog[0])
        return;
    const int fd = ::open(p.szRecordPart, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    Put(fd, p.szErrorLog);
    Put(fd, "\n");
    ::close(fd);
    // Whole or not at all: the next start reads what the record names.
    ::rename(p.szRecordPart, p.szRecord);
}

void OpenBrowser()
{
    const Prepared& p = s_prepared;
    if (!p.szAddressHead[0] || !p.szXdgOpen[0])
        return;
    size_t nAt = 0;
    PutText(s_aAddress, sizeof s_aAddress, nAt, p.szAddressHead);
    char aTime[32];
    const size_t nTime = kvSignalSafe::FormatNow(aTime, false);
    PutEscaped(s_aAddress, sizeof s_aAddress, nAt, aTime, nTime);
    PutText(s_aAddress, sizeof s_aAddress, nAt, p.szAddressTail);
    PutEscaped(s_aAddress, sizeof s_aAddress, nAt, s_aContext, tDebugContextCopyUTF8(s_aContext, sizeof s_aContext));
    s_aAddress[nAt] = '\0';

    const pid_t pid = _Fork();
    if (pid == 0)
    {
        // The handler runs with the failing signal blocked; the browser must not inherit that.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        char* argv[] = {const_cast<char*>(p.szXdgOpen), s_aAddress, nullptr};
        execve(p.szXdgOpen, argv, environ);
        _exit(127);
    }
}

// One "MEMINFO:" line from a /proc/self/status field given in kB; false when it is missing.
bool FindKilobytes(const char* pText, size_t nLen, const char* szField, uint64_t& nBytes)
{
    const size_t nField = kvSignalSafe::Length(szField);
    for (size_t i = 0; i + nField < nLen; ++i)
    {
        if ((i == 0 || pText[i - 1] == '\n') && std::memcmp(pText + i, szField, nField) == 0)
        {
            size_t j = i + nField;
            while (j < nLen && (pText[j] == ' ' || pText[j] == '\t'))
                ++j;
            uint64_t n = 0;
            bool bDigits = false;
            for (; j < nLen && pText[j] >= '0' && pText[j] <= '9'; ++j, bDigits = true)
                n = n * 10 + static_cast<uint64_t>(pText[j] - '0');
            nBytes = n * 1024;
            return bDigits;
        }
    }
    return false;
}

void LogMemInfo()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    size_t nLen = 0;
    for (;;)
    {
        const ssize_t n = ::read(fd, s_aStatus + nLen, sizeof s_aStatus - 1 - nLen);
        if (n <= 0)
            break;
        nLen += static_cast<size_t>(n);
    }
    ::close(fd);
    static const char* const aFields[4][2] = {{"VmRSS:", "MEMINFO:WorkingSetSize="},
                                              {"VmHWM:", "MEMINFO:PeakWorkingSetSize="},
                                              {"VmSize:", "MEMINFO:PagefileUsage="},
                                              {"VmPeak:", "MEMINFO:PeakPagefileUsage="}};
    uint64_t aValues[4];
    for (int i = 0; i < 4; ++i)
    {
        if (!FindKilobytes(s_aStatus, nLen, aFields[i][0], aValues[i]))
            return; // the query failed: no lines at all
    }
    for (int i = 0; i < 4; ++i)
    {
        char aLine[96];
        size_t n = 0;
        PutText(aLine, sizeof aLine, n, aFields[i][1]);
        n += kvSignalSafe::FormatUnsigned(aLine + n, aValues[i]);
        aLine[n] = '\0';
        kvSignalSafe::LogLine(aLine);
    }
}
} // namespace

void tPrepareFatalReport()
{
    Prepared& p = s_prepared;
    const wxString sGUID = tGUIDToString(tCreateGUID());
    Copy(p.szGUID, sizeof p.szGUID, sGUID);

    // Where kvSaveErrorLog puts error logs: "ErrorLogs" beside the log file, else in the
    // temporary folder.
    const wxString sLogFile = kvLogFilename();
    Copy(p.szLogFile, sizeof p.szLogFile, sLogFile);
    const wxString sErrorLogs =
        (sLogFile.empty() ? wxFileName::GetTempDir() : wxFileName(sLogFile).GetPath()) + "/ErrorLogs";
    ::mkdir(sErrorLogs.utf8_string().c_str(), 0777);
    Copy(p.szErrorLog, sizeof p.szErrorLog, sErrorLogs + "/ErrorLog_" + sGUID + ".txt");

    const wxString sPending = tGetLogsFolder("Pending");
    tSetErrorReportFolder(sPending);
    if (sPending.empty() || !Copy(p.szRecord, sizeof p.szRecord, sPending + "/" + sGUID + ".crash") ||
        !Copy(p.szRecordPart, sizeof p.szRecordPart, sPending + "/." + sGUID + ".crash.part"))
        p.szRecord[0] = '\0';

    Copy(p.szXdgOpen, sizeof p.szXdgOpen, FindOnPath("xdg-open"));

    // The address without its date, which the handler fills in, and without its data.
    p.szAddressHead[0] = p.szAddressTail[0] = '\0';
    const wxString sService = tGetAllowedReportService();
    if (sService.empty())
        return;
    tcReportValues values = tCurrentReportValues("exception");
    values.sGUID = sGUID;
    values.sDate = "@DATE@";
    const wxString sAddress = tBuildReportAddress(sService, values);
    const wxString sDateMark = "&date=%40DATE%40";
    const size_t nDate = sAddress.find(sDateMark);
    if (nDate == wxString::npos || !Copy(p.szAddressHead, sizeof p.szAddressHead, sAddress.Left(nDate + 6)) ||
        !Copy(p.szAddressTail, sizeof p.szAddressTail, sAddress.Mid(nDate + sDateMark.length())))
        p.szAddressHead[0] = '\0';
}

void tSetFatalReportHangForTest(bool bHang, int nAlarmSeconds)
{
    s_prepared.bHang = bHang;
    s_prepared.nAlarmSeconds = nAlarmSeconds > 0 ? static_cast<unsigned>(nAlarmSeconds) : 10;
}

void tReportFatalException()
{
    // First of all: whatever happens below, the process ends.
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    sigset_t alarmOnly;
    sigemptyset(&alarmOnly);
    sigaddset(&alarmOnly, SIGALRM);
    sigprocmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    alarm(s_prepared.nAlarmSeconds);

    kvSignalSafe::LogLine("ERROR: FATAL EXCEPTION");
    tApp()->SetFatalException(true);
    if (s_prepared.bHang)
    {
        for (;;)
            pause();
    }
    WriteErrorLog();
    WriteRecord();
    OpenBrowser();
    LogMemInfo();
}
