#include "simlink/flightdata.h"

#include "core/app.h"
#include "instruments/status_window.h"
#include "realtime/link.h"
#include "recorder/logging.h"
#include "shell/messages.h"
#include "simlink/connection.h"

namespace sky {

void HandleLostConnection(App& app, bool stopAnimation) {
  Globals& g = app.g;
  CloseLink(app.link);
  g.Connected = false;
  if (g.StatusWindowOpen) ClearStatusLines(app);
  g.LoggingOn = false;
  g.RealtimeOn = false;
  EnableViewButtons(app, false);
  if (stopAnimation) g.AnimationOn = false;
  UpdateStatusLabels(app, false, false, false);
  ClearPreviousValues(app);
  app.Form1.lblConnect.text = "Not connected";
  if (app.Form1.windowState == WindowState::Minimized && g.WasConnected) {
    app.Form1.windowState = WindowState::Normal;
    app.Form1.visible = true;
    app.Form1.trayIcon = false;
  }
  app.Form1.lblConnect.color = kRed;
  ShowMessage(app, "Connection to FS timed out.");
}

void ReadFlightData(App& app) {
  // Placeholder until the flight sample reader lands: one exchange to notice a lost link.
  int32_t result = 0;
  int64_t latitude = 0;
  if (!QueueRead(app.link, 0x0560, 8, &latitude, result) || !ProcessRequests(app.link, result)) {
    HandleLostConnection(app, true);
  }
}

}  // namespace sky
