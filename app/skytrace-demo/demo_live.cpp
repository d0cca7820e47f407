#include "demo_live.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "commands/app.h"
#include "shell/dispatch.h"
#include "skytrace-sim/sim_server.h"
#ifdef _WIN32
#include "platform/win32_platform.h"
#else
#include "platform/posix_platform.h"
#endif

namespace sky {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
  stopRequested = 1;
}

}  // namespace

int LiveRun::Run(std::vector<DemoAction> actions) {
  if (!options_.trackFile.empty() || !options_.trafficFile.empty()) {
    err_ << "skytrace-demo: --live flies what skytrace-sim serves; --track and --traffic do not "
            "go with it\n";
    return 2;
  }
#ifdef _WIN32
  clock_ = std::make_unique<Win32Clock>();
#else
  clock_ = std::make_unique<PosixClock>();
#endif
  transport_ = sim::MakeSimTransport();
  program_.Make(*clock_, *transport_);
  stopRequested = 0;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  const int64_t startMs = clock_->MonotonicMs();
  if (!program_.Start(std::move(actions))) return 1;

  for (;;) {
    const int second = static_cast<int>((clock_->MonotonicMs() - startMs) / 1000);
    program_.RunTimers(second);
    if (program_.Act(second,
                     stopRequested || (options_.seconds >= 0 && second >= options_.seconds))) {
      break;
    }
    // Until the next timer or the next second, waking at least every 0.1 s for an interrupt.
    const int64_t wake =
        std::min(NextTimerDueMs(*program_.app()), startMs + (second + 1) * int64_t{1000});
    const int64_t waitMs = std::clamp<int64_t>(wake - clock_->MonotonicMs(), 1, 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  return program_.PrintSummary();
}

}  // namespace sky
