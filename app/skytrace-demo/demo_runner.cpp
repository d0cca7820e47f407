#include "demo_runner.h"

#include <ostream>

#include "demo_in_process.h"
#include "demo_live.h"
#include "demo_program.h"

namespace sky {

struct DemoRunner::Impl {
  Impl(DemoOptions o, std::ostream& out, std::ostream& errors)
      : options(std::move(o)), err(errors), program(options, out) {}

  DemoOptions options;
  std::ostream& err;
  // The runs hold the link the program uses, and so go after it.
  std::unique_ptr<InProcessRun> inProcess;
  std::unique_ptr<LiveRun> live;
  DemoProgram program;
};

DemoRunner::DemoRunner(DemoOptions options, std::ostream& out, std::ostream& err)
    : impl_(std::make_unique<Impl>(std::move(options), out, err)) {}

DemoRunner::~DemoRunner() = default;

App* DemoRunner::app() {
  return impl_->program.app();
}

int DemoRunner::Run() {
  Impl& d = *impl_;
  LocalDateTime start;
  if (!ParseLocalDateTime(d.options.start, start)) {
    d.err << "skytrace-demo: --start needs \"YYYY-MM-DD HH:MM:SS\"\n";
    return 2;
  }
  d.program.SimulatedTime() = SimulatedClock(start);
  if (!d.options.timingsFile.empty() && !d.program.OpenTimings(d.options.timingsFile)) {
    d.err << "skytrace-demo: cannot write " << d.options.timingsFile << "\n";
    return 2;
  }
  std::vector<DemoAction> actions;
  if (!d.options.actionsFile.empty()) {
    std::string error;
    auto read = ReadDemoActions(d.options.actionsFile, error);
    if (!read) {
      d.err << "skytrace-demo: " << error << "\n";
      return 2;
    }
    actions = std::move(*read);
  }

  if (d.options.live) {
    d.live = std::make_unique<LiveRun>(d.options, d.program, d.err);
    return d.live->Run(std::move(actions));
  }
  d.inProcess = std::make_unique<InProcessRun>(d.options, d.program, d.err);
  return d.inProcess->Run(std::move(actions));
}

}  // namespace sky
