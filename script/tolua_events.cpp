// The metatable events of classes and modules, collection, and the script table `tolua`.

#include "script/tolua.h"

#include "script/tolua_internal.h"

extern "C"
{
#include <lauxlib.h>
}

#include <cstring>

namespace tolua_detail
{
namespace
{
bool IsOwnEvent(lua_CFunction f)
{
    return f == class_index_event || f == class_newindex_event || f == module_index_event || f == module_newindex_event;
}

// Pushes v's peer table, or nothing and false when it has none.
bool PushPeer(lua_State* L, int v)
{
    lua_getiuservalue(L, v, 1);
    if (lua_istable(L, -1) && !lua_rawequal(L, -1, LUA_REGISTRYINDEX))
        return true;
    lua_pop(L, 1);
    return false;
}

void PushOrCreatePeer(lua_State* L, int v)
{
    if (PushPeer(L, v))
        return;
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setiuservalue(L, v, 1);
}

int OperatorEvent(lua_State* L, const char* op)
{
    if (lua_isuserdata(L, 1) && lua_getmetatable(L, 1))
    {
        while (lua_istable(L, -1))
        {
            lua_pushstring(L, op);
            lua_rawget(L, -2);
            if (lua_isfunction(L, -1))
            {
                lua_pushvalue(L, 1);
                lua_pushvalue(L, 2);
                lua_call(L, 2, 1);
                return 1;
            }
            lua_pop(L, 1);
            if (!lua_getmetatable(L, -1))
                break;
            lua_remove(L, -2);
        }
    }
    if (std::strcmp(op, ".eq") == 0)
    {
        lua_pushboolean(L, 0);
        return 1;
    }
    lua_pushstring(L, "Attempt to perform operation on an invalid operand");
    return lua_error(L);
}
} // namespace

int module_index_event(lua_State* L)
{
    lua_pushstring(L, ".get");
    lua_rawget(L, 1);
    if (lua_istable(L, -1))
    {
        lua_pushvalue(L, 2);
        lua_rawget(L, -2);
        if (lua_iscfunction(L, -1))
        {
            lua_call(L, 0, 1);
            return 1;
        }
        if (lua_istable(L, -1))
            return 1;
    }
    lua_settop(L, 2);
    // The module's metatable was put over the one it had before; that one still answers.
    if (lua_getmetatable(L, 1) && lua_getmetatable(L, -1))
    {
        lua_pushstring(L, "__index");
        lua_rawget(L, -2);
        if (lua_isfunction(L, -1) && !IsOwnEvent(lua_tocfunction(L, -1)))
        {
            lua_pushvalue(L, 1);
            lua_pushvalue(L, 2);
            lua_call(L, 2, 1);
            return 1;
        }
        if (lua_istable(L, -1))
        {
            lua_pushvalue(L, 2);
            lua_gettable(L, -2);
            return 1;
        }
    }
    lua_pushnil(L);
    return 1;
}

int module_newindex_event(lua_State* L)
{
    lua_pushstring(L, ".set");
    lua_rawget(L, 1);
    if (lua_istable(L, -1))
    {
        lua_pushvalue(L, 2);
        lua_rawget(L, -2);
        if (lua_iscfunction(L, -1))
        {
            lua_pushvalue(L, 1);
            lua_pushvalue(L, 3);
            lua_call(L, 2, 0);
            return 0;
        }
    }
    lua_settop(L, 3);
    if (lua_getmetatable(L, 1) && lua_getmetatable(L, -1))
    {
        lua_pushstring(L, "__newindex");
        lua_rawget(L, -2);
        if (lua_isfunction(L, -1) && !IsOwnEvent(lua_tocfunction(L, -1)))
        {
            lua_pushvalue(L, 1);
            lua_pushvalue(L, 2);
            lua_pushvalue(L, 3);
            lua_call(L, 3, 0);
        }
    }
    lua_settop(L, 3);
    lua_rawset(L, 1);
    return 0;
}

int class_index_event(lua_State* L)
{
    const int t = lua_type(L, 1);
    if (t == LUA_TTABLE)
        return module_index_event(L);
    if (t != LUA_TUSERDATA)
    {
        lua_pushnil(L);
        return 1;
    }
    if (PushPeer(L, 1))
    {
        lua_pushvalue(L, 2);
        lua_rawget(L, -2);
        if (!lua_isnil(L, -1))
            return 1;
        lua_pop(L, 2);
    }
    lua_settop(L, 2);
    if (!lua_getmetatable(L, 1))
    {
        lua_pushnil(L);
        return 1;
    }
    while (lua_istable(L, -1))
    {
        const int mt = lua_gettop(L);
        if (lua_type(L, 2) == LUA_TNUMBER)
        {
            lua_pushstring(L, ".geti");
            lua_rawget(L, mt);
            if (lua_isfunction(L, -1))
            {
                lua_pushvalue(L, 1);
                lua_pushvalue(L, 2);
                lua_call(L, 2, 1);
                return 1;
            }
        }
        else
        {
            lua_pushvalue(L, 2);
            lua_rawget(L, mt);
            if (!lua_isnil(L, -1))
                return 1;
            lua_pop(L, 1);
            lua_pushstring(L, ".get");
            lua_rawget(L, mt);
            if (lua_istable(L, -1))
            {
                lua_pushvalue(L, 2);
                lua_rawget(L, -2);
                if (lua_iscfunction(L, -1))
                {
                    lua_pushvalue(L, 1);
                    lua_pushvalue(L, 2);
                    lua_call(L, 2, 1);
                    return 1;
                }
                if (lua_istable(L, -1))
                {
                    // An array field: a proxy kept in the peer, so that later reads find it there.
                    const int desc = lua_gettop(L);
                    lua_newtable(L);
                    lua_pushstring(L, ".self");
                    lua_pushvalue(L, 1);
                    lua_rawset(L, -3);
                    lua_pushvalue(L, desc);
                    lua_setmetatable(L, -2);
                    PushOrCreatePeer(L, 1);
                    lua_pushvalue(L, 2);
                    lua_pushvalue(L, -3);
                    lua_rawset(L, -3);
                    lua_pop(L, 1);
                    return 1;
                }
            }
        }
        lua_settop(L, mt);
        if (!lua_getmetatable(L, mt))
            break;
        lua_remove(L, mt);
    }
    lua_pushnil(L);
    return 1;
}

int class_newindex_event(lua_State* L)
{
    const int t = lua_type(L, 1);
    if (t == LUA_TTABLE)
        return module_newindex_event(L);
    if (t != LUA_TUSERDATA)
        return 0;
    lua_settop(L, 3);
    if (lua_getmetatable(L, 1))
    {
        if (lua_type(L, 2) == LUA_TNUMBER)
        {
            lua_pushstring(L, ".seti");
            lua_rawget(L, -2);
            if (lua_isfunction(L, -1))
            {
                lua_pushvalue(L, 1);
                lua_pushvalue(L, 2);
                lua_pushvalue(L, 3);
                lua_call(L, 3, 0);
                return 0;
            }
        }
        else
        {
            while (lua_istable(L, -1))
            {
                const int mt = lua_gettop(L);
                lua_pushstring(L, ".set");
                lua_rawget(L, mt);
                if (lua_istable(L, -1))
                {
                    lua_pushvalue(L, 2);
                    lua_rawget(L, -2);
                    if (lua_iscfunction(L, -1))
                    {
                        lua_pushvalue(L, 1);
                        lua_pushvalue(L, 3);
                        lua_call(L, 2, 0);
                        return 0;
                    }
                }
                lua_settop(L, mt);
                if (!lua_getmetatable(L, mt))
                    break;
                lua_remove(L, mt);
            }
        }
    }
    lua_settop(L, 3);
    PushOrCreatePeer(L, 1);
    lua_pushvalue(L, 2);
    lua_pushvalue(L, 3);
    lua_rawset(L, -3);
    return 0;
}

int class_add_event(lua_State* L)
{
    return OperatorEvent(L, ".add");
}
int class_sub_event(lua_State* L)
{
    return OperatorEvent(L, ".sub");
}
int class_mul_event(lua_State* L)
{
    return OperatorEvent(L, ".mul");
}
int class_div_event(lua_State* L)
{
    return OperatorEvent(L, ".div");
}
int class_lt_event(lua_State* L)
{
    return OperatorEvent(L, ".lt");
}
int class_le_event(lua_State* L)
{
    return OperatorEvent(L, ".le");
}
int class_eq_event(lua_State* L)
{
    return OperatorEvent(L, ".eq");
}

int class_call_event(lua_State* L)
{
    if (lua_istable(L, 1))
    {
        lua_pushstring(L, ".call");
        lua_rawget(L, 1);
        if (lua_isfunction(L, -1))
        {
            lua_insert(L, 1);
            lua_call(L, lua_gettop(L) - 1, 1);
            return 1;
        }
    }
    lua_pushstring(L, "Attempt to call a non-callable object.");
    return lua_error(L);
}

int class_gc_event(lua_State* L)
{
    // Class tables are metatables of metatables and may meet this too: only boxes count.
    if (lua_type(L, 1) != LUA_TUSERDATA)
        return 0;
    auto** slot = static_cast<void**>(lua_touserdata(L, 1));
    void* p = slot ? *slot : nullptr;
    if (!p)
        return 0;
    CountBox(L, p, -1);
    lua_rawgetp(L, lua_upvalueindex(1), p);
    if (lua_isnil(L, -1) || !lua_getmetatable(L, 1))
        return 0;
    const int owner = lua_gettop(L) - 1;
    const int mt = owner + 1;
    bool bOwned = lua_rawequal(L, owner, mt);
    if (!bOwned)
    {
        lua_pushvalue(L, owner);
        lua_rawget(L, LUA_REGISTRYINDEX);
        const char* ownerName = lua_tostring(L, -1);
        bOwned = ownerName && TypeCounts(L, mt, ownerName);
        lua_pop(L, 1);
    }
    if (!bOwned)
        return 0;
    lua_pushstring(L, ".collector");
    lua_rawget(L, mt);
    if (lua_iscfunction(L, -1))
    {
        lua_pushvalue(L, 1);
        lua_call(L, 1, 0);
    }
    else
        lua_pop(L, 1); // never free(): the object was not made by malloc
    lua_pushnil(L);
    lua_rawsetp(L, lua_upvalueindex(1), p);
    CountOwned(L, -1);
    Release(L, p);
    return 0;
}

namespace
{
int tolua_bnd_type(lua_State* L)
{
    tolua_typename(L, lua_gettop(L) >= 1 ? 1 : 2);
    return 1;
}

// A box whose class cannot tell an owner is the library's unless the script made its object: one the
// library handed out (an element's child relation, the open project's IO) would be freed by Lua's
// collector under its owner.
bool HeldByTheLibrary(lua_State* L, int lo)
{
    void** slot = BoxSlot(L, lo);
    if (!slot || !*slot || !lua_getmetatable(L, lo))
        return false;
    const tolua_ClassHooks* pHooks = Hooks(L, lua_gettop(L));
    lua_pop(L, 1);
    return !(pHooks && pHooks->hasOwner) && !IsMade(L, *slot);
}

int tolua_bnd_takeownership(lua_State* L)
{
    int ok = 0;
    if (IsBox(L, 1) && !HeldByTheLibrary(L, 1))
    {
        // A full cycle first, so that no address that a pending collection will free is taken.
        lua_gc(L, LUA_GCCOLLECT, 0);
        ok = tolua_register_gc(L, 1);
    }
    lua_pushboolean(L, ok);
    return 1;
}

int tolua_bnd_releaseownership(lua_State* L)
{
    int done = 0;
    if (void** slot = BoxSlot(L, 1); slot && *slot)
    {
        lua_gc(L, LUA_GCCOLLECT, 0);
        void* p = *slot;
        if (p)
        {
            RegistryTable(L, "tolua_gc");
            lua_rawgetp(L, -1, p);
            lua_getmetatable(L, 1);
            if (lua_rawequal(L, -1, -2))
            {
                lua_pushnil(L);
                lua_rawsetp(L, -4, p);
                tolua_markmade(L, p);
                CountOwned(L, -1);
                done = 1;
            }
            lua_pop(L, 3);
        }
    }
    lua_pushboolean(L, done);
    return 1;
}

int tolua_bnd_cast(lua_State* L)
{
    if (lua_isnoneornil(L, 1) || lua_isnoneornil(L, 2))
    {
        lua_pushnil(L);
        return 1;
    }
    const char* target = luaL_checkstring(L, 2);
    void** slot = BoxSlot(L, 1);
    if (!slot)
    {
        lua_pushfstring(L, "tolua.cast: '%s' is no object that can be cast to '%s'", tolua_typename(L, 1), target);
        return lua_error(L);
    }
    lua_pushstring(L, target);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_istable(L, -1))
    {
        lua_pushnil(L);
        return 1;
    }
    const int targetMt = lua_gettop(L);
    lua_getmetatable(L, 1);
    const int boxMt = lua_gettop(L);
    bool ok = TypeCounts(L, boxMt, target); // up the chain, or the same type
    if (!ok && *slot)
    {
        // Down the chain, only when the object really is one.
        lua_pushvalue(L, boxMt);
        lua_rawget(L, LUA_REGISTRYINDEX);
        const char* from = lua_tostring(L, -1);
        lua_pop(L, 1);
        const tolua_ClassHooks* pHooks = Hooks(L, targetMt);
        ok = from && TypeCounts(L, targetMt, from) && pHooks && pHooks->isA && pHooks->isA(*slot);
    }
    if (!ok)
    {
        const char* from = tolua_typename(L, 1);
        lua_pushfstring(L, "tolua.cast: cannot cast '%s' to '%s'", from, target);
        return lua_error(L);
    }
    tolua_pushusertype(L, *slot, target);
    return 1;
}

int tolua_bnd_inherit(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_pushstring(L, ".c_instance");
    lua_pushvalue(L, 2);
    lua_rawset(L, 1);
    return 0;
}

int tolua_bnd_setpeer(lua_State* L)
{
    if (lua_type(L, 1) != LUA_TUSERDATA)
    {
        lua_pushstring(L, "Invalid argument #1 to setpeer: userdata expected.");
        return lua_error(L);
    }
    if (lua_isnoneornil(L, 2))
    {
        lua_settop(L, 1);
        lua_pushvalue(L, LUA_REGISTRYINDEX);
    }
    else
        luaL_checktype(L, 2, LUA_TTABLE);
    lua_setiuservalue(L, 1, 1);
    return 0;
}

int tolua_bnd_getpeer(lua_State* L)
{
    if (lua_type(L, 1) != LUA_TUSERDATA)
    {
        lua_pushstring(L, "Invalid argument #1 to getpeer: userdata expected.");
        return lua_error(L);
    }
    lua_getiuservalue(L, 1, 1);
    if (lua_rawequal(L, -1, LUA_REGISTRYINDEX))
    {
        lua_pop(L, 1);
        lua_pushnil(L);
    }
    return 1;
}
} // namespace

void OpenScriptTable(lua_State* L)
{
    const luaL_Reg functions[] = {
        {"type", tolua_bnd_type},
        {"takeownership", tolua_bnd_takeownership},
        {"releaseownership", tolua_bnd_releaseownership},
        {"cast", tolua_bnd_cast},
        {"inherit", tolua_bnd_inherit},
        {"setpeer", tolua_bnd_setpeer},
        {"getpeer", tolua_bnd_getpeer},
    };
    for (const luaL_Reg& r : functions)
    {
        lua_pushstring(L, r.name);
        lua_pushcfunction(L, r.func);
        lua_rawset(L, -3);
    }
}
} // namespace tolua_detail
