#include "varnak/include/tObjectLife.h"

#include <mutex>
#include <thread>
#include <vector>

namespace tobjectlife_detail
{
// Constant-initialised, so listeners added during static initialisation of other files are kept.
tDestroyedHandler g_pDestroyedHandler = nullptr;
tDestroyedHandler g_apListeners[kMaxListeners] = {};
int g_nListeners = 0;
std::atomic<int> g_nWatchers{0};

namespace
{
// A set of addresses in one array (open addressing, linear probing): closing a document destroys
// its objects by the million, and a node per address would cost more than the objects' own
// destruction.
class AddressSet
{
public:
    size_t Size() const { return m_nUsed; }
    void Insert(std::uintptr_t n)
    {
        if ((m_nUsed + m_nGone + 1) * 2 > m_an.size())
            Rebuild(std::max<size_t>(1024, m_nUsed * 4));
        size_t i = Slot(n);
        size_t nGoneSlot = SIZE_MAX;
        for (; m_an[i] != kEmpty; i = (i + 1) & (m_an.size() - 1))
        {
            if (m_an[i] == n)
                return;
            if (m_an[i] == kGone && nGoneSlot == SIZE_MAX)
                nGoneSlot = i;
        }
        if (nGoneSlot != SIZE_MAX)
        {
            i = nGoneSlot;
            --m_nGone;
        }
        m_an[i] = n;
        ++m_nUsed;
    }
    bool Erase(std::uintptr_t n)
    {
        const size_t i = Find(n);
        if (i == SIZE_MAX)
            return false;
        m_an[i] = kGone;
        --m_nUsed;
        ++m_nGone;
        return true;
    }
    bool Contains(std::uintptr_t n) const { return Find(n) != SIZE_MAX; }
    void Clear()
    {
        std::vector<std::uintptr_t>().swap(m_an);
        m_nUsed = m_nGone = 0;
    }

private:
    // Addresses are never 0 or 1.
    static constexpr std::uintptr_t kEmpty = 0, kGone = 1;

    size_t Slot(std::uintptr_t n) const
    {
        n ^= n >> 33;
        n *= 0xff51afd7ed558ccdULL;
        n ^= n >> 33;
        return static_cast<size_t>(n) & (m_an.size() - 1);
    }
    size_t Find(std::uintptr_t n) const
    {
        if (m_nUsed == 0)
            return SIZE_MAX;
        for (size_t i = Slot(n); m_an[i] != kEmpty; i = (i + 1) & (m_an.size() - 1))
            if (m_an[i] == n)
                return i;
        return SIZE_MAX;
    }
    void Rebuild(size_t nAtLeast)
    {
        size_t nSize = 1;
        while (nSize < nAtLeast)
            nSize *= 2;
        std::vector<std::uintptr_t> anOld(nSize, kEmpty);
        anOld.swap(m_an);
        m_nUsed = m_nGone = 0;
        for (std::uintptr_t n : anOld)
            if (n != kEmpty && n != kGone)
                Insert(n);
    }

    std::vector<std::uintptr_t> m_an;
    size_t m_nUsed = 0, m_nGone = 0;
};

// Objects are made on every thread, so the record is locked; only the watching thread adds to it.
struct Watch
{
    std::mutex lock;
    std::atomic<std::thread::id> thread;
    std::atomic<size_t> nDead{0}; // so that making an object costs no lock while nothing is dead
    AddressSet dead;
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
    Watch& watch = TheWatch();
    if (watch.nDead.load(std::memory_order_relaxed) == 0)
        return;
    std::lock_guard<std::mutex> guard(watch.lock);
    if (watch.dead.Erase(nAddress))
        watch.nDead.store(watch.dead.Size(), std::memory_order_relaxed);
}

void Destroyed(const void* p)
{
    Watch& watch = TheWatch();
    if (std::this_thread::get_id() != watch.thread)
        return;
    std::lock_guard<std::mutex> guard(watch.lock);
    watch.dead.Insert(reinterpret_cast<std::uintptr_t>(p));
    watch.nDead.store(watch.dead.Size(), std::memory_order_relaxed);
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
        watch.dead.Clear();
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
    return watch.dead.Contains(reinterpret_cast<std::uintptr_t>(p));
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
