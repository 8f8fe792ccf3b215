#include "varnak/include/tObjectLife.h"

namespace tobjectlife_detail
{
// Constant-initialised, so listeners added during static initialisation of other files are kept.
tDestroyedHandler g_pDestroyedHandler = nullptr;
tDestroyedHandler g_apListeners[kMaxListeners] = {};
int g_nListeners = 0;
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
