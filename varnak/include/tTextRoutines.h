#pragma once

#include "varnak/include/tGUID.h"

#include <wx/string.h>

#include <cstdint>
#include <string>
#include <vector>

class tcDocument;

// Further text routines scripts call: character classes, CSV and HTML escaping, markup and
// diacritics stripping, number lists, MIME types and names. Character classes follow the C
// library's LC_CTYPE (C.UTF-8 in the program). Safe from any thread unless said otherwise.

// ---- Character classes --------------------------------------------------------------------------

// Opening and closing brackets: ()[]{}<> and their typographic and full-width forms.
bool tIsBracket(wchar_t c);
// Punctuation and symbols (iswpunct), white space (tIsWhitespace) excluded.
bool tIsPunctuation(wchar_t c);
// Anything that is no letter: digits, punctuation, white space, symbols.
bool tIsNonLetter(wchar_t c);
// White space, the no-break spaces (U+00A0, U+2007, U+202F) and the zero-width no-break space
// included.
bool tIsWhitespace(wchar_t c);

// The code point at UTF-16 position nIndex of the text; a high surrogate followed by its low half
// gives the pair's code point. 0 for a position outside the text.
uint32_t tUTF16StringCharToUTF32(const wxString& sText, int nIndex);

// ---- CSV ----------------------------------------------------------------------------------------

// A field as CSV writes it: in double quotes (inner quotes doubled) when it holds a comma, a quote,
// a line break or white space at either end; else as it stands.
wxString tEscapeCSVString(const wxString& sField);
// The reverse: a quoted field loses its quotes and its doubled quotes become single; an unquoted
// field is returned as it stands.
wxString tUnEscapeCSVString(const wxString& sField);

// ---- Markup and entities ------------------------------------------------------------------------

// The text without tags ("<...>"), comments and CDATA markers, entities decoded (the XML ones,
// numeric references, and pDoc's DTD entities when given).
wxString tStripMarkup(const wxString& sText, const tcDocument* pDoc = nullptr);
// Decodes entity and numeric character references: the XML ones, and pDoc's DTD entities when
// given. Unknown references stay as they are.
wxString tExpandEntities(const wxString& sText, const tcDocument* pDoc = nullptr);
// Escapes & < > " ' for HTML (as tEscapeHTMLChars).
wxString tEscapeHTMLCharacters(const wxString& sText);
// Decodes the XML entities, &nbsp; and numeric references; others stay as they are.
wxString tUnescapeHTMLCharacters(const wxString& sText);

// True for a name XML reserves: one that starts with "xml" in any case.
bool tCheckReservedXMLName(const wxString& sName);

// ---- Diacritics ---------------------------------------------------------------------------------

// The letter without its diacritics (canonical decomposition, combining marks dropped; also
// ø, ł, đ, ħ and their capitals). A character that does not decompose to one base letter is
// returned as it is.
wchar_t tStripDiacritic(wchar_t c);
// The text without diacritics: every combining mark removed after canonical decomposition, so
// "Crème Brûlée" gives "Creme Brulee".
wxString tStripDiacritics(const wxString& sText);
// The same in place; returns the text.
wxString& tStripDiacriticsInPlace(wxString& sText);
std::wstring& tStripDiacriticsInPlace(std::wstring& sText);

// ---- Numbers ------------------------------------------------------------------------------------

// The numbers sorted, duplicates dropped and runs of three or more consecutive numbers written
// as ranges: {5, 1, 2, 3, 9, 10} gives "1-3, 5, 9, 10".
wxString tCondenseNumberList(const std::vector<int>& anNumbers);

// ---- Files, GUIDs and names ---------------------------------------------------------------------

// The MIME type of a file extension (with or without the dot, any case) or of a file name's
// extension; "application/octet-stream" for anything unknown.
wxString tGetMIMETypeFromExtension(const wxString& sExtension);
wxString tGetMIMEType(const wxString& sFilename);

// The dashed form "AE567AC9-0795-4DEC-8833-80F9CBFEDFAA" (uppercase, no braces).
wxString tGUIDToString2(const tGUID& guid);
void tGUIDToString2(const tGUID& guid, wxString& sText);

// The names of property value types (teVarType) and value meanings (teMetatype), as editors show
// them; "?" for an unknown value.
wxString tGetTypeName(int eType);
wxString tGetMetatypeName(int eMetatype);

// ---- Further forms for scripts -----------------------------------------------------------------

// The text of a list of code points; a value that is no Unicode scalar value gives U+FFFD.
wxString tUTF32ToStr(const std::vector<int>& anCodePoints);

// tStringToGUID (tGUID.h) for wide and narrow (UTF-8) C strings: null gives false.
bool tStringToGUID(const wchar_t* szText, tGUID& guid);
bool tStringToGUID(const char* szText, tGUID& guid);
// The GUID the text gives; the null GUID (all zeros) for text that is none.
tGUID tStringToGUID(const wxString& sText);

// tShellExecute (tShell.h) for wide C strings (tShellExecuteW); null counts as empty.
bool tShellExecute(const wchar_t* szTarget, const wchar_t* szParameters = nullptr);

// tFindAllFiles (tPath.h) giving the paths as UTF-8.
size_t tFindAllFiles(const wxString& sFolder, const wxString& sPattern, std::vector<std::string>& aFiles,
                     bool bRecursive);

// ---- Not in this build --------------------------------------------------------------------------

// Web searches are not supported: they throw tcNotSupported.
void tWebSearch(const wxString& sText, int nEngine = 0);
void tWebImageSearch(const wxString& sText, int nEngine = 0);
// There is no Dropbox folder: empty.
wxString tGetDropboxPath();
// Search shortcuts are not configurable here: no text (empty) for any shortcut.
wxString tGetSearchShortcut(int eShortcut);
// Sort plug-ins are not supported: nothing is loaded or saved (false).
bool tLoadSortPlugin(const wxString& sPath);
bool tSaveSortPlugin(const wxString& sPath);
