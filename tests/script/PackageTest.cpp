// The binding package as the program opens it: type names and constants against the table and
// its manifest.

#include "script/LuaBindings.h"
#include "script/tolua.h"
#include "tests/script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> ReadLines(const std::string& sPath)
{
    std::ifstream in(sPath);
    std::vector<std::string> lines;
    for (std::string s; std::getline(in, s);)
        lines.push_back(s);
    return lines;
}

std::map<std::string, int> ManifestFigures()
{
    std::map<std::string, int> figures;
    for (const std::string& sLine : ReadLines(LINTRADO_SOURCE_DIR "/script/bindings.manifest"))
    {
        if (sLine.empty() || sLine[0] == '#')
            continue;
        std::istringstream in(sLine);
        std::string sWord, sGroup;
        int n = 0;
        while (in >> sWord && !(std::istringstream(sWord) >> n && std::to_string(n) == sWord))
            sGroup += (sGroup.empty() ? "" : " ") + sWord;
        figures[sGroup] = n;
    }
    return figures;
}

class PackageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_state.OpenPackage(), "");
    }
    ScriptState m_state;
};

TEST_F(PackageTest, CountsMatchTheManifest)
{
    const std::map<std::string, int> figures = ManifestFigures();
    const tolua_Counts counts = tolua_counts(m_state.L());
    EXPECT_EQ(counts.types, figures.at("types"));
    EXPECT_EQ(counts.constants, figures.at("constants"));
    EXPECT_EQ(counts.types, 121);
    EXPECT_EQ(counts.constants, 222);
}

TEST_F(PackageTest, EveryClassStartsWithItsBase)
{
    const char* szClass = nullptr;
    EXPECT_TRUE(tLuaCheckLayouts(&szClass)) << szClass;
}

TEST_F(PackageTest, TypeNamesInOrderEachWithItsConstForm)
{
    EXPECT_EQ(m_state.Run(R"lua(
        local reg = debug.getregistry()
        for _, name in ipairs({"tcLabelSet", "vector<tcElement*>", "tcCloneContext::tcField", "pair<int,int>",
                               "vector<vector<kvUINT> >", "tcReferences"}) do
          assert(type(reg[name]) == "table", name)
          assert(type(reg["const " .. name]) == "table", "const " .. name)
          assert(reg[reg[name]] == name)
        end)lua"),
              "");
}

TEST_F(PackageTest, ConstantsAreIntegersWithTheTablesValues)
{
    EXPECT_EQ(m_state.Run(R"lua(
        expect_eq(NODE_TEXTNODE, 13, "NODE_TEXTNODE")
        expect_eq(IOFLAG_FORMATTED, 512, "IOFLAG_FORMATTED")
        expect_eq(PARSEERROR_UNSECAPEDGT, 16, "published spelling")
        expect_eq(tMETATYPE_PASSWORD, 7, "metatype")
        expect_eq(OS_LINUX, 20, "OS_LINUX")
        expect_eq(tSEARCH_SHORTCUT_CLEAR_MAX, 28, "search shortcut")
        NODE_TEXTNODE = 99
        expect_eq(NODE_TEXTNODE, 99, "a constant is a plain value of this state"))lua"),
              "");
    int nChecked = 0;
    for (const std::string& sLine : ReadLines(LINTRADO_SOURCE_DIR "/script/bindings.tbl"))
    {
        std::istringstream in(sLine);
        std::string sWord, sName;
        long long nValue = 0;
        if (!(in >> sWord >> sName >> nValue) || sWord != "const" || sName == "NODE_TEXTNODE")
            continue;
        lua_getglobal(m_state.L(), sName.c_str());
        EXPECT_TRUE(lua_isinteger(m_state.L(), -1)) << sName;
        EXPECT_EQ(lua_tointeger(m_state.L(), -1), nValue) << sName;
        lua_pop(m_state.L(), 1);
        ++nChecked;
    }
    EXPECT_EQ(nChecked, 221);
}
} // namespace
