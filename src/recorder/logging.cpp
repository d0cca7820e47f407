#include "recorder/logging.h"

#include <exception>

#include "core/app.h"
#include "realtime/link.h"
#include "recorder/flightlog.h"
#include "recorder/startup.h"
#include "shell/messages.h"

namespace sky {

void StartLogging(App& app) {
  if (!app.g.Connected) {
    ShowMessage(app, "No open FS connection.");
    return;
  }
  app.g.LoggingOn = true;
  RecordSample(app, "SA", true);
  if (app.ended) return;  // recording failed and closed the program
  app.g.PrevTimestamp = Timestamp(app);
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
    RecordSample(app, "SA", true);
    if (app.ended) return;
    g.PrevTimestamp = Timestamp(app);
    ShowMessage(app, "Animation mode enabled.");
  }
}

void StopLogging(App& app) {
  Globals& g = app.g;
  if (!g.LoggingOn) return;
  try {
    g.RealtimeOn = false;
    EnableViewButtons(app, false);
    RecordSample(app, "SO", false);
    if (app.ended) return;
    g.AnimationOn = false;
    UpdateStatusLabels(app, false, false, false);
    WriteRealtimeDocuments(app);
    g.LoggingOn = false;
    app.Form1.Label5.text = "No logging";
    ClearPreviousValues(app);
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
    const std::string folder = AppDataFolder(app);
    for (const char* name : {"Flightlog.txt", "Animation.txt", "Traffic.txt"}) {
      if (!files.Append(folder + name, "")) throw std::runtime_error(name);
    }
    for (const char* name : {"Flightlog.txt", "Animation.txt", "Traffic.txt"}) {
      if (!files.Remove(folder + name)) throw std::runtime_error(name);
    }
    if (!files.Append(folder + "Flightlog.txt", "")) throw std::runtime_error("Flightlog.txt");
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to delete tracklog, try again with realtime mode off.");
    return;
  }
  if (app.g.LoggingOn) {
    RecordSample(app, "SA=" + GetUtcTime(app), false);
    if (app.ended) return;
  }
  ShowMessage(app, "Tracklog reset.");
}

void UpdateStatusLabels(App& app, bool logging, bool written, bool realtime) {
  Form1Controls& form = app.Form1;
  if (!logging) {
    form.Label5.text = "No logging";
    form.Label5.color = kBlack;
    form.Label13.text = "No animation";
  } else {
    form.Label5.text = "Logging";
    form.Label13.text = app.g.AnimationOn ? "Animation" : "No animation";
    form.Label5.color = written ? kGreen : kBlack;
  }
  form.Label6.text = realtime ? "Realtime" : "No realtime";
}

void ClearPreviousValues(App& app) {
  PreviousSample& prev = app.prev;
  prev.Latitude.clear();
  prev.Longitude.clear();
  prev.GroundSpeed.clear();
  prev.Altitude.clear();
  prev.Heading.clear();
  app.g.PrevTimestamp.clear();
}

}  // namespace sky
