#pragma once

// Installs the visible-warning shower of the GUI (see kvSetVisibleWarningShower): a warning box
// (wxMessageBox with the application's display name as caption). On the main thread it is shown at
// once and the warning returns when the user closes it; from another thread it is shown later on
// the main thread and the warning returns at once. Without a running wxApp nothing is shown (the
// warning is still in the log). Call once on the main thread, after the wxApp exists.
void kvInstallVisibleWarningShower();
