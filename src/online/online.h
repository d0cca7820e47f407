// The maker's web server: the reachability probe and the once-per-run usage report. The server's
// base address is set at build time; without one, the probe fails and nothing is sent.
#pragma once

#include <string>

namespace sky {

struct App;

// The server base address this program was built with ("" when none).
std::string ServerBase();

// True only when "/Bulletin.txt" answers exactly "1".
bool CheckOnline(App& app);

void SendUsageReport(App& app);

// The Windows version's short name.
std::string getOSV(App& app);

}  // namespace sky
