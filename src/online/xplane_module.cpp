#include "online/xplane_module.h"

#include <optional>
#include <vector>

#include "online/downloads.h"

namespace sky {
namespace {

constexpr char kTitle[] = "Skytrace flightlogger";

void ShowFailure(Dialogs& dialogs) {
  dialogs.MessageBox(kTitle,
                     "Was not able to download and/or install new version of the XPUIPC module.",
                     MessageButtons::Ok);
}

// A version text that the settings file keeps as it is: printable, without blanks, commas or
// quotes (the settings loader would cut or strip those), and short.
bool StorableVersion(const std::string& version) {
  if (version.size() > 64) return false;
  for (const char c : version) {
    if (c <= ' ' || c > '~' || c == ',' || c == '"') return false;
  }
  return true;
}

// The integer part of a text's leading number, as the display form shows it ("007" gives "7",
// "x" gives "0").
std::string LeadingInteger(const std::string& text) {
  size_t at = text.find_first_not_of(' ');
  if (at == std::string::npos) return "0";
  bool negative = false;
  if (text[at] == '-' || text[at] == '+') negative = text[at++] == '-';
  std::string digits;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    if (!digits.empty() || text[at] != '0') digits += text[at];
  }
  if (digits.empty()) return "0";
  return negative ? "-" + digits : digits;
}

std::string_view Bytes(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

std::string XpuipcDisplayVersion(const std::string& version) {
  std::string parts[3];
  size_t at = 0;
  for (std::string& part : parts) {
    if (at > version.size()) break;
    const size_t dot = version.find('.', at);
    part = version.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
    at = dot == std::string::npos ? version.size() + 1 : dot + 1;
  }
  return "V" + LeadingInteger(parts[0]) + "." + LeadingInteger(parts[1]) + "." +
         LeadingInteger(parts[2]);
}

void CheckXPlane(const XPlaneInstaller& installer, LoggingParameters& p, bool ForceYes) {
  Dialogs& dialogs = installer.dialogs;
  if (!ForceYes) {
    if (!p.XPUIPC.empty() || p.XPlane) return;
    const DialogAnswer answer = dialogs.MessageBox(
        "X-Plane?",
        "Thank you for downloading the Skytrace flightlogger!!\r\n\r\nAre you planning to use "
        "the Skytrace flightlogger with X-Plane (if you don't know what this means, click No)?",
        MessageButtons::YesNo);
    if (answer != DialogAnswer::Yes) {
      p.XPUIPC = "0";
      SaveLoggingParameters(installer.settings, p);
      return;
    }
  }
  dialogs.MessageBox(
      "Locate plugins folder...",
      InstallsXpuipc(installer.system)
          ? "You will now be asked to locate the X-Plane plugins folder, in this folder the "
            "essential XPUIPC module will be installed which allowes a connection between the "
            "Skytrace and X-Plane.\r\nThis folder is typically located at "
            "C:\\X-Plane\\Resources\\Plugins.\r\n\r\nTo locate the folder, open any file inside "
            "the folder."
          : "You will now be asked to locate the X-Plane plugins folder. " +
                XPlaneSectionNote(installer.system) +
                "\r\nThis folder is typically located at ~/X-Plane 12/Resources/plugins."
                "\r\n\r\nTo locate the folder, open any file inside the folder.",
      MessageButtons::Ok);
  const auto picked = dialogs.FileOpen("Locate the X-Plane plugins folder...", "Any file|*.*",
                                       installer.programFolder, "*.*");
  // A cancelled dialog changes nothing: a first-time user is asked again at the next start.
  if (!picked) return;
  p.XPlane = true;
  p.XPlanePath = picked->substr(0, picked->find_last_of("/\\") + 1);
  dialogs.MessageBox(kTitle,
                     InstallsXpuipc(installer.system)
                         ? "Thank you, the Skytrace flightlogger will now download and install the "
                           "most up-to-date version of the XPUIPC module.\r\n\r\nFor more "
                           "information see the Manual."
                         : "Thank you, the X-Plane plugins folder is recorded.\r\n\r\nFor more "
                           "information see the Manual.",
                     MessageButtons::Ok);
  SaveLoggingParameters(installer.settings, p);
}

bool InstallsXpuipc(SystemInfo& system) {
  const auto os = system.OperatingSystem();
  return !os || os->platform == 1 || os->platform == 2;  // unknown: as the module's own system
}

std::string XPlaneSectionNote(SystemInfo& system) {
  if (InstallsXpuipc(system)) return "";
  return "This build records the folder but installs no XPUIPC module: on Linux, skytrace-sim "
         "--xplane connects X-Plane to the Skytrace.";
}

void CheckXPUIPCVersion(const XPlaneInstaller& installer, LoggingParameters& p) {
  const WebServer& server = installer.server;
  Dialogs& dialogs = installer.dialogs;
  if (p.XPlanePath.empty() || !p.XPlane || server.base.empty() ||
      !InstallsXpuipc(installer.system)) {
    return;
  }

  const auto reply = server.FetchText("/XPUIPCVersion.txt");
  if (!reply) return ShowFailure(dialogs);
  const std::string offered = reply->substr(0, reply->find_first_of("\r\n"));
  if (offered.empty()) return;
  if (!StorableVersion(offered)) return ShowFailure(dialogs);
  if (p.XPUIPC == offered) return;

  // With a version installed the offsets file is renewed as well; a first installation brings
  // the plug-in alone and leaves any offsets file where it is.
  const bool installed = !p.XPUIPC.empty();
  const std::string report = "Updated from " +
                             (installed ? XpuipcDisplayVersion(p.XPUIPC) : std::string("none")) +
                             " to " + XpuipcDisplayVersion(offered) + ".";
  const std::vector<std::string> folder{p.XPlanePath};
  FileSystem& files = installer.files;
  const auto pluginTarget = DownloadTarget(files, p.XPlanePath + "XPUIPC.xpl", folder);
  std::optional<std::string> offsetsTarget;
  if (installed) offsetsTarget = DownloadTarget(files, p.XPlanePath + "XPUIPCOffsets.cfg", folder);
  if (!pluginTarget || (installed && !offsetsTarget)) return ShowFailure(dialogs);

  const auto plugin = server.FetchBytes("/XPUIPC.txt");
  std::optional<std::vector<uint8_t>> offsets;
  if (installed) offsets = server.FetchBytes("/XPUIPCOffsets.txt");
  if (!plugin || (installed && !offsets)) return ShowFailure(dialogs);
  if (!WriteDownload(files, *pluginTarget, Bytes(*plugin)) ||
      (offsets && !WriteDownload(files, *offsetsTarget, Bytes(*offsets)))) {
    return ShowFailure(dialogs);
  }
  p.XPUIPC = offered;
  dialogs.MessageBox(kTitle, report + "\r\n\r\nXPUIPC module update was successful.",
                     MessageButtons::Ok);
  SaveLoggingParameters(installer.settings, p);
}

}  // namespace sky
