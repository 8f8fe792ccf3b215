#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 conversions shared by the text routines, the log and its formatter. Both directions are
// lenient: a bad code point or a malformed byte sequence becomes U+FFFD, so a text never vanishes
// whole because one character in it is bad. wchar_t holds UTF-32 on this platform. No state; safe
// from any thread.

constexpr char32_t tREPLACEMENT_CHAR = 0xFFFD;

// True for a Unicode scalar value: at most U+10FFFF and not a surrogate half.
bool tIsUnicodeScalar(char32_t c);

// Appends the UTF-8 bytes of one code point; anything but a scalar value appends U+FFFD.
void tAppendUTF8(std::string& sOut, char32_t c);

// Wide text as UTF-8 (no byte order mark). A high and a low surrogate half held as two adjacent
// units (text built from UTF-16) give the one code point they encode; a lone half, or a value
// beyond U+10FFFF, gives U+FFFD.
std::string tWideToUTF8(std::wstring_view sText);

// UTF-8 as wide text. Every malformed sequence (a byte that leads nothing, one cut off, overlong,
// an encoded surrogate, beyond U+10FFFF) gives one U+FFFD and decoding resumes at its next byte.
std::wstring tUTF8ToWide(std::string_view sText);

// True when the bytes are well-formed UTF-8 throughout (an empty text is).
bool tIsValidUTF8(std::string_view sText);

// How far bytes read as UTF-8: the well-formed sequences of two bytes or more, the bytes that
// begin no well-formed sequence (each one U+FFFD in tUTF8ToWide), and the offset of the first of
// those (npos when there is none).
struct tsUTF8Survey
{
    size_t nMultiByte = 0;
    size_t nInvalid = 0;
    size_t nFirstInvalid = std::string_view::npos;
};
tsUTF8Survey tSurveyUTF8(std::string_view sText);
