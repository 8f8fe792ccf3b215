#include "varnak/include/tObjectLife.h"

namespace tobjectlife_detail
{
tDestroyedHandler g_pDestroyedHandler = nullptr;
}

void tSetDestroyedHandler(tDestroyedHandler pHandler)
{
    tobjectlife_detail::g_pDestroyedHandler = pHandler;
}
