#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

// Dates and times as documents store them: ISO 8601 in UTC. Safe from any thread.

// "2024-03-05T14:07:09Z" (UTC, whole seconds). An invalid date gives an empty text.
wxString tDateTimeToStr(const wxDateTime& dt);

// Reads "YYYY-MM-DDThh:mm:ss" (a blank in place of the "T" allowed), the compact TMX form
// "YYYYMMDDThhmmss", or a date alone ("YYYY-MM-DD", "YYYYMMDD", midnight), each optionally
// followed by "Z"; a time without a zone is taken as UTC too. Fractions of a second are read and
// dropped. Anything else, an empty text and an impossible date (February 30th) give an invalid
// wxDateTime (test with IsValid before comparing: comparing an invalid one asserts).
wxDateTime tStrToDateTime(const wxString& sText);
