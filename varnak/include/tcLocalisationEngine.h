#pragma once

#include <wx/string.h>

#include <shared_mutex>
#include <string>
#include <unordered_map>

// The texts the program shows, looked up by key.
//
// A catalog is a UTF-8 text file (a byte order mark is allowed): one KEY=text per line, the key
// being everything before the first "=" without surrounding blanks and the text everything after
// it, with the escapes \n, \t and \\ (any other backslash stays as written). Blank lines, lines
// whose first non-blank character is "#" and lines without a key are skipped; a key defined twice
// keeps its last text.
//
// Texts sit in two layers: the base layer (the default catalog) and the overlay (a user's
// catalog). A look-up tries the overlay, then the base, then gives the key itself back, so a
// user's catalog overrides only the keys it defines, whatever order the two are loaded in.
//
// Loading takes a writer lock and look-ups a reader lock: any thread may look up at any time.
class tcLocalisationEngine
{
public:
    // Reads the catalog at sPath. bClearFirst drops every text of both layers before the new ones
    // are added; bIsBaseCatalog puts the texts into the base layer instead of the overlay. Either
    // way the catalog replaces only the keys it defines. Returns false, changing nothing, when the
    // file cannot be read or is not valid UTF-8.
    bool LoadLocStrings(const wxString& sPath, bool bClearFirst, bool bIsBaseCatalog);

    // The text of sKey (ASCII or UTF-8), or the key itself when no catalog defines it.
    wxString FindTranslation(const char* szKey) const;
    wxString FindTranslation(const wxString& sKey) const;

    // True when a loaded catalog defines the key.
    bool HasTranslation(const wxString& sKey) const;

    // Drops every text.
    void Clear();

private:
    using tMap = std::unordered_map<std::string, wxString>;

    wxString Lookup(const std::string& sKey) const;

    mutable std::shared_mutex m_Lock;
    tMap m_mapBase;
    tMap m_mapOverlay;
};

// The program's one engine.
extern tcLocalisationEngine g_LocEngine;
