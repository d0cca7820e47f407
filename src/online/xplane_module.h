// The X-Plane interface module (the XPUIPC plug-in): the first-run question that finds X-Plane's
// plug-ins folder, and keeping the plug-in there current with the maker's web server.
#pragma once

#include <string>

#include "core/logging_parameters.h"
#include "core/ports.h"
#include "online/online.h"
#include "settings/offsets_file.h"

namespace sky {

// XPUIPC is a Windows module: only on Windows is it installed. Elsewhere X-Plane reaches the
// program through skytrace-sim's bridge, the plug-ins folder is only recorded, and nothing is
// downloaded.
bool InstallsXpuipc(SystemInfo& system);

// What the options dialog's X-Plane section says about this system ("" where the module is
// installed as the section's controls describe).
std::string XPlaneSectionNote(SystemInfo& system);

// What the installer uses of the program: the server, the dialogs, the files, the system (which
// decides whether the module is installed), the program's folder (where the file dialog starts)
// and the settings file it saves after a change.
struct XPlaneInstaller {
  const WebServer& server;
  Dialogs& dialogs;
  FileSystem& files;
  SystemInfo& system;
  std::string programFolder;
  const SettingsFile& settings;
};

// Asks a first-time user whether X-Plane will be used and, if so, for its plug-ins folder.
// `ForceYes` (the options dialog's Browse button) skips the question and asks for the folder.
// Saves the logging parameters after a change.
void CheckXPlane(const XPlaneInstaller& installer, LoggingParameters& p, bool ForceYes);

// Downloads the plug-in and its offsets file into the plug-ins folder when the server offers
// another version than the installed one. Saves the logging parameters after a change.
void CheckXPUIPCVersion(const XPlaneInstaller& installer, LoggingParameters& p);

// The display form of a version text: "V" and its first three "."-separated parts, each as the
// integer part of its leading number ("1.3.0.7" gives "V1.3.0"); a missing part counts as 0.
std::string XpuipcDisplayVersion(const std::string& version);

}  // namespace sky
