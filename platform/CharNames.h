#pragma once

#include <wx/string.h>

// The Unicode name of a code point as the character database gives it, in upper case
// ("VULGAR FRACTION ONE HALF"); empty for unnamed code points and values beyond U+10FFFF.
// Any thread.
wxString tGetUnicodeCharName(char32_t c);
