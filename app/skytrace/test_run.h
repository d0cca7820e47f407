// The Qt program's test run (see shell/test_commands.h): commands read from the standard input
// on a thread of their own, each run on the window thread before the next is read, pressing the
// real widgets; the answers are given through the boxes' own buttons once a box shows.
#pragma once

namespace sky {
struct App;
class SimulatedClock;
}  // namespace sky

namespace sky::ui {

class UiHost;
class QtDialogs;

// Starts reading the commands; the program's time is `clock` and moves only when told.
void StartTestRun(App& app, UiHost& host, QtDialogs& dialogs, SimulatedClock& clock);

}  // namespace sky::ui
