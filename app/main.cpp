// The program's entry point.
#include "app/BrindovaApp.h"

#include <wx/log.h>

wxIMPLEMENT_APP_NO_MAIN(BrindovaApp);

int main(int argc, char** argv)
{
    // Failed checks of the toolkit are not shown to the user; the program's own reports do that.
    wxSetAssertHandler(nullptr);
    wxLog::SetLogLevel(wxLOG_Info);
    return wxEntry(argc, argv);
}
