#include "tests/varnak/DomTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

// Every call that takes an index gives its neutral result for -1 and for one past the end, and
// changes nothing. Each object below holds exactly one element where it has a list.
TEST(IndexBounds, OutOfRangeIndexesGiveTheNeutralResult)
{
    DomDoc d;
    tcElement* pKind = d.Kind("k");
    tcElement* pChildKind = d.Kind("c", pKind);
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pKind, "a", ATTRDEF_IMPLIED, ATTR_LIST, true, 0);
    tcAttrList* pList = pAttr->GetList();
    pList->AddListItem(1, "one");
    tcLabelSet* pLabels = pList->AddLabelSet("l");
    pLabels->AddLabel(1, "1");
    tcDTD* pDTD = d.doc.GetDTD();
    pDTD->AddCrossRefType(1, "see");
    tcRefLabelSet* pRefLabels = pDTD->AddRefLabelSet(std::make_unique<tcRefLabelSet>("r"));
    pRefLabels->AddLabel(1, "s", "p");
    tcNode* pNode = d.doc.AllocateElement(pKind);
    pNode->SetAttributeS(pAttr, "one");
    tcNode* pChild = d.doc.AllocateElement(pChildKind);
    pNode->AddChildLast(pChild);
    tcNode* pSpare = d.doc.AllocateElement(pChildKind);
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pEntry);
    auto* pRefs = static_cast<tcReferences*>(d.doc.AllocateElementByID(ELEMENTID_REFERENCES));
    pRefs->AddRefSense(pEntry->GetID(), 77, 1);
    tcStyles* pStyles = d.doc.GetStyleSet(0);
    pStyles->AddStyle(std::make_unique<tcStyleElement>(pKind));
    tcOrder* pOrder = pStyles->GetOrder();
    pOrder->AddElementOrderChild(pKind, pChildKind);
    tcElementOrderItems* pItems = pOrder->GetOrderElement(pKind);

    struct Probe
    {
        std::string sName;
        std::function<bool(int)> fnNeutral; // called with an out-of-range index
        int nSize;                          // the valid range is 0..nSize-1
    };
    const std::vector<Probe> aProbes = {
        {"tcNode::GetChild", [&](int i) { return pNode->GetChild(i) == nullptr; }, 1},
        {"tcNode::RemoveChildByIndex", [&](int i) { return pNode->RemoveChildByIndex(i) == nullptr; }, 1},
        {"tcNode::SwopChildren", [&](int i) { return !pNode->SwopChildren(0, i); }, 1},
        {"tcNode::MoveChild", [&](int i) { return !pNode->MoveChild(i, 0); }, 1},
        {"tcNode::InsertChild", [&](int i) { return !pNode->InsertChild(pSpare, i); }, 2},
        {"tcNode::GetNthChildOfElementType",
         [&](int i) { return pNode->GetNthChildOfElementType(pChildKind->GetID(), i) == nullptr; }, 1},
        {"tcNode::GetNthChildOfClassType",
         [&](int i) { return pNode->GetNthChildOfClassType(NODE_NODE, i) == nullptr; }, 1},
        {"tcNode::GetNthDescendant", [&](int i) { return pNode->GetNthDescendant(i) == nullptr; }, 1},
        {"tcNode::GetNthDescendantOfElementType",
         [&](int i) { return pNode->GetNthDescendantOfElementType(pChildKind->GetID(), i) == nullptr; }, 1},
        {"tcNode::GetAttributeSByIndex", [&](int i) { return pNode->GetAttributeSByIndex(i).empty(); }, 1},
        {"tcNode::GetAttributeIByIndex", [&](int i) { return pNode->GetAttributeIByIndex(i) == 0; }, 1},
        {"tcNode::GetAttributeDescriptor", [&](int i) { return pNode->GetAttributeDescriptor(i) == nullptr; }, 1},
        {"tcNode::GetAttributeDisplayAsStringByIndex",
         [&](int i) { return pNode->GetAttributeDisplayAsStringByIndex(i).empty(); }, 1},
        {"tcElement::GetChildElement", [&](int i) { return pKind->GetChildElement(i) == nullptr; }, 1},
        {"tcElement::RemoveChildElement", [&](int i) { return !pKind->RemoveChildElement(i); }, 1},
        {"tcElement::MoveElement", [&](int i) { return !pKind->MoveElement(i, 0); }, 1},
        {"tcElement::SwopChildElements", [&](int i) { return !pKind->SwopChildElements(0, i); }, 1},
        {"tcElement::GetChildFlags", [&](int i) { return pKind->GetChildFlags(i) == 0; }, 1},
        {"tcElement::SetChildFlags", [&](int i) { return !pKind->SetChildFlags(i, 1); }, 1},
        {"tcElement::AddChildElementAt", [&](int i) { return !pKind->AddChildElementAt(i, pChildKind, CHILD_ONE); }, 2},
        {"tcElement::GetAttribute", [&](int i) { return pKind->GetAttribute(i) == nullptr; }, 1},
        {"tcElement::DeleteAttribute", [&](int i) { return !pKind->DeleteAttribute(i); }, 1},
        {"tcElement::SwopAttributes", [&](int i) { return !pKind->SwopAttributes(0, i); }, 1},
        {"tcAttribute::SetAttributeIndex", [&](int i) { return !pAttr->SetAttributeIndex(i); }, 1},
        {"tcDTD::GetElement", [&](int i) { return pDTD->GetElement(i) == nullptr; }, pDTD->GetNumElements()},
        {"tcDTD::GetAttrList", [&](int i) { return pDTD->GetAttrList(i) == nullptr; }, 1},
        {"tcDTD::DeleteList", [&](int i) { return !pDTD->DeleteList(i); }, 1},
        {"tcDTD::GetEntity", [&](int i) { return pDTD->GetEntity(i) == nullptr; }, 0},
        {"tcDTD::GetCrossRefTypeByIndex", [&](int i) { return pDTD->GetCrossRefTypeByIndex(i) == nullptr; }, 1},
        {"tcDTD::GetRefLabelSet", [&](int i) { return pDTD->GetRefLabelSet(i) == nullptr; }, 1},
        {"tcAttrList::GetItemText", [&](int i) { return pList->GetItemText(i).empty(); }, 1},
        {"tcAttrList::GetItemID", [&](int i) { return pList->GetItemID(i) == -1; }, 1},
        {"tcAttrList::RenameListItem", [&](int i) { return !pList->RenameListItem(i, "x"); }, 1},
        {"tcAttrList::RemoveListItem", [&](int i) { return !pList->RemoveListItem(i); }, 1},
        {"tcAttrList::InsertListItem", [&](int i) { return pList->InsertListItem(i, "x") == -1; }, 2},
        {"tcAttrList::GetLabelSet", [&](int i) { return pList->GetLabelSet(i) == nullptr; }, 1},
        {"tcLabelSet::GetLabelByIndex", [&](int i) { return pLabels->GetLabelByIndex(i).empty(); }, 1},
        {"tcLabelSet::GetLabelIDFromIndex", [&](int i) { return pLabels->GetLabelIDFromIndex(i) == -1; }, 1},
        {"tcRefLabelSet::GetLabelByIndexS", [&](int i) { return pRefLabels->GetLabelByIndexS(i).empty(); }, 1},
        {"tcRefLabelSet::GetLabelIDByIndex", [&](int i) { return pRefLabels->GetLabelIDByIndex(i) == -1; }, 1},
        {"tcDocument::GetStyleSet", [&](int i) { return d.doc.GetStyleSet(i) == nullptr; }, 1},
        {"tcDocument::DeleteStyleSet", [&](int i) { return !d.doc.DeleteStyleSet(i); }, 1},
        {"tcDocument::SetCurrentStyleSet", [&](int i) { return !d.doc.SetCurrentStyleSet(i); }, 1},
        {"tcDocument::GetOrderByIndex", [&](int i) { return d.doc.GetOrderByIndex(i) == nullptr; }, 1},
        {"tcDocument::GetSection", [&](int i) { return d.doc.GetSection(i) == nullptr; }, 1},
        {"tcDictionary::GetSection", [&](int i) { return d.pRoot->GetSection(i) == nullptr; }, 1},
        {"tcLanguage::GetEntry", [&](int i) { return d.pSection->GetEntry(i) == nullptr; }, 1},
        {"tcReferences::GetRefEntry", [&](int i) { return pRefs->GetRefEntry(i) == nullptr; }, 1},
        {"tcReferences::GetRefEntryID", [&](int i) { return pRefs->GetRefEntryID(i) == idNULL; }, 1},
        {"tcReferences::GetRefSenseID", [&](int i) { return pRefs->GetRefSenseID(0, i) == idNULL; }, 1},
        {"tcReferences::RemoveRefEntryByIndex", [&](int i) { return !pRefs->RemoveRefEntryByIndex(i); }, 1},
        {"tcReferences::SetRefTypeByIndex", [&](int i) { return !pRefs->SetRefTypeByIndex(i, 2); }, 1},
        // With one reference there is nothing to move either way.
        {"tcReferences::MoveU", [&](int i) { return !pRefs->MoveU(i); }, 0},
        {"tcReferences::MoveD", [&](int i) { return !pRefs->MoveD(i); }, 0},
        {"tcStyles::GetStyle", [&](int i) { return pStyles->GetStyle(i) == nullptr; }, 1},
        {"tcOrder::GetOrderElementByIndex", [&](int i) { return pOrder->GetOrderElementByIndex(i) == nullptr; }, 1},
        {"tcElementOrderItems::GetOrderItem", [&](int i) { return pItems->GetOrderItem(i) == nullptr; }, 1},
        {"tcElementOrderItems::RemoveOrderItem", [&](int i) { return !pItems->RemoveOrderItem(i); }, 1},
    };

    for (const Probe& probe : aProbes)
        for (int nIndex :
             {-1, probe.nSize, probe.nSize + 5, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
            EXPECT_TRUE(probe.fnNeutral(nIndex)) << probe.sName << " with index " << nIndex;

    // Nothing was changed by the refused calls.
    EXPECT_EQ(pNode->GetNumChildren(), 1);
    EXPECT_EQ(pKind->GetNumChildren(), 1);
    EXPECT_EQ(pKind->GetNumAttributes(), 1);
    EXPECT_EQ(pList->GetNumItems(), 1);
    EXPECT_EQ(pDTD->GetNumLists(), 1);
    EXPECT_EQ(d.doc.GetNumStyleSets(), 1);
    EXPECT_EQ(pRefs->GetNumRefEntries(), 1);
    EXPECT_EQ(pItems->GetNumOrderItems(), 1);
}
