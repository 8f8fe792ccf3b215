#pragma once

#include <wx/bitmap.h>
#include <wx/string.h>

// The button image sName (a PNG file name) from the data folder's "Lintrado/Images/". Each file is
// loaded once per process (through tLoadBitmap) and shared by every pane; a file that does not load
// gives an empty bitmap. Main thread only.
const wxBitmap& PaneBitmap(const wxString& sName);
