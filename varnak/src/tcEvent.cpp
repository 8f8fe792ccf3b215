#include "varnak/include/tcEvent.h"

#include "varnak/include/kvLog.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace
{
struct EventRegistry
{
    std::mutex mutex;
    std::map<std::wstring, std::vector<tcEvent*>> events;
    int nCount = 0;
};

// Function-local and never destroyed: global events of any file register during static
// initialisation, before or after this file's statics, and unregister during static destruction.
EventRegistry& Registry()
{
    static EventRegistry* s_pRegistry = new EventRegistry;
    return *s_pRegistry;
}

void Register(tcEvent* pEvent, const wxString& sName)
{
    EventRegistry& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    reg.events[sName.ToStdWstring()].push_back(pEvent);
    ++reg.nCount;
}

void Unregister(tcEvent* pEvent, const wxString& sName)
{
    EventRegistry& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.events.find(sName.ToStdWstring());
    if (it == reg.events.end())
        return;
    auto& aEvents = it->second;
    const auto itEvent = std::find(aEvents.begin(), aEvents.end(), pEvent);
    if (itEvent == aEvents.end())
        return;
    aEvents.erase(itEvent);
    --reg.nCount;
    if (aEvents.empty())
        reg.events.erase(it);
}
} // namespace

// Marks one running Trigger (or Thaw) so that it notices when a handler destroys the event. Frames
// nest with nested triggers; the destructor of the event marks the innermost, and each frame passes
// the mark outwards as it unwinds.
struct tcEventTriggerFrame
{
    explicit tcEventTriggerFrame(tcEvent* pEvent) : m_pEvent(pEvent), m_pOuter(pEvent->m_pDestroyed)
    {
        pEvent->m_pDestroyed = &m_bDestroyed;
    }
    ~tcEventTriggerFrame()
    {
        if (m_bDestroyed)
        {
            if (m_pOuter)
                *m_pOuter = true;
        }
        else
            m_pEvent->m_pDestroyed = m_pOuter;
    }
    tcEventTriggerFrame(const tcEventTriggerFrame&) = delete;
    tcEventTriggerFrame& operator=(const tcEventTriggerFrame&) = delete;

    bool Destroyed() const { return m_bDestroyed; }

private:
    tcEvent* m_pEvent;
    bool* m_pOuter;
    bool m_bDestroyed = false;
};

tcEvent::tcEvent(const wxString& sName) : m_sName(sName)
{
    Register(this, m_sName);
}

tcEvent::~tcEvent()
{
    Unregister(this, m_sName);
    if (m_pDestroyed)
        *m_pDestroyed = true;
}

void tcEvent::AddHandler(void* pOwner, tcEventHandlerFn pfnHandler)
{
    if (!pfnHandler)
        return;
    for (const Handler& h : m_aHandlers)
    {
        if (h.pOwner == pOwner && h.pfn == pfnHandler)
            return;
    }
    m_aHandlers.push_back(Handler{pOwner, pfnHandler, m_nNextSerial++});
}

void tcEvent::RemoveHandler(void* pOwner)
{
    std::erase_if(m_aHandlers, [pOwner](const Handler& h) { return h.pOwner == pOwner; });
}

void tcEvent::RemoveHandler(void* pOwner, tcEventHandlerFn pfnHandler)
{
    std::erase_if(m_aHandlers, [&](const Handler& h) { return h.pOwner == pOwner && h.pfn == pfnHandler; });
}

void tcEvent::RemoveAllHandlers()
{
    m_aHandlers.clear();
}

int tcEvent::GetNumHandlers() const
{
    return static_cast<int>(m_aHandlers.size());
}

bool tcEvent::IsRegistered(unsigned long nSerial) const
{
    const auto it = std::lower_bound(m_aHandlers.begin(), m_aHandlers.end(), nSerial,
                                     [](const Handler& h, unsigned long n) { return h.nSerial < n; });
    return it != m_aHandlers.end() && it->nSerial == nSerial;
}

void tcEvent::Trigger(void* pArg1, void* pArg2)
{
    if (m_nSuppress > 0)
        return;
    if (m_nFreeze > 0)
    {
        m_aQueued.emplace_back(pArg1, pArg2);
        return;
    }
    m_pLastArg1 = pArg1;
    const std::vector<Handler> aSnapshot = m_aHandlers;
    tcEventTriggerFrame frame(this);
    for (const Handler& h : aSnapshot)
    {
        if (!IsRegistered(h.nSerial))
            continue;
        h.pfn(this, h.pOwner, pArg1, pArg2);
        if (frame.Destroyed())
            return;
    }
}

void tcEvent::Suppress()
{
    ++m_nSuppress;
}

void tcEvent::Allow()
{
    if (m_nSuppress > 0)
        --m_nSuppress;
}

void tcEvent::Freeze()
{
    ++m_nFreeze;
}

void tcEvent::Thaw()
{
    if (m_nFreeze == 0 || --m_nFreeze > 0)
        return;
    std::vector<std::pair<void*, void*>> aQueued;
    aQueued.swap(m_aQueued);
    tcEventTriggerFrame frame(this);
    for (const auto& [pArg1, pArg2] : aQueued)
    {
        // A handler that freezes the event again queues the rest, still in order.
        Trigger(pArg1, pArg2);
        if (frame.Destroyed())
            return;
    }
}

void tcEvent::Discard()
{
    m_aQueued.clear();
}

bool tcEvent::AddLuaHandler(const wxString&)
{
    return false;
}

bool tcEvent::RemoveLuaHandler(const wxString&)
{
    return false;
}

tcEvent* tcEvent::FindEvent(const wxString& sName)
{
    EventRegistry& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const auto it = reg.events.find(sName.ToStdWstring());
    return it == reg.events.end() || it->second.empty() ? nullptr : it->second.front();
}

int tcEvent::GetNumEvents()
{
    EventRegistry& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.nCount;
}

tcEventFreezer::tcEventFreezer(tcEvent* pEvent) : m_pEvent(pEvent)
{
    if (m_pEvent)
        m_pEvent->Freeze();
}

tcEventFreezer::~tcEventFreezer()
{
    if (m_pEvent)
        m_pEvent->Thaw();
}

tcEventSuppressor::tcEventSuppressor(tcEvent* pEvent) : m_pEvent(pEvent)
{
    if (m_pEvent)
        m_pEvent->Suppress();
}

tcEventSuppressor::~tcEventSuppressor()
{
    if (m_pEvent)
        m_pEvent->Allow();
}

tcEventReemit::tcEventReemit(const wxString& sName) : tcEvent(sName) {}

void tcEventReemit::Reset()
{
    RemoveAllHandlers();
    Discard();
}

#define VARNAK_EVENT(name) tcEvent name(wxS(#name))
VARNAK_EVENT(Evt_DirtyStateChanged);
VARNAK_EVENT(Evt_OutputOrderChanged);
VARNAK_EVENT(Evt_StylesChanged);
VARNAK_EVENT(Evt_NodeDeleteFromDoc);
VARNAK_EVENT(Evt_NodeModified);
VARNAK_EVENT(Evt_NodeInserted);
VARNAK_EVENT(Evt_NodeRemoved);
VARNAK_EVENT(Evt_AttributeModified);
VARNAK_EVENT(Evt_EntryChanged);
VARNAK_EVENT(Evt_LemmasInserted);
VARNAK_EVENT(Evt_LemmasResorted);
VARNAK_EVENT(Evt_EntryPreDelete);
VARNAK_EVENT(Evt_LemmaInserted);
VARNAK_EVENT(Evt_LemmaHomNumChanged);
VARNAK_EVENT(Evt_ElementChildRelationsChanged);
VARNAK_EVENT(Evt_ElementChildOrderChanged);
VARNAK_EVENT(Evt_ElementChildRemoved);
VARNAK_EVENT(Evt_ElementAttributesChanged);
VARNAK_EVENT(Evt_ElementAttributeDeleted);
VARNAK_EVENT(Evt_ElementAttributeRenamed);
VARNAK_EVENT(Evt_ElementAttributeIDChanged);
VARNAK_EVENT(Evt_ElementRenamed);
VARNAK_EVENT(Evt_ElementAdded);
VARNAK_EVENT(Evt_ElementDeleted);
VARNAK_EVENT(Evt_ElementsReordered);
VARNAK_EVENT(Evt_EntityChanged);
VARNAK_EVENT(Evt_EntityRemoved);
VARNAK_EVENT(Evt_ListAdded);
VARNAK_EVENT(Evt_ListChanged);
VARNAK_EVENT(Evt_ListToBeRemoved);
VARNAK_EVENT(Evt_ListRemoved);
VARNAK_EVENT(Evt_ListItemRemoved);
VARNAK_EVENT(Evt_ListItemRenamed);
VARNAK_EVENT(Evt_ListOrderChanged);
VARNAK_EVENT(Evt_LabelSetAdded);
VARNAK_EVENT(Evt_LabelSetChanged);
VARNAK_EVENT(Evt_LabelSetRemoved);
VARNAK_EVENT(Evt_LabelRemoved);
VARNAK_EVENT(Evt_LabelRenamed);
VARNAK_EVENT(Evt_DTDStructureHasChanged);
#undef VARNAK_EVENT

void tInitEventGroups()
{
    kvLog(L"tInitEventGroups: %d named events", tcEvent::GetNumEvents());
}
