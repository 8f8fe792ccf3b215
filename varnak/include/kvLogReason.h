#pragma once

#include "varnak/include/kvLog.h"

#include <wx/string.h>

// Why something just failed, as the code that failed logged it while log was capturing: the last
// error line without its "ERROR: " mark, else the last line, else sNone.
wxString kvLoggedReason(const tcLogCapture& log, const wxString& sNone);
