// The controls a user can press, by window and control name, the windows a user can close, and
// the window timers: the Qt windows and the headless runner forward clicks and time through here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sky {

struct App;

enum class ClickResult { Done, Disabled, NotLoaded, Unknown };

// Runs the control's handler. Disabled controls and controls of windows that are not open do
// nothing.
ClickResult Click(App& app, std::string_view window, std::string_view control);

// Whether the window has such a control (enabled or not).
bool IsControl(std::string_view window, std::string_view control);
bool IsWindow(std::string_view window);

// Sets a text box's text; false when the window has no such text box or is not open.
bool TypeText(App& app, std::string_view window, std::string_view control, const std::string& text);

// Closes a window as its close box does; false for an unknown window name.
bool CloseWindow(App& app, std::string_view window);

// Fires every enabled timer whose due time has come (the program's monotonic milliseconds).
void RunDueTimers(App& app);
// The monotonic time of the next due timer, for a host that sleeps until then.
int64_t NextTimerDueMs(const App& app);

}  // namespace sky
