#include "online/online.h"

#include <cstdio>

#include "core/app.h"
#include "core/messages.h"
#include "simlink/identity.h"

#ifndef SKYTRACE_SERVER_BASE
#define SKYTRACE_SERVER_BASE ""
#endif
#ifndef SKYTRACE_VERSION_MAJOR
#define SKYTRACE_VERSION_MAJOR 0
#define SKYTRACE_VERSION_MINOR 0
#define SKYTRACE_VERSION_REVISION 0
#endif

namespace sky {

std::string ServerBase(const App& app) {
  return app.serverBase.value_or(SKYTRACE_SERVER_BASE);
}

std::optional<std::string> FetchServerText(App& app, const std::string& path) {
  const std::string base = ServerBase(app);
  if (base.empty()) return std::nullopt;
  return app.ports.http.FetchText(base + path);
}

std::optional<std::vector<uint8_t>> FetchServerBytes(App& app, const std::string& path) {
  const std::string base = ServerBase(app);
  if (base.empty()) return std::nullopt;
  return app.ports.http.FetchBytes(base + path);
}

std::string ProgramVersionText() {
  return std::to_string(SKYTRACE_VERSION_MAJOR) + "." + std::to_string(SKYTRACE_VERSION_MINOR) +
         "." + std::to_string(SKYTRACE_VERSION_REVISION);
}

double ProgramVersionNumber() {
  return SKYTRACE_VERSION_MAJOR * 10000.0 + SKYTRACE_VERSION_MINOR * 100.0 +
         SKYTRACE_VERSION_REVISION;
}

bool CheckOnline(App& app) {
  const auto answer = FetchServerText(app, "/Bulletin.txt");
  return answer && *answer == "1";
}

std::string getOSV(App& app) {
  const auto os = app.ports.system.OperatingSystem();
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

void SendUsageReport(App& app) {
  if (ServerBase(app).empty()) return;
  const LocalDateTime now = app.ports.clock.LocalNow();
  char when[40];
  std::snprintf(when, sizeof when, "%02d-%02d-%04d %02d:%02d", now.day, now.month, now.year,
                now.hour, now.minute);
  // No part is escaped: the HTTP adapter encodes only what a request line cannot carry.
  const std::string query = "/Submit.asp?App=Kestrel&User=" + CurrentUserName(app) +
                            "&TimeDate=" + when + "&Version=" + ProgramVersionText() +
                            "&OS=" + getOSV(app) + "&Extra=" + GetSimulatorName(app);
  FetchServerText(app, query);
}

}  // namespace sky
