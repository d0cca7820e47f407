// The update check at start-up: the server's version file with the newest version numbers and
// the announcements, the refresh of the separate updater program, and the start of the updater
// when the user installs updates automatically and a newer version exists.
#pragma once

#include <string>

#include "core/ports.h"
#include "online/online.h"

namespace sky {

// The version file "/SkytraceVersion.txt": one "Key=value" line each, lines ended by CR LF.
// Values not read stay empty or zero.
struct VersionFile {
  double MinVer = 0;     // newest version, minor updates included (major * 10000 + minor * 100
  double MajVer = 0;     // + revision); newest major version
  double UpdateVer = 0;  // newest version of the updater program
  std::string MessageAll;
  std::string MessageNotUpdate;
  std::string MessageUpdateOn;
  std::string MessageMinUpdate;
  std::string MessageMajUpdate;
  std::string MessageUAll;  // the "MessageU" texts are for users for whom an update exists
  std::string MessageUNotUpdate;
  std::string MessageUUpdateOn;
  std::string MessageUMinUpdate;
  std::string MessageUMajUpdate;
  std::string updaterLine;  // the first line holding "Updater=" anywhere, "" when none
};

// A line matches a key that it begins with; its value is the text after the line's first "=". A
// later line overwrites an earlier one; a version value that is not a number is skipped.
VersionFile ParseVersionFile(const std::string& text);

// The announcement for everybody, and the one for users for whom an update exists, that the
// update options select; "" when none applies.
std::string GeneralAnnouncement(const VersionFile& file, bool update, bool minUpdate);
std::string UpdateAnnouncement(const VersionFile& file, bool update, bool minUpdate);

enum class UpdateResult {
  Continue,     // the program runs on
  ProgramEnds,  // the updater was started (or could not be): the caller ends the program
};

// What the update check uses of the program.
struct UpdateCheck {
  const WebServer& server;
  FileSystem& files;
  Dialogs& dialogs;
  Shell& shell;
  SystemInfo& system;
  std::string programFolder;  // ends with its separator
  std::string dataFolder;     // ends with its separator; "" when the system cannot tell it
  bool Update = true;         // install updates automatically
  bool MinUpdate = true;      // minor updates too
};

// Reads the version file, shows the announcements that apply, refreshes "Updater.exe" when a
// newer one is offered, and starts it when an update exists and updates are automatic. Fetch
// and parse failures are silent; a missing updater is reported in a box and the program runs on.
// An updater that is there but cannot be started is reported with its path, and the program
// ends all the same, as it would have for the update.
UpdateResult CheckForUpdates(const UpdateCheck& check);

}  // namespace sky
