#include "commands/realtime_link.h"

#include <exception>

#include "commands/app.h"
#include "commands/logging.h"
#include "core/log_format.h"
#include "core/system.h"
#include "kml/kml_file.h"
#include "kml/templates.h"
#include "kml/writer.h"
#include "kml/xml_escape.h"

namespace sky {

void EnableViewButtons(App& app, bool enabled) {
  Form1Controls& form = app.Form1;
  for (Button* button :
       {&form.btn_setOverview, &form.btn_setRight, &form.btn_setLeft, &form.btn_setChase}) {
    button->enabled = enabled;
  }
}

void InitiateRealtime(App& app) {
  Globals& g = app.g;
  ForgetRealtimeWork(app);  // the realtime documents start over from the logs
  try {
    if (!g.LoggingOn && !g.Connected) {
      g.RealtimeOn = false;
      EnableViewButtons(app, false);
      ShowNotRecording(app);
      ShowMessage(app, "No open FS connection.");
      return;
    }
    // Connected but not logging: logging is switched on without a start record.
    g.RealtimeOn = true;
    EnableViewButtons(app, true);
    g.LoggingOn = true;
    UpdateStatusLabels(app, {.logging = true, .written = false, .realtime = true});
    ShowMessage(app, "Realtime network link generated, check Google Earth.");
    CreateRealtimeLink(app);
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to start Realtime logging.");
  }
}

void CreateRealtimeLink(App& app) {
  try {
    const std::string folder = AppDataFolder(app.ports.folders);
    std::string text =
        ReplaceFirst(app.kml.KMLRealtime, "FILE1", XmlEscape(folder + "Realtime.kml"));
    ReplaceFirstIn(text, "FILE2", XmlEscape(folder + "RealtimeLocation.kml"));
    const std::string link = folder + "Skytrace Realtime.kml";
    WriteKmlFile(app.ports.files, link, text + "\r\n");
    OpenOrNameIt(app.ports.shell, app.board, link);  // Google Earth, as the handler of .kml files
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to initialize realtime tracking.");
  }
}

void ToggleRealtime(App& app) {
  Globals& g = app.g;
  ForgetRealtimeWork(app);  // switched off nothing is kept; switched on the logs may have moved on
  if (g.RealtimeOn) {
    g.RealtimeOn = false;
    ShowMessage(app, "Realtime stopped.");
    EnableViewButtons(app, false);
  } else if (!g.Connected) {
    ShowMessage(app, "No open FS connection.");
  } else {
    EnableViewButtons(app, true);
    g.RealtimeOn = true;
    g.LoggingOn = true;
    ShowMessage(app, "Realtime started.");
  }
}

void SetViewChase(App& app) {
  app.g.ChaseView = true;
  ShowMessage(app, "View set to chase airplane.");
}

void SetViewOverview(App& app) {
  app.g.ChaseView = false;
  ShowMessage(app, "View set to overview.");
}

void SetViewLeft(App& app) {
  app.g.ViewRight = false;
  ShowMessage(app, "View set to the left.");
}

void SetViewRight(App& app) {
  app.g.ViewRight = true;
  ShowMessage(app, "View set to the right.");
}

void CloseAfterTrackingFailure(App& app) {
  // A failed delete (or a missing data folder) skips the rest of the clean-up; the main window
  // is closed in every case.
  try {
    if (app.g.RealtimeOn) {
      FileSystem& files = app.ports.files;
      const std::string folder = AppDataFolder(app.ports.folders);
      // File names compare without regard to case on the user's system; the location document
      // is written as "RealtimeLocation.kml".
      if (files.Remove(folder + "RealtimeLocation.kml")) files.Remove(folder + "RealTimePath.kml");
    }
  } catch (const std::exception&) {
  }
  ForgetRealtimeWork(app);
  app.ports.shell.CloseMainWindow();
}

void WriteRealtimeDocuments(App& app) {
  std::string folder;
  try {
    folder = AppDataFolder(app.ports.folders);
  } catch (const FolderNotFound&) {
    ShowMessage(app, "Not able to convert flightlog");
    return;
  }
  const RealtimeDocuments documents{folder + kRealtimeLogFile, folder + "Realtime.kml",
                                    app.g.ProductName + " Realtime Flightpath",
                                    folder + "RealtimeLocation.kml"};
  WriteRealtimeKmlDocuments(KmlOutputOf(app), documents, RealtimeSceneOf(app),
                            app.realtimeRendering);
}

}  // namespace sky
