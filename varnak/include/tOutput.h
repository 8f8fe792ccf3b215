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
//     that the document does not hold (no line breaks, no indentation);
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

// The text OutputXLIFF / OutputTMX / OutputSRX would write, as UTF-8 bytes. False (sOut empty)
// for a document they would not write.
bool GenerateXLIFF(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);
bool GenerateTMX(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);
bool GenerateSRX(const tcDocument* pDoc, const tcDictionary* pDictionary, std::string& sOut);
