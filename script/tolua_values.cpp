// Checks, conversions, pushes, type names and error messages of the binding runtime.

#include "script/tolua.h"

#include "script/tolua_internal.h"

#include <cstdlib>
#include <cstring>

using namespace tolua_detail;

namespace
{
bool Missing(lua_State* L, int lo)
{
    return lua_gettop(L) < std::abs(lo);
}

void Fail(tolua_Error* err, int lo, const char* type)
{
    if (err)
    {
        err->index = lo;
        err->array = 0;
        err->type = type;
    }
}

// A table standing for an object (tolua.inherit) is replaced at lo by its ".c_instance" box.
bool TableInstance(lua_State* L, int lo)
{
    if (!lua_istable(L, lo))
        return false;
    lua_pushstring(L, ".c_instance");
    lua_rawget(L, lo);
    if (lua_type(L, -1) == LUA_TUSERDATA)
    {
        lua_replace(L, lo);
        return true;
    }
    lua_pop(L, 1);
    return false;
}

bool IsUserType(lua_State* L, int lo, const char* type)
{
    if (!lua_isuserdata(L, lo) && !TableInstance(L, lo))
        return false;
    if (!lua_getmetatable(L, lo))
        return false;
    const bool b = TypeCounts(L, -1, type);
    lua_pop(L, 1);
    return b;
}
} // namespace

int tolua_isnoobj(lua_State* L, int lo, tolua_Error* err)
{
    if (Missing(L, lo))
        return 1;
    Fail(err, lo, "[no object]");
    return 0;
}

int tolua_isboolean(lua_State* L, int lo, int def, tolua_Error* err)
{
    if ((def && Missing(L, lo)) || lua_isnil(L, lo) || lua_isboolean(L, lo))
        return 1;
    Fail(err, lo, "boolean");
    return 0;
}

int tolua_isnumber(lua_State* L, int lo, int def, tolua_Error* err)
{
    if ((def && Missing(L, lo)) || lua_isnumber(L, lo))
        return 1;
    Fail(err, lo, "number");
    return 0;
}

int tolua_isstring(lua_State* L, int lo, int def, tolua_Error* err)
{
    if ((def && Missing(L, lo)) || lua_isnil(L, lo) || lua_isstring(L, lo))
        return 1;
    Fail(err, lo, "string");
    return 0;
}

int tolua_isuserdata(lua_State* L, int lo, int def, tolua_Error* err)
{
    if ((def && Missing(L, lo)) || lua_isnil(L, lo) || lua_isuserdata(L, lo))
        return 1;
    Fail(err, lo, "userdata");
    return 0;
}

int tolua_isusertable(lua_State* L, int lo, const char* type, int def, tolua_Error* err)
{
    if (def && Missing(L, lo))
        return 1;
    if (lua_istable(L, lo))
    {
        lua_pushvalue(L, lo);
        lua_rawget(L, LUA_REGISTRYINDEX);
        const char* tn = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : nullptr;
        bool r = false;
        if (tn)
            r = std::strcmp(tn, type) == 0 || (std::strncmp(type, "const ", 6) == 0 && std::strcmp(tn, type + 6) == 0);
        lua_pop(L, 1);
        if (r)
            return 1;
    }
    Fail(err, lo, type);
    return 0;
}

int tolua_isusertype(lua_State* L, int lo, const char* type, int def, tolua_Error* err)
{
    if ((def && Missing(L, lo)) || lua_isnil(L, lo) || IsUserType(L, lo, type))
        return 1;
    Fail(err, lo, type);
    return 0;
}

lua_Number tolua_tonumber(lua_State* L, int lo, lua_Number def)
{
    return Missing(L, lo) ? def : lua_tonumberx(L, lo, nullptr);
}

const char* tolua_tostring(lua_State* L, int lo, const char* def)
{
    return Missing(L, lo) ? def : lua_tostring(L, lo);
}

int tolua_toboolean(lua_State* L, int lo, int def)
{
    return Missing(L, lo) ? def : lua_toboolean(L, lo);
}

void* tolua_tousertype(lua_State* L, int lo, void* def)
{
    if (Missing(L, lo))
        return def;
    if (lua_type(L, lo) != LUA_TUSERDATA && !TableInstance(L, lo))
        return nullptr;
    void** slot = BoxSlot(L, lo);
    return slot ? *slot : nullptr;
}

void* tolua_touserdata(lua_State* L, int lo, void* def)
{
    if (Missing(L, lo))
        return def;
    if (lua_islightuserdata(L, lo))
        return lua_touserdata(L, lo);
    return tolua_tousertype(L, lo, def);
}

void tolua_pushboolean(lua_State* L, int value)
{
    lua_pushboolean(L, value);
}

void tolua_pushnumber(lua_State* L, lua_Number value)
{
    lua_pushnumber(L, value);
}

void tolua_pushinteger(lua_State* L, lua_Integer value)
{
    lua_pushinteger(L, value);
}

void tolua_pushstring(lua_State* L, const char* value)
{
    if (value)
        lua_pushstring(L, value);
    else
        lua_pushnil(L);
}

void tolua_pushuserdata(lua_State* L, void* value)
{
    if (value)
        lua_pushlightuserdata(L, value);
    else
        lua_pushnil(L);
}

namespace
{
void NewBox(lua_State* L, void* value, int mt)
{
    auto** slot = static_cast<void**>(lua_newuserdatauv(L, sizeof(void*), 2));
    *slot = value;
    lua_pushvalue(L, mt);
    lua_setmetatable(L, -2);
    lua_pushvalue(L, LUA_REGISTRYINDEX);
    lua_setiuservalue(L, -2, 1);
    CountBox(L, value, 1);
}
} // namespace

void tolua_pushusertype(lua_State* L, void* value, const char* type)
{
    if (!value)
    {
        lua_pushnil(L);
        return;
    }
    lua_pushstring(L, type);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        lua_pushnil(L);
        return;
    }
    const int mt = lua_gettop(L);
    lua_pushstring(L, "tolua_ubox");
    lua_rawget(L, mt);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        RegistryTable(L, "tolua_ubox");
    }
    const int ubox = lua_gettop(L);
    lua_rawgetp(L, ubox, value);
    if (lua_type(L, -1) == LUA_TUSERDATA)
    {
        lua_getmetatable(L, -1);
        if (!lua_rawequal(L, -1, mt) && !TypeCounts(L, -1, type))
        {
            // Pushed as a more specialised type than before.
            lua_pushvalue(L, mt);
            lua_setmetatable(L, -3);
        }
        lua_pop(L, 1);
    }
    else
    {
        lua_pop(L, 1);
        NewBox(L, value, mt);
        lua_pushvalue(L, -1);
        lua_rawsetp(L, ubox, value);
    }
    lua_replace(L, mt);
    lua_settop(L, mt);
}

void tolua_pushusertype_and_takeownership(lua_State* L, void* value, const char* type)
{
    tolua_pushusertype(L, value, type);
    tolua_register_gc(L, lua_gettop(L));
}

void tolua_pushusertype_part(lua_State* L, void* value, const char* type, int owner)
{
    owner = lua_absindex(L, owner);
    if (!value)
    {
        lua_pushnil(L);
        return;
    }
    lua_pushstring(L, type);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_istable(L, -1) || lua_type(L, owner) != LUA_TUSERDATA)
    {
        lua_pop(L, 1);
        lua_pushnil(L);
        return;
    }
    NewBox(L, value, lua_gettop(L));
    lua_remove(L, -2);
    lua_pushvalue(L, owner);
    lua_setiuservalue(L, -2, 2);
    RegistryTable(L, "tolua_parts");
    lua_pushvalue(L, owner);
    lua_rawget(L, -2);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_newtable(L);
        lua_pushstring(L, "__mode");
        lua_pushstring(L, "k");
        lua_rawset(L, -3);
        lua_setmetatable(L, -2);
        lua_pushvalue(L, owner);
        lua_pushvalue(L, -2);
        lua_rawset(L, -4);
    }
    lua_pushvalue(L, -3);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_pop(L, 2);
}

int tolua_register_gc(lua_State* L, int lo)
{
    lo = lua_absindex(L, lo);
    void** slot = BoxSlot(L, lo);
    if (!slot || !*slot)
        return 0;
    lua_getmetatable(L, lo);
    const int mt = lua_gettop(L);
    // Only a type that can destroy its objects may own them, and never an object that something
    // else owns.
    lua_pushstring(L, ".collector");
    lua_rawget(L, mt);
    const bool bCollector = lua_iscfunction(L, -1);
    lua_pop(L, 1);
    const tolua_ClassHooks* pHooks = Hooks(L, mt);
    if (!bCollector || (pHooks && pHooks->hasOwner && pHooks->hasOwner(*slot)))
    {
        lua_settop(L, mt - 1);
        return 0;
    }
    RegistryTable(L, "tolua_gc");
    lua_rawgetp(L, -1, *slot);
    const bool bOwned = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (!bOwned)
    {
        lua_pushvalue(L, mt);
        lua_rawsetp(L, -2, *slot);
        CountOwned(L, 1);
    }
    lua_settop(L, mt - 1);
    return bOwned ? 0 : 1;
}

const char* tolua_typename(lua_State* L, int lo)
{
    if (Missing(L, lo) || lua_type(L, lo) == LUA_TNONE)
        lua_pushstring(L, "[no object]");
    else if (lua_type(L, lo) == LUA_TUSERDATA || lua_type(L, lo) == LUA_TLIGHTUSERDATA)
    {
        if (!lua_getmetatable(L, lo))
            lua_pushstring(L, "userdata");
        else
        {
            lua_rawget(L, LUA_REGISTRYINDEX);
            if (lua_type(L, -1) != LUA_TSTRING)
            {
                lua_pop(L, 1);
                lua_pushstring(L, "[undefined]");
            }
        }
    }
    else if (lua_istable(L, lo))
    {
        lua_pushvalue(L, lo);
        lua_rawget(L, LUA_REGISTRYINDEX);
        if (lua_type(L, -1) == LUA_TSTRING)
        {
            lua_pushstring(L, "class ");
            lua_insert(L, -2);
            lua_concat(L, 2);
        }
        else
        {
            lua_pop(L, 1);
            lua_pushstring(L, "table");
        }
    }
    else
        lua_pushstring(L, lua_typename(L, lua_type(L, lo)));
    return lua_tostring(L, -1);
}

void tolua_pusherror(lua_State* L, const char* msg, const tolua_Error* err)
{
    if (!msg)
        msg = "";
    if (msg[0] == '#' && err && (msg[1] == 'f' || msg[1] == 'v'))
    {
        const char* provided = tolua_typename(L, err->index);
        const char* expected = err->type ? err->type : "";
        if (msg[1] == 'f')
        {
            const char* form = err->array ? "%s\n     argument #%d is array of '%s'; array of '%s' expected.\n"
                                          : "%s\n     argument #%d is '%s'; '%s' expected.\n";
            lua_pushfstring(L, form, msg + 2, err->index, provided, expected);
        }
        else
        {
            const char* form = err->array ? "%s\n     value is array of '%s'; array of '%s' expected.\n"
                                          : "%s\n     value is '%s'; '%s' expected.\n";
            lua_pushfstring(L, form, msg + 2, provided, expected);
        }
        lua_remove(L, -2);
    }
    else
        lua_pushstring(L, msg); // as text: a message is never a format
}

void tolua_error(lua_State* L, const char* msg, const tolua_Error* err)
{
    tolua_pusherror(L, msg, err);
    lua_error(L);
    std::abort(); // not reached: lua_error does not return
}
