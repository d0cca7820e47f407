#include "demo_in_process.h"

#include <cmath>

namespace sky {

int InProcessRun::Run(std::vector<DemoAction> actions) {
  std::string error;
  if (!scenario_.LoadFlight(options_.trackFile, error)) {
    err_ << "skytrace-demo: " << error << "\n";
    return 2;
  }
  if (!runtime_.Make(options_.cleanUpOnSignals)) {
    err_ << "skytrace-demo: cannot make a runtime folder\n";
    return 1;
  }
  server_ = sim::MakeSimServer(simulator_, {runtime_.Path(), "UIPCMAIN"});
  if (!server_->Start()) {
    err_ << "skytrace-demo: " << server_->Error() << "\n";
    return 1;
  }
  transport_ = sim::MakeSimTransport(runtime_.Path());
  if (!scenario_.LoadTraffic(options_.trafficFile, error)) {
    err_ << "skytrace-demo: " << error << "\n";
    return 2;
  }
  // Second s of the run shows the flight at t = s, and the traffic around it.
  scenario_.AdvanceTo(0);

  program_.Make(program_.SimulatedTime(), *transport_);
  if (!program_.Start(std::move(actions))) return 1;
  const int lastSecond = options_.seconds >= 0
                             ? options_.seconds
                             : static_cast<int>(std::ceil(scenario_.Flight().EndTime()));
  for (int second = 0;; ++second) {
    if (second > 0) {
      scenario_.AdvanceTo(second);
      program_.SimulatedTime().Advance(1000);
      program_.RunTimers(second);
    }
    if (program_.Act(second, second >= lastSecond)) break;
  }
  return program_.PrintSummary();
}

}  // namespace sky
