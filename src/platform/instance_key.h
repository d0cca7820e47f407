// The name that ties one running copy of the program to its data folder, for the one-copy rule:
// copies with other data folders run side by side.
#pragma once

#include <string>

namespace sky {

// A short, stable name for a data folder: 64-bit FNV-1a of its path, in 16 hexadecimal digits.
std::string DataFolderKey(const std::string& dataFolder);

}  // namespace sky
