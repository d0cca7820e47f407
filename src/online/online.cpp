#include "online/online.h"

#include <cstdio>

#ifndef SKYTRACE_SERVER_BASE
#define SKYTRACE_SERVER_BASE ""
#endif
#ifndef SKYTRACE_VERSION_MAJOR
#define SKYTRACE_VERSION_MAJOR 0
#define SKYTRACE_VERSION_MINOR 0
#define SKYTRACE_VERSION_REVISION 0
#endif

namespace sky {

std::string BuiltInServerBase() {
  return SKYTRACE_SERVER_BASE;
}

std::optional<std::string> WebServer::FetchText(const std::string& path) const {
  if (base.empty()) return std::nullopt;
  return http.FetchText(base + path);
}

std::optional<std::vector<uint8_t>> WebServer::FetchBytes(const std::string& path) const {
  if (base.empty()) return std::nullopt;
  return http.FetchBytes(base + path);
}

std::string ProgramVersionText() {
  return std::to_string(SKYTRACE_VERSION_MAJOR) + "." + std::to_string(SKYTRACE_VERSION_MINOR) +
         "." + std::to_string(SKYTRACE_VERSION_REVISION);
}

double ProgramVersionNumber() {
  return SKYTRACE_VERSION_MAJOR * 10000.0 + SKYTRACE_VERSION_MINOR * 100.0 +
         SKYTRACE_VERSION_REVISION;
}

bool CheckOnline(const WebServer& server) {
  const auto answer = server.FetchText("/Bulletin.txt");
  return answer && *answer == "1";
}

std::string getOSV(SystemInfo& system) {
  const auto os = system.OperatingSystem();
  if (!os) return "Unknown:Error";
  if (os->platform == 1) {
    switch (os->minor) {
      case 0:
        return "95";
      case 10:
        return "98";
      case 90:
        return "Millennium";
      default:
        return "";
    }
  }
  if (os->platform == 2) {
    switch (os->major) {
      case 3:
        return "NT 3.51";
      case 4:
        return "NT 4.0";
      case 5:
        return os->minor == 0 ? "2000" : "XP";
      case 6:
        return os->minor == 0 ? "Vista" : "Windows 7";
      default:
        return "";
    }
  }
  return os->otherName.empty() ? "Unknown" : os->otherName;
}

std::string UsageReportQuery(const UsageReport& report) {
  const LocalDateTime& now = report.now;
  char when[40];
  std::snprintf(when, sizeof when, "%02d-%02d-%04d %02d:%02d", now.day, now.month, now.year,
                now.hour, now.minute);
  return "/Submit.asp?App=Kestrel&User=" + report.user + "&TimeDate=" + when +
         "&Version=" + ProgramVersionText() + "&OS=" + report.system + "&Extra=" + report.simulator;
}

void SendUsageReport(const WebServer& server, const UsageReport& report) {
  server.FetchText(UsageReportQuery(report));
}

}  // namespace sky
