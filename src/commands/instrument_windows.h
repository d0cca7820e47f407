// The TCAS and aircraft status windows' own commands: opening one window of each at most,
// closing them, the TCAS modes and zoom, and each window's always-on-top toggle.
#pragma once

namespace sky {

struct App;

void OpenTcasWindow(App& app);   // main window's btn_TCAS
void CloseTcasWindow(App& app);  // the window's unload: traffic reading ends (mode OFF)
void CycleTcasMode(App& app);    // btn_ToggleTCAS
void ZoomIn(App& app);           // btn_zoomin
void ZoomOut(App& app);          // btn_zoomout
void ToggleTcasOnTop(App& app);  // the TCAS window's Command1
// Shows "OFF" on the mode label when the window is open (after the link was found down).
void ShowTcasOff(App& app);

void OpenStatusWindow(App& app);   // main window's btn_indicator
void CloseStatusWindow(App& app);  // the window's unload
void ToggleStatusOnTop(App& app);  // the status window's Command1

}  // namespace sky
