// The binding runtime, driven by Lua fixture scripts against a few hand-bound test classes.

#include "script/tolua.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/tObjectLife.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{
std::map<std::string, int> g_destroyed;

struct Base
{
    virtual ~Base()
    {
        ++g_destroyed[m_name];
        tNotifyDestroyed(this);
    }
    const char* m_name = "Base";
    virtual const char* Name() const { return "Base"; }
    int value = 0;
    int arr[3] = {0, 0, 0};
};
struct Derived : Base
{
    Derived() { m_name = "Derived"; }
    const char* Name() const override { return "Derived"; }
};
struct Other
{
    ~Other()
    {
        ++g_destroyed["Other"];
        tNotifyDestroyed(this);
    }
    double x = 0;
};

template <typename T> int Collect(lua_State* L)
{
    delete static_cast<T*>(tolua_tousertype(L, 1, nullptr));
    return 0;
}

bool BaseIsA(void* p)
{
    return dynamic_cast<Base*>(static_cast<Base*>(p)) != nullptr;
}
bool DerivedIsA(void* p)
{
    return dynamic_cast<Derived*>(static_cast<Base*>(p)) != nullptr;
}
const tolua_ClassHooks kBaseHooks{nullptr, BaseIsA};
const tolua_ClassHooks kDerivedHooks{nullptr, DerivedIsA};

// make(type, owned): a new object of that type, pushed as it.
int Make(lua_State* L)
{
    const std::string type = luaL_checkstring(L, 1);
    void* p = nullptr;
    if (type == "Base" || type == "const Base")
        p = new Base;
    else if (type == "Derived")
        p = new Derived;
    else if (type == "Other" || type == "Opaque" || type == "Plain")
        p = new Other;
    if (lua_toboolean(L, 2))
        tolua_pushusertype_and_takeownership(L, p, type.c_str());
    else
    {
        // As a constructor makes it: for the script, owned by nothing else.
        tolua_pushusertype(L, p, type.c_str());
        tolua_markmade(L, p);
    }
    return 1;
}

// as(box, type): the same address pushed as another type.
int As(lua_State* L)
{
    tolua_pushusertype(L, tolua_tousertype(L, 1, nullptr), luaL_checkstring(L, 2));
    return 1;
}

// kill(box): C++ destroys the object behind Lua's back (as a document deleting a node).
int Kill(lua_State* L)
{
    void** slot = static_cast<void**>(lua_touserdata(L, 1));
    const std::string type = tolua_typename(L, 1);
    if (slot && *slot)
    {
        // make() gives the three unrelated names an Other each.
        if (type == "Other" || type == "Plain" || type == "Opaque")
            delete static_cast<Other*>(*slot);
        else
            delete static_cast<Base*>(*slot);
    }
    return 0;
}

int Destroyed(lua_State* L)
{
    lua_pushinteger(L, g_destroyed[luaL_checkstring(L, 1)]);
    return 1;
}

int Address(lua_State* L)
{
    lua_pushinteger(L, static_cast<lua_Integer>(reinterpret_cast<intptr_t>(tolua_tousertype(L, 1, nullptr))));
    return 1;
}

int FromAddress(lua_State* L)
{
    tolua_pushusertype(L, reinterpret_cast<void*>(static_cast<intptr_t>(luaL_checkinteger(L, 1))), "Base");
    return 1;
}

int Light(lua_State* L)
{
    static int n;
    lua_pushlightuserdata(L, &n);
    return 1;
}

// fits(kind, def, value...): runs the named check on argument 3.
int Fits(lua_State* L)
{
    const std::string kind = luaL_checkstring(L, 1);
    const int def = lua_toboolean(L, 2);
    tolua_Error err;
    int r = 0;
    if (kind == "boolean")
        r = tolua_isboolean(L, 3, def, &err);
    else if (kind == "number")
        r = tolua_isnumber(L, 3, def, &err);
    else if (kind == "string")
        r = tolua_isstring(L, 3, def, &err);
    else if (kind == "userdata")
        r = tolua_isuserdata(L, 3, def, &err);
    else if (kind == "usertable")
        r = tolua_isusertable(L, 3, "Base", def, &err);
    else if (kind == "usertype")
        r = tolua_isusertype(L, 3, "Base", def, &err);
    else if (kind == "noobj")
        r = tolua_isnoobj(L, 3, &err);
    lua_pushboolean(L, r);
    return 1;
}

// raise(msg, ...): checks argument 2 as a "Base" and raises msg with the check's record.
int Raise(lua_State* L)
{
    tolua_Error err;
    err.index = 2;
    err.type = "Base";
    if (lua_gettop(L) >= 2)
        tolua_isusertype(L, 2, "Base", 0, &err);
    tolua_error(L, luaL_checkstring(L, 1), &err);
}

int GetValue(lua_State* L)
{
    auto* p = static_cast<Base*>(tolua_tousertype(L, 1, nullptr));
    if (!p)
        tolua_error(L, "invalid 'self' in accessing variable 'value'", nullptr);
    lua_pushinteger(L, p->value);
    return 1;
}
int SetValue(lua_State* L)
{
    auto* p = static_cast<Base*>(tolua_tousertype(L, 1, nullptr));
    tolua_Error err;
    if (!tolua_isnumber(L, 2, 0, &err))
        tolua_error(L, "#vinvalid type in variable assignment.", &err);
    if (!p)
        tolua_error(L, "invalid 'self' in accessing variable 'value'", nullptr);
    p->value = static_cast<int>(lua_tointeger(L, 2));
    return 0;
}
Base* ArraySelf(lua_State* L)
{
    lua_pushstring(L, ".self");
    lua_rawget(L, 1);
    auto* p = static_cast<Base*>(tolua_tousertype(L, -1, nullptr));
    lua_pop(L, 1);
    return p;
}
int ArrayGet(lua_State* L)
{
    Base* p = ArraySelf(L);
    const lua_Integer i = luaL_checkinteger(L, 2);
    if (!p || i < 1 || i > 3)
    {
        lua_pushstring(L, "array indexing out of range.");
        return lua_error(L);
    }
    lua_pushinteger(L, p->arr[i - 1]);
    return 1;
}
int ArraySet(lua_State* L)
{
    Base* p = ArraySelf(L);
    const lua_Integer i = luaL_checkinteger(L, 2);
    if (!p || i < 1 || i > 3)
    {
        lua_pushstring(L, "array indexing out of range.");
        return lua_error(L);
    }
    p->arr[i - 1] = static_cast<int>(luaL_checkinteger(L, 3));
    return 0;
}
int OtherX(lua_State* L)
{
    auto* p = static_cast<Other*>(tolua_tousertype(L, 1, nullptr));
    lua_pushnumber(L, p ? p->x : -1);
    return 1;
}
int BaseNew(lua_State* L)
{
    tolua_pushusertype_and_takeownership(L, new Base, "Base");
    return 1;
}
int BaseAdd(lua_State* L)
{
    auto* a = static_cast<Base*>(tolua_tousertype(L, 1, nullptr));
    lua_pushinteger(L, (a ? a->value : 0) + luaL_checkinteger(L, 2));
    return 1;
}
int BaseName(lua_State* L)
{
    auto* p = static_cast<Base*>(tolua_tousertype(L, 1, nullptr));
    if (!p)
        tolua_error(L, "invalid 'self' in function 'name'", nullptr);
    lua_pushstring(L, p->Name());
    return 1;
}

int g_moduleValue = 0;
int ModGet(lua_State* L)
{
    lua_pushinteger(L, g_moduleValue);
    return 1;
}
int ModSet(lua_State* L)
{
    g_moduleValue = static_cast<int>(luaL_checkinteger(L, 2));
    return 0;
}

void Register(lua_State* L)
{
    for (const char* type : {"Base", "Derived", "Other", "Plain", "Opaque"})
        tolua_usertype(L, type);
    tolua_module(L, nullptr, 1);
    tolua_beginmodule(L, nullptr);
    tolua_cclass(L, "Base", "Base", "", Collect<Base>);
    tolua_classhooks(L, "Base", &kBaseHooks);
    tolua_beginmodule(L, "Base");
    tolua_function(L, "name", BaseName);
    tolua_function(L, ".call", BaseNew);
    tolua_function(L, ".add", BaseAdd);
    tolua_variable(L, "value", GetValue, SetValue);
    tolua_array(L, "arr", ArrayGet, ArraySet);
    tolua_endmodule(L);
    tolua_cclass(L, "Derived", "Derived", "Base", Collect<Base>);
    tolua_classhooks(L, "Derived", &kDerivedHooks);
    tolua_cclass(L, "Other", "Other", "", Collect<Other>);
    tolua_beginmodule(L, "Other");
    tolua_variable(L, "x", OtherX, nullptr);
    tolua_endmodule(L);
    tolua_cclass(L, "Plain", "Plain", "", nullptr);
    tolua_module(L, "mod", 1);
    tolua_beginmodule(L, "mod");
    tolua_variable(L, "v", ModGet, ModSet);
    tolua_endmodule(L);
    const luaL_Reg functions[] = {{"make", Make},           {"as", As},           {"kill", Kill},
                                  {"destroyed", Destroyed}, {"address", Address}, {"fromAddress", FromAddress},
                                  {"light", Light},         {"fits", Fits},       {"raise", Raise}};
    for (const luaL_Reg& r : functions)
        tolua_function(L, r.name, r.func);
    tolua_endmodule(L);
}

class RuntimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_destroyed.clear();
        g_moduleValue = 0;
        Register(m_state.L());
    }
    ScriptState m_state;
};

TEST_F(RuntimeTest, ChecksAgainstValueKinds)
{
    EXPECT_EQ(m_state.RunFixture("runtime_checks.lua"), "");
}

TEST_F(RuntimeTest, BoxesPeersAndCasts)
{
    EXPECT_EQ(m_state.RunFixture("runtime_boxes.lua"), "");
}

TEST_F(RuntimeTest, MessagesLetterForLetter)
{
    EXPECT_EQ(m_state.RunFixture("runtime_messages.lua"), "");
}

TEST_F(RuntimeTest, FieldsArraysAndModules)
{
    EXPECT_EQ(m_state.RunFixture("runtime_fields.lua"), "");
    EXPECT_EQ(g_moduleValue, 42);
}

TEST_F(RuntimeTest, CollectionDestroysOwnedObjectsOnce)
{
    EXPECT_EQ(m_state.RunFixture("runtime_collection.lua"), "");
    // Lua still owns one object made at the end of the fixture: closing the state destroys it.
    const int nBefore = g_destroyed["Derived"];
    m_state.Close();
    EXPECT_EQ(g_destroyed["Derived"], nBefore + 1);
    EXPECT_EQ(g_destroyed["Other"], 1);
}

TEST_F(RuntimeTest, DestroyedObjectsEmptyTheirBoxes)
{
    EXPECT_EQ(m_state.RunFixture("runtime_destroyed.lua"), "");
}

TEST_F(RuntimeTest, OpeningTwiceChangesNothing)
{
    tolua_open(m_state.L());
    EXPECT_EQ(m_state.Run("local b = make('Base', true); expect_eq(tolua.type(b), 'Base', 'type')"), "");
    EXPECT_EQ(tolua_counts(m_state.L()).classes, 4);
}
} // namespace
