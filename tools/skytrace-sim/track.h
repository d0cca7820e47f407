// Track files: a flight as CSV, one row per simulated second or sparser. The first line names
// the columns (any subset, in any order; an absent column reads as 0), lines starting with "#"
// and blank lines are ignored, and each row holds from its `t` until the next row's.
//
// Columns: t (seconds from the start), lat, lon (degrees, north and east positive), alt_ft
// (feet MSL), ground_ft (ground elevation, feet MSL), gs_kt, ias_kt, tas_kt, hdg (degrees
// true), vs_fpm, td_vs_fpm, on_ground (0/1), gear (0 to 1, 1 fully down), flaps (percent),
// spoilers (0 to 1), tailhook, overspeed, stall, om, mm, im (0/1), loc (localizer needle,
// -127 to 128), gs (glideslope needle, -136 to 119), gs_flag (0/1), autobrake (0 to 5).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "skytrace-sim/flight_source.h"

namespace sky::sim {

struct TrackRow {
  double t = 0;
  FlightState state;
};

class Track final : public FlightSource {
 public:
  Track() = default;
  // Rows in increasing time.
  explicit Track(std::vector<TrackRow> rows) : rows_(std::move(rows)) {}

  // The row that holds at t: the last one whose time is not after t (the first row before it).
  FlightState At(double t) const override;
  // The time of the last row.
  double EndTime() const override;

  const std::vector<TrackRow>& Rows() const { return rows_; }

 private:
  std::vector<TrackRow> rows_;
};

// Reads a track file's text. A malformed file gives an empty optional and `error` as
// "line N: reason".
std::optional<Track> ParseTrack(const std::string& text, std::string& error);

// The track as a file with every column; ParseTrack reads it back to the same rows.
std::string FormatTrack(const Track& track);

}  // namespace sky::sim
