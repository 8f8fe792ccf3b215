// Scripts and the document's DTD, style sets, styles and output orders, and the clone and compare
// records, through the package as the program opens it. Who frees what is the point of most cases:
// run them under the sanitizer build too.

#include "script/tolua.h"
#include "tests/script/ScriptTestSupport.h"
#include "varnak/include/tcDTD.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"
#include "varnak/include/tcRecords.h"
#include "varnak/include/tcStyles.h"
#include "varnak/include/tcThreads.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// make_element(name[, id]): a new element kind that nobody holds yet; the script hands it to a DTD.
int MakeElement(lua_State* L)
{
    auto* p = new tcElement(wxString::FromUTF8(luaL_checkstring(L, 1)), static_cast<int>(luaL_optinteger(L, 2, 0)));
    tolua_pushusertype(L, p, "tcElement");
    return 1;
}

// A document with two element kinds (entry with the attribute type and the child sense), the style
// set "Default" with an element style for entry and an attribute style for entry's type, and an
// output order: entry shows sense and type, sense hides its text. A second, empty style set.
class DocumentStyleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tcThreads::SetMainThread();
        ASSERT_EQ(m_state.OpenPackage(), "");
        lua_register(L(), "make_element", MakeElement);

        m_doc.CreateDoc("styles");
        tcDTD* pDTD = m_doc.GetDTD();
        m_pEntry = pDTD->AddElement(std::make_unique<tcElement>("entry", 0));
        m_pSense = pDTD->AddElement(std::make_unique<tcElement>("sense", 0));
        m_pType = m_pEntry->AddAttribute("type", ATTR_CDATA, ATTRDEF_IMPLIED);
        m_pEntry->AddChildElement(m_pSense, CHILD_ZEROORMORE);

        m_pStyles = m_doc.GetStyleSet(0);
        m_pEntryStyle = static_cast<tcStyleElement*>(m_pStyles->AddStyle(std::make_unique<tcStyleElement>(m_pEntry)));
        m_pTypeStyle = static_cast<tcStyleAttribute*>(
            m_pStyles->AddStyle(std::make_unique<tcStyleAttribute>(m_pEntry, m_pType)));
        tcOrder* pOrder = m_pStyles->GetOrder();
        pOrder->AddElementOrderChild(m_pEntry, m_pSense);
        pOrder->AddElementOrderAttribute(m_pEntry, m_pType);
        pOrder->AddElementOrderPCDATA(m_pSense, false);
        m_pStyles2 = m_doc.AddStyleSet("Empty");

        SetGlobal("doc_dtd", pDTD, "tcDTD");
        SetGlobal("styles", m_pStyles, "tcStyles");
        SetGlobal("styles2", m_pStyles2, "tcStyles");
        SetGlobal("entry", m_pEntry, "tcElement");
        SetGlobal("sense", m_pSense, "tcElement");
        SetGlobal("type_attr", m_pType, "tcAttribute");
        lua_pushinteger(L(), m_pEntry->GetID());
        lua_setglobal(L(), "entry_id");
    }

    lua_State* L() const { return m_state.L(); }
    void SetGlobal(const char* szName, void* p, const char* szType)
    {
        tolua_pushusertype(L(), p, szType);
        lua_setglobal(L(), szName);
    }

    // Declared first so that the state (and the collectors it runs) goes before the document.
    tcDocument m_doc;
    ScriptState m_state;
    tcElement* m_pEntry = nullptr;
    tcElement* m_pSense = nullptr;
    tcAttribute* m_pType = nullptr;
    tcStyles* m_pStyles = nullptr;
    tcStyles* m_pStyles2 = nullptr;
    tcStyleElement* m_pEntryStyle = nullptr;
    tcStyleAttribute* m_pTypeStyle = nullptr;
};

TEST_F(DocumentStyleTest, StyleBoxesReachEveryStyleMemberAndField)
{
    ASSERT_EQ(m_state.RunFixture("docstyle_styles.lua"), "");
    // The script changed the set's own styles.
    EXPECT_EQ(m_pStyles->GetNumStyles(), 2);
    EXPECT_EQ(m_pEntryStyle->sFont, "A, B\\C");
    EXPECT_EQ(m_pTypeStyle->GetFont(), "A, B\\C");
    EXPECT_EQ(m_pTypeStyle->GetBeforeO(), wxString::FromUTF8("\xc2\xab"));
    EXPECT_FLOAT_EQ(m_pTypeStyle->fIndentR, 3.0f);
    EXPECT_FLOAT_EQ(m_pEntryStyle->BorderT.GetWidth(), 4.0f);
    EXPECT_FLOAT_EQ(m_pEntryStyle->BorderB.GetWidth(), 1.5f);
    EXPECT_EQ(m_pEntryStyle->GetTableBorder()->GetBorderStyle(), BORDER_DOUBLE);
    EXPECT_TRUE(m_pTypeStyle->GetRowE());
}

TEST_F(DocumentStyleTest, OutputOrderWalkedAndEditedFromLua)
{
    ASSERT_EQ(m_state.RunFixture("docstyle_orders.lua"), "");
    EXPECT_EQ(m_pStyles->GetOrder()->GetNumElements(), 0);
    EXPECT_EQ(m_pStyles2->GetOrder()->GetNumElements(), 0);
    m_state.Close();
}

TEST_F(DocumentStyleTest, DTDBuiltAndQueriedFromLua)
{
    ASSERT_EQ(m_state.RunFixture("docstyle_dtd.lua"), "");
}

TEST_F(DocumentStyleTest, StyleSetQueries)
{
    ASSERT_EQ(m_state.Run(R"lua(
        local es, as = styles:GetStyle(0), styles:GetStyle(1)
        expect_eq(styles:GetNumStyles(), 2, "styles")
        expect_eq(styles:FindElementStyle(entry), es, "element style by kind")
        expect_eq(styles:FindElementStyleByID(entry_id), es, "by identifier")
        expect_eq(styles:FindAttributeStyle(entry, type_attr), as, "attribute style")
        expect_eq(styles:FindAttributeStyleByName("entry", "type"), as, "attribute style by names")
        expect_eq(styles:FindAttributeStyleByName("entry", "kind"), nil, "no such attribute style")
        expect_eq(styles:FindElementStyle(sense), nil, "no style for sense")
        expect_eq(styles:GetStyle(2), nil, "index past the end")
        expect_eq(styles:GetStyle(-1), nil, "negative index")
        expect_eq(styles:GetMasks(), nil, "no masks")
        expect_eq(styles:GetName(), "Default", "name")
        styles:SetName("Print")
        styles2:RenameStyleSet("Écran")
        expect_eq(styles2:GetName(), "Écran", "renamed")
        styles:RemoveAttributeCompletely(type_attr)
        expect_error(function() return as:GetBold() end, "invalid 'self' in function 'GetBold'", "removed style")
        expect_eq(styles:GetNumStyles(), 1, "one style left")
        styles:RemoveElementCompletely(entry)
        expect_error(function() return es.sFont end, "invalid 'self' in accessing variable 'sFont'", "removed style")
        expect_eq(styles:GetNumStyles(), 0, "none left"))lua"),
              "");
    EXPECT_EQ(m_pStyles->GetName(), "Print");
    EXPECT_EQ(m_pStyles2->GetName(), wxString::FromUTF8("\xc3\x89" "cran"));
}

// What a document holds stays the document's: delete is refused, collection leaves it, and when the
// document frees it, every box of it and of its parts is emptied.
TEST_F(DocumentStyleTest, DocumentHeldObjectsStayTheDocuments)
{
    ASSERT_EQ(m_state.Run(R"lua(
        expect_error(function() doc_dtd:delete() end,
          "'delete' refused: the object belongs to its owner; use Destroy to empty it", "held DTD")
        expect_eq(tolua.takeownership(doc_dtd), false, "held DTD stays the document's")
        expect_eq(doc_dtd:GetNumElements(), 2, "DTD intact")
        local es = styles:FindElementStyle(entry)
        expect_eq(tolua.takeownership(es), false, "held style stays its set's")
        local item = styles:GetOrder():GetOrderElement(entry):GetOrderItem(0)
        expect_eq(tolua.takeownership(item), false, "held order item stays its order's")
        -- boxes of classes without a collector, and boxes of held objects, go without freeing anything
        local boxes = {styles, styles:GetOrder(), styles:GetOrder():GetOrderElementByIndex(0), es, es.BorderT, item}
        boxes, es, item = nil, nil, nil
        doc_dtd, styles = nil, nil
        collectgarbage(); collectgarbage())lua"),
              "");
    EXPECT_EQ(m_doc.GetDTD()->GetNumElements(), 2);
    ASSERT_EQ(m_doc.GetNumStyleSets(), 2);
    EXPECT_EQ(m_doc.GetStyleSet(0)->GetNumStyles(), 2);
    EXPECT_EQ(m_doc.GetStyleSet(0)->GetOrder()->GetOrderElement(m_pEntry)->GetNumOrderItems(), 2);
}

TEST_F(DocumentStyleTest, BoxesEmptiedWhenTheDocumentFreesTheirObjects)
{
    // Deleting a kind from Lua takes its styles and order items with it.
    ASSERT_EQ(m_state.Run(R"lua(
        local order = styles:GetOrder()
        local senseItem = order:GetOrderElement(entry):GetElementItem(sense)
        local senseItems = order:GetOrderElement(sense)
        expect_eq(doc_dtd:DeleteElement(sense), true, "kind deleted")
        expect_error(function() return senseItem:GetElement() end, "invalid 'self' in function 'GetElement'", "item")
        expect_error(function() return senseItems:GetNumOrderItems() end,
          "invalid 'self' in function 'GetNumOrderItems'", "the kind's order")
        expect_eq(order:GetOrderElement(entry):GetNumOrderItems(), 1, "entry's other item kept")

        kept = {set = styles, order = order, items = order:GetOrderElement(entry),
                item = order:GetOrderElement(entry):GetOrderItem(0), style = styles:GetStyle(0),
                border = styles:GetStyle(0).BorderT, tableBorder = styles:GetStyle(0):GetTableBorder()})lua"),
              "");
    EXPECT_EQ(m_pStyles->GetOrder()->GetNumElements(), 1);
    EXPECT_EQ(m_doc.GetDTD()->FindElementByName("sense"), nullptr);

    // The document frees the style set with everything in it.
    ASSERT_TRUE(m_doc.DeleteStyleSet(0));
    EXPECT_EQ(m_state.Run(R"lua(
        local cases = {
          {kept.set, "GetNumStyles"}, {kept.order, "GetNumElements"}, {kept.items, "GetNumOrderItems"},
          {kept.item, "IsVisible"}, {kept.style, "GetFont"}, {kept.border, "GetWidth"}, {kept.tableBorder, "GetColour"},
        }
        for _, c in ipairs(cases) do
          local box, name = c[1], c[2]
          expect_error(function() return box[name](box) end, "invalid 'self' in function '" .. name .. "'", name)
        end
        expect_eq(styles2:GetNumStyles(), 0, "the other set is untouched")
        kept = nil
        collectgarbage(); collectgarbage())lua"),
              "");
}

TEST_F(DocumentStyleTest, CloneAndCompareRecords)
{
    tcCloneContext context(&m_doc, nullptr);
    context.Ignore(m_pEntry, m_pType);
    SetGlobal("context", &context, "tcCloneContext");
    SetGlobal("ignored", &context.aIgnoreFields[0], "tcCloneContext::tcField");
    tcCompareHighlight highlight;
    highlight.pAttr = m_pType;
    SetGlobal("highlight", &highlight, "tcCompareHighlight");

    ASSERT_EQ(m_state.Run(R"lua(
        local V = "invalid type in variable assignment.\n     value is '%s'; '%s' expected.\n"
        expect_eq(type(tcCloneContext.tcField), "table", "nested class")
        expect_eq(tolua.type(ignored), "tcCloneContext::tcField", "nested record box")
        expect_eq(ignored.pElem, entry, "ignored kind")
        expect_eq(ignored.pAttr, type_attr, "ignored attribute")
        ignored.pAttr = nil
        expect_eq(tolua.type(context.aIgnoreFields), "vector<tcCloneContext::tcField>", "ignore list")
        expect_eq(context.pSourceDoc, nil, "no source")
        context.pSourceDoc = context.pTargetDoc
        context.bMergeDTDs = true
        expect_error(function() context.bOverwriteAttributes = 1 end, string.format(V, "number", "boolean"), "flag")
        expect_error(function() context.pTargetDoc = entry end, string.format(V, "tcElement", "tcDocument"), "document")

        local made = tcCloneContext()
        expect_eq(made.pTargetDoc, nil, "made context")
        expect_eq(made.bRefsAtEnd, false, "made context's flag")
        expect_eq(tolua.type(made.apRefL), "vector<tcNode*>", "reference lists")

        local d = tcDiff()
        d.nType = DIFF_ATTRIBUTE
        d.pAttrL = type_attr
        expect_eq(d.nType, DIFF_ATTRIBUTE, "difference kind")
        expect_eq(d.pAttrL, type_attr, "left attribute")
        expect_eq(d.pNodeR, nil, "no right node")

        expect_eq(highlight.pAttr, type_attr, "highlighted attribute")
        highlight.pAttrOther = type_attr
        expect_eq(tcCompareHighlight.new, nil, "no constructor")
        expect_eq(tsCompareContext.new, nil, "no constructor"))lua"),
              "");
    EXPECT_EQ(context.aIgnoreFields[0].pAttr, nullptr);
    EXPECT_EQ(context.aIgnoreFields[0].pElem, m_pEntry);
    EXPECT_EQ(context.pSourceDoc, &m_doc);
    EXPECT_TRUE(context.bMergeDTDs);
    EXPECT_FALSE(context.bOverwriteAttributes);
    EXPECT_EQ(highlight.pAttrOther, m_pType);
    // The records die before the state: their boxes are emptied, not left pointing at the stack.
    m_state.Run("keep = {context, ignored, highlight}");
}
} // namespace
