#pragma once

#include <wx/string.h>

// The name proposed for the translation of the source document sSource into sLanguage: the
// source's path with sLanguage before the extension. A language part the name already has (the
// last dotted part before the extension naming sSourceLanguage, its main language or sLanguage,
// in any letter case) is replaced: "ch08.en.html" gives "ch08.de.html", "readme.txt"
// "readme.de.txt", "NOTES" "NOTES.de". An empty sLanguage gives sSource unchanged.
wxString tOutputFileName(const wxString& sSource, const wxString& sSourceLanguage, const wxString& sLanguage);
