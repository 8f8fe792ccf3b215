#pragma once

#include <wx/string.h>

#include <cstdarg>
#include <functional>
#include <vector>

// The program's log. Every line is written and flushed at once, so a process that ends abruptly
// keeps its log. Safe to call from any thread; before kvLogInit lines go only to the sinks.
//
// Formats are wide printf formats handled by our own formatter (never by the C library):
// %s takes a wide string (const wchar_t*), %S a narrow UTF-8 string (const char*), %d/%i/%u/%ld/
// %lld/%x/%X/%c/%f/%g/%% as in printf, with flags, width and precision. Numbers are written
// locale-independently. A null string argument writes "(null)".

// Opens (appending) the log file; returns false when it cannot be opened (the log then only
// reaches the sinks). A second call switches to the new file.
bool kvLogInit(const wxString& sFilename);
// Closes the log file.
void kvLogDone();
// The path given to kvLogInit, empty when none.
wxString kvLogFilename();

// Writes one formatted line.
void kvLog(const wchar_t* szFormat, ...);
// The same, for timing sections and traces: kept apart from kvLog only by name in this library.
void kvLogN(const wchar_t* szFormat, ...);
// An error line, written as "ERROR: " + text.
void kvLogError(const wchar_t* szFormat, ...);
// A warning the user should see: logged as "WARNING: " + text; then, unless the application
// context is in no-user-interaction mode, shown by the installed shower (varnak_wx installs one
// that shows the toolkit's message box on the main thread).
void kvLogVisibleWarning(const wchar_t* szFormat, ...);

// Formats like kvLog without writing anything.
wxString kvFormat(const wchar_t* szFormat, ...);
wxString kvFormatV(const wchar_t* szFormat, va_list args);

namespace tcLog
{
// Writes the text as one line, unformatted.
void Log(const wxString& sText);
void Log(const char* szText);
// Writes the text as one line; bFlush is accepted for callers that pass it (every line is flushed).
void LogStr(const wxString& sText, bool bFlush = false);
void LogStr(const char* szText, bool bFlush = false);
} // namespace tcLog

// Receives every line (without the line end), from any thread; tests read lines through it.
typedef std::function<void(const wxString& sLine)> tcLogSink;
// Returns an id for RemoveLogSink.
int kvAddLogSink(tcLogSink fnSink);
void kvRemoveLogSink(int nId);

// Collects lines while it lives.
class tcLogCapture
{
public:
    tcLogCapture();
    ~tcLogCapture();
    std::vector<wxString> Lines() const;
    bool Contains(const wxString& sPart) const;
    void Clear();

private:
    struct Impl;
    Impl* m_pImpl;
};

// How a visible warning is shown to the user; null shows nothing.
typedef std::function<void(const wxString& sText)> tcVisibleWarningShower;
void kvSetVisibleWarningShower(tcVisibleWarningShower fnShower);

// Writes an error log (title, identifier, the debug-context stack and the last lines of the log)
// into the logs folder beside the log file and returns its path; empty on failure.
wxString kvSaveErrorLog(bool bWithTime, const wxString& sTitle, const wxString& sIdentifier);
