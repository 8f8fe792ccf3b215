// The part of the test state that needs the program's binding package.

#include "script/LuaBindings.h"
#include "tests/script/ScriptTestSupport.h"

std::string ScriptState::OpenPackage()
{
    const int top = lua_gettop(m_L);
    lua_pushcfunction(m_L, [](lua_State* L) { return tLuaOpenBindings(L) - 1; });
    std::string sError;
    if (lua_pcall(m_L, 0, 0, 0) != LUA_OK)
    {
        const char* s = lua_tostring(m_L, -1);
        sError = s ? s : "(error without text)";
    }
    lua_settop(m_L, top);
    return sError;
}
