#pragma once

#include <wx/app.h>

// The application object of the window tests: set up like the program's (names, C.UTF-8
// character classes), without a main loop of its own. An exception escaping an event handler
// fails the running test instead of ending the process, and so does a failed wxWidgets assertion
// or an error, warning or message logged through wxLog (the program would show it in a message
// box).
class GuiTestApp : public wxApp
{
public:
    bool OnInit() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;
};

// Starts a GuiTestApp in-process, registers the modal-dialog script, runs every test and cleans
// up. Returns the exit code for main; a message on stderr and 1 when there is no display.
int RunGuiTests(int& argc, char** argv);
