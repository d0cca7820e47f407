// Start-up of the program (the main window's load) and its end (the main window's unload).
#pragma once

namespace sky {

struct App;
class Dialogs;
class SingleInstance;

// Before anything else runs: true when this is the only copy of the program. Otherwise the
// running copy is asked to the front, the user is told so, and the caller ends without touching
// a file.
bool StartOnlyCopy(SingleInstance& instance, Dialogs& dialogs);

// The start-up sequence of the main window. Returns false when the program ended during it.
bool Form_Load(App& app);
// Closing the main window: removes the tray icon and ends the program.
void Form_Unload(App& app);

}  // namespace sky
