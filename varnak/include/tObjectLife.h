#pragma once

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

namespace tobjectlife_detail
{
extern tDestroyedHandler g_pDestroyedHandler;
constexpr int kMaxListeners = 8;
extern tDestroyedHandler g_apListeners[kMaxListeners];
extern int g_nListeners;
}

inline void tNotifyDestroyed(const void* p)
{
    if (tobjectlife_detail::g_pDestroyedHandler)
        tobjectlife_detail::g_pDestroyedHandler(p);
    for (int i = 0; i < tobjectlife_detail::g_nListeners; ++i)
        tobjectlife_detail::g_apListeners[i](p);
}
