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

// A saved copy's temporary file: "Flightlog <name> dd-mm-yyyy hh.mm.kml.tmp", or the same with
// ".txt.tmp".
bool SavedCopyTemporaryName(const std::string& name) {
  constexpr std::string_view kPrefix = "Flightlog ";
  // " dd-mm-yyyy hh.mm" then ".kml.tmp" or ".txt.tmp": '#' stands for a digit.
  constexpr std::string_view kStamp = " ##-##-#### ##.##";
  constexpr size_t kSuffix = 8;
  if (name.size() < kPrefix.size() + kStamp.size() + kSuffix || !name.starts_with(kPrefix)) {
    return false;
  }
  const std::string_view suffix = std::string_view(name).substr(name.size() - kSuffix);
  if (suffix != ".kml.tmp" && suffix != ".txt.tmp") return false;
  const std::string_view stamp =
      std::string_view(name).substr(name.size() - kSuffix - kStamp.size(), kStamp.size());
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
                "Skytrace Realtime.kml.tmp", "Offsets.txt.tmp"});
  if (!folders.savedTracks.empty()) {
    for (const std::string& name : files.List(folders.savedTracks)) {
      if (SavedCopyTemporaryName(name)) files.Remove(folders.savedTracks + name);
    }
  }
  RemoveListed(files, folders.program, {"Updater.exe.tmp"});
  RemoveListed(files, folders.plugins, {"XPUIPC.xpl.tmp", "XPUIPCOffsets.cfg.tmp"});
}

}  // namespace sky
