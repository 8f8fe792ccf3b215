#pragma once

// The binding runtime: the tolua++ conventions on the Lua 5.4 interface. Generated wrappers
// (script/gen) and the package opening call these; scripts see the classes, modules and the
// `tolua` table they build.
//
// Error contract. Functions that can raise a Lua error are only tolua_error and the Lua-facing
// event functions. Everything else uses raw table access only and cannot raise, except on memory
// exhaustion, which the library's state never reports (its allocator ends the process instead).
// So a wrapper body may call the checks, conversions and pushes while it holds C++ objects.
//
// Boxes: a full userdata holding one object address, user value 1 its peer table (the registry
// table meaning "no peer"), user value 2 the box of the object it is a part of (fields of class
// type), or nil. When the library announces an object's destruction (tObjectLife.h) every box of
// that address is emptied: it then holds null, which the wrappers report as an invalid 'self' or
// a wrong argument. Main thread only.

#include "varnak/include/tObjectLife.h"

extern "C"
{
#include <lua.h>
}

#include <type_traits>

struct tolua_Error
{
    int index = 0;
    int array = 0;
    const char* type = nullptr;
};

// What the runtime needs to know of a class that the Lua name and collector do not say.
struct tolua_ClassHooks
{
    // Non-null: true while the object belongs to something else (its document, DTD, ...), which
    // alone may destroy it; Lua then never takes it over.
    bool (*hasOwner)(void* p) = nullptr;
    // Non-null for polymorphic classes: true when the object at p (held by a box of this class's
    // chain) is of this class or derives from it. tolua.cast downwards needs it.
    bool (*isA)(void* p) = nullptr;
};

// --- Registration ----------------------------------------------------------------------------------
void tolua_open(lua_State* L);
void tolua_usertype(lua_State* L, const char* type);
void tolua_module(lua_State* L, const char* name, int hasvar);
void tolua_beginmodule(lua_State* L, const char* name);
void tolua_endmodule(lua_State* L);
void tolua_cclass(lua_State* L, const char* lname, const char* type, const char* base, lua_CFunction col);
// Sets the hooks of type and "const " + type; the struct must outlive the state.
void tolua_classhooks(lua_State* L, const char* type, const tolua_ClassHooks* hooks);
// A collector for an opaque name (no class) whose objects wrappers return by value.
void tolua_typecollector(lua_State* L, const char* type, lua_CFunction col);
void tolua_function(lua_State* L, const char* name, lua_CFunction func);
void tolua_constant(lua_State* L, const char* name, lua_Number value);
// Integral constants stay Lua integers.
void tolua_constant_integer(lua_State* L, const char* name, lua_Integer value);
void tolua_variable(lua_State* L, const char* name, lua_CFunction get, lua_CFunction set);
// An array field: reading it gives a table (kept in the object's peer) whose indexing calls
// geti(proxy, index) and seti(proxy, index, value); the proxy's ".self" is the object's box.
void tolua_array(lua_State* L, const char* name, lua_CFunction geti, lua_CFunction seti);

// --- Checks: 1 when the value fits, else 0 with err filled -----------------------------------------
int tolua_isnoobj(lua_State* L, int lo, tolua_Error* err);
int tolua_isboolean(lua_State* L, int lo, int def, tolua_Error* err);
int tolua_isnumber(lua_State* L, int lo, int def, tolua_Error* err);
int tolua_isstring(lua_State* L, int lo, int def, tolua_Error* err);
int tolua_isuserdata(lua_State* L, int lo, int def, tolua_Error* err);
int tolua_isusertable(lua_State* L, int lo, const char* type, int def, tolua_Error* err);
int tolua_isusertype(lua_State* L, int lo, const char* type, int def, tolua_Error* err);

// --- Conversions ----------------------------------------------------------------------------------
lua_Number tolua_tonumber(lua_State* L, int lo, lua_Number def);
const char* tolua_tostring(lua_State* L, int lo, const char* def);
int tolua_toboolean(lua_State* L, int lo, int def);
// The address in a box (or a table's ".c_instance" box); null for nil, an emptied box and any
// value that is not a box of a registered type.
void* tolua_tousertype(lua_State* L, int lo, void* def);
void* tolua_touserdata(lua_State* L, int lo, void* def);

// --- Pushes ---------------------------------------------------------------------------------------
void tolua_pushboolean(lua_State* L, int value);
void tolua_pushnumber(lua_State* L, lua_Number value);
void tolua_pushinteger(lua_State* L, lua_Integer value);
void tolua_pushstring(lua_State* L, const char* value);
void tolua_pushuserdata(lua_State* L, void* value);
void tolua_pushusertype(lua_State* L, void* value, const char* type);
// A library object's pointer read from wherever it was kept (a field, a vector, another object)
// may have outlived its object: a destroyed object is pushed as nil, never as a box again.
template <typename T>
requires std::is_base_of_v<tcLifeNoticed, T>
void tolua_pushusertype(lua_State* L, T* value, const char* type)
{
    if (tIsDestroyed(value))
        lua_pushnil(L);
    else
        tolua_pushusertype(L, static_cast<void*>(value), type);
}
void tolua_pushusertype_and_takeownership(lua_State* L, void* value, const char* type);
// A box for a part of the object in the box at owner (a field of class type): never cached,
// keeps the owner's box alive and is emptied with it.
void tolua_pushusertype_part(lua_State* L, void* value, const char* type, int owner);
int tolua_register_gc(lua_State* L, int lo);

// --- Errors and names -----------------------------------------------------------------------------
// Pushes the message tolua_error would raise; never raises.
void tolua_pusherror(lua_State* L, const char* msg, const tolua_Error* err);
[[noreturn]] void tolua_error(lua_State* L, const char* msg, const tolua_Error* err);
// Pushes the name of the value's type and returns it.
const char* tolua_typename(lua_State* L, int lo);

// --- Object life ----------------------------------------------------------------------------------
// Empties every box of p in every open state, drops its ownership entry. Called for the library's
// destruction notices, and by delete wrappers and collectors.
void tolua_released(const void* p);
// p was made for the script (a constructor's object that it has not given away): nothing else owns
// it, so tolua.takeownership may give it to Lua even when its class cannot tell an owner.
void tolua_markmade(lua_State* L, const void* p);

// Registrations made on this state since tolua_open, by kind (for tests of the package).
struct tolua_Counts
{
    int types = 0, classes = 0, functions = 0, constants = 0, variables = 0, collectors = 0;
};
tolua_Counts tolua_counts(lua_State* L);
