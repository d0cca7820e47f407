#include "commands/convert.h"

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "commands/realtime_link.h"
#include "core/app.h"
#include "core/messages.h"
#include "kml/writer.h"
#include "realtime/animation_kml.h"
#include "recorder/recording_state.h"

namespace sky {
namespace {

// "dd-mm-yyyy hh.mm" of the local time.
std::string Stamp(const LocalDateTime& now) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d.%02d", now.day, now.month, now.year,
                now.hour, now.minute);
  return text;
}

void Require(bool done) {
  if (!done) throw std::runtime_error("file operation failed");
}

}  // namespace

void ConvertFlightLog(App& app) {
  FileSystem& files = app.ports.files;
  try {
    const std::string saved = SavedTracksFolder(app);
    files.CreateDirectories(saved);  // a failure shows when the copies are made
    const auto name = app.ports.dialogs.InputBox(
        "The log will be saved to the saved tracks folder too, please supply the name. Leave "
        "blank for only the date and time.",
        "File name", "");
    if (!name) return;  // cancelled: nothing is done
    const std::string baseName = "Flightlog " + *name + " " + Stamp(app.ports.clock.LocalNow());

    const std::string data = AppDataFolder(app);
    const std::string log = data + "Flightlog.txt";
    const std::string document = data + "Flightlog.kml";
    Require(files.Append(log, ""));
    ShowMessage(app, "Converting flightlog...");
    app.ports.windows.Redraw(WindowId::Form1);

    // A failed conversion has posted its own message; the copies are made all the same.
    const bool converted =
        WriteKmlDocument(app, log, document, baseName, false, "",
                         [&app](TextSink& out) { return BuildAnimation(app, out); });
    if (app.params.Debuging) Require(files.Copy(log, saved + baseName + ".txt"));
    Require(files.Copy(document, saved + baseName + ".kml"));

    Globals& g = app.g;
    g.LoggingOn = false;
    g.AnimationOn = false;
    UpdateStatusLabels(app, false, false, false);
    g.RealtimeOn = false;
    EnableViewButtons(app, false);
    ClearPreviousValues(app);

    if (converted) {
      ShowMessage(app, "Tracklog converted and saved, opening Google Earth...");
      OpenOrNameIt(app, saved + baseName + ".kml");
    }
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to save tracklog, try again with FS and GE off.");
  }
}

void OpenSavedTracksFolder(App& app) {
  try {
    const std::string folder = SavedTracksFolder(app);
    const bool opened = app.ports.shell.Open(folder);
    ShowMessage(app, "Saves tracks folder opened.");
    if (!opened) ShowNotOpened(app, folder);
  } catch (const FolderNotFound&) {
    // No documents folder: there is nothing to open.
  }
}

}  // namespace sky
