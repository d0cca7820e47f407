// The logging parameters: every tunable value of the program, kept in "Offsets.txt" in the
// data folder as one "Key=value" line each (CR LF). A save replaces the file in one rename of a
// finished temporary file; a backup "OffsetsBackup.txt" that an interrupted save of an earlier
// version left behind holds the user's settings while "Offsets.txt" is missing or empty.
#pragma once

#include <string>
#include <string_view>

#include "core/logging_parameters.h"
#include "core/messages.h"
#include "core/ports.h"

namespace sky {

// What the settings file's two operations use of the program: the files, the folders (the file
// is in the data folder), the message board, and the program's title that their sentences name.
struct SettingsFile {
  FileSystem& files;
  Folders& folders;
  MessageBoard& board;
  std::string appTitle;
};

// Loads the file into `parameters` (fields 24 to 29 keep what they hold when the file cannot be
// read). Numbers are read in the user's number format (`separator`) or with ".". A value that
// does not convert goes back to its default alone, and the sentence posted about it (or about a
// file that cannot be read) is returned, "" when all went well.
std::string LoadLoggingParameters(const SettingsFile& file, std::string_view separator,
                                  LoggingParameters& parameters);
// Saves the parameters; a failure posts its sentence and leaves the file as it was.
void SaveLoggingParameters(const SettingsFile& file, const LoggingParameters& parameters);

// The 29 lines the saver writes, each ended by CR LF.
std::string FormatLoggingParameters(const LoggingParameters& parameters);

}  // namespace sky
