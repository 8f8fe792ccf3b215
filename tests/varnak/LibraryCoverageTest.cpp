#include "varnak/include/tDocRoutines.h"

#include "tests/varnak/DomTestUtil.h"

#include "varnak/include/tGlobals.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tNotSupported.h"
#include "varnak/include/tcSort.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

// A reversing comparator, to show that the method owns and uses the one it is given.
class ReverseSort : public tcSort
{
public:
    int Cmp(const wxString& a, const wxString& b) const override { return tcSort::Cmp(b, a); }
};

TEST(SortMethod, ConfigurationTravelsBetweenMethodAndComparator)
{
    tcSortMethod method(3, "German");
    EXPECT_EQ(3, method.GetID());
    EXPECT_FALSE(method.GetSort()->CanConfigure());
    EXPECT_FALSE(method.GetSort()->ConfigureSortMethod());

    const std::string sBytes("\x01\x00\xFFz", 4); // configuration is bytes, zeros included
    method.SetCfgData(sBytes);
    EXPECT_EQ(4, method.GetCfgSize());
    EXPECT_TRUE(method.InitUsingCfgData());
    EXPECT_EQ(sBytes, method.GetSort()->SaveCfgBlock());

    method.GetSort()->ReadCfgBlock("changed");
    method.UpdateCfgData();
    EXPECT_EQ("changed", method.GetCfgData());

    method.SetSort(std::make_unique<ReverseSort>());
    EXPECT_GT(method.GetSort()->Cmp("a", "b"), 0);
    method.SetSort(nullptr); // back to the code-unit order, never null
    EXPECT_LT(method.GetSort()->Cmp("a", "b"), 0);

    method.Init(4, "Plain");
    EXPECT_EQ(0, method.GetCfgSize());
    EXPECT_EQ("Plain", method.GetName());
}

TEST(SortedEntry, CachesTheAttributeValue)
{
    DomDoc d;
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pEntry);
    pEntry->SetLemmaSign("zebra");
    tcAttribute* pLemma = pEntry->GetElement()->FindAttributeByID(1);

    tcSortedEntry sorted(pEntry);
    sorted.SetValAttr(pEntry, pLemma);
    pEntry->SetLemmaSign("aardvark"); // the cached value stays
    EXPECT_EQ("zebra", sorted.GetVal());
    EXPECT_EQ(pEntry->GetID(), sorted.idValNode);
    EXPECT_EQ(1, sorted.idValAttr);
    EXPECT_EQ(pEntry, sorted.GetEntry());
    sorted.SetValAttr(nullptr, pLemma);
    EXPECT_EQ("", sorted.GetVal());
    EXPECT_EQ(idNULL, sorted.idValNode);
}

TEST(DocumentCoverage, BlocksAreReplacedByIdentifier)
{
    tcDocument doc;
    doc.CreateDoc("blocks");
    doc.SetBlockLoad(7, "Settings", std::string("a\0b", 3));
    EXPECT_FALSE(doc.IsDirty());
    doc.SetBlock(9, "Templates", "t");
    EXPECT_TRUE(doc.IsDirty());
    doc.SetBlock(7, "Settings2", "new");
    ASSERT_EQ(2, doc.GetNumBlocks());
    EXPECT_EQ("new", doc.GetBlockByID(7)->GetData());
    EXPECT_EQ("Settings2", doc.GetBlockByID(7)->GetName());
    EXPECT_EQ(0, doc.GetBlockByID(7)->GetBlockNum());
    EXPECT_EQ(9, doc.GetBlock(1)->GetID());
    EXPECT_EQ(nullptr, doc.GetBlock(2));
    EXPECT_EQ(nullptr, doc.GetBlockByID(8));
    doc.DeleteDoc();
    EXPECT_EQ(0, doc.GetNumBlocks());
}

TEST(DocumentCoverage, DefaultDictionarySetUp)
{
    tcDocument doc;
    doc.CreateDoc("d");
    doc.CreateDefaultOvraDTD();
    const tcDTD* pDTD = doc.GetDTD();
    const tcAttrList* pPOS = pDTD->FindListByName("POS");
    ASSERT_NE(nullptr, pPOS);
    EXPECT_GE(pPOS->FindByText("noun"), 0);
    ASSERT_NE(nullptr, pDTD->FindListByName("Labels"));
    EXPECT_EQ(1, pPOS->GetNumLabelSets());
    EXPECT_EQ(pPOS->GetNumItems(), pPOS->GetLabelSet(0)->GetNumLabels());
    EXPECT_NE(nullptr, pDTD->FindEntity("amp"));
    EXPECT_NE(nullptr, pDTD->FindEntity("nbsp"));
    EXPECT_EQ(DOCTYPE_DICTIONARY, doc.GetDocumentType());

    // Running the parts again adds nothing twice.
    const int nItems = pPOS->GetNumItems();
    doc.CreateDefaultPOSs();
    doc.CreateDefaultLabelSets();
    EXPECT_EQ(nItems, pPOS->GetNumItems());
    EXPECT_EQ(1, pPOS->GetNumLabelSets());

    doc.CreateEmptyTermDTD();
    EXPECT_EQ(DOCTYPE_TERM, doc.GetDocumentType());
    EXPECT_TRUE(doc.FindSpecial(SPECIAL_TERM_TERM)->IsSelected(11, 1));
    EXPECT_TRUE(tIsSpecialElement(&doc, SPECIAL_TERM_LANGUAGE, ELEMENTID_SECTION));

    std::vector<tcSpecialType> aSpecials = doc.GetSpecialTypes();
    ASSERT_EQ(2u, aSpecials.size());
    aSpecials.pop_back();
    doc.SetSpecialTypes(aSpecials);
    EXPECT_EQ(nullptr, doc.FindSpecial(SPECIAL_TERM_TERM));
    EXPECT_NE(nullptr, doc.FindSpecial(SPECIAL_TERM_LANGUAGE));

    EXPECT_THROW(doc.SetupDefaultAutonumbering(), tcNotSupported);
    EXPECT_THROW(doc.SetFilter(nullptr), tcNotSupported);
    EXPECT_FALSE(doc.Cut(doc.GetDictionary()));
    EXPECT_EQ(nullptr, doc.GetCurrentFilter());
}

TEST(DocumentCoverage, SpecialTypeSelection)
{
    tcSpecialType special;
    special.Select(4, 1);
    special.Select(4, 1);
    special.Select(4, 2);
    special.Select(5, 1);
    EXPECT_EQ(3u, special.aDesc.size());
    EXPECT_TRUE(special.IsSelected(4));
    EXPECT_FALSE(special.IsSelected(4, 3));
    EXPECT_EQ(2, special.FindElement(5));
    special.Unselect(4, 2);
    EXPECT_TRUE(special.IsSelected(4, 1));
    special.Unselect(4);
    EXPECT_FALSE(special.IsSelected(4));
    EXPECT_EQ(0, special.FindElement(5));
}

// A kind "Sense" with a list attribute "POS" (items noun 1, verb 2, adjective 3).
class ListValues : public testing::Test
{
protected:
    ListValues()
    {
        pKind = d.Kind("Sense");
        pList = tEnsureListExists(d.doc.GetDTD(), "POS");
        for (const char* sz : {"noun", "verb", "adjective"})
            Helper_AddListItem(d.doc.GetDTD(), pList, sz);
        pAttr = pKind->AddAttribute("POS", ATTR_LISTN, ATTRDEF_IMPLIED);
        pAttr->SetList(pList);
        pNode = d.Node("Sense");
    }
    int ID(const char* sz) const { return pList->GetItemID(pList->FindByText(sz)); }

    DomDoc d;
    tcElement* pKind = nullptr;
    tcAttrList* pList = nullptr;
    tcAttribute* pAttr = nullptr;
    tcNode* pNode = nullptr;
};

TEST_F(ListValues, ItemsAreAddressedByIdentifier)
{
    EXPECT_TRUE(pNode->SetAttributeListID(pAttr, ID("verb")));
    EXPECT_EQ(ID("verb"), pNode->GetAttributeSingleListID(pAttr));
    EXPECT_TRUE(pNode->AddAttributeListID(pAttr, ID("noun")));
    EXPECT_FALSE(pNode->AddAttributeListID(pAttr, ID("noun")));
    EXPECT_EQ("verb,noun", pNode->GetAttributeS(pAttr));
    EXPECT_EQ(-1, pNode->GetAttributeSingleListID(pAttr));
    EXPECT_EQ(ID("noun"), pNode->GetAttributeListID(pAttr, 1));
    EXPECT_EQ(-1, pNode->GetAttributeListID(pAttr, 2));
    EXPECT_EQ(ID("verb"), pNode->GetAttributeListIDByIndex(0, 0));

    EXPECT_TRUE(pNode->ReorderAttributeListItems(pAttr));
    EXPECT_EQ("noun,verb", pNode->GetAttributeS(pAttr));
    EXPECT_FALSE(pNode->ReorderAttributeListItems(pAttr));

    EXPECT_TRUE(pNode->ToggleAttributeListItem(pAttr, "adjective"));
    EXPECT_FALSE(pNode->ToggleAttributeListID(pAttr, ID("noun")));
    EXPECT_EQ("verb,adjective", pNode->GetAttributeS(pAttr));
    EXPECT_TRUE(pNode->RemoveAttributeListID(pAttr, ID("verb")));
    EXPECT_FALSE(pNode->HasAttributeListID(pAttr, ID("verb")));

    // An identifier the list lacks, or an attribute without a list, changes nothing.
    EXPECT_FALSE(pNode->SetAttributeListID(pAttr, 999));
    tcAttribute* pPlain = pKind->AddAttribute("Plain", ATTR_CDATA, ATTRDEF_IMPLIED);
    EXPECT_FALSE(pNode->AddAttributeListID(pPlain, ID("noun")));
    EXPECT_EQ("adjective", pNode->GetAttributeS(pAttr));
}

// ----- Node members ---------------------------------------------------------------------------------

// A parent "P" (relations a, b, c in that order) with children as named.
struct Siblings
{
    explicit Siblings(const std::vector<const char*>& asChildren)
    {
        pP = d.Node("P");
        for (const char* sz : {"a", "b", "c"})
            d.Kind(sz, pP->GetElement());
        for (const char* sz : asChildren)
            pP->AddChildLast(d.Node(sz));
    }
    std::string Names() const
    {
        std::string s;
        for (const std::string& sName : ChildNames(pP))
            s += sName;
        return s;
    }
    DomDoc d;
    tcNode* pP = nullptr;
};

TEST(NodeCoverage, SiblingMovesAndReordering)
{
    struct Case
    {
        const char* szName;
        std::vector<const char*> asChildren;
        std::function<bool(tcNode*)> fnMove;
        bool bResult;
        const char* szExpected;
    };
    const std::vector<Case> aCases = {
        {"up", {"a", "b", "c"}, [](tcNode* p) { return p->GetChild(1)->MoveNodeUp(); }, true, "bac"},
        {"up at the top", {"a", "b"}, [](tcNode* p) { return p->GetChild(0)->MoveNodeUp(); }, false, "ab"},
        {"down", {"a", "b", "c"}, [](tcNode* p) { return p->GetChild(1)->MoveNodeDown(); }, true, "acb"},
        {"down at the end", {"a", "b"}, [](tcNode* p) { return p->GetChild(1)->MoveNodeDown(); }, false, "ab"},
        {"up past the same kind", {"a", "b", "c", "a"}, [](tcNode* p) { return p->GetChild(3)->MoveUpRel(); },
         true, "aabc"},
        {"down past the same kind", {"b", "a", "c", "b"}, [](tcNode* p) { return p->GetChild(0)->MoveDownRel(); },
         true, "acbb"},
        {"no sibling of the kind", {"a", "b"}, [](tcNode* p) { return p->GetChild(1)->MoveUpRel(); }, false, "ab"},
        {"reorder to the content model", {"c", "a", "b", "a"},
         [](tcNode* p)
         {
             p->ReorderChildren();
             return true;
         },
         true, "aabc"},
        {"set a child at an index", {"a", "b"},
         [](tcNode* p) { return p->SetChildAt(1, p->GetDoc()->AllocateElementByName("c")); }, true, "ac"},
        {"set at an index out of range", {"a"},
         [](tcNode* p) { return p->SetChildAt(1, p->GetDoc()->AllocateElementByName("c")); }, false, "a"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        Siblings s(c.asChildren);
        EXPECT_EQ(c.bResult, c.fnMove(s.pP));
        EXPECT_EQ(c.szExpected, s.Names());
    }
}

TEST(NodeCoverage, MoveNodeAndFindDescendant)
{
    Siblings s({"a", "b", "c"});
    tcNode* pA = s.pP->GetChild(0);
    EXPECT_TRUE(pA->MoveNode(s.pP, 3)); // an index among the children before the move
    EXPECT_EQ("bca", s.Names());
    tcNode* pB = s.pP->GetChild(0);
    EXPECT_TRUE(pA->MoveNode(pB));
    EXPECT_EQ("bc", s.Names());
    EXPECT_EQ(pA, s.pP->FindDescendant(pA->GetElement()));
    EXPECT_FALSE(s.pP->MoveNode(pA)); // not below its own descendant
    EXPECT_EQ(nullptr, s.pP->FindDescendant(s.pP->GetElement()));
}

TEST(NodeCoverage, CompareNodeAndTree)
{
    DomDoc d;
    tcDocument other;
    other.CreateDoc("other");
    auto build = [](tcDocument& doc, const char* szValue, const char* szText)
    {
        tcNode* p = doc.AllocateElement(tEnsureElementExists(&doc, "P", nullptr, false, CHILD_ZEROORMORE));
        tcAttribute* pAttr = p->GetElement()->FindAttributeByName("x");
        if (!pAttr)
            pAttr = p->GetElement()->AddAttribute("x", ATTR_CDATA, ATTRDEF_IMPLIED);
        p->SetAttributeS(pAttr, szValue);
        p->AddChildLast(doc.AllocateTextNode(szText));
        return p;
    };
    tcNode* pA = build(d.doc, "1", "text");
    EXPECT_TRUE(pA->CompareTree(build(other, "1", "text"))); // across documents, by name
    EXPECT_TRUE(pA->CompareNode(build(other, "1", "other text")));
    EXPECT_FALSE(pA->CompareTree(build(other, "1", "other text")));
    EXPECT_FALSE(pA->CompareNode(build(other, "2", "text")));
    EXPECT_FALSE(pA->CompareNode(pA->GetChild(0)));
    EXPECT_FALSE(pA->CompareNode(nullptr));
}

// ----- Sections -------------------------------------------------------------------------------------

TEST(SectionCoverage, SortingAndInexactLookup)
{
    DomDoc d;
    d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY)->AddAttribute("HomNum", ATTR_CDATA, ATTRDEF_IMPLIED, 6);
    auto add = [&d](const char* szLemma)
    {
        auto* p = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
        p->SetLemmaSign(wxString::FromUTF8(szLemma));
        d.pSection->InsertEntry(p);
        return p;
    };
    add("pear");
    tcEntry* pApple1 = add("apple");
    add("Cr\xC3\xA8me");
    tcEntry* pApple2 = add("apple");
    EXPECT_EQ(2, tFixLangHomonymNumbers(d.pSection));
    EXPECT_EQ(2, tGetRecalculatedHomNum(pApple2));
    EXPECT_EQ(0, tGetRecalculatedHomNum(d.pSection->GetEntry(0)));

    d.pSection->ResortEntries();
    std::vector<std::string> asOrder;
    for (int i = 0; i < d.pSection->GetNumEntries(); ++i)
        asOrder.push_back(d.pSection->GetEntry(i)->GetLemmaSign().utf8_string() +
                          std::to_string(d.pSection->GetEntry(i)->GetHomNum()));
    EXPECT_EQ((std::vector<std::string>{"Cr\xC3\xA8me0", "apple1", "apple2", "pear0"}), asOrder);
    EXPECT_EQ(pApple1, d.pSection->GetEntry(1));

    std::vector<tcEntry*> apFound;
    EXPECT_EQ(1, d.pSection->FindEntriesInexact("CREME", apFound));
    EXPECT_EQ(2, d.pSection->GetNumExactHomonyms("apple"));

    tcEntry* pNew = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    pNew->SetLemmaSign("apple");
    EXPECT_EQ(3, FindEntryInsertPosition(d.pSection, pNew)); // after its homonyms

    EXPECT_EQ(1, tCombineHomonyms(&d.doc, d.pSection));
    EXPECT_EQ(3, d.pSection->GetNumEntries());
}

// ----- Restructuring --------------------------------------------------------------------------------

// A root kind "R" holding a "P" node with children as named, as a dump "P(a,b,...)".
std::string Dump(const tcNode* p)
{
    std::string s = p->GetElementName().utf8_string();
    if (p->GetNumChildren() == 0)
        return s;
    s += "(";
    for (int i = 0; i < p->GetNumChildren(); ++i)
        s += (i ? "," : "") + Dump(p->GetChild(i));
    return s + ")";
}

TEST(Restructuring, TreeEditsKeepEveryNode)
{
    struct Case
    {
        const char* szName;
        std::function<int(DomDoc&, tcNode*)> fnEdit;
        int nResult;
        const char* szExpected;
    };
    const std::vector<Case> aCases = {
        {"wrap each", [](DomDoc& d, tcNode*) { return tInsertParentBetweenEach(&d.doc, d.Kind("P"), d.Kind("a"), d.Kind("W")); },
         2, "P(W(a),b,W(a(x)))"},
        {"wrap all", [](DomDoc& d, tcNode*) { return tInsertParentBetweenAll(&d.doc, d.Kind("P"), d.Kind("a"), d.Kind("W")); },
         1, "P(W(a,a(x)),b)"},
        {"pull the rug", [](DomDoc&, tcNode* pP) { return tPullRug(pP->GetChild(2)) ? 1 : 0; }, 1, "P(a,b,x)"},
        {"pull all of a kind", [](DomDoc& d, tcNode*) { return tPullRugAllOfElementType(&d.doc, d.Kind("a")); }, 2,
         "P(b,x)"},
        {"to the grandparent", [](DomDoc& d, tcNode*) { return tMoveAllToGrandparent(&d.doc, d.Kind("x")); }, 1,
         "P(a,b,a,x)"},
        {"replace in place",
         [](DomDoc& d, tcNode* pP) { return tReplaceElementInPlace(&d.doc, pP->GetChild(2), d.Kind("c")) ? 1 : 0; }, 1,
         "P(a,b,c(x))"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        DomDoc d;
        tcNode* pP = d.Node("P");
        d.pSection->AddChildLast(pP);
        for (const char* sz : {"a", "b", "a"})
            pP->AddChildLast(d.Node(sz));
        pP->GetChild(2)->AddChildLast(d.Node("x"));
        d.doc.ClearDirty();
        EXPECT_EQ(c.nResult, c.fnEdit(d, pP));
        EXPECT_EQ(c.szExpected, Dump(d.pSection->GetChild(0)));
        EXPECT_TRUE(d.doc.IsDirty());
    }
}

TEST(Restructuring, SortByAttributeKeepsOtherChildrenInPlace)
{
    DomDoc d;
    tcNode* pP = d.Node("P");
    tcAttribute* pKey = d.Kind("a")->AddAttribute("key", ATTR_CDATA, ATTRDEF_IMPLIED);
    for (const char* sz : {"3", "-", "1", "-", "2"})
    {
        tcNode* p = d.Node(*sz == '-' ? "b" : "a");
        p->SetAttributeS(pKey, sz);
        pP->AddChildLast(p);
    }
    auto keys = [&]
    {
        std::string s;
        for (const tcNode* p : pP->GetChildren())
            s += p->GetElementName() == "b" ? std::string("-") : p->GetAttributeS(pKey).utf8_string();
        return s;
    };
    EXPECT_TRUE(tSortElementsByAttribute(pP, d.Kind("a"), pKey));
    EXPECT_EQ("1-2-3", keys());
    EXPECT_FALSE(tSortElementsByAttribute(pP, d.Kind("a"), pKey));
    EXPECT_TRUE(tSortElementsByAttribute(pP, d.Kind("a"), pKey, false));
    EXPECT_EQ("3-2-1", keys());
}

// ----- Visibility and styles ------------------------------------------------------------------------

TEST(Visibility, FollowsTheCurrentOrder)
{
    DomDoc d;
    tcElement* pP = d.Kind("P");
    tcElement* pA = d.Kind("a", pP);
    d.Kind("b", pP);
    tcAttribute* pX = pP->AddAttribute("x", ATTR_CDATA, ATTRDEF_IMPLIED);
    tcAttribute* pY = pP->AddAttribute("y", ATTR_CDATA, ATTRDEF_IMPLIED);
    tcNode* pNode = d.Node("P");
    tcNode* pNodeA = d.Node("a");
    tcNode* pNodeB = d.Node("b");
    tcNode* pNodeA2 = d.Node("a");
    for (tcNode* p : {pNodeA, pNodeB, pNodeA2})
        pNode->AddChildLast(p);

    // Without an order for P everything shows.
    EXPECT_TRUE(tIsVisible(pNodeB));
    EXPECT_TRUE(tIsAttributeVisible(pNode, pY));

    tcOrder* pOrder = d.doc.GetCurrentOrder();
    pOrder->AddElementOrderChild(pP, pA, true);
    pOrder->AddElementOrderAttribute(pP, pX, false);
    EXPECT_TRUE(tIsVisible(pNodeA));
    EXPECT_FALSE(tIsVisible(pNodeB)); // P's order does not show b
    EXPECT_TRUE(tIsVisible(pNode));   // no parent
    EXPECT_FALSE(tIsAttributeVisible(pNode, pX));
    EXPECT_FALSE(tIsAttributeVisible(pNode, pY));
    EXPECT_EQ(pNodeA2, tGetNextVisibleSibling(pNodeA));
    EXPECT_EQ(pNodeA, tGetPreviousVisibleSibling(pNodeA2));
    EXPECT_EQ(nullptr, tGetNextVisibleSibling(pNodeA2));
    pNode->SetAttributeS(pX, "value");
    EXPECT_FALSE(tHasVisibleAttributes(pNode));
    pOrder->AddElementOrderAttribute(pP, pX, true);
    EXPECT_TRUE(tHasVisibleAttributes(pNode));
    EXPECT_TRUE(tIsVisible(pNodeB, nullptr));
    EXPECT_EQ(pNodeB, tGetNextUnmaskedSibling(pNodeA));
}

TEST(StyleCoverage, CloneAndDTDOrder)
{
    DomDoc d;
    tcElement* pP = d.Kind("P");
    tcElement* pA = d.Kind("a", pP);
    pP->AddAttribute("x", ATTR_CDATA, ATTRDEF_IMPLIED);
    pP->SetAllowPCDATA(true);
    tcStyles* pSet = d.doc.GetCurrentStyles();
    tSetStyleOrderToDTDOrder(&d.doc, pSet);
    const tcElementOrderItems* pItems = pSet->GetOrder()->GetOrderElement(pP);
    ASSERT_NE(nullptr, pItems);
    ASSERT_EQ(3, pItems->GetNumOrderItems());
    EXPECT_EQ(ORDER_ELEMENT, pItems->GetOrderItem(0)->GetType());
    EXPECT_EQ(ORDER_ATTRIBUTE, pItems->GetOrderItem(1)->GetType());
    EXPECT_EQ(ORDER_PCDATA, pItems->GetOrderItem(2)->GetType());

    tcStyle* pStyle = pSet->AddStyle(std::make_unique<tcStyleElement>(pA));
    pStyle->sColourF = "112233";
    pStyle->SetTable(true);
    pStyle->TableBorder().SetWidth(2);
    tcStyles* pCopy = tCloneStyleSet(&d.doc, pSet, "Copy");
    ASSERT_NE(nullptr, pCopy);
    pStyle->sColourF = "445566";
    pSet->GetOrder()->GetOrderElement(pP)->GetOrderItem(0)->SetVisible(false);
    EXPECT_EQ("112233", tGetColourF(pCopy, pA));
    EXPECT_TRUE(pCopy->FindElementStyle(pA)->GetTable());
    EXPECT_EQ(2, pCopy->FindElementStyle(pA)->GetTableBorder()->GetWidth());
    EXPECT_TRUE(pCopy->GetOrder()->GetOrderElement(pP)->GetOrderItem(0)->IsVisible());
    tcStyles foreign("foreign");
    EXPECT_EQ(nullptr, tCloneStyleSet(&d.doc, &foreign, "x"));
}

// ----- Nodes, stamps and queries --------------------------------------------------------------------

TEST(NodeRoutines, StampsRespectTheAdministratorSwitch)
{
    DomDoc d;
    tcElement* pEntryKind = d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    pEntryKind->AddAttribute("Changed", ATTR_CDATA, ATTRDEF_DATECHANGED);
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pEntry);
    tcNode* pChild = d.Node("Sense");
    pEntry->AddChildLast(pChild);

    g_bAdminNoUpdateTimestamps = true;
    tSetChangedTimestamp(pChild);
    tNodeModified(nullptr, pChild, false, false);
    EXPECT_EQ("", tGetChangedTimestamp(pChild));
    g_bAdminNoUpdateTimestamps = false;
    tSetChangedTimestamp(pChild);
    const wxString sStamp = tGetChangedTimestamp(pChild);
    EXPECT_EQ(20u, sStamp.length());
    EXPECT_TRUE(sStamp.EndsWith("Z"));
}

TEST(NodeRoutines, ChildConstraints)
{
    DomDoc d;
    tcElement* pP = d.Kind("P");
    tcElement* pOne = d.Kind("one");
    tcElement* pMany = d.Kind("many");
    tcElement* pSome = d.Kind("some");
    AddElementChild(pP, pOne, CHILD_ONE);
    AddElementChild(pP, pMany, CHILD_ZEROORMORE);
    AddElementChild(pP, pSome, CHILD_ONEORMORE);
    tcNode* pNode = d.Node("P");
    EXPECT_TRUE(tMayAddMoreChildren(pNode, pOne));
    tcNode* pNodeOne = d.Node("one");
    pNode->AddChildLast(pNodeOne);
    EXPECT_FALSE(tMayAddMoreChildren(pNode, pOne));
    EXPECT_TRUE(tMayAddMoreChildren(pNode, pMany));
    EXPECT_FALSE(tMayAddMoreChildren(pNode, d.Kind("unrelated")));
    EXPECT_TRUE(tMayNotDelete(pNodeOne));
    tcNode* pSome1 = d.Node("some");
    pNode->AddChildLast(pSome1);
    EXPECT_TRUE(tMayNotDelete(pSome1));
    pNode->AddChildLast(d.Node("some"));
    EXPECT_FALSE(tMayNotDelete(pSome1));
    EXPECT_TRUE(tMayNotDelete(d.pRoot));
    EXPECT_EQ(2, GetSenseNumber(pNode->GetChild(2)));
}

TEST(NodeRoutines, ReferencesAreAddedAndFound)
{
    DomDoc d;
    auto* pFrom = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    auto* pTo = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pFrom);
    d.pSection->InsertEntry(pTo);
    tcReferences* pRefs = NodeAddReference(&d.doc, pFrom, pTo, 1);
    ASSERT_NE(nullptr, pRefs);
    EXPECT_EQ(pRefs, NodeAddReference(&d.doc, pFrom, pTo, 1)); // the same references node
    EXPECT_EQ(1, pRefs->GetNumRefEntries());
    std::vector<tcEntry*> apReferred;
    EXPECT_EQ(1, tEntryFindReferred(pFrom, apReferred));
    EXPECT_EQ(pTo, apReferred[0]);
    d.pSection->RebuildRefCache();
    EXPECT_EQ(std::vector<tcNode*>{pRefs}, d.pSection->m_apRefCache);
}

TEST(Globals, ZoomPercentage)
{
    struct Case
    {
        int nZoom, nDefault, nPercent;
        double dFactor;
    };
    for (const Case& c : std::vector<Case>{{100, 100, 100, 1.0}, {150, 100, 150, 1.5}, {60, 120, 50, 0.5}, {80, 0, 80, 1.0}})
    {
        g_nZoom = c.nZoom;
        g_nZoomDefault = c.nDefault;
        EXPECT_EQ(c.nPercent, tGetZoomLevelPercentage());
        EXPECT_DOUBLE_EQ(c.dFactor, tGetZoomFactor());
    }
    g_nZoom = 100;
    g_nZoomDefault = 100;
}

} // namespace
