// What the bridges to running simulators share: the own aircraft and the traffic as a simulator
// reports them over the network. Every value is checked before it is kept (a reply from the
// network is untrusted input), and what a simulator does not give is derived from what it does.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/traffic_source.h"

namespace sky::sim {

// The values a simulator's table feeds, each in the unit of the flight state.
enum class Feed : int {
  LatitudeDeg,
  LongitudeDeg,
  AltitudeFt,           // the aircraft's reference point, above mean sea level
  GroundElevationFt,    // the ground below the aircraft, above mean sea level
  HeightAboveGroundFt,  // used for the ground elevation when the simulator gives none
  IndicatedAirspeedKt,
  TrueAirspeedKt,
  GroundSpeedKt,
  HeadingDeg,  // true
  VerticalSpeedFpm,
  OnGround,      // any wheel on the ground
  Gear,          // 0 up to 1 fully down
  FlapsPercent,  // the lever
  Spoilers,      // the lever: 0 retracted to 1 deployed
  TailHook,      // 0 up to 1 down
  Stall,         // above 0 while the warning sounds
  Overspeed,
  OverspeedLimitKt,  // the never-exceed speed, against the indicated airspeed
  OuterMarker,       // the lamps, lit above 0.5
  MiddleMarker,
  InnerMarker,
  LocalizerDeflection,   // -1 to 1 is full scale; positive: the course lies to the right
  GlideslopeDeflection,  // -1 to 1 is full scale; positive: the aircraft is above the path
  LocalizerSignal,       // the localizer is received
  GlideslopeSignal,      // the glideslope is received
  Autobrake,             // 0 RTO, 1 off, 2 to 4 the settings 1 to 3, 5 max
  Count
};
inline constexpr int kFeedCount = static_cast<int>(Feed::Count);

// One reading of some of the values. A value that is not a finite number is left out; several
// rows feeding one value make it together (the first of them, or any of them for the flags, all
// of them for the signals).
class LiveReading {
 public:
  void Add(Feed feed, double value);
  std::optional<double> Get(Feed feed) const { return values_[static_cast<int>(feed)]; }
  bool Empty() const;

 private:
  std::array<std::optional<double>, kFeedCount> values_{};
};

// How long a marker lamp seen lit stays lit: the lamps blink with their Morse code, and the
// program reads once a second.
inline constexpr int64_t kMarkerHoldMs = 1500;

// The own aircraft as the simulator reports it, a reading at a time.
class LiveAircraft {
 public:
  // Takes a reading made at nowMs: each value within its plausible range replaces the one kept;
  // a missing or wild value leaves the kept one as it was.
  void Take(const LiveReading& reading, int64_t nowMs);
  // Whether the position is known (a simulator that is still starting gives none).
  bool Ready() const;
  // The state to serve at nowMs, with what the simulator lacks derived:
  // - the touchdown vertical speed: the last vertical speed read in the air before the wheels
  //   touched (kept until the next touchdown);
  // - overspeed: the simulator's own warning, else the indicated airspeed above its limit;
  // - the stall warning in the air only;
  // - the marker lamps: lit when seen lit within kMarkerHoldMs;
  // - the needles: full scale is 127 (localizer) and 119 (glideslope), 0 without a signal;
  // - the ground elevation from the height above ground when the simulator gives none;
  // - autobrake off when the simulator has none.
  FlightState State(int64_t nowMs) const;

 private:
  double Value(Feed feed, double otherwise = 0) const;

  std::array<std::optional<double>, kFeedCount> kept_{};
  std::array<int64_t, 3> markerLitMs_{INT64_MIN / 2, INT64_MIN / 2, INT64_MIN / 2};
  double lastAirborneFpm_ = 0;
  double touchdownFpm_ = 0;
};

// What one read of a traffic target gives; each simulator fills what it has.
struct TargetReading {
  std::optional<double> latDeg;
  std::optional<double> lonDeg;
  std::optional<double> altFt;
  std::optional<double> headingDeg;
  std::optional<double> speedKt;  // ground speed, or the airspeed when that is all there is
  std::optional<double> eastKt;   // velocity components, for a ground speed made of them
  std::optional<double> northKt;
  std::optional<double> verticalFpm;
  std::optional<double> id;
  std::optional<bool> valid;
  std::optional<std::string> callsign;  // raw bytes as received
};

// What one value of a traffic target feeds.
enum class TargetField {
  Callsign,
  Valid,
  LatitudeDeg,
  LongitudeDeg,
  AltitudeFt,
  HeadingDeg,
  SpeedKt,
  EastKt,
  NorthKt,
  VerticalFpm,
  Id
};

// Sets a numeric field of the reading (the call sign is set as text).
void SetField(TargetReading& reading, TargetField field, double value);

// The call sign as a traffic slot takes it: UTF-8 of at most 15 characters, each one Latin-1
// holds (the traffic area stores one byte a character); control characters, undecodable bytes
// and characters beyond Latin-1 dropped.
std::string CleanCallsign(std::string_view raw);

// The surrounding aircraft, by the simulator's name for each. The traffic area gets the 40
// nearest to the own aircraft; a target keeps its slot while it stays among them.
class LiveTraffic {
 public:
  // Takes one read of a target at nowMs. A target without a plausible position, or reported not
  // valid, is left out of the traffic area until a read gives one.
  void Take(const std::string& key, const TargetReading& reading, int64_t nowMs);
  void Remove(const std::string& key);
  // Only these targets exist any more.
  void KeepOnly(const std::vector<std::string>& keys);
  void Clear();
  // When the target was last read; -1 when never.
  int64_t ReadMs(const std::string& key) const;
  // How far the target was at its last read; infinite when its position is not known.
  double DistanceNm(const std::string& key, double latDeg, double lonDeg) const;
  // Targets not read for staleMs are left out of the area.
  TrafficSlots Slots(double ownLatDeg, double ownLonDeg, int64_t nowMs, int64_t staleMs = 30000);
  size_t Size() const { return targets_.size(); }

 private:
  struct Target {
    TrafficAircraft aircraft;
    bool present = false;
    int64_t readMs = -1;
  };
  std::map<std::string, Target> targets_;
  std::array<std::string, kTrafficSlotCount> slotKeys_{};
};

// Rough distance in nautical miles, good enough to rank traffic by nearness.
double RoughDistanceNm(double latA, double lonA, double latB, double lonB);

}  // namespace sky::sim
