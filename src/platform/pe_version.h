// The file version of a Windows executable, read from its version resource, on any platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ports.h"

namespace sky {

// Empty when the file is missing, is no PE image, or carries no version resource.
std::optional<FileVersion> ReadPeFileVersion(const std::string& path);
std::optional<FileVersion> ParsePeFileVersion(std::string_view image);

}  // namespace sky
