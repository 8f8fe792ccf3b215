#include "script/tolua.h"

#include "script/tolua_internal.h"
#include "varnak/include/tObjectLife.h"
#include "varnak/include/tcEvent.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

// Everything below that runs inside a wrapper body uses raw table access and no metamethods: see
// the error contract in tolua.h.

namespace tolua_detail
{
namespace
{
// Never destroyed: destruction notices of static objects arrive during static destruction.
std::vector<lua_State*>& OpenStates()
{
    static auto* pStates = new std::vector<lua_State*>;
    return *pStates;
}

int StateDataGc(lua_State* L)
{
    auto* pp = static_cast<StateData**>(lua_touserdata(L, 1));
    if (pp && *pp)
    {
        auto& states = OpenStates();
        states.erase(std::remove(states.begin(), states.end(), (*pp)->pMain), states.end());
        if ((*pp)->bWatching)
            tWatchDestroyed(false);
        delete *pp;
        *pp = nullptr;
    }
    return 0;
}

void DestroyedNotice(const void* p)
{
    tolua_released(p);
}
} // namespace

StateData* Data(lua_State* L)
{
    lua_rawgetp(L, LUA_REGISTRYINDEX, &kStateKey);
    auto* pp = static_cast<StateData**>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return pp ? *pp : nullptr;
}

void RegistryTable(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

bool IsMade(lua_State* L, const void* p)
{
    const StateData* pData = Data(L);
    return pData && pData->made.count(p) > 0;
}

bool IsBox(lua_State* L, int lo)
{
    if (lua_type(L, lo) != LUA_TUSERDATA || !lua_getmetatable(L, lo))
        return false;
    lua_rawget(L, LUA_REGISTRYINDEX);
    const bool b = lua_type(L, -1) == LUA_TSTRING;
    lua_pop(L, 1);
    return b;
}

void** BoxSlot(lua_State* L, int lo)
{
    return IsBox(L, lo) ? static_cast<void**>(lua_touserdata(L, lo)) : nullptr;
}

bool TypeCounts(lua_State* L, int mtIndex, const char* type)
{
    mtIndex = lua_absindex(L, mtIndex);
    lua_pushvalue(L, mtIndex);
    lua_rawget(L, LUA_REGISTRYINDEX);
    const char* tn = lua_tostring(L, -1);
    bool r = tn && std::strcmp(tn, type) == 0;
    lua_pop(L, 1);
    if (r)
        return true;
    RegistryTable(L, "tolua_super");
    lua_pushvalue(L, mtIndex);
    lua_rawget(L, -2);
    if (lua_istable(L, -1))
    {
        lua_pushstring(L, type);
        lua_rawget(L, -2);
        r = lua_toboolean(L, -1);
        lua_pop(L, 1);
    }
    lua_pop(L, 2);
    return r;
}

const tolua_ClassHooks* Hooks(lua_State* L, int mtIndex)
{
    mtIndex = lua_absindex(L, mtIndex);
    // Hooks are looked up along the chain, so that const boxes and derived classes without hooks of
    // their own use their base's.
    lua_pushvalue(L, mtIndex);
    const tolua_ClassHooks* pHooks = nullptr;
    for (int guard = 0; guard < 64 && lua_istable(L, -1); ++guard)
    {
        lua_pushstring(L, ".hooks");
        lua_rawget(L, -2);
        pHooks = static_cast<const tolua_ClassHooks*>(lua_touserdata(L, -1));
        lua_pop(L, 1);
        if (pHooks)
            break;
        if (!lua_getmetatable(L, -1))
            break;
        lua_remove(L, -2);
    }
    lua_pop(L, 1);
    return pHooks;
}

void EmptyBox(lua_State* L, int box)
{
    box = lua_absindex(L, box);
    auto** slot = static_cast<void**>(lua_touserdata(L, box));
    if (!slot || !*slot)
        return;
    *slot = nullptr;
    // Parts go with their object.
    RegistryTable(L, "tolua_parts");
    lua_pushvalue(L, box);
    lua_rawget(L, -2);
    if (lua_istable(L, -1))
    {
        lua_pushnil(L);
        while (lua_next(L, -2))
        {
            lua_pop(L, 1);
            if (lua_checkstack(L, 8))
                EmptyBox(L, -1);
        }
    }
    lua_pop(L, 2);
}

void Release(lua_State* L, const void* p)
{
    StateData* pData = Data(L);
    if (!pData)
        return;
    if (pData->made.erase(p))
        UpdateWatch(pData);
    auto it = pData->boxed.find(p);
    if (it == pData->boxed.end())
        return;
    pData->boxed.erase(it);
    if (!lua_checkstack(L, 10))
        return;
    RegistryTable(L, "tolua_uboxes");
    lua_pushnil(L);
    while (lua_next(L, -2))
    {
        lua_pop(L, 1); // the ubox table is the key
        lua_rawgetp(L, -1, p);
        if (lua_type(L, -1) == LUA_TUSERDATA)
        {
            EmptyBox(L, -1);
            lua_pushnil(L);
            lua_rawsetp(L, -3, p);
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    RegistryTable(L, "tolua_gc");
    if (lua_rawgetp(L, -1, p) != LUA_TNIL)
        CountOwned(L, -1);
    lua_pop(L, 1);
    lua_pushnil(L);
    lua_rawsetp(L, -2, p);
    lua_pop(L, 1);
}

void CountBox(lua_State* L, const void* p, int delta)
{
    StateData* pData = Data(L);
    if (!pData)
        return;
    int& n = pData->boxed[p];
    n += delta;
    if (n <= 0)
        pData->boxed.erase(p);
}

void CountOwned(lua_State* L, int delta)
{
    if (StateData* pData = Data(L))
    {
        if (delta < 0 && pData->nOwned == 0)
            return;
        pData->nOwned += delta;
        UpdateWatch(pData);
    }
}

void UpdateWatch(StateData* pData)
{
    const bool bWanted = pData->nOwned > 0 || !pData->made.empty();
    if (bWanted == pData->bWatching)
        return;
    pData->bWatching = bWanted;
    tWatchDestroyed(bWanted);
}

void Count(lua_State* L, int tolua_Counts::*member)
{
    if (StateData* pData = Data(L))
        ++(pData->counts.*member);
}
} // namespace tolua_detail

using namespace tolua_detail;

void tolua_released(const void* p)
{
    if (!p)
        return;
    for (lua_State* L : OpenStates())
    {
        StateData* pData = Data(L);
        if (pData && pData->thread == std::this_thread::get_id())
            Release(L, p);
    }
}

void tolua_markmade(lua_State* L, const void* p)
{
    if (StateData* pData = Data(L); pData && p)
    {
        pData->made.insert(p);
        UpdateWatch(pData);
    }
}

tolua_Counts tolua_counts(lua_State* L)
{
    StateData* pData = Data(L);
    return pData ? pData->counts : tolua_Counts{};
}

namespace
{
void NewWeakTable(lua_State* L, const char* mode)
{
    lua_newtable(L);
    lua_newtable(L);
    lua_pushstring(L, "__mode");
    lua_pushstring(L, mode);
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
}

void SetRegistryTable(lua_State* L, const char* name, const char* weakMode)
{
    lua_pushstring(L, name);
    if (weakMode)
        NewWeakTable(L, weakMode);
    else
        lua_newtable(L);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void SetField(lua_State* L, const char* key, lua_CFunction f)
{
    lua_pushstring(L, key);
    lua_pushcfunction(L, f);
    lua_rawset(L, -3);
}

// Gives the metatable on the stack top the class events.
void ClassEvents(lua_State* L)
{
    SetField(L, "__index", class_index_event);
    SetField(L, "__newindex", class_newindex_event);
    SetField(L, "__add", class_add_event);
    SetField(L, "__sub", class_sub_event);
    SetField(L, "__mul", class_mul_event);
    SetField(L, "__div", class_div_event);
    SetField(L, "__lt", class_lt_event);
    SetField(L, "__le", class_le_event);
    SetField(L, "__eq", class_eq_event);
    SetField(L, "__call", class_call_event);
    lua_pushstring(L, "__gc");
    RegistryTable(L, "tolua_gc_event");
    lua_rawset(L, -3);
}

// Creates the metatable of a type name once; false when it existed.
bool NewMetatable(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_REGISTRYINDEX);
    const bool bExists = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (bExists)
        return false;
    lua_newtable(L);
    lua_pushstring(L, name);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX); // registry[name] = mt
    lua_pushvalue(L, -1);
    lua_pushstring(L, name);
    lua_rawset(L, LUA_REGISTRYINDEX); // registry[mt] = name
    ClassEvents(L);
    lua_pop(L, 1);
    return true;
}

void GetMetatable(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

void MapSuper(lua_State* L, const char* name, const char* base)
{
    RegistryTable(L, "tolua_super");
    GetMetatable(L, name);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 2);
        return;
    }
    lua_pushvalue(L, -1);
    lua_rawget(L, -3);
    if (lua_isnil(L, -1))
    {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -2);
        lua_pushvalue(L, -2);
        lua_rawset(L, -5); // super[mt] = set
    }
    lua_pushstring(L, base);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    // Everything the base counts as.
    GetMetatable(L, base);
    if (lua_istable(L, -1))
    {
        lua_rawget(L, -4);
        if (lua_istable(L, -1))
        {
            lua_pushnil(L);
            while (lua_next(L, -2))
            {
                lua_pushvalue(L, -2);
                lua_insert(L, -2);
                lua_rawset(L, -5);
            }
        }
    }
    lua_pop(L, 4);
}

void MapInheritance(lua_State* L, const char* name, const char* base)
{
    GetMetatable(L, name);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        return;
    }
    if ((!base || !*base) && lua_getmetatable(L, -1))
    {
        lua_pop(L, 2);
        return;
    }
    if (base && *base)
        GetMetatable(L, base);
    else
        lua_pushnil(L);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        RegistryTable(L, "tolua_commonclass");
    }
    lua_pushstring(L, "tolua_ubox");
    lua_rawget(L, -2);
    if (lua_isnil(L, -1))
    {
        lua_pop(L, 1);
        NewWeakTable(L, "v");
        RegistryTable(L, "tolua_uboxes");
        lua_pushvalue(L, -2);
        lua_pushboolean(L, 1);
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
    lua_pushstring(L, "tolua_ubox");
    lua_insert(L, -2);
    lua_rawset(L, -4); // mt.tolua_ubox
    lua_setmetatable(L, -2);
    lua_pop(L, 1);
}

std::string Const(const char* name)
{
    return std::string("const ") + name;
}

// The module table on the stack top's ".get"/".set" table, created when missing.
void AccessorTable(lua_State* L, const char* which)
{
    lua_pushstring(L, which);
    lua_rawget(L, -2);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushstring(L, which);
        lua_pushvalue(L, -2);
        lua_rawset(L, -4);
    }
}
} // namespace

void tolua_open(lua_State* L)
{
    const int top = lua_gettop(L);
    lua_pushstring(L, "tolua_opened");
    lua_rawget(L, LUA_REGISTRYINDEX);
    const bool bOpened = lua_isboolean(L, -1);
    lua_pop(L, 1);
    if (bOpened)
        return;
    lua_pushstring(L, "tolua_opened");
    lua_pushboolean(L, 1);
    lua_rawset(L, LUA_REGISTRYINDEX);

    auto** pp = static_cast<StateData**>(lua_newuserdatauv(L, sizeof(StateData*), 0));
    *pp = nullptr;
    lua_newtable(L);
    SetField(L, "__gc", StateDataGc);
    lua_setmetatable(L, -2);
    *pp = new StateData;
    (*pp)->thread = std::this_thread::get_id();
    lua_rawsetp(L, LUA_REGISTRYINDEX, &kStateKey);
    lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_MAINTHREAD);
    lua_State* pMain = lua_tothread(L, -1);
    lua_pop(L, 1);
    Data(L)->pMain = pMain;
    OpenStates().push_back(pMain);
    tSetDestroyedHandler(DestroyedNotice);
    tSetLuaBoxPusher(tolua_pushusertype); // events push their arguments to Lua handlers with it

    SetRegistryTable(L, "tolua_ubox", "v");
    SetRegistryTable(L, "tolua_super", nullptr);
    SetRegistryTable(L, "tolua_gc", nullptr);
    SetRegistryTable(L, "tolua_parts", "k");
    SetRegistryTable(L, "tolua_uboxes", "k");
    RegistryTable(L, "tolua_uboxes");
    RegistryTable(L, "tolua_ubox");
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_pop(L, 1);

    lua_pushstring(L, "tolua_gc_event");
    RegistryTable(L, "tolua_gc");
    RegistryTable(L, "tolua_super");
    lua_pushcclosure(L, class_gc_event, 2);
    lua_rawset(L, LUA_REGISTRYINDEX);

    lua_newtable(L);
    lua_pushstring(L, "tolua_commonclass");
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    lua_pushstring(L, "tolua_commonclass");
    lua_rawset(L, LUA_REGISTRYINDEX);
    RegistryTable(L, "tolua_commonclass");
    ClassEvents(L);
    lua_pop(L, 1);

    lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    lua_pushstring(L, "tolua");
    lua_rawget(L, -2);
    if (!lua_istable(L, -1))
    {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushstring(L, "tolua");
        lua_pushvalue(L, -2);
        lua_rawset(L, -4);
    }
    OpenScriptTable(L);
    lua_settop(L, top);
}

void tolua_usertype(lua_State* L, const char* type)
{
    const std::string sConst = Const(type);
    const bool bNew = NewMetatable(L, sConst.c_str());
    if (NewMetatable(L, type) || bNew)
        Count(L, &tolua_Counts::types);
    MapSuper(L, type, sConst.c_str());
}

void tolua_module(lua_State* L, const char* name, int hasvar)
{
    if (name)
    {
        lua_pushstring(L, name);
        lua_rawget(L, -2);
        if (!lua_istable(L, -1))
        {
            lua_pop(L, 1);
            lua_newtable(L);
            lua_pushstring(L, name);
            lua_pushvalue(L, -2);
            lua_rawset(L, -4);
        }
    }
    else
        lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    if (hasvar)
    {
        bool bHasModuleEvents = false;
        if (lua_getmetatable(L, -1))
        {
            lua_pushstring(L, "__index");
            lua_rawget(L, -2);
            bHasModuleEvents = lua_tocfunction(L, -1) == module_index_event;
            lua_pop(L, 2);
        }
        if (!bHasModuleEvents)
        {
            lua_newtable(L);
            SetField(L, "__index", module_index_event);
            SetField(L, "__newindex", module_newindex_event);
            if (lua_getmetatable(L, -2))
                lua_setmetatable(L, -2);
            lua_setmetatable(L, -2);
        }
    }
    lua_pop(L, 1);
}

void tolua_beginmodule(lua_State* L, const char* name)
{
    if (name)
    {
        lua_pushstring(L, name);
        lua_rawget(L, -2);
    }
    else
        lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
}

void tolua_endmodule(lua_State* L)
{
    lua_pop(L, 1);
}

void tolua_cclass(lua_State* L, const char* lname, const char* type, const char* base, lua_CFunction col)
{
    const std::string sConst = Const(type);
    const std::string sConstBase = base && *base ? Const(base) : std::string();
    MapInheritance(L, type, base);
    MapInheritance(L, sConst.c_str(), type);
    if (!sConstBase.empty())
        MapSuper(L, sConst.c_str(), sConstBase.c_str());
    if (base && *base)
        MapSuper(L, type, base);
    lua_pushstring(L, lname);
    GetMetatable(L, type);
    lua_rawset(L, -3);
    if (col)
    {
        for (const char* name : {type, sConst.c_str()})
        {
            GetMetatable(L, name);
            lua_pushstring(L, ".collector");
            lua_pushcfunction(L, col);
            lua_rawset(L, -3);
            lua_pop(L, 1);
        }
        Count(L, &tolua_Counts::collectors);
    }
    Count(L, &tolua_Counts::classes);
}

void tolua_classhooks(lua_State* L, const char* type, const tolua_ClassHooks* hooks)
{
    const std::string sConst = Const(type);
    for (const char* name : {type, sConst.c_str()})
    {
        GetMetatable(L, name);
        if (lua_istable(L, -1))
        {
            lua_pushstring(L, ".hooks");
            lua_pushlightuserdata(L, const_cast<tolua_ClassHooks*>(hooks));
            lua_rawset(L, -3);
        }
        lua_pop(L, 1);
    }
}

void tolua_typecollector(lua_State* L, const char* type, lua_CFunction col)
{
    const std::string sConst = Const(type);
    for (const char* name : {type, sConst.c_str()})
    {
        GetMetatable(L, name);
        if (lua_istable(L, -1))
        {
            lua_pushstring(L, ".collector");
            lua_pushcfunction(L, col);
            lua_rawset(L, -3);
        }
        lua_pop(L, 1);
    }
}

void tolua_function(lua_State* L, const char* name, lua_CFunction func)
{
    lua_pushstring(L, name);
    lua_pushcfunction(L, func);
    lua_rawset(L, -3);
    Count(L, &tolua_Counts::functions);
}

void tolua_constant(lua_State* L, const char* name, lua_Number value)
{
    lua_pushstring(L, name);
    lua_pushnumber(L, value);
    lua_rawset(L, -3);
    Count(L, &tolua_Counts::constants);
}

void tolua_constant_integer(lua_State* L, const char* name, lua_Integer value)
{
    lua_pushstring(L, name);
    lua_pushinteger(L, value);
    lua_rawset(L, -3);
    Count(L, &tolua_Counts::constants);
}

void tolua_variable(lua_State* L, const char* name, lua_CFunction get, lua_CFunction set)
{
    AccessorTable(L, ".get");
    lua_pushstring(L, name);
    lua_pushcfunction(L, get);
    lua_rawset(L, -3);
    lua_pop(L, 1);
    if (set)
    {
        AccessorTable(L, ".set");
        lua_pushstring(L, name);
        lua_pushcfunction(L, set);
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
    Count(L, &tolua_Counts::variables);
}

void tolua_array(lua_State* L, const char* name, lua_CFunction geti, lua_CFunction seti)
{
    AccessorTable(L, ".get");
    lua_pushstring(L, name);
    lua_newtable(L);
    SetField(L, "__index", geti);
    SetField(L, "__newindex", seti);
    lua_rawset(L, -3);
    lua_pop(L, 1);
    Count(L, &tolua_Counts::variables);
}
