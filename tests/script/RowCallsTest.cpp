// Every function row of the binding package, called with hostile arguments: no argument, nils,
// zero, -1, the int and int64 limits, huge and NaN numbers, an empty string, destroyed boxes and
// boxes of the wrong class, with live objects, wrong-class and destroyed boxes as `self`. Any Lua
// error is fine; the program must survive every call (the sanitizer build checks the rest). The
// rows come from the live package (tests/fixtures/script/call_every_row.lua), so rows added later
// are called too. Runs under the display: some rows make windows and menus.
//
// LINTRADO_ROW_TRACE=1 prints each row's name before its calls, to find the one that crashes.

#include "script/tolua.h"
#include "tests/harness/GuiTest.h"
#include "tests/harness/TempHome.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tcAppContext.h"
#include "Shared/AppUtils_shared.h"
#include "varnak/include/tGlobals.h"
#include "varnak/include/tcDocument.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Documents handed to the script as `self` of tcDocument rows; the test owns them.
std::vector<std::unique_ptr<tcDocument>>* g_pDocuments = nullptr;

int NewDocument(lua_State* L)
{
    g_pDocuments->push_back(std::make_unique<tcDocument>());
    tolua_pushusertype(L, g_pDocuments->back().get(), "tcDocument");
    return 1;
}

// Instructions one row's calls may run (callbacks into Lua, loops in handlers) before it is stopped.
constexpr long long kRowBudget = 20'000'000;

class RowCallsTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        g_pDocuments = &m_documents;
        // Relative paths a row writes to land in the test's home.
        m_previousDir = std::filesystem::current_path();
        std::filesystem::current_path(TempHomeListener::Current());
    }
    void TearDown() override
    {
        // Rows may have made the test's documents and their nodes the program's current ones.
        tApp()->AppSetIO(nullptr);
        tApp()->AppSetDoc(nullptr);
        g_pDoc = nullptr;
        gCurrentNode = nullptr;
        gCurrentEntry = nullptr;
        gCurrentSortSection = nullptr;
        gCurrentSortCmp1 = nullptr;
        gCurrentSortCmp2 = nullptr;
        gCurrentStyle = nullptr;
        gCurrentStyleAttribute = nullptr;
        m_state.Close();
        m_documents.clear();
        g_pDocuments = nullptr;
        tLuaSetInstructionBudget(0);
        std::filesystem::current_path(m_previousDir);
        GuiTest::TearDown();
    }

    std::string Global(const char* szName)
    {
        lua_getglobal(m_state.L(), szName);
        const char* s = lua_tostring(m_state.L(), -1);
        std::string sValue = s ? s : "";
        lua_pop(m_state.L(), 1);
        return sValue;
    }

    ScriptState m_state;
    std::vector<std::unique_ptr<tcDocument>> m_documents;
    std::filesystem::path m_previousDir;
};

TEST_F(RowCallsTest, EveryRowSurvivesHostileArguments)
{
    lua_State* L = m_state.L();
    ASSERT_EQ(m_state.Run("before_package = {} for k in pairs(_G) do before_package[k] = true end"), "");
    ASSERT_EQ(m_state.OpenPackage(), "");
    lua_pushcfunction(L, NewDocument);
    lua_setglobal(L, "new_document");
    ASSERT_EQ(m_state.Run("live_objects = { tcDocument = new_document }"), "");
    ASSERT_EQ(m_state.RunFixture("call_every_row.lua"), "");

    lua_getglobal(L, "rows");
    const lua_Integer nRows = luaL_len(L, -1);
    lua_pop(L, 1);
    // The walk must find the package: its global functions and classes come to over a thousand.
    ASSERT_GT(nRows, 1000);

    const bool bTrace = std::getenv("LINTRADO_ROW_TRACE") != nullptr;
    const auto start = std::chrono::steady_clock::now();
    tLuaSetInstructionBudget(kRowBudget);
    int nStopped = 0;
    for (lua_Integer i = 1; i <= nRows; ++i)
    {
        // A row may have switched it off; no row may wait for a user.
        tApp()->SetNoUserInteraction(true);
        if (bTrace)
        {
            std::string sRow;
            lua_getglobal(L, "rows");
            lua_rawgeti(L, -1, i);
            lua_getfield(L, -1, "name");
            sRow = lua_tostring(L, -1);
            lua_pop(L, 3);
            std::fprintf(stderr, "row %lld: %s\n", static_cast<long long>(i), sRow.c_str());
            std::fflush(stderr);
        }
        const auto rowStart = std::chrono::steady_clock::now();
        lua_getglobal(L, "call_row");
        lua_pushinteger(L, i);
        if (!tLuaPCall(L, 1, 0))
            ++nStopped; // over the budget: stopped as a Lua error
        const std::chrono::duration<double> rowTime = std::chrono::steady_clock::now() - rowStart;
        if (bTrace && rowTime.count() > 0.2)
            std::fprintf(stderr, "row %lld took %.1f s\n", static_cast<long long>(i), rowTime.count());
    }
    tLuaSetInstructionBudget(0);
    lua_gc(L, LUA_GCCOLLECT);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    ASSERT_EQ(m_state.Run(R"lua(
        local live, dead = {}, {}
        for k in pairs(live_classes) do live[#live + 1] = k end
        for k in pairs(dead_classes) do dead[#dead + 1] = k end
        table.sort(live) table.sort(dead)
        summary_typed = typed_rows
        summary_calls = call_count()
        summary_live = #live
        summary_dead = table.concat(dead, " "))lua"),
              "");
    std::printf("Called %lld rows in %s calls (%d stopped by the instruction budget) in %.1f s\n",
                static_cast<long long>(nRows), Global("summary_calls").c_str(), nStopped, elapsed.count());
    std::printf("Live `self` for %s classes; none could be made for: %s\n", Global("summary_live").c_str(),
                Global("summary_dead").c_str());
    std::printf("Arguments a row accepts found %s times, each then replaced by the hostile values\n",
                Global("summary_typed").c_str());
}
// Calls the row calls above once crashed on, each with the error it raises now.
struct HostileCase
{
    const char* szWhat;
    const char* szChunk;
    const char* szError;
};

TEST_F(RowCallsTest, FoundCasesRaise)
{
    ASSERT_EQ(m_state.OpenPackage(), "");
    lua_pushcfunction(m_state.L(), NewDocument);
    lua_setglobal(m_state.L(), "new_document");
    ASSERT_EQ(m_state.Run(R"lua(
        function section_sort()
          local doc = new_document()
          doc:CreateEmptyOvraDTD()
          local root = tolua.cast(doc:AllocateElementByID(1), "tcDictionary")
          doc:SetDictionary(root)
          return root:AddLanguage("S"):GetSectionSort()
        end)lua"),
              "");
    const HostileCase aCases[] = {
        {"field setter reached through the class table with a box of another class",
         "SExportOptions['.set'].sSoundIcon(vector_double_(), 'x')",
         "invalid 'self' in accessing variable 'sSoundIcon'"},
        {"field getter likewise", "SExportOptions['.get'].sSoundIcon(tcText:new('x'))",
         "invalid 'self' in accessing variable 'sSoundIcon'"},
        {"a section's own comparator is not the script's to delete", "section_sort():delete()",
         "'delete' refused: the object belongs to its owner; use SetSort of its sort method; a section's own goes "
         "with the section"},
        {"nor a sort method's to take over", "tcSortMethod():SetSort(section_sort())",
         "error in function 'SetSort': the comparator belongs to a section"},
        {"nor Lua's to collect", "assert(tolua.takeownership(section_sort()) == false) error('refused')",
         "refused"},
    };
    for (const HostileCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        const std::string sError = m_state.Run(c.szChunk);
        EXPECT_NE(sError.find(c.szError), std::string::npos) << sError;
    }
    // The fields still work through their own boxes.
    EXPECT_EQ(m_state.Run(R"lua(
        local o = SExportOptions()
        o.sSoundIcon = "icon"
        expect_eq(o.sSoundIcon, "icon", "own box"))lua"),
              "");
}
} // namespace
