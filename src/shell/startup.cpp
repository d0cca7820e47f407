#include "shell/startup.h"

#include "commands/app.h"
#include "commands/logging.h"
#include "commands/main_window.h"
#include "commands/realtime_link.h"
#include "commands/review.h"
#include "commands/temporary_files.h"
#include "core/numtext.h"
#include "core/system.h"
#include "core/timestamp.h"
#include "kml/templates.h"
#include "online/online.h"
#include "online/updates.h"
#include "online/xplane_module.h"
#include "recorder/flightlog.h"
#include "recorder/log_file.h"
#include "settings/offsets_file.h"
#include "shell/tick.h"

namespace sky {
namespace {

void Fail(App& app, const std::string& title, const std::string& text) {
  app.ports.dialogs.MessageBox(title, text, MessageButtons::Ok);
  app.ended = true;
  app.ports.shell.EndProgram();
}

// Where an earlier run, killed between a write and its rename, may have left temporary files.
TemporaryFileFolders StaleFileFolders(App& app, const std::string& dataFolder) {
  TemporaryFileFolders folders{dataFolder, "", ProgramFolder(app.ports.folders), ""};
  try {
    folders.savedTracks = SavedTracksFolder(app.ports.folders);
  } catch (const FolderNotFound&) {
    // No documents folder: no saved copies either.
  }
  if (app.params.XPlane) folders.plugins = app.params.XPlanePath;
  return folders;
}

}  // namespace

bool StartOnlyCopy(SingleInstance& instance, Dialogs& dialogs) {
  if (instance.Claim()) return true;
  const std::string running = "The Skytrace flightlogger is already running";
  dialogs.MessageBox("Skytrace flightlogger",
                     instance.AskRunningCopyToFront()
                         ? running + "."
                         : running + ": look for it on the task bar or in the notification area.",
                     MessageButtons::Ok);
  return false;
}

bool Form_Load(App& app) {
  Globals& g = app.g;
  RestartTimer(app.ports.clock, app.Form1.Timer1);
  RestartTimer(app.ports.clock, app.Form1.Timer2);

  g.AppTitle = "Skytrace flightlogger";
  g.ProductName = "Skytrace";
  const WebServer server = ServerOf(app);
  g.UpdateCheckWanted = CheckOnline(server);
  g.UsageReportPending = true;
  g.FirstMinimise = true;
  app.Form1.caption = g.AppTitle;
  g.TcasRange = 20;
  g.TcasMode = 0;
  app.Form1.Label9.text = FormatDigits(GetUtcTime(app.ports.clock), "00:00") + "z";
  ShowNotRecording(app);
  g.ChaseView = true;
  g.ViewRight = false;
  g.LoggingOn = false;

  std::string dataFolder;
  try {
    dataFolder = AppDataFolder(app.ports.folders);
  } catch (const FolderNotFound& error) {
    Fail(app, g.AppTitle, error.what());
    return false;
  }
  g.FlightLogPath = dataFolder + kFlightLogFile;
  FileSystem& files = app.ports.files;
  if (!files.CreateDirectories(dataFolder)) {
    Fail(app, g.AppTitle, "Unable to create the folder " + dataFolder);
    return false;
  }
  files.Append(dataFolder + kOffsetsFile, "");
  const SettingsFile settings = SettingsOf(app);
  // Posted again after the greeting, which would hide it.
  const std::string settingsProblem =
      LoadLoggingParameters(settings, g.DecimalSeparator, app.params);
  RemoveStaleTemporaryFiles(files, StaleFileFolders(app, dataFolder));
  const XPlaneInstaller installer = XPlaneInstallerOf(app, server, settings);
  CheckXPlane(installer, app.params, false);
  CheckXPUIPCVersion(installer, app.params);
  SaveLoggingParameters(settings, app.params);
  LoadLoggingParameters(settings, g.DecimalSeparator, app.params);
  if (!LoadKmlTemplates(files, app.ports.folders, app.ports.dialogs, app.board, g.AppTitle,
                        app.kml)) {
    app.ended = true;
    app.ports.shell.EndProgram();
    return false;
  }
  if (!app.params.ForceNoWinXP && !InitVisualStyles(app)) return false;
  files.Append(g.FlightLogPath, "");
  LoadReviewSettings(app);

  const std::string twoAndAHalf = app.ports.system.LocaleNumberText(5.0 / 2);
  if (twoAndAHalf.find(',') != std::string::npos) {
    g.DecimalIsComma = true;
    g.DecimalSeparator = ",";
  }
  if (twoAndAHalf.find('.') != std::string::npos) {
    g.DecimalIsComma = false;
    g.DecimalSeparator = ".";
  }

  ForgetRealtimeWork(app);  // the logs and the number format as this run finds them
  if (!IsLogRecent(files, app.ports.clock, g.FlightLogPath)) ResetLog(app, true);
  ShowMessage(app,
              g.AppTitle + ", made by simmers for simmers. Have fun using the " + g.AppTitle + "!");
  if (!settingsProblem.empty()) ShowMessage(app, settingsProblem);
  g.RealtimeOn = false;
  EnableViewButtons(app, false);
  app.Form1.visible = true;
  // Shown now: the update check may keep the program busy for seconds with a slow server.
  app.ports.windows.Redraw(WindowId::Form1);
  if (g.UpdateCheckWanted &&
      CheckForUpdates(UpdateCheckOf(app, server, dataFolder)) == UpdateResult::ProgramEnds) {
    app.ended = true;
    app.ports.shell.EndProgram();
    return false;
  }
  Timer1_Timer(app);
  return !app.ended;
}

void Form_Unload(App& app) {
  app.Form1.trayIcon = false;
  app.Form1.closed = true;
  app.ended = true;
}

}  // namespace sky
