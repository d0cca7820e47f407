#include "shell/tick.h"

#include "commands/app.h"
#include "commands/connection.h"
#include "commands/instrument_windows.h"
#include "commands/logging.h"
#include "commands/realtime_link.h"
#include "commands/review.h"
#include "core/numtext.h"
#include "core/system.h"
#include "core/timestamp.h"
#include "instruments/status_window.h"
#include "instruments/tcas.h"
#include "online/online.h"
#include "recorder/log_file.h"
#include "simlink/flightdata.h"
#include "simlink/fsuipc.h"
#include "simlink/identity.h"
#include "simlink/traffic.h"

namespace sky {

void HandleLostConnection(App& app) {
  Globals& g = app.g;
  CloseLink(app.link);
  g.Connected = false;
  if (g.StatusWindowOpen) ClearStatusLines(app.frmACStatus);
  g.LoggingOn = false;
  g.RealtimeOn = false;
  EnableViewButtons(app, false);
  g.AnimationOn = false;
  ShowNotRecording(app);
  ClearPreviousValues(app.prev, app.recorder);
  app.prev.read = false;  // the next link's first sample is compared with nothing
  ForgetRealtimeWork(app);
  StopWatchingLanding(app);
  app.Form1.lblConnect.text = "Not connected";
  if (app.Form1.windowState == WindowState::Minimized && g.WasConnected) {
    app.Form1.windowState = WindowState::Normal;
    app.Form1.visible = true;
    app.Form1.trayIcon = false;
  }
  app.Form1.lblConnect.color = kRed;
  ShowMessage(app, "Connection to FS timed out.");
}

namespace {

// What the tick does with a reader's report: a lost link is handled, a bad value posts the
// reader's sentence.
void React(App& app, ReadOutcome outcome, const char* badValueSentence) {
  if (outcome == ReadOutcome::LinkLost) HandleLostConnection(app);
  if (outcome == ReadOutcome::BadValue) ShowMessage(app, badValueSentence);
}

// The usage report, once per run: without a server nothing is asked of anybody (not even the
// simulator's name).
void ReportUsage(App& app) {
  const WebServer server = ServerOf(app);
  if (server.base.empty()) return;
  UsageReport report;
  report.now = app.ports.clock.LocalNow();
  report.user = CurrentUserName(app.ports.system, app.board);
  report.system = getOSV(app.ports.system);
  report.simulator = GetSimulatorName(app.link, app.g.Connected);
  SendUsageReport(server, report);
}

}  // namespace

void ReadSample(App& app) {
  React(app, ReadFlightData(app.link, FlightReadSettingsOf(app), app.sample, app.g.GroundOffset),
        "Unable to load FSUIPC offsets.");
}

void RefreshTraffic(App& app) {
  React(app, GetAI(app.link, app.g.TcasRange, app.g.TcasRangeSent, app.traffic),
        "Unable to load AI traffic data.");
}

void tmrTCAS_Timer(App& app) {
  ClearTcasTable(app.frmTCAS);
  if (!app.g.Connected || app.g.TcasMode == 0) return;
  RefreshTraffic(app);
  if (!app.g.Connected) return;  // the link went down during the refresh: nothing to show
  DrawTraffic(TcasSceneOf(app), app.traffic, app.frmTCAS, app.board);
}

void Command1_Click(App& app) {
  if (ConnectSimulator(app)) Timer1_Timer(app);
}

void Timer1_Timer(App& app) {
  if (app.ended) return;
  Globals& g = app.g;
  Form1Controls& form = app.Form1;

  form.btn_resetlog.enabled = LogHasRecords(app.ports.files, g.FlightLogPath);
  form.btn_Convert.enabled = form.btn_resetlog.enabled;
  form.btn_startlog.enabled = g.Connected;
  form.btn_ToggleRealtime.enabled = g.Connected;
  form.btn_startAnimate.enabled = g.Connected;
  form.btn_stoplog.enabled = g.Connected;

  const std::string& clock = form.Label9.text;
  const bool colon = clock.size() >= 3 && clock[2] == ':';
  form.Label9.text = FormatDigits(GetUtcTime(app.ports.clock), colon ? "00 00" : "00:00") + "z";

  if (!g.Connected) {
    int32_t result = 0;
    g.Connected = OpenLink(app.link, 0, result);
  } else {
    ReadSample(app);
    UpdateStatusLabels(app, {.logging = g.LoggingOn, .written = false, .realtime = g.RealtimeOn});
    if (!g.Connected) return;

    if (app.prev.Latitude.empty()) app.prev.Latitude = app.sample.Latitude;
    if (app.prev.Longitude.empty()) app.prev.Longitude = app.sample.Longitude;
    RecorderState& r = app.recorder;
    for (std::string* lastLogged : {&r.LastLoggedHeading, &r.LastLoggedVerticalSpeed,
                                    &r.LastLoggedGroundSpeed, &r.LastLoggedAltitude}) {
      if (lastLogged->empty()) *lastLogged = "0";
    }
    if (g.StatusWindowOpen) WriteStatusLines(app.frmACStatus, app.sample, g.DecimalSeparator);
    if (!RecordSampleOrClose(app, "", false)) return;
    WatchLanding(app);
    if (g.RealtimeOn) WriteRealtimeDocuments(app);

    const FlightSample& s = app.sample;
    PreviousSample& p = app.prev;
    p.Heading = s.Heading;
    p.GroundSpeed = s.GroundSpeed;
    p.Latitude = s.Latitude;
    p.Longitude = s.Longitude;
    p.Altitude = s.Altitude;
    p.VerticalSpeed = s.VerticalSpeed;
    p.OnGround = s.OnGround;
    p.Spoilers = s.Spoilers;
    p.TailHook = s.TailHook;
    p.Overspeed = s.Overspeed;
    p.Stall = s.Stall;
    p.InnerMarker = s.InnerMarker;
    p.MiddleMarker = s.MiddleMarker;
    p.OuterMarker = s.OuterMarker;
    p.LocalizerInBand = s.LocalizerInBand;
    p.GlideslopeState = s.GlideslopeState;
    p.GlideslopeFlag = s.GlideslopeFlag;
    p.GlideslopeNeedle = s.GlideslopeNeedle;
    p.read = true;
    app.recorder.PrevTimestamp = Timestamp(app.ports.clock);
  }

  if (g.Connected) {
    ShowConnected(app, true);
  } else {
    g.TcasMode = 0;
    ShowTcasOff(app);
    ShowConnected(app, false);
    if (form.windowState == WindowState::Minimized && g.WasConnected) {
      form.windowState = WindowState::Normal;
      form.visible = true;
      form.trayIcon = false;
    }
  }
  if (g.UsageReportPending) {
    ReportUsage(app);
    g.UsageReportPending = false;
  }
  g.WasConnected = g.Connected;
}

}  // namespace sky
