// A user's start-up scripts: which files run, in which order, what a failing one leaves in the log,
// and the whole program running them once its window is shown.
#include "app/StartupScripts.h"

#include "script/LuaBindings.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/TempHome.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>

extern "C"
{
#include <lauxlib.h>
}

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
fs::path ScriptsFolder()
{
    return TempHomeListener::Current() / ".local/share/Lintrado/Scripts";
}

wxString FolderText(const fs::path& folder)
{
    return wxString::FromUTF8(folder.string());
}

std::vector<std::string> Names(const std::vector<wxString>& asPaths)
{
    std::vector<std::string> asNames;
    for (const wxString& sPath : asPaths)
        asNames.push_back(fs::path(sPath.utf8_string()).filename().string());
    return asNames;
}

TEST(StartupScripts, FolderFollowsTheDataHome)
{
    EXPECT_EQ(GetStartupScriptsFolder("Lintrado"), FolderText(ScriptsFolder()));
}

TEST(StartupScripts, OnlyVisibleLuaFilesInNameOrder)
{
    const fs::path folder = ScriptsFolder();
    // Written out of order: the listing sorts, whatever order the folder gives.
    for (const char* szName : {"b.lua", "Z.lua", "a.lua", "10.lua", "9.lua", "notes.txt", "old.lua~", "x.LUA",
                               ".#a.lua", ".lua", "sub/inner.lua"})
        WriteBytes(folder / szName, "error('must not run')");
    fs::create_directories(folder / "folder.lua");
    fs::create_symlink(folder / "a.lua", folder / "link.lua");
    fs::create_symlink(folder / "missing", folder / "dangling.lua");

    EXPECT_EQ(Names(ListStartupScripts(FolderText(folder))),
              (std::vector<std::string>{"10.lua", "9.lua", "Z.lua", "a.lua", "b.lua", "link.lua"}));
    EXPECT_TRUE(ListStartupScripts(FolderText(folder / "absent")).empty());
    EXPECT_TRUE(ListStartupScripts(FolderText(folder / "b.lua")).empty());
}

class StartupScriptsRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tcThreads::SetMainThread();
        ASSERT_NE(tLuaInit(), nullptr);
        tLuaSetInstructionBudget(1000000);
    }
    void TearDown() override
    {
        tLuaSetInstructionBudget(0);
        tLuaDone();
    }

    // The global "ran" as the scripts left it: the names they appended, joined by spaces.
    std::string Ran()
    {
        lua_getglobal(g_pLua, "table");
        lua_getfield(g_pLua, -1, "concat");
        lua_getglobal(g_pLua, "ran");
        lua_pushstring(g_pLua, " ");
        const std::string s = lua_pcall(g_pLua, 2, 1, 0) == LUA_OK ? lua_tostring(g_pLua, -1) : "";
        lua_pop(g_pLua, 2);
        return s;
    }
};

TEST_F(StartupScriptsRun, EachScriptRunsOnceAndAFailureStopsOnlyItself)
{
    const fs::path folder = ScriptsFolder();
    WriteBytes(folder / "1_first.lua", "ran = {'first'}");
    WriteBytes(folder / "2_raises.lua", "table.insert(ran, 'raises')\n"
                                        "local function deep() error('start-up failure') end\n"
                                        "deep()\n"
                                        "table.insert(ran, 'after the error')");
    WriteBytes(folder / "3_syntax.lua", "table.insert(ran, 'syntax') this is not lua");
    const char szZero[] = "table.insert(ran, 'zero')\0table.insert(ran, 'cut')";
    WriteBytes(folder / "4_zero.lua", std::string(szZero, sizeof szZero - 1));
    WriteBytes(folder / "5_runaway.lua", "table.insert(ran, 'runaway') while true do end");
    WriteBytes(folder / "6_last.lua", "table.insert(ran, 'last')");

    tcLogCapture log;
    EXPECT_EQ(RunStartupScripts(FolderText(folder)), 2);

    // The script that compiled nothing never ran; the one with a zero byte is refused whole instead
    // of running up to the byte.
    EXPECT_EQ(Ran(), "first raises runaway last");
    EXPECT_EQ(lua_gettop(g_pLua), 0);
    EXPECT_TRUE(log.Contains("LUA ERROR: 2_raises.lua:2: start-up failure\nstack traceback:"));
    EXPECT_TRUE(log.Contains("2_raises.lua:2: in local 'deep'"));
    EXPECT_TRUE(log.Contains("LUA ERROR: 3_syntax.lua:1:"));
    EXPECT_TRUE(log.Contains("LUA ERROR: 4_zero.lua:1:"));
    EXPECT_TRUE(log.Contains("script stopped after 1000000 instructions"));
    EXPECT_TRUE(log.Contains("Start-up scripts: 2 of 6 ran to the end"));
}

TEST_F(StartupScriptsRun, NoFolderNoScriptsNothingLogged)
{
    tcLogCapture log;
    EXPECT_EQ(RunStartupScripts(FolderText(ScriptsFolder())), 0);
    fs::create_directories(ScriptsFolder());
    EXPECT_EQ(RunStartupScripts(FolderText(ScriptsFolder())), 0);
    EXPECT_TRUE(log.Lines().empty());
}

// What start-up scripts are for: a handler a script registers is called by the library's later
// triggers.
TEST_F(StartupScriptsRun, AScriptsEventHandlerHearsLaterTriggers)
{
    lua_pushcfunction(g_pLua, [](lua_State* L) { return tLuaOpenBindings(L) - 1; });
    ASSERT_TRUE(tLuaPCall(g_pLua, 0, 0));
    WriteBytes(ScriptsFolder() / "handlers.lua",
               "heard = 0\n"
               "function onModified(event) if rawequal(event, Evt_NodeModified) then heard = heard + 1 end end\n"
               "assert(Evt_NodeModified:AddLuaHandler('onModified'))\n");
    tcLogCapture log;
    ASSERT_EQ(RunStartupScripts(FolderText(ScriptsFolder())), 1) << log.Lines().at(1);
    Evt_NodeModified.Trigger();
    Evt_NodeModified.Trigger();
    EXPECT_TRUE(tLuaRun(g_pLua, "assert(heard == 2, heard)", "=heard"));
}

// Runs the program until its test hook closes the main window, with the scripts the test wrote;
// expects it to end with code 0 and returns its log ("" when it did not run).
std::string RunProgram()
{
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "lintrado";
    if (!fs::exists(program))
    {
        ADD_FAILURE() << "no program at " << program;
        return "";
    }
    ChildProcess child(program, {}, {"LINTRADO_TEST_AUTOCLOSE=200", "ASAN_OPTIONS=detect_leaks=0"});
    if (!child.Started() || !child.Wait())
    {
        ADD_FAILURE() << "the program did not start or end";
        return "";
    }
    EXPECT_EQ(child.ExitCode(), 0);
    return ReadBytes(TempHomeListener::Current() / ".local/share/Lintrado/Log64.txt");
}

// Each part is in the log after the one before it (and, with bOnce, only once).
void ExpectInOrder(const std::string& sLog, const std::vector<std::string>& asParts, bool bOnce)
{
    size_t nAt = 0;
    for (const std::string& sPart : asParts)
    {
        const size_t nFound = sLog.find(sPart, nAt);
        ASSERT_NE(nFound, std::string::npos) << "missing or out of order: " << sPart << "\n" << sLog;
        if (bOnce)
        {
            EXPECT_EQ(sLog.find(sPart, nFound + 1), std::string::npos) << "twice: " << sPart;
        }
        nAt = nFound + sPart.size();
    }
}

TEST(StartupScriptsProcess, ProgramRunsThemOnceItsWindowIsShownAndClosesNormally)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    const fs::path folder = ScriptsFolder();
    WriteBytes(folder / "a_raises.lua", "local function fail() error('no luck at start-up') end\nfail()\n");
    WriteBytes(folder / "b_logs.lua", "tLuaLog('start-up script ran')\n");

    // In order: the failing script with its traceback, the other script's line, then the window
    // closing; each once.
    ExpectInOrder(RunProgram(),
                  {"Start-up script: " + (folder / "a_raises.lua").string() + "\n",
                   "LUA ERROR: a_raises.lua:1: no luck at start-up\nstack traceback:\n",
                   "a_raises.lua:1: in local 'fail'\n", "Start-up script: " + (folder / "b_logs.lua").string() + "\n",
                   "LUA: start-up script ran\n", "Start-up scripts: 1 of 2 ran to the end\n",
                   "Test hook: closing the main window (shown: yes)", "Shutdown: log closed"},
                  true);
}

// Scripts that once ended the program: a box made again from a pointer whose object is gone, a
// finaliser that never ends, and one left for the program's end. Each is a logged error; the
// program goes on and ends normally, the finalisers each stopped at the time limit.
TEST(StartupScriptsProcess, HostileScriptsLeaveTheProgramRunningAndClosingNormally)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    const fs::path folder = ScriptsFolder();
    WriteBytes(folder / "a_kept_pointer.lua", "local parent, child = tcNode:new(), tcNode:new()\n"
                                              "parent:AddChildLast(child)\n"
                                              "local v = vector_tcNode__(); parent:GetAllDescendants(v)\n"
                                              "parent:delete()\n"
                                              "v[0]:GetClassType()\n");
    WriteBytes(folder / "b_endless_finaliser.lua",
               "setmetatable({}, {__gc = function() while true do end end}); collectgarbage()\n");
    WriteBytes(folder / "c_finaliser_at_the_end.lua",
               "kept = setmetatable({}, {__gc = function() while true do end end})\ntLuaLog('last script ran')\n");

    ExpectInOrder(RunProgram(),
                  {"LUA ERROR: a_kept_pointer.lua:5: attempt to index a nil value",
                   "LUA ERROR: in a finaliser: finaliser stopped after 10 seconds", "LUA: last script ran\n",
                   "Test hook: closing the main window",
                   "LUA ERROR: in a finaliser: finaliser stopped after 10 seconds", "Shutdown: Lua state closed",
                   "Shutdown: log closed"},
                  false);
}
} // namespace
