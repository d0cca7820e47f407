#include "online/updates.h"

#include <cmath>
#include <utility>
#include <vector>

#include "core/app.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "online/downloads.h"
#include "online/online.h"

namespace sky {
namespace {

constexpr char kTitle[] = "Skytrace flightlogger";

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (size_t found; (found = text.find(separator, at)) != std::string::npos;
       at = found + separator.size()) {
    parts.push_back(text.substr(at, found - at));
  }
  parts.push_back(text.substr(at));
  return parts;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size()) {
    text.replace(at, what.size(), with);
  }
}

// Downloads the updater named by the version file's "Updater=" line ("Updater=" URL "=" target)
// and writes it to the target, whose "<app>" stands for the program's folder and "<user>" for
// the data folder. Only an updater program in the program's folder is written (UpdaterTarget);
// any other target, and any failure, skips the refresh silently.
void RefreshUpdater(App& app, const std::string& line, const std::string& programFolder,
                    const std::string& dataFolder) {
  const std::vector<std::string> parts = Split(line, "=");
  if (parts.size() < 3) return;
  std::string path = parts[2];
  ReplaceAll(path, "<app>", programFolder);
  if (path.find("<user>") != std::string::npos && dataFolder.empty()) return;
  ReplaceAll(path, "<user>", dataFolder);
  const auto target = DownloadTarget(app, path, {programFolder});
  if (!target || !UpdaterTarget(*target, programFolder, dataFolder)) return;
  const auto bytes = app.ports.http.FetchBytes(parts[1]);
  if (!bytes) return;
  WriteDownload(app, *target,
                std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

}  // namespace

VersionFile ParseVersionFile(const std::string& text) {
  VersionFile file;
  const std::pair<const char*, double*> numbers[] = {
      {"MinVer=", &file.MinVer}, {"MajVer=", &file.MajVer}, {"UpdateVer=", &file.UpdateVer}};
  const std::pair<const char*, std::string*> texts[] = {
      {"MessageAll=", &file.MessageAll},
      {"MessageNotUpdate=", &file.MessageNotUpdate},
      {"MessageUpdateOn=", &file.MessageUpdateOn},
      {"MessageMinUpdate=", &file.MessageMinUpdate},
      {"MessageMajUpdate=", &file.MessageMajUpdate},
      {"MessageUAll=", &file.MessageUAll},
      {"MessageUNotUpdate=", &file.MessageUNotUpdate},
      {"MessageUUpdateOn=", &file.MessageUUpdateOn},
      {"MessageUMinUpdate=", &file.MessageUMinUpdate},
      {"MessageUMajUpdate=", &file.MessageUMajUpdate},
  };
  bool updaterFound = false;
  for (const std::string& line : Split(text, "\r\n")) {
    const std::string value = line.substr(line.find('=') + 1);
    for (const auto& [key, number] : numbers) {
      if (line.rfind(key, 0) != 0) continue;
      const auto parsed = ParseNumber(value, ".");
      if (parsed && std::isfinite(*parsed)) *number = *parsed;
    }
    for (const auto& [key, message] : texts) {
      if (line.rfind(key, 0) == 0) *message = value;
    }
    if (!updaterFound && line.find("Updater=") != std::string::npos) {
      file.updaterLine = line;
      updaterFound = true;
    }
  }
  return file;
}

std::string GeneralAnnouncement(const VersionFile& file, bool update, bool minUpdate) {
  if (!file.MessageAll.empty()) return file.MessageAll;
  if (!update) return file.MessageNotUpdate;
  if (!file.MessageUpdateOn.empty()) return file.MessageUpdateOn;
  return minUpdate ? file.MessageMinUpdate : file.MessageMajUpdate;
}

std::string UpdateAnnouncement(const VersionFile& file, bool update, bool minUpdate) {
  if (!file.MessageUAll.empty()) return file.MessageUAll;
  if (!update) return file.MessageUNotUpdate;
  if (!file.MessageUUpdateOn.empty()) return file.MessageUUpdateOn;
  return minUpdate ? file.MessageUMinUpdate : file.MessageUMajUpdate;
}

UpdateResult CheckForUpdates(App& app) {
  const std::string programFolder = ProgramFolder(app);
  std::string dataFolder;
  try {
    dataFolder = AppDataFolder(app);
  } catch (const FolderNotFound&) {
    // "<user>" then names no folder, and a target holding it is skipped.
  }
  const LoggingParameters& options = app.params;
  const VersionFile file =
      ParseVersionFile(FetchServerText(app, "/SkytraceVersion.txt").value_or(""));

  const std::string news = GeneralAnnouncement(file, options.Update, options.MinUpdate);
  if (!news.empty()) ShowMessageBox(app, news);

  const std::string updater = programFolder + "Updater.exe";
  if (file.UpdateVer > FileVersionNumber(app, updater)) {
    RefreshUpdater(app, file.updaterLine, programFolder, dataFolder);
  }

  const double threshold = options.MinUpdate ? file.MinVer : file.MajVer;
  if (!(threshold > ProgramVersionNumber())) return UpdateResult::Continue;

  const std::string announcement = UpdateAnnouncement(file, options.Update, options.MinUpdate);
  if (!announcement.empty()) ShowMessageBox(app, announcement);
  if (!options.Update) return UpdateResult::Continue;

  const std::string missing =
      "The updater could not be found, please re-install the Skytrace flightlogger.";
  if (!app.ports.files.ReadHead(updater, 0)) {
    app.ports.dialogs.MessageBox(kTitle, missing, MessageButtons::Ok);
    return UpdateResult::Continue;
  }
  if (!app.ports.shell.Open(updater)) {
    app.ports.dialogs.MessageBox(kTitle, missing + "\r\n\r\nThe updater is " + updater + ".",
                                 MessageButtons::Ok);
  }
  return UpdateResult::ProgramEnds;
}

}  // namespace sky
