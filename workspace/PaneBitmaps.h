#pragma once

#include <wx/artprov.h>
#include <wx/bitmap.h>
#include <wx/string.h>

// The image sName (a file name such as "Next.png") from the program's pane images in
// g_sAppDataPath/Images. When the file is missing or does not load, the stock image artId of the
// toolkit stands in, so a button never ends up blank. Main thread only.
wxBitmap LoadPaneBitmap(const wxString& sName, const wxArtID& artId);
