#include "commands/instrument_windows.h"

#include "commands/app.h"
#include "commands/main_window.h"
#include "core/system.h"
#include "instruments/tcas.h"

namespace sky {
void OpenTcasWindow(App& app) {
  if (app.g.TcasWindowOpen) return;
  app.frmTCAS = TcasControls{};
  // The labels show the mode and range the window draws with.
  app.frmTCAS.Label11.text = TcasModeName(app.g.TcasMode);
  app.frmTCAS.Label10.text = TcasRangeText(app.g.TcasRange);
  app.frmTCAS.loaded = true;
  app.g.TcasWindowOpen = true;
  RestartTimer(app.ports.clock, app.frmTCAS.tmrTCAS);
}

void CloseTcasWindow(App& app) {
  // Closing the window ends traffic reading: the mode goes to OFF, so neither the realtime view
  // nor the animation goes on with a frozen traffic picture. Range and the always-on-top flag
  // are program-wide and survive the window.
  app.g.TcasMode = 0;
  app.frmTCAS.loaded = false;
  app.frmTCAS.targets.clear();
  app.g.TcasWindowOpen = false;
}

void CycleTcasMode(App& app) {
  app.g.TcasMode = NextTcasMode(app.g.TcasMode, app.g.Connected);
  app.frmTCAS.Label11.text = TcasModeName(app.g.TcasMode);
}

void ZoomIn(App& app) {
  app.g.TcasRange = ZoomedIn(app.g.TcasRange);
  app.frmTCAS.Label10.text = TcasRangeText(app.g.TcasRange);
}

void ZoomOut(App& app) {
  app.g.TcasRange = ZoomedOut(app.g.TcasRange);
  app.frmTCAS.Label10.text = TcasRangeText(app.g.TcasRange);
}

void ToggleTcasOnTop(App& app) {
  ToggleOnTop(app, app.g.TcasOnTop, WindowId::frmTCAS, "TCAS always on top disabled.",
              "TCAS window set always on top.");
}

void ShowTcasOff(App& app) {
  if (app.g.TcasWindowOpen) app.frmTCAS.Label11.text = "OFF";
}

void OpenStatusWindow(App& app) {
  if (app.g.StatusWindowOpen) return;
  app.frmACStatus = StatusControls{};  // a new window starts blank
  app.frmACStatus.loaded = true;
  app.g.StatusWindowOpen = true;
  RestartTimer(app.ports.clock, app.frmACStatus.tmrMSG);
}

void CloseStatusWindow(App& app) {
  app.frmACStatus.loaded = false;
  app.g.StatusWindowOpen = false;
}

void ToggleStatusOnTop(App& app) {
  ToggleOnTop(app, app.g.StatusOnTop, WindowId::frmACStatus,
              "Aircraft status always on top disabled.",
              "Aircraft status window set always on top.");
}

}  // namespace sky
