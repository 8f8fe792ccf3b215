#include "varnak/include/tObjectLife.h"

#include <mutex>
#include <thread>
#include <unordered_set>

namespace tobjectlife_detail
{
// Constant-initialised, so listeners added during static initialisation of other files are kept.
tDestroyedHandler g_pDestroyedHandler = nullptr;
tDestroyedHandler g_apListeners[kMaxListeners] = {};
int g_nListeners = 0;
std::atomic<int> g_nWatchers{0};

namespace
{
// Objects are made on every thread, so the record is locked; only the watching thread adds to it.
struct Watch
{
    std::mutex lock;
    std::atomic<std::thread::id> thread;
    std::atomic<size_t> nDead{0}; // so that making an object costs no lock while nothing is dead
    std::unordered_set<const void*> dead;
};
// Never destroyed: notices arrive during static destruction.
Watch& TheWatch()
{
    static auto* pWatch = new Watch;
    return *pWatch;
}
} // namespace

void Created(std::uintptr_t nAddress)
{
    const void* p = reinterpret_cast<const void*>(nAddress);
    Watch& watch = TheWatch();
    if (watch.nDead.load(std::memory_order_relaxed) == 0)
        return;
    std::lock_guard<std::mutex> guard(watch.lock);
    if (watch.dead.erase(p))
        watch.nDead.store(watch.dead.size(), std::memory_order_relaxed);
}

void Destroyed(const void* p)
{
    Watch& watch = TheWatch();
    if (std::this_thread::get_id() != watch.thread)
        return;
    std::lock_guard<std::mutex> guard(watch.lock);
    watch.dead.insert(p);
    watch.nDead.store(watch.dead.size(), std::memory_order_relaxed);
}
} // namespace tobjectlife_detail

void tWatchDestroyed(bool bOn)
{
    using namespace tobjectlife_detail;
    Watch& watch = TheWatch();
    std::lock_guard<std::mutex> guard(watch.lock);
    if (bOn)
    {
        if (g_nWatchers.fetch_add(1) == 0)
            watch.thread = std::this_thread::get_id();
    }
    else if (g_nWatchers.load() > 0 && g_nWatchers.fetch_sub(1) == 1)
    {
        watch.dead.clear();
        watch.nDead.store(0);
        watch.thread = std::thread::id();
    }
}

bool tIsDestroyed(const void* p)
{
    using namespace tobjectlife_detail;
    if (!p || g_nWatchers.load(std::memory_order_relaxed) == 0)
        return false;
    Watch& watch = TheWatch();
    if (watch.nDead.load(std::memory_order_relaxed) == 0)
        return false;
    std::lock_guard<std::mutex> guard(watch.lock);
    return watch.dead.count(p) > 0;
}

void tSetDestroyedHandler(tDestroyedHandler pHandler)
{
    tobjectlife_detail::g_pDestroyedHandler = pHandler;
}

bool tAddDestroyedListener(tDestroyedHandler pListener)
{
    using namespace tobjectlife_detail;
    if (!pListener)
        return false;
    for (int i = 0; i < g_nListeners; ++i)
        if (g_apListeners[i] == pListener)
            return true;
    if (g_nListeners == kMaxListeners)
        return false;
    g_apListeners[g_nListeners++] = pListener;
    return true;
}
