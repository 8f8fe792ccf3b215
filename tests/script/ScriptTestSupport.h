#pragma once

// A Lua state for runtime tests: standard libraries, the runtime opened, a prelude of assertion
// helpers (expect_eq, expect_error) and the script fixtures folder.

extern "C"
{
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <string>

class ScriptState
{
public:
    ScriptState();
    ~ScriptState();
    ScriptState(const ScriptState&) = delete;
    ScriptState& operator=(const ScriptState&) = delete;

    lua_State* L() const { return m_L; }
    // Runs a chunk in protected mode; returns "" on success, else the error text.
    std::string Run(const std::string& sChunk, const std::string& sName = "chunk");
    // Runs tests/fixtures/script/<name>.
    std::string RunFixture(const std::string& sName);
    // Opens the program's binding package in a protected call, as the program does; "" on
    // success, else the error. Only in the programs that link the package (PackageSupport.cpp).
    std::string OpenPackage();
    // Closes the state early (collectors run).
    void Close();

private:
    lua_State* m_L = nullptr;
};
