#pragma once

#include <wx/string.h>

extern "C"
{
#include <lua.h>
}

// The library's Lua state, on which scripts and the script binding run. Main thread only: every
// function here refuses other threads with a log line.
//
// Errors: every call from C++ into Lua goes through tLuaPCall (or tLuaRun), which runs in
// protected mode, appends the traceback, logs a failure as one "LUA ERROR:" line and reports
// success. A script that runs too long is stopped with the error "script stopped after N seconds"
// (the limit of the outermost call); tests set an instruction budget instead.
//
// The state's allocator never reports failure: when memory is really exhausted the program logs it
// and ends, so code between Lua calls never sees a memory error.

// The state; null before tLuaInit and after tLuaDone.
extern lua_State* g_pLua;

// Creates g_pLua with the standard libraries (once; later calls return it).
lua_State* tLuaInit();
// Closes g_pLua (collectors of script-owned objects run). Afterwards nothing may call into Lua.
void tLuaDone();

// Makes a state the way tLuaInit makes g_pLua (allocator, warnings, panic handler, libraries), for
// tests and tools; the caller closes it with lua_close.
lua_State* tLuaNewState();

// Calls the function below nArgs arguments on L's stack. On success leaves nResults results and
// returns true; on failure logs "LUA ERROR: " with the message and traceback, leaves nothing
// and returns false (the message in *psError when given).
bool tLuaPCall(lua_State* L, int nArgs, int nResults, wxString* psError = nullptr);
// Loads and runs a chunk of UTF-8 text in protected mode, as tLuaPCall.
bool tLuaRun(lua_State* L, const char* szChunk, const char* szName, wxString* psError = nullptr);

// Seconds a script may run (outermost protected call); 10 by default, 0 for no limit.
void tLuaSetTimeLimit(double dSeconds);
double tLuaGetTimeLimit();
// Stops scripts after this many virtual machine instructions per outermost call instead of by time
// (0 switches back to the time limit). For tests.
void tLuaSetInstructionBudget(long long nInstructions);

// Text from a Lua string (UTF-8, read with its length so that zero bytes stay), malformed bytes as
// U+FFFD. Each call returns its own text.
wxString kvFromUTF8LUA(const char* pText, size_t nLen);
