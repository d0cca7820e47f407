#include "online/updates.h"

#include <cmath>
#include <utility>
#include <vector>

#include "core/numtext.h"
#include "core/system.h"
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
void RefreshUpdater(const UpdateCheck& check, const std::string& line) {
  const std::string& programFolder = check.programFolder;
  const std::string& dataFolder = check.dataFolder;
  const std::vector<std::string> parts = Split(line, "=");
  if (parts.size() < 3) return;
  std::string path = parts[2];
  ReplaceAll(path, "<app>", programFolder);
  if (path.find("<user>") != std::string::npos && dataFolder.empty()) return;
  ReplaceAll(path, "<user>", dataFolder);
  const auto target = DownloadTarget(check.files, path, {programFolder});
  if (!target || !UpdaterTarget(*target, programFolder, dataFolder)) return;
  const auto bytes = check.server.http.FetchBytes(parts[1]);
  if (!bytes) return;
  WriteDownload(check.files, *target,
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

UpdateResult CheckForUpdates(const UpdateCheck& check) {
  const VersionFile file =
      ParseVersionFile(check.server.FetchText("/SkytraceVersion.txt").value_or(""));

  const std::string news = GeneralAnnouncement(file, check.Update, check.MinUpdate);
  if (!news.empty()) ShowMessageBox(check.dialogs, news);

  const std::string updater = check.programFolder + "Updater.exe";
  if (file.UpdateVer > FileVersionNumber(check.system, updater)) {
    RefreshUpdater(check, file.updaterLine);
  }

  const double threshold = check.MinUpdate ? file.MinVer : file.MajVer;
  if (!(threshold > ProgramVersionNumber())) return UpdateResult::Continue;

  const std::string announcement = UpdateAnnouncement(file, check.Update, check.MinUpdate);
  if (!announcement.empty()) ShowMessageBox(check.dialogs, announcement);
  if (!check.Update) return UpdateResult::Continue;

  const std::string missing =
      "The updater could not be found, please re-install the Skytrace flightlogger.";
  if (!check.files.ReadHead(updater, 0)) {
    check.dialogs.MessageBox(kTitle, missing, MessageButtons::Ok);
    return UpdateResult::Continue;
  }
  if (!check.shell.Open(updater)) {
    check.dialogs.MessageBox(kTitle, missing + "\r\n\r\nThe updater is " + updater + ".",
                             MessageButtons::Ok);
  }
  return UpdateResult::ProgramEnds;
}

}  // namespace sky
