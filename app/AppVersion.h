#pragma once

#include <wx/string.h>

// The application's version, "major.minor.patch.build", fixed by the build.
wxString tGetAppVersion();
// The first of its four numbers.
int tGetAppMajorVersion();
