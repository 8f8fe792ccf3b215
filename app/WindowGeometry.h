#pragma once

#include <wx/gdicmn.h>

class wxConfigBase;

// Position, size and state of the main window, as stored in the group "/Window".
struct tcWindowGeometry
{
    bool bMaximized = true;
    int x = 0;
    int y = 0;
    int nWidth = 780;
    int nHeight = 585;
};

// Reads "maximized", "x", "y", "width" and "height" of "/Window" over the defaults (a missing value
// keeps its default; a null store gives the defaults) and logs the values read. Never writes.
tcWindowGeometry ReadWindowGeometry(wxConfigBase* pConfig);

// Makes stored geometry usable on this display: at least 640 by 480, and a position outside
// [0, width) or [0, height) of the display's client area becomes 0.
tcWindowGeometry ClampWindowGeometry(tcWindowGeometry geometry, const wxSize& clientArea);
