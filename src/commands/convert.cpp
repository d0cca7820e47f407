#include "commands/convert.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string_view>

#include "commands/app.h"
#include "commands/logging.h"
#include "commands/realtime_link.h"
#include "commands/review.h"
#include "commands/temporary_files.h"
#include "core/log_format.h"
#include "core/system.h"
#include "kml/writer.h"
#include "replay/animation_kml.h"

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

// The file systems the program meets hold at most 255 bytes in a file name; Windows paths at
// most 259 characters (UTF-8 bytes are never fewer than the UTF-16 characters Windows counts).
constexpr size_t kMaxFileNameBytes = 255;
constexpr size_t kMaxWindowsPathBytes = 259;

// The typed name as it can stand in a file name: NUL and the other control characters, and the
// characters the file system refuses, become "-"; a name too long for a file name in `folder`
// (with `otherBytes` of that name taken by the rest) is cut after its last whole UTF-8 character
// that fits. The document inside keeps the name as typed.
std::string FileNamePart(std::string name, size_t otherBytes, [[maybe_unused]] size_t folderBytes) {
#ifdef _WIN32
  constexpr std::string_view kRefused = "\\/:*?\"<>|";
#else
  constexpr std::string_view kRefused = "/";
#endif
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || kRefused.find(c) != std::string_view::npos) c = '-';
  }
  size_t limit = kMaxFileNameBytes;
#ifdef _WIN32
  limit = std::min(limit, kMaxWindowsPathBytes - std::min(folderBytes, kMaxWindowsPathBytes));
#endif
  const size_t room = limit - std::min(limit, otherBytes);
  if (name.size() > room) {
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

// Why a conversion saved nothing, for the sentence that says so.
std::string WhyNotConverted(FileSystem& files, const std::string& log) {
  const auto head = files.ReadHead(log, 1);
  if (!head)
    return "Not able to convert flightlog: Flightlog.txt could not be read, nothing was saved.";
  if (head->empty())
    return "Not able to convert flightlog: the flight log is empty, nothing was saved.";
  return "Not able to convert flightlog, nothing was saved.";
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
    const std::string saved = SavedTracksFolder(app.ports.folders);
    files.CreateDirectories(saved);  // a failure shows when the copies are made
    const auto name = app.ports.dialogs.InputBox(
        "The log will be saved to the saved tracks folder too, please supply the name. Leave "
        "blank for only the date and time.",
        "File name", "");
    if (!name) return;  // cancelled: nothing is done
    const std::string stamp = Stamp(app.ports.clock.LocalNow());
    const std::string baseName = "Flightlog " + *name + " " + stamp;
    // The longest name the folder gets is an export's temporary file, "<name>.geojson.tmp"; the
    // saved copy, the review page and the exports share the name's part.
    const std::string namePart =
        FileNamePart(*name, (baseName.size() - name->size()) + 12, saved.size());
    const std::string savedName = "Flightlog " + namePart + " " + stamp;

    const std::string data = AppDataFolder(app.ports.folders);
    RemoveStaleTemporaryFiles(files, {data, saved, "", ""});
    const std::string log = data + kFlightLogFile;
    const std::string document = data + "Flightlog.kml";
    Require(files.Append(log, ""));
    ShowMessage(app, "Converting flightlog...");
    app.ports.windows.Redraw(WindowId::Form1);

    // A failed conversion has posted its own message and left "Flightlog.kml" as the previous
    // flight had it: nothing is saved under this flight's name then.
    bool replayBuilt = true;
    const bool converted = WriteKmlDocument(
        KmlOutputOf(app), log, document, baseName, [&app, &replayBuilt, &data](TextSink& out) {
          return replayBuilt = BuildAnimation(ReplayInputsOf(app, data), out, app.lastAnimation);
        });
    std::string reviewProblem;
    if (converted) {
      if (app.params.Debuging) CopyIntoPlace(files, log, saved + savedName + ".txt");
      CopyIntoPlace(files, document, saved + savedName + ".kml");
      reviewProblem = WriteReviewAndExports(app, saved, namePart, stamp, *name);
    }

    Globals& g = app.g;
    g.LoggingOn = false;
    g.AnimationOn = false;
    ShowNotRecording(app);
    g.RealtimeOn = false;
    EnableViewButtons(app, false);
    ClearPreviousValues(app.prev, app.recorder);
    ForgetRealtimeWork(app);

    if (!converted) {
      ShowMessage(app, WhyNotConverted(files, log));
      return;
    }
    // The document is saved without the replay when that could not be built; the user reads so
    // instead of the plain success sentence.
    ShowMessage(app, replayBuilt ? "Tracklog converted and saved, opening Google Earth..."
                                 : "Tracklog converted and saved without its animation, opening "
                                   "Google Earth...");
    OpenOrNameIt(app.ports.shell, app.board, saved + savedName + ".kml");
    if (!reviewProblem.empty()) ShowMessage(app, reviewProblem);  // last, where it stays readable
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to save tracklog, try again with FS and GE off.");
  }
}

void OpenSavedTracksFolder(App& app) {
  try {
    const std::string folder = SavedTracksFolder(app.ports.folders);
    const bool opened = app.ports.shell.Open(folder);
    ShowMessage(app, "Saves tracks folder opened.");
    if (!opened) ShowNotOpened(app.board, folder);
  } catch (const FolderNotFound&) {
    // No documents folder: there is nothing to open.
  }
}

}  // namespace sky
