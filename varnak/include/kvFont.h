#pragma once

#include <wx/string.h>

// True when a font of that face name is installed. Needs the GUI toolkit (varnak_wx).
bool kvFontExists(const wxString& sFaceName);
