#include "varnak/include/tcEvent.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tObjectLife.h"
#include "varnak/include/tcThreads.h"

extern "C"
{
#include <lauxlib.h>
#include <lua.h>
}

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

tLuaBoxPusher g_pfnPushBox = nullptr;

// True when the script binding is open on g_pLua: its pusher is installed and the event type is
// registered in the state.
bool LuaPackageOpen()
{
    lua_State* L = g_pLua;
    if (!L || !g_pfnPushBox || !tcThreads::IsMainThread())
        return false;
    lua_getfield(L, LUA_REGISTRYINDEX, "tcEvent");
    const bool bOpen = lua_istable(L, -1);
    lua_pop(L, 1);
    return bOpen;
}

void PushArgument(lua_State* L, void* p, const char* szType)
{
    if (!p)
        lua_pushnil(L);
    else if (szType)
        g_pfnPushBox(L, p, szType);
    else
        lua_pushlightuserdata(L, p);
}

// What one protected call of a Lua handler needs; the call itself runs in CallHandler.
struct LuaCall
{
    const std::string* psFunction;
    tcEvent* pEvent;
    void* apArg[2];
    const char* aszType[2];
    bool bNotFunction = false;
};

// Looks the handler up without metamethods (the globals carry the binding's module events) and
// calls it; a Lua error unwinds to the protected call around this.
int CallHandler(lua_State* L)
{
    auto* pCall = static_cast<LuaCall*>(lua_touserdata(L, 1));
    lua_settop(L, 0);
    lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    lua_pushlstring(L, pCall->psFunction->data(), pCall->psFunction->size());
    lua_rawget(L, 1);
    if (!lua_isfunction(L, -1))
    {
        pCall->bNotFunction = true;
        return 0;
    }
    g_pfnPushBox(L, pCall->pEvent, "tcEvent");
    for (int i = 0; i < 2; ++i)
        PushArgument(L, pCall->apArg[i], pCall->aszType[i]);
    lua_call(L, 3, 0);
    return 0;
}
} // namespace

void tSetLuaBoxPusher(tLuaBoxPusher pfnPush)
{
    g_pfnPushBox = pfnPush;
}

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

tcEvent::tcEvent(const wxString& sName, const char* szArg1Type, const char* szArg2Type)
    : m_sName(sName), m_szArgType{szArg1Type, szArg2Type}
{
    Register(this, m_sName);
}

tcEvent::~tcEvent()
{
    Unregister(this, m_sName);
    if (m_pDestroyed)
        *m_pDestroyed = true;
    tNotifyDestroyed(this);
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
    m_aHandlers.push_back(Handler{pOwner, pfnHandler, m_nNextSerial++, std::string()});
}

void tcEvent::RemoveHandler(void* pOwner)
{
    std::erase_if(m_aHandlers, [pOwner](const Handler& h) { return h.pfn && h.pOwner == pOwner; });
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
        if (h.pfn)
            h.pfn(this, h.pOwner, pArg1, pArg2);
        else
            CallLuaHandler(h.sLuaFunction, pArg1, pArg2);
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

bool tcEvent::AddLuaHandler(const wxString& sFunction)
{
    if (sFunction.empty() || !LuaPackageOpen())
        return false;
    const std::string sName = sFunction.utf8_string();
    for (const Handler& h : m_aHandlers)
    {
        if (!h.pfn && h.sLuaFunction == sName)
            return true;
    }
    m_aHandlers.push_back(Handler{nullptr, nullptr, m_nNextSerial++, sName});
    return true;
}

bool tcEvent::RemoveLuaHandler(const wxString& sFunction)
{
    if (sFunction.empty() || !LuaPackageOpen())
        return false;
    const std::string sName = sFunction.utf8_string();
    std::erase(m_asLuaNotFunctionLogged, sName);
    return std::erase_if(m_aHandlers, [&](const Handler& h) { return !h.pfn && h.sLuaFunction == sName; }) > 0;
}

const char* tcEvent::GetArgType(int nArg) const
{
    return nArg == 1 || nArg == 2 ? m_szArgType[nArg - 1] : nullptr;
}

void tcEvent::CallLuaHandler(const std::string& sFunction, void* pArg1, void* pArg2)
{
    if (!tcThreads::IsMainThread())
    {
        if (!m_bOffThreadLogged.exchange(true))
            kvLog(L"Event %s: triggered on a thread other than the main thread, Lua handlers not called",
                  m_sName);
        return;
    }
    lua_State* L = g_pLua;
    if (!L || !g_pfnPushBox)
        return;
    LuaCall call{&sFunction, this, {pArg1, pArg2}, {m_szArgType[0], m_szArgType[1]}};
    lua_pushcfunction(L, CallHandler);
    lua_pushlightuserdata(L, &call);
    wxString sError;
    if (!tLuaPCall(L, 1, 0, &sError))
        return; // logged with its traceback
    if (call.bNotFunction &&
        std::find(m_asLuaNotFunctionLogged.begin(), m_asLuaNotFunctionLogged.end(), sFunction) ==
            m_asLuaNotFunctionLogged.end())
    {
        m_asLuaNotFunctionLogged.push_back(sFunction);
        kvLog(L"Event %s: Lua handler '%s' is not a function", m_sName, wxString::FromUTF8(sFunction));
    }
}

void tcEvent::DropLuaHandlers()
{
    std::erase_if(m_aHandlers, [](const Handler& h) { return !h.pfn; });
    m_asLuaNotFunctionLogged.clear();
}

void tcEvent::DropAllLuaHandlers()
{
    std::vector<tcEvent*> apEvents;
    {
        EventRegistry& reg = Registry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        for (const auto& [sName, aEvents] : reg.events)
            apEvents.insert(apEvents.end(), aEvents.begin(), aEvents.end());
    }
    for (tcEvent* pEvent : apEvents)
        pEvent->DropLuaHandlers();
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
    tNotifyDestroyed(this);
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
    tNotifyDestroyed(this);
    if (m_pEvent)
        m_pEvent->Allow();
}

tcEventReemit::tcEventReemit(const wxString& sName) : tcEvent(sName) {}


void tcEventReemit::Reset()
{
    RemoveAllHandlers();
    Discard();
}

// Argument types follow the trigger sites: an event nobody triggers in this program, or one whose
// argument is a sender of any kind, leaves it untyped.
#define VARNAK_EVENT(name, arg1, arg2) tcEvent name(wxS(#name), arg1, arg2)
#define VARNAK_EVENT0(name) tcEvent name(wxS(#name))
VARNAK_EVENT(Evt_DirtyStateChanged, "tcDocument", nullptr);
VARNAK_EVENT0(Evt_OutputOrderChanged);
VARNAK_EVENT(Evt_StylesChanged, "tcDocument", nullptr);
VARNAK_EVENT(Evt_NodeDeleteFromDoc, "tcDocument", "tcNode");
VARNAK_EVENT(Evt_NodeModified, "tcNode", "tcDocument");
VARNAK_EVENT(Evt_NodeInserted, "tcIO", "tcNode");
VARNAK_EVENT0(Evt_NodeRemoved);
VARNAK_EVENT(Evt_AttributeModified, "tcNode", "tcAttribute");
VARNAK_EVENT(Evt_EntryChanged, nullptr, "tcEntry");
VARNAK_EVENT0(Evt_LemmasInserted);
VARNAK_EVENT0(Evt_LemmasResorted);
VARNAK_EVENT(Evt_EntryPreDelete, "tcDocument", "tcEntry");
VARNAK_EVENT(Evt_LemmaInserted, nullptr, "tcEntry");
VARNAK_EVENT(Evt_LemmaHomNumChanged, nullptr, "tcEntry");
VARNAK_EVENT0(Evt_ElementChildRelationsChanged);
VARNAK_EVENT0(Evt_ElementChildOrderChanged);
VARNAK_EVENT0(Evt_ElementChildRemoved);
VARNAK_EVENT(Evt_ElementAttributesChanged, "tcElement", "tcAttribute");
VARNAK_EVENT(Evt_ElementAttributeDeleted, "tcElement", "tcAttribute");
VARNAK_EVENT(Evt_ElementAttributeRenamed, "tcAttribute", "tcElement");
VARNAK_EVENT0(Evt_ElementAttributeIDChanged);
VARNAK_EVENT(Evt_ElementRenamed, "tcElement", nullptr);
VARNAK_EVENT(Evt_ElementAdded, "tcDocument", "tcElement");
VARNAK_EVENT(Evt_ElementDeleted, "tcElement", "tcDocument");
VARNAK_EVENT0(Evt_ElementsReordered);
VARNAK_EVENT0(Evt_EntityChanged);
VARNAK_EVENT0(Evt_EntityRemoved);
VARNAK_EVENT0(Evt_ListAdded);
VARNAK_EVENT0(Evt_ListChanged);
VARNAK_EVENT0(Evt_ListToBeRemoved);
VARNAK_EVENT0(Evt_ListRemoved);
VARNAK_EVENT0(Evt_ListItemRemoved);
VARNAK_EVENT0(Evt_ListItemRenamed);
VARNAK_EVENT0(Evt_ListOrderChanged);
VARNAK_EVENT0(Evt_LabelSetAdded);
VARNAK_EVENT0(Evt_LabelSetChanged);
VARNAK_EVENT0(Evt_LabelSetRemoved);
VARNAK_EVENT0(Evt_LabelRemoved);
VARNAK_EVENT0(Evt_LabelRenamed);
VARNAK_EVENT(Evt_DTDStructureHasChanged, "tcDocument", nullptr);
#undef VARNAK_EVENT
#undef VARNAK_EVENT0

void tInitEventGroups()
{
    kvLog(L"tInitEventGroups: %d named events", tcEvent::GetNumEvents());
}
