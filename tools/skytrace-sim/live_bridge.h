// The bridge from a running simulator to the program's link: it keeps the simulator's aircraft
// and traffic in the offsets, and it answers the program only while the simulator answers. A
// simulator that closes its connection, or is silent for a few seconds, closes the link, so that
// the program shows it as a lost interface module; the bridge then reconnects to the simulator
// by itself and opens the link again once the simulator reports an aircraft.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "skytrace-sim/live_aircraft.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::sim {

// A running simulator behind its network connection.
class LiveSimulator {
 public:
  virtual ~LiveSimulator() = default;
  // "FlightGear at 127.0.0.1:5401", for messages.
  virtual std::string Name() const = 0;
  // Connects (or subscribes); false, with the reason, when the simulator cannot be reached now.
  virtual bool Open(int64_t nowMs, std::string& error) = 0;
  // Ends the subscriptions and the connection; safe to call when closed.
  virtual void Close() = 0;
  // Sends what is due at nowMs and takes in what arrives within waitMs. False, with the reason,
  // when the connection broke or the simulator's answers cannot be trusted any more.
  virtual bool Pump(int64_t nowMs, int waitMs, std::string& error) = 0;
  // When the simulator last answered the own aircraft's request; -1 before the first answer
  // since Open.
  virtual int64_t LastAnswerMs() const = 0;
  virtual const LiveAircraft& Aircraft() const = 0;
  virtual LiveTraffic& Traffic() = 0;
};

// Switches the program's link on and off (the offset server).
struct LinkSwitch {
  std::function<bool(std::string& error)> start;
  std::function<void()> stop;
};

struct BridgeOptions {
  int lostAfterMs = 5000;    // silence that counts as a lost simulator
  int retryEveryMs = 2000;   // between attempts to reach the simulator
  int publishEveryMs = 200;  // how often the offsets are brought up to date
};

class LiveBridge {
 public:
  enum class Status { Reaching, Waiting, Serving };

  LiveBridge(
      LiveSimulator& simulator, SimulatorCore& core, LinkSwitch link, BridgeOptions options = {},
      std::function<void(const std::string&)> say = [](const std::string&) {});
  ~LiveBridge();
  LiveBridge(const LiveBridge&) = delete;
  LiveBridge& operator=(const LiveBridge&) = delete;

  // One pass at nowMs: (re)connects when due, exchanges with the simulator for up to waitMs,
  // brings the offsets up to date and opens or closes the link.
  void Step(int64_t nowMs, int waitMs);
  // Closes the link and ends the simulator's subscriptions.
  void Stop();
  Status State() const { return status_; }
  bool Connected() const { return open_; }

 private:
  void Lose(const std::string& why);
  // Says what failed, unless it was the last thing said to have failed.
  void Fail(const std::string& what);
  void Publish(int64_t nowMs);

  LiveSimulator& simulator_;
  SimulatorCore& core_;
  LinkSwitch link_;
  BridgeOptions options_;
  std::function<void(const std::string&)> say_;
  Status status_ = Status::Reaching;
  bool open_ = false;
  bool answered_ = false;  // the simulator has answered since it was reached
  bool linkOn_ = false;
  int64_t nowMs_ = 0;
  int64_t openedMs_ = 0;
  int64_t nextTryMs_ = INT64_MIN;
  int64_t nextPublishMs_ = INT64_MIN;
  std::string lastFailure_;
};

}  // namespace sky::sim
