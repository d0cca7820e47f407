// The X-Plane interface module (the XPUIPC plug-in): the first-run question that finds X-Plane's
// plug-ins folder, and keeping the plug-in there current with the maker's web server.
#pragma once

#include <string>

namespace sky {

struct App;

// XPUIPC is a Windows module: only on Windows is it installed. Elsewhere X-Plane reaches the
// program through skytrace-sim's bridge, the plug-ins folder is only recorded, and nothing is
// downloaded.
bool InstallsXpuipc(App& app);

// What the options dialog's X-Plane section says about this system ("" where the module is
// installed as the section's controls describe).
std::string XPlaneSectionNote(App& app);

// Asks a first-time user whether X-Plane will be used and, if so, for its plug-ins folder.
// `ForceYes` (the options dialog's Browse button) skips the question and asks for the folder.
// Saves the logging parameters after a change.
void CheckXPlane(App& app, bool ForceYes);

// Downloads the plug-in and its offsets file into the plug-ins folder when the server offers
// another version than the installed one. Saves the logging parameters after a change.
void CheckXPUIPCVersion(App& app);

// The display form of a version text: "V" and its first three "."-separated parts, each as the
// integer part of its leading number ("1.3.0.7" gives "V1.3.0"); a missing part counts as 0.
std::string XpuipcDisplayVersion(const std::string& version);

}  // namespace sky
