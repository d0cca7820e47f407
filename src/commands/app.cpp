#include "commands/app.h"

#include "core/system.h"

namespace sky {

void ProgramBoard::Post(const std::string& text) {
  App& app = app_;
  const bool toStatus = text.rfind("Event: ", 0) == 0 && app.g.StatusWindowOpen;
  if (toStatus) {
    app.frmACStatus.lblEvent.text = text;
    RestartTimer(app.ports.clock, app.frmACStatus.tmrMSG);
  } else {
    app.Form1.Label7.text = text;
    RestartTimer(app.ports.clock, app.Form1.Timer2);
  }
  if (app.onMessage) app.onMessage(text, toStatus);
}

void ShowMessage(App& app, const std::string& text) {
  app.board.Post(text);
}

void Timer2_Timer(App& app) {
  app.Form1.Label7.text.clear();
  app.Form1.Timer2.enabled = false;
}

void tmrMSG_Timer(App& app) {
  app.frmACStatus.lblEvent.text.clear();
  app.frmACStatus.tmrMSG.enabled = false;
}

void ForgetRealtimeWork(App& app) {
  app.recorder.realtimeLog.reset();
  app.realtimeRendering.reset();
}

SettingsFile SettingsOf(App& app) {
  return {app.ports.files, app.ports.folders, app.board, app.g.AppTitle};
}

WebServer ServerOf(App& app) {
  return {app.ports.http, app.serverBase.value_or(BuiltInServerBase())};
}

KmlOutput KmlOutputOf(App& app) {
  return {app.ports.files, app.kml, app.g.DecimalSeparator, app.board};
}

RealtimeScene RealtimeSceneOf(const App& app) {
  return {.sample = app.sample,
          .previousAltitude = app.prev.Altitude,
          .separator = app.g.DecimalSeparator,
          .params = app.params,
          .chaseView = app.g.ChaseView,
          .viewRight = app.g.ViewRight,
          .productName = app.g.ProductName,
          .traffic = app.traffic,
          .tcasRange = app.g.TcasRange,
          .tcasMode = app.g.TcasMode};
}

RecordInputs RecordInputsOf(App& app) {
  return {.sample = app.sample,
          .prev = app.prev,
          .params = app.params,
          .separator = app.g.DecimalSeparator,
          .LoggingOn = app.g.LoggingOn,
          .RealtimeOn = app.g.RealtimeOn,
          .AnimationOn = app.g.AnimationOn,
          .traffic = app.traffic,
          .TcasRange = app.g.TcasRange,
          .TcasMode = app.g.TcasMode,
          .files = app.ports.files,
          .folders = app.ports.folders,
          .clock = app.ports.clock};
}

TcasScene TcasSceneOf(const App& app) {
  return {app.sample, app.g.DecimalSeparator, app.g.TcasRange, app.g.TcasMode};
}

FlightReadSettings FlightReadSettingsOf(const App& app) {
  return {app.g.DecimalSeparator, app.params.LocInt, app.params.GSInt, app.prev.OnGround};
}

XPlaneInstaller XPlaneInstallerOf(App& app, const WebServer& server, const SettingsFile& settings) {
  return {server,
          app.ports.dialogs,
          app.ports.files,
          app.ports.system,
          ProgramFolder(app.ports.folders),
          settings};
}

ReplayInputs ReplayInputsOf(App& app, const std::string& dataFolder) {
  return {.files = app.ports.files,
          .dataFolder = dataFolder,
          .kml = app.kml,
          .separator = app.g.DecimalSeparator,
          .PredPathMultiplier = app.params.PredPathMultiplier,
          .PredPathMultiplierTCAS = app.params.PredPathMultiplierTCAS,
          .GNDRange = app.params.GNDRange,
          .board = app.board};
}

UpdateCheck UpdateCheckOf(App& app, const WebServer& server, const std::string& dataFolder) {
  return {server,          app.ports.files,   app.ports.dialogs,
          app.ports.shell, app.ports.system,  ProgramFolder(app.ports.folders),
          dataFolder,      app.params.Update, app.params.MinUpdate};
}

}  // namespace sky
