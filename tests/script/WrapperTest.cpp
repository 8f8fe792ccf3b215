// The wrapper conventions, on the fixture table that the package's generator compiles into this
// test, and the error-safety table (run it under the sanitizer build too).

#include "script/tolua.h"
#include "tests/script/FixtureClasses.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>

int tLuaFixtureOpenBindings(lua_State* L);

namespace
{
class WrapperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tcThreads::SetMainThread();
        tfDestroyed().clear();
        g_tfCounter = 3;
        g_tfOrigin = tfPoint();
        g_tfName = "fixture";
        ASSERT_EQ(tLuaFixtureOpenBindings(m_state.L()), 1);
        tfSetCallbackState(m_state.L());
    }
    void TearDown() override { tfSetCallbackState(nullptr); }
    ScriptState m_state;
};

TEST_F(WrapperTest, ConventionsOfCallsAndResults)
{
    EXPECT_EQ(m_state.RunFixture("wrapper_calls.lua"), "");
}

TEST_F(WrapperTest, FieldsGlobalsAndConstants)
{
    EXPECT_EQ(m_state.RunFixture("wrapper_fields.lua"), "");
    EXPECT_EQ(g_tfCounter, 4);
    EXPECT_EQ(g_tfName, wxString::FromUTF8("\xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(g_tfOrigin.x, 5);
}

TEST_F(WrapperTest, VectorsAndObjectsByValue)
{
    EXPECT_EQ(m_state.RunFixture("wrapper_vectors.lua"), "");
    // Every by-value copy that Lua made has been collected.
    m_state.Close();
    EXPECT_GT(tfDestroyed()["tfPoint"], 0);
}

TEST_F(WrapperTest, ObjectsDestroyedByTheirOwners)
{
    EXPECT_EQ(m_state.RunFixture("wrapper_nodes.lua"), "");
}

TEST_F(WrapperTest, RegistrationsAreCounted)
{
    const tolua_Counts c = tolua_counts(m_state.L());
    EXPECT_EQ(c.types, 9);
    EXPECT_EQ(c.classes, 9);
    EXPECT_EQ(c.functions, 72);
    EXPECT_EQ(c.constants, 3);
    EXPECT_EQ(c.variables, 13);
    EXPECT_EQ(c.collectors, 9);
}

// Each script fails with its message; the state runs on afterwards. Under the sanitizers none of
// them may leave a report.
TEST_F(WrapperTest, ErrorSafety)
{
    struct Case
    {
        const char* szScript;
        const char* szExpected;
    };
    const Case cases[] = {
        {"tfThrowStd()", "error in function 'tfThrowStd': standard failure"},
        {"tfThrowOther()", "error in function 'tfThrowOther': unknown exception"},
        {"tfDistance('converted', 'first', 0/0)",
         "error in function 'tfDistance'.\n     argument #3 is 'number'; 'number from -2147483648 to 2147483647' "
         "expected.\n"},
        {"function broken() error('inside') end tfCallBack('broken')",
         "error in function 'tfCallBack': the callback failed"},
        {"local p = tfPoint:new(1, 2) p:delete() return p:Sum()", "invalid 'self' in function 'Sum'"},
        {"local d = tcDocument() local a = tfBuildTree(d) d:DeleteTreeFromDoc(a) return a:GetNumChildren()",
         "invalid 'self' in function 'GetNumChildren'"},
        {"local d = tcDocument() local a = tfBuildTree(d) local t = tolua.cast(a:GetChild(0):GetChild(0), 'tcText') "
         "d:DeleteTreeFromDoc(a) return t:GetText()",
         "invalid 'self' in function 'GetText'"},
        {"local d = tcDocument:new() local a = tfBuildTree(d) d:delete() return a:GetParent()",
         "invalid 'self' in function 'GetParent'"},
        {"local h = tfHolder:new() local pt = h.pt h:delete() return pt.x", "invalid 'self' in accessing variable 'x'"},
        {"return tolua.cast(tfPoint(), 'tfShape')", "tolua.cast: cannot cast 'tfPoint' to 'tfShape'"},
        {"return tolua.cast(tfShape(), 'tfCircle')", "tolua.cast: cannot cast 'tfShape' to 'tfCircle'"},
        {"local d = tcDocument() local a = tfBuildTree(d) assert(not tolua.takeownership(a)) a = nil "
         "collectgarbage() collectgarbage() d = nil collectgarbage() error('survived', 0)",
         "survived"},
        {"while true do end", "script stopped after 200000 instructions"},
    };
    tLuaSetInstructionBudget(200000);
    for (const Case& c : cases)
    {
        wxString sError;
        tcLogCapture log;
        EXPECT_FALSE(tLuaRun(m_state.L(), c.szScript, "=case", &sError)) << c.szScript;
        const wxString sExpected = wxString::FromUTF8(c.szExpected);
        // The traceback follows the message; messages may span lines themselves.
        EXPECT_TRUE(sError.StartsWith(sExpected) || sError.StartsWith("case:1: " + sExpected))
            << c.szScript << "\n got: " << sError;
        EXPECT_TRUE(tLuaRun(m_state.L(), "assert(tfTake(2) == 2)", "=after"));
    }
    tLuaSetInstructionBudget(0);
    lua_gc(m_state.L(), LUA_GCCOLLECT, 0);
}
} // namespace

bool tLuaFixtureCheckLayouts(const char** pszClass);

TEST(WrapperLayout, EveryClassStartsWithItsBase)
{
    const char* szClass = nullptr;
    EXPECT_TRUE(tLuaFixtureCheckLayouts(&szClass)) << szClass;
}
