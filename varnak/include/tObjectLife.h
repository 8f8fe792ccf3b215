#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// Destruction notices. The destructor of every library object a script can hold announces itself,
// so that the script binding can empty the boxes that still point to it. Costs one load and one
// test while nothing listens. Main thread only (notices from other threads reach the handler too;
// it decides what to do with them).
using tDestroyedHandler = void (*)(const void* p);

// Installs the one listener (null removes it).
void tSetDestroyedHandler(tDestroyedHandler pHandler);

// Adds a further listener, called after the one above with every notice: the library's and the
// program's pointers to current objects forget an object as it goes. At most 8 for the process
// (false beyond that); a listener added twice is called once. Meant for start-up (static
// initialisation is fine).
bool tAddDestroyedListener(tDestroyedHandler pListener);

// Watching destroyed objects, so that a pointer kept somewhere after its object went can be told
// from a live one: while watched, the address of every object destroyed on the watching thread is
// remembered until an object of a class derived from tcLifeNoticed is made there again. Only such
// classes can be asked about: other objects never announce that they were made. Calls nest; the
// last tWatchDestroyed(false) forgets everything. The script binding watches while a state is open.
void tWatchDestroyed(bool bOn);
// Whether p is the address of a noticed object destroyed while watched and not made again since.
bool tIsDestroyed(const void* p);

namespace tobjectlife_detail
{
extern std::atomic<int> g_nWatchers;
void Created(std::uintptr_t p);
void Destroyed(const void* p);
extern tDestroyedHandler g_pDestroyedHandler;
constexpr int kMaxListeners = 8;
extern tDestroyedHandler g_apListeners[kMaxListeners];
extern int g_nListeners;
} // namespace tobjectlife_detail

inline void tNotifyDestroyed(const void* p)
{
    if (tobjectlife_detail::g_nWatchers.load(std::memory_order_relaxed) > 0)
        tobjectlife_detail::Destroyed(p);
    if (tobjectlife_detail::g_pDestroyedHandler)
        tobjectlife_detail::g_pDestroyedHandler(p);
    for (int i = 0; i < tobjectlife_detail::g_nListeners; ++i)
        tobjectlife_detail::g_apListeners[i](p);
}

// Takes the address as a number: the object there is not made yet.
inline void tNotifyCreated(const void* p)
{
    if (tobjectlife_detail::g_nWatchers.load(std::memory_order_relaxed) > 0)
        tobjectlife_detail::Created(reinterpret_cast<std::uintptr_t>(p));
}

// The first base of every class whose objects announce their destruction: it announces that one
// was made (copies and moves included), at the object's own address, as an empty first base sits
// there. Adds nothing to the object's size.
class tcLifeNoticed
{
public:
    tcLifeNoticed() noexcept { tNotifyCreated(this); }
    tcLifeNoticed(const tcLifeNoticed&) noexcept { tNotifyCreated(this); }
    tcLifeNoticed& operator=(const tcLifeNoticed&) noexcept { return *this; }
};

// The live objects of a class that hold pointers to other objects, so that those pointers can be
// let go when their objects are destroyed. Objects are made on every thread: the list is locked.
// Keep one per class as a static that is never destroyed, as objects may go during static
// destruction.
template <typename T> class tcLiveObjects
{
public:
    void Add(T* p)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_ap.push_back(p);
    }
    void Remove(T* p)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_ap.erase(std::remove(m_ap.begin(), m_ap.end(), p), m_ap.end());
    }
    template <typename F> void ForEach(F f)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (T* p : m_ap)
            f(p);
    }

private:
    std::mutex m_lock;
    std::vector<T*> m_ap;
};
