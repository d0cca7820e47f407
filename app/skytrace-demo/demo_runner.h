// The headless run of the whole program: the real core on a simulated clock, one tick per
// simulated second, against an in-process simulator over the real transport, with scripted
// user actions. It prints a transcript: every message-board line, dialog, shell request and
// connection change, each line beginning with the simulated second.
#pragma once

#include <iosfwd>
#include <memory>

#include "demo_actions.h"
#include "demo_options.h"

namespace sky {

struct App;

class DemoRunner {
 public:
  DemoRunner(DemoOptions options, std::ostream& out, std::ostream& err);
  ~DemoRunner();
  // Runs the whole demo; returns the process exit code (0 done, 1 the program could not run,
  // 2 bad options or actions, 3 a failure escaped a handler).
  int Run();

  App* app();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sky
