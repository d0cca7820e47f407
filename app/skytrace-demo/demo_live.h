// The live run: the program on the real clock, against the running skytrace-sim over the real
// link, until --seconds or an interrupt.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "core/ports.h"
#include "core/sim_transport.h"
#include "demo_actions.h"
#include "demo_options.h"
#include "demo_program.h"

namespace sky {

class LiveRun {
 public:
  LiveRun(const DemoOptions& options, DemoProgram& program, std::ostream& err)
      : options_(options), program_(program), err_(err) {}
  // Returns the process exit code (0 done, 1 the program could not run, 2 bad options, 3 a
  // failure escaped a handler).
  int Run(std::vector<DemoAction> actions);

 private:
  const DemoOptions& options_;
  DemoProgram& program_;
  std::ostream& err_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<SimTransport> transport_;
};

}  // namespace sky
