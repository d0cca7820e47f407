// The aircraft status window's logic: its six value lines written by the tick, the blanking
// after a lost link, and its always-on-top toggle.
#pragma once

namespace sky {

struct App;

void OpenStatusWindow(App& app);   // main window's btn_indicator: one window at most
void CloseStatusWindow(App& app);  // the window's unload
void WriteStatusLines(App& app);
void ClearStatusLines(App& app);
void ToggleStatusOnTop(App& app);

}  // namespace sky
