#include "online/online.h"

#include <cstdio>

#include "core/app.h"
#include "core/messages.h"
#include "simlink/identity.h"

#ifndef SKYTRACE_SERVER_BASE
#define SKYTRACE_SERVER_BASE ""
#endif
#ifndef SKYTRACE_VERSION
#define SKYTRACE_VERSION "0.0.0"
#endif

namespace sky {

std::string ServerBase() {
  return SKYTRACE_SERVER_BASE;
}

bool CheckOnline(App& app) {
  if (ServerBase().empty()) return false;
  const auto answer = app.ports.http.FetchText(ServerBase() + "/Bulletin.txt");
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
  return "Unknown";
}

void SendUsageReport(App& app) {
  if (ServerBase().empty()) return;
  const LocalDateTime now = app.ports.clock.LocalNow();
  char when[32];
  std::snprintf(when, sizeof when, "%02d-%02d-%04d %02d:%02d", now.day, now.month, now.year,
                now.hour, now.minute);
  const std::string url = ServerBase() + "/Submit.asp?App=Kestrel&User=" + CurrentUserName(app) +
                          "&TimeDate=" + when + "&Version=" + SKYTRACE_VERSION +
                          "&OS=" + getOSV(app) + "&Extra=" + GetSimulatorName(app);
  app.ports.http.FetchText(url);
}

}  // namespace sky
