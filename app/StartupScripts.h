#pragma once

#include <wx/string.h>

#include <vector>

// A user's start-up scripts: the "*.lua" files of $XDG_DATA_HOME/Lintrado/Scripts (default
// ~/.local/share/Lintrado/Scripts). They run once the main window is shown, which is where a
// script registers its event handlers.

// The scripts folder for the application sAppName (it need not exist).
wxString GetStartupScriptsFolder(const wxString& sAppName);

// Full paths of the start-up scripts in sFolder, in name order (byte order of the names): regular
// files (or links to them) whose names end in ".lua"; hidden files ("." first) are left out, as
// editors keep their lock and backup files that way. Empty when the folder does not exist.
std::vector<wxString> ListStartupScripts(const wxString& sFolder);

// Runs every start-up script of sFolder once on g_pLua, in name order, each in its own protected
// call with the time limit. A script that cannot be read, does not compile or raises is logged
// ("LUA ERROR: ..." with the traceback of a run-time error) and the others still run. Nothing
// happens without the folder or without a Lua state. Returns the number of scripts that ran to the
// end. Main thread.
int RunStartupScripts(const wxString& sFolder);
