// The binding package end to end, as a user's script meets it: a project opened, walked, changed
// and saved through the IO registry; a document built from nothing; mistakes that end in Lua
// errors and leave the program sound; and every registration the manifest promises present.

#include "Shared/AppUtils_shared.h"
#include "import/XLIFFImporter.h"
#include "script/LuaBindings.h"
#include "script/tolua.h"
#include "tests/harness/TestFiles.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const fs::path kFixtures = fs::path(LINTRADO_FIXTURES_DIR) / "script";

class EndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tcThreads::SetMainThread();
        // The names a state has before the package opens: the standard libraries and the test's
        // helpers, left out when the package's own globals are counted.
        ASSERT_EQ(m_state.Run("BASELINE = {} for k in pairs(_G) do BASELINE[k] = true end"), "");
        ASSERT_EQ(m_state.OpenPackage(), "");
        m_bXLIFF = Init_XLIFFImporter();
        ASSERT_TRUE(m_bXLIFF);
        NewDocument();
    }

    void TearDown() override
    {
        DestroyDocument();
        if (m_bXLIFF)
            Done_XLIFFImporter();
    }

    // The empty document scripts find as g_pDoc.
    void NewDocument()
    {
        m_pDoc = std::make_unique<tcDocument>();
        g_pDoc = m_pDoc.get();
    }

    void DestroyDocument()
    {
        g_pDoc = nullptr;
        m_pDoc.reset();
    }

    void SetText(const char* szName, const std::string& sValue)
    {
        lua_pushlstring(m_state.L(), sValue.data(), sValue.size());
        lua_setglobal(m_state.L(), szName);
    }

    std::string GetText(const char* szName)
    {
        lua_getglobal(m_state.L(), szName);
        size_t nLen = 0;
        const char* s = lua_tolstring(m_state.L(), -1, &nLen);
        std::string sValue = s ? std::string(s, nLen) : "(not text)";
        lua_pop(m_state.L(), 1);
        return sValue;
    }

    ScriptState m_state;
    std::unique_ptr<tcDocument> m_pDoc;
    bool m_bXLIFF = false;
};

// Open, walk, mark one target final and save, twice: first on the fixture, then on what the first
// run saved. Both saves give the expected bytes, so the second load read back exactly what the
// first wrote.
TEST_F(EndToEndTest, ScriptOpensWalksChangesAndSavesAProject)
{
    const fs::path project = fs::path(HomePath("project/e2e.xlf").utf8_string());
    const std::string sExpected = ReadBytes(kFixtures / "e2e_project_saved.xlf");
    ASSERT_FALSE(sExpected.empty());
    WriteBytes(project, ReadBytes(kFixtures / "e2e_project.xlf"));
    SetText("PROJECT", project.string());

    for (const char* szPriorState : {"new", "final"})
    {
        SCOPED_TRACE(szPriorState);
        NewDocument();
        SetText("PRIOR_STATE", szPriorState);
        ASSERT_EQ(m_state.RunFixture("e2e_project.lua"), "");
        EXPECT_EQ(ReadBytes(project), sExpected);
        EXPECT_FALSE(m_pDoc->IsDirty());
        lua_gc(m_state.L(), LUA_GCCOLLECT, 0); // the handler the script made goes with its box
    }
    size_t nFiles = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(project.parent_path()))
        ++nFiles;
    EXPECT_EQ(nFiles, 1u) << "the save left a temporary file behind";
}

TEST_F(EndToEndTest, ScriptBuildsADocumentFromNothing)
{
    ASSERT_EQ(m_state.RunFixture("e2e_document.lua"), "");
    EXPECT_EQ(GetText("RESULT"), ReadBytes(kFixtures / "e2e_document.xml"));
}

// Boxes of everything a document owns are emptied when the program destroys the document, so a
// script that kept them gets Lua errors instead of freed memory.
TEST_F(EndToEndTest, BoxesOfADestroyedDocumentAreEmpty)
{
    ASSERT_EQ(m_state.RunFixture("e2e_destroyed.lua"), "");
    ASSERT_EQ(m_state.Run("hold()"), "");
    DestroyDocument();
    EXPECT_EQ(m_state.Run("check()"), "");
    lua_gc(m_state.L(), LUA_GCCOLLECT, 0);
}

// A script that ends in its Lua error; "after" then shows that nothing was changed or freed.
struct ErrorCase
{
    const char* szScript;
    const char* szError; // a part of the message
    const char* szAfter; // a script that must then run without error
};

// Runs each case on the test's state, which goes on working afterwards. Under the sanitizers none
// of them may leave a report.
void ExpectLuaErrors(lua_State* L, const std::vector<ErrorCase>& cases)
{
    tLuaSetInstructionBudget(2000000);
    for (const ErrorCase& c : cases)
    {
        wxString sError;
        EXPECT_FALSE(tLuaRun(L, c.szScript, "=case", &sError)) << c.szScript;
        EXPECT_TRUE(sError.Contains(wxString::FromUTF8(c.szError))) << c.szScript << "\n got: " << sError;
        EXPECT_TRUE(tLuaRun(L, c.szAfter, "=after", &sError)) << c.szScript << "\n after: " << sError;
        EXPECT_TRUE(tLuaRun(L, "assert(g_pDoc:GetDTD())", "=alive")) << c.szScript;
    }
    tLuaSetInstructionBudget(0);
    lua_gc(L, LUA_GCCOLLECT, 0);
}

TEST_F(EndToEndTest, ScriptMistakesEndInLuaErrors)
{
    ExpectLuaErrors(
        m_state.L(),
        {
            // wrong types
            {"tAddElement('doc', 'x')",
             "error in function 'tAddElement'.\n     argument #1 is 'string'; 'tcDocument' expected.\n", ""},
            {"tcNode.GetNumChildren(tAddElement(g_pDoc, 'kind'))",
             "error in function 'GetNumChildren'.\n     argument #1 is 'tcElement'; 'const tcNode' expected.\n", ""},
            {"g_pDoc:GetNumSections(1)",
             "error in function 'GetNumSections'.\n     argument #2 is 'number'; '[no object]' expected.\n", ""},
            {"g_nZoom = 'x'", "invalid type in variable assignment.\n     value is 'string'; 'number' expected.\n", ""},
            // nil where the library takes a reference
            {"FindAllTEs(g_pDoc, nil, nil, nil)",
             "error in function 'FindAllTEs'.\n     argument #4 is 'nil'; 'vector<wxString>' expected.\n", ""},
            {"tcNode.GetNumChildren(nil)", "invalid 'self' in function 'GetNumChildren'", ""},
            // indexes outside a vector
            {"return vector_tcEntry__()[0]", "index 0 out of range for 'vector<tcEntry*>' of size 0", ""},
            {"V = vector_wxString_() V:push_back('a') V[1] = 'b'",
             "index 1 out of range for 'vector<wxString>' of size 1", "assert(V:size() == 1 and V[0] == 'a')"},
            // use after delete and after the document deleted a tree
            {"local e = tcEntity:new() e:delete() return e:GetValue()", "invalid 'self' in function 'GetValue'", ""},
            {"local k = tAddElement(g_pDoc, 'branch') local n = g_pDoc:AllocateElement(k) "
             "CHILD = g_pDoc:AllocateElement(k) n:AddChildLast(CHILD) g_pDoc:DeleteTreeFromDoc(n) "
             "return CHILD:GetParent()",
             "invalid 'self' in function 'GetParent'", "assert(tolua.type(CHILD) == 'tcNode')"},
            // what the program owns stays
            {"tApp():delete()",
             "'delete' refused: the object belongs to its owner; use nothing (the program keeps the application "
             "context)",
             "assert(tApp():GetNoUserInteraction() ~= nil)"},
            {"g_pIORegistry:delete()",
             "'delete' refused: the object belongs to its owner; use nothing (the program keeps g_pIORegistry)",
             "assert(g_pIORegistry:GetIOTag(g_pIORegistry:GetIOTypeFromTag('XLIFFImporter')) == 'XLIFFImporter')"},
            {"g_pIORegistry = nil",
             "'g_pIORegistry' cannot be assigned: the registry of IO handlers cannot be replaced",
             "assert(g_pIORegistry:GetNumIO() >= 1 and rawget(_G, 'g_pIORegistry') == nil)"},
            {"g_pIORegistry = tcIORegistry()", "'g_pIORegistry' cannot be assigned",
             "assert(g_pIORegistry:GetIOTypeFromTag('XLIFFImporter'))"},
            {"Evt_NodeInserted = Evt_NodeRemoved",
             "'Evt_NodeInserted' cannot be assigned: add handlers with AddLuaHandler instead",
             "assert(Evt_NodeInserted:GetName() == 'Evt_NodeInserted' and rawget(_G, 'Evt_NodeInserted') == nil)"},
            // features this build does not have
            {"g_pDoc:SetupDefaultAutonumbering()", "'SetupDefaultAutonumbering' is not supported by this build", ""},
            {"tWebSearch('tree')", "'tWebSearch' is not supported by this build", ""},
            {"while true do g_pDoc:GetNumSections() end", "script stopped after 2000000 instructions", ""},
        });
}

// A document the program holds open (a project, a memory, rules) may be edited by scripts but not
// freed or reset by them.
TEST_F(EndToEndTest, AHeldDocumentIsNotFreedByAScript)
{
    m_pDoc->CreateDoc("held");
    tCreateDefaultDTDMendrasi(m_pDoc.get());
    auto* pRoot = dynamic_cast<tcDictionary*>(m_pDoc->AllocateElementByID(1));
    ASSERT_NE(pRoot, nullptr);
    m_pDoc->SetDictionary(pRoot);
    m_pDoc->SetHeldByProgram(true);
    ASSERT_EQ(m_state.Run("ROOT = g_pDoc:GetDictionary() "
                          "function unchanged() assert(rawequal(g_pDoc:GetDictionary(), ROOT) and "
                          "g_pDoc:GetDTD():GetNumElements() == 3 and ROOT:GetNumChildren() == NCHILDREN) end"),
              "");
    const char* const szHeld = "the document is held open by the program and cannot be freed or reset";
    ExpectLuaErrors(m_state.L(), {
                                     {"NCHILDREN = ROOT:GetNumChildren() g_pDoc:DeleteDoc()", szHeld, "unchanged()"},
                                     {"g_pDoc:Destroy()", szHeld, "unchanged()"},
                                     {"g_pDoc:CreateDoc('other')", szHeld, "unchanged()"},
                                     {"g_pDoc:DeleteTreeFromDoc(ROOT)", szHeld, "unchanged()"},
                                     {"g_pDoc:DeleteTreeFromMem(ROOT)", szHeld, "unchanged()"},
                                 });
    // Its nodes stay the script's to edit.
    EXPECT_EQ(m_state.Run("local n = AllocateElementByIDHelper(2, g_pDoc) ROOT:AddChildLast(n) "
                          "assert(g_pDoc:DeleteTreeFromDoc(n) and ROOT:GetNumChildren() == NCHILDREN)"),
              "");
    EXPECT_EQ(m_pDoc->GetDictionary(), pRoot);
}

// ----- The manifest against what the opened package holds -----------------------------------------

struct ManifestRow
{
    std::string sFile; // empty for package-wide rows
    std::string sGroup;
    int nCount = 0;
    bool bPending = false;
};

std::vector<ManifestRow> ReadManifest()
{
    std::vector<ManifestRow> rows;
    std::ifstream in(LINTRADO_SOURCE_DIR "/script/bindings.manifest");
    for (std::string sLine; std::getline(in, sLine);)
    {
        if (sLine.empty() || sLine[0] == '#')
            continue;
        ManifestRow row;
        std::istringstream words(sLine);
        std::string sWord;
        bool bCounted = false;
        while (words >> sWord)
        {
            if (bCounted)
                row.bPending = row.bPending || sWord == "pending";
            else if (sWord.size() > 5 && sWord.compare(sWord.size() - 5, 5, ".tbl:") == 0 && row.sGroup.empty())
                row.sFile = sWord.substr(0, sWord.size() - 1);
            else if (sWord.find_first_not_of("0123456789") == std::string::npos)
            {
                row.nCount = std::stoi(sWord);
                bCounted = true;
            }
            else
                row.sGroup += (row.sGroup.empty() ? "" : " ") + sWord;
        }
        rows.push_back(row);
    }
    return rows;
}

// What a table file declares, by the names the opened package should show: classes (a nested
// class as "Outer.Inner", vector classes included), global variables and global function names.
struct TableNames
{
    std::vector<std::string> asClasses;
    std::set<std::string> asGlobals;
    std::set<std::string> asFunctions;
};

TableNames ReadTableNames(const std::string& sFile)
{
    TableNames names;
    std::ifstream in(LINTRADO_SOURCE_DIR "/script/tables/" + sFile);
    std::string sOuter;
    for (std::string sLine; std::getline(in, sLine);)
    {
        std::istringstream words(sLine);
        std::string sKind, sWord;
        if (!(words >> sKind))
            continue;
        if (sKind == "class" && words >> sWord)
        {
            const bool bNested = sLine[0] == ' ';
            names.asClasses.push_back(bNested ? sOuter + "." + sWord : sWord);
            if (!bNested)
                sOuter = sWord;
        }
        else if (sKind == "vector" && words >> sWord)
            names.asClasses.push_back(sWord);
        else if (sKind == "var")
        {
            std::string sName;
            while (words >> sWord && sWord[0] != '@')
                sName = sWord;
            names.asGlobals.insert(sName);
        }
        else if (sKind == "func")
        {
            const std::string sDecl = sLine.substr(0, sLine.find('('));
            names.asFunctions.insert(sDecl.substr(sDecl.find_last_of(" *&") + 1));
        }
    }
    return names;
}

// What the opened state holds, found by walking it: every class table (nested ones as
// "Outer.Inner") with its constructor, destructor, collector and fields, the global module's
// variables and the package's global functions.
const char* const kMeasure = R"lua(
local reg = debug.getregistry()
CLASSES, GLOBALS, FUNCTIONS = {}, {}, {}
local function visit(module, prefix)
  for name, value in pairs(module) do
    if type(value) == "table" and type(reg[value]) == "string" and value ~= module then
      local fields = 0
      for _ in pairs(rawget(value, ".get") or {}) do fields = fields + 1 end
      CLASSES[prefix .. name] = {new = rawget(value, "new") ~= nil, delete = rawget(value, "delete") ~= nil,
                                 collector = rawget(value, ".collector") ~= nil, fields = fields}
      visit(value, prefix .. name .. ".")
    end
  end
end
visit(_G, "")
for name, value in pairs(_G) do
  if type(value) == "function" and not BASELINE[name] then FUNCTIONS[name] = true end
end
for name in pairs(rawget(_G, ".get") or {}) do GLOBALS[name] = true end
)lua";

// The keys of the global table sName (values left on nothing).
std::set<std::string> GlobalKeys(lua_State* L, const char* szName)
{
    std::set<std::string> asKeys;
    lua_getglobal(L, szName);
    lua_pushnil(L);
    while (lua_next(L, -2))
    {
        asKeys.insert(lua_tostring(L, -2));
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return asKeys;
}

// The manifest's groups measured over some classes, globals and functions of the opened state.
std::map<std::string, int> Measure(lua_State* L, const std::vector<std::string>& asClasses,
                                   const std::set<std::string>& asGlobals, const std::set<std::string>& asFunctions)
{
    std::map<std::string, int> m;
    lua_getglobal(L, "CLASSES");
    for (const std::string& sClass : asClasses)
    {
        lua_getfield(L, -1, sClass.c_str());
        if (lua_istable(L, -1))
        {
            ++m["classes"];
            m["vector classes"] += sClass.rfind("vector_", 0) == 0;
            for (const char* szFlag : {"new", "delete", "collector"})
            {
                lua_getfield(L, -1, szFlag);
                m[szFlag] += lua_toboolean(L, -1);
                lua_pop(L, 1);
            }
            lua_getfield(L, -1, "fields");
            m["fields"] += static_cast<int>(lua_tointeger(L, -1));
            lua_pop(L, 1);
        }
        else
            ADD_FAILURE() << "not a class of the opened package: " << sClass;
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    const std::set<std::string> asHeldGlobals = GlobalKeys(L, "GLOBALS");
    const std::set<std::string> asHeldFunctions = GlobalKeys(L, "FUNCTIONS");
    for (const std::string& sName : asGlobals)
        EXPECT_TRUE(asHeldGlobals.count(sName)) << "not a variable of the opened package: " << sName;
    for (const std::string& sName : asFunctions)
        EXPECT_TRUE(asHeldFunctions.count(sName)) << "not a function of the opened package: " << sName;
    m["constructor classes"] = m["new"];
    m["collectors"] = m["collector"];
    m["globals"] = static_cast<int>(asGlobals.size());
    m["global function names"] = static_cast<int>(asFunctions.size());
    m["variables"] = m["fields"] + m["globals"];
    return m;
}

// Every group the manifest counts, package-wide and for each table file, against the opened
// package: a registration the build counted but the opening lost (or one no table declares) shows
// here. Overloads replace each other in a class or module table, so the registration counts of
// functions are the runtime's own tally, which only exists package-wide.
TEST_F(EndToEndTest, EveryCountedGroupIsInTheOpenedPackage)
{
    lua_State* L = m_state.L();
    ASSERT_EQ(m_state.Run(kMeasure), "");
    const std::set<std::string> asClasses = GlobalKeys(L, "CLASSES");
    std::map<std::string, int> whole = Measure(L, std::vector<std::string>(asClasses.begin(), asClasses.end()),
                                               GlobalKeys(L, "GLOBALS"), GlobalKeys(L, "FUNCTIONS"));
    const tolua_Counts counts = tolua_counts(L);
    EXPECT_EQ(whole["classes"], counts.classes);
    EXPECT_EQ(whole["collectors"], counts.collectors);
    EXPECT_EQ(whole["variables"], counts.variables);
    whole["types"] = counts.types;
    whole["constants"] = counts.constants;
    whole["functions"] = counts.functions;

    // Constants by group: a name belongs to the longest group prefix it starts with (ATTRDEF_
    // before ATTR_).
    const std::vector<ManifestRow> rows = ReadManifest();
    std::vector<std::string> asPrefixes;
    for (const ManifestRow& row : rows)
        if (row.sFile.empty() && row.sGroup.rfind("constants ", 0) == 0)
            asPrefixes.push_back(row.sGroup.substr(10));
    lua_pushglobaltable(L);
    lua_pushnil(L);
    while (lua_next(L, -2))
    {
        if (lua_type(L, -2) == LUA_TSTRING && lua_isinteger(L, -1))
        {
            const std::string sName = lua_tostring(L, -2);
            std::string sBest;
            for (const std::string& sPrefix : asPrefixes)
                if (sName.rfind(sPrefix, 0) == 0 && sPrefix.size() > sBest.size())
                    sBest = sPrefix;
            if (!sBest.empty())
                ++whole["constants " + sBest];
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);

    std::map<std::string, std::map<std::string, int>> byFile;
    int nCompared = 0;
    for (const ManifestRow& row : rows)
    {
        if (row.bPending)
            continue;
        SCOPED_TRACE(row.sFile + " " + row.sGroup);
        if (!row.sFile.empty() && !byFile.count(row.sFile))
        {
            const TableNames names = ReadTableNames(row.sFile);
            byFile[row.sFile] = Measure(L, names.asClasses, names.asGlobals, names.asFunctions);
        }
        std::map<std::string, int>& measured = row.sFile.empty() ? whole : byFile[row.sFile];
        // Overloads share one table entry, and a row's kind is the table's own: the generator checks
        // those against the table.
        const bool bKind = row.sGroup.size() > 5 && row.sGroup.compare(row.sGroup.size() - 5, 5, " rows") == 0;
        if (bKind || row.sGroup == "global functions" || (row.sGroup == "functions" && !row.sFile.empty()))
            continue;
        ASSERT_TRUE(measured.count(row.sGroup)) << "no measure for this group";
        EXPECT_EQ(measured[row.sGroup], row.nCount);
        ++nCompared;
    }
    EXPECT_GE(nCompared, 26); // types, constants and their 24 groups at least
}
} // namespace
