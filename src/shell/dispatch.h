// The controls a user can press, by window and control name, the text boxes a user can type
// into, the windows a user can close, the main window's own events (minimise, the tray icon) and
// the window timers: the Qt windows and the headless runner forward input and time through here.
// While a modal dialog is open, only the topmost one takes input; the timers go on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/controls.h"

namespace sky {

struct App;

enum class ClickResult { Done, Disabled, NotLoaded, Blocked, Unknown };

// Runs the control's handler (a check box changes its tick, a text box takes the focus).
// Disabled controls, controls of windows that are not open and of windows behind a modal dialog
// do nothing. In a dialog, the focus moves to the control first, so the box that had it corrects
// its text before a button acts.
ClickResult Click(App& app, std::string_view window, std::string_view control);

// Whether the window has such a control (enabled or not).
bool IsControl(std::string_view window, std::string_view control);
bool IsWindow(std::string_view window);
// Whether the window is open but behind a modal dialog.
bool IsBlocked(const App& app, std::string_view window);

// The focus moves to a control (Tab, or a click that is not a press yet): in the logging
// parameters, the box that had it corrects its text. False for a window that takes no input.
bool MoveFocus(App& app, std::string_view window, std::string_view control);

// Typing: the text box takes the focus and the text (line breaks dropped, a box holds one line).
// False when the window has no such text box, or is not open or behind a dialog.
bool TypeText(App& app, std::string_view window, std::string_view control, const std::string& text);

// Closes a window as its close box does; false for an unknown window name or a window behind a
// modal dialog.
bool CloseWindow(App& app, std::string_view window);

// The main window's state was changed by the user (minimised, restored, maximised).
void ResizeMainWindow(App& app, WindowState state);
// A mouse message of the tray icon (WM_LBUTTONUP and the like), for a host that receives the
// notification area's messages.
void TrayIconMouse(App& app, int message);
// What happened at the tray icon, as a toolkit reports it.
enum class TrayClick { LeftRelease, RightRelease, DoubleClick, Other };
void TrayIconClick(App& app, TrayClick click);
// Another copy of the program, started by the user, asks this one to the front: the main window
// comes back from the tray or the task bar as a click on the tray icon brings it.
void ComeToFront(App& app);

// Fires every enabled timer whose due time has come (the program's monotonic milliseconds).
void RunDueTimers(App& app);
// The monotonic time of the next due timer, for a host that sleeps until then.
int64_t NextTimerDueMs(const App& app);

}  // namespace sky
