#include "skytrace-sim/live_bridge.h"

#include <algorithm>

namespace sky::sim {

LiveBridge::LiveBridge(LiveSimulator& simulator, SimulatorCore& core, LinkSwitch link,
                       BridgeOptions options, std::function<void(const std::string&)> say)
    : simulator_(simulator),
      core_(core),
      link_(std::move(link)),
      options_(options),
      say_(std::move(say)) {}

LiveBridge::~LiveBridge() {
  Stop();
}

void LiveBridge::Step(int64_t nowMs, int waitMs) {
  nowMs_ = nowMs;
  if (!open_ && nowMs >= nextTryMs_) {
    nextTryMs_ = nowMs + options_.retryEveryMs;
    std::string error;
    if (simulator_.Open(nowMs, error)) {
      open_ = true;
      answered_ = false;
      openedMs_ = nowMs;
      status_ = Status::Waiting;
      // While the simulator keeps failing, attempts are not told one by one.
      if (lastFailure_.empty()) say_("connected to " + simulator_.Name() + "; waiting for it");
    } else {
      Fail("cannot reach " + simulator_.Name() + ": " + error);
    }
  }
  if (open_) {
    std::string error;
    if (!simulator_.Pump(nowMs, waitMs, error)) {
      Lose(error);
    } else if (nowMs - std::max(simulator_.LastAnswerMs(), openedMs_) > options_.lostAfterMs) {
      Lose("silent for " + std::to_string(options_.lostAfterMs / 1000) + " s");
    } else if (!answered_ && simulator_.LastAnswerMs() >= 0) {
      answered_ = true;
      lastFailure_.clear();
    }
  }
  if (nowMs >= nextPublishMs_) {
    nextPublishMs_ = nowMs + options_.publishEveryMs;
    Publish(nowMs);
  }
}

void LiveBridge::Fail(const std::string& what) {
  if (what == lastFailure_) return;  // said once, not at every attempt
  lastFailure_ = what;
  say_(what + "; trying again every " + std::to_string(options_.retryEveryMs / 1000) + " s");
}

void LiveBridge::Publish(int64_t nowMs) {
  if (!open_ || simulator_.LastAnswerMs() < 0 || !simulator_.Aircraft().Ready()) return;
  const FlightState state = simulator_.Aircraft().State(nowMs);
  WriteFlightState(core_, state);
  WriteTrafficArea(core_, simulator_.Traffic().Slots(state.latitudeDeg, state.longitudeDeg, nowMs));
  if (linkOn_) return;
  std::string error;
  if (link_.start(error)) {
    linkOn_ = true;
    status_ = Status::Serving;
    say_(simulator_.Name() + " reports its aircraft; the program's link is open");
  } else {
    Fail("cannot open the program's link: " + error);
  }
}

void LiveBridge::Lose(const std::string& why) {
  simulator_.Close();
  open_ = false;
  status_ = Status::Reaching;
  nextTryMs_ = nowMs_ + options_.retryEveryMs;
  if (linkOn_) {
    link_.stop();
    linkOn_ = false;
  }
  if (!answered_) {
    Fail("no answer from " + simulator_.Name() + " (" + why + ")");
    return;
  }
  say_("lost " + simulator_.Name() + " (" + why +
       "); the program's link is closed until it is back");
}

void LiveBridge::Stop() {
  if (linkOn_) link_.stop();
  linkOn_ = false;
  if (open_) simulator_.Close();
  open_ = false;
  status_ = Status::Reaching;
}

}  // namespace sky::sim
