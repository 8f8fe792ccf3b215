#pragma once

#include <wx/string.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Encodings that documents declare for themselves, found in their text, honoured when their bytes
// are decoded and rewritten when the text is written in another encoding. No state; any thread.

// Which declarations a document may carry.
enum class teDeclarations
{
    None, // plain text: none
    XML,  // the encoding of an XML declaration at the very start
    HTML  // a meta element's charset, or a Content-Type in http-equiv; else an XML declaration
};

// Where a declaration names its encoding: the label's characters in the text (quotes and white
// space around it excluded).
struct tsEncodingLabel
{
    size_t nPos = 0;
    size_t nLength = 0;
    bool bXMLDeclaration = false; // else a meta element's
};

// The declarations of a text, in text order. The XML declaration counts only at position 0; meta
// elements (HTML only) count anywhere in the first nLimit characters outside comments, the first
// one with a label being the one a browser honours. Characters are compared as ASCII, so the bytes
// of any ASCII-compatible encoding can be searched as well as decoded text.
std::vector<tsEncodingLabel> tFindEncodingLabels(std::string_view sText, teDeclarations kind,
                                                 size_t nLimit = std::string_view::npos);
std::vector<tsEncodingLabel> tFindEncodingLabels(std::wstring_view sText, teDeclarations kind,
                                                 size_t nLimit = std::wstring_view::npos);

// The converter name for a declared label, as a browser (HTML) or an XML parser (XML) reads it:
// for HTML the Latin-1 and ASCII labels mean windows-1252, those of ISO-8859-9 windows-1254, those
// of TIS-620 windows-874, GB2312 and GBK mean GB18030, and UTF-16 means UTF-8 (a declaration that
// could be read as ASCII cannot be UTF-16). Nullopt when no converter knows the label.
std::optional<std::string> tResolveEncodingLabel(std::string_view sLabel, teDeclarations kind);

// Decodes bytes with the named converter (a name or alias ICU knows); nullopt when there is none.
// Bytes the encoding does not define become U+FFFD.
std::optional<std::wstring> tDecodeWithConverter(std::string_view sBytes, const char* szConverter);

// What tDecodeDeclaredText used.
struct tsDecodeResult
{
    // "UTF-8", "UTF-16LE", "UTF-16BE", "UTF-32LE", "UTF-32BE", "ISO-8859-1", "windows-1252" or the
    // converter a declaration named.
    std::string sEncoding;
    bool bBOM = false;
    bool bDeclared = false;
    // The label as declared, also when it was not honoured (empty when none).
    std::string sLabel;
    // Detected UTF-8 with stray bytes (tDecodeTextAuto): the offset of the first, else npos.
    size_t nFirstStray = std::string_view::npos;
};

// Decodes a document's bytes: a byte order mark decides first (as tDecodeTextAuto); without one,
// the encoding the document declares in its first 4096 bytes; without a usable declaration, UTF-8
// when the bytes are mostly UTF-8 (as tDecodeTextAuto decides), else Latin-1 (windows-1252 for
// HTML). A declaration is not used,
// with one log line, when its label is unknown, when it names UTF-16 or UTF-32 in an XML document
// (its bytes were just read as ASCII), or when it names UTF-8 and the bytes are not UTF-8 (they are
// then decoded as if undeclared rather than losing characters).
std::wstring tDecodeDeclaredText(std::string_view sBytes, teDeclarations kind, tsDecodeResult* pResult = nullptr);

// The text with every declared label that names another encoding than UTF-8 replaced by "utf-8",
// for a document about to be written as UTF-8. Labels already naming UTF-8 (any letter case) stay
// as written; a text without declarations comes back unchanged.
wxString tDeclareUTF8(const wxString& sText, teDeclarations kind);
