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
      openedMs_ = nowMs;
      status_ = Status::Waiting;
      lastFailure_.clear();
      say_("connected to " + simulator_.Name() + "; waiting for its aircraft");
    } else if (error != lastFailure_) {
      // Said once, not at every attempt.
      lastFailure_ = error;
      say_("cannot reach " + simulator_.Name() + ": " + error + "; trying again every " +
           std::to_string(options_.retryEveryMs / 1000) + " s");
    }
  }
  if (open_) {
    std::string error;
    if (!simulator_.Pump(nowMs, waitMs, error)) {
      Lose(error);
    } else if (nowMs - std::max(simulator_.LastAnswerMs(), openedMs_) > options_.lostAfterMs) {
      Lose("silent for " + std::to_string(options_.lostAfterMs / 1000) + " s");
    }
  }
  if (nowMs >= nextPublishMs_) {
    nextPublishMs_ = nowMs + options_.publishEveryMs;
    Publish(nowMs);
  }
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
  } else if (error != lastFailure_) {
    lastFailure_ = error;
    say_("cannot open the program's link: " + error);
  }
}

void LiveBridge::Lose(const std::string& why) {
  simulator_.Close();
  open_ = false;
  status_ = Status::Reaching;
  lastFailure_.clear();
  nextTryMs_ = nowMs_ + options_.retryEveryMs;
  if (linkOn_) {
    link_.stop();
    linkOn_ = false;
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
