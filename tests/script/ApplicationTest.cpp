// The application, event, IO, sorting and container classes of the binding package, and Lua
// handlers of the library's named events.

#include "import/XLIFFImporter.h"
#include "script/LuaBindings.h"
#include "script/tolua.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tRegex.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcEvent.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcProperties.h"
#include "varnak/include/tcSort.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
// What C++ handlers and the scripts' mark() calls saw, in order.
std::vector<std::string> g_asMarks;

int Mark(lua_State* L)
{
    g_asMarks.push_back(luaL_checkstring(L, 1));
    return 0;
}

void MarkFirst(tcEvent*, void*, void*, void*)
{
    g_asMarks.push_back("C1");
}

void MarkSecond(tcEvent*, void*, void*, void*)
{
    g_asMarks.push_back("C2");
}

int g_nCountingIODestroyed = 0;

struct CountingIO : tcIO
{
    ~CountingIO() override { ++g_nCountingIODestroyed; }
};

std::unique_ptr<tcIO> AllocateCountingIO()
{
    return std::make_unique<CountingIO>();
}

int CountLines(const tcLogCapture& log, const wxString& sPart)
{
    int n = 0;
    for (const wxString& s : log.Lines())
        n += s.Contains(sPart) ? 1 : 0;
    return n;
}

// The package opened on a test state that stands in for the library's state, so that events call
// their Lua handlers on it. The program's application context and IO registry are globals "app"
// and "registry".
class ApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_state.OpenPackage(), "");
        m_pSavedLua = g_pLua;
        g_pLua = L();
        lua_register(L(), "mark", Mark);
        SetGlobal(tApp(), "tcOvraAppContext", "app");
        SetGlobal(g_pIORegistry, "tcIORegistry", "registry");
        g_asMarks.clear();
    }
    void TearDown() override
    {
        tcEvent::DropAllLuaHandlers();
        g_pLua = m_pSavedLua;
        tLuaSetInstructionBudget(0);
    }

    lua_State* L() const { return m_state.L(); }
    void SetGlobal(void* p, const char* szType, const char* szName)
    {
        tolua_pushusertype(L(), p, szType);
        lua_setglobal(L(), szName);
    }
    std::string Run(const std::string& sChunk) { return m_state.Run(sChunk); }

    ScriptState m_state;
    lua_State* m_pSavedLua = nullptr;
};

TEST_F(ApplicationTest, ClassesBehaveAsTheLibrary)
{
    tcProperties props;
    SetGlobal(&props, "tcProperties", "props");
    EXPECT_EQ(m_state.RunFixture("app_classes.lua"), "");
}

// Containers filled by the library: elements held by value come out as copies, pointers as the
// objects' own boxes, elements that cannot be copied stay where they are.
TEST_F(ApplicationTest, VectorsOfObjects)
{
    tcFieldsList fields;
    fields.aFields = {tcField(1, 2), tcField(3, -1)};
    SetGlobal(&fields, "tcFieldsList", "fields");
    std::vector<tcMatch> aMatches;
    ASSERT_TRUE(tRegSearch("a1 b22", "([a-z])(\\d+)", true, aMatches));
    SetGlobal(&aMatches, "vector<tcMatch>", "matches");
    tcDocument doc;
    doc.CreateDoc("dict");
    tcElement* pElement = doc.GetDTD()->AddElement(std::make_unique<tcElement>("entry", 5));
    tcNode* pNode = doc.AllocateElement(pElement);
    ASSERT_NE(pNode, nullptr);
    SetGlobal(pNode, "tcNode", "node");
    SetGlobal(pElement, "tcElement", "element");

    EXPECT_EQ(m_state.RunFixture("app_vectors.lua"), "");
    ASSERT_EQ(fields.aFields.size(), 3u);
    EXPECT_EQ(fields.aFields[2].nElementID, 1);
    EXPECT_EQ(fields.aFields[2].nAttributeID, 2);
    EXPECT_TRUE(aMatches.empty());
}

TEST_F(ApplicationTest, AllocatedHandlerBelongsToTheScript)
{
    const tGUID guid = tCreateGUID();
    ASSERT_TRUE(g_pIORegistry->RegisterIO(guid, IOFLAG_OPEN, "AppTestIO", "test handler", &AllocateCountingIO));
    g_nCountingIODestroyed = 0;
    EXPECT_EQ(Run(R"lua(
        local guid = registry:GetIOTypeFromTag("AppTestIO")
        expect_eq(registry:GetIOTag(guid), "AppTestIO", "tag")
        expect_eq(registry:GetIOName(guid), "test handler", "name")
        local io = registry:AllocateIO(guid)
        expect_eq(tolua.type(io), "tcIO", "handler")
        expect_eq(io:OpenDatasource("x"), false, "the base handler has no data source")
        expect_eq(io:LoadDictionary(0, nil), -1, "and cannot load")
        expect_eq(io.delete, nil, "no delete: Lua owns it")
        expect_eq(registry:AllocateIO(registry:GetIOTypeFromTag("no such tag")), nil, "unknown type")
        io = nil
        collectgarbage()
        collectgarbage())lua"),
              "");
    EXPECT_EQ(g_nCountingIODestroyed, 1);
    EXPECT_TRUE(g_pIORegistry->Unregister(guid));
}

// The application context forgets its current document and handler when they are destroyed.
TEST_F(ApplicationTest, ContextForgetsDestroyedDocumentAndHandler)
{
    auto pDoc = std::make_unique<tcDocument>();
    auto pIO = std::make_unique<tcIO>();
    tApp()->AppSetDoc(pDoc.get());
    tApp()->AppSetIO(pIO.get());
    EXPECT_EQ(Run("assert(app:GetCurrentDoc() ~= nil and app:GetCurrentIO() ~= nil)"), "");
    pIO.reset();
    EXPECT_EQ(tApp()->GetCurrentIO(), nullptr);
    EXPECT_EQ(tApp()->GetCurrentDoc(), pDoc.get());
    tApp()->AppSetIO(nullptr);
    pDoc.reset();
    EXPECT_EQ(tApp()->GetCurrentDoc(), nullptr);
    EXPECT_EQ(Run("assert(app:GetCurrentDoc() == nil and app:GetCurrentIO() == nil)"), "");
}

// A project loaded through the registry's XLIFF handler, from a script, announces every node it
// inserts; the Lua handler sits between the C++ handlers and receives the handler and node boxes.
TEST_F(ApplicationTest, LuaHandlerSeesEveryInsertedNode)
{
    ASSERT_TRUE(Init_XLIFFImporter());
    Evt_NodeInserted.AddHandler(this, MarkFirst);
    ASSERT_EQ(Run(R"lua(
        nodes, wrong = 0, {}
        -- an error here would only be logged: record what is wrong instead
        function onInserted(event, handler, node)
          mark("L")
          nodes = nodes + 1
          if not rawequal(event, Evt) then wrong[#wrong + 1] = "event" end
          if not rawequal(handler, loader) then wrong[#wrong + 1] = "handler" end
          if tolua.type(node) ~= "tcNode" then wrong[#wrong + 1] = tolua.type(node) end
        end)lua"),
              "");
    tolua_pushusertype(L(), &Evt_NodeInserted, "tcEvent");
    lua_setglobal(L(), "Evt");
    ASSERT_EQ(Run(R"lua(expect_eq(Evt:AddLuaHandler("onInserted"), true, "added")
                       expect_eq(Evt:AddLuaHandler("onInserted"), true, "twice counts once"))lua"),
              "");
    Evt_NodeInserted.AddHandler(this, MarkSecond);
    tcDocument doc;
    doc.CreateDoc("project");
    SetGlobal(&doc, "tcDocument", "doc");
    const std::string sPath = std::string(LINTRADO_FIXTURES_DIR) + "/script/app_project.xlf";
    const std::string sError = Run(R"lua(
        loader = registry:AllocateIO(registry:GetIOTypeFromTag("XLIFFImporter"))
        loader:AttachDoc(doc)
        assert(loader:OpenDatasource(")lua" +
                                   sPath + R"lua("))
        local n
        repeat n = loader:LoadDictionary(0, nil) until n <= 0
        loader:DetachDoc()
        expect_eq(n, 0, "loaded"))lua");
    Evt_NodeInserted.RemoveHandler(this);
    Done_XLIFFImporter();
    EXPECT_EQ(sError, "");
    ASSERT_FALSE(g_asMarks.empty());
    ASSERT_EQ(g_asMarks.size() % 3, 0u);
    for (size_t i = 0; i < g_asMarks.size(); i += 3)
        EXPECT_EQ(g_asMarks[i] + g_asMarks[i + 1] + g_asMarks[i + 2], "C1LC2") << i;
    EXPECT_EQ(Run("expect_eq(nodes, " + std::to_string(g_asMarks.size() / 3) + ", 'one call per node')\n" +
                  "expect_eq(table.concat(wrong, ' '), '', 'arguments')"),
              "");
}

// Arguments as declared: boxes of their types, nil for null, untyped pointers as light userdata.
TEST_F(ApplicationTest, ArgumentsFollowTheEventsDeclaration)
{
    tcDocument doc;
    int nSender = 0;
    lua_pushlightuserdata(L(), &nSender);
    lua_setglobal(L(), "sender");
    SetGlobal(&doc, "tcDocument", "doc");
    SetGlobal(&Evt_DirtyStateChanged, "tcEvent", "dirty");
    SetGlobal(&Evt_OutputOrderChanged, "tcEvent", "order");
    ASSERT_EQ(Run(R"lua(
        seen = {}
        function onDirty(event, d, none) seen[#seen + 1] = {tolua.type(d), rawequal(d, doc), none} end
        function onOrder(event, s, none) seen[#seen + 1] = {type(s), s == sender, none} end
        assert(dirty:AddLuaHandler("onDirty") and order:AddLuaHandler("onOrder")))lua"),
              "");
    doc.SetDirty();
    Evt_OutputOrderChanged.Trigger(&nSender, nullptr);
    EXPECT_EQ(Run(R"lua(
        expect_eq(#seen, 2, "both fired")
        expect_eq(seen[1][1], "tcDocument", "document box")
        expect_eq(seen[1][2], true, "the document's own box")
        expect_eq(seen[1][3], nil, "null is nil")
        expect_eq(seen[2][1], "userdata", "untyped pointer")
        expect_eq(seen[2][2], true, "the same pointer"))lua"),
              "");
}

// A script's trigger passes each handler what the event declares: a box of another class is refused
// with the argument message before any handler runs; an undeclared argument may be anything.
TEST_F(ApplicationTest, AScriptTriggersOnlyWithTheDeclaredClasses)
{
    tcDocument doc;
    SetGlobal(&doc, "tcDocument", "doc");
    SetGlobal(&Evt_DirtyStateChanged, "tcEvent", "dirty");
    SetGlobal(&Evt_OutputOrderChanged, "tcEvent", "order");
    EXPECT_EQ(Run(R"lua(
        seen = {}
        function onDirty(event, d) seen[#seen + 1] = tolua.type(d) end
        function onOrder(event, s) seen[#seen + 1] = type(s) end
        assert(dirty:AddLuaHandler("onDirty") and order:AddLuaHandler("onOrder"))
        local ok, message = pcall(function() dirty:Trigger(vector_double_(), nil) end)
        expect_eq(ok, false, "a vector is no document")
        expect_eq(message:find("'tcDocument' expected", 1, true) ~= nil, true, message)
        expect_eq(#seen, 0, "no handler ran")
        dirty:Trigger(doc, nil)
        dirty:Trigger()
        order:Trigger(vector_double_(), nil)
        expect_eq(#seen, 3, "the sound triggers ran")
        expect_eq(seen[1], "tcDocument", "the document")
        expect_eq(seen[2], "nil", "no argument")
        expect_eq(seen[3], "userdata", "an undeclared argument"))lua"),
              "");
    Evt_DirtyStateChanged.RemoveLuaHandler("onDirty");
    Evt_OutputOrderChanged.RemoveLuaHandler("onOrder");
}

// A failing, missing or endless handler is logged and the trigger goes on; removing a handler and
// redefining its function take effect at the next trigger.
TEST_F(ApplicationTest, HandlerFaultsAreLoggedAndTheTriggerGoesOn)
{
    tcEvent event("Evt_AppTestFaults");
    SetGlobal(&event, "tcEvent", "ev");
    tLuaSetInstructionBudget(100000);
    ASSERT_EQ(Run(R"lua(
        function raising() mark("raising"); error("handler broke") end
        function spinning() mark("spinning"); while true do end end
        function last() mark("last") end
        notAFunction = 42
        for _, name in ipairs({"raising", "notAFunction", "missing", "spinning", "last"}) do
          assert(ev:AddLuaHandler(name), name)
        end)lua"),
              "");
    tcLogCapture log;
    event.Trigger();
    event.Trigger();
    EXPECT_EQ(g_asMarks, (std::vector<std::string>{"raising", "spinning", "last", "raising", "spinning", "last"}));
    EXPECT_EQ(CountLines(log, "handler broke"), 2);
    EXPECT_TRUE(log.Contains("stack traceback"));
    EXPECT_EQ(CountLines(log, "script stopped after"), 2);
    EXPECT_EQ(CountLines(log, "'notAFunction' is not a function"), 1);
    EXPECT_EQ(CountLines(log, "'missing' is not a function"), 1);

    g_asMarks.clear();
    ASSERT_EQ(Run(R"lua(
        expect_eq(ev:RemoveLuaHandler("raising"), true, "removed")
        expect_eq(ev:RemoveLuaHandler("raising"), false, "not there any more")
        expect_eq(ev:RemoveLuaHandler("spinning"), true, "removed")
        function last() mark("redefined") end)lua"),
              "");
    event.Trigger();
    EXPECT_EQ(g_asMarks, (std::vector<std::string>{"redefined"}));
    EXPECT_EQ(Run("return 1 + 1"), "") << "the state still runs scripts";
}

// Lua handlers run only on the main thread; another thread's trigger reaches the C++ handlers.
TEST_F(ApplicationTest, WorkerThreadTriggerCallsNoLua)
{
    tcEvent event("Evt_AppTestThread");
    SetGlobal(&event, "tcEvent", "ev");
    ASSERT_EQ(Run(R"lua(function onEvent() mark("lua") end
                       assert(ev:AddLuaHandler("onEvent")))lua"),
              "");
    int nCalls = 0;
    event.AddHandler(&nCalls, [](tcEvent*, void* pOwner, void*, void*) { ++*static_cast<int*>(pOwner); });
    tcLogCapture log;
    std::thread worker(
        [&event]
        {
            event.Trigger();
            event.Trigger();
        });
    worker.join();
    EXPECT_EQ(nCalls, 2);
    EXPECT_TRUE(g_asMarks.empty());
    EXPECT_EQ(CountLines(log, "other than the main thread"), 1);
    event.Trigger();
    EXPECT_EQ(g_asMarks, (std::vector<std::string>{"lua"}));
}

// Lua handlers need the package on the library's state, and go when the state closes.
TEST(ApplicationStateTest, LuaHandlersNeedTheOpenPackageAndEndWithTheState)
{
    lua_State* pSaved = g_pLua;
    g_pLua = nullptr;
    tcEvent event("Evt_AppTestState");
    EXPECT_FALSE(event.AddLuaHandler("f")) << "no state";
    lua_State* L = tLuaInit();
    ASSERT_NE(L, nullptr);
    EXPECT_FALSE(event.AddLuaHandler("f")) << "no package";
    lua_pushcfunction(L, [](lua_State* S) { return tLuaOpenBindings(S) - 1; });
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), LUA_OK);
    EXPECT_FALSE(event.AddLuaHandler(""));
    EXPECT_TRUE(event.AddLuaHandler("f"));
    EXPECT_TRUE(event.AddLuaHandler("g"));
    EXPECT_EQ(event.GetNumHandlers(), 2);
    tLuaDone();
    EXPECT_EQ(event.GetNumHandlers(), 0);
    event.Trigger(); // nothing left to call
    EXPECT_FALSE(event.RemoveLuaHandler("f"));
    g_pLua = pSaved;
}

} // namespace
