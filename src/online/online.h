// The maker's web server: its address, the reachability probe and the once-per-run usage report.
// The server's base address is set at build time; without one, the probe fails and nothing is
// ever fetched or sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sky {

struct App;

// The server base address in force: the run's own (App::serverBase) or the one this program was
// built with; "" when there is none.
std::string ServerBase(const App& app);

// A file of the server ("/Bulletin.txt"), as text or as bytes; empty optional when no server is
// set or the fetch fails.
std::optional<std::string> FetchServerText(App& app, const std::string& path);
std::optional<std::vector<uint8_t>> FetchServerBytes(App& app, const std::string& path);

// The program's own version: "major.minor.revision", and major * 10000 + minor * 100 + revision.
std::string ProgramVersionText();
double ProgramVersionNumber();

// True only when "/Bulletin.txt" answers exactly "1".
bool CheckOnline(App& app);

// One request to "/Submit.asp" with the user name, the local date and time, the program's
// version, the system's name and the simulator's name; the answer is ignored.
void SendUsageReport(App& app);

// The Windows version's short name; elsewhere the system's own short name ("Linux").
std::string getOSV(App& app);

}  // namespace sky
