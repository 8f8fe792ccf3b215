#pragma once

// The script binding package, generated from script/bindings.tbl by tools/gen_bindings.py.

extern "C"
{
#include <lua.h>
}

// Opens the package on L (the runtime, the type names, then every registration in the table's
// order) and returns 1. May raise Lua errors: call it in protected mode. Main thread only.
int tLuaOpenBindings(lua_State* L);
// The type names alone; called by tLuaOpenBindings.
void tLuaRegisterTypes(lua_State* L);
// False (and the class's Lua name) when a bound class does not start with its bound base, which a
// box holding one address for the whole chain needs.
bool tLuaCheckLayouts(const char** pszClass);
