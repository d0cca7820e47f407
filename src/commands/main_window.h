// What belongs to the main window itself: the options dialog, the manual and the website, the
// always-on-top toggle, hiding to the notification area (tray) when minimised with a one-time
// "Start logging?" question, restoring from the tray, and the visual styles set up at start-up.
#pragma once

#include <string>

#include "core/controls.h"

namespace sky {

struct App;

void OpenManual(App& app);   // btn_Manual
void OpenWebsite(App& app);  // btn_Website
void ToggleMainOnTop(App& app);
// A window's always-on-top toggle: its flag, the topmost band, and the sentence of each way.
void ToggleOnTop(App& app, bool& onTop, WindowId window, const char* disabled, const char* enabled);

// The product page on the maker's web server; "" when this build has no server address.
std::string WebsiteAddress(const App& app);

// The window's resize handler: the user (or the program) brought the window into `state`.
void Form_Resize(App& app, WindowState state);
// Adds the tray icon; false when the desktop has no notification area to hold it.
bool ShowProgramInTray(App& app);

// Mouse messages of the tray icon, as the notification area reports them.
inline constexpr int kLeftButtonUp = 0x202;
inline constexpr int kLeftButtonDoubleClick = 0x203;
inline constexpr int kRightButtonUp = 0x205;
inline constexpr int kMouseMove = 0x200;
// The tray icon's mouse handler: a left or right button release restores the window.
void picTrayicon_MouseMove(App& app, int message);

// Sets up the themed controls. When the system cannot, the program saves ForceNoWinXP, says so
// and ends; returns false then.
bool InitVisualStyles(App& app);

}  // namespace sky
