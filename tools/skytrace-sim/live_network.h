// The network side of the live sources: FlightGear's telnet interface over TCP and X-Plane's
// dataref subscriptions over UDP, on POSIX sockets. (The Windows build has no live sources.)
#pragma once

#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "skytrace-sim/flightgear_source.h"
#include "skytrace-sim/live_bridge.h"
#include "skytrace-sim/xplane_source.h"

namespace sky::sim {

struct HostPort {
  std::string host = "127.0.0.1";
  uint16_t port = 0;
};

// "HOST:PORT", "PORT", or, where there is a default port (not 0), "HOST" or nothing at all;
// an IPv6 host goes in brackets ("[::1]:5401"). Empty optional when the text is none of these.
std::optional<HostPort> ParseHostPort(std::string_view text, uint16_t defaultPort);

#ifndef _WIN32

class FlightGearLink final : public LiveSimulator {
 public:
  explicit FlightGearLink(HostPort address, FlightGearTiming timing = {},
                          int connectTimeoutMs = 2000);
  ~FlightGearLink() override;
  FlightGearLink(const FlightGearLink&) = delete;
  FlightGearLink& operator=(const FlightGearLink&) = delete;

  std::string Name() const override;
  bool Open(int64_t nowMs, std::string& error) override;
  void Close() override;
  bool Pump(int64_t nowMs, int waitMs, std::string& error) override;
  int64_t LastAnswerMs() const override { return session_.LastAnswerMs(); }
  const LiveAircraft& Aircraft() const override { return session_.Aircraft(); }
  LiveTraffic& Traffic() override { return session_.Traffic(); }

 private:
  HostPort address_;
  FlightGearSession session_;
  int connectTimeoutMs_;
  int fd_ = -1;
  std::string outgoing_;
};

class XPlaneLink final : public LiveSimulator {
 public:
  explicit XPlaneLink(HostPort address);
  ~XPlaneLink() override;
  XPlaneLink(const XPlaneLink&) = delete;
  XPlaneLink& operator=(const XPlaneLink&) = delete;

  std::string Name() const override;
  bool Open(int64_t nowMs, std::string& error) override;
  void Close() override;
  bool Pump(int64_t nowMs, int waitMs, std::string& error) override;
  int64_t LastAnswerMs() const override { return session_.LastAnswerMs(); }
  const LiveAircraft& Aircraft() const override { return session_.Aircraft(); }
  LiveTraffic& Traffic() override { return session_.Traffic(); }

 private:
  HostPort address_;
  XPlaneSession session_;
  int fd_ = -1;
};

// Runs the bridge until `stop` is set, saying what happens on standard output; then closes the
// link and ends the simulator's subscriptions.
void RunLiveBridge(LiveSimulator& simulator, SimulatorCore& core, LinkSwitch link,
                   const volatile std::sig_atomic_t& stop);

#endif  // _WIN32

}  // namespace sky::sim
