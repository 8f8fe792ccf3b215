#include "Shared/AppUtils_shared.h"

#include "tests/Shared/AppUtilsSharedFixtures.h"

#include "varnak/include/tGUID.h"
#include "varnak/include/tNodeHelpers.h"
#include "varnak/include/tcIO.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
class AppUtilsShared : public testing::Test
{
protected:
    void TearDown() override { g_pDoc = nullptr; }
};

// ----- Required children ----------------------------------------------------------------------------

struct RequiredCase
{
    const char* szName;
    std::vector<TinyRelation> aRelations;
    const char* szRoot;
    const char* szExpected;
};

TEST_F(AppUtilsShared, AllocationAddsRequiredChildrenOncePerKind)
{
    const std::vector<RequiredCase> aCases = {
        {"zero-or-more and optional children only",
         {{"xliff", "file", CHILD_ZEROORMORE},
          {"file", "header", CHILD_ZEROORONE},
          {"file", "body", CHILD_ZEROORMORE},
          {"body", "trans-unit", CHILD_ZEROORMORE},
          {"trans-unit", "source", CHILD_ZEROORONE}},
         "xliff",
         "xliff"},
        {"cycle A requires B requires A", {{"A", "B", CHILD_ONE}, {"B", "A", CHILD_ONEORMORE}}, "A", "A(B(A))"},
        {"diamond: D lands under the first branch only",
         {{"A", "B", CHILD_ONE}, {"A", "C", CHILD_ONEORMORE}, {"B", "D", CHILD_ONE}, {"C", "D", CHILD_ONE}},
         "A",
         "A(B(D),C)"},
        {"DTD order, optional kinds left out",
         {{"A", "X", CHILD_ZEROORONE}, {"A", "Y", CHILD_ONE}, {"A", "Z", CHILD_ZEROORMORE}, {"A", "W", CHILD_ONE}},
         "A",
         "A(Y,W)"},
        {"a kind listed twice is added once",
         {{"A", "B", CHILD_ONE}, {"A", "C", CHILD_ONE}, {"A", "B", CHILD_ONE}},
         "A",
         "A(B,C)"},
    };
    for (const RequiredCase& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        TinyDoc tiny(c.aRelations);
        tiny.doc.ClearDirty();
        EventRecorder modified(Evt_NodeModified);
        EventRecorder entryChanged(Evt_EntryChanged);

        tcNode* pByID = AllocateElementByIDHelper(tiny.Kind(c.szRoot)->GetID(), &tiny.doc);
        tcNode* pByKind = AllocateElementHelper(tiny.Kind(c.szRoot), &tiny.doc);

        EXPECT_EQ(Dump(pByID), c.szExpected);
        EXPECT_EQ(Dump(pByKind), c.szExpected);
        EXPECT_EQ(g_pDoc, nullptr);
        EXPECT_FALSE(tiny.doc.IsDirty());
        EXPECT_TRUE(modified.aCalls.empty());
        EXPECT_TRUE(entryChanged.aCalls.empty());
    }
}

TEST_F(AppUtilsShared, RequiredChildrenGoToTheNodesOwnDocument)
{
    const std::vector<TinyRelation> aRelations = {{"A", "B", CHILD_ONE}};
    TinyDoc tiny(aRelations);
    TinyDoc current(aRelations); // same kind names, another document
    g_pDoc = &current.doc;

    tcNode* pA = AllocateElementHelper(tiny.Kind("A"), &tiny.doc);

    ASSERT_EQ(Dump(pA), "A(B)");
    EXPECT_EQ(pA->GetChild(0)->GetDoc(), &tiny.doc);
    EXPECT_EQ(pA->GetChild(0)->GetElement(), tiny.Kind("B"));
    EXPECT_EQ(g_pDoc, &current.doc);
}

TEST_F(AppUtilsShared, AllocationRejectsWhatTheDocumentLacks)
{
    TinyDoc tiny;
    TinyDoc other;
    EXPECT_EQ(AllocateElementByIDHelper(tiny.Kind("A")->GetID(), nullptr), nullptr);
    EXPECT_EQ(AllocateElementByIDHelper(999, &tiny.doc), nullptr);
    EXPECT_EQ(AllocateElementHelper(other.Kind("A"), &tiny.doc), nullptr);
    EXPECT_EQ(AllocateElementHelper(nullptr, &tiny.doc), nullptr);
    AutoAddRequiredChildren(nullptr, true); // must not crash
}

TEST_F(AppUtilsShared, AutoAddRequiredChildAddsOnlyThatRequiredKind)
{
    TinyDoc tiny({{"A", "B", CHILD_ONE},
                  {"A", "C", CHILD_ONEORMORE},
                  {"A", "O", CHILD_ZEROORONE},
                  {"C", "D", CHILD_ONE},
                  {"D", "C", CHILD_ONE}});

    tcNode* pA = tiny.New("A");
    AutoAddRequiredChild(pA, tiny.Kind("C"));
    EXPECT_EQ(Dump(pA), "A(C(D))"); // C itself stays on the call's list, so D gets no C

    AutoAddRequiredChild(pA, tiny.Kind("C")); // already there
    AutoAddRequiredChild(pA, tiny.Kind("O")); // optional
    AutoAddRequiredChild(pA, tiny.Kind("D")); // no relation A -> D
    AutoAddRequiredChild(pA, nullptr);
    EXPECT_EQ(Dump(pA), "A(C(D))");

    AutoAddRequiredChildren(pA);
    EXPECT_EQ(Dump(pA), "A(B,C(D))");
}

TEST_F(AppUtilsShared, MarkChangedReportsEachAddition)
{
    DictionaryDoc dict;
    tcElement* pLemma = dict.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    tcElement* pSense = AddElement(&dict.doc, "Sense", NODE_NODE, -1, 0, false);
    tcElement* pGloss = AddElement(&dict.doc, "Gloss", NODE_NODE, -1, 0, false);
    tcElement* pNote = AddElement(&dict.doc, "Note", NODE_NODE, -1, 0, false);
    AddElementChild(pLemma, pSense, CHILD_ZEROORMORE);
    AddElementChild(pSense, pGloss, CHILD_ONE);
    AddElementChild(pGloss, pNote, CHILD_ONEORMORE);

    tcEntry* pEntry = dict.AddEntry("bank");
    tcNode* pSenseNode = dict.doc.AllocateElement(pSense);
    pEntry->AddChildLast(pSenseNode);
    dict.doc.ClearDirty();

    {
        EventRecorder entryChanged(Evt_EntryChanged);
        AutoAddRequiredChildren(pSenseNode, false);
        EXPECT_TRUE(entryChanged.aCalls.empty());
        EXPECT_FALSE(pEntry->HasChanged());
        EXPECT_FALSE(dict.doc.IsDirty());
    }

    pSenseNode->GetChild(0)->RemoveNode();
    EventRecorder entryChanged(Evt_EntryChanged);
    AutoAddRequiredChildren(pSenseNode, true);

    EXPECT_EQ(Dump(pSenseNode), "Sense(Gloss(Note))");
    ASSERT_EQ(entryChanged.aCalls.size(), 2u);
    for (const auto& call : entryChanged.aCalls)
    {
        EXPECT_EQ(call.first, nullptr);
        EXPECT_EQ(call.second, pEntry);
    }
    EXPECT_TRUE(pEntry->HasChanged());
    EXPECT_TRUE(dict.doc.IsDirty());
}

// ----- Node replacement -----------------------------------------------------------------------------

struct ReplaceFixture
{
    explicit ReplaceFixture(bool bParentHoldsText)
        : tiny({{"parent", "first", CHILD_ZEROORMORE},
                {"parent", "old", CHILD_ZEROORMORE},
                {"parent", "last", CHILD_ZEROORMORE},
                {"parent", "new", CHILD_ZEROORMORE},
                {"old", "kid", CHILD_ZEROORMORE},
                {"new", "kid", CHILD_ZEROORMORE}})
    {
        if (bParentHoldsText)
            tiny.Kind("parent")->SetAllowPCDATA(true);
        for (const char* szAttr : {"x", "y", "z"})
            AddElementAttribute(tiny.Kind("old"), szAttr, ATTR_CDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
        for (const char* szAttr : {"y", "p"})
            AddElementAttribute(tiny.Kind("new"), szAttr, ATTR_CDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
        pParent = tiny.New("parent");
        tiny.Add(pParent, "first");
        pOld = tiny.Add(pParent, "old");
        tiny.Add(pParent, "last");
        tcNode* pKid = tiny.Add(pOld, "kid");
        tiny.AddText(pKid, "inside");
        tiny.AddText(pOld, "tail");
    }

    TinyDoc tiny;
    tcNode* pParent = nullptr;
    tcNode* pOld = nullptr;
};

struct ReplaceCase
{
    const char* szName;
    bool bParentHoldsText;
    std::vector<std::pair<const char*, const char*>> aOldValues;
    const char* szTree;
    const char* szY; // nullptr: no value
    const char* szP;
};

TEST_F(AppUtilsShared, ReplaceNodeMapsAttributesAndKeepsChildren)
{
    const std::vector<ReplaceCase> aCases = {
        {"by name, then in declaration order",
         false,
         {{"x", "1"}, {"y", "2"}, {"z", "3"}},
         "parent(first,last,new(kid('inside'),'tail'))",
         "2",
         "1"},
        {"empty source takes its free target along",
         false,
         {{"y", "2"}, {"z", "3"}},
         "parent(first,last,new(kid('inside'),'tail'))",
         "2",
         nullptr},
        {"parent with text: the old place",
         true,
         {{"x", "1"}, {"y", ""}, {"z", "3"}},
         "parent(first,new(kid('inside'),'tail'),last)",
         nullptr,
         "1"},
    };
    for (const ReplaceCase& c : aCases)
    {
        SCOPED_TRACE(c.szName);
        ReplaceFixture f(c.bParentHoldsText);
        for (const auto& value : c.aOldValues)
            f.pOld->SetAttributeRawByString(value.first, value.second);
        f.tiny.doc.ClearDirty();
        EventRecorder deleted(Evt_NodeDeleteFromDoc);

        tcNode* pNew = tDoReplaceNode(&f.tiny.doc, f.pOld, f.tiny.Kind("new"));

        ASSERT_NE(pNew, nullptr);
        EXPECT_EQ(Dump(f.pParent), c.szTree);
        tcElement* pKind = f.tiny.Kind("new");
        for (const auto& expected : {std::make_pair("y", c.szY), std::make_pair("p", c.szP)})
        {
            const tcAttribute* pAttr = pKind->FindAttributeByName(expected.first);
            EXPECT_EQ(pNew->HasAttributeValue(pAttr), expected.second != nullptr) << expected.first;
            if (expected.second)
            {
                EXPECT_EQ(pNew->GetAttributeS(pAttr), expected.second) << expected.first;
            }
        }
        EXPECT_TRUE(f.tiny.doc.IsDirty());
        ASSERT_EQ(deleted.aCalls.size(), 1u);
    }
}

TEST_F(AppUtilsShared, ReplaceNodeKeepsMixedContentInOrder)
{
    // The new kind lists i before b; the text around them must not be reordered by kind.
    TinyDoc tiny({{"p", "span", CHILD_ZEROORMORE},
                  {"p", "b", CHILD_ZEROORMORE},
                  {"span", "i", CHILD_ZEROORMORE},
                  {"span", "b", CHILD_ZEROORMORE}});
    tiny.Kind("span")->SetAllowPCDATA(true);
    tcNode* pRoot = tiny.New("p");
    tcNode* pOld = tiny.Add(pRoot, "b");
    tiny.AddText(pOld, "one ");
    tiny.Add(pOld, "b");
    tiny.AddText(pOld, " two ");
    tiny.Add(pOld, "i");
    tiny.AddText(pOld, " three");

    tcNode* pNew = tDoReplaceNode(&tiny.doc, pOld, tiny.Kind("span"));

    EXPECT_EQ(Dump(pNew), "span('one ',b,' two ',i,' three')");
}

TEST_F(AppUtilsShared, ReplaceNodeRefusesWithoutChangingAnything)
{
    ReplaceFixture f(false);
    TinyDoc other;
    f.tiny.doc.ClearDirty();
    const std::string sBefore = Dump(f.pParent);

    EXPECT_EQ(tDoReplaceNode(nullptr, f.pOld, f.tiny.Kind("new")), nullptr);
    EXPECT_EQ(tDoReplaceNode(&f.tiny.doc, nullptr, f.tiny.Kind("new")), nullptr);
    EXPECT_EQ(tDoReplaceNode(&f.tiny.doc, f.pOld, nullptr), nullptr);
    EXPECT_EQ(tDoReplaceNode(&f.tiny.doc, f.pParent, f.tiny.Kind("new")), nullptr);           // no parent
    EXPECT_EQ(tDoReplaceNode(&other.doc, f.pOld, other.Kind("new")), nullptr);                // another document
    EXPECT_EQ(tDoReplaceNode(&f.tiny.doc, f.pOld, other.Kind("new")), nullptr);               // another DTD
    EXPECT_EQ(tDoReplaceNode(&f.tiny.doc, f.pOld->GetChild(1), f.tiny.Kind("new")), nullptr); // a text

    EXPECT_EQ(Dump(f.pParent), sBefore);
    EXPECT_FALSE(f.tiny.doc.IsDirty());
}

TEST_F(AppUtilsShared, ReplaceNodeFlagsReferenceRebuild)
{
    DictionaryDoc dict;
    tcElement* pLemma = dict.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
    tcElement* pRefs = dict.doc.GetDTD()->GetElementByID(ELEMENTID_REFERENCES);
    tcElement* pPlain = AddElement(&dict.doc, "Plain", NODE_NODE, -1, 0, false);
    tcElement* pHolder = AddElement(&dict.doc, "Holder", NODE_NODE, -1, 0, false);
    AddElementChild(pLemma, pPlain, CHILD_ZEROORMORE);
    AddElementChild(pLemma, pHolder, CHILD_ZEROORMORE);
    AddElementChild(pPlain, pRefs, CHILD_ZEROORMORE);
    AddElementChild(pHolder, pRefs, CHILD_ZEROORMORE);
    tcEntry* pEntry = dict.AddEntry("tree");

    tcNode* pOld = dict.doc.AllocateElement(pPlain);
    pEntry->AddChildLast(pOld);
    ASSERT_NE(tDoReplaceNode(&dict.doc, pOld, pHolder), nullptr);
    EXPECT_FALSE(dict.pSection->m_bRebuildRefCache);

    pOld = dict.doc.AllocateElement(pPlain);
    pEntry->AddChildLast(pOld);
    pOld->AddChildLast(dict.doc.AllocateElement(pRefs));
    ASSERT_NE(tDoReplaceNode(&dict.doc, pOld, pHolder), nullptr);
    EXPECT_TRUE(dict.pSection->m_bRebuildRefCache);
}

// ----- Pruning --------------------------------------------------------------------------------------

TEST_F(AppUtilsShared, PruneDeletesEmptyLeavesAndKeepsEmptyParents)
{
    TinyDoc tiny;
    tcElement* pNamed = tiny.Kind("named");
    tcAttribute* pName = AddElementAttribute(pNamed, "name", ATTR_CDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
    tcNode* pRoot = tiny.New("root");
    tcNode* pTop = tiny.Add(pRoot, "top");
    tiny.Add(pTop, "empty");
    tcNode* pFull = tiny.Add(pTop, "named");
    pFull->SetAttributeS(pName, "kept");
    tiny.Add(pFull, "empty");
    tcNode* pHolder = tiny.Add(pTop, "holder");
    tiny.AddText(tiny.Add(pHolder, "text"), "words");
    tiny.AddText(pHolder, "");
    tcNode* pUnset = tiny.Add(pTop, "named");
    pUnset->AllocAttributeS(pName); // set but empty is still empty
    tiny.doc.ClearDirty();
    AssertRecorder asserts;

    tPruneEmptyNodeBranches(&tiny.doc, pTop);

    EXPECT_EQ(Dump(pRoot), "root(top(named,holder(text('words'))))");
    EXPECT_TRUE(tiny.doc.IsDirty());
    const std::vector<std::string> asExpected(2, "[Soft]pNode->GetNumChildren()==0"); // holder, then top
    EXPECT_EQ(asserts.asExpressions, asExpected);
    ASSERT_FALSE(asserts.asFiles.empty());
    EXPECT_NE(asserts.asFiles[0].find("AppUtils_shared"), std::string::npos);

    tPruneEmptyNodeBranches(&tiny.doc, nullptr);
    tPruneEmptyNodeBranches(nullptr, pRoot);
    EXPECT_EQ(Dump(pRoot), "root(top(named,holder(text('words'))))");
}

// ----- Inserting a lemma ----------------------------------------------------------------------------

TEST_F(AppUtilsShared, InsertNewLemmaRenumbersAndMarksTheEntrysDocument)
{
    DictionaryDoc dict;
    AddElementAttribute(dict.doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY), "HomNum", ATTR_NDATA, ATTRDEF_IMPLIED,
                        nullptr, 6, 0, false, false);
    tcEntry* pBank = dict.AddEntry("bank");
    dict.AddEntry("tree");
    tcEntry* pBank2 = dict.AddEntry("bank");
    dict.doc.ClearDirty();
    EventRecorder inserted(Evt_LemmaInserted);
    EventRecorder renumbered(Evt_LemmaHomNumChanged);

    Helper_OnInsertNewLemma(pBank2); // g_pDoc is null: the entry's own document is marked

    EXPECT_TRUE(dict.doc.IsDirty());
    EXPECT_EQ(pBank->GetHomNum(), 1);
    EXPECT_EQ(pBank2->GetHomNum(), 2);
    ASSERT_EQ(inserted.aCalls.size(), 1u);
    EXPECT_EQ(inserted.aCalls[0].second, pBank2);
    ASSERT_EQ(renumbered.aCalls.size(), 2u);
    EXPECT_EQ(renumbered.aCalls[0].second, pBank);
    EXPECT_EQ(renumbered.aCalls[1].second, pBank2);

    tcEntry* pLeaf = dict.AddEntry("leaf");
    dict.doc.ClearDirty();
    Helper_OnInsertNewLemma(pLeaf, false);
    EXPECT_FALSE(dict.doc.IsDirty());
    EXPECT_EQ(renumbered.aCalls.size(), 2u);
    Helper_OnInsertNewLemma(nullptr);
    EXPECT_EQ(inserted.aCalls.size(), 2u);
}

// ----- Queries --------------------------------------------------------------------------------------

TEST_F(AppUtilsShared, HeadwordIsTheEntrysAttributeOne)
{
    DictionaryDoc dict;
    tcEntry* pEntry = dict.AddEntry("bank");
    tcElement* pLemma = pEntry->GetElement();
    tcAttribute* pOther = AddElementAttribute(pLemma, "Pos", ATTR_CDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
    tcAttribute* pSectionName = dict.pSection->GetElement()->FindAttributeByID(1);

    EXPECT_TRUE(tIsHeadword(pEntry, pLemma->FindAttributeByID(1)));
    EXPECT_FALSE(tIsHeadword(pEntry, pOther));
    EXPECT_FALSE(tIsHeadword(dict.pSection, pSectionName));
    EXPECT_FALSE(tIsHeadword(nullptr, pSectionName));
    EXPECT_FALSE(tIsHeadword(pEntry, nullptr));
}

// A dictionary whose section names two translation-equivalent fields: the "TE" kind's attribute
// "text" and the text of the "Gloss" kind.
struct TEDictionary : DictionaryDoc
{
    TEDictionary()
    {
        tcElement* pLemma = doc.GetDTD()->GetElementByID(ELEMENTID_ENTRY);
        pTE = AddElement(&doc, "TE", NODE_NODE, -1, 0, false);
        pGloss = AddElement(&doc, "Gloss", NODE_NODE, -1, ELEMENTFLAG_PCDATA, false);
        pText = AddElementAttribute(pTE, "text", ATTR_CDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
        tcAttribute* pCount =
            AddElementAttribute(pTE, "count", ATTR_NDATA, ATTRDEF_IMPLIED, nullptr, -1, 0, false, false);
        AddElementChild(pLemma, pTE, CHILD_ZEROORMORE);
        AddElementChild(pLemma, pGloss, CHILD_ZEROORMORE);
        pSection->m_aTEDesc = {{pTE->GetID(), pText->GetID()},
                               {pGloss->GetID(), 0},
                               {999, 0},
                               {pTE->GetID(), pCount->GetID()}, // not text: skipped
                               {pTE->GetID(), 998}};
    }

    tcEntry* AddEntryWithTEs(const char* szLemma, const std::vector<const char*>& asTEs, const char* szGloss = nullptr)
    {
        tcEntry* pEntry = AddEntry(szLemma);
        for (const char* szTE : asTEs)
        {
            tcNode* pNode = doc.AllocateElement(pTE);
            pNode->SetAttributeS(pText, szTE);
            pEntry->AddChildLast(pNode);
        }
        if (szGloss)
        {
            tcNode* pNode = doc.AllocateElement(pGloss);
            pNode->AddChildLast(doc.AllocateTextNode(szGloss));
            pEntry->AddChildLast(pNode);
        }
        return pEntry;
    }

    tcElement* pTE = nullptr;
    tcElement* pGloss = nullptr;
    tcAttribute* pText = nullptr;
};

TEST_F(AppUtilsShared, FindAllTEsAppendsFieldByField)
{
    TEDictionary dict;
    tcEntry* pEntry = dict.AddEntryWithTEs("bank", {"Ufer", "Bank"}, "edge of a river");
    std::vector<wxString> asTEs = {"kept"};

    FindAllTEs(&dict.doc, dict.pSection, pEntry, asTEs);

    const std::vector<wxString> asExpected = {"kept", "Ufer", "Bank", "edge of a river"};
    EXPECT_EQ(asTEs, asExpected);
    FindAllTEs(nullptr, dict.pSection, pEntry, asTEs);
    FindAllTEs(&dict.doc, nullptr, pEntry, asTEs);
    FindAllTEs(&dict.doc, dict.pSection, nullptr, asTEs);
    EXPECT_EQ(asTEs, asExpected);
}

TEST_F(AppUtilsShared, FanoutsAreOtherEntriesSharingAValue)
{
    TEDictionary dict;
    tcEntry* pBank = dict.AddEntryWithTEs("bank", {"Ufer", "Bank", ""});
    tcEntry* pShore = dict.AddEntryWithTEs("shore", {"Ufer"});
    dict.AddEntryWithTEs("tree", {"Baum", "", "ufer"});
    tcEntry* pBench = dict.AddEntryWithTEs("bench", {"Bank", "Ufer"}, "Bank");
    std::vector<tcEntry*> apFanouts;

    ASSERT_TRUE(FindFanouts(&dict.doc, nullptr, pBank, apFanouts));

    const std::vector<tcEntry*> apExpected = {pShore, pBench, pBench, pBench};
    EXPECT_EQ(apFanouts, apExpected);
    EXPECT_FALSE(FindFanouts(nullptr, nullptr, pBank, apFanouts));
    EXPECT_FALSE(FindFanouts(&dict.doc, nullptr, nullptr, apFanouts));
    auto* pLoose = static_cast<tcEntry*>(dict.doc.AllocateElementByID(ELEMENTID_ENTRY));
    EXPECT_FALSE(FindFanouts(&dict.doc, nullptr, pLoose, apFanouts));
    EXPECT_EQ(apFanouts, apExpected);
}

TEST_F(AppUtilsShared, TermFanoutsCompareTheTermFields)
{
    TEDictionary dict;
    dict.doc.AddSpecialType(SPECIAL_TERM_LANGUAGE);
    tcEntry* pBank = dict.AddEntryWithTEs("bank", {"Ufer"}, "Bank");
    dict.AddEntryWithTEs("shore", {}, "Ufer");
    tcEntry* pBench = dict.AddEntryWithTEs("bench", {"Ufer"});
    std::vector<tcEntry*> apFanouts;

    EXPECT_FALSE(FindFanouts(&dict.doc, nullptr, pBank, apFanouts)); // no term fields

    dict.doc.AddSpecialType(SPECIAL_TERM_TERM)->aDesc = {{dict.pTE->GetID(), dict.pText->GetID()},
                                                         {dict.pGloss->GetID(), 0}, // names no attribute
                                                         {999, 1}};
    ASSERT_TRUE(FindFanouts(&dict.doc, nullptr, pBank, apFanouts));
    EXPECT_EQ(apFanouts, std::vector<tcEntry*>{pBench});
}

// A handler whose entries load as a table says: entries it does not know load normally.
class ScriptedLoader : public tcIO
{
public:
    bool LoadEntry(tcNode* pNode, bool& bError, bool) override
    {
        aLoaded.push_back(pNode);
        bError = pNode == pFailing;
        return pNode != pMissing && pNode != pFailing;
    }

    const tcNode* pFailing = nullptr;
    const tcNode* pMissing = nullptr;
    std::vector<const tcNode*> aLoaded;
};

TEST_F(AppUtilsShared, FanoutsLoadEntriesThroughTheHandler)
{
    TEDictionary dict;
    tcEntry* pBank = dict.AddEntryWithTEs("bank", {"Ufer"});
    tcEntry* pShore = dict.AddEntryWithTEs("shore", {"Ufer"});
    tcEntry* pCoast = dict.AddEntryWithTEs("coast", {"Ufer"});
    tcEntry* pBeach = dict.AddEntryWithTEs("beach", {"Ufer"});
    ScriptedLoader io;
    std::vector<tcEntry*> apFanouts;

    io.pMissing = pShore;
    ASSERT_TRUE(FindFanouts(&dict.doc, &io, pBank, apFanouts));
    EXPECT_EQ(apFanouts, (std::vector<tcEntry*>{pCoast, pBeach}));
    EXPECT_EQ(io.aLoaded, (std::vector<const tcNode*>{pBank, pShore, pCoast, pBeach}));

    io.pFailing = pCoast;
    apFanouts.clear();
    EXPECT_FALSE(FindFanouts(&dict.doc, &io, pBank, apFanouts));

    io.pFailing = nullptr;
    io.pMissing = pBank; // the entry's own values are not there to compare
    EXPECT_FALSE(FindFanouts(&dict.doc, &io, pBank, apFanouts));
    EXPECT_TRUE(apFanouts.empty());
}

TEST_F(AppUtilsShared, IOFlagsComeFromTheRegistry)
{
    const tGUID guid = tCreateGUID();
    ASSERT_TRUE(g_pIORegistry->RegisterIO(guid, IOFLAG_OPEN | IOFLAG_SAVE, "test", "Test handler",
                                          []() { return std::make_unique<tcIO>(); }));
    std::unique_ptr<tcIO> pIO = g_pIORegistry->AllocateIO(guid);
    tcIO unregistered;

    EXPECT_EQ(GetIOFlags(pIO.get()), IOFLAG_OPEN | IOFLAG_SAVE);
    EXPECT_EQ(GetIOFlags(&unregistered), 0);
    EXPECT_EQ(GetIOFlags(nullptr), 0);
    g_pIORegistry->Unregister(guid);
    EXPECT_EQ(GetIOFlags(pIO.get()), 0);
}

TEST_F(AppUtilsShared, RelatedReferencesBothWays)
{
    DictionaryDoc dict;
    tcDTD* pDTD = dict.doc.GetDTD();
    tcElement* pSenseKind = AddElement(&dict.doc, "Sense", NODE_SENSE, ELEMENTID_SENSE, 0, false);
    tcElement* pRefsKind = pDTD->GetElementByID(ELEMENTID_REFERENCES);
    AddElementChild(pDTD->GetElementByID(ELEMENTID_ENTRY), pSenseKind, CHILD_ZEROORMORE);
    AddElementChild(pDTD->GetElementByID(ELEMENTID_ENTRY), pRefsKind, CHILD_ZEROORMORE);
    AddElementChild(pSenseKind, pRefsKind, CHILD_ZEROORMORE);

    tcEntry* pBank = dict.AddEntry("bank");
    tcEntry* pShore = dict.AddEntry("shore");
    tcEntry* pRiver = dict.AddEntry("river");
    tcEntry* pGone = dict.AddEntry("gone");
    tcNode* pShoreSense = dict.doc.AllocateElement(pSenseKind);
    pShore->AddChildLast(pShoreSense);
    auto addRefs = [&](tcNode* pParent)
    {
        auto* pRefs = static_cast<tcReferences*>(dict.doc.AllocateElement(pRefsKind));
        pParent->AddChildLast(pRefs);
        return pRefs;
    };

    tcReferences* pBankRefs = addRefs(pBank);
    pBankRefs->AddRefSense(pShore->GetID(), pShoreSense->GetID(), 1);
    pBankRefs->AddRefEntry(pGone, 1);
    pBankRefs->AddRefSense(pRiver->GetID(), pRiver->GetID(), 1); // the entry itself is no sense
    tcNode* pBankSense = dict.doc.AllocateElement(pSenseKind);
    pBank->AddChildLast(pBankSense);
    addRefs(pBankSense)->AddRefEntry(pShore, 2);
    tcReferences* pFromRiver = addRefs(pRiver);
    pFromRiver->AddRefEntry(pBank, 1);
    tcReferences* pFromShore = addRefs(pShoreSense);
    pFromShore->AddRefEntry(pBank, 1);
    tcReferences* pAgainFromShore = addRefs(pShore);
    pAgainFromShore->AddRefEntry(pBank, 1);
    dict.doc.DeleteTreeFromDoc(pGone);

    std::vector<tcEntry*> apReferenced = {pGone};
    std::vector<tcEntry*> apReferring = {pGone};
    std::set<tcNode*> setSenses;
    std::set<tcNode*> setReferrers;
    tGetRelatedReferences(pBank, apReferenced, apReferring, &setSenses, &setReferrers);

    EXPECT_EQ(apReferenced, (std::vector<tcEntry*>{pShore, pRiver}));
    EXPECT_EQ(apReferring, (std::vector<tcEntry*>{pShore, pRiver}));
    EXPECT_EQ(setSenses, std::set<tcNode*>{pShoreSense});
    EXPECT_EQ(setReferrers, (std::set<tcNode*>{pFromRiver, pFromShore, pAgainFromShore}));

    tGetRelatedReferences(pBank, apReferenced, apReferring); // the sets are optional
    EXPECT_EQ(apReferenced.size(), 2u);
    tGetRelatedReferences(nullptr, apReferenced, apReferring);
    EXPECT_TRUE(apReferenced.empty());
    EXPECT_TRUE(apReferring.empty());

    tGetRelatedReferencesOutgoing(pBankSense, apReferenced);
    EXPECT_EQ(apReferenced, std::vector<tcEntry*>{pShore});
    tGetRelatedReferencesOutgoing(pFromRiver, apReferenced); // a references node itself
    EXPECT_EQ(apReferenced, std::vector<tcEntry*>{pBank});
    tGetRelatedReferencesOutgoing(nullptr, apReferenced);
    EXPECT_TRUE(apReferenced.empty());
}
} // namespace
