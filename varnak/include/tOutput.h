#pragma once

#include <wx/string.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class tcDocument;
class tcDictionary;
class tcAttribute;
class tcElement;

// Labels of a section's languages, by key; part of the per-section export settings.
typedef std::map<wxString, wxString> tcLSMap;

// What an export includes and how it looks. The fields serve exporters of formatted output (HTML,
// RTF); the XML writers below write the document as it stands and read none of them, so that no
// setting can drop content from a saved file.
struct SExportOptions
{
    bool bNoIdExport = true;
    bool bUseFilter = false;
    bool bIncludeIncomplete = true;
    bool bNotes = true;
    bool bTimestamps = true;
    bool bUsernames = true;
    bool bHyperlink = true;
    bool bIncompleteMarker = true;
    bool bFrequency = true;
    bool bExpandTildes = false;
    bool bEntities = false;
    bool bNoTransforms = false;
    bool bNoLuaTransforms = false;
    bool bShowAll = false;
    bool bUnderlineLinks = false;
    bool bClickToSelect = false;
    bool bPerAttributeClickToSelect = false;
    bool bShowFileNameForSounds = false;
    wxString sSoundIcon;
    wxString sSoundMouseoverIcon;
    // Sort entries by this attribute (and the override attribute first, when set); not owned.
    tcAttribute* pAttrSortBy = nullptr;
    tcAttribute* pAttrSortOverride = nullptr;
    // Attributes and element kinds to leave out; not owned.
    std::vector<tcAttribute*> apExclude;
    std::vector<tcElement*> apExcludeElem;
    bool bIncludeTextNodes = true;
    int nHTMLProvider = 0;
    // Per-section settings, keyed by section index: a number and the section's language labels.
    std::map<int, std::pair<int, tcLSMap>> mapSections;
};

// Options of the XML writers; both are accepted for callers that fill them and have no effect.
struct tsXMLExportOptions
{
    int nFlags = 0;
    int nReserved = 0;
};

// The XML writers. Each writes an XML file in UTF-8:
//   - the declaration <?xml version="1.0" encoding="UTF-8"?>, no document type, and no whitespace
//     that the document does not hold (no line breaks, no indentation), with one exception:
//     OutputTMX puts a line end after the declaration and after the root, and lays out the
//     elements that hold elements only in TMX (tIsTMXLayoutKind) one child per line, indented by
//     two blanks a level (so a tu, a tuv and a seg each stand on a line of their own). Such an
//     element that holds text as well is written as it stands, and so is everything inside a seg;
//   - elements with the attributes their node holds a value for, empty ones included, in the
//     kind's declaration order; the library's internal identifier attribute is never written;
//   - text, CDATA and attribute values escaped by the one routine of tXMLText.h.
// Shapes: OutputXLIFF writes section 0 of the dictionary as the root element (its kind's name and
// attributes) with all of the section's children in order; OutputTMX and OutputSRX write the one
// entry of section 0 as the root element. The dictionary node itself is never written. A document
// of any other shape (no dictionary, not exactly one section, for TMX and SRX not exactly one child
// of that section), or with an element or attribute name that XML does not accept, is not
// written: the result is -1.
// An XLIFF root without a "version" value is written with version="1.2"; one without an "xmlns"
// value (and of version 1.2 or none) with the XLIFF 1.2 namespace, after its own attributes.
//
// pDictionary may be null (the document's root is taken); it must belong to pDoc. The file is
// replaced atomically (tAtomicFile.h): 0 on success; less than 0 on failure, with the old file
// unchanged (-1 for a document that cannot be written, -2 when the file could not be written; the
// reason is logged). Main thread only.
int OutputXLIFF(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath,
                const SExportOptions& options = SExportOptions(),
                const tsXMLExportOptions& xmlOptions = tsXMLExportOptions());
int OutputTMX(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath,
              const SExportOptions& options = SExportOptions(),
              const tsXMLExportOptions& xmlOptions = tsXMLExportOptions());
int OutputSRX(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath,
              const SExportOptions& options = SExportOptions(),
              const tsXMLExportOptions& xmlOptions = tsXMLExportOptions());

// Whether a TMX element of this name holds elements only (tmx, header, body, tu, tuv, ude): the blanks
// between its children are layout, which OutputTMX writes and the TMX reader drops.
bool tIsTMXLayoutKind(const wxString& sName);

// The text OutputXLIFF / OutputTMX / OutputSRX would write, as UTF-8 bytes. False (sOut empty)
// for a document they would not write.
bool GenerateXLIFF(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);
bool GenerateTMX(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);
bool GenerateSRX(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);

// The writer of native dictionary files (document type "brindovaicon"), the document library's own
// format, which the generic XML importer reads back. It writes, with no whitespace added:
//   - the declaration and a DOCTYPE whose internal subset declares the document's entities (the
//     five predefined ones excepted) and the list separator entity, the wrapper, dictionary and
//     section elements, then every other element kind in DTD order (a sequence of its child
//     relations with their multiplicities, "(#PCDATA|...)*" for a kind that holds text, EMPTY for
//     none) with its attributes, each attribute declaration preceded by its "ATTDATA" comment
//     (value type, list, default kind, orientation);
//   - the "dtd" section: special designations of the sections, value lists with their items and
//     label sets, cross-reference types and their label sets;
//   - one "styleset" section per style set, in order: its output order and its styles with their
//     numbering records;
//   - the dictionary with its sections, entries and nodes. Sections keep their own identifiers
//     (designations refer to them); entries and element nodes are numbered 1, 2, ... in document
//     order (the importer maps them to new identifiers). List values are written as item
//     identifiers (an item the list lacks by its text), several of them separated by the escaped
//     text of the list separator entity, which the parser hands on as the text the importer
//     splits at (a reference to the entity would count against the parser's limit of entity
//     expansions and fail large files); cross references by identifier ("reflemma", "refsense"); reals in the C locale,
//     with the digits that read back the same single-precision value; booleans as "1" and "0".
// What the format cannot carry, and so comes back different from the first file written on:
//   - line feeds and tabs in text outside an xml:space="preserve" scope (the importer drops them);
//   - a kind that holds text keeps its children only as "any number of" each, once per kind;
//   - style settings no attribute of the format carries (content override, hidden, the compiled
//     handle, HTML style, further styles); backslash-n and backslash-t in style texts and Lua
//     modifiers read back as a line break and a tab;
//   - two sections without a name read back as one;
//   - CDATA sections read back as text (joined to the text beside them), and the parser gives every
//     element that lacks a value of an attribute with a declared default that default;
//   - attribute identifiers and flags other than right-to-left (the importer assigns them), the next
//     list identifier beyond one above the highest list, attributes named "id" (the file's own
//     identifiers), an entry's "Incomplete" attribute (it is the entry's incomplete flag);
//   - in attribute values the literal texts "&apos;" and "&quot;" (read back as ' and "), list names
//     holding "," or named "NONE", list item texts holding ",";
//   - references to entries or senses that are not in the dictionary (left out).
// A document without a dictionary, with an element or attribute name XML does not accept (or an
// element name with a namespace prefix, or a kind named "brindovaicon"), or with a list name
// holding "--", is not written: -1. Results and the atomic replacement
// as for OutputXLIFF. Main thread only.
int OutputNative(tcDocument* pDoc, tcDictionary* pDictionary, const wxString& sPath,
                 const SExportOptions& options = SExportOptions(),
                 const tsXMLExportOptions& xmlOptions = tsXMLExportOptions());
// The text OutputNative would write, as UTF-8 bytes. False (sOut empty) for a document it would not
// write.
bool GenerateNative(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);
// Whether a native file can hold an element kind of that name (one the writer would not refuse).
bool tIsNativeElementName(const wxString& sName);
