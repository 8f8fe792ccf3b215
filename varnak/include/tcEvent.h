#pragma once

#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <atomic>
#include <string>
#include <vector>

class tcEvent;
struct lua_State;

// A handler receives the event, the owner it was registered with and the two trigger arguments.
typedef void (*tcEventHandlerFn)(tcEvent* pEvent, void* pOwner, void* pArg1, void* pArg2);
// The name scripts know the handler type by.
typedef tcEventHandlerFn kvPROC_EVENTHANDLER;

// Pushes a box of a bound type for p onto L's stack (the script binding installs it when it opens;
// the library itself knows no boxes).
using tLuaBoxPusher = void (*)(lua_State* L, void* p, const char* szType);
// Installs the pusher (null removes it); main thread.
void tSetLuaBoxPusher(tLuaBoxPusher pfnPush);

// A named event. Owners register handlers (usually in their constructor) and remove them by owner
// (in their destructor). Trigger is synchronous: it calls every handler, in registration order,
// before it returns. It iterates over a snapshot, so a handler may add or remove handlers (its own
// or another owner's) and may trigger events again; a handler removed during a Trigger that has not
// been reached yet is not called, and one added during a Trigger is first called by the next one.
// A handler may even destroy the event: the Trigger then stops. Main thread only; exceptions from
// handlers pass through Trigger to its caller.
class tcEvent
{
public:
    // szArg1Type and szArg2Type name the bound types of the trigger arguments, as Lua handlers
    // receive them (null: an untyped pointer, passed to Lua as a light userdata). They must be
    // static texts.
    explicit tcEvent(const wxString& sName, const char* szArg1Type = nullptr, const char* szArg2Type = nullptr);
    virtual ~tcEvent();

    tcEvent(const tcEvent&) = delete;
    tcEvent& operator=(const tcEvent&) = delete;

    // Adds a handler for pOwner (null allowed). The same owner may register several functions; a
    // function registered again for the same owner is ignored, as is a null function.
    void AddHandler(void* pOwner, tcEventHandlerFn pfnHandler);
    // Removes every handler of pOwner (Lua handlers are removed by name only).
    void RemoveHandler(void* pOwner);
    // Removes one function of pOwner.
    void RemoveHandler(void* pOwner, tcEventHandlerFn pfnHandler);
    // Handlers of both kinds.
    int GetNumHandlers() const;

    virtual void Trigger(void* pArg1 = nullptr, void* pArg2 = nullptr);

    const wxString& GetName() const { return m_sName; }
    // The first argument of the latest trigger that reached the handlers (null before any).
    void* GetData() const { return m_pLastArg1; }

    // While suppressed, triggers are dropped (also while frozen). Suppress/Allow nest; an Allow
    // without a Suppress is ignored.
    void Suppress();
    void Allow();
    bool IsSuppressed() const { return m_nSuppress > 0; }

    // While frozen, triggers are queued; Thaw of the outermost freeze replays them in order,
    // Discard drops what is queued (the event stays frozen). Freeze/Thaw nest; a Thaw without a
    // Freeze is ignored.
    void Freeze();
    void Thaw();
    void Discard();
    bool IsFrozen() const { return m_nFreeze > 0; }

    // Lua handlers: the global Lua function of that name, looked up at each trigger (a redefined
    // function takes effect), called in protected mode (tLuaPCall) with the event's box and the two
    // arguments as boxes of their declared types (nil for null). They run in registration order
    // among the C++ handlers. A handler's error is logged with its traceback and the trigger goes
    // on; a name that holds no function is logged once and skipped. Triggers on other threads call
    // no Lua handler (logged once per event). A name registered twice counts once: AddLuaHandler
    // then returns true without adding. Both return false while the script binding is not open on
    // g_pLua, for an empty name and on other threads; RemoveLuaHandler also when the name is not
    // registered. Every Lua handler is dropped when g_pLua closes.
    bool AddLuaHandler(const wxString& sFunction);
    bool RemoveLuaHandler(const wxString& sFunction);
    // The registered type of argument 1 or 2 (null when untyped or for another number).
    const char* GetArgType(int nArg) const;
    // Drops the Lua handlers of every event; tLuaDone calls it before closing the state.
    static void DropAllLuaHandlers();

    // The registry of every living event, by name: the one created first when several share a
    // name, null when none has it. Any thread; global events are registered during static
    // initialisation, in whatever order their files are initialised.
    static tcEvent* FindEvent(const wxString& sName);
    // Number of living events.
    static int GetNumEvents();

protected:
    void RemoveAllHandlers();

private:
    friend struct tcEventTriggerFrame;

    struct Handler
    {
        void* pOwner;
        tcEventHandlerFn pfn; // null for a Lua handler
        unsigned long nSerial; // identifies a registration across snapshots
        std::string sLuaFunction; // UTF-8 name of a Lua handler
    };

    bool IsRegistered(unsigned long nSerial) const;
    void CallLuaHandler(const std::string& sFunction, void* pArg1, void* pArg2);
    void DropLuaHandlers();

    wxString m_sName;
    std::vector<Handler> m_aHandlers; // in registration order, so serials ascend
    unsigned long m_nNextSerial = 1;
    void* m_pLastArg1 = nullptr;
    int m_nSuppress = 0;
    int m_nFreeze = 0;
    std::vector<std::pair<void*, void*>> m_aQueued;
    bool* m_pDestroyed = nullptr; // set by the destructor, read by the innermost running Trigger
    const char* m_szArgType[2];
    std::vector<std::string> m_asLuaNotFunctionLogged; // names already logged as no function
    std::atomic<bool> m_bOffThreadLogged{false};
};

// Freezes an event for its lifetime (null: nothing). The event must outlive it.
class tcEventFreezer : public tcLifeNoticed
{
public:
    explicit tcEventFreezer(tcEvent* pEvent);
    ~tcEventFreezer();
    tcEventFreezer(const tcEventFreezer&) = delete;
    tcEventFreezer& operator=(const tcEventFreezer&) = delete;

private:
    tcEvent* m_pEvent;
};

// Suppresses an event for its lifetime (null: nothing). The event must outlive it.
class tcEventSuppressor : public tcLifeNoticed
{
public:
    explicit tcEventSuppressor(tcEvent* pEvent);
    ~tcEventSuppressor();
    tcEventSuppressor(const tcEventSuppressor&) = delete;
    tcEventSuppressor& operator=(const tcEventSuppressor&) = delete;

private:
    tcEvent* m_pEvent;
};

// An event that re-emits what it is triggered with to its handlers; Reset drops its handlers and
// any queued triggers.
class tcEventReemit : public tcEvent
{
public:
    explicit tcEventReemit(const wxString& sName);
    void Reset();
};

// The library's named events. Each global object carries its own name and the bound types of its
// trigger arguments (see the definitions); an argument without a type is an untyped pointer.
extern tcEvent Evt_DirtyStateChanged; // arg1: the document
extern tcEvent Evt_OutputOrderChanged;
extern tcEvent Evt_StylesChanged;
extern tcEvent Evt_NodeDeleteFromDoc;
extern tcEvent Evt_NodeModified;
extern tcEvent Evt_NodeInserted; // arg1: the sender (IO handler), arg2: the node; fired by importers only
extern tcEvent Evt_NodeRemoved;
extern tcEvent Evt_AttributeModified;
extern tcEvent Evt_EntryChanged;
extern tcEvent Evt_LemmasInserted;
extern tcEvent Evt_LemmasResorted;
extern tcEvent Evt_EntryPreDelete;
extern tcEvent Evt_LemmaInserted;
extern tcEvent Evt_LemmaHomNumChanged;
extern tcEvent Evt_ElementChildRelationsChanged;
extern tcEvent Evt_ElementChildOrderChanged;
extern tcEvent Evt_ElementChildRemoved;
extern tcEvent Evt_ElementAttributesChanged;
extern tcEvent Evt_ElementAttributeDeleted;
extern tcEvent Evt_ElementAttributeRenamed;
extern tcEvent Evt_ElementAttributeIDChanged;
extern tcEvent Evt_ElementRenamed;
extern tcEvent Evt_ElementAdded;
extern tcEvent Evt_ElementDeleted;
extern tcEvent Evt_ElementsReordered;
extern tcEvent Evt_EntityChanged;
extern tcEvent Evt_EntityRemoved;
extern tcEvent Evt_ListAdded;
extern tcEvent Evt_ListChanged;
extern tcEvent Evt_ListToBeRemoved;
extern tcEvent Evt_ListRemoved;
extern tcEvent Evt_ListItemRemoved;
extern tcEvent Evt_ListItemRenamed;
extern tcEvent Evt_ListOrderChanged;
extern tcEvent Evt_LabelSetAdded;
extern tcEvent Evt_LabelSetChanged;
extern tcEvent Evt_LabelSetRemoved;
extern tcEvent Evt_LabelRemoved;
extern tcEvent Evt_LabelRenamed;
extern tcEvent Evt_DTDStructureHasChanged;

// Called once at start-up; the global events exist before it (static objects), so it only logs how
// many named events there are.
void tInitEventGroups();
