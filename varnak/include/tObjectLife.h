#pragma once

// Destruction notices. The destructor of every library object a script can hold announces itself,
// so that the script binding can empty the boxes that still point to it. Costs one load and one
// test while nothing listens. Main thread only (notices from other threads reach the handler too;
// it decides what to do with them).
using tDestroyedHandler = void (*)(const void* p);

// Installs the one listener (null removes it).
void tSetDestroyedHandler(tDestroyedHandler pHandler);

namespace tobjectlife_detail
{
extern tDestroyedHandler g_pDestroyedHandler;
}

inline void tNotifyDestroyed(const void* p)
{
    if (tobjectlife_detail::g_pDestroyedHandler)
        tobjectlife_detail::g_pDestroyedHandler(p);
}
