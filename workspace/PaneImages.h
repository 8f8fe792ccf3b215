#pragma once

#include <wx/artprov.h>
#include <wx/bitmap.h>
#include <wx/string.h>

// The button image sName (a PNG file name) from the data folder's "Lintrado/Images/". Each file is
// loaded once per process (through tLoadBitmap) and shared by every pane; a file that does not load
// gives an empty bitmap. Main thread only.
const wxBitmap& PaneBitmap(const wxString& sName);

// PaneBitmap, with the toolkit's stock image artId standing in when the file is missing or does not
// load, so that a button never ends up blank. Main thread only.
wxBitmap LoadPaneBitmap(const wxString& sName, const wxArtID& artId);
