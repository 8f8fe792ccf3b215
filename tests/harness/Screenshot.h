#pragma once

#include <wx/string.h>

// Saves the whole screen of the current DISPLAY as a PNG with ImageMagick's "import -window root",
// after a short pump so that pending drawing reaches the screen. Creates the folder of sPngPath.
// Returns false when there is no display or import fails. For people to look at: no test
// compares pixels.
bool TakeScreenshot(const wxString& sPngPath);

// When LINTRADO_SCREENSHOT_DIR is set, saves the screen there as sName + ".png" and returns whether
// that worked; otherwise does nothing and returns true.
bool ScreenshotIfAsked(const wxString& sName);
