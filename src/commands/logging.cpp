#include "commands/logging.h"

#include <exception>

#include "commands/app.h"
#include "commands/realtime_link.h"
#include "core/log_format.h"
#include "core/system.h"
#include "core/timestamp.h"
#include "recorder/flightlog.h"

namespace sky {

void UpdateStatusLabels(App& app, RecordingLabels labels) {
  Form1Controls& form = app.Form1;
  if (!labels.logging) {
    form.Label5.text = "No logging";
    form.Label5.color = kBlack;
    form.Label13.text = "No animation";
  } else {
    form.Label5.text = "Logging";
    form.Label13.text = app.g.AnimationOn ? "Animation" : "No animation";
    form.Label5.color = labels.written ? kGreen : kBlack;
  }
  form.Label6.text = labels.realtime ? "Realtime" : "No realtime";
}

void ShowNotRecording(App& app) {
  UpdateStatusLabels(app, {.logging = false, .written = false, .realtime = false});
}

bool RecordSampleOrClose(App& app, const std::string& code, bool force) {
  const RecordResult result = RecordSample(RecordInputsOf(app), app.recorder, code, force);
  if (result.writtenLabel) {
    UpdateStatusLabels(app, {.logging = app.g.LoggingOn,
                             .written = *result.writtenLabel,
                             .realtime = app.g.RealtimeOn});
  }
  for (const std::string& sentence : result.sentences) ShowMessage(app, sentence);
  if (app.g.StatusWindowOpen) {
    StatusControls& status = app.frmACStatus;
    if (result.overspeed) status.Label1.color = *result.overspeed ? kRed : kBlack;
    if (result.stall) status.Label3.color = *result.stall ? kRed : kBlack;
  }
  if (!result.recorded) {
    CloseAfterTrackingFailure(app);
    ShowMessage(app, "Unable to track the flight.");
  }
  return !app.ended;
}

void StartLogging(App& app) {
  if (!app.g.Connected) {
    ShowMessage(app, "No open FS connection.");
    return;
  }
  app.g.LoggingOn = true;
  ForgetRealtimeWork(app);  // a new logging run
  if (!RecordSampleOrClose(app, "SA", true)) return;
  app.recorder.PrevTimestamp = Timestamp(app.ports.clock);
  ShowMessage(app,
              app.g.AnimationOn ? "Logging started (animation mode enabled)." : "Logging started.");
}

void ToggleAnimation(App& app) {
  Globals& g = app.g;
  if (!g.Connected) {
    ShowMessage(app, "No open FS connection.");
    g.LoggingOn = false;
    g.AnimationOn = false;
  } else if (g.AnimationOn) {
    g.AnimationOn = false;
    ShowMessage(app, "Animation mode disabled.");
  } else {
    g.LoggingOn = true;
    g.AnimationOn = true;
    ForgetRealtimeWork(app);  // a new start record
    if (!RecordSampleOrClose(app, "SA", true)) return;
    app.recorder.PrevTimestamp = Timestamp(app.ports.clock);
    ShowMessage(app, "Animation mode enabled.");
  }
}

void StopLogging(App& app) {
  Globals& g = app.g;
  if (!g.LoggingOn) return;
  try {
    g.RealtimeOn = false;
    EnableViewButtons(app, false);
    if (!RecordSampleOrClose(app, "SO", false)) return;
    g.AnimationOn = false;
    ShowNotRecording(app);
    WriteRealtimeDocuments(app);
    g.LoggingOn = false;
    app.Form1.Label5.text = "No logging";
    ClearPreviousValues(app.prev, app.recorder);
    ForgetRealtimeWork(app);
    ShowMessage(app, "Logging stopped.");
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to stop logging.");
  }
}

void ResetLog(App& app, bool noQuestion) {
  if (!noQuestion &&
      app.ports.dialogs.MessageBox("Reset log",
                                   "Warning, proceeding will delete your current flightlog until "
                                   "now!\r\nAre you sure you want to proceed?",
                                   MessageButtons::YesNo) != DialogAnswer::Yes) {
    return;
  }
  try {
    FileSystem& files = app.ports.files;
    const std::string folder = AppDataFolder(app.ports.folders);
    const char* const logs[] = {kFlightLogFile, kAnimationLogFile, kTrafficLogFile};
    for (const char* name : logs) {
      if (!files.Append(folder + name, "")) throw std::runtime_error(name);
    }
    for (const char* name : logs) {
      if (!files.Remove(folder + name)) throw std::runtime_error(name);
    }
    if (!files.Append(folder + kFlightLogFile, "")) throw std::runtime_error(kFlightLogFile);
  } catch (const std::exception&) {
    ForgetRealtimeWork(app);  // some of the logs may be gone
    ShowMessage(app, "Unable to delete tracklog, try again with realtime mode off.");
    return;
  }
  ForgetRealtimeWork(app);
  if (app.g.LoggingOn) {
    if (!RecordSampleOrClose(app, "SA=" + GetUtcTime(app.ports.clock), false)) return;
  }
  ShowMessage(app, "Tracklog reset.");
}

}  // namespace sky
