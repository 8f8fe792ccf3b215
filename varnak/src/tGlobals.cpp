#include "varnak/include/tGlobals.h"

#include "varnak/include/tObjectLife.h"

tcNode* gCurrentNode = nullptr;
tcEntry* gCurrentEntry = nullptr;
tcLanguage* gCurrentSortSection = nullptr;
tcEntry* gCurrentSortCmp1 = nullptr;
tcEntry* gCurrentSortCmp2 = nullptr;
tcStyle* gCurrentStyle = nullptr;
tcAttribute* gCurrentStyleAttribute = nullptr;

namespace
{
template <typename T> void Forget(T*& pItem, const void* p)
{
    if (pItem == p)
        pItem = nullptr;
}

// A current item that is destroyed becomes null, so no script or routine reads it afterwards.
void ForgetCurrentItem(const void* p)
{
    Forget(gCurrentNode, p);
    Forget(gCurrentEntry, p);
    Forget(gCurrentSortSection, p);
    Forget(gCurrentSortCmp1, p);
    Forget(gCurrentSortCmp2, p);
    Forget(gCurrentStyle, p);
    Forget(gCurrentStyleAttribute, p);
}
const bool g_bForgetsCurrentItems = tAddDestroyedListener(ForgetCurrentItem);
} // namespace

int gCurrentGroupItemIndex = -1;
int gCurrentGroupItemCount = 0;

bool g_bAdminNoUpdateTimestamps = false;

int g_nZoom = 100;
int g_nZoomDefault = 100;
int g_nZoomMin = 25;
int g_nZoomMax = 400;

int tGetZoomLevelPercentage()
{
    // A default of 0 or less would divide by nothing: the level is then taken as it stands.
    if (g_nZoomDefault <= 0)
        return g_nZoom;
    return static_cast<int>((static_cast<long long>(g_nZoom) * 100) / g_nZoomDefault);
}

double tGetZoomFactor()
{
    return g_nZoomDefault > 0 ? static_cast<double>(g_nZoom) / g_nZoomDefault : 1.0;
}
