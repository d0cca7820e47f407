#include "instruments/tcas.h"

#include "core/app.h"

namespace sky {

void ShowTcasOff(App& app) {
  if (app.g.TcasWindowOpen) app.frmTCAS.Label11.text = "OFF";
}

void OpenTcasWindow(App&) {}
void CloseTcasWindow(App&) {}
void tmrTCAS_Timer(App&) {}
void ClearTcasTable(App&) {}
void DrawTarget(App&, double, double, double) {}
std::string TargetPosition(App&, double, double) {
  return "0:0";
}
void CycleTcasMode(App&) {}
void ZoomIn(App&) {}
void ZoomOut(App&) {}
void ToggleTcasOnTop(App&) {}

}  // namespace sky
