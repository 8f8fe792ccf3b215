#include "varnak/include/tcDocument.h"

#include "tests/varnak/DomTestUtil.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tcProperties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// ----- Creation -------------------------------------------------------------------------------------

TEST(DocumentCreate, CreateDocMakesAStyleSetButNoDictionary)
{
    tcDocument doc;
    ASSERT_TRUE(doc.CreateDoc("translate"));
    EXPECT_EQ(doc.GetName(), "translate");
    EXPECT_EQ(doc.GetDictionary(), nullptr);
    ASSERT_EQ(doc.GetNumStyleSets(), 1);
    ASSERT_NE(doc.GetCurrentOrder(), nullptr);
    EXPECT_EQ(doc.GetCurrentOrder()->GetNumElements(), 0);
    EXPECT_FALSE(doc.IsDirty());

    doc.GetProperties().SetProperty("/Project", "Name", "x", tTYPE_STRING);
    EXPECT_EQ(doc.GetProperties().GetString("/Project", "Name", ""), "x");
}

struct KindRow
{
    int nID;
    const char* szName;
    teNodeClass eClass;
    std::vector<std::pair<std::string, int>> aAttributes; // name, identifier, in declaration order
};

TEST(DocumentCreate, EmptyOvraDTDHasTheFixedKinds)
{
    const std::vector<KindRow> aExpected = {
        {1,
         "Dictionary",
         NODE_DICTIONARY,
         {{"Name", 1}, {"Description", 2}, {"CreatedBy", 3}, {"Copyright", 4}, {"URL", 5}, {"SoundPath", 8}}},
        {2, "Section", NODE_SECTION, {{"Name", 1}, {"AlphabetQuicklinks", 4}}},
        {4, "Lemma", NODE_ENTRY, {{"LemmaSign", 1}}},
        {6, "References", NODE_REFERENCES, {}},
    };
    tcDocument doc;
    doc.GetDTD()->AddElement(std::make_unique<tcElement>("old", 3)); // replaced, not kept
    doc.CreateEmptyOvraDTD();
    const tcDTD* pDTD = doc.GetDTD();

    ASSERT_EQ(pDTD->GetNumElements(), static_cast<int>(aExpected.size()));
    for (const KindRow& row : aExpected)
    {
        SCOPED_TRACE(row.szName);
        const tcElement* pKind = pDTD->GetElementByID(row.nID);
        ASSERT_NE(pKind, nullptr);
        EXPECT_EQ(pKind->GetName(), row.szName);
        EXPECT_EQ(pKind->GetClass(), row.eClass);
        ASSERT_EQ(pKind->GetNumAttributes(), static_cast<int>(row.aAttributes.size()));
        for (int i = 0; i < pKind->GetNumAttributes(); ++i)
        {
            EXPECT_EQ(pKind->GetAttribute(i)->GetName(), row.aAttributes[i].first);
            EXPECT_EQ(pKind->GetAttribute(i)->GetID(), row.aAttributes[i].second);
            EXPECT_EQ(pKind->GetAttribute(i)->GetType(), ATTR_CDATA);
            EXPECT_EQ(pKind->GetAttribute(i)->GetDefaultType(), ATTRDEF_IMPLIED);
        }
    }
    const tcChildRelation* pRel = pDTD->GetElementByID(1)->GetChildElement(0);
    ASSERT_NE(pRel, nullptr);
    EXPECT_EQ(pRel->pElement->GetID(), 2);
    EXPECT_EQ(pRel->eConstraint, CHILD_ZEROORMORE);
    pRel = pDTD->GetElementByID(2)->GetChildElement(0);
    ASSERT_NE(pRel, nullptr);
    EXPECT_EQ(pRel->pElement->GetID(), 4);
    EXPECT_EQ(pRel->eConstraint, CHILD_ZEROORMORE);
    EXPECT_EQ(pDTD->GetElementByID(1)->GetNumChildren(), 1);
    EXPECT_EQ(pDTD->GetNextTypeID(), 11);
}

// ----- Identifiers ----------------------------------------------------------------------------------

TEST(DocumentIds, NewKindsAndAttributesNeverTakeReservedIdentifiers)
{
    DomDoc d;
    tcDTD* pDTD = d.doc.GetDTD();
    // Kinds the importers create, in every way they create them.
    std::vector<int> anIDs = {d.Kind("a")->GetID(), AddElement(&d.doc, "b", NODE_NODE, 0, 0, false)->GetID(),
                              AddElement(&d.doc, "c", NODE_NODE, 4, 0, false)->GetID(), // 4 is taken
                              pDTD->AssignTypeID()};
    for (int nID : anIDs)
        EXPECT_GT(nID, ELEMENTID_LASTRESERVED);
    std::sort(anIDs.begin(), anIDs.end());
    EXPECT_EQ(std::adjacent_find(anIDs.begin(), anIDs.end()), anIDs.end()) << "all distinct";

    // A free fixed identifier asked for by name is given (the importers' Sense kind is 5).
    EXPECT_EQ(AddElement(&d.doc, "Sense", NODE_NODE, 5, 0, false)->GetID(), 5);
    pDTD->SetNextTypeID(3);
    EXPECT_GT(pDTD->AssignTypeID(), ELEMENTID_LASTRESERVED);

    tcElement* pEntry = pDTD->GetElementByID(ELEMENTID_ENTRY);
    for (const char* szName : {"original", "datatype", "x"})
    {
        const tcAttribute* pAttr = tCreateAttribute(&d.doc, pEntry, szName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
        EXPECT_GT(pAttr->GetID(), ATTRID_LASTRESERVED) << szName;
    }
    EXPECT_GT(pEntry->AddAttribute("y", ATTR_CDATA, ATTRDEF_IMPLIED, 1)->GetID(), ATTRID_LASTRESERVED)
        << "identifier 1 is the lemma sign's";

    // Renumbering refuses an identifier in use.
    EXPECT_FALSE(pEntry->FindAttributeByName("x")->SetID(1));
    EXPECT_TRUE(pEntry->FindAttributeByName("x")->SetID(6));
    EXPECT_FALSE(d.Kind("a")->SetID(ELEMENTID_ENTRY));
    EXPECT_FALSE(d.Kind("a")->SetID(0));
}

TEST(DocumentIds, NodeIdentifiersNeverRepeat)
{
    DomDoc d;
    tcNode* pA = d.Node("a");
    tcNode* pB = d.Node("a");
    EXPECT_NE(pA->GetID(), idNULL);
    EXPECT_GT(pB->GetID(), pA->GetID());
    EXPECT_EQ(d.doc.AllocateElementByID(ELEMENTID_ENTRY, false)->GetID(), idNULL);

    pA->SetID(500); // as an importer does with identifiers from the file
    EXPECT_GT(d.Node("a")->GetID(), 500);

    d.doc.SetIDAssigner(std::make_unique<tcIDAssigner>(1));
    d.doc.RecreateDefaultIDAssigner();
    EXPECT_GT(d.Node("a")->GetID(), 500);
}

TEST(DocumentIds, AllocationGivesTheClassOfTheKind)
{
    DomDoc d;
    EXPECT_STREQ(d.doc.AllocateElementByID(ELEMENTID_DICTIONARY)->GetClassName(), "tcDictionary");
    EXPECT_STREQ(d.doc.AllocateElementByID(ELEMENTID_SECTION)->GetClassName(), "tcLanguage");
    EXPECT_STREQ(d.doc.AllocateElementByID(ELEMENTID_ENTRY)->GetClassName(), "tcEntry");
    EXPECT_STREQ(d.doc.AllocateElementByID(ELEMENTID_REFERENCES)->GetClassName(), "tcReferences");
    EXPECT_STREQ(d.Node("a")->GetClassName(), "tcElementNode");
    tcElement* pSub = AddElement(&d.doc, "Sublema", NODE_SUBENTRY, 7, 0, false);
    tcNode* pSubentry = d.doc.AllocateElement(pSub);
    EXPECT_TRUE(pSubentry->IsKindOfClass(NODE_ENTRY));
    EXPECT_FALSE(pSubentry->IsClass(NODE_ENTRY));
    EXPECT_EQ(d.doc.AllocateElementByID(99), nullptr);
    EXPECT_EQ(d.doc.AllocateElementByName("nope"), nullptr);

    tcDocument other;
    other.CreateEmptyOvraDTD();
    EXPECT_EQ(d.doc.AllocateElement(other.GetDTD()->GetElementByID(1)), nullptr) << "a kind of another DTD";
}

TEST(DocumentIds, DefaultsAreSetOnlyWhenAsked)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pFixed = tCreateAttribute(&d.doc, pKind, "f", ATTRDEF_FIXED, ATTR_CDATA, false, 0);
    tcAttribute* pImplied = tCreateAttribute(&d.doc, pKind, "i", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    pFixed->SetDefault("F");
    pImplied->SetDefault("I");
    EXPECT_FALSE(d.doc.AllocateElement(pKind, true, false)->HasAttributeValue(pFixed));
    tcNode* pNode = d.doc.AllocateElement(pKind, true, true);
    EXPECT_EQ(pNode->GetAttributeS(pFixed), "F");
    EXPECT_FALSE(pNode->HasAttributeValue(pImplied));
}

// ----- Changed flag ---------------------------------------------------------------------------------

TEST(DocumentDirty, EventFiresOnlyOnChangeAndCarriesTheDocument)
{
    tcDocument doc;
    doc.CreateDoc("x");
    EventRecorder dirty(Evt_DirtyStateChanged);

    doc.ClearDirty();
    EXPECT_TRUE(dirty.aArg1.empty());
    doc.SetDirty();
    doc.SetDirty();
    EXPECT_TRUE(doc.IsDirty());
    doc.ClearDirty();
    doc.ClearDirty();
    EXPECT_FALSE(doc.IsDirty());
    EXPECT_EQ(dirty.aArg1, std::vector<void*>({&doc, &doc}));
}

TEST(DocumentDirty, EditingPrimitivesLeaveTheFlagAlone)
{
    DomDoc d;
    tcElement* pKind = d.Kind("a");
    tcAttribute* pAttr = tCreateAttribute(&d.doc, pKind, "x", ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
    d.doc.ClearDirty();
    EventRecorder dirty(Evt_DirtyStateChanged);

    tcNode* pNode = d.doc.AllocateElement(pKind);
    pNode->SetAttributeS(pAttr, "v");
    pNode->SetAttributeDisplayByString(pAttr, "w", true);
    d.pSection->AddChildOrdered(pNode);
    pNode->AddChildLast(d.doc.AllocateTextNode("t"));
    d.doc.DeleteTreeFromMem(pNode->GetChild(0));

    EXPECT_FALSE(d.doc.IsDirty());
    EXPECT_TRUE(dirty.aArg1.empty());
}

TEST(DocumentDirty, NodeModifiedStampsTheEntryAndMarksTheDocument)
{
    DomDoc d;
    tcElement* pFile = d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    tcAttribute* pDate = tCreateAttribute(&d.doc, pFile, "lastmodified", ATTRDEF_DATECHANGED, ATTR_CDATA, false, 0);
    tcAttribute* pUser = tCreateAttribute(&d.doc, pFile, "lastmodifiedby", ATTRDEF_USERCHANGED, ATTR_CDATA, false, 0);
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElement(pFile));
    d.pSection->InsertEntry(pEntry);
    tcNode* pTarget = d.Node("target");
    pEntry->AddChildLast(pTarget);
    d.doc.ClearDirty();
    EventRecorder modified(Evt_NodeModified);

    tNodeModified(&d.doc, pTarget, true, true);

    EXPECT_TRUE(d.doc.IsDirty());
    EXPECT_TRUE(pEntry->HasChanged());
    const wxString sDate = pEntry->GetAttributeS(pDate);
    EXPECT_EQ(sDate.length(), 20u) << sDate;
    EXPECT_TRUE(sDate.EndsWith("Z"));
    EXPECT_EQ(sDate[10], 'T');
    EXPECT_FALSE(pEntry->GetAttributeS(pUser).empty());
    EXPECT_EQ(modified.aArg1, std::vector<void*>({pTarget}));
}

// ----- Deletion -------------------------------------------------------------------------------------

TEST(DocumentDelete, FromDocRecordsAndMarksFromMemDoesNot)
{
    DomDoc d;
    auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pEntry);
    tcNode* pChild = d.Node("a");
    pEntry->AddChildLast(pChild);
    const tID idEntry = pEntry->GetID();
    const tID idSection = d.pSection->GetID();
    d.doc.ClearDirty();
    EventRecorder deleting(Evt_NodeDeleteFromDoc);

    ASSERT_TRUE(d.doc.DeleteTreeFromDoc(d.pSection));
    EXPECT_EQ(d.pRoot->GetNumChildren(), 0);
    EXPECT_TRUE(d.doc.IsDirty());
    ASSERT_EQ(d.doc.m_aDeletedNodes.size(), 2u);
    EXPECT_EQ(d.doc.m_aDeletedNodes[0].nID, idSection);
    EXPECT_EQ(d.doc.m_aDeletedNodes[1].nID, idEntry);
    EXPECT_EQ(d.doc.m_aDeletedNodes[1].eClass, NODE_ENTRY);
    EXPECT_EQ(d.doc.m_apDeleted, std::vector<tID>({idSection, idEntry}));
    EXPECT_EQ(deleting.aArg1, std::vector<void*>({&d.doc}));
    d.doc.ClearDeleted();
    EXPECT_TRUE(d.doc.m_apDeleted.empty());

    d.doc.ClearDirty();
    ASSERT_TRUE(d.doc.DeleteTreeFromMem(d.pRoot->AddLanguage("s")));
    EXPECT_TRUE(d.doc.m_apDeleted.empty());
    EXPECT_FALSE(d.doc.IsDirty());

    tcDocument other;
    other.CreateEmptyOvraDTD();
    EXPECT_FALSE(d.doc.DeleteTreeFromDoc(other.AllocateElementByID(ELEMENTID_ENTRY))) << "another document's node";
    EXPECT_FALSE(d.doc.DeleteTreeFromDoc(nullptr));
}

TEST(DocumentDelete, RootCanBeReplacedAndTheOldOneIsStillFreed)
{
    DomDoc d;
    tcDictionary* pOld = d.pRoot;
    auto* pNew = static_cast<tcDictionary*>(d.doc.AllocateElementByID(ELEMENTID_DICTIONARY));
    d.doc.SetDictionary(pNew);
    d.doc.SetDictionary(pNew);
    EXPECT_EQ(d.doc.GetDictionary(), pNew);
    EXPECT_EQ(pOld->GetDoc(), &d.doc) << "still owned by the document";
    d.doc.SetDictionary(nullptr);
    EXPECT_EQ(d.doc.GetNumSections(), 0);
    EXPECT_EQ(d.doc.GetSection(0), nullptr);
}

// ----- Sections and entries -------------------------------------------------------------------------

TEST(DocumentEntries, InsertEntryAppendsInOrder)
{
    DomDoc d;
    std::vector<tcEntry*> apEntries;
    for (const char* szLemma : {"b", "a", "c", "a"})
    {
        auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
        pEntry->SetLemmaSign(szLemma);
        ASSERT_TRUE(d.pSection->InsertEntry(pEntry));
        apEntries.push_back(pEntry);
    }
    ASSERT_EQ(d.pSection->GetNumEntries(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d.pSection->GetEntry(i), apEntries[i]);
    EXPECT_EQ(d.pSection->GetEntry(4), nullptr);
    EXPECT_EQ(d.pSection->GetEntry(-1), nullptr);

    std::vector<tcEntry*> apFound;
    EXPECT_EQ(d.pSection->FindEntries("a", apFound), 2);
    EXPECT_EQ(apFound, std::vector<tcEntry*>({apEntries[1], apEntries[3]}));
    EXPECT_EQ(d.pSection->FindEntries("A", apFound), 0);
    EXPECT_EQ(d.pSection->FindEntryByID(apEntries[2]->GetID()), apEntries[2]);
    EXPECT_FALSE(d.pSection->InsertEntry(nullptr));
}

TEST(DocumentEntries, HomonymNumbersFollowSectionOrder)
{
    DomDoc d;
    tcElement* pKind = d.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    pKind->AddAttribute("HomonymNumber", ATTR_NDATA, ATTRDEF_IMPLIED, 6);
    std::vector<tcEntry*> apEntries;
    for (const char* szLemma : {"a", "b", "a"})
    {
        auto* pEntry = static_cast<tcEntry*>(d.doc.AllocateElement(pKind));
        pEntry->SetLemmaSign(szLemma);
        d.pSection->InsertEntry(pEntry);
        apEntries.push_back(pEntry);
    }
    apEntries[1]->SetHomNum(4); // a unique lemma loses a stale number

    std::vector<tcEntry*> apChanged;
    EXPECT_EQ(d.pSection->FixHomonymNumbers(apChanged), 3);
    EXPECT_EQ(apChanged, std::vector<tcEntry*>({apEntries[0], apEntries[1], apEntries[2]}));
    EXPECT_EQ(apEntries[0]->GetHomNum(), 1);
    EXPECT_EQ(apEntries[1]->GetHomNum(), 0);
    EXPECT_EQ(apEntries[2]->GetHomNum(), 2);
    apChanged.clear();
    EXPECT_EQ(d.pSection->FixHomonymNumbers(apChanged), 0);
}

TEST(DocumentEntries, AddLanguageSetsOnlyAGivenName)
{
    DomDoc d;
    tcElement* pSectionKind = d.doc.GetDTD()->GetElementByID(ELEMENTID_SECTION);
    EXPECT_FALSE(d.pSection->HasAttributeValue(pSectionKind->FindAttributeByID(1)))
        << "a writer would otherwise write Name=\"\"";
    tcLanguage* pNamed = d.pRoot->AddLanguage("de");
    EXPECT_EQ(pNamed->GetName(), "de");
    EXPECT_EQ(d.doc.GetNumSections(), 2);
    EXPECT_EQ(d.doc.GetSection(1), pNamed);
    EXPECT_EQ(pNamed->GetDictionary(), d.pRoot);

    tcDictionary loose(nullptr, d.doc.GetDTD()->GetElementByID(ELEMENTID_DICTIONARY));
    EXPECT_EQ(loose.AddLanguage("x"), nullptr) << "no document to allocate in";
}

TEST(DocumentEntries, ReferencesResolveThroughTheDocument)
{
    DomDoc d;
    auto* pTarget = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    auto* pSource = static_cast<tcEntry*>(d.doc.AllocateElementByID(ELEMENTID_ENTRY));
    d.pSection->InsertEntry(pTarget);
    d.pSection->InsertEntry(pSource);
    tcElement* pSenseKind = AddElement(&d.doc, "Sense", NODE_NODE, ELEMENTID_SENSE, 0, false);
    tcNode* pSense = d.doc.AllocateElement(pSenseKind);
    pTarget->AddChildLast(pSense);
    auto* pRefs = static_cast<tcReferences*>(d.doc.AllocateElementByID(ELEMENTID_REFERENCES));
    pSource->AddChildLast(pRefs);

    EXPECT_EQ(pRefs->AddRefEntry(pTarget, 3), 0);
    EXPECT_TRUE(pRefs->AddRefSense(pTarget->GetID(), pSense->GetID(), 3));
    EXPECT_FALSE(pRefs->AddRefSense(pTarget->GetID(), pSense->GetID(), 3));
    EXPECT_EQ(pRefs->GetRefEntry(0), pTarget);
    EXPECT_EQ(pRefs->GetRefSense(0, 0), pSense);
    EXPECT_TRUE(IsSenseNode(pSense));

    std::vector<tcNode*> apReferrers;
    EXPECT_EQ(LemmaFindReferrers(pTarget, apReferrers), 1);
    EXPECT_EQ(apReferrers, std::vector<tcNode*>({pRefs}));

    d.doc.DeleteTreeFromDoc(pTarget);
    EXPECT_EQ(pRefs->GetRefEntry(0), nullptr) << "a deleted entry no longer resolves";
    EXPECT_EQ(pRefs->GetRefSense(0, 0), nullptr);
}
