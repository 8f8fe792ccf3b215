#include "app/AppPaths.h"

#include "varnak/include/tPath.h"
#include "varnak/include/tcAppContext.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <unistd.h>

namespace
{
// Without its last component and without a trailing separator; "/" stays "/" only as the root.
wxString FolderOf(const wxString& sPath)
{
    size_t nPos = sPath.find_last_of('/');
    if (nPos == wxString::npos)
        return wxString();
    return nPos == 0 ? wxString("/") : sPath.substr(0, nPos);
}
} // namespace

tcAppPaths ComputeAppPaths(const wxString& sExecutablePath)
{
    tcAppPaths paths;
    paths.sAppPathFull = sExecutablePath;
#ifdef __WXMSW__
    paths.sAppPathFull.Replace("\\", "/");
#endif
    paths.sAppPath = FolderOf(paths.sAppPathFull);
    paths.sExecPath = paths.sAppPath.ToStdWstring();

    if (!wxDirExists(tPathCombine(paths.sAppPath, "Data")) && wxDirExists(tPathCombine(paths.sAppPath, "../Data")))
        paths.sAppPath = FolderOf(paths.sAppPath);

    paths.sDataPath = tPathCombine(paths.sAppPath, "Data");
    paths.sAppDataPath = tPathCombine(paths.sAppPath, "Data/Lintrado");
    wxString sLibData = tPathCombine(paths.sAppPath, "../LibraryData");
    paths.sLibDataPath = wxDirExists(sLibData) ? sLibData : paths.sDataPath;
    return paths;
}

void ApplyAppPaths(const tcAppPaths& paths)
{
    g_sAppPathFull = paths.sAppPathFull;
    g_sAppPath = paths.sAppPath;
    g_sExecPath = paths.sExecPath;
    g_sDataPath = paths.sDataPath;
    g_sAppDataPath = paths.sAppDataPath;
    g_sLibDataPath = paths.sLibDataPath;
}

wxString GetUserLocalDataFolder(const wxString& sAppName)
{
    wxString sDataHome;
    // The XDG rule: an unset or relative value means the default.
    if (!wxGetEnv("XDG_DATA_HOME", &sDataHome) || !wxIsAbsolutePath(sDataHome))
        sDataHome = tPathCombine(wxGetHomeDir(), ".local/share");
    return tPathCombine(sDataHome, sAppName);
}

wxString ComputeLogFilename(const wxString& sUserLocalDataDir, const wxString& sAppPath)
{
    wxString sFolder = sUserLocalDataDir;
    // Parents too: a fresh account may not have the XDG data folder yet.
    if (!sFolder.empty() && !wxDirExists(sFolder))
        wxFileName::Mkdir(sFolder, 0777, wxPATH_MKDIR_FULL);
    if (sFolder.empty() || !wxDirExists(sFolder))
        sFolder = sAppPath;
    return tStrPathAppend(sFolder, "Log64.txt");
}

tcInstanceLockPlace ComputeInstanceLockPlace(const wxString& sLockName)
{
    wxString sRuntime;
    if (wxGetEnv("XDG_RUNTIME_DIR", &sRuntime) && sRuntime.StartsWith("/") && wxDirExists(sRuntime))
        return {sRuntime, sLockName};
    return {wxFileName::GetTempDir(), sLockName + wxString::Format("-%lu", static_cast<unsigned long>(getuid()))};
}
