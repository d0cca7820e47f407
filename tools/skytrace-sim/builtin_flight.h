// The built-in flight: a short flight out of and back into Frankfurt (EDDF), one row per second.
// Parked at a Terminal 1 stand, taxi, take-off from runway 25C with the autobrake on RTO, climb
// through 10,000 ft to 12,000 ft in a right turn across north, cruise, a descent with a brief
// overspeed, an ILS approach to 25C (localizer and glideslope needles from the geometry, with a
// moment below and one above the glideslope, the three markers), flaps and gear in their usual
// order, touchdown at 180 ft/min with spoilers and autobrake, roll-out, taxi back and park.
#pragma once

#include "skytrace-sim/track.h"

namespace sky::sim {

// The sink rate of the built-in flight's touchdown, feet per minute.
inline constexpr double kBuiltinTouchdownFpm = -180;

Track BuiltinFlight();

}  // namespace sky::sim
