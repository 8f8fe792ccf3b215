#include "app/StartupScripts.h"

#include "app/AppPaths.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tPath.h"

extern "C"
{
#include <lauxlib.h>
}

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
fs::path ToPath(const wxString& s)
{
    const wxScopedCharBuffer utf8 = s.utf8_str();
    return fs::path(std::string(utf8.data(), utf8.length()));
}

wxString FromPath(const fs::path& path)
{
    const std::string s = path.string();
    return wxString::FromUTF8(s.data(), s.size());
}

bool ReadWholeFile(const fs::path& path, std::string& sBytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    sBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// One script in its own protected call; false (logged) when it could not be read or compiled, or
// raised.
bool RunOneScript(lua_State* L, const wxString& sPath)
{
    kvLog(L"Start-up script: %s", sPath);
    std::string sCode;
    if (!ReadWholeFile(ToPath(sPath), sCode))
    {
        kvLog(L"LUA ERROR: the start-up script %s could not be read", sPath);
        return false;
    }
    // Read with its length, so that a stray zero byte is a compile error and not a silent cut.
    // Messages and tracebacks name the file ("@"); by its name alone, as Lua would shorten a long
    // path from the left, and the line above gives the whole path.
    const std::string sChunkName = "@" + ToPath(sPath).filename().string();
    if (luaL_loadbuffer(L, sCode.data(), sCode.size(), sChunkName.c_str()) != LUA_OK)
    {
        const char* s = lua_tostring(L, -1);
        kvLog(L"LUA ERROR: %S", s ? s : "(no message)");
        lua_pop(L, 1);
        return false;
    }
    return tLuaPCall(L, 0, 0);
}
} // namespace

wxString GetStartupScriptsFolder(const wxString& sAppName)
{
    return tPathCombine(GetUserLocalDataFolder(sAppName), "Scripts");
}

std::vector<wxString> ListStartupScripts(const wxString& sFolder)
{
    std::vector<std::string> asNames;
    std::error_code error;
    const fs::path folder = ToPath(sFolder);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    {
        const std::string sName = it->path().filename().string();
        std::error_code statError;
        if (sName.size() > 4 && sName[0] != '.' && sName.compare(sName.size() - 4, 4, ".lua") == 0 &&
            fs::is_regular_file(it->path(), statError))
            asNames.push_back(sName);
    }
    std::sort(asNames.begin(), asNames.end());
    std::vector<wxString> asPaths;
    for (const std::string& sName : asNames)
        asPaths.push_back(FromPath(folder / sName));
    return asPaths;
}

int RunStartupScripts(const wxString& sFolder)
{
    const std::vector<wxString> asScripts = ListStartupScripts(sFolder);
    if (asScripts.empty())
        return 0;
    lua_State* L = g_pLua;
    if (!L)
    {
        kvLog(L"LUA ERROR: no Lua state, the %d start-up scripts of %s do not run", static_cast<int>(asScripts.size()),
              sFolder);
        return 0;
    }
    int nCompleted = 0;
    for (const wxString& sPath : asScripts)
    {
        const int nTop = lua_gettop(L);
        if (RunOneScript(L, sPath))
            ++nCompleted;
        lua_settop(L, nTop);
    }
    kvLog(L"Start-up scripts: %d of %d ran to the end", nCompleted, static_cast<int>(asScripts.size()));
    return nCompleted;
}
