#pragma once

#include <wx/string.h>

#include <cstdint>

// Numbers as text. Every routine reads and writes "." as the decimal point and ignores the
// locale (also the C library's LC_NUMERIC), so stored values mean the same under every language
// setting. Safe from any thread.

// Lenient readers, in the manner of atol/atof: leading white space is skipped, then an optional
// sign and the longest number found are read; whatever follows is ignored. No number at the start
// gives 0. Integers beyond the type's range are clamped to it; a real beyond double's range gives
// an infinity, one too small to hold gives 0.
int tStringToInt(const wxString& sText);
long tStringToLong(const wxString& sText);
int64_t tStringToInt64(const wxString& sText);
double tStringToDouble(const wxString& sText);
float tStringToFloat(const wxString& sText);

// Strict readers: true only when the whole text (white space around it allowed) is one decimal
// number; nValue is then set, and left alone otherwise. Integers out of range fail.
bool tToNumber(const wxString& sText, int64_t& nValue);
bool tToNumber(const wxString& sText, double& dValue);

// Decimal text of an integer.
wxString tIntToString(int64_t nValue);
// With nDecimals < 0, the shortest text that reads back as the same value ("0.1", "12",
// "1e+100"); otherwise fixed notation with that many decimals ("12.500000" for 6), at most as many
// as the type can show (17 for a double, 9 for a float).
wxString tDoubleToString(double dValue, int nDecimals = -1);
wxString tFloatToString(float fValue, int nDecimals = -1);

// The integer with its digits grouped by threes: "1,234,567", "-1,000".
wxString tCommafyInt(int64_t nValue);
// The same with a separator of the caller's choice.
wxString tCommafyIntC(int64_t nValue, wchar_t cSeparator = L',');

// True for "1", "true", "yes", "y", "t" and "on" in any case, white space around them allowed;
// false for any other text.
bool tStrIsTrueHelper(const wxString& sText);
