#include "online/downloads.h"

#include "core/ports.h"
#include "core/system.h"

namespace sky {
namespace {

#ifdef _WIN32
constexpr bool kWindowsPaths = true;
#else
constexpr bool kWindowsPaths = false;
#endif

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// An absolute path as its root ("/" or "C:\") and its names, "." dropped and ".." applied.
struct PlainPath {
  std::string root;
  std::vector<std::string> names;
};

// Empty optional for a path that is not absolute, is a UNC share, climbs above its root, or holds
// control characters; on Windows also for a drive-relative path, a ":" after the drive (an
// alternate data stream), and a name ending in a dot or a blank (which Windows would drop).
std::optional<PlainPath> Plain(const std::string& path) {
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return std::nullopt;
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return std::nullopt;
  PlainPath plain;
  size_t at = 0;
  if (kWindowsPaths) {
    const bool drive = path.size() >= 3 && Upper(path[0]) >= 'A' && Upper(path[0]) <= 'Z' &&
                       path[1] == ':' && IsSeparator(path[2]);
    if (!drive) return std::nullopt;
    plain.root = std::string(1, Upper(path[0])) + ":\\";
    at = 3;
    if (path.find(':', at) != std::string::npos) return std::nullopt;
  } else {
    if (path.empty() || path[0] != '/') return std::nullopt;
    plain.root = "/";
    at = 1;
  }
  while (at <= path.size()) {
    size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string name = path.substr(at, end - at);
    at = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (plain.names.empty()) return std::nullopt;
      plain.names.pop_back();
      continue;
    }
    if (kWindowsPaths && (name.back() == '.' || name.back() == ' ')) return std::nullopt;
    plain.names.push_back(name);
  }
  return plain;
}

bool SameName(const std::string& a, const std::string& b) {
  if (!kWindowsPaths) return a == b;
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// `inner` lies strictly inside `folder`.
bool Inside(const PlainPath& inner, const PlainPath& folder) {
  if (!SameName(inner.root, folder.root) || inner.names.size() <= folder.names.size()) {
    return false;
  }
  for (size_t i = 0; i < folder.names.size(); ++i) {
    if (!SameName(inner.names[i], folder.names[i])) return false;
  }
  return true;
}

std::string Joined(const PlainPath& plain) {
  std::string text = plain.root;
  for (size_t i = 0; i < plain.names.size(); ++i) {
    if (i > 0) text += kPathSeparator;
    text += plain.names[i];
  }
  return text;
}

// Both inside as written and inside with the links followed.
bool InsideFolder(FileSystem& files, const PlainPath& target, const std::string& folder) {
  const auto plainFolder = Plain(folder);
  if (!plainFolder || !Inside(target, *plainFolder)) return false;
  const auto realTarget = files.RealPath(Joined(target));
  const auto realFolder = files.RealPath(Joined(*plainFolder));
  if (!realTarget || !realFolder) return false;
  const auto plainRealTarget = Plain(*realTarget);
  const auto plainRealFolder = Plain(*realFolder);
  return plainRealTarget && plainRealFolder && Inside(*plainRealTarget, *plainRealFolder);
}

// The program's own executables, which an updater download never replaces.
constexpr const char* kOwnPrograms[] = {"skytrace.exe", "skytrace-sim.exe", "skytrace-demo.exe",
                                        "skytrace-export.exe", "skytrace-render.exe"};
// Names Windows keeps for devices, whatever extension follows.
constexpr const char* kDeviceNames[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// A program's plain file name: "<stem>.exe", a stem without dots that names no device.
bool ProgramFileName(const std::string& name) {
  constexpr std::string_view kExtension = ".exe";
  if (name.size() <= kExtension.size() ||
      !SameNameIgnoringCase(std::string_view(name).substr(name.size() - kExtension.size()),
                            kExtension)) {
    return false;
  }
  const std::string_view stem(name.data(), name.size() - kExtension.size());
  if (stem.find('.') != std::string_view::npos) return false;
  for (const char* device : kDeviceNames) {
    if (SameNameIgnoringCase(stem, device)) return false;
  }
  for (const char* own : kOwnPrograms) {
    if (SameNameIgnoringCase(name, own)) return false;
  }
  return true;
}

}  // namespace

bool UpdaterTarget(const std::string& target, const std::string& programFolder,
                   const std::string& dataFolder) {
  const auto plainTarget = Plain(target);
  const auto plainProgram = Plain(programFolder);
  if (!plainTarget || !plainProgram || !Inside(*plainTarget, *plainProgram)) return false;
  if (!dataFolder.empty()) {
    const auto plainData = Plain(dataFolder);
    if (!plainData || Inside(*plainTarget, *plainData)) return false;
  }
  const size_t depth = plainTarget->names.size() - plainProgram->names.size();
  return (depth == 1 || depth == 2) && ProgramFileName(plainTarget->names.back());
}

std::optional<std::string> DownloadTarget(FileSystem& files, const std::string& path,
                                          const std::vector<std::string>& folders) {
  const auto target = Plain(path);
  if (!target) return std::nullopt;
  for (const std::string& folder : folders) {
    if (InsideFolder(files, *target, folder)) return Joined(*target);
  }
  return std::nullopt;
}

bool WriteDownload(FileSystem& files, const std::string& path, std::string_view bytes) {
  return WriteIntoPlace(files, path, bytes);
}

}  // namespace sky
