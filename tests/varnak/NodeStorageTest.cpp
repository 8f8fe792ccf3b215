// How a document keeps its nodes and their attribute values: unattached nodes stay owned through
// every move, and values shared between nodes never leak from one node into another.
#include "varnak/include/tcNode.h"

#include "tests/varnak/DomTestUtil.h"
#include "varnak/include/tObjectLife.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace
{
std::set<const void*>* s_pDestroyed = nullptr;

void RecordDestroyed(const void* p)
{
    if (s_pDestroyed)
        s_pDestroyed->insert(p);
}

// Records the objects destroyed while it lives.
struct DestroyedRecorder
{
    std::set<const void*> setDestroyed;
    DestroyedRecorder()
    {
        s_pDestroyed = &setDestroyed;
        tSetDestroyedHandler(&RecordDestroyed);
    }
    ~DestroyedRecorder()
    {
        tSetDestroyedHandler(nullptr);
        s_pDestroyed = nullptr;
    }
    bool Gone(const void* p) const { return setDestroyed.count(p) > 0; }
};

tcAttribute* Attribute(DomDoc& d, tcElement* pKind, const char* szName)
{
    return tCreateAttribute(&d.doc, pKind, szName, ATTRDEF_IMPLIED, ATTR_CDATA, false, 0);
}
} // namespace

// Unattached nodes are taken out of the document's list in any order (the list fills gaps with its
// last node): every node still unattached after detaching, attaching and deleting in a mixed order
// is still reached by the document, and each is freed exactly once with the document.
TEST(NodeStorage, UnattachedNodesStayOwnedThroughMovesAndDeletes)
{
    DestroyedRecorder recorder;
    std::vector<const void*> apAll;
    {
        DomDoc d;
        tcElement* pKind = d.Kind("k");
        tcAttribute* pAttr = Attribute(d, pKind, "a");
        std::vector<tcNode*> ap;
        for (int i = 0; i < 6; ++i)
        {
            ap.push_back(d.doc.AllocateElement(pKind));
            ASSERT_TRUE(ap.back()->SetAttributeS(pAttr, "v"));
            apAll.push_back(ap.back());
        }
        ASSERT_TRUE(d.pSection->AddChildLast(ap[1])); // out of the list from its middle
        delete ap[0];                                 // from its start
        ASSERT_TRUE(ap[1]->RemoveNode());             // back in
        ASSERT_TRUE(ap[2]->AddChildLast(ap[3]));      // below another unattached node
        ASSERT_TRUE(d.doc.DeleteTreeFromMem(ap[5]));  // from its end
        EXPECT_TRUE(recorder.Gone(ap[0]));
        EXPECT_TRUE(recorder.Gone(ap[5]));
        EXPECT_EQ(ap[1]->GetAttributeS(pAttr), "v");

        // Deleting the kind deletes its unattached nodes too, each once.
        recorder.setDestroyed.clear();
        ASSERT_TRUE(d.doc.GetDTD()->DeleteElement(pKind));
        for (int i : {1, 2, 3, 4})
            EXPECT_TRUE(recorder.Gone(ap[i])) << i;
        recorder.setDestroyed.clear();
    }
    // The document went without touching the nodes deleted before it (the sanitizers see a second
    // free); only its own root nodes were announced.
    for (const void* p : apAll)
        EXPECT_FALSE(recorder.Gone(p));
}

// Values are shared between nodes that hold the same text: changing, resetting or deleting one
// holder leaves the others, and a value read through its pointer stays put while its node keeps it.
TEST(NodeStorage, EqualValuesStayIndependent)
{
    DomDoc d;
    tcElement* pKind = d.Kind("k");
    tcAttribute* pA = Attribute(d, pKind, "a");
    tcAttribute* pB = Attribute(d, pKind, "b");
    tcNode* p1 = d.Node("k");
    tcNode* p2 = d.Node("k");
    tcNode* p3 = d.Node("k");
    for (tcNode* p : {p1, p2, p3})
    {
        ASSERT_TRUE(p->SetAttributeS(pA, "same"));
        ASSERT_TRUE(p->SetAttributeS(pB, "same"));
    }
    const wxString* psKept = p3->GetAttributePStrValue(pA);
    ASSERT_NE(psKept, nullptr);

    ASSERT_TRUE(p1->SetAttributeS(pA, "changed"));
    ASSERT_TRUE(p2->ResetAttributeValue(pA));
    EXPECT_EQ(p1->GetAttributeS(pA), "changed");
    EXPECT_FALSE(p2->HasAttributeValue(pA));
    EXPECT_EQ(p2->GetAttributeS(pB), "same");
    d.doc.DeleteTreeFromMem(p1);
    d.doc.DeleteTreeFromMem(p2);
    EXPECT_EQ(*psKept, "same");
    EXPECT_EQ(p3->GetAttributePStrValue(pA), psKept);

    // Set but empty stays apart from unset, also when shared.
    ASSERT_TRUE(p3->AllocAttributeS(pA));
    tcNode* p4 = d.Node("k");
    ASSERT_TRUE(p4->AllocAttributeS(pA));
    EXPECT_TRUE(p3->HasAttributeValue(pA));
    EXPECT_TRUE(p4->HasAttributeValue(pA));
    EXPECT_EQ(p4->GetAttributeS(pA), "");
    ASSERT_TRUE(p4->SetAttributeI(pA, 42));
    EXPECT_EQ(p3->GetAttributeS(pA), "");
    EXPECT_EQ(p4->GetAttributeI(pA), 42);

    // Copies hold the value on their own.
    tcNode* pCopy = p4->Clone();
    d.doc.DeleteTreeFromMem(p4);
    EXPECT_EQ(pCopy->GetAttributeS(pA), "42");
}

// Documents built on several threads at once (each thread its own) share the value store.
TEST(NodeStorage, DocumentsOnSeveralThreadsKeepTheirValues)
{
    constexpr int kThreads = 4;
    constexpr int kNodes = 2000;
    std::vector<int> anWrong(kThreads, 0);
    std::vector<std::thread> aThreads;
    for (int t = 0; t < kThreads; ++t)
        aThreads.emplace_back(
            [t, &anWrong]
            {
                DomDoc d;
                tcElement* pKind = d.Kind("k");
                tcAttribute* pAttr = Attribute(d, pKind, "a");
                std::vector<tcNode*> ap;
                for (int i = 0; i < kNodes; ++i)
                {
                    ap.push_back(d.doc.AllocateElement(pKind));
                    // Half the values are common to all threads, half are the thread's own.
                    ap.back()->SetAttributeS(pAttr,
                                             i % 2 ? wxString::Format("v%d", i % 7) : wxString::Format("t%d-%d", t, i));
                    if (i % 3 == 0)
                    {
                        tcNode*& pOlder = ap[static_cast<size_t>(i / 2)];
                        d.doc.DeleteTreeFromMem(pOlder);
                        pOlder = nullptr;
                    }
                }
                for (int i = 0; i < kNodes; ++i)
                {
                    const tcNode* p = ap[static_cast<size_t>(i)];
                    const wxString sWanted = i % 2 ? wxString::Format("v%d", i % 7) : wxString::Format("t%d-%d", t, i);
                    if (p && p->GetAttributeS(pAttr) != sWanted)
                        ++anWrong[static_cast<size_t>(t)];
                }
            });
    for (std::thread& thread : aThreads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(anWrong[static_cast<size_t>(t)], 0) << t;
}
