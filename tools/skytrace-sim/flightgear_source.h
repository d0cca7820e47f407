// FlightGear as a live flight source: its property tree read through the telnet interface
// (FlightGear started with --telnet), in data mode, with pipelined gets. This unit is the
// protocol only, bytes in and bytes out, so that it runs against recorded replies; the socket
// around it is in live_network.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "skytrace-sim/live_aircraft.h"

namespace sky::sim {

// How a property's text reads.
enum class PropertyKind { Number, Flag, Text };

// One property of the own aircraft: where it is, its unit, the value it feeds and the factor
// from its unit to the value's. `fast` properties are read five times a second as well, for
// the blinking marker lamps and the moment of touchdown.
struct FlightGearProperty {
  const char* path;
  const char* unit;
  Feed feed;
  double scale;
  PropertyKind kind;
  bool fast;
};

// One property of an AI or multiplayer aircraft, below its node (/ai/models/aircraft[n]/...,
// /ai/models/multiplayer[n]/...).
struct FlightGearTargetProperty {
  const char* path;
  const char* unit;
  TargetField field;
  double scale;
  PropertyKind kind;
};

std::span<const FlightGearProperty> FlightGearProperties();
std::span<const FlightGearTargetProperty> FlightGearTargetProperties();

struct FlightGearTiming {
  int ownEveryMs = 1000;    // the own aircraft, in one request
  int fastEveryMs = 200;    // the fast properties
  int listEveryMs = 10000;  // the list of AI and multiplayer aircraft
  int targetsPerRead = 8;   // targets read along with each own-aircraft request
};

// One connection's exchange with FlightGear. Each request ends with a get of a property the
// session set to a token at the start, so that an answer that does not line up with its
// questions (a value holding a line break) is recognised and dropped, and the exchange finds
// its step again at the token.
class FlightGearSession {
 public:
  static constexpr std::string_view kSyncPath = "/sim/skytrace/sync";
  static constexpr std::string_view kSyncToken = "skytrace-sync";
  static constexpr size_t kMaxLine = 4096;
  static constexpr size_t kMaxTargets = 1000;

  explicit FlightGearSession(FlightGearTiming timing = {});

  // Starts over on a new connection (the traffic read so far is forgotten).
  void Restart(int64_t nowMs);
  // The requests due at nowMs, as bytes to send (empty when none is due). Lines end in CR LF.
  std::string Due(int64_t nowMs);
  // Bytes from FlightGear, in pieces of any size. False when they cannot be its answers (a line
  // too long, or an answer to nothing asked); the connection is then best dropped.
  bool Received(std::string_view bytes, int64_t nowMs);
  // When the last complete own-aircraft answer came in; -1 before the first on this connection.
  int64_t LastAnswerMs() const { return lastAnswerMs_; }

  LiveAircraft& Aircraft() { return aircraft_; }
  const LiveAircraft& Aircraft() const { return aircraft_; }
  LiveTraffic& Traffic() { return traffic_; }
  // The AI and multiplayer nodes of the last list, for instance "aircraft[3]".
  const std::vector<std::string>& TargetNames() const { return names_; }

 private:
  enum class BatchKind { Own, Fast, List, Targets };
  struct Batch {
    BatchKind kind;
    size_t expected = 0;  // value lines before the token
    std::vector<std::string> lines;
    std::vector<std::string> targets;  // for Targets: the node of each group of lines
    bool broken = false;
  };
  void Line(std::string_view line, int64_t nowMs);
  void Finish(Batch& batch, int64_t nowMs);
  std::string TargetRequest(Batch& batch, int64_t nowMs);

  FlightGearTiming timing_;
  LiveAircraft aircraft_;
  LiveTraffic traffic_;
  std::vector<std::string> names_;
  std::deque<Batch> pending_;
  std::string partial_;
  bool started_ = false;
  int64_t nextOwnMs_ = 0;
  int64_t nextFastMs_ = 0;
  int64_t nextListMs_ = 0;
  int64_t lastAnswerMs_ = -1;
};

}  // namespace sky::sim
