#pragma once

#include <wx/string.h>

#include <vector>

// The catalogs of the texts the program shows (see tcLocalisationEngine for their format). Main
// thread, at start-up and shutdown.

// The catalog folder, with a trailing "/".
extern wxString g_sLocCatalogPath;
// The default catalog's name, without folder and extension, as the file "Default" names it.
extern wxString g_sLocDefaultCatalog;
// The user's catalog: a catalog name in the catalog folder, or the absolute path of a ".lang" file;
// empty when none.
extern wxString g_sLocCatalogFile;
// Names (without folder and extension) of the ".lang" files in the catalog folder, sorted by path.
extern std::vector<wxString> g_asLocCatalogs;

// Empties the user's catalog, sets the folder to g_sDataPath + "/Catalogs/" when none was set, and
// refreshes the catalog list.
void tLocalisationInit();

// Reads "/Localisation" "CatalogFile" from the configuration store into g_sLocCatalogFile and
// logs "CATALOG: " with the result. A value that names neither a catalog in the folder nor an
// existing absolute ".lang" path is emptied. Does nothing without a store.
void tLocalisationLoadSettings();

// Rebuilds g_asLocCatalogs from the "*.lang" files of the catalog folder, logging each one found.
void tLocalisationRefreshCatalogsList();

// Empties the catalog list.
void tLocalisationDone();

// The start-up load: catalog folder g_sAppDataPath + "/Languages/", the settings, the default
// catalog named by the first line of the folder's "Default" file, then the user's catalog over it,
// and g_sAppName from "APPLICATION_NAME". Returns false, after showing the error through
// tUserPrompts(), when no default catalog is named; the caller must then end the start-up.
bool tLocalisationLoadCatalogs();

// The catalog text of szKey with "%1" (and "%2") replaced by s1 (and s2), in one pass. Placeholders
// rather than printf formats, so that a user's catalog with a stray "%" cannot break the message.
wxString tLocalisedWith(const char* szKey, const wxString& s1, const wxString& s2 = wxString());
