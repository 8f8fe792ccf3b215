#include "app/WindowGeometry.h"

#include "varnak/include/kvLog.h"

#include <wx/config.h>

#include <algorithm>

tcWindowGeometry ReadWindowGeometry(wxConfigBase* pConfig)
{
    tcWindowGeometry geometry;
    if (pConfig)
    {
        pConfig->SetPath("/Window");
        pConfig->Read("maximized", &geometry.bMaximized, geometry.bMaximized);
        pConfig->Read("x", &geometry.x, geometry.x);
        pConfig->Read("y", &geometry.y, geometry.y);
        pConfig->Read("width", &geometry.nWidth, geometry.nWidth);
        pConfig->Read("height", &geometry.nHeight, geometry.nHeight);
    }
    kvLog(L"Window settings: %s (%d %d, %d %d)", geometry.bMaximized ? L"Maximized" : L"Not maximized", geometry.x,
          geometry.y, geometry.nWidth, geometry.nHeight);
    return geometry;
}

tcWindowGeometry ClampWindowGeometry(tcWindowGeometry geometry, const wxSize& clientArea)
{
    geometry.nWidth = std::max(geometry.nWidth, 640);
    geometry.nHeight = std::max(geometry.nHeight, 480);
    if (geometry.x < 0 || geometry.x >= clientArea.GetWidth())
        geometry.x = 0;
    if (geometry.y < 0 || geometry.y >= clientArea.GetHeight())
        geometry.y = 0;
    return geometry;
}
