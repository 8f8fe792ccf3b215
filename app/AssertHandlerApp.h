#pragma once

#include "varnak/include/tAssert.h"

#include <wx/string.h>

// Reports of failed assertions to the report service. A soft assertion ("[Soft]" before its
// expression) is fetched at once behind a busy message; any other opens the report address in the
// user's browser. Nothing is sent, and no address opened, unless the report service is set and
// "AllowSend" is on (net/ReportService.h); the assertion is always logged by the library.

// The values of one report address, in the order the address carries them.
struct tcReportValues
{
    wxString sAppID;
    wxString sVersion;
    wxString sDate;      // local "YYYY-MM-DD HH:MM:SS"
    wxString sOS;
    wxString sBuildDate; // "Mmm dd yyyy hh:mm:ss"
    wxString sType;      // "assert" or "exception"
    wxString sGUID;
    bool bHasAssert = false;
    wxString sAssert;    // "expression (file:line)"
    wxString sData;      // the debug-context stack
};

// The longest address a report may have, in bytes of UTF-8.
constexpr size_t kMaxReportAddressBytes = 16383;

// sService + "/app/report.php?app=...&data=...", every value escaped with tURLEscape. The "data"
// value is shortened by whole characters when the address would exceed kMaxReportAddressBytes.
wxString tBuildReportAddress(const wxString& sService, const tcReportValues& values);

// "Lintrado", the major version, "N", and "[dev]" for a development build.
wxString GetApplicationID();

// The values of the running program: identity, version, the local time now, system, build; the
// type as given; no GUID, no assertion, no data.
tcReportValues tCurrentReportValues(const wxString& sType);

class tcAssertHandlerApp : public tcAssertHandler
{
public:
    // Any thread. The busy message shows on the main thread only; a hard assertion on another
    // thread hands its address to the main thread. An assertion raised while a report is made, or
    // after a hard assertion opened the browser, is only logged: a failing paint handler must not
    // open a tab per paint.
    void OnAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t* szIdentifier) override;
};

// Registers the application's one handler, which lives until the process ends.
void tRegisterAppAssertHandler();
