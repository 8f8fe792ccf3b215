#include "varnak/include/tcDTD.h"

#include "tests/varnak/DomTestUtil.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Items(const tcAttrList* pList)
{
    std::vector<std::string> as;
    for (int i = 0; pList && i < pList->GetNumItems(); ++i)
        as.push_back(pList->GetItemText(i).ToStdString());
    return as;
}

std::vector<std::string> RelationNames(const tcElement* pKind)
{
    std::vector<std::string> as;
    for (int i = 0; i < pKind->GetNumChildren(); ++i)
        as.push_back(pKind->GetChildElement(i)->pElement->GetName().ToStdString());
    return as;
}
} // namespace

// ----- Declarations ---------------------------------------------------------------------------------

TEST(DTDDeclare, CreateAttributeReturnsAnExistingOneUnchanged)
{
    DomDoc d;
    tcElement* pKind = d.Kind("target");
    tcAttribute* pState = tCreateAttribute(&d.doc, pKind, "state", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    ASSERT_NE(pState, nullptr);
    tcAttribute* pAgain = tCreateAttribute(&d.doc, pKind, "state", ATTRDEF_DATECHANGED, ATTR_LIST, true, 0);
    EXPECT_EQ(pAgain, pState);
    EXPECT_EQ(pState->GetType(), ATTR_CDATA);
    EXPECT_EQ(pState->GetDefaultType(), ATTRDEF_IMPLIED);
    EXPECT_EQ(pState->GetList(), nullptr);
    EXPECT_EQ(pKind->GetNumAttributes(), 1);

    tcAttribute* pQual = tCreateAttribute(&d.doc, pKind, "state-qualifier", ATTRDEF_IMPLIED, ATTR_LIST, true, 0);
    ASSERT_NE(pQual->GetList(), nullptr) << "a new list attribute gets its list";
    EXPECT_EQ(pQual->GetList()->GetName(), "target_state-qualifier");
    EXPECT_EQ(tCreateAttribute(&d.doc, nullptr, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0), nullptr);
}

TEST(DTDDeclare, EnsureElementExistsAddsTheRelationOnce)
{
    DomDoc d;
    tcElement* pUnit = d.Kind("trans-unit");
    tcElement* pSource = d.Kind("source");
    tcElement* pMrk = tEnsureElementExists(&d.doc, "mrk", pSource, false, CHILD_ZEROORMORE);
    ASSERT_NE(pMrk, nullptr);
    EXPECT_EQ(tEnsureElementExists(&d.doc, "mrk", pSource, false, CHILD_ZEROORMORE), pMrk);
    EXPECT_EQ(tEnsureElementExists(&d.doc, "mrk", pUnit, false, CHILD_ONE), pMrk);
    EXPECT_EQ(RelationNames(pSource), std::vector<std::string>({"mrk"}));
    EXPECT_EQ(pUnit->GetChildElement(0)->eConstraint, CHILD_ONE);
    EXPECT_EQ(pMrk->GetClass(), NODE_NODE);
    EXPECT_EQ(tEnsureElementExists(nullptr, "mrk", nullptr, false, CHILD_ZEROORMORE), nullptr);

    EXPECT_TRUE(tEnsureElementAllowsPCDATA(&d.doc, pMrk));
    EXPECT_FALSE(tEnsureElementAllowsPCDATA(&d.doc, pMrk)) << "already allowed";
    EXPECT_TRUE(pMrk->AllowsPCDATA());
    EXPECT_EQ(pMrk->GetFlags() & ELEMENTFLAG_PCDATA, ELEMENTFLAG_PCDATA);
}

TEST(DTDDeclare, RelationsKeepDuplicatesInOrder)
{
    DomDoc d;
    tcElement* pP = d.Kind("p");
    tcElement* pA = d.Kind("a");
    tcElement* pB = d.Kind("b");
    for (tcElement* pChild : {pA, pB, pA})
        ASSERT_TRUE(AddElementChild(pP, pChild, CHILD_ZEROORMORE, 0));
    EXPECT_EQ(RelationNames(pP), std::vector<std::string>({"a", "b", "a"}));
    EXPECT_EQ(pP->FindChildByID(pB->GetID()), pP->GetChildElement(1));
    EXPECT_EQ(pP->GetChildByID(pA->GetID()), pP->GetChildElement(0));
    EXPECT_EQ(pP->GetChildIndexByName("b"), 1);

    tcDocument other;
    other.CreateEmptyOvraDTD();
    EXPECT_FALSE(pP->AddChildElement(other.GetDTD()->GetElementByID(1), CHILD_ONE)) << "a kind of another DTD";
}

// ----- Type changes ---------------------------------------------------------------------------------

TEST(DTDTypeChange, CdataToListKeepsValuesAndSeedsTheListInDocumentOrder)
{
    DomDoc d;
    tcElement* pTarget = d.Kind("target");
    tcAttribute* pState = tCreateAttribute(&d.doc, pTarget, "state", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pEntry);
    std::vector<tcNode*> apTargets;
    for (const char* szValue : {"translated", "new", "", "translated", "signed-off"})
    {
        tcNode* pNode = d.doc.AllocateElement(pTarget);
        pNode->SetAttributeS(pState, szValue);
        pEntry->AddChildLast(pNode);
        apTargets.push_back(pNode);
    }

    ASSERT_TRUE(tChangeAttributeType(&d.doc, pTarget, pState, ATTR_LIST, ""));
    EXPECT_EQ(pState->GetType(), ATTR_LIST);
    ASSERT_NE(pState->GetList(), nullptr);
    EXPECT_EQ(pState->GetList()->GetName(), "target_state");
    EXPECT_EQ(Items(pState->GetList()), std::vector<std::string>({"translated", "new", "signed-off"}));
    EXPECT_EQ(apTargets[1]->GetAttributeDisplayAsString(pState), "new");
    EXPECT_TRUE(apTargets[2]->HasAttributeValue(pState)) << "set-but-empty survives";

    // Appending the vocabulary afterwards keeps the places of what is there.
    for (const char* szValue : {"final", "new", "translated"})
        Helper_AddListItemIfNotAlreadyInList(d.doc.GetDTD(), pState->GetList(), szValue);
    EXPECT_EQ(Items(pState->GetList()), std::vector<std::string>({"translated", "new", "signed-off", "final"}));

    tcAttribute* pOther = tCreateAttribute(&d.doc, d.Kind("x"), "y", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    EXPECT_FALSE(tChangeAttributeType(&d.doc, pTarget, pOther, ATTR_LIST, "")) << "attribute of another kind";
}

// ----- Deletion -------------------------------------------------------------------------------------

TEST(DTDDelete, DeletingAKindTakesItsRelationsStylesOrderItemsAndNodes)
{
    DomDoc d;
    d.doc.AddStyleSet("Second");
    tcElement* pP = d.Kind("p");
    tcElement* pGone = d.Kind("gone", pP);
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pGone, "a", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tAddStyleElement(&d.doc, pGone, "", -1, -1, -1, -1, -1, -1, "", "", "", "", "", "", "", "", ",");
    tAddStyleAttribute(&d.doc, pGone, pAttr, "", -1, -1, -1, -1, -1, -1, "", "", "", "", "", "", "", "", "");
    d.doc.GetStyleSet(1)->GetOrder()->AddElementOrderChild(pP, pGone);
    d.doc.GetStyleSet(1)->GetOrder()->AddElementOrderAttribute(pGone, pAttr);
    tcNode* pParent = d.doc.AllocateElement(pP);
    d.pSection->AddChildLast(pParent);
    tcNode* pNode = d.doc.AllocateElement(pGone);
    pParent->AddChildLast(pNode);
    pNode->AddChildLast(d.doc.AllocateElement(pGone)); // nested: freed with its parent
    d.doc.AllocateElement(pGone);                      // unattached

    ASSERT_TRUE(DeleteElementHelper(&d.doc, pGone->GetID()));
    EXPECT_EQ(d.doc.GetDTD()->FindElementByName("gone"), nullptr);
    EXPECT_EQ(pP->GetNumChildren(), 0);
    EXPECT_EQ(pParent->GetNumChildren(), 0);
    for (int i = 0; i < d.doc.GetNumStyleSets(); ++i)
    {
        EXPECT_EQ(d.doc.GetStyleSet(i)->GetNumStyles(), 0);
        const tcElementOrderItems* pItems = d.doc.GetStyleSet(i)->GetOrder()->GetOrderElement(pP);
        EXPECT_TRUE(!pItems || pItems->GetNumOrderItems() == 0);
    }
    EXPECT_FALSE(DeleteElementHelper(&d.doc, 999));
}

TEST(DTDDelete, DeletedAttributeValuesDoNotReappear)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pOld = tCreateAttribute(&d.doc, pKind, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    tcNode* pNode = d.doc.AllocateElement(pKind);
    pNode->SetAttributeS(pOld, "old");

    ASSERT_TRUE(DeleteAttributeHelper(&d.doc, pKind, pOld));
    EXPECT_EQ(pKind->GetNumAttributes(), 0);
    tcAttribute* pNew = tCreateAttribute(&d.doc, pKind, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    EXPECT_FALSE(pNode->HasAttributeValue(pNew));
    EXPECT_EQ(pNode->GetAttributeSByName("x"), "");
}

// ----- Lists, entities, references ------------------------------------------------------------------

TEST(DTDLists, ItemsAndListsGetIdentifiersOfTheirOwn)
{
    tcDTD dtd;
    tcAttrList* pList = tEnsureListExists(&dtd, "pos");
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(tEnsureListExists(&dtd, "pos"), pList);
    EXPECT_EQ(tEnsureListExists(&dtd, ""), nullptr);
    EXPECT_NE(tEnsureListExists(&dtd, "other")->GetID(), pList->GetID());

    EXPECT_EQ(pList->AddListItem(7, "noun", true), 7);
    EXPECT_EQ(pList->AddListItem(7, "verb", true), 8) << "identifier in use";
    EXPECT_EQ(Helper_AddListItem(&dtd, pList, "adj"), 9);
    EXPECT_EQ(Helper_AddListItemIfNotAlreadyInList(&dtd, pList, "verb"), 8);
    EXPECT_EQ(pList->GetTextFromID(8), "verb");
    EXPECT_EQ(pList->FindByText("adj"), 2);
    EXPECT_EQ(pList->InsertListItem(0, "adv"), 10);
    EXPECT_EQ(Items(pList), std::vector<std::string>({"adv", "noun", "verb", "adj"}));

    tcLabelSet* pLabels = pList->AddLabelSet("short");
    pLabels->AddLabel(7, "n.");
    pLabels->AddLabel(7, "n");
    EXPECT_EQ(pLabels->GetNumLabels(), 1);
    EXPECT_EQ(pLabels->GetLabelByID(7), "n");

    dtd.AddEntity("lt", "<");
    dtd.AddEntity("lt", "&#60;");
    EXPECT_EQ(dtd.GetNumEntities(), 1);
    EXPECT_EQ(dtd.FindEntity("lt")->GetValue(), "&#60;");

    dtd.AddCrossRefType(3, "see");
    EXPECT_EQ(dtd.AddNewRefType("cf")->GetID(), 1);
    EXPECT_EQ(dtd.GetCrossRefTypeByName("see")->GetID(), 3);

    // Deleting a list leaves no attribute pointing at it.
    dtd.AddElement(std::make_unique<tcElement>("e", 0));
    tcAttribute* pAttr = dtd.GetElement(0)->AddAttribute("pos", ATTR_LIST, ATTRDEF_IMPLIED);
    pAttr->SetList(pList);
    ASSERT_TRUE(dtd.DeleteList(dtd.GetListIndex(pList)));
    EXPECT_EQ(pAttr->GetList(), nullptr);
}

TEST(DTDLists, PredefinedEntitiesAndRefLabelsAreAddedOnce)
{
    tcDocument doc;
    doc.CreateEmptyOvraDTD();
    doc.GetDTD()->AddEntity("amp", "custom");
    doc.CreateXMLPredefinedEntities();
    doc.CreateXMLPredefinedEntities();
    EXPECT_EQ(doc.GetDTD()->GetNumEntities(), 5);
    EXPECT_EQ(doc.GetDTD()->FindEntity("amp")->GetValue(), "custom");
    EXPECT_EQ(doc.GetDTD()->FindEntity("quot")->GetValue(), "\"");

    doc.GetDTD()->AddCrossRefType(2, "synonym");
    doc.CreateDefaultRefLabels();
    doc.CreateDefaultRefLabels();
    ASSERT_EQ(doc.GetDTD()->GetNumRefLabelSets(), 1);
    EXPECT_EQ(doc.GetDTD()->GetRefLabelSet(0)->GetLabelIDByIndex(0), 2);
    EXPECT_EQ(doc.GetDTD()->GetRefLabelSet(0)->GetLabelByIndexS(0), "synonym");
}

// ----- Styles ---------------------------------------------------------------------------------------

TEST(DTDStyles, StyleHelpersReachEveryStyleSet)
{
    DomDoc d;
    d.doc.AddStyleSet("Default styles");
    tcElement* pEntry = d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    tcAttribute* pName = pEntry->FindAttributeByID(1);

    tcStyleElement* pStyle = tAddStyleElement(&d.doc, pEntry, "Arial", 10, -1, -1, -1, -1, -1, "", "", "", "", "000000",
                                              "FFFFFF", "", "", ",");
    ASSERT_NE(pStyle, nullptr);
    tAddStyleAttribute(&d.doc, pEntry, pName, "", -1, 1, -1, -1, -1, -1, " [", "]", "", "", "000080", "", "", "", "");
    tAddStyleElement(&d.doc, pEntry, "Arial", 12, -1, -1, -1, -1, -1, "", "", "", "", "000000", "FFFFFF", "", "", ",");

    for (int i = 0; i < d.doc.GetNumStyleSets(); ++i)
    {
        const tcStyles* pSet = d.doc.GetStyleSet(i);
        ASSERT_EQ(pSet->GetNumStyles(), 2) << "an existing style is updated, not duplicated";
        EXPECT_EQ(pSet->FindElementStyleByName("Lemma")->fSize, 12);
        EXPECT_EQ(pSet->FindElementStyleByID(ELEMENTID_ENTRY)->sColourF, "000000");
        EXPECT_EQ(pSet->FindElementStyle(pEntry)->sBetween, ",");
        const tcStyleAttribute* pAttrStyle = pSet->FindAttributeStyleByName("Lemma", "LemmaSign");
        ASSERT_NE(pAttrStyle, nullptr);
        EXPECT_EQ(pAttrStyle->nB, 1);
        EXPECT_EQ(pAttrStyle->sBeforeI, " [");
        EXPECT_EQ(pAttrStyle->sColourF, "000080");
    }
    EXPECT_EQ(tAddStyleElement(nullptr, pEntry, "", -1, -1, -1, -1, -1, -1, "", "", "", "", "", "", "", "", ""),
              nullptr);
}

TEST(DTDStyles, CsvStringRoundTripsAndSkipsWhatItDoesNotKnow)
{
    tcStyleElement source;
    source.sFont = "DejaVu Sans";
    source.fSize = 12.5f;
    source.nB = STYLE_ON;
    source.sBetween = ", ";
    source.sBeforeI = "a\\b";
    source.bParagraph = true;

    tcStyleElement copy;
    EXPECT_GT(copy.SetStyleFromCSVString(source.GetStyleAsCSVString()), 20);
    EXPECT_EQ(copy.GetStyleAsCSVString(), source.GetStyleAsCSVString());
    EXPECT_EQ(copy.sBetween, ", ");
    EXPECT_EQ(copy.sBeforeI, "a\\b");
    EXPECT_FLOAT_EQ(copy.fSize, 12.5f);

    tcStyleElement partial;
    EXPECT_EQ(partial.SetStyleFromCSVString("bold=1,nonsense=3,italic=x,novalue"), 1);
    EXPECT_EQ(partial.nB, 1);
    EXPECT_EQ(partial.nI, STYLE_INHERIT);
}
