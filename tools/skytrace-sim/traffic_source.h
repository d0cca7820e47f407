// Traffic for the simulator side: the AI and multiplayer aircraft the simulator publishes in its
// traffic area (40 slots of 40 bytes from 0xF080). Two sources: a traffic file, and the
// built-in traffic that flies around the own aircraft's airport and along its route.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sky::sim {

class SimulatorCore;

inline constexpr int kTrafficSlotCount = 40;
inline constexpr uint32_t kTrafficAreaStart = 0xF080;
inline constexpr uint32_t kTrafficSlotBytes = 40;
inline constexpr int kCallsignCharacters = 15;  // one byte each in the traffic area

// One aircraft in a slot; id 0 is an empty slot.
struct TrafficAircraft {
  int32_t id = 0;
  double latDeg = 0;
  double lonDeg = 0;
  double altFt = 0;
  double headingDeg = 0;  // true, 0 to 360
  int groundSpeedKt = 0;
  int verticalSpeedFpm = 0;
  // UTF-8 text of at most 15 characters, all of them Latin-1 (the traffic area holds one byte a
  // character; a 15-character call sign has no ending zero byte).
  std::string callsign;
};

using TrafficSlots = std::array<TrafficAircraft, kTrafficSlotCount>;

// The own aircraft as the traffic sees it.
struct OwnState {
  double latDeg = 0;
  double lonDeg = 0;
  double altFt = 0;
  double headingDeg = 0;
};

// The own aircraft at simulated second t.
using OwnStateAt = std::function<OwnState(double t)>;

class TrafficSource {
 public:
  virtual ~TrafficSource() = default;
  // The slots at simulated second t (t never goes back).
  virtual void SlotsAt(double t, TrafficSlots& slots) = 0;
};

// A traffic file: CSV with the header "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign"
// (columns in any order; hdg is the true heading), one row per change; a row holds for its slot
// from its t on, and id 0 empties the slot. Blank lines and lines starting with "#" are skipped; a
// call sign is UTF-8 text of at most 15 characters, each of which Latin-1 holds, and may be
// double-quoted (to keep a comma or edge blanks).
class TrafficFile final : public TrafficSource {
 public:
  // Empty optional on error, with `error` set to "line N: reason".
  static std::optional<TrafficFile> Parse(const std::string& text, std::string& error);
  void SlotsAt(double t, TrafficSlots& slots) override;
  size_t RowCount() const { return rows_.size(); }

 private:
  struct Row {
    double t = 0;
    int slot = 0;
    TrafficAircraft aircraft;
  };
  std::vector<Row> rows_;  // in time order, file order among equal times
};

// At least six aircraft around the own aircraft's airport (where it is at the first call) and
// along its route: a holding airliner, a light aircraft in the pattern, a departure, one parked
// on the apron, an airliner alongside, an opposite-direction one, a converging one that comes
// to the closest threat level every 150 s, and one cruising 30 NM ahead. Call signs include one
// with a blank inside and one of exactly 15 characters.
class BuiltInTraffic final : public TrafficSource {
 public:
  explicit BuiltInTraffic(OwnStateAt own) : own_(std::move(own)) {}
  void SlotsAt(double t, TrafficSlots& slots) override;

 private:
  OwnStateAt own_;
  std::optional<OwnState> airport_;
};

// The own aircraft from the simulator's offsets (position, altitude, heading), whatever flight
// source writes them.
OwnState OwnStateFromCore(const SimulatorCore& core);

// The traffic area's raw bytes: per slot the identifier (int32), latitude, longitude and
// altitude (float), the true heading as a signed 16-bit angle (65536 to the circle, so 90
// degrees is 16384 and 180 is -32768), ground speed and vertical speed (int16), the call sign
// (15 bytes of Latin-1, zero-filled) and 3 unused bytes.
std::array<uint8_t, kTrafficSlotCount * kTrafficSlotBytes> EncodeTrafficArea(
    const TrafficSlots& slots);

// Writes the slots into the core's traffic area in one piece.
void WriteTrafficArea(SimulatorCore& core, const TrafficSlots& slots);

// Drives a source: writes its slots for second t into the core.
void UpdateTraffic(TrafficSource& source, SimulatorCore& core, double t);

// Reads a traffic file; on error prints nothing and returns the reason ("FILE: line N: ...").
std::unique_ptr<TrafficSource> LoadTrafficFile(const std::string& path, std::string& error);

}  // namespace sky::sim
