#include "commands/convert.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string_view>

#include "commands/realtime_link.h"
#include "commands/review.h"
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

// The typed name as it can stand in a file name: NUL and the other control characters, and the
// characters the file system refuses, become "-". The document inside keeps the name as typed.
std::string FileNamePart(std::string name) {
#ifdef _WIN32
  constexpr std::string_view kRefused = "\\/:*?\"<>|";
#else
  constexpr std::string_view kRefused = "/";
#endif
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || kRefused.find(c) != std::string_view::npos) c = '-';
  }
  return name;
}

// Copies into place through a temporary file, so that a full disk or a kill never leaves a
// fragment: on failure the temporary file goes and what was there before stays.
void CopyIntoPlace(FileSystem& files, const std::string& from, const std::string& to) {
  const std::string temporary = to + ".tmp";
  if (!files.Copy(from, temporary) || !files.Rename(temporary, to)) {
    files.Remove(temporary);
    throw std::runtime_error("cannot copy into " + to);
  }
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
    const std::string stamp = Stamp(app.ports.clock.LocalNow());
    const std::string baseName = "Flightlog " + *name + " " + stamp;
    const std::string savedName = "Flightlog " + FileNamePart(*name) + " " + stamp;

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
    if (app.params.Debuging) CopyIntoPlace(files, log, saved + savedName + ".txt");
    CopyIntoPlace(files, document, saved + savedName + ".kml");
    if (converted) WriteReviewAndExports(app, saved, FileNamePart(*name), stamp, *name);

    Globals& g = app.g;
    g.LoggingOn = false;
    g.AnimationOn = false;
    UpdateStatusLabels(app, false, false, false);
    g.RealtimeOn = false;
    EnableViewButtons(app, false);
    ClearPreviousValues(app);
    ForgetRealtimeWork(app);

    if (converted) {
      ShowMessage(app, "Tracklog converted and saved, opening Google Earth...");
      OpenOrNameIt(app, saved + savedName + ".kml");
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
