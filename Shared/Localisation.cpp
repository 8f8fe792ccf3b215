#include "Shared/Localisation.h"

#include "Shared/Options.h"
#include "Shared/UserPrompts.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/config.h>
#include <wx/defs.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/textfile.h>

wxString g_sLocCatalogPath;
wxString g_sLocDefaultCatalog;
wxString g_sLocCatalogFile;
std::vector<wxString> g_asLocCatalogs;

namespace
{
// A user's catalog given as a file of its own rather than a name in the catalog folder. Only an
// absolute path counts: a relative one would depend on the working folder.
bool IsCatalogFilePath(const wxString& sValue)
{
    return wxIsAbsolutePath(sValue) && sValue.Lower().EndsWith(".lang") && tFileExists(sValue);
}

wxString CatalogPathOfName(const wxString& sName)
{
    return g_sLocCatalogPath + sName + ".lang";
}

// The first line of the "Default" file, trimmed; empty when the file is missing or unreadable.
wxString ReadDefaultCatalogName()
{
    wxString sPath = g_sLocCatalogPath + "Default";
    if (!tFileExists(sPath))
        return wxString();
    wxLogNull noToolkitLog; // an unreadable file is reported by the caller, not by a toolkit box
    wxTextFile file;
    if (!file.Open(sPath) || file.GetLineCount() == 0)
        return wxString();
    return file.GetFirstLine().Strip(wxString::both);
}
} // namespace

void tLocalisationInit()
{
    g_sLocCatalogFile.clear();
    if (g_sLocCatalogPath.empty())
        g_sLocCatalogPath = tPathCombine(g_sDataPath, "Catalogs/");
    tLocalisationRefreshCatalogsList();
}

void tLocalisationLoadSettings()
{
    if (!g_pConfig)
        return;
    g_pConfig->SetPath("/Localisation");
    g_sLocCatalogFile.clear();
    g_pConfig->Read("CatalogFile", &g_sLocCatalogFile, wxString());
    if (!g_sLocCatalogFile.empty() && !IsCatalogFilePath(g_sLocCatalogFile) &&
        !tFileExists(CatalogPathOfName(g_sLocCatalogFile)))
        g_sLocCatalogFile.clear();
    kvLog(L"CATALOG: %s", g_sLocCatalogFile);
}

void tLocalisationRefreshCatalogsList()
{
    g_asLocCatalogs.clear();
    std::vector<wxString> asFiles;
    tFindAllFiles(g_sLocCatalogPath, "*.lang", asFiles, false);
    for (const wxString& sFile : asFiles)
    {
        wxString sName = wxFileName(sFile).GetName();
        kvLog(L"tLocalisationInit: Found catalog: \"%s.lang\"", sName);
        g_asLocCatalogs.push_back(sName);
    }
}

void tLocalisationDone()
{
    g_asLocCatalogs.clear();
}

bool tLocalisationLoadCatalogs()
{
    g_sLocCatalogPath = g_sAppDataPath + "/Languages/";
    tLocalisationInit();
    tLocalisationLoadSettings();

    g_sLocDefaultCatalog = ReadDefaultCatalogName();
    if (g_sLocDefaultCatalog.empty())
    {
        kvLogError(L"No default catalog named in \"%sDefault\"", g_sLocCatalogPath);
        tUserPrompts().ShowMessage("Error: No default language file. This probably means the application is running "
                                   "in a different path than where its data files are located.",
                                   "Error", wxOK | wxICON_ERROR, nullptr);
        return false;
    }

    if (!g_LocEngine.LoadLocStrings(CatalogPathOfName(g_sLocDefaultCatalog), true, true))
        kvLogError(L"Could not load the default catalog \"%s\"", CatalogPathOfName(g_sLocDefaultCatalog));

    if (!g_sLocCatalogFile.empty() && g_sLocCatalogFile.CmpNoCase(g_sLocDefaultCatalog) != 0)
    {
        wxString sPath =
            IsCatalogFilePath(g_sLocCatalogFile) ? g_sLocCatalogFile : CatalogPathOfName(g_sLocCatalogFile);
        if (!g_LocEngine.LoadLocStrings(sPath, false, false))
            kvLogError(L"Could not load the catalog \"%s\"", sPath);
    }
    else
        g_sLocCatalogFile = g_sLocDefaultCatalog;

    g_sAppName = g_LocEngine.FindTranslation("APPLICATION_NAME");
    return true;
}

wxString tLocalisedWith(const char* szKey, const wxString& s1, const wxString& s2)
{
    const wxString sPattern = g_LocEngine.FindTranslation(szKey);
    // One pass, so that a "%2" inside the first value stays as it is.
    wxString sText;
    for (size_t n = 0; n < sPattern.length(); ++n)
    {
        if (sPattern[n] == '%' && n + 1 < sPattern.length() && (sPattern[n + 1] == '1' || sPattern[n + 1] == '2'))
        {
            sText += sPattern[n + 1] == '1' ? s1 : s2;
            ++n;
        }
        else
            sText += sPattern[n];
    }
    return sText;
}
