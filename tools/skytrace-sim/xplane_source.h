// X-Plane as a live flight source: its datarefs subscribed over UDP. A request is "RREF" and a
// NUL, the frequency per second (32-bit little-endian; 0 ends the subscription), an index of our
// choosing (32-bit little-endian) and the dataref's path NUL-padded to 400 bytes. X-Plane answers
// to the sender with a 5-byte header beginning "RREF", then pairs of a 32-bit little-endian index
// and a 32-bit float. This unit is the protocol only; the socket is in live_network.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "skytrace-sim/live_aircraft.h"

namespace sky::sim {

// One dataref of the own aircraft: its path, unit, the value it feeds, the factor from its unit
// to the value's, and how often X-Plane is asked to send it.
struct XPlaneDataref {
  const char* path;
  const char* unit;
  Feed feed;
  double scale;
  int perSecond;
};

// One dataref of a multiplayer or AI aircraft; "%d" in the path stands for its number.
struct XPlaneTargetDataref {
  const char* path;
  const char* unit;
  TargetField field;
  double scale;
  int perSecond;
};

inline constexpr int kXPlaneTargets = 19;  // aircraft 1 to 19 (0 is the user's own)
inline constexpr size_t kRrefRequestBytes = 413;
inline constexpr size_t kRrefPathBytes = 400;

std::span<const XPlaneDataref> XPlaneDatarefs();
std::span<const XPlaneTargetDataref> XPlaneTargetDatarefs();

// One subscription request; empty when the path does not fit (it needs its ending NUL).
std::string RrefRequest(int perSecond, int32_t index, std::string_view path);

class XPlaneSession {
 public:
  XPlaneSession();

  // The subscription requests, one per dataref (the own aircraft's, then each target's), each
  // with its position in this list as index; with `subscribe` false, the requests ending them.
  std::vector<std::string> Requests(bool subscribe) const;
  // One datagram. False when it is not an answer to these subscriptions: too short, another
  // header, or no index of ours (it is then ignored). Pairs with unknown indexes, values that
  // are not finite and a cut-off last pair are skipped.
  bool Received(std::span<const uint8_t> datagram, int64_t nowMs);
  // Forgets the traffic (X-Plane may have restarted with other aircraft).
  void Restart();
  // When the last answer came in; -1 before the first since Restart.
  int64_t LastAnswerMs() const { return lastAnswerMs_; }

  LiveAircraft& Aircraft() { return aircraft_; }
  const LiveAircraft& Aircraft() const { return aircraft_; }
  LiveTraffic& Traffic() { return traffic_; }
  size_t SubscriptionCount() const { return subscriptions_.size(); }

 private:
  struct Subscription {
    std::string path;
    int perSecond = 1;
    int own = -1;     // row of the own aircraft's table, or
    int target = -1;  // row of the targets' table, for
    int plane = 0;    // this aircraft
  };
  std::vector<Subscription> subscriptions_;
  std::vector<TargetReading> planes_;
  LiveAircraft aircraft_;
  LiveTraffic traffic_;
  int64_t lastAnswerMs_ = -1;
};

}  // namespace sky::sim
