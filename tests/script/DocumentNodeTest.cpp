// The document, node and DTD classes of the binding package as scripts use them: a document built
// from a script, out-of-range indexes, the node class chain, ownership on delete and collection,
// boxes of destroyed objects and the documents the program holds open.

#include "import/XLIFFImporter.h"
#include "script/tolua.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/tcDocument.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
class DocumentNodeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_state.OpenPackage(), "");
        // The script's document, as the program's scripts find theirs.
        tolua_pushusertype(m_state.L(), m_pDoc.get(), "tcDocument");
        lua_setglobal(m_state.L(), "g_pDoc");
    }

    std::string Global(const char* szName)
    {
        lua_getglobal(m_state.L(), szName);
        const char* s = lua_tostring(m_state.L(), -1);
        std::string sValue = s ? s : "(not text)";
        lua_pop(m_state.L(), 1);
        return sValue;
    }

    // A dictionary with one section, one entry (with a text child) and a references node.
    static constexpr const char* kSmallTree = R"lua(
        doc = g_pDoc
        doc:CreateEmptyOvraDTD()
        root = tolua.cast(doc:AllocateElementByID(1), "tcDictionary")
        doc:SetDictionary(root)
        section = root:AddLanguage("S")
        entry = tolua.cast(doc:AllocateElementByID(4), "tcEntry")
        entry:SetLemmaSign("word")
        section:InsertEntry(entry)
        text = doc:AllocateTextNode("body")
        entry:AddChildLast(text)
        kind = entry:GetElement()
        lemma = kind:GetAttribute(0))lua";

    std::unique_ptr<tcDocument> m_pDoc = std::make_unique<tcDocument>();
    ScriptState m_state;
};

TEST_F(DocumentNodeTest, ScriptBuildsADocumentAndItsXML)
{
    ASSERT_EQ(m_state.RunFixture("docnode_build.lua"), "");
    EXPECT_EQ(Global("result_xml"), "<Dictionary Name=\"Demo\"><Section Name=\"English\"><Lemma LemmaSign=\"b&amp;c\"/>"
                                    "<Lemma LemmaSign=\"a&lt;d\" Note=\"said &quot;hi&quot;\">x &lt; y<![CDATA[<raw>]]>"
                                    "</Lemma></Section></Dictionary>");
    ASSERT_NE(m_pDoc->GetDictionary(), nullptr);
    EXPECT_EQ(m_pDoc->GetDictionary()->GetDatabaseName(), "Demo");
}

// The same through the global element routines; it runs once the package binds them.
TEST_F(DocumentNodeTest, ScriptBuildsADocumentThroughTheGlobalRoutines)
{
    if (m_state.Run("assert(tAddElement and AllocateElementByIDHelper)") != "")
        GTEST_SKIP() << "tAddElement and AllocateElementByIDHelper are not bound in this package";
    ASSERT_EQ(m_state.RunFixture("docnode_globals.lua"), "");
    EXPECT_EQ(Global("result_xml"), "<glossary><term lang=\"en\">cat &amp; dog</term></glossary>");
}

// Only what the script made can be handed to Lua's collector: a child relation or a special type
// the library holds stays the library's, whose objects the collector would free under their owner.
TEST_F(DocumentNodeTest, TakeOverRefusesWhatTheLibraryHolds)
{
    if (m_state.Run("assert(tAddElement)") != "")
        GTEST_SKIP() << "tAddElement is not bound in this package";
    EXPECT_EQ(m_state.Run(R"lua(
        local doc = g_pDoc
        doc:CreateDoc("glossary")
        local glossary = tAddElement(doc, "glossary")
        local term = tAddElement(doc, "term")
        glossary:AddChildElement(term, CHILD_ONE)
        expect_eq(tolua.takeownership(glossary:GetChildElement(0)), false, "an element's child relation")
        expect_eq(tolua.takeownership(doc:AddSpecialType(3)), false, "a document's special type")
        local relation = tcChildRelation:new()
        expect_eq(tolua.takeownership(relation), true, "a relation the script made")
        expect_eq(tolua.releaseownership(relation), true, "given back")
        expect_eq(tolua.takeownership(relation), true, "and taken again")
        expect_eq(tolua.takeownership(tcSpecialType:new()), true, "a special type the script made")
        relation = nil
        collectgarbage()
        collectgarbage()
        expect_eq(glossary:GetChildElement(0).pElement, term, "the held relation is still there")
        expect_eq(doc:FindSpecial(3) ~= nil, true, "and the held special type"))lua"),
              "");
}

TEST_F(DocumentNodeTest, IndexesOutOfRangeGiveTheNeutralAnswer)
{
    EXPECT_EQ(m_state.RunFixture("docnode_bounds.lua"), "");
}

TEST_F(DocumentNodeTest, SubentryBoxReachesAndPassesAsEveryBase)
{
    ASSERT_EQ(m_state.Run(kSmallTree), "");
    EXPECT_EQ(m_state.Run(R"lua(
        local sub = tcSubentry:new(doc, kind)
        expect_eq(tolua.type(sub), "tcSubentry", "box type")
        -- members of tcEntry, of tcNode (through tcElementNode)
        sub:SetNew(true)
        expect_eq(sub:IsNew(), true, "tcEntry member")
        expect_eq(sub:SetLemmaSign("sub"), true, "tcEntry member with the kind's attribute")
        expect_eq(sub:GetClassType(), NODE_SUBENTRY, "tcNode member")
        expect_eq(sub:IsKindOfClass(NODE_ENTRY), true, "a subentry is of the entry kind")
        -- arguments that expect a tcEntry, a tcNode
        expect_eq(entry:AddChildLast(sub), true, "as tcNode argument")
        expect_eq(section:CmpLemmaSigns(sub, entry) < 0, true, "as tcEntry argument: \"sub\" before \"word\"")
        expect_eq(sub:GetParent(), entry, "the same box comes back for the parent")
        local asElementNode = tolua.cast(sub, "tcElementNode")
        expect_eq(asElementNode:GetNumChildren(), 0, "tcNode member on the tcElementNode box")
        expect_eq(tolua.cast(asElementNode, "tcSubentry"):GetLemmaSign(), "sub", "cast back down"))lua"),
              "");
}

// Deleting what an owner holds does the owner's removal; collecting what Lua owns never frees what
// a document or a parent holds.
TEST_F(DocumentNodeTest, DeleteAndCollectionFollowTheOwner)
{
    ASSERT_EQ(m_state.Run(kSmallTree), "");
    EXPECT_EQ(m_state.Run(R"lua(
        -- a node in the tree: detached, its subtree freed
        local child = doc:AllocateTextNode("inner")
        entry:AddChildLast(child)
        expect_eq(entry:GetNumChildren(), 2, "before")
        entry:delete()
        expect_eq(section:GetNumEntries(), 0, "the entry left its section")
        expect_error(function() return child:GetText() end, "invalid 'self' in function 'GetText'", "child of the deleted entry")
        expect_error(function() return text:GetText() end, "invalid 'self' in function 'GetText'", "text of the deleted entry")

        -- an attribute of a kind: removed from its element
        local n = kind:GetNumAttributes()
        local note = kind:AddAttribute("Note", ATTR_CDATA, ATTRDEF_IMPLIED)
        note:delete()
        expect_eq(kind:GetNumAttributes(), n, "the attribute left its element")
        expect_error(function() return note:GetName() end, "invalid 'self' in function 'GetName'", "deleted attribute")

        -- a stand-alone attribute handed to an element belongs to it afterwards
        local loose = tcAttribute("Loose", ATTR_CDATA, ATTRDEF_IMPLIED)
        expect_eq(kind:InsertAttribute(loose, 0), loose, "inserted")
        expect_eq(kind:InsertAttribute(loose, 0), nil, "an attribute of an element is not taken twice")
        loose = nil
        collectgarbage()
        expect_eq(kind:GetAttribute(0):GetName(), "Loose", "kept by its element")

        -- a label set of a list
        local list = tcAttrList()
        local labels = list:AddLabelSet("L")
        labels:delete()
        expect_eq(list:GetNumLabelSets(), 0, "the label set left its list")

        -- Lua-owned nodes without a document: a child belongs to its parent, a node attached to a
        -- document's tree to the document
        local parent = tcEntry(nil, kind)
        expect_eq(parent:AddChildLast(tcText("kept by the parent")), true, "docless child added")
        expect_eq(section:AddChildLast(tcText("kept by the document")), true, "attached")
        collectgarbage()
        collectgarbage()
        local function textOf(node) return tolua.cast(node, "tcText"):GetText() end
        expect_eq(textOf(parent:GetChild(0)), "kept by the parent", "docless child")
        expect_eq(textOf(section:GetChild(0)), "kept by the document", "attached node")
        local copy = parent:GetChild(0):Clone()
        expect_eq(textOf(copy), "kept by the parent", "a copy without a document is the script's"))lua"),
              "");
    EXPECT_EQ(m_state.Run("collectgarbage() collectgarbage()"), "");
    ASSERT_NE(m_pDoc->GetSection(0), nullptr);
    EXPECT_EQ(m_pDoc->GetSection(0)->GetNumChildren(), 1);
}

TEST_F(DocumentNodeTest, BoxesOfDeletedObjectsRaise)
{
    ASSERT_EQ(m_state.Run(kSmallTree), "");
    EXPECT_EQ(m_state.Run(R"lua(
        local t = tcText:new("x")
        t:delete()
        expect_error(function() return t:GetText() end, "invalid 'self' in function 'GetText'", "after delete")
        expect_error(function() t:delete() end, "invalid 'self' in function 'delete'", "delete twice")

        local refs = tolua.cast(doc:AllocateElementByID(6), "tcReferences")
        entry:AddChildLast(refs)
        expect_eq(doc:DeleteTreeFromDoc(entry), true, "deleted from the document")
        expect_error(function() return refs:GetNumRefEntries() end,
                     "invalid 'self' in function 'GetNumRefEntries'", "node below the deleted one")
        expect_error(function() return entry:GetLemmaSign() end,
                     "invalid 'self' in function 'GetLemmaSign'", "the deleted node")
        expect_eq(doc:IsDirty(), true, "the deletion marks the document"))lua"),
              "");
}

TEST_F(DocumentNodeTest, EveryBoxFailsAfterTheDocumentIsDestroyed)
{
    ASSERT_EQ(m_state.Run(kSmallTree), "");
    ASSERT_EQ(m_state.Run(R"lua(
        held = {
          {doc, "IsDirty"}, {root, "GetDatabaseName"}, {section, "GetNumEntries"}, {entry, "GetLemmaSign"},
          {text, "GetText"}, {kind, "GetName"}, {lemma, "GetName"}, {section:GetElement():GetChildElement(0), "nFlags"},
          {doc:AddSpecialType(SPECIAL_TERM_TERM), "FindElement", 4}, {doc:SetBlock(3, "B", "data"), "GetSize"},
          {doc:AllocateErrorNode(), "GetErrorType"},
        }
        assert(#held == 11, "every case has its box"))lua"),
              "");
    m_pDoc.reset();
    EXPECT_EQ(m_state.Run(R"lua(
        for i, case in ipairs(held) do
          local box, method = case[1], case[2]
          local ok, msg = pcall(function()
            local member = box[method]
            return type(member) == "function" and member(box, table.unpack(case, 3)) or member
          end)
          assert(not ok, "box " .. i .. " still works")
          assert(tostring(msg):find("invalid 'self'", 1, true), "box " .. i .. ": " .. tostring(msg))
        end
        expect_eq(g_pDoc, nil, "the current document is forgotten with it"))lua"),
              "");
}

// A document the program holds open (a project, a memory, a rule file) keeps its tree: the calls
// that free or reset the whole document are refused, editing its nodes is not.
TEST_F(DocumentNodeTest, HeldDocumentRefusesWholeDocumentCalls)
{
    ASSERT_EQ(m_state.Run(kSmallTree), "");
    m_pDoc->SetHeldByProgram(true);
    EXPECT_EQ(m_state.Run(R"lua(
        local held = "the document is held open by the program and cannot be freed or reset"
        local refused = {
          {"DeleteDoc", function() doc:DeleteDoc() end},
          {"Destroy", function() doc:Destroy() end},
          {"CreateDoc", function() doc:CreateDoc("again") end},
          {"DeleteTreeFromMem", function() doc:DeleteTreeFromMem(root) end},
          {"DeleteTreeFromDoc", function() doc:DeleteTreeFromDoc(root) end},
          {"delete", function() root:delete() end},
          {"Destroy", function() root:Destroy() end},
          {"Destroy", function() doc:GetDTD():Destroy() end},
        }
        for _, case in ipairs(refused) do
          expect_error(case[2], "error in function '" .. case[1] .. "': " .. held, case[1])
        end
        expect_eq(doc:GetDictionary(), root, "the root is still there")
        expect_eq(doc:GetDTD():GetNumElements() > 0, true, "the element kinds are still there")
        expect_eq(entry:SetLemmaSign("edited"), true, "editing a node")
        expect_eq(doc:DeleteTreeFromMem(text), true, "deleting a node below the root"))lua"),
              "");
    ASSERT_NE(m_pDoc->GetSection(0), nullptr);
    EXPECT_EQ(m_pDoc->GetSection(0)->GetNumEntries(), 1);

    m_pDoc->SetHeldByProgram(false);
    EXPECT_EQ(m_state.Run(R"lua(
        doc:DeleteDoc()
        expect_eq(doc:GetDictionary(), nil, "a document nobody holds can be reset")
        expect_error(function() return root:GetNumSections() end, "invalid 'self' in function 'GetNumSections'", "old root"))lua"),
              "");
}

TEST_F(DocumentNodeTest, TextWithLengthTakesAtMostTheText)
{
    EXPECT_EQ(m_state.Run(R"lua(
        local t = tcText()
        for _, case in ipairs({{"abcdef", 2, "ab"}, {"abc", 99, "abc"}, {"äöü", 2, "äö"}, {"x", 0, ""}}) do
          t:SetTextWithLen(case[1], case[2])
          expect_eq(t:GetText(), case[3], case[1] .. " " .. case[2])
        end
        local c = g_pDoc:AllocateCDataNode()
        c:SetTextWithLen("<a>", 1000)
        expect_eq(c:GetTextStr(), "<a>", "CDATA"))lua"),
              "");
}
} // namespace

// A pointer kept in a vector, a record's field or another object outlives its object: read back
// afterwards it is nil, never a box that would reach freed memory.
TEST_F(DocumentNodeTest, KeptPointersOfDestroyedObjectsReadBackAsNil)
{
    if (m_state.Run("assert(tAddElement)") != "")
        GTEST_SKIP() << "tAddElement is not bound in this package";
    ASSERT_EQ(m_state.Run(kSmallTree), "");
    struct Case
    {
        const char* szName;
        const char* szScript;
    };
    const Case aCases[] = {
        {"a vector's element", R"lua(
            local parent, child = tcNode:new(), tcNode:new()
            parent:AddChildLast(child)
            local v = vector_tcNode__()
            parent:GetAllDescendants(v)
            expect_eq(v[0], child, "alive")
            parent:delete()
            expect_eq(v[0], nil, "after its parent was deleted"))lua"},
        {"a record's field", R"lua(
            local node, diff = tcNode:new(), tcDiff()
            diff.pNodeL = node
            node:delete()
            expect_eq(diff.pNodeL, nil, "after the node was deleted"))lua"},
        {"an order item's kind", R"lua(
            local kind = tAddElement(doc, "gone")
            local item = tcOrderElement(kind)
            expect_eq(item:GetElement(), kind, "alive")
            expect_eq(doc:GetDTD():DeleteElement(kind), true, "deleted")
            expect_eq(item:GetElement(), nil, "after the kind was deleted"))lua"},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(m_state.Run(c.szScript, c.szName), "") << c.szName;
}

// The program closes a document that a script's context and handler still hold.
TEST_F(DocumentNodeTest, ContextsAndHandlersLetADestroyedDocumentGo)
{
    ASSERT_TRUE(Init_XLIFFImporter());
    struct Unregister
    {
        ~Unregister() { Done_XLIFFImporter(); }
    } unregister;
    ASSERT_EQ(m_state.Run(R"lua(
        context = tcAppContext:new()
        context:AppSetDoc(g_pDoc)
        handler = g_pIORegistry:AllocateIO(g_pIORegistry:GetIOTypeFromTag("XLIFFImporter"))
        handler:AttachDoc(g_pDoc)
        expect_eq(handler:GetDoc(), g_pDoc, "attached"))lua"),
              "");
    m_pDoc.reset();
    EXPECT_EQ(m_state.Run(R"lua(
        expect_eq(context:GetDoc(), nil, "the context's document")
        expect_eq(handler:GetDoc(), nil, "the handler's document")
        expect_eq(handler:SaveAs(os.tmpname(), nil) ~= 0, true, "saving without a document"))lua"),
              "");
}
