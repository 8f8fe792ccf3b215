#include "tests/script/ScriptTestSupport.h"

#include "script/tolua.h"
#include "varnak/include/tLua.h"

#include <fstream>
#include <sstream>

namespace
{
// expect_eq(actual, expected, label) and expect_error(f, expected message or pattern): failures
// raise with the label so that the C++ side shows which case broke.
const char* const kPrelude = R"lua(
function expect_eq(actual, expected, label)
    if actual ~= expected or math.type(actual) ~= math.type(expected) then
        error(string.format("%s: got %s (%s), expected %s (%s)", label or "?", tostring(actual),
            math.type(actual) or type(actual), tostring(expected), math.type(expected) or type(expected)), 2)
    end
end
function expect_error(f, expected, label)
    local ok, msg = pcall(f)
    if ok then error((label or "?") .. ": no error, expected " .. expected, 2) end
    if msg ~= expected then
        error(string.format("%s: error %q, expected %q", label or "?", tostring(msg), expected), 2)
    end
end
)lua";
} // namespace

ScriptState::ScriptState()
{
    m_L = tLuaNewState();
    tolua_open(m_L);
    Run(kPrelude, "prelude");
}

ScriptState::~ScriptState()
{
    Close();
}

void ScriptState::Close()
{
    if (m_L)
        lua_close(m_L);
    m_L = nullptr;
}

std::string ScriptState::Run(const std::string& sChunk, const std::string& sName)
{
    const int top = lua_gettop(m_L);
    std::string sError;
    if (luaL_loadbuffer(m_L, sChunk.data(), sChunk.size(), ("=" + sName).c_str()) != LUA_OK ||
        lua_pcall(m_L, 0, 0, 0) != LUA_OK)
    {
        const char* s = lua_tostring(m_L, -1);
        sError = s ? s : "(error without text)";
    }
    lua_settop(m_L, top);
    return sError;
}

std::string ScriptState::RunFixture(const std::string& sName)
{
    std::ifstream in(std::string(LINTRADO_FIXTURES_DIR) + "/script/" + sName, std::ios::binary);
    if (!in)
        return "fixture not found: " + sName;
    std::stringstream ss;
    ss << in.rdbuf();
    return Run(ss.str(), sName);
}
