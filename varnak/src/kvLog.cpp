#include "varnak/include/kvLog.h"
#include "varnak/include/kvLogReason.h"

#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDebugInfo.h"
#include "varnak/include/kvSignalLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tUTF8.h"

#include <wx/filename.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <unistd.h>

namespace
{
constexpr std::size_t kRecentLines = 200;

struct LogState
{
    // Recursive: a sink, a shower being copied or kvSaveErrorLog may log while the lock is held.
    std::recursive_mutex mutex;
    int fd = -1;
    wxString sFilename;
    std::map<int, tcLogSink> sinks;
    int nNextSink = 1;
    std::deque<std::string> aRecent; // file form, without line end
    tcVisibleWarningShower fnShower;
};

LogState& State()
{
    // Never destroyed: threads and static destructors may still log while the process exits.
    static LogState* s_pState = new LogState;
    return *s_pState;
}

thread_local bool t_bInSink = false;

struct LocalTime
{
    std::tm tm{};
    int nMillis = 0;
};

LocalTime Now()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    LocalTime lt;
    localtime_r(&t, &lt.tm);
    lt.nMillis =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return lt;
}

std::string FormatTime(const LocalTime& lt, bool bMillis)
{
    char buf[96];
    if (bMillis)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", lt.tm.tm_year + 1900, lt.tm.tm_mon + 1,
                      lt.tm.tm_mday, lt.tm.tm_hour, lt.tm.tm_min, lt.tm.tm_sec, lt.nMillis);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", lt.tm.tm_year + 1900, lt.tm.tm_mon + 1,
                      lt.tm.tm_mday, lt.tm.tm_hour, lt.tm.tm_min, lt.tm.tm_sec);
    return buf;
}

bool WriteAll(int fd, const std::string& s)
{
    const char* p = s.data();
    std::size_t nLeft = s.size();
    while (nLeft > 0)
    {
        const ssize_t n = ::write(fd, p, nLeft);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        nLeft -= static_cast<std::size_t>(n);
    }
    return true;
}

void WriteLine(const wxString& sText)
{
    std::wstring sPlain = sText.ToStdWstring();
    while (!sPlain.empty() && (sPlain.back() == L'\n' || sPlain.back() == L'\r'))
        sPlain.pop_back();
    std::string sLine = FormatTime(Now(), true) + " " + tWideToUTF8(sPlain);

    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    if (st.fd >= 0)
    {
        // One write per line, straight to the kernel: nothing waits in a buffer of ours.
        sLine += '\n';
        WriteAll(st.fd, sLine);
        sLine.pop_back();
    }
    // Also where a fatal-signal handler can read it without this lock.
    sLine += '\n';
    kv_signal_detail::AppendRecent(sLine.data(), sLine.size());
    sLine.pop_back();
    st.aRecent.push_back(std::move(sLine));
    if (st.aRecent.size() > kRecentLines)
        st.aRecent.pop_front();

    if (t_bInSink || st.sinks.empty())
        return;
    t_bInSink = true;
    const wxString sSinkText(sPlain);
    // By id rather than by iterator: a sink may add or remove sinks.
    for (auto it = st.sinks.begin(); it != st.sinks.end();)
    {
        const int nId = it->first;
        const tcLogSink fnSink = it->second;
        try
        {
            fnSink(sSinkText);
        }
        catch (...)
        {
            // A failing sink must not cost the caller its line nor the other sinks theirs.
        }
        it = st.sinks.upper_bound(nId);
    }
    t_bInSink = false;
}

void WriteFormatted(const wchar_t* szPrefix, const wchar_t* szFormat, va_list args)
{
    wxString sText = kvFormatV(szFormat, args);
    if (szPrefix)
        sText.insert(0, szPrefix);
    WriteLine(sText);
}

wxString Narrow(const char* sz)
{
    return sz ? wxString(tUTF8ToWide(sz)) : wxString("(null)");
}

// Keeps letters, digits, '-' and '_' of an identifier (a GUID text) for a file name.
wxString FileNamePart(const wxString& s)
{
    wxString sOut;
    for (wxUniChar c : s)
    {
        const wxUniChar::value_type v = c.GetValue();
        if ((v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z') || (v >= '0' && v <= '9') || v == '-' || v == '_')
            sOut += c;
    }
    return sOut;
}
} // namespace

bool kvLogInit(const wxString& sFilename)
{
    const int fd = sFilename.empty() ? -1 : ::open(sFilename.fn_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    if (st.fd >= 0)
        ::close(st.fd);
    st.fd = fd;
    st.sFilename = fd >= 0 ? sFilename : wxString();
    kv_signal_detail::SetLogDescriptor(fd);
    kvSignalSafe::NoteUTCOffset();
    return fd >= 0;
}

void kvLogDone()
{
    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    kv_signal_detail::SetLogDescriptor(-1);
    if (st.fd >= 0)
        ::close(st.fd);
    st.fd = -1;
    st.sFilename.clear();
}

wxString kvLogFilename()
{
    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    return st.sFilename;
}

void kv_format_detail::Log(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    WriteFormatted(nullptr, szFormat, args);
    va_end(args);
}

void kv_format_detail::LogError(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    WriteFormatted(L"ERROR: ", szFormat, args);
    va_end(args);
}

void kv_format_detail::LogVisibleWarning(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    const wxString sText = kvFormatV(szFormat, args);
    va_end(args);
    WriteLine("WARNING: " + sText);

    if (tApp()->GetNoUserInteraction())
        return;
    tcVisibleWarningShower fnShower;
    {
        LogState& st = State();
        std::lock_guard<std::recursive_mutex> lock(st.mutex);
        fnShower = st.fnShower;
    }
    if (!fnShower)
        return;
    try
    {
        fnShower(sText);
    }
    catch (...)
    {
        // The warning is in the log; a shower that fails must not turn it into a failure of the caller.
    }
}

void kvSetVisibleWarningShower(tcVisibleWarningShower fnShower)
{
    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    st.fnShower = std::move(fnShower);
}

namespace tcLog
{
void Log(const wxString& sText)
{
    WriteLine(sText);
}

void Log(const char* szText)
{
    WriteLine(Narrow(szText));
}

void LogStr(const wxString& sText, bool)
{
    WriteLine(sText);
}

void LogStr(const char* szText, bool)
{
    WriteLine(Narrow(szText));
}
} // namespace tcLog

int kvAddLogSink(tcLogSink fnSink)
{
    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    const int nId = st.nNextSink++;
    if (fnSink)
        st.sinks.emplace(nId, std::move(fnSink));
    return nId;
}

void kvRemoveLogSink(int nId)
{
    LogState& st = State();
    std::lock_guard<std::recursive_mutex> lock(st.mutex);
    st.sinks.erase(nId);
}

struct tcLogCapture::Impl
{
    mutable std::mutex mutex;
    std::vector<wxString> aLines;
    int nSinkId = 0;
};

tcLogCapture::tcLogCapture() : m_pImpl(std::make_unique<Impl>())
{
    Impl* pImpl = m_pImpl.get();
    pImpl->nSinkId = kvAddLogSink(
        [pImpl](const wxString& sLine)
        {
            std::lock_guard<std::mutex> lock(pImpl->mutex);
            pImpl->aLines.push_back(sLine);
        });
}

tcLogCapture::~tcLogCapture()
{
    kvRemoveLogSink(m_pImpl->nSinkId);
}

std::vector<wxString> tcLogCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(m_pImpl->mutex);
    return m_pImpl->aLines;
}

bool tcLogCapture::Contains(const wxString& sPart) const
{
    std::lock_guard<std::mutex> lock(m_pImpl->mutex);
    for (const wxString& s : m_pImpl->aLines)
    {
        if (s.find(sPart) != wxString::npos)
            return true;
    }
    return false;
}

void tcLogCapture::Clear()
{
    std::lock_guard<std::mutex> lock(m_pImpl->mutex);
    m_pImpl->aLines.clear();
}

wxString kvSaveErrorLog(bool bWithTime, const wxString& sTitle, const wxString& sIdentifier)
{
    namespace fs = std::filesystem;
    const LocalTime now = Now();
    std::deque<std::string> aRecent;
    wxString sLogFile;
    {
        LogState& st = State();
        std::lock_guard<std::recursive_mutex> lock(st.mutex);
        aRecent = st.aRecent;
        sLogFile = st.sFilename;
    }

    const wxString sBase = sLogFile.empty() ? wxFileName::GetTempDir() : wxFileName(sLogFile).GetPath();
    if (sBase.empty())
        return wxString();
    const fs::path folder = fs::path(sBase.utf8_string()) / "ErrorLogs";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        return wxString();

    std::string sName = "ErrorLog";
    const wxString sId = FileNamePart(sIdentifier);
    if (!sId.empty())
        sName += "_" + sId.utf8_string();
    if (bWithTime)
    {
        char buf[80];
        std::snprintf(buf, sizeof buf, "_%04d%02d%02d-%02d%02d%02d", now.tm.tm_year + 1900, now.tm.tm_mon + 1,
                      now.tm.tm_mday, now.tm.tm_hour, now.tm.tm_min, now.tm.tm_sec);
        sName += buf;
    }

    // O_EXCL reserves the name, so two reports never write into one file.
    fs::path path;
    int fd = -1;
    for (int n = 1; n < 1000 && fd < 0; ++n)
    {
        path = folder / (n == 1 ? sName + ".txt" : sName + "-" + std::to_string(n) + ".txt");
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            return wxString();
    }
    if (fd < 0)
        return wxString();

    std::string sContent;
    sContent += "Title: " + tToUTF8(sTitle) + "\n";
    sContent += "Identifier: " + tToUTF8(sIdentifier) + "\n";
    sContent += "Time: " + FormatTime(now, false) + "\n";
    sContent += "Debug context: " + tToUTF8(tDebugContextString()) + "\n";
    sContent += "Log file: " + tToUTF8(sLogFile) + "\n";
    sContent += "\nLast lines of the log:\n";
    for (const std::string& sLine : aRecent)
        sContent += sLine + "\n";

    const bool bWritten = WriteAll(fd, sContent);
    const bool bClosed = ::close(fd) == 0;
    if (!bWritten || !bClosed)
    {
        fs::remove(path, ec);
        return wxString();
    }
    const wxString sPath = wxString::FromUTF8(path.string());
    kvLog(L"Error log saved: %s", sPath);
    return sPath;
}

wxString kvLoggedReason(const tcLogCapture& log, const wxString& sNone)
{
    const std::vector<wxString> asLines = log.Lines();
    wxString sReason;
    for (auto it = asLines.rbegin(); it != asLines.rend(); ++it)
        if (it->StartsWith("ERROR: ", &sReason))
            return sReason;
    return asLines.empty() ? sNone : asLines.back();
}
