#include "app/AppVersion.h"

#ifndef LINTRADO_VERSION
#error "The build defines LINTRADO_VERSION for this file."
#endif

wxString tGetAppVersion()
{
    return LINTRADO_VERSION;
}

int tGetAppMajorVersion()
{
    long nMajor = 0;
    tGetAppVersion().BeforeFirst('.').ToLong(&nMajor);
    return static_cast<int>(nMajor);
}
