#pragma once

#include <wx/string.h>

// Fault-report archives. The library packs an error log into a zip archive in the folder of
// pending reports, where the application's sender finds and uploads it.

// The folder of pending reports (the application sets it at start-up); empty until set. Any thread.
void tSetErrorReportFolder(const wxString& sFolder);
wxString tGetErrorReportFolder();

// Packs the error log at sErrorLogPath, with a short text naming the message, the title and the
// subject, into "<folder>/<guid>.zip", named by the identifier the error log was saved with (its
// "Identifier: " line, when that is a GUID; else a new GUID). The archive is written under a
// temporary name and then renamed, so a reader never sees half an archive, and an archive of that
// name already there is kept as it is. Shows nothing (this library's reports are always silent;
// bSilent is accepted for callers that pass it). Returns the archive's path; empty, with a log
// line, when no folder is set, the error log cannot be read or the archive cannot be written.
// Any thread.
wxString tSendErrorReport(const wxString& sMessage, const wxString& sTitle, const wxString& sSubject,
                          const wxString& sErrorLogPath, bool bSilent);
