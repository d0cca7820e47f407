// The demo's command line: what to run, where to write, and how.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace sky {

struct DemoOptions {
  int seconds = -1;  // -1: until the flight's last row
  std::string dataDir = "demo-output/data";
  std::string docsDir = "demo-output/documents";
  std::string start = "2026-12-05 10:00:00";
  std::string decimalSeparator;  // empty: the locale's
  std::string actionsFile;       // empty: start logging at once and stop it at the end
  std::string trackFile;         // empty: the built-in flight
  std::string programFolder;     // empty: the executable's folder
  std::string trafficFile;       // empty: the built-in traffic
  // Where to write how long each second's timers and each action took (empty: nowhere): a line
  // "SECOND WHAT CPU_US WALL_US" each, WHAT being "timers" or the action in two words
  // ("click Form1.btn_Convert", "answer yes"),
  // CPU_US the CPU time of the program's thread and WALL_US the time on the wall clock, in
  // microseconds.
  std::string timingsFile;

  // The maker's web server (empty: the one built in, if any) and the log-on user name (none: the
  // system's).
  std::string server;
  std::optional<std::string> user;
  // A terminating signal removes the runtime folder and the request area before the process
  // ends (the program sets it; a test running the demo in its own process does not).
  bool cleanUpOnSignals = false;
  // The real clock and the real link to a running skytrace-sim instead of the simulated clock
  // and the in-process simulator; seconds are real seconds, and without --seconds the run lasts
  // until it is interrupted.
  bool live = false;
  bool help = false;  // --help: the usage is printed and nothing runs
};

// The command line's form.
extern const char kDemoUsage[];

// Parses the command line; prints usage to `err` and returns false on bad arguments.
bool ParseDemoOptions(int argc, char** argv, DemoOptions& options, std::ostream& err);

}  // namespace sky
