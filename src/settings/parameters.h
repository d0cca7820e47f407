// The logging parameters: every tunable value of the program, kept in "Offsets.txt" in the
// data folder as one "Key=value" line each (CR LF). A save replaces the file in one rename of a
// finished temporary file; a backup "OffsetsBackup.txt" that an interrupted save of an earlier
// version left behind holds the user's settings while "Offsets.txt" is missing or empty.
#pragma once

#include <string>

#include "core/parameters.h"

namespace sky {

struct App;

// Loads the file; a value that does not convert goes back to its default alone, and the sentence
// posted about it (or about a file that cannot be read) is returned, "" when all went well.
std::string LoadLoggingParameters(App& app);
void SaveLoggingParameters(App& app);

// The 29 lines the saver writes, each ended by CR LF.
std::string FormatLoggingParameters(const LoggingParameters& parameters);

}  // namespace sky
