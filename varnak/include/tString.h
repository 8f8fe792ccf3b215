#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Text routines of the library: UTF conversions, case, comparison, tokens, trimming, replacing,
// HTML escaping and hexadecimal text. Every routine is safe from any thread; none keeps state.
//
// A wxString holds one wchar_t (UTF-32) per code point on this platform, while the program counts
// text in UTF-16 code units, as the original platform does. Where a count matters, convert with
// tToU16. A wxString may also hold surrogate halves as separate units (text built unit by unit
// from UTF-16): the UTF-8 and UTF-16 conversions treat an adjacent high and low half as the one
// code point they encode.

// ---- UTF-16 -------------------------------------------------------------------------------------

// The text as UTF-16: code points above U+FFFF become surrogate pairs, surrogate units pass through
// unchanged, values beyond U+10FFFF become U+FFFD.
std::u16string tToU16(const wxString& sText);
// UTF-16 as text: a surrogate pair becomes one code point; a lone half is kept as a unit of its
// own, so tToU16(tFromU16(s)) == s for any s.
wxString tFromU16(const std::u16string& sText);
wxString tFromU16(const char16_t* szText, size_t nLen);

// The same under the names the XML parser glue uses (its XMLCh is char16_t). A null text is empty.
std::u16string kvWStringToUTF16(const wxString& sText);
wxString kvUTF16ToWString(const char16_t* szText);

bool tIsSurrogateHi(uint32_t c);
bool tIsSurrogateLo(uint32_t c);
bool tIsSurrogatePair(uint32_t cHi, uint32_t cLo);
// The code point of a surrogate pair; U+FFFD when the two do not form one.
char32_t tSurrogatePairToChar(uint32_t cHi, uint32_t cLo);

// ---- UTF-32 -------------------------------------------------------------------------------------

// One code point as text. A surrogate half or a value beyond U+10FFFF gives U+FFFD: such values
// come from untrusted text (numeric character references) and must not reach a document.
wxString tUTF32CharToString(uint32_t c);
// Code points as text, each as tUTF32CharToString converts it.
wxString tUTF32ToStr(const std::u32string& sText);
wxString tUTF32ToStr(const uint32_t* pText, size_t nLen);

// ---- UTF-8 and other narrow text ----------------------------------------------------------------

// The text as UTF-8 (no byte order mark). Never empty for a non-empty text: a lone surrogate half
// or an invalid value becomes U+FFFD rather than failing the whole conversion.
std::string tToUTF8(const wxString& sText);
// UTF-8 as text; each malformed byte sequence becomes one U+FFFD. A null text is empty.
wxString kvFromUTF8(const char* szText);
wxString kvFromUTF8(const std::string& sText);

// Conversion codes of kvMBToWC.
constexpr int KV_CONV_ACP = 0;   // the C library's current multibyte encoding (LC_CTYPE)
constexpr int KV_CONV_UTF8 = 22; // UTF-8, as the program passes for source texts
// Narrow text to wide. A null text, an unknown code, or text the C library's encoding cannot
// read gives an empty result (KV_CONV_UTF8 never fails: bad bytes become U+FFFD).
wxString kvMBToWC(const char* szText, int nConversion = KV_CONV_UTF8);

// ---- Case ---------------------------------------------------------------------------------------
// Case mapping is per code point under the C library's LC_CTYPE (C.UTF-8 in the program), so
// letters outside ASCII map too; a mapping that changes the length (German sharp s) is not made.

wchar_t tToUpper(wchar_t c);
wchar_t tToLower(wchar_t c);
// Change the text in place and return it.
wxString& tMakeUpper(wxString& sText);
wxString& tMakeLower(wxString& sText);
// Return a changed copy.
wxString tStrToUpper(const wxString& sText);
wxString tStrToLower(const wxString& sText);

// ---- Comparison ---------------------------------------------------------------------------------

// Compares by UTF-16 code units, as the original platform orders text (so U+E000..U+FFFF sort
// after the code points above U+FFFF). A null text counts as empty. Negative, 0 or positive.
int teStrcmp(const wchar_t* szA, const wchar_t* szB);
int teStrcmp(const wxString& sA, const wxString& sB);

// Copies szSource with its terminating NUL into szDest, which holds nDestSize wide characters.
// A source that does not fit is cut to nDestSize - 1 characters (still terminated) and false is
// returned: the caller must not use a cut path. A null source copies an empty text; a null
// destination or a size of 0 writes nothing and returns false.
bool teStrcpy(wchar_t* szDest, size_t nDestSize, const wchar_t* szSource);
bool teStrcpy(wchar_t* szDest, size_t nDestSize, const wxString& sSource);

// Case-sensitive tests. An empty part is contained in, starts and ends every text.
bool tStrContainsW(const wxString& sText, const wxString& sPart);
bool tStrStartsWithW(const wxString& sText, const wxString& sPrefix);
bool tStrEndsWith(const wxString& sText, const wxString& sSuffix);

// ---- Tokens, trimming, replacing ----------------------------------------------------------------

// Splits sText into aTokens (cleared first) and returns their number.
// - Every character of sDelimiters separates tokens. A delimiter argument in the form of an
//   entity reference ("&name;", as native files separate list values) is one delimiter matched
//   as a whole instead.
// - sQuote (any length, e.g. "\"" or "&quot;"; empty for none) opens and closes a quoted stretch
//   in which delimiters do not split. The quote texts themselves are dropped; an unclosed quote
//   runs to the end of the text.
// - Empty tokens are kept: "a,,b" gives three tokens, and "b " split at " " gives "b" and "".
//   An empty text gives no token.
// - When a blank is not itself a delimiter, blanks and tabs (and line breaks that are not
//   delimiters) around each token are trimmed; quoted text keeps its blanks.
int tStrTok(const wxString& sText, const wxString& sDelimiters, const wxString& sQuote, std::vector<wxString>& aTokens);

// Remove white space (as the C library classifies it) in place and return the text.
wxString& tStrTrimL(wxString& sText);
wxString& tStrTrimR(wxString& sText);
wxString& tStrTrim(wxString& sText);

// Replaces every occurrence of sFind, left to right and without overlaps, in place; returns the
// number replaced. An empty sFind replaces nothing.
size_t tStrReplace(wxString& sText, const wxString& sFind, const wxString& sReplace);
size_t tStrReplaceW(std::wstring& sText, const std::wstring& sFind, const std::wstring& sReplace);

// ---- HTML and hexadecimal text ------------------------------------------------------------------

// Escapes & < > " ' as &amp; &lt; &gt; &quot; &#39;, so the text is safe in HTML content and in
// quoted attribute values.
wxString tEscapeHTMLChars(const wxString& sText);
// The same, as UTF-8.
std::string tEscapeHTMLChars8(const wxString& sText);

// Two uppercase hexadecimal digits per byte. A null pointer gives an empty text.
wxString tBinToHex(const void* pData, size_t nBytes);
// Reads pairs of hexadecimal digits (either case) into aBytes (cleared first). False, with aBytes
// empty, for an odd length or a character that is not a hexadecimal digit.
bool tHexToBin(const wxString& sHex, std::vector<uint8_t>& aBytes);

// ---- Colours ------------------------------------------------------------------------------------

// True when the colour "RRGGBB" (a leading "#" allowed) is dark enough that dark text on it would
// be hard to read: its perceived brightness (ITU-R BT.601 weights) is below half. Any other text
// is not a colour and gives false.
bool tIsColourDarkish(const wxString& sColour);
