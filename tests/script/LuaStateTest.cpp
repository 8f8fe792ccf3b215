// The library's Lua state and its protected calls.

#include "varnak/include/tLua.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

extern "C"
{
#include <lauxlib.h>
}

namespace
{
class LuaStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tcThreads::SetMainThread();
        m_L = tLuaNewState();
        tLuaSetInstructionBudget(100000);
    }
    void TearDown() override
    {
        tLuaSetInstructionBudget(0);
        lua_close(m_L);
    }
    lua_State* m_L = nullptr;
};

// A loop of few instructions around a routine that takes long is stopped soon after the time limit,
// not once enough instructions have run (a guard of seconds, not a measure).
TEST_F(LuaStateTest, TheTimeLimitHoldsAroundSlowRoutines)
{
    tLuaSetInstructionBudget(0);
    const double dLimit = tLuaGetTimeLimit();
    tLuaSetTimeLimit(0.5);
    lua_register(m_L, "slow",
                 [](lua_State*) -> int
                 {
                     std::this_thread::sleep_for(std::chrono::milliseconds(50));
                     return 0;
                 });
    tcLogCapture log;
    wxString sError;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(tLuaRun(m_L, "while true do slow() end", "=slow", &sError));
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    tLuaSetTimeLimit(dLimit);
    EXPECT_TRUE(sError.Contains("script stopped after")) << sError;
    EXPECT_LT(elapsed.count(), 3.0);
}

TEST_F(LuaStateTest, FailureIsLoggedOnceWithTraceback)
{
    tcLogCapture log;
    wxString sError;
    EXPECT_FALSE(tLuaRun(m_L, "local function inner() error('broken') end\ninner()", "=fixture", &sError));
    EXPECT_TRUE(sError.StartsWith("fixture:1: broken\nstack traceback:")) << sError;
    EXPECT_TRUE(sError.Contains("in local 'inner'")) << sError;
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_TRUE(log.Lines()[0].StartsWith("LUA ERROR: fixture:1: broken")) << log.Lines()[0];
    EXPECT_EQ(lua_gettop(m_L), 0);

    log.Clear();
    EXPECT_FALSE(tLuaRun(m_L, "this is not lua", "=syntax", &sError));
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_TRUE(sError.StartsWith("syntax:1:")) << sError;
}

TEST_F(LuaStateTest, CallLeavesResultsOnSuccess)
{
    ASSERT_TRUE(tLuaRun(m_L, "function add(a, b) return a + b end", "=add"));
    lua_getglobal(m_L, "add");
    lua_pushinteger(m_L, 2);
    lua_pushinteger(m_L, 3);
    ASSERT_TRUE(tLuaPCall(m_L, 2, 1));
    EXPECT_EQ(lua_tointeger(m_L, -1), 5);
    lua_pop(m_L, 1);
    EXPECT_EQ(lua_gettop(m_L), 0);
}

TEST_F(LuaStateTest, EndlessLoopStoppedByBudgetAndStateStillRuns)
{
    tcLogCapture log;
    wxString sError;
    EXPECT_FALSE(tLuaRun(m_L, "while true do end", "=loop", &sError));
    EXPECT_TRUE(sError.Contains("script stopped after 100000 instructions")) << sError;
    // Also when the script catches errors itself: the budget is the outermost call's, and the
    // hook raises again at its next step.
    EXPECT_FALSE(tLuaRun(m_L, "while true do pcall(function() while true do end end) end", "=nested", &sError));
    EXPECT_TRUE(sError.Contains("script stopped after")) << sError;
    EXPECT_TRUE(tLuaRun(m_L, "x = 0 for i = 1, 1000 do x = x + i end", "=after"));
    lua_getglobal(m_L, "x");
    EXPECT_EQ(lua_tointeger(m_L, -1), 500500);
    lua_pop(m_L, 1);
}

TEST_F(LuaStateTest, WarningsGoToTheLog)
{
    tcLogCapture log;
    EXPECT_TRUE(tLuaRun(m_L, "warn('@on') warn('two ', 'pieces')", "=warn"));
    EXPECT_TRUE(log.Contains("LUA WARNING: two pieces"));
}

TEST_F(LuaStateTest, OtherThreadsAreRefused)
{
    tcLogCapture log;
    lua_getglobal(m_L, "print");
    bool bResult = true;
    std::thread([&] { bResult = tLuaPCall(m_L, 0, 0); }).join();
    EXPECT_FALSE(bResult);
    EXPECT_EQ(lua_gettop(m_L), 0);
    EXPECT_TRUE(log.Contains("LUA ERROR: a script call from a thread other than the main thread was refused"));
}

TEST(LuaGlobalState, InitOnceAndDone)
{
    tcThreads::SetMainThread();
    lua_State* L = tLuaInit();
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(tLuaInit(), L);
    EXPECT_EQ(g_pLua, L);
    EXPECT_TRUE(tLuaRun(g_pLua, "assert(string and table and math and io)", "=libs"));
    tLuaDone();
    EXPECT_EQ(g_pLua, nullptr);
    tLuaDone(); // a second close does nothing
}
} // namespace

// A finaliser runs with Lua's hooks off; one that never ends must still be stopped, its error
// logged, and the script that collected it goes on. Also for objects still alive when the state
// closes.
TEST_F(LuaStateTest, FinalisersAreStoppedAndTheirErrorsLogged)
{
    struct Case
    {
        const char* szName;
        const char* szScript;
        const char* szLogged;
    };
    const Case aCases[] = {
        {"endless", "setmetatable({}, {__gc = function() while true do end end})",
         "finaliser stopped after 100000 instructions"},
        {"endless through calls",
         "local function f() return f() end setmetatable({}, {__gc = function() while true do f() end end})",
         "finaliser stopped after"},
        {"catching its own stop",
         "setmetatable({}, {__gc = function() while true do pcall(function() while true do end end) end end})",
         "finaliser stopped after"},
        {"through the debug library", "debug.setmetatable({}, {__gc = function() while true do end end})",
         "finaliser stopped after 100000 instructions"},
        {"an error", "setmetatable({}, {__gc = function() error('broken finaliser') end})", "broken finaliser"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        tcLogCapture log;
        wxString sError;
        EXPECT_TRUE(tLuaRun(m_L, (std::string(c.szScript) + " collectgarbage() done = true").c_str(), "=fin", &sError))
            << sError;
        EXPECT_TRUE(log.Contains(c.szLogged));
        lua_getglobal(m_L, "done");
        EXPECT_TRUE(lua_toboolean(m_L, -1));
        lua_pop(m_L, 1);
    }
    // Left alive until the state closes.
    ASSERT_TRUE(tLuaRun(m_L, "kept = setmetatable({}, {__gc = function() while true do end end})", "=kept"));
    tcLogCapture log;
    lua_close(m_L);
    m_L = tLuaNewState();
    EXPECT_TRUE(log.Contains("finaliser stopped after"));
    // The standard messages stay.
    wxString sError;
    EXPECT_FALSE(tLuaRun(m_L, "setmetatable(setmetatable({}, {__metatable = 1}), {})", "=protected", &sError));
    EXPECT_TRUE(sError.Contains("cannot change a protected metatable")) << sError;
    EXPECT_FALSE(tLuaRun(m_L, "setmetatable(1, {})", "=wrong", &sError));
    EXPECT_TRUE(sError.Contains("bad argument #1 to 'setmetatable' (table expected, got number)")) << sError;
}

// A finaliser set where no guard sees it (the metatable's __gc replaced afterwards) would hang the
// program's end: closing the script environment gives up a second after the time limit and the
// process ends normally.
TEST(LuaStateDeathTest, ClosingDoesNotHangOnAFinaliserThatNeverEnds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            tcThreads::SetMainThread();
            tLuaSetTimeLimit(0.5);
            lua_State* L = tLuaInit();
            tLuaRun(L,
                    "local mt = {__gc = true} kept = setmetatable({}, mt) mt.__gc = function() while true do end end",
                    "=unguarded");
            tLuaDone();
            std::exit(3); // not reached: the watchdog ends the process
        },
        ::testing::ExitedWithCode(0), "");
}
