// The TCAS window's logic: the drawing of targets by range, bearing and relative altitude, the
// modes, the zoom and the always-on-top toggle. The window's refresh tick runs with the other
// ticks.
#pragma once

#include <string>

namespace sky {

struct App;

void OpenTcasWindow(App& app);   // main window's btn_TCAS: one window at most
void CloseTcasWindow(App& app);  // the window's unload
// Draws every aircraft of the traffic table that its threat level shows.
void DrawTraffic(App& app);
void ClearTcasTable(App& app);
void DrawTarget(App& app, double lat, double lon, double alt);
std::string TargetPosition(App& app, double lat, double lon);
void CycleTcasMode(App& app);
void ZoomIn(App& app);
void ZoomOut(App& app);
void ToggleTcasOnTop(App& app);
// Shows "OFF" on the mode label when the window is open (after the link was found down).
void ShowTcasOff(App& app);

}  // namespace sky
