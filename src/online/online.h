// The maker's web server: its address, the reachability probe and the once-per-run usage report.
// The server's base address is set at build time; without one, the probe fails and nothing is
// ever fetched or sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"

namespace sky {

// The server base address this program was built with; "" when there is none.
std::string BuiltInServerBase();

// The maker's web server as the online services reach it: its base address ("" for none) and the
// HTTP client.
struct WebServer {
  Http& http;
  std::string base;

  // A file of the server ("/Bulletin.txt"), as text or as bytes; empty optional when no server
  // is set or the fetch fails.
  std::optional<std::string> FetchText(const std::string& path) const;
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string& path) const;
};

// The program's own version: "major.minor.revision", and major * 10000 + minor * 100 + revision.
std::string ProgramVersionText();
double ProgramVersionNumber();

// True only when "/Bulletin.txt" answers exactly "1".
bool CheckOnline(const WebServer& server);

// The values of the usage report.
struct UsageReport {
  std::string user;       // the log-on name, "" when the system cannot tell
  LocalDateTime now;      // the local date and time
  std::string system;     // getOSV
  std::string simulator;  // the connected simulator's name, "Not connected" without one
};
// "/Submit.asp?App=Kestrel&User=...&TimeDate=dd-mm-yyyy hh:mm&Version=...&OS=...&Extra=...": no
// part is escaped (the HTTP adapter encodes only what a request line cannot carry).
std::string UsageReportQuery(const UsageReport& report);
// One request with the report's query; the answer is ignored.
void SendUsageReport(const WebServer& server, const UsageReport& report);

// The Windows version's short name; elsewhere the system's own short name ("Linux").
std::string getOSV(SystemInfo& system);

}  // namespace sky
