#pragma once

#include <wx/bitmap.h>
#include <wx/string.h>

#include <deque>

class wxMenu;
class wxMenuItem;

// Menu items with images from the program's image folders, and a process-wide list of bitmaps that
// scripts address by number. Main thread only; a wx application must exist.

// Builds an item (the label through ProcessMenuString) and appends it to pMenu, which owns it.
// sImage names a PNG file: a name with "/" is a path; a plain name is looked up in
// g_sAppDataPath/Images/Menu, else g_sDataPath/Images/Menu. A file that does not load leaves the
// item without an image; nothing is shown to the user. A checkable item gets sImage too; the image
// for its checked state is accepted but not used, as this toolkit has no pair of state images.
// Returns the new item (owned by the menu), null for a null menu.
wxMenuItem* AppendMenuItem(wxMenu* pMenu, int nID, const wxString& sLabel, const wxString& sHelp,
                           const wxString& sImage = wxString(), bool bCheckable = false,
                           const wxString& sCheckedImage = wxString());
// The same with bCheckable true.
wxMenuItem* AppendCheckItem(wxMenu* pMenu, int nID, const wxString& sLabel, const wxString& sHelp,
                            const wxString& sImage = wxString(), const wxString& sCheckedImage = wxString());
// A plain item with a ready bitmap; the label is taken as it stands (no platform processing).
wxMenuItem* AppendMenuItem(wxMenu* pMenu, int nID, const wxString& sLabel, const wxBitmap& bitmap);

// The bitmaps loaded by tLoadBitmap, in order; never shrinks, and its elements never move. Number k
// (from 1) is element k - 1.
extern std::deque<wxBitmap> g_aBitmaps;

// Loads a PNG file (the path must end in ".png") into g_aBitmaps and returns its number, from 1.
// A file that ends in ".png" but does not load is kept as an empty bitmap under its number. Any
// other path is refused with a soft assertion and 0, which names the null bitmap.
unsigned int tLoadBitmap(const wxString& sPath);
// The bitmap of that number; 0 gives wxNullBitmap. A number beyond the list is reported as an
// assertion and gives wxNullBitmap too. The reference stays valid for the life of the process.
const wxBitmap& tGetBitmap(unsigned int nIndex);
