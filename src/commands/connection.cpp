#include "commands/connection.h"

#include <string>

#include "commands/app.h"
#include "commands/instrument_windows.h"
#include "simlink/fsuipc.h"

namespace sky {

void ShowConnected(App& app, bool connected) {
  app.Form1.lblConnect.text = connected ? "Connected" : "Not connected";
  app.Form1.lblConnect.color = connected ? kBlack : kRed;
}

bool ConnectSimulator(App& app) {
  if (app.g.Connected) return false;
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
    return false;
  }
  app.g.Connected = true;
  ShowConnected(app, true);
  return true;
}

}  // namespace sky
