#pragma once

#include <wx/string.h>

#include <compare>
#include <cstdint>

// A 128-bit identifier. The bytes are kept in the order of the text form, so the text
// "AE567AC9-0795-4DEC-8833-80F9CBFEDFAA" has aBytes[0] == 0xAE. A value-initialised tGUID is
// the null GUID (all zero).
struct tGUID
{
    uint8_t aBytes[16] = {};

    bool IsNull() const;
    friend bool operator==(const tGUID& a, const tGUID& b) = default;
    friend std::strong_ordering operator<=>(const tGUID& a, const tGUID& b) = default;
};

// A new random GUID (version 4, RFC 4122 variant) from the system's random source. Any thread.
tGUID tCreateGUID();
void tCreateGUID(tGUID& guid);

// Exactly 32 uppercase hexadecimal digits, no dashes or braces ("AE567AC907954DEC883380F9CBFEDFAA").
wxString tGUIDToString(const tGUID& guid);
void tGUIDToString(const tGUID& guid, wxString& sText);

// Reads the 32-digit form, the 36-character dashed form ("AE567AC9-0795-4DEC-8833-80F9CBFEDFAA")
// or the dashed form in braces; digits in either case. Any other text gives false and leaves guid
// unchanged.
bool tStringToGUID(const wxString& sText, tGUID& guid);

// True when the two are the same GUID.
bool tCmpGUID(const tGUID& a, const tGUID& b);
