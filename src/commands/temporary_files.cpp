#include "commands/temporary_files.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "core/ports.h"

namespace sky {
namespace {

void RemoveListed(FileSystem& files, const std::string& folder,
                  std::initializer_list<std::string_view> names) {
  if (folder.empty()) return;
  for (const std::string& name : files.List(folder)) {
    if (std::find(names.begin(), names.end(), name) != names.end()) files.Remove(folder + name);
  }
}

// A converted flight's temporary file in the saved-tracks folder: "Flightlog <name> dd-mm-yyyy
// hh.mm" with ".kml.tmp" or ".txt.tmp" (the saved copies) or an export's extension and ".tmp",
// or "Review <name> dd-mm-yyyy hh.mm.html.tmp" (the review page).
bool SavedCopyTemporaryName(const std::string& name) {
  // " dd-mm-yyyy hh.mm" then the suffix: '#' stands for a digit.
  static constexpr std::string_view kStamp = " ##-##-#### ##.##";
  struct Kind {
    std::string_view prefix, suffix;
  };
  constexpr Kind kKinds[] = {{"Flightlog ", ".kml.tmp"},     {"Flightlog ", ".txt.tmp"},
                             {"Flightlog ", ".gpx.tmp"},     {"Flightlog ", ".igc.tmp"},
                             {"Flightlog ", ".geojson.tmp"}, {"Flightlog ", ".csv.tmp"},
                             {"Review ", ".html.tmp"}};
  const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds), [&name](const Kind& k) {
    return name.size() >= k.prefix.size() + kStamp.size() + k.suffix.size() &&
           name.starts_with(k.prefix) && name.ends_with(k.suffix);
  });
  if (kind == std::end(kKinds)) return false;
  const std::string_view stamp = std::string_view(name).substr(
      name.size() - kind->suffix.size() - kStamp.size(), kStamp.size());
  for (size_t i = 0; i < kStamp.size(); ++i) {
    const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
    if (kStamp[i] == '#' ? !digit : stamp[i] != kStamp[i]) return false;
  }
  return true;
}

}  // namespace

void RemoveStaleTemporaryFiles(FileSystem& files, const TemporaryFileFolders& folders) {
  RemoveListed(files, folders.data,
               {"Flightlog.kml.tmp", "Realtime.kml.tmp", "RealtimeLocation.kml.tmp",
                "Skytrace Realtime.kml.tmp", "Offsets.txt.tmp", "Review.txt.tmp"});
  if (!folders.savedTracks.empty()) {
    for (const std::string& name : files.List(folders.savedTracks)) {
      if (SavedCopyTemporaryName(name)) files.Remove(folders.savedTracks + name);
    }
  }
  RemoveListed(files, folders.program, {"Updater.exe.tmp"});
  RemoveListed(files, folders.plugins, {"XPUIPC.xpl.tmp", "XPUIPCOffsets.cfg.tmp"});
}

}  // namespace sky
