#pragma once

#include <wx/string.h>

#include <string>

// Where the program and its data live, worked out once from the executable's own path.
struct tcAppPaths
{
    wxString sAppPathFull;  // the executable itself
    wxString sAppPath;      // its folder, or that folder's parent when only the parent holds "Data"
    std::wstring sExecPath; // the executable's folder, never moved up
    wxString sDataPath;     // sAppPath + "/Data"
    wxString sAppDataPath;  // sAppPath + "/Data/Lintrado"
    wxString sLibDataPath;  // sAppPath + "/../LibraryData" when that folder exists, else sDataPath
};

// Applies the data-folder rule to the full path of an executable: when its folder has no "Data"
// folder but the parent has one, the application folder moves up one level, so a program built
// into "build/bin" finds "build/Data". Looks at the file system; changes nothing.
tcAppPaths ComputeAppPaths(const wxString& sExecutablePath);

// Stores the paths in the library's globals (g_sAppPathFull, g_sAppPath, g_sExecPath, g_sDataPath,
// g_sAppDataPath, g_sLibDataPath). Start-up, main thread.
void ApplyAppPaths(const tcAppPaths& paths);

// The per-user folder for data that stays on this machine: $XDG_DATA_HOME (default
// ~/.local/share) followed by sAppName. (The toolkit's own answer on this platform is ~/.<name>,
// outside the XDG folders.)
wxString GetUserLocalDataFolder(const wxString& sAppName);

// The log file: "Log64.txt" in sUserLocalDataDir, which is created (0777) when missing; in sAppPath
// when that folder cannot be made.
wxString ComputeLogFilename(const wxString& sUserLocalDataDir, const wxString& sAppPath);

// Where the single-instance lock named sLockName is made: in $XDG_RUNTIME_DIR (per user and per
// machine, so a stale lock on a shared home folder blocks no other machine) when that is an absolute
// path of an existing folder; else in the temporary folder, with "-<user id>" after the name so that
// two users of one machine do not share a lock. Makes nothing.
struct tcInstanceLockPlace
{
    wxString sFolder;
    wxString sName;
};
tcInstanceLockPlace ComputeInstanceLockPlace(const wxString& sLockName);
