#include "varnak/include/tcEvent.h"

#include "varnak/include/kvLog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
// An owner whose handler records its name and then runs its action; the owner pointer reaches the
// handler, so the record also proves that each handler gets its own owner.
struct Owner
{
    std::string sName;
    std::vector<std::string>* pCalls = nullptr;
    std::function<void(tcEvent*, void*, void*)> fnAction;
};

void OnEvent(tcEvent* pEvent, void* pOwner, void* pArg1, void* pArg2)
{
    auto* pSelf = static_cast<Owner*>(pOwner);
    pSelf->pCalls->push_back(pSelf->sName);
    if (pSelf->fnAction)
        pSelf->fnAction(pEvent, pArg1, pArg2);
}

void OnEventAgain(tcEvent*, void* pOwner, void*, void*)
{
    auto* pSelf = static_cast<Owner*>(pOwner);
    pSelf->pCalls->push_back(pSelf->sName + "'");
}

std::string Joined(const std::vector<std::string>& a)
{
    std::string s;
    for (const std::string& x : a)
        s += (s.empty() ? "" : ",") + x;
    return s;
}

class EventTest : public testing::Test
{
public:
    // Makes an owner; bRegister adds its handler to the event.
    Owner& Add(const std::string& sName, bool bRegister = true)
    {
        aOwners.push_back(std::make_unique<Owner>(Owner{sName, &aCalls, {}}));
        if (bRegister)
            event.AddHandler(aOwners.back().get(), OnEvent);
        return *aOwners.back();
    }
    void RemoveAll()
    {
        for (auto& p : aOwners)
            event.RemoveHandler(p.get());
        aOwners.clear();
    }
    // The calls that one trigger makes.
    std::string Fire(void* pArg1 = nullptr, void* pArg2 = nullptr)
    {
        aCalls.clear();
        event.Trigger(pArg1, pArg2);
        return Joined(aCalls);
    }

    tcEvent event{"Evt_Test"};
    std::vector<std::string> aCalls;
    std::vector<std::unique_ptr<Owner>> aOwners;
};
} // namespace

TEST_F(EventTest, HandlersRunInRegistrationOrderWithTheirOwnerAndTheArguments)
{
    int nDoc = 0, nNode = 0;
    std::vector<std::pair<void*, void*>> aArgs;
    for (const char* sz : {"A", "B", "C"})
        Add(sz).fnAction = [&](tcEvent* pEvent, void* p1, void* p2)
        {
            EXPECT_EQ(pEvent, &event);
            aArgs.emplace_back(p1, p2);
        };
    EXPECT_EQ(event.GetData(), nullptr);
    EXPECT_EQ(Fire(&nDoc, &nNode), "A,B,C");
    ASSERT_EQ(aArgs.size(), 3u);
    for (const auto& args : aArgs)
        EXPECT_EQ(args, std::make_pair(static_cast<void*>(&nDoc), static_cast<void*>(&nNode)));
    EXPECT_EQ(event.GetData(), &nDoc);
}

// What B does during the first trigger, and what that trigger and the next one call.
TEST_F(EventTest, HandlersChangingTheListDuringTrigger)
{
    struct Case
    {
        const char* szWhat;
        std::function<void(EventTest&)> fnB;
        const char* szFirst;
        const char* szNext;
    };
    const std::vector<Case> aCases = {
        {"B removes itself", [](EventTest& t) { t.event.RemoveHandler(t.aOwners[1].get()); }, "A,B,C", "A,C"},
        {"B removes C, not reached yet", [](EventTest& t) { t.event.RemoveHandler(t.aOwners[2].get()); }, "A,B", "A,B"},
        {"B removes A, already called", [](EventTest& t) { t.event.RemoveHandler(t.aOwners[0].get()); }, "A,B,C",
         "B,C"},
        {"B removes every owner",
         [](EventTest& t)
         {
             for (auto& p : t.aOwners)
                 t.event.RemoveHandler(p.get());
         },
         "A,B", ""},
        {"B adds D, called from the next trigger on",
         [](EventTest& t) { t.event.AddHandler(t.aOwners[3].get(), OnEvent); }, "A,B,C", "A,B,C,D"},
        {"B removes C and adds it again: a new registration, at the end",
         [](EventTest& t)
         {
             t.event.RemoveHandler(t.aOwners[2].get());
             t.event.AddHandler(t.aOwners[2].get(), OnEvent);
         },
         "A,B", "A,B,C"},
    };
    for (const Case& c : aCases)
    {
        SCOPED_TRACE(c.szWhat);
        RemoveAll();
        Add("A");
        Owner& b = Add("B");
        Add("C");
        Add("D", false);
        bool bDone = false;
        b.fnAction = [&, fn = c.fnB](tcEvent*, void*, void*)
        {
            if (!bDone)
                fn(*this);
            bDone = true;
        };
        EXPECT_EQ(Fire(), c.szFirst);
        EXPECT_EQ(Fire(), c.szNext);
    }
}

TEST_F(EventTest, RemoveHandlerIsPerOwnerAndPerFunction)
{
    Owner& a = Add("A");
    Owner& b = Add("B");
    event.AddHandler(&a, OnEventAgain);
    event.AddHandler(&a, OnEvent); // the same registration again: ignored
    event.AddHandler(&a, nullptr); // ignored
    EXPECT_EQ(event.GetNumHandlers(), 3);
    EXPECT_EQ(Fire(), "A,B,A'");

    event.RemoveHandler(&a, OnEvent);
    EXPECT_EQ(Fire(), "B,A'");
    event.RemoveHandler(&b, OnEventAgain); // B never registered that function
    EXPECT_EQ(Fire(), "B,A'");
    event.RemoveHandler(&a);
    EXPECT_EQ(Fire(), "B");
    event.RemoveHandler(&a); // nothing left of A
    EXPECT_EQ(event.GetNumHandlers(), 1);
}

TEST_F(EventTest, TriggersNestAndSeeChangesMadeByInnerHandlers)
{
    // B triggers the same event again once; inside, B removes C, so the outer trigger skips C too.
    tcEvent other("Evt_Other");
    Owner& a = Add("A");
    Owner& b = Add("B");
    Add("C");
    Owner& x = *aOwners.emplace_back(std::make_unique<Owner>(Owner{"X", &aCalls, {}}));
    other.AddHandler(&x, OnEvent);
    int nDepth = 0;
    int nOuter = 1, nInner = 2;
    std::vector<void*> aSeenByA;
    a.fnAction = [&](tcEvent*, void* p1, void*) { aSeenByA.push_back(p1); };
    b.fnAction = [&](tcEvent*, void*, void*)
    {
        if (++nDepth == 1)
        {
            other.Trigger();
            event.Trigger(&nInner);
        }
        else
            event.RemoveHandler(aOwners[2].get());
    };
    EXPECT_EQ(Fire(&nOuter), "A,B,X,A,B");
    EXPECT_EQ(aSeenByA, (std::vector<void*>{&nOuter, &nInner}));
    EXPECT_EQ(event.GetData(), &nInner); // the latest trigger's
}

TEST(Event, AHandlerMayDestroyTheEventItRunsFor)
{
    // A dialog's own event deleted by one of its handlers: the trigger stops there, also when nested.
    for (bool bNested : {false, true})
    {
        SCOPED_TRACE(bNested ? "nested" : "flat");
        std::vector<std::string> aCalls;
        Owner a{"A", &aCalls, {}}, b{"B", &aCalls, {}}, c{"C", &aCalls, {}};
        auto pEvent = std::make_unique<tcEventReemit>("Evt_Dialog");
        int nDepth = 0;
        b.fnAction = [&](tcEvent* pEvent2, void*, void*)
        {
            if (bNested && ++nDepth == 1)
                pEvent2->Trigger();
            else
                pEvent.reset();
        };
        for (Owner* p : {&a, &b, &c})
            pEvent->AddHandler(p, OnEvent);
        pEvent->Trigger();
        EXPECT_EQ(pEvent, nullptr);
        EXPECT_EQ(Joined(aCalls), bNested ? "A,B,A,B" : "A,B");
    }
}

TEST_F(EventTest, FrozenTriggersReplayInOrderWhenTheOutermostFreezeThaws)
{
    int aArgs[4] = {};
    std::vector<void*> aSeen;
    Add("A").fnAction = [&](tcEvent*, void* p1, void*) { aSeen.push_back(p1); };

    event.Freeze();
    {
        tcEventFreezer inner(&event);
        for (int i = 0; i < 3; ++i)
            event.Trigger(&aArgs[i]);
        EXPECT_TRUE(event.IsFrozen());
    }
    EXPECT_TRUE(aSeen.empty()) << "an inner thaw must not replay";
    event.Thaw();
    EXPECT_FALSE(event.IsFrozen());
    EXPECT_EQ(aSeen, (std::vector<void*>{&aArgs[0], &aArgs[1], &aArgs[2]}));

    // Discarded triggers are gone; triggers after the discard still replay.
    aSeen.clear();
    event.Freeze();
    event.Trigger(&aArgs[0]);
    event.Discard();
    EXPECT_TRUE(event.IsFrozen());
    event.Trigger(&aArgs[3]);
    event.Thaw();
    EXPECT_EQ(aSeen, (std::vector<void*>{&aArgs[3]}));

    // Unmatched thaws neither replay nor leave the count negative.
    aSeen.clear();
    event.Thaw();
    event.Freeze();
    event.Trigger(&aArgs[1]);
    EXPECT_TRUE(aSeen.empty());
    event.Thaw();
    EXPECT_EQ(aSeen, (std::vector<void*>{&aArgs[1]}));
}

TEST_F(EventTest, ReplayedHandlerThatFreezesAgainKeepsTheRestQueuedInOrder)
{
    int aArgs[3] = {};
    std::vector<void*> aSeen;
    Add("A").fnAction = [&](tcEvent*, void* p1, void*)
    {
        aSeen.push_back(p1);
        if (p1 == &aArgs[0])
            event.Freeze();
    };
    event.Freeze();
    for (int& n : aArgs)
        event.Trigger(&n);
    event.Thaw();
    EXPECT_EQ(aSeen, (std::vector<void*>{&aArgs[0]}));
    event.Thaw();
    EXPECT_EQ(aSeen, (std::vector<void*>{&aArgs[0], &aArgs[1], &aArgs[2]}));
}

TEST_F(EventTest, SuppressedTriggersAreDroppedEvenWhileFrozen)
{
    Add("A");
    {
        tcEventSuppressor outer(&event);
        event.Suppress();
        event.Allow();
        EXPECT_TRUE(event.IsSuppressed());
        EXPECT_EQ(Fire(), "");
        tcEventFreezer freezer(&event);
        event.Trigger();
    }
    EXPECT_FALSE(event.IsSuppressed());
    EXPECT_TRUE(aCalls.empty()) << "a trigger dropped while suppressed must not come back at the thaw";
    event.Allow(); // unmatched: ignored
    event.Suppress();
    EXPECT_EQ(Fire(), "");
    event.Allow();
    EXPECT_EQ(Fire(), "A");
}

TEST(Event, RegistryFindsLivingEventsByName)
{
    // Every library event is registered under the name it is declared with.
    const std::vector<std::pair<const char*, tcEvent*>> aGlobals = {
        {"Evt_DirtyStateChanged", &Evt_DirtyStateChanged},
        {"Evt_OutputOrderChanged", &Evt_OutputOrderChanged},
        {"Evt_StylesChanged", &Evt_StylesChanged},
        {"Evt_NodeDeleteFromDoc", &Evt_NodeDeleteFromDoc},
        {"Evt_NodeModified", &Evt_NodeModified},
        {"Evt_NodeInserted", &Evt_NodeInserted},
        {"Evt_NodeRemoved", &Evt_NodeRemoved},
        {"Evt_AttributeModified", &Evt_AttributeModified},
        {"Evt_EntryChanged", &Evt_EntryChanged},
        {"Evt_LemmasInserted", &Evt_LemmasInserted},
        {"Evt_LemmasResorted", &Evt_LemmasResorted},
        {"Evt_EntryPreDelete", &Evt_EntryPreDelete},
        {"Evt_LemmaInserted", &Evt_LemmaInserted},
        {"Evt_LemmaHomNumChanged", &Evt_LemmaHomNumChanged},
        {"Evt_ElementChildRelationsChanged", &Evt_ElementChildRelationsChanged},
        {"Evt_ElementChildOrderChanged", &Evt_ElementChildOrderChanged},
        {"Evt_ElementChildRemoved", &Evt_ElementChildRemoved},
        {"Evt_ElementAttributesChanged", &Evt_ElementAttributesChanged},
        {"Evt_ElementAttributeDeleted", &Evt_ElementAttributeDeleted},
        {"Evt_ElementAttributeRenamed", &Evt_ElementAttributeRenamed},
        {"Evt_ElementAttributeIDChanged", &Evt_ElementAttributeIDChanged},
        {"Evt_ElementRenamed", &Evt_ElementRenamed},
        {"Evt_ElementAdded", &Evt_ElementAdded},
        {"Evt_ElementDeleted", &Evt_ElementDeleted},
        {"Evt_ElementsReordered", &Evt_ElementsReordered},
        {"Evt_EntityChanged", &Evt_EntityChanged},
        {"Evt_EntityRemoved", &Evt_EntityRemoved},
        {"Evt_ListAdded", &Evt_ListAdded},
        {"Evt_ListChanged", &Evt_ListChanged},
        {"Evt_ListToBeRemoved", &Evt_ListToBeRemoved},
        {"Evt_ListRemoved", &Evt_ListRemoved},
        {"Evt_ListItemRemoved", &Evt_ListItemRemoved},
        {"Evt_ListItemRenamed", &Evt_ListItemRenamed},
        {"Evt_ListOrderChanged", &Evt_ListOrderChanged},
        {"Evt_LabelSetAdded", &Evt_LabelSetAdded},
        {"Evt_LabelSetChanged", &Evt_LabelSetChanged},
        {"Evt_LabelSetRemoved", &Evt_LabelSetRemoved},
        {"Evt_LabelRemoved", &Evt_LabelRemoved},
        {"Evt_LabelRenamed", &Evt_LabelRenamed},
        {"Evt_DTDStructureHasChanged", &Evt_DTDStructureHasChanged},
    };
    for (const auto& [szName, pEvent] : aGlobals)
    {
        EXPECT_EQ(pEvent->GetName(), szName);
        EXPECT_EQ(tcEvent::FindEvent(szName), pEvent) << szName;
    }

    const int nBefore = tcEvent::GetNumEvents();
    EXPECT_EQ(tcEvent::FindEvent("Evt_FileSelector_Changed"), nullptr);
    {
        tcEvent first("Evt_FileSelector_Changed");
        {
            tcEventReemit second("Evt_FileSelector_Changed");
            EXPECT_EQ(tcEvent::FindEvent("Evt_FileSelector_Changed"), &first);
            EXPECT_EQ(tcEvent::GetNumEvents(), nBefore + 2);
        }
        EXPECT_EQ(tcEvent::FindEvent("Evt_FileSelector_Changed"), &first);
    }
    EXPECT_EQ(tcEvent::FindEvent("Evt_FileSelector_Changed"), nullptr);
    EXPECT_EQ(tcEvent::GetNumEvents(), nBefore);
}

TEST(Event, ReemitResetDropsHandlersAndQueuedTriggers)
{
    std::vector<std::string> aCalls;
    Owner a{"A", &aCalls, {}};
    tcEventReemit event("Evt_Reemit");
    event.AddHandler(&a, OnEvent);
    event.Freeze();
    event.Trigger();
    event.Reset();
    event.AddHandler(&a, OnEventAgain);
    event.Thaw();
    EXPECT_TRUE(aCalls.empty());
    event.Trigger();
    EXPECT_EQ(Joined(aCalls), "A'");
}

TEST(Event, LuaHandlersAreNotSupportedWithoutTheBinding)
{
    tcEvent event("Evt_Lua");
    EXPECT_FALSE(event.AddLuaHandler("OnChange"));
    EXPECT_FALSE(event.RemoveLuaHandler("OnChange"));
    EXPECT_EQ(event.GetNumHandlers(), 0);
}

TEST(Event, InitEventGroupsLogsTheNumberOfEvents)
{
    tcLogCapture capture;
    tInitEventGroups();
    EXPECT_TRUE(capture.Contains(wxString::Format("tInitEventGroups: %d named events", tcEvent::GetNumEvents())));
}
