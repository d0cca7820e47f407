// The program's units and its value of pi, each spelled once.
#pragma once

namespace sky {

inline constexpr double kMetresPerFoot = 0.3048;
// Feet per metre as the simulator's values are converted (3.28084, not 1 / 0.3048).
inline constexpr double kFeetPerMetre = 3.28084;
inline constexpr double kMetresPerNauticalMile = 1852;
inline constexpr double kSecondsPerHour = 3600;

// Pi to eight decimals, as the TCAS display and the predicted paths turn degrees into radians.
inline constexpr double kPi = 3.14159265;
inline constexpr double kRadiansPerDegree = kPi / 180;

}  // namespace sky
