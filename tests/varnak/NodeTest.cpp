#include "varnak/include/tcNode.h"

#include "tests/varnak/DomTestUtil.h"
#include "varnak/include/tNodeHelpers.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using Names = std::vector<std::string>;

// ----- AddChildOrdered ------------------------------------------------------------------------------

struct OrderedCase
{
    const char* szName;
    Names asRelations; // of the parent kind "p", in order (duplicates allowed)
    Names asChildren;  // existing children; "#text" for a text node
    std::string sNew;  // the kind added ("#text" for a text node)
    Names asExpected;
};

void PrintTo(const OrderedCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class AddChildOrdered : public ::testing::TestWithParam<OrderedCase>
{
};

TEST_P(AddChildOrdered, PlacesTheChild)
{
    const OrderedCase& c = GetParam();
    DomDoc d;
    tcElement* pParentKind = d.Kind("p");
    for (const std::string& s : c.asRelations)
        pParentKind->AddChildElement(d.Kind(s), CHILD_ZEROORMORE);
    tcNode* pParent = d.doc.AllocateElement(pParentKind);
    auto make = [&](const std::string& s) -> tcNode*
    { return s == "#text" ? static_cast<tcNode*>(d.doc.AllocateTextNode("t")) : d.Node(s); };
    for (const std::string& s : c.asChildren)
        ASSERT_TRUE(pParent->AddChildLast(make(s)));

    ASSERT_TRUE(pParent->AddChildOrdered(make(c.sNew)));
    EXPECT_EQ(ChildNames(pParent), c.asExpected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddChildOrdered,
    ::testing::Values(
        OrderedCase{"BetweenItsNeighbours", {"a", "b", "c"}, {"a", "c"}, "b", {"a", "b", "c"}},
        OrderedCase{"FirstKindGoesFirst", {"a", "b", "c"}, {"b", "c"}, "a", {"a", "b", "c"}},
        OrderedCase{"AfterTheLastOfItsKind", {"a", "b"}, {"a", "a", "b"}, "a", {"a", "a", "a", "b"}},
        OrderedCase{"RepeatedRelationTakesTheLaterSlot", {"a", "b", "a"}, {"a", "b"}, "a", {"a", "b", "a"}},
        OrderedCase{"RepeatedRelationFirstSlot", {"a", "b", "a"}, {"a"}, "b", {"a", "b"}},
        OrderedCase{"UndeclaredKindGoesLast", {"a", "b"}, {"a", "b"}, "x", {"a", "b", "x"}},
        OrderedCase{"TextGoesLast", {"a", "b"}, {"b"}, "#text", {"b", "#text"}},
        OrderedCase{"ChildrenAlreadyOutOfOrder", {"a", "b", "c"}, {"c", "a"}, "b", {"c", "a", "b"}},
        OrderedCase{"UndeclaredTargetBeforeAltTrans",
                    {"source", "seg-source"},
                    {"source", "seg-source", "alt-trans", "alt-trans"},
                    "target",
                    {"source", "seg-source", "target", "alt-trans", "alt-trans"}},
        OrderedCase{"UndeclaredNoteAfterTarget",
                    {"source"},
                    {"source", "target", "alt-trans"},
                    "note",
                    {"source", "target", "note", "alt-trans"}},
        // A relation list grown from data in another order must not put target after alt-trans.
        OrderedCase{"UnitOrderWinsOverGrownRelations",
                    {"source", "seg-source", "alt-trans", "target", "alt-trans"},
                    {"source", "seg-source", "alt-trans"},
                    "target",
                    {"source", "seg-source", "target", "alt-trans"}},
        OrderedCase{
            "UnitKindAmongOtherKinds", {"x", "source"}, {"x", "source"}, "alt-trans", {"x", "source", "alt-trans"}},
        // After a last child of its own kind, also where the children before break the order.
        OrderedCase{"AfterALastChildOfItsKind", {"a", "b"}, {"a", "b", "b"}, "b", {"a", "b", "b", "b"}},
        OrderedCase{"AfterALastChildOfItsKindOutOfOrder", {"a", "b", "c"}, {"c", "b", "a"}, "a", {"c", "b", "a", "a"}},
        // Unit kinds keep their order even then.
        OrderedCase{"UnitKindAfterALastChildOfItsKind",
                    {"source"},
                    {"source", "note", "target"},
                    "target",
                    {"source", "target", "note", "target"}}),
    [](const ::testing::TestParamInfo<OrderedCase>& caseInfo) { return std::string(caseInfo.param.szName); });

// ----- Tree structure -------------------------------------------------------------------------------

TEST(NodeTree, InsertionRefusesWhatWouldBreakTheTree)
{
    DomDoc d;
    tcNode* pA = d.Node("a");
    tcNode* pB = d.Node("b");
    ASSERT_TRUE(pA->AddChildLast(pB));
    tcText* pText = d.doc.AllocateTextNode("x");

    EXPECT_FALSE(pA->AddChildOrdered(nullptr));
    EXPECT_FALSE(pA->AddChildLast(pA)) << "itself";
    EXPECT_FALSE(pB->AddChildLast(pA)) << "its own ancestor";
    EXPECT_FALSE(pText->AddChildLast(d.Node("c"))) << "a text node has no children";
    EXPECT_FALSE(pA->InsertChild(d.Node("c"), -1));
    EXPECT_FALSE(pA->InsertChild(d.Node("c"), 2));
    EXPECT_EQ(ChildNames(pA), Names({"b"}));
    EXPECT_EQ(pB->GetParent(), pA);
}

TEST(NodeTree, InsertingAnAttachedNodeMovesIt)
{
    DomDoc d;
    tcNode* pA = d.Node("a");
    tcNode* pB = d.Node("b");
    tcNode* pX = d.Node("x");
    tcNode* pY = d.Node("y");
    tcNode* pZ = d.Node("z");
    pA->AddChildLast(pX);
    pA->AddChildLast(pY);
    pA->AddChildLast(pZ);

    ASSERT_TRUE(pB->AddChildLast(pY));
    EXPECT_EQ(ChildNames(pA), Names({"x", "z"}));
    EXPECT_EQ(pY->GetParent(), pB);

    // Within one parent the index counts before the move: "before z" stays before z.
    ASSERT_TRUE(pA->InsertChild(pX, 2));
    EXPECT_EQ(ChildNames(pA), Names({"z", "x"}));
    ASSERT_TRUE(pA->InsertChild(pX, 0));
    EXPECT_EQ(ChildNames(pA), Names({"x", "z"}));
    EXPECT_EQ(pZ->FindOurIndex(), 1);
    EXPECT_EQ(pZ->GetPrevious(), pX);
    EXPECT_EQ(pZ->GetNext(), nullptr);
}

TEST(NodeTree, ReplaceAndRemoveKeepTheNodesOwned)
{
    DomDoc d;
    tcNode* pA = d.Node("a");
    tcNode* pOld = d.Node("old");
    tcNode* pNew = d.Node("new");
    pA->AddChildLast(d.Node("x"));
    pA->AddChildLast(pOld);
    ASSERT_TRUE(pA->ReplaceChild(pOld, pNew));
    EXPECT_EQ(ChildNames(pA), Names({"x", "new"}));
    EXPECT_EQ(pOld->GetParent(), nullptr);
    EXPECT_EQ(pA->RemoveChildByIndex(0)->GetElementName(), "x");
    EXPECT_TRUE(pNew->RemoveNode());
    EXPECT_EQ(pA->GetNumChildren(), 0);
    EXPECT_FALSE(pNew->RemoveNode());
    // The detached nodes still belong to the document, which frees them (LeakSanitizer checks).
}

namespace
{
int s_nDestroyed = 0;

struct CountedText : tcText
{
    CountedText(tcDocument* pDoc) : tcText("x", pDoc) {}
    ~CountedText() override { ++s_nDestroyed; }
};
} // namespace

TEST(NodeTree, TheDocumentFreesAttachedAndUnattachedNodes)
{
    s_nDestroyed = 0;
    {
        DomDoc d;
        tcNode* pEntry = d.doc.AllocateElementByID(ELEMENTID_ENTRY);
        d.pSection->InsertEntry(static_cast<tcEntry*>(pEntry));
        pEntry->AddChildLast(new CountedText(&d.doc));
        new CountedText(&d.doc); // never attached
        tcNode* pDetached = d.Node("a");
        pDetached->AddChildLast(new CountedText(&d.doc));
        pEntry->AddChildLast(pDetached);
        pEntry->RemoveChild(pDetached);
        EXPECT_EQ(s_nDestroyed, 0);
    }
    EXPECT_EQ(s_nDestroyed, 3);
}

TEST(NodeTree, DeletingAnAttachedSubtreeDetachesItFirst)
{
    DomDoc d;
    tcNode* pA = d.Node("a");
    tcNode* pB = d.Node("b");
    tcNode* pC = d.Node("c");
    d.pSection->AddChildLast(pA);
    pA->AddChildLast(pB);
    pB->AddChildLast(pC);
    pA->AddChildLast(d.Node("d"));

    delete pB;
    EXPECT_EQ(ChildNames(pA), Names({"d"}));

    ASSERT_TRUE(d.doc.DeleteTreeFromMem(pA));
    EXPECT_EQ(d.pSection->GetNumChildren(), 0);
    EXPECT_FALSE(d.doc.DeleteTreeFromMem(nullptr));

    // Deleting the root leaves the document without one.
    delete d.pRoot;
    EXPECT_EQ(d.doc.GetDictionary(), nullptr);
    EXPECT_EQ(d.doc.GetNumSections(), 0);
}

TEST(NodeTree, TreesOfAnyDepthAreFreedWithoutRunningOutOfStack)
{
    // Deep enough that freeing one level per nested call would overflow the stack. The chain is
    // built from the bottom up, and every tenth level also holds a text of its own.
    const int nDepth = 300000;
    for (bool bThroughDocument : {false, true})
    {
        SCOPED_TRACE(bThroughDocument ? "with the document" : "by DeleteTreeFromMem");
        s_nDestroyed = 0;
        {
            DomDoc d;
            tcElement* pKind = d.Kind("g");
            tcNode* pTop = new CountedText(&d.doc);
            for (int i = 0; i < nDepth; ++i)
            {
                tcNode* pParent = d.doc.AllocateElement(pKind);
                ASSERT_TRUE(pParent->AddChildLast(pTop));
                if (i % 10 == 0)
                {
                    ASSERT_TRUE(pParent->AddChildLast(new CountedText(&d.doc)));
                }
                pTop = pParent;
            }
            ASSERT_TRUE(d.pSection->AddChildLast(pTop));
            if (!bThroughDocument)
            {
                ASSERT_TRUE(d.doc.DeleteTreeFromMem(pTop));
                EXPECT_EQ(d.pSection->GetNumChildren(), 0);
                EXPECT_EQ(s_nDestroyed, 1 + nDepth / 10);
            }
        }
        EXPECT_EQ(s_nDestroyed, 1 + nDepth / 10);
    }
}

// ----- Attribute values -----------------------------------------------------------------------------

TEST(NodeAttributes, SetButEmptyDiffersFromUnset)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pKind, "note", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcNode* pNode = d.doc.AllocateElement(pKind);

    EXPECT_FALSE(pNode->HasAttributeValue(pAttr));
    EXPECT_EQ(pNode->GetAttributePStrValue(pAttr), nullptr);
    ASSERT_TRUE(pNode->SetAttributeS(pAttr, ""));
    EXPECT_TRUE(pNode->HasAttributeValue(pAttr));
    ASSERT_NE(pNode->GetAttributePStrValue(pAttr), nullptr);
    EXPECT_EQ(*pNode->GetAttributePStrValue(pAttr), "");
    EXPECT_TRUE(pNode->ResetAttributeValue(pAttr));
    EXPECT_FALSE(pNode->HasAttributeValue(pAttr));
    EXPECT_FALSE(pNode->ResetAttributeValue(pAttr));
}

TEST(NodeAttributes, ValuesAreTextForEveryFormAndKind)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pList = tCreateAttribute(&d.doc, pKind, "state", ATTRDEF_IMPLIED, ATTR_LISTN, true, 0);
    tcAttribute* pNum = tCreateAttribute(&d.doc, pKind, "n", ATTRDEF_IMPLIED, ATTR_NDATA, false, 0);
    tcNode* pNode = d.doc.AllocateElement(pKind);

    // A path with the list separator in it survives display and raw forms unchanged.
    ASSERT_TRUE(pNode->SetAttributeDisplayByString(pList, "/tmp/a,b.tmx", false, ","));
    EXPECT_EQ(pNode->GetAttributeRawAsString(pList, ","), "/tmp/a,b.tmx");
    EXPECT_EQ(pNode->GetAttributeDisplayAsString(pList, ";"), "/tmp/a,b.tmx");
    EXPECT_EQ(pNode->GetAttributeListN(pList), std::vector<wxString>({"/tmp/a", "b.tmx"}));

    ASSERT_TRUE(pNode->SetAttributeRawByString("n", "12abc"));
    EXPECT_EQ(pNode->GetAttributeI(pNum), 12);
    pNode->SetAttributeS(pNum, "x");
    EXPECT_EQ(pNode->GetAttributeI(pNum), 0);
    pNode->SetAttributeI(pNum, -7);
    EXPECT_EQ(pNode->GetAttributeS(pNum), "-7");

    // An attribute of another kind is refused and reads as nothing.
    tcAttribute* pForeign = tCreateAttribute(&d.doc, d.Kind("b"), "state", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    EXPECT_FALSE(pNode->SetAttributeS(pForeign, "v"));
    EXPECT_FALSE(pNode->SetAttributeS(nullptr, "v"));
    EXPECT_EQ(pNode->GetAttributeS(pForeign), "");
    EXPECT_FALSE(d.doc.AllocateTextNode("t")->SetAttributeSByID(1, "v"));
}

TEST(NodeAttributes, NotifyingSetterTriggersAttributeModifiedAndLeavesTheDocumentClean)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pKind, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcNode* pNode = d.doc.AllocateElement(pKind);
    d.doc.ClearDirty();
    EventRecorder modified(Evt_AttributeModified);

    pNode->SetAttributeDisplayByString(pAttr, "1", false);
    EXPECT_TRUE(modified.aArg1.empty());
    pNode->SetAttributeDisplayByString(pAttr, "2", true);
    ASSERT_EQ(modified.aArg1.size(), 1u);
    EXPECT_EQ(modified.aArg1[0], pNode);
    EXPECT_EQ(modified.aArg2[0], pAttr);
    EXPECT_FALSE(d.doc.IsDirty());
}

// ----- Searching ------------------------------------------------------------------------------------

TEST(NodeSearch, DescendantsComeInDocumentOrderWithoutTheNodeItself)
{
    DomDoc d;
    tcNode* pRoot = d.Node("x");
    tcNode* pX1 = d.Node("x");
    tcNode* pY = d.Node("y");
    tcNode* pX2 = d.Node("x");
    tcNode* pX3 = d.Node("x");
    pRoot->AddChildLast(pX1);
    pX1->AddChildLast(pY);
    pY->AddChildLast(pX2);
    pRoot->AddChildLast(pX3);
    pRoot->AddChildLast(d.doc.AllocateTextNode("t"));
    const int nX = d.Kind("x")->GetID();

    std::vector<tcNode*> apFound{nullptr};
    EXPECT_EQ(pRoot->FindDescendantsOfElementType(nX, apFound), 3);
    EXPECT_EQ(apFound, std::vector<tcNode*>({nullptr, pX1, pX2, pX3})) << "appends, does not clear";
    EXPECT_EQ(pRoot->GetNthDescendantOfElementType(nX, 1), pX2);
    EXPECT_EQ(pRoot->GetNthDescendantOfElementType(nX, 3), nullptr);
    EXPECT_EQ(pRoot->GetNthChildOfElementType(nX, 1), pX3);
    EXPECT_EQ(pRoot->GetNumChildrenOfElementType(nX), 2);
    EXPECT_EQ(pRoot->GetNumChildrenOfClassType(NODE_TEXTNODE), 1);
    EXPECT_EQ(pRoot->GetNumDescendants(), 5);
    EXPECT_EQ(pRoot->FindDescendantByID(pX2->GetID()), pX2);
    EXPECT_EQ(pRoot->FindDescendantByID(idNULL), nullptr);
    EXPECT_EQ(pX3->FindOurIndexOfSameType(), 1);
    EXPECT_TRUE(pX2->IsDescendantOf(pRoot));
    EXPECT_FALSE(pRoot->IsDescendantOf(pRoot));
}

TEST(NodeSearch, HelpersFindTheEnclosingEntrySectionAndText)
{
    DomDoc d;
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pEntry);
    tcNode* pSeg = d.Node("seg");
    pEntry->AddChildLast(pSeg);
    pSeg->AddChildLast(d.doc.AllocateTextNode("a<"));
    pSeg->AddChildLast(d.Node("ph"));
    pSeg->AddChildLast(d.doc.AllocateCDataNode("b"));

    EXPECT_EQ(tGetNodeEntry(pSeg), pEntry);
    EXPECT_EQ(tGetNodeEntry(pEntry), pEntry);
    EXPECT_EQ(tGetNodeSection(pSeg), d.pSection);
    EXPECT_EQ(tGetNodeDictionary(pSeg), d.pRoot);
    EXPECT_EQ(tGetNodeDoc(pSeg), &d.doc);
    EXPECT_EQ(tGetNodeEntry(d.pSection), nullptr);
    EXPECT_EQ(tQuery(pSeg, "text()"), "a<b");
    EXPECT_EQ(tQuery(pSeg, "node()"), "") << "unsupported query";
}

TEST(NodeSearch, EmptinessIgnoresElementChildren)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pKind, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcNode* pNode = d.doc.AllocateElement(pKind);
    EXPECT_TRUE(NodeIsEmpty(pNode));
    pNode->AddChildLast(d.Node("b"));
    EXPECT_TRUE(NodeIsEmpty(pNode)) << "element children do not count";
    pNode->SetAttributeS(pAttr, "");
    EXPECT_TRUE(NodeIsEmpty(pNode)) << "an empty value does not count";
    pNode->AddChildLast(d.doc.AllocateTextNode("t"));
    EXPECT_FALSE(NodeIsEmpty(pNode));
    EXPECT_TRUE(NodeIsEmpty(d.doc.AllocateTextNode("")));
    EXPECT_TRUE(NodeIsEmpty(nullptr));
}

// ----- CloneTree ------------------------------------------------------------------------------------

TEST(NodeClone, ExcludedKindsAndAttributesAreLeftOut)
{
    DomDoc d;
    tcElement* pSegKind = d.Kind("seg");
    tcAttribute* pKeep = tCreateAttribute(&d.doc, pSegKind, "keep", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcAttribute* pDrop = tCreateAttribute(&d.doc, pSegKind, "drop", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcNode* pSource = d.doc.AllocateElement(pSegKind);
    pSource->SetAttributeS(pKeep, "k");
    pSource->SetAttributeS(pDrop, "d");
    pSource->AddChildLast(d.doc.AllocateTextNode("a"));
    tcNode* pPh = d.Node("ph");
    pPh->AddChildLast(d.doc.AllocateCDataNode("<b>"));
    pSource->AddChildLast(pPh);
    pSource->AddChildLast(d.doc.AllocateTextNode("b"));
    tcNode* pG = d.Node("g");
    pG->AddChildLast(d.Node("bpt"));
    pG->AddChildLast(d.doc.AllocateTextNode("c"));
    pSource->AddChildLast(pG);

    tcCloneContext ctx(&d.doc, &d.doc);
    ctx.Ignore(d.Kind("ph"));
    ctx.Ignore(d.Kind("bpt"));
    ctx.Ignore(pSegKind, pDrop);
    tcNode* pCopy = d.doc.AllocateElement(pSegKind);
    ASSERT_TRUE(pCopy->CloneTree(pSource, &ctx));

    EXPECT_EQ(ChildNames(pCopy), Names({"#text", "#text", "g"}));
    EXPECT_EQ(ChildNames(pCopy->GetChild(2)), Names({"#text"}));
    EXPECT_EQ(tQuery(pCopy, "text()"), "ab");
    EXPECT_EQ(pCopy->GetAttributeS(pKeep), "k");
    EXPECT_FALSE(pCopy->HasAttributeValue(pDrop));
    EXPECT_NE(pCopy->GetChild(2)->GetID(), pG->GetID()) << "copies get identifiers of their own";
    EXPECT_EQ(ChildNames(pSource), Names({"#text", "ph", "#text", "g"})) << "the source is untouched";

    EXPECT_FALSE(pCopy->CloneTree(nullptr, &ctx));
    EXPECT_FALSE(pG->CloneTree(pSource, &ctx)) << "a source that contains the target";
}

TEST(NodeClone, OverwriteFlagDecidesAboutExistingValues)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pKind, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcNode* pSource = d.doc.AllocateElement(pKind);
    pSource->SetAttributeS(pAttr, "new");
    for (bool bOverwrite : {false, true})
    {
        tcNode* pTarget = d.doc.AllocateElement(pKind);
        pTarget->SetAttributeS(pAttr, "old");
        tcCloneContext ctx(&d.doc, &d.doc);
        ctx.bOverwriteAttributes = bOverwrite;
        pTarget->CloneTree(pSource, &ctx);
        EXPECT_EQ(pTarget->GetAttributeS(pAttr), bOverwrite ? "new" : "old");
    }
}

TEST(NodeClone, BetweenDocumentsKindsMatchByNameAndMergeOnRequest)
{
    DomDoc source;
    tcElement* pSegKind = source.Kind("seg");
    tcAttribute* pLang = tCreateAttribute(&source.doc, pSegKind, "lang", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    pSegKind->SetAllowPCDATA(true);
    tcNode* pSeg = source.doc.AllocateElement(pSegKind);
    pSeg->SetAttributeS(pLang, "de");
    tcNode* pB = source.Node("b");
    pB->AddChildLast(source.doc.AllocateTextNode("x"));
    pSeg->AddChildLast(pB);

    for (bool bMerge : {false, true})
    {
        DomDoc target;
        tcElement* pTargetSeg = target.Kind("seg");
        tcNode* pCopy = target.doc.AllocateElement(pTargetSeg);
        tcCloneContext ctx(&target.doc, &source.doc);
        ctx.bMergeDTDs = bMerge;
        ASSERT_TRUE(pCopy->CloneTree(pSeg, &ctx));
        if (bMerge)
        {
            EXPECT_EQ(ChildNames(pCopy), Names({"b"}));
            EXPECT_EQ(pCopy->GetAttributeSByName("lang"), "de");
            EXPECT_EQ(pCopy->GetChild(0)->GetElement(), target.doc.GetDTD()->FindElementByName("b"));
            EXPECT_EQ(pCopy->GetChild(0)->GetDoc(), &target.doc);
        }
        else
        {
            EXPECT_EQ(pCopy->GetNumChildren(), 0) << "the target DTD has no kind b";
            EXPECT_FALSE(target.doc.GetDTD()->FindElementByName("b"));
            EXPECT_EQ(pCopy->GetAttributeSByName("lang"), "");
        }
    }
}
