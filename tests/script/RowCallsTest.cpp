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

long ResidentMegabytes()
{
    long nPages = 0, nResident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(f, "%ld %ld", &nPages, &nResident) != 2)
            nResident = 0;
        std::fclose(f);
    }
    return nResident * 4096 / (1024 * 1024);
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
    long nResident = ResidentMegabytes();
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
        if (bTrace && ResidentMegabytes() > nResident + 50)
        {
            nResident = ResidentMegabytes();
            std::fprintf(stderr, "row %lld: %ld MB resident\n", static_cast<long long>(i), nResident);
        }
    }
    tLuaSetInstructionBudget(0);
    lua_gc(L, LUA_GCCOLLECT);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    ASSERT_EQ(m_state.Run(R"lua(
        local live, dead = {}, {}
        for k in pairs(live_classes) do live[#live + 1] = k end
        for k in pairs(dead_classes) do dead[#dead + 1] = k end
        table.sort(live) table.sort(dead)
        local kinds = {}
        for _, row in ipairs(rows) do kinds[row.kind] = (kinds[row.kind] or 0) + 1 end
        local parts = {}
        for k, n in pairs(kinds) do parts[#parts + 1] = n .. " " .. k end
        table.sort(parts)
        summary_kinds = table.concat(parts, ", ")
        summary_typed = typed_rows
        summary_calls = call_count()
        summary_live = #live
        summary_dead = table.concat(dead, " "))lua"),
              "");
    std::printf("Called %lld rows in %s calls (%d stopped by the instruction budget) in %.1f s\n",
                static_cast<long long>(nRows), Global("summary_calls").c_str(), nStopped, elapsed.count());
    std::printf("Rows: %s\n", Global("summary_kinds").c_str());
    std::printf("Live `self` for %s classes; none could be made for: %s\n", Global("summary_live").c_str(),
                Global("summary_dead").c_str());
    std::printf("Arguments a row accepts found %s times, each then replaced by the hostile values\n",
                Global("summary_typed").c_str());
}
// Calls the row calls above once crashed on or tripped the sanitizers with, each with the error it
// raises now ("" for none: the call works).
struct HostileCase
{
    const char* szWhat;
    const char* szChunk;
    const char* szError;
};

TEST_F(RowCallsTest, FoundCasesAreHandled)
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
        {"field getter likewise", "SExportOptions['.get'].sSoundIcon(tcText('x'))",
         "invalid 'self' in accessing variable 'sSoundIcon'"},
        {"a collector reached through the class table with a box of another class",
         "tcText['.collector'](vector_double_())", ""},
        {"a section's own comparator is not the script's to delete", "section_sort():delete()",
         "'delete' refused: the object belongs to its owner; use SetSort of its sort method; a section's own goes "
         "with the section"},
        {"nor a sort method's to take over", "tcSortMethod():SetSort(section_sort())",
         "error in function 'SetSort': the comparator belongs to a section"},
        {"nor Lua's to collect", "assert(tolua.takeownership(section_sort()) == false) error('refused')",
         "refused"},
        {"a list item identifier of INT_MAX: the next one is the lowest free one", R"lua(
            local list = tcAttrList()
            expect_eq(list:AddListItem(2147483647, "top"), 2147483647, "kept")
            expect_eq(list:AddListItem(-1, "next", false), 1, "no overflow")
            expect_eq(list:InsertListItem(0, "first"), 2, "inserted"))lua",
         ""},
        {"an attribute identifier of INT_MAX", R"lua(
            local kind = tcElement("e", 100)
            expect_eq(kind:AddAttribute("a", ATTR_CDATA, ATTRDEF_IMPLIED, 2147483647):GetID(), 2147483647, "kept")
            assert(kind:AddAttribute("b", ATTR_CDATA, ATTRDEF_IMPLIED):GetID() < 2147483647, "no overflow"))lua",
         ""},
        {"enumeration arguments out of their range are values of the type",
         "tcAttribute('a', 2147483647, -2147483648) tcVar(2147483647, 'p', 'n', '', '', 2147483647)", ""},
        {"room for INT_MAX children is a hint, not 16 GB", "tcNode():ReserveSpaceForChildren(2147483647)", ""},
    };
    for (const HostileCase& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        const std::string sError = m_state.Run(c.szChunk);
        if (*c.szError)
            EXPECT_NE(sError.find(c.szError), std::string::npos) << sError;
        else
            EXPECT_EQ(sError, "");
    }
    // The fields still work through their own boxes.
    EXPECT_EQ(m_state.Run(R"lua(
        local o = SExportOptions()
        o.sSoundIcon = "icon"
        expect_eq(o.sSoundIcon, "icon", "own box"))lua"),
              "");
}
} // namespace
