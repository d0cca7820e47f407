// The headless run of the whole program: the real core on a simulated clock, one tick per
// simulated second, against an in-process simulator over the real transport, with scripted
// user actions. It prints a transcript: every message-board line, dialog, shell request and
// connection change, each line beginning with the simulated second.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"

namespace sky {

struct App;

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

// One scripted user action.
struct DemoAction {
  int second = 0;
  int line = 0;
  std::string verb;    // click, type, answer, close
  std::string window;  // for click, type, close
  std::string control;
  std::string argument;  // answer kind, or the text
};

// Parses an actions file; on error returns an empty optional and sets `error` to
// "line N: reason".
std::optional<std::vector<DemoAction>> ParseDemoActions(const std::string& text,
                                                        std::string& error);

// Parses the command line; prints usage to `err` and returns false on bad arguments.
bool ParseDemoOptions(int argc, char** argv, DemoOptions& options, std::ostream& err);

class DemoRunner {
 public:
  DemoRunner(DemoOptions options, std::ostream& out, std::ostream& err);
  ~DemoRunner();
  // Runs the whole demo; returns the process exit code (0 done, 1 the program could not run,
  // 2 bad options or actions).
  int Run();

  App* app();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sky
