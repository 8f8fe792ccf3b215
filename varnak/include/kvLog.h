#pragma once

#include "varnak/include/kvFormat.h"

#include <wx/string.h>

#include <functional>
#include <memory>
#include <vector>

// The program's log. Every line is written to the file at once (one write to a file opened for
// appending, no buffer in the process), so a process that ends abruptly keeps its log. In the file
// each line starts with the local time "YYYY-MM-DD HH:MM:SS.mmm "; sinks get the plain text. Safe
// to call from any thread: lines are never interleaved. Before kvLogInit lines go only to the sinks
// (and to the recent lines that kvSaveErrorLog writes).
//
// Formats are wide printf formats handled by our own formatter, kvFormat (see kvFormat.h): %s takes
// a wide string (const wchar_t*), %S a narrow UTF-8 string (const char*); numbers are written
// locale-independently. A null string argument writes "(null)".

// Opens (appending) the log file; returns false when it cannot be opened (the log then only
// reaches the sinks). A second call switches to the new file.
bool kvLogInit(const wxString& sFilename);
// Closes the log file; later lines go only to the sinks.
void kvLogDone();
// The path of the open log file; empty before kvLogInit, after a failed kvLogInit and after kvLogDone.
wxString kvLogFilename();

namespace kv_format_detail
{
// The C variadic writers behind the templates below; the arguments are plain values by now.
void Log(const wchar_t* szFormat, ...);
void LogError(const wchar_t* szFormat, ...);
void LogVisibleWarning(const wchar_t* szFormat, ...);
} // namespace kv_format_detail

// Writes one formatted line. The arguments are those of kvFormat.
template <typename... Args> void kvLog(const wchar_t* szFormat, const Args&... args)
{
    kv_format_detail::Log(szFormat, kv_format_detail::Arg(args)...);
}
// The same, for timing sections and traces: kept apart from kvLog only by name in this library.
template <typename... Args> void kvLogN(const wchar_t* szFormat, const Args&... args)
{
    kv_format_detail::Log(szFormat, kv_format_detail::Arg(args)...);
}
// An error line, written as "ERROR: " + text.
template <typename... Args> void kvLogError(const wchar_t* szFormat, const Args&... args)
{
    kv_format_detail::LogError(szFormat, kv_format_detail::Arg(args)...);
}
// A warning the user should see: logged as "WARNING: " + text; then, unless the application
// context is in no-user-interaction mode, shown by the installed shower (varnak_wx installs one
// that shows the toolkit's message box on the main thread).
template <typename... Args> void kvLogVisibleWarning(const wchar_t* szFormat, const Args&... args)
{
    kv_format_detail::LogVisibleWarning(szFormat, kv_format_detail::Arg(args)...);
}

namespace tcLog
{
// Writes the text as one line, unformatted (a trailing line end is dropped). Null writes "(null)";
// narrow text is UTF-8.
void Log(const wxString& sText);
void Log(const char* szText);
// Writes the text as one line; bFlush is accepted for callers that pass it (every line is flushed).
void LogStr(const wxString& sText, bool bFlush = false);
void LogStr(const char* szText, bool bFlush = false);
} // namespace tcLog

// Receives every line (the plain text, without time or line end), from the thread that logs it,
// while the log's lock is held: a sink must be quick and must not wait for another thread that
// logs. Lines that a sink logs itself go to the file but not to the sinks again.
typedef std::function<void(const wxString& sLine)> tcLogSink;
// Returns an id for kvRemoveLogSink. Once kvRemoveLogSink returns, the sink is never called again.
int kvAddLogSink(tcLogSink fnSink);
void kvRemoveLogSink(int nId);

// Collects the lines logged, from any thread, while it lives.
class tcLogCapture
{
public:
    tcLogCapture();
    ~tcLogCapture();
    tcLogCapture(const tcLogCapture&) = delete;
    tcLogCapture& operator=(const tcLogCapture&) = delete;

    std::vector<wxString> Lines() const;
    // True when some line contains sPart.
    bool Contains(const wxString& sPart) const;
    void Clear();

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// How a visible warning is shown to the user; null (the default) shows nothing. The shower runs
// on the thread that logged the warning, without the log's lock; it decides itself how to reach
// the user interface (varnak_wx: kvInstallVisibleWarningShower).
typedef std::function<void(const wxString& sText)> tcVisibleWarningShower;
void kvSetVisibleWarningShower(tcVisibleWarningShower fnShower);

// Writes an error log: a UTF-8 text file with the title, the identifier, the time, this thread's
// debug-context stack and the last 200 lines logged. It goes into the folder "ErrorLogs" beside
// the log file (created when missing), or into "ErrorLogs" in the temporary folder when no log file
// is open. The file name is "ErrorLog", then "_" and the identifier's letters, digits, '-' and '_'
// when it has any, then with bWithTime "_" and the time "YYYYMMDD-HHMMSS"; a name already taken
// gets "-2", "-3" ... so an earlier error log is never overwritten. Returns the file's full path,
// empty when it could not be written. Any thread.
wxString kvSaveErrorLog(bool bWithTime, const wxString& sTitle, const wxString& sIdentifier);
