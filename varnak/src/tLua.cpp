#include "varnak/include/tLua.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tString.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcThreads.h"

extern "C"
{
#include <lauxlib.h>
#include <lualib.h>
}

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

lua_State* g_pLua = nullptr;

namespace
{
// The hook runs every kHookStep instructions, and at every call: a loop of few instructions around
// a bound routine that takes long would otherwise run far past the time limit between two counts.
constexpr int kHookStep = 1000;
constexpr int kHookMask = LUA_MASKCOUNT | LUA_MASKCALL;

double g_dTimeLimit = 10.0;
long long g_nBudget = 0;
// Depth of nested protected calls; the outermost one starts the clock and the count.
int g_nDepth = 0;

void* Allocate(void*, void* p, size_t, size_t nSize)
{
    if (nSize == 0)
    {
        std::free(p);
        return nullptr;
    }
    void* pNew = std::realloc(p, nSize);
    if (!pNew)
    {
        kvLog(L"LUA ERROR: out of memory, ending the program");
        std::abort();
    }
    return pNew;
}

int Panic(lua_State* L)
{
    const char* s = lua_tostring(L, -1);
    kvLog(L"LUA ERROR: unprotected error, ending the program: %S", s ? s : "(no message)");
    return 0; // Lua aborts
}

// Warnings come in pieces; a piece ending without "tocont" ends the message.
void Warn(void* ud, const char* szMessage, int bToContinue)
{
    auto* psPending = static_cast<std::string*>(ud);
    if (szMessage[0] == '@' && psPending->empty() && !bToContinue)
        return; // control messages ("@on", "@off")
    *psPending += szMessage;
    if (!bToContinue)
    {
        kvLog(L"LUA WARNING: %S", psPending->c_str());
        psPending->clear();
    }
}

// The clock and the count of one watched run: the outermost protected call, or a finaliser.
struct Run
{
    std::chrono::steady_clock::time_point start;
    long long nExecuted = 0;
};
Run g_script;
Run g_finaliser;

// Counts a hook event of the run; past its limit, raises "<what> stopped after …" on L and from
// then on at every instruction, so that a script catching the error with pcall is stopped at its
// next instruction outside the protected call too.
void Watch(lua_State* L, lua_Debug* pInfo, Run& run, lua_Hook hook, const char* szWhat)
{
    if (pInfo->event == LUA_HOOKCOUNT)
        run.nExecuted += kHookStep;
    bool bStop = false;
    if (g_nBudget > 0)
        bStop = run.nExecuted > g_nBudget;
    else if (g_dTimeLimit > 0)
    {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - run.start;
        bStop = elapsed.count() > g_dTimeLimit;
    }
    if (!bStop)
        return;
    lua_sethook(L, hook, LUA_MASKCOUNT, 1);
    if (g_nBudget > 0)
        luaL_error(L, "%s stopped after %I instructions", szWhat, static_cast<lua_Integer>(g_nBudget));
    luaL_error(L, "%s stopped after %d seconds", szWhat, static_cast<int>(g_dTimeLimit + 0.5));
}

void Hook(lua_State* L, lua_Debug* pInfo)
{
    if (g_nDepth > 0)
        Watch(L, pInfo, g_script, Hook, "script");
}

// ----- Finalisers -----
// Lua runs a finaliser (__gc) with hooks off, so the time limit could never stop one. The
// finalisers scripts set through setmetatable run in a coroutine of their own instead, where the
// hook works: each gets the time limit (or the instruction budget) for itself, and its error or
// stop is logged like any script error. Finalisers do not nest: Lua makes no collection step while
// one runs.
void FinaliserHook(lua_State* L, lua_Debug* pInfo)
{
    Watch(L, pInfo, g_finaliser, FinaliserHook, "finaliser");
}

// The __gc a script gave, run in its own coroutine (upvalue 1: the script's finaliser).
int GuardedFinaliser(lua_State* L)
{
    lua_State* pRun = lua_newthread(L);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushvalue(L, 1);
    lua_xmove(L, pRun, 2);
    g_finaliser = Run{std::chrono::steady_clock::now(), 0};
    lua_sethook(pRun, FinaliserHook, kHookMask, kHookStep);
    int nResults = 0;
    const int status = lua_resume(pRun, L, 1, &nResults);
    if (status == LUA_YIELD)
        kvLog(L"LUA ERROR: a finaliser yielded; the rest of it does not run");
    else if (status != LUA_OK)
    {
        const char* s = lua_tostring(pRun, -1);
        luaL_traceback(L, pRun, s ? s : "(error object is not a string)", 0);
        kvLog(L"LUA ERROR: in a finaliser: %S", lua_tostring(L, -1));
        lua_pop(L, 1);
    }
    lua_pop(L, 1); // the coroutine
    return 0;
}

// Puts a Lua function found as the metatable's __gc behind the guard above.
void GuardFinaliser(lua_State* L, int nMetatable)
{
    if (!lua_istable(L, nMetatable) || !lua_checkstack(L, 3))
        return;
    lua_pushliteral(L, "__gc");
    lua_rawget(L, nMetatable);
    if (lua_isfunction(L, -1) && !lua_iscfunction(L, -1))
    {
        lua_pushcclosure(L, GuardedFinaliser, 1);
        lua_pushliteral(L, "__gc");
        lua_insert(L, -2);
        lua_rawset(L, nMetatable);
    }
    else
        lua_pop(L, 1);
}

// setmetatable and debug.setmetatable as the standard library has them, with the finaliser
// guarded.
int GuardedSetMetatable(lua_State* L)
{
    const int nType = lua_type(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argexpected(L, nType == LUA_TNIL || nType == LUA_TTABLE, 2, "nil or table");
    if (luaL_getmetafield(L, 1, "__metatable") != LUA_TNIL)
        return luaL_error(L, "cannot change a protected metatable");
    lua_settop(L, 2);
    GuardFinaliser(L, 2);
    lua_setmetatable(L, 1);
    return 1;
}

int GuardedDebugSetMetatable(lua_State* L)
{
    const int nType = lua_type(L, 2);
    luaL_argexpected(L, nType == LUA_TNIL || nType == LUA_TTABLE, 2, "nil or table");
    lua_settop(L, 2);
    GuardFinaliser(L, 2);
    lua_setmetatable(L, 1);
    return 1;
}

void GuardSetMetatable(lua_State* L)
{
    lua_pushcfunction(L, GuardedSetMetatable);
    lua_setglobal(L, "setmetatable");
    if (lua_getglobal(L, "debug") == LUA_TTABLE)
    {
        lua_pushcfunction(L, GuardedDebugSetMetatable);
        lua_setfield(L, -2, "setmetatable");
    }
    lua_pop(L, 1);
}

int MessageHandler(lua_State* L)
{
    const char* s = lua_tostring(L, 1);
    if (!s)
        s = luaL_tolstring(L, 1, nullptr);
    luaL_traceback(L, L, s, 1);
    return 1;
}

bool Refused(lua_State* L, int nPop)
{
    if (tcThreads::IsMainThread())
        return false;
    kvLog(L"LUA ERROR: a script call from a thread other than the main thread was refused");
    if (L)
        lua_pop(L, nPop);
    return true;
}

std::string g_sWarning; // the pieces of a warning of g_pLua or a test state
} // namespace

lua_State* tLuaNewState()
{
    lua_State* L = lua_newstate(Allocate, nullptr);
    if (!L)
        return nullptr;
    lua_atpanic(L, Panic);
    lua_setwarnf(L, Warn, &g_sWarning);
    luaL_openlibs(L);
    GuardSetMetatable(L);
    lua_sethook(L, Hook, kHookMask, kHookStep);
    return L;
}

lua_State* tLuaInit()
{
    if (Refused(nullptr, 0))
        return nullptr;
    if (!g_pLua)
        g_pLua = tLuaNewState();
    return g_pLua;
}

void tLuaDone()
{
    if (Refused(nullptr, 0) || !g_pLua)
        return;
    lua_State* L = g_pLua;
    tcEvent::DropAllLuaHandlers();
    g_pLua = nullptr;
    // Closing runs the finalisers still due. Each is stopped at the time limit, but one set past
    // the guard (by a metatable changed afterwards, or from C) would never end: the program must
    // not hang at its end for it, so a watchdog ends the process a second after the time limit.
    std::mutex lock;
    std::condition_variable closed;
    bool bClosed = false;
    const double dWait = (g_dTimeLimit > 0 ? g_dTimeLimit : 10.0) + 1.0;
    std::thread watchdog(
        [&]
        {
            std::unique_lock<std::mutex> guard(lock);
            if (!closed.wait_for(guard, std::chrono::duration<double>(dWait), [&] { return bClosed; }))
            {
                kvLog(L"LUA ERROR: closing the script environment took more than %d seconds (a finaliser that "
                      L"does not end); the program ends without waiting for it",
                      static_cast<int>(dWait + 0.5));
                kvLogDone();
                _exit(0);
            }
        });
    lua_close(L);
    {
        std::lock_guard<std::mutex> guard(lock);
        bClosed = true;
    }
    closed.notify_one();
    watchdog.join();
}

bool tLuaPCall(lua_State* L, int nArgs, int nResults, wxString* psError)
{
    if (Refused(L, nArgs + 1))
    {
        if (psError)
            *psError = "called from another thread";
        return false;
    }
    const int nBase = lua_gettop(L) - nArgs;
    lua_pushcfunction(L, MessageHandler);
    lua_insert(L, nBase);
    if (g_nDepth++ == 0)
    {
        g_script = Run{std::chrono::steady_clock::now(), 0};
        lua_sethook(L, Hook, kHookMask, kHookStep);
    }
    const int status = lua_pcall(L, nArgs, nResults, nBase);
    if (--g_nDepth == 0)
        lua_sethook(L, Hook, kHookMask, kHookStep);
    lua_remove(L, nBase);
    if (status == LUA_OK)
        return true;
    const char* s = lua_tostring(L, -1);
    const std::string sMessage = s ? s : "(error object is not a string)";
    lua_pop(L, 1);
    kvLog(L"LUA ERROR: %S", sMessage.c_str());
    if (psError)
        *psError = wxString::FromUTF8(sMessage.data(), sMessage.size());
    return false;
}

bool tLuaRun(lua_State* L, const char* szChunk, const char* szName, wxString* psError)
{
    if (Refused(nullptr, 0))
    {
        if (psError)
            *psError = "called from another thread";
        return false;
    }
    if (luaL_loadbuffer(L, szChunk, std::char_traits<char>::length(szChunk), szName) != LUA_OK)
    {
        const char* s = lua_tostring(L, -1);
        const std::string sMessage = s ? s : "(no message)";
        lua_pop(L, 1);
        kvLog(L"LUA ERROR: %S", sMessage.c_str());
        if (psError)
            *psError = wxString::FromUTF8(sMessage.data(), sMessage.size());
        return false;
    }
    return tLuaPCall(L, 0, 0, psError);
}

void tLuaSetTimeLimit(double dSeconds)
{
    g_dTimeLimit = dSeconds;
}

double tLuaGetTimeLimit()
{
    return g_dTimeLimit;
}

void tLuaSetInstructionBudget(long long nInstructions)
{
    g_nBudget = nInstructions;
}

wxString kvFromUTF8LUA(const char* pText, size_t nLen)
{
    if (!pText)
        return wxString();
    return kvFromUTF8(std::string(pText, nLen));
}
