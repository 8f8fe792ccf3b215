#pragma once

#include <functional>

// The program's own start-up services, shared by the application object and the tests that drive
// the whole program, so that both run on the same importers, store, catalogs and windows.
//
// tStartProgramServices starts, in this order: the XLIFF, TMX and SRX importers (with the import
// yield hook that lets the toolkit repaint during long loads), the configuration store over the
// per-user file, the text catalogs, the web layout engine selection, the toolkit's image handlers
// and the convertors' preview windows; then it calls fnBeforeSlowLoads (may be empty; the program
// shows its splash there); then the language database, the font check and the options.
//
// It returns false, with the later steps not run, when no default catalog is named (the user has
// been told through tUserPrompts()). The application paths must be set before. Main thread.
bool tStartProgramServices(const std::function<void()>& fnBeforeSlowLoads = {});

// Ends what tStartProgramServices started, in reverse: the importers, the options (saved only when
// they were loaded, so a start that stopped early never overwrites the stored ones with defaults),
// the language database, the catalog lists and the configuration store. Safe to call when the start
// stopped early or never ran. Main thread.
void tStopProgramServices();
