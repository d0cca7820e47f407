#include "simlink/connection.h"

#include "core/app.h"
#include "instruments/tcas.h"
#include "recorder/startup.h"

namespace sky {

void ShowConnected(App& app, bool connected) {
  app.Form1.lblConnect.text = connected ? "Connected" : "Not connected";
  app.Form1.lblConnect.color = connected ? kBlack : kRed;
}

void ConnectSimulator(App& app) {
  if (app.g.Connected) return;
  int32_t result = 0;
  if (!OpenLink(app.link, 0, result)) {
    app.g.TcasMode = 0;
    ShowTcasOff(app);
    app.g.Connected = false;
    ShowConnected(app, false);
    app.ports.dialogs.MessageBox("Connection failure",
                                 "Connection failed, please make sure your FS is running and you "
                                 "installed FSUIPC (or XPUIPC for X-Plane) correctly.\n\nError "
                                 "code: " +
                                     std::to_string(result),
                                 MessageButtons::Ok);
    return;
  }
  app.g.Connected = true;
  ShowConnected(app, true);
  Timer1_Timer(app);
}

void Command1_Click(App& app) {
  ConnectSimulator(app);
}

std::string SimulatorNameOf(int code) {
  switch (code) {
    case 1:
      return "FS98";
    case 2:
      return "FS2000";
    case 3:
      return "Combat FS2";
    case 4:
      return "Combat FS1";
    case 5:
      return "Fly!";
    case 6:
      return "FS2002";
    case 7:
      return "FS2004";
    case 8:
      return "FSX";
    default:
      return "? " + std::to_string(code);
  }
}

std::string GetSimulatorName(App& app) {
  if (!app.g.Connected) return "Not connected";
  int32_t result = 0;
  uint16_t xplane = 0;
  if (QueueRead(app.link, 0x6FFF, 2, &xplane, result) && ProcessRequests(app.link, result) &&
      xplane != 0) {
    return "X-Plane";
  }
  uint16_t code = 0;
  if (QueueRead(app.link, kOffsetSimulatorVersion, 2, &code, result) &&
      ProcessRequests(app.link, result)) {
    return SimulatorNameOf(code);
  }
  return "";
}

}  // namespace sky
