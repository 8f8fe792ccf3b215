#pragma once

// Shared between the runtime's source files; not for wrappers.

#include "script/tolua.h"

#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace tolua_detail
{
inline const char kStateKey = 0;

// The runtime's per-state record, owned by a userdata in the registry.
struct StateData
{
    lua_State* pMain = nullptr;
    std::thread::id thread;
    tolua_Counts counts;
    // Live (non-empty) boxes per address, so that destruction notices of unboxed objects cost one
    // hash lookup.
    std::unordered_map<const void*, int> boxed;
    // Objects made for the script (by a constructor, or released from Lua's ownership) that nothing
    // else owns, for the classes that cannot tell an owner themselves.
    std::unordered_set<const void*> made;
    // Objects Lua owns (the "tolua_gc" registry table's entries).
    size_t nOwned = 0;
    // Whether destroyed objects are watched for this state (see UpdateWatch).
    bool bWatching = false;
};

StateData* Data(lua_State* L);
void RegistryTable(lua_State* L, const char* name);
// A full userdata whose metatable is registered as a type.
bool IsBox(lua_State* L, int lo);
// Whether p was made for the script (tolua_markmade) and not destroyed since.
bool IsMade(lua_State* L, const void* p);
void** BoxSlot(lua_State* L, int lo);
// True when the type registered for the metatable at mtIndex is type or counts as it.
bool TypeCounts(lua_State* L, int mtIndex, const char* type);
const tolua_ClassHooks* Hooks(lua_State* L, int mtIndex);
void EmptyBox(lua_State* L, int box);
void Release(lua_State* L, const void* p);
void CountBox(lua_State* L, const void* p, int delta);
void Count(lua_State* L, int tolua_Counts::*member);
// Lua took (+1) or gave up (-1) ownership of an object.
void CountOwned(lua_State* L, int delta);
// Destroyed objects are watched while the script holds objects it made or owns: vectors and
// records among them may keep pointers that outlive their objects. While it holds none, no
// script-made place can keep one, and the program pays nothing for the watch.
void UpdateWatch(StateData* pData);
void OpenScriptTable(lua_State* L);

int class_index_event(lua_State* L);
int class_newindex_event(lua_State* L);
int module_index_event(lua_State* L);
int module_newindex_event(lua_State* L);
int class_add_event(lua_State* L);
int class_sub_event(lua_State* L);
int class_mul_event(lua_State* L);
int class_div_event(lua_State* L);
int class_lt_event(lua_State* L);
int class_le_event(lua_State* L);
int class_eq_event(lua_State* L);
int class_call_event(lua_State* L);
int class_gc_event(lua_State* L);
} // namespace tolua_detail
