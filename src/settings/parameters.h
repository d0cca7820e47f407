// The logging parameters: every tunable value of the program, kept in "Offsets.txt" in the
// data folder as one "Key=value" line each (CR LF), and a backup "OffsetsBackup.txt" that exists
// only while a save runs or after a save failed.
#pragma once

#include <string>

#include "core/parameters.h"

namespace sky {

struct App;

void LoadLoggingParameters(App& app);
void SaveLoggingParameters(App& app);

// The 29 lines the saver writes, each ended by CR LF.
std::string FormatLoggingParameters(const LoggingParameters& parameters);

}  // namespace sky
