// The in-process run: the program on the simulated clock, one tick per simulated second, against
// a simulator of its own served over the platform's real transport, showing the scenario's
// flight (until its last row, or --seconds) and the traffic around it.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "core/sim_transport.h"
#include "demo_actions.h"
#include "demo_options.h"
#include "demo_program.h"
#include "demo_runtime.h"
#include "skytrace-sim/scenario.h"
#include "skytrace-sim/sim_server.h"
#include "skytrace-sim/simulator_core.h"

namespace sky {

class InProcessRun {
 public:
  InProcessRun(const DemoOptions& options, DemoProgram& program, std::ostream& err)
      : options_(options), program_(program), err_(err) {}
  // Returns the process exit code (0 done, 1 the program could not run, 2 a refused file, 3 a
  // failure escaped a handler).
  int Run(std::vector<DemoAction> actions);

 private:
  const DemoOptions& options_;
  DemoProgram& program_;
  std::ostream& err_;
  sim::SimulatorCore simulator_;
  sim::Scenario scenario_{simulator_};
  DemoRuntimeFolder runtime_;
  std::unique_ptr<sim::SimServer> server_;  // stops before the runtime folder goes
  std::unique_ptr<SimTransport> transport_;
};

}  // namespace sky
