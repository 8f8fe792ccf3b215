#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>
#include <string_view>

class tcAttribute;
class tcNode;

// Text, label and markup routines shared with the maker's other programs: edit distance, Soundex,
// numeric character references, the platform parts of labels, the escaping of "&" in menu labels,
// two log entries for scripts, the logs folder and the development-build test. None keeps state.
// The edit distances and the label routines are safe from any thread; the rest belong to the
// main thread.

// ----- Edit distance --------------------------------------------------------------------------------
// Strings are compared by UTF-16 code units (a character above U+FFFF counts two), and units are
// equal only when identical: case and accents count. Costs and results are unsigned 32-bit; the
// sums are not checked for overflow, so costs near 2^32 / length wrap.

// Weighted edit distance: the cheapest way to turn sFirst into sSecond by deleting (nDel),
// inserting (nIns) and substituting (nSub) units. An empty first string gives |sSecond| * nIns,
// an empty second |sFirst| * nDel. The strings are taken by reference for the script binding,
// which hands them back; they are not changed.
uint32_t tLevenshteinDistance(wxString& sFirst, wxString& sSecond, uint32_t nDel = 1, uint32_t nIns = 1,
                              uint32_t nSub = 1);
// With transpositions, in the scripts' long-standing form: an empty string on either side gives
// the other's length whatever the costs, the borders of the table count 1 per unit, and a swap of
// two adjacent units counts only from the third unit of both strings on, costing nTrans plus 1 for
// each of the two crossings that does not match (so "abc"/"bac" is 2 while "xabc"/"xbac" is 1).
uint32_t tLevenshteinDistance(wxString& sFirst, wxString& sSecond, uint32_t nDel, uint32_t nIns, uint32_t nSub,
                              uint32_t nTrans);

// The same on UTF-16 text, for callers that compare one text with many and convert it once.
// Equal costs (and, in the form with transpositions, unit costs) take a bit-parallel path that is
// linear in the longer text per 64 units of the shorter; it gives exactly what the table gives.
uint32_t tLevenshteinDistanceU16(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel = 1,
                                 uint32_t nIns = 1, uint32_t nSub = 1);
uint32_t tLevenshteinDistanceU16(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel, uint32_t nIns,
                                 uint32_t nSub, uint32_t nTrans);

// The plain dynamic programmes behind the two forms, always through the table: the reference the
// fast path is checked and measured against.
uint32_t tLevenshteinDistancePlain(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel,
                                   uint32_t nIns, uint32_t nSub);
uint32_t tLevenshteinDistancePlain(std::u16string_view sFirst, std::u16string_view sSecond, uint32_t nDel,
                                   uint32_t nIns, uint32_t nSub, uint32_t nTrans);

// ----- Soundex --------------------------------------------------------------------------------------

// The program's own Soundex variant (not the textbook one: "Pfister" gives P123): the upper-cased
// first character as it stands, then up to three digits of the later letters A-Z; a "," ends the
// text. Four characters, or empty for an empty text or one that begins with ",".
wxString tSoundex(const wxString& sText);

// ----- Numeric character references -----------------------------------------------------------------
// A reference is replaced by the character it names. References to 0, to a surrogate half or
// beyond U+10FFFF are left as written, so the text never gains a character a document cannot
// hold.

// Replaces every decimal reference ("&#65;"); true when at least one was replaced.
bool tStrExpandNumericEntities(wxString& sText);
// Replaces every hexadecimal reference ("&#x1F600;", lower-case x); true when at least one was
// replaced.
bool tStrExpandHexEntities(std::wstring& sText);
// Expands the decimal and hexadecimal references in pNode's text (a text node) or in the value of
// pAttr (an element node), each reference exactly once: "&#38;#x41;" gives "&#x41;", not "A".
// True when the text or value changed and was written back. False for a null node, a node that
// is neither, or an element node without an attribute.
bool tExpandNumericEntities(tcNode* pNode, tcAttribute* pAttr);

// ----- Labels ---------------------------------------------------------------------------------------
// Labels may carry a Mac variant after "/mac/"; these keep the part meant for this platform.

// A menu label, optionally with a tab and an accelerator: "Open/mac/Open File\tCtrl+O" gives
// "Open" (the accelerator is dropped in this form), "Quit\tAlt+F4/mac/Cmd+Q" gives "Quit\tAlt+F4",
// "Save/mac/Save File" gives "Save". A label without "/mac/" comes back unchanged.
wxString ProcessMenuString(const wxString& sLabel);
// The text before the last "/mac/"; a text without it comes back unchanged.
wxString ProcessButtonString(const wxString& sLabel);
wxString ProcessMessageBoxString(const wxString& sText);
std::wstring ProcessMultiPlatformStringGeneric(const std::wstring& sText);

// Every "&" doubled, so that a menu shows it instead of taking it as a mnemonic; and back. A null
// text gives the empty text.
wxString EscapeMenuString(const wchar_t* szText);
wxString UnEscapeMenuString(const wchar_t* szText);

// Whether szText begins with szPrefix (case-sensitive). A null text gives false, a null prefix
// true.
bool tStartsWithHelper(const wchar_t* szText, const wchar_t* szPrefix);

// ----- Scripts, logs and build ----------------------------------------------------------------------

// Logs "LUA: " + the text.
void tLuaLog(const wxString& sText);
// Logs "LuaBreakpoint: " + the text, then stops in the debugger when one is attached; without a
// debugger the process goes on.
void tLuaBreakpoint(const wxString& sText);

// The user's local application-data folder: $XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share. Empty when neither can be determined. Not created here.
wxString tGetLocalAppDataFolder();
// <local application data>/Korvendel/Logs/<sSubFolder>, each level created when missing. Empty
// when the folder cannot be created.
wxString tGetLogsFolder(const wxString& sSubFolder);

// True when the program runs from the maker's source tree (g_sAppPath contains
// "Korvendel\Source" or "Korvendel/Source"); fault reports then carry "[dev]".
bool tIsDevelopmentBuild();
