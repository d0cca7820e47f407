// Where a downloaded file may be written. Targets come from the network (the version file's
// updater line) or from a typed setting (the plug-ins folder), so each is checked first: it must
// lie inside one of the allowed folders, both as written and with every link along it followed.
// Relative paths, a ".." that climbs out, another drive, a UNC share, an alternate data stream
// and a link that points out are refused, and then nothing is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sky {

class FileSystem;

// The target in its plain form ("." and ".." applied, the platform's separators) when it lies
// strictly inside one of `folders`; empty optional when it is refused.
std::optional<std::string> DownloadTarget(FileSystem& files, const std::string& path,
                                          const std::vector<std::string>& folders);

// Whether a target that DownloadTarget let through may receive the updater: a plain program
// file name ("<name>.exe", no other dot, no device name) directly in the program's folder or in a
// folder of its own inside it, outside the data folder (when there is one), and none of the
// program's own executables. Logs, settings, snippets and the program itself are thus never
// replaced from the network.
bool UpdaterTarget(const std::string& target, const std::string& programFolder,
                   const std::string& dataFolder);

// Writes downloaded bytes to "<path>.tmp" and renames that into place once it is whole: on any
// failure the temporary file goes, the file at `path` stays as it was, and the answer is false.
bool WriteDownload(FileSystem& files, const std::string& path, std::string_view bytes);

}  // namespace sky
