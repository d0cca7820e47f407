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

struct App;

// The target in its plain form ("." and ".." applied, the platform's separators) when it lies
// strictly inside one of `folders`; empty optional when it is refused.
std::optional<std::string> DownloadTarget(App& app, const std::string& path,
                                          const std::vector<std::string>& folders);

// Writes downloaded bytes as a new file: the file is created (opened for appending and closed),
// deleted, then written whole. False when any step fails.
bool WriteDownload(App& app, const std::string& path, std::string_view bytes);

}  // namespace sky
