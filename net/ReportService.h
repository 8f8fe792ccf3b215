#pragma once

#include <wx/string.h>

// Where fault reports go, and whether they may. The service's base address (scheme, host,
// optional port) is the setting "/App/FaultReports" "ServiceAddress", per user or machine-wide;
// it has no default, so nothing is sent until someone sets it. Reports also need "AllowSend"
// (on unless switched off). Any thread: the store locks each read.

// The base address without a trailing "/"; empty without a store, when unset, or when it is not an
// http or https address (logged).
wxString tGetReportServiceAddress();
// "/App/FaultReports" "AllowSend" as stored, true when missing; false without a store.
bool tIsReportSendingAllowed();
// The base address when a report may be sent now (a store, "AllowSend" on, a valid address);
// empty otherwise.
wxString tGetAllowedReportService();
