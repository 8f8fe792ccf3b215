#include "tests/import/ImportTestUtil.h"

#include "tests/harness/TempHome.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace fs = std::filesystem;

TEST(ImportContent, NewKindsTakeFixedOrNextFreeIdentifiers)
{
    struct Case
    {
        const wchar_t* szName;
        int nID;
        teNodeClass eClass;
    };
    // In this order, into the library's minimal DTD (next free identifier 11).
    const Case aCases[] = {
        {L"Sense", 5, NODE_NODE},
        {L"Sublema", 7, NODE_SUBENTRY},
        {L"gloss", 11, NODE_NODE},
        {L"Example", 9, NODE_NODE},
        {L"Definición", 10, NODE_NODE},
        {L"TE", 8, NODE_NODE},
        {L"Combination", 12, NODE_SUBENTRY}, // 7 is taken: the next free one, class kept
        {L"note", 13, NODE_NODE},
        {L"Sense", 5, NODE_NODE}, // found again, nothing new
    };
    tcDocument doc;
    doc.CreateDoc("kinds");
    doc.CreateEmptyOvraDTD();
    TestImporter importer;
    importer.AttachDoc(&doc);
    for (const Case& c : aCases)
    {
        const tcElement* pKind = importer.AddElementFromInstance(&doc, c.szName, nullptr, nullptr, CHILD_ZEROORMORE);
        ASSERT_NE(pKind, nullptr);
        EXPECT_EQ(pKind->GetID(), c.nID) << wxString(c.szName);
        EXPECT_EQ(pKind->GetClass(), c.eClass) << wxString(c.szName);
    }
    EXPECT_EQ(importer.AddElementFromName(&doc, "", doc.GetDTD()->GetElementByID(1), CHILD_ONE), nullptr);

    // The first kind of an empty DTD is the dictionary kind, whatever its name.
    tcDocument empty;
    TestImporter importer2;
    importer2.AttachDoc(&empty);
    const tcElement* pFirst = importer2.AddElementFromInstance(&empty, "anything", nullptr, nullptr, CHILD_ONE);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst->GetID(), 1);
    EXPECT_EQ(pFirst->GetClass(), NODE_DICTIONARY);
}

TEST(ImportContent, NewRelationsAreShownInEveryStyleSet)
{
    TestImporter importer;
    tcDocument doc;
    doc.CreateDoc("styles");
    doc.AddStyleSet("Second");
    ASSERT_EQ(LoadInto(importer, doc, ImportFixture("relations.xml")).nResult, 0);
    const tcElement* pP = doc.GetDTD()->FindElementByName("P");
    const tcElement* pA = doc.GetDTD()->FindElementByName("a");
    ASSERT_EQ(doc.GetNumStyleSets(), 2);
    for (int i = 0; i < doc.GetNumStyleSets(); ++i)
    {
        const tcElementOrderItems* pItems = doc.GetStyleSet(i)->GetOrder()->GetOrderElement(pP);
        ASSERT_NE(pItems, nullptr);
        const tcOrderElement* pItem = pItems->GetElementItem(pA);
        ASSERT_NE(pItem, nullptr);
        EXPECT_TRUE(pItem->IsVisible());
    }
}

TEST(ImportContent, IdentifierAttributeIsTheFileIdentifierOnlyInTheGenericImporter)
{
    {
        tcLogCapture log;
        TestImporter importer;
        tcDocument doc;
        ASSERT_EQ(LoadInto(importer, doc, ImportFixture("ids.xml")).nResult, 0);
        const tcNode* pEntry = doc.GetDictionary()->GetLanguage(0)->GetEntry(0);
        ASSERT_EQ(pEntry->GetNumChildren(), 3);
        EXPECT_TRUE(log.Contains("Invalid entry ID (12abc)"));
        EXPECT_TRUE(log.Contains("Invalid node ID (x, element n) (Ovra IDs should be numerical)"));
        const std::map<int32_t, uint32_t> expected = {
            {12, static_cast<uint32_t>(pEntry->GetID())},
            {20, static_cast<uint32_t>(pEntry->GetChild(2)->GetID())}, // the later node wins
            {0, static_cast<uint32_t>(pEntry->GetChild(1)->GetID())},
        };
        EXPECT_EQ(importer.m_crossRefs.FileIDs(), expected);
        EXPECT_EQ(doc.GetDTD()->FindElementByName("n")->FindAttributeByName("id"), nullptr);
    }
    {
        TestImporter importer;
        importer.m_bUseIdAttribute = false;
        tcDocument doc;
        ASSERT_EQ(LoadInto(importer, doc, ImportFixture("ids.xml")).nResult, 0);
        EXPECT_TRUE(importer.m_crossRefs.FileIDs().empty());
        EXPECT_EQ(DumpTree(doc.GetDictionary()->GetLanguage(0)),
                  "s\n  e LemmaSign=\"a\" id=\"12abc\"\n    n id=\"20\" k=\"v\"\n    n id=\"x\"\n    n id=\"20\"\n");
    }
}

TEST(ImportContent, ReferencePartsAreCollectedAndMakeNoNodes)
{
    AssertRecorder asserts;
    TestImporter importer;
    tcDocument doc;
    ASSERT_EQ(LoadInto(importer, doc, ImportFixture("references.xml")).nResult, 0);
    EXPECT_EQ(asserts.asExpressions, (std::vector<std::string>{"psReflemmaid !=NULL", "psRefsenseid !=NULL"}));

    ASSERT_EQ(importer.aGroupsAtEnd.size(), 1u);
    const CXMLRefGroup& group = importer.aGroupsAtEnd[0];
    ASSERT_NE(group.pReferences, nullptr);
    EXPECT_EQ(group.pReferences->GetElementName(), "References");
    ASSERT_EQ(group.lemmalist.size(), 2u);
    const CXMLRefRecord& byText = group.lemmalist[0];
    EXPECT_EQ(byText.nTargetEntryID, -1);
    EXPECT_EQ(byText.sRefType, "see");
    ASSERT_EQ(byText.aTargets.size(), 2u);
    EXPECT_EQ(byText.aTargets[0].sLemma, "b");
    EXPECT_EQ(byText.aTargets[0].sSenses, "1-2");
    EXPECT_EQ(byText.aTargets[0].nHomonym, 2);
    EXPECT_EQ(byText.aTargets[0].nSenseID, -1);
    EXPECT_EQ(byText.aTargets[0].pSection, doc.GetDictionary()->GetLanguage(0));
    EXPECT_EQ(byText.aTargets[1].nHomonym, -1);
    EXPECT_EQ(byText.aTargets[1].sSenses, "");
    const CXMLRefRecord& byID = group.lemmalist[1];
    EXPECT_EQ(byID.nTargetEntryID, 5);
    EXPECT_EQ(byID.sRefType, "1");
    ASSERT_EQ(byID.aTargets.size(), 1u);
    EXPECT_EQ(byID.aTargets[0].nSenseID, 6);

    // Identifiers of the entry, the sense and the references node are all mapped.
    const tcNode* pEntry = doc.GetDictionary()->GetLanguage(0)->GetEntry(0);
    EXPECT_EQ(importer.m_crossRefs.FileIDs().at(1), static_cast<uint32_t>(pEntry->GetID()));
    EXPECT_EQ(importer.m_crossRefs.FileIDs().at(3), static_cast<uint32_t>(group.pReferences->GetID()));
}

// ---- Admission walk: the remembered cursor against the walk as written ----------------------------

namespace
{
// The walk as written: from the first relation, over every existing child and then the new kind.
bool NaiveAdmits(const std::vector<int>& aiRelations, const std::vector<int>& aiChildren, int nNew)
{
    size_t nCursor = 0;
    std::vector<int> aiAll = aiChildren;
    aiAll.push_back(nNew);
    for (int nKind : aiAll)
    {
        if (nCursor < aiRelations.size() && aiRelations[nCursor] == nKind)
            continue;
        size_t j = nCursor + 1;
        while (j < aiRelations.size() && aiRelations[j] != nKind)
            ++j;
        if (j >= aiRelations.size())
            return false;
        nCursor = j;
    }
    return true;
}

// A plain model of how the import grows relations: every element start checks its parent kind
// (text-allowing kinds only by membership) and appends a relation when refused.
struct ModelNode
{
    int nKind;
    std::vector<int> aiChildren;
};

struct RandomTree
{
    std::string sXML;
    std::map<int, std::vector<int>> mapRelations; // kind -> relations, as the model grows them
};

const char* const s_aszKinds[] = {"a", "b", "c", "d", "e"};

// Writes random children under a node of kind nKind (-1: the entry) and models the check.
void Grow(std::mt19937& rng, int nDepth, int nKind, std::vector<int>& aiSiblingKinds, std::string& sXML,
          std::map<int, std::vector<int>>& mapRel, const std::set<int>& setTextKinds)
{
    const int nChildren = nDepth > 3 ? 0 : static_cast<int>(rng() % 7);
    for (int i = 0; i < nChildren; ++i)
    {
        const int nChild = static_cast<int>(rng() % 5);
        std::vector<int>& aiRel = mapRel[nKind];
        bool bAdmitted;
        if (setTextKinds.count(nKind))
            bAdmitted = std::find(aiRel.begin(), aiRel.end(), nChild) != aiRel.end();
        else
            bAdmitted = NaiveAdmits(aiRel, aiSiblingKinds, nChild);
        if (!bAdmitted)
            aiRel.push_back(nChild);
        aiSiblingKinds.push_back(nChild);
        sXML += std::string("<") + s_aszKinds[nChild] + ">";
        if (setTextKinds.count(nChild))
            sXML += "t";
        std::vector<int> aiGrandChildren;
        Grow(rng, nDepth + 1, nChild, aiGrandChildren, sXML, mapRel, setTextKinds);
        sXML += std::string("</") + s_aszKinds[nChild] + ">";
    }
}
} // namespace

TEST(ImportContent, RememberedWalkMatchesTheWalkAsWrittenOnRandomData)
{
    std::mt19937 rng(20240611);
    for (int nRound = 0; nRound < 200; ++nRound)
    {
        // Kind "e" starts every instance with text, so it allows text from its first instance on.
        const std::set<int> setTextKinds = nRound % 2 ? std::set<int>{4} : std::set<int>{};
        std::string sXML = "<?xml version=\"1.0\"?><dict><sect>";
        std::map<int, std::vector<int>> mapRel;
        for (int nEntry = 0; nEntry < 3; ++nEntry)
        {
            sXML += "<E LemmaSign=\"x\">";
            std::vector<int> aiEntryChildren;
            Grow(rng, 0, -1, aiEntryChildren, sXML, mapRel, setTextKinds);
            sXML += "</E>";
        }
        sXML += "</sect></dict>";

        const fs::path path = TempHomeListener::Current() / "random.xml";
        WriteBytes(path, sXML);
        TestImporter importer;
        tcDocument doc;
        ASSERT_EQ(LoadInto(importer, doc, path).nResult, 0) << sXML;

        const tcDTD* pDTD = doc.GetDTD();
        for (int nKind = -1; nKind < 5; ++nKind)
        {
            const tcElement* pKind = pDTD->FindElementByName(nKind < 0 ? "E" : s_aszKinds[nKind]);
            std::vector<wxString> asActual, asExpected;
            for (int j = 0; pKind && j < pKind->GetNumChildren(); ++j)
                asActual.push_back(pKind->GetChildElement(j)->pElement->GetName());
            for (int nChild : mapRel[nKind])
                asExpected.push_back(s_aszKinds[nChild]);
            ASSERT_EQ(asActual, asExpected) << "kind " << nKind << " in " << sXML;
        }
    }
}

TEST(ImportContent, WalkCursorStaysExactWhileRelationsGrow)
{
    // Direct use: one parent node, children and relations appended in random order, the remembered
    // walk asked after every change.
    std::mt19937 rng(7);
    for (int nRound = 0; nRound < 100; ++nRound)
    {
        tcDocument doc;
        doc.CreateDoc("walk");
        doc.CreateEmptyOvraDTD();
        tcElement* pParentKind = AddElement(&doc, "p", NODE_NODE, 0, 0, false, nullptr);
        std::vector<tcElement*> apKinds;
        for (const char* sz : {"a", "b", "c"})
            apKinds.push_back(AddElement(&doc, sz, NODE_NODE, 0, 0, false, nullptr));
        tcNode* pParent = doc.AllocateElement(pParentKind);
        std::vector<int> aiRelations, aiChildren;
        CXMLChildWalk walk;
        for (int nStep = 0; nStep < 60; ++nStep)
        {
            const int nKind = static_cast<int>(rng() % 3);
            switch (rng() % 4)
            {
            case 0:
                pParentKind->AddChildElement(apKinds[nKind], CHILD_ZEROORMORE);
                aiRelations.push_back(nKind);
                break;
            case 1:
                pParent->AddChildLast(doc.AllocateTextNode("t")); // takes no part in the walk
                break;
            default:
            {
                const bool bExpected = NaiveAdmits(aiRelations, aiChildren, nKind);
                ASSERT_EQ(walk.Admits(pParentKind, pParent, apKinds[nKind]), bExpected)
                    << "round " << nRound << " step " << nStep;
                if (!bExpected)
                {
                    pParentKind->AddChildElement(apKinds[nKind], CHILD_ZEROORMORE);
                    aiRelations.push_back(nKind);
                }
                pParent->AddChildLast(doc.AllocateElement(apKinds[nKind]));
                aiChildren.push_back(nKind);
                break;
            }
            }
        }
    }
}

TEST(ImportContent, BadIdentifiersAreShownAFewTimesAndLoggedAlways)
{
    int nShown = 0;
    kvSetVisibleWarningShower([&nShown](const wxString&) { ++nShown; });
    std::string sXML = "<?xml version=\"1.0\"?><d><s><e LemmaSign=\"a\">";
    for (int i = 0; i < 6; ++i)
        sXML += "<n id=\"n" + std::to_string(i) + "\"/>";
    sXML += "</e></s></d>";
    const fs::path path = TempHomeListener::Current() / "bad_ids.xml";
    WriteBytes(path, sXML);
    tcLogCapture log;
    TestImporter importer;
    tcDocument doc;
    EXPECT_EQ(LoadInto(importer, doc, path).nResult, 0);
    kvSetVisibleWarningShower(nullptr);
    EXPECT_EQ(nShown, 3);
    EXPECT_TRUE(log.Contains("Invalid node ID (n0, element n)"));
    EXPECT_TRUE(log.Contains("Invalid node ID (n5, element n)"));
}
