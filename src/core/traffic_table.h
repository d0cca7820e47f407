// The traffic table: the simulator's surrounding AI and multiplayer aircraft as texts, row 0 the
// column headers, rows 1 to 40 one aircraft each. Numbers always use "." as decimal point.
#pragma once

#include <array>
#include <string>

namespace sky {

struct TrafficTarget {
  std::string ID;
  std::string Lat;       // degrees
  std::string Lon;       // degrees
  std::string Alt;       // feet
  std::string HDG;       // degrees
  std::string Spd;       // knots
  std::string Callsign;  // without blanks
  std::string VS;        // feet per minute
};

inline constexpr int kTrafficRows = 40;

using TrafficTable = std::array<TrafficTarget, kTrafficRows + 1>;

}  // namespace sky
