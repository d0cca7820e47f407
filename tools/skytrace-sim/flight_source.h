// Flight sources for the simulator: the own aircraft's state at any simulated time, in the
// units a pilot reads them, and how a state is written into the simulator's offset space.
#pragma once

#include "simlink/flightdata.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::sim {

// The own aircraft at one moment. Positions in degrees (north and east positive), altitudes in
// feet above mean sea level, speeds in knots, vertical speeds in feet per minute.
struct FlightState {
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double altitudeFt = 0;         // the aircraft's reference point
  double groundElevationFt = 0;  // the ground below the aircraft
  double groundSpeedKt = 0;
  double indicatedAirspeedKt = 0;
  double trueAirspeedKt = 0;
  double headingDeg = 0;  // true, 0 to 360
  double verticalSpeedFpm = 0;
  double touchdownVerticalSpeedFpm = 0;  // the vertical speed at the last ground contact
  bool onGround = false;
  double gear = 0;          // 0 up to 1 fully down
  double flapsPercent = 0;  // 0 to 100
  double spoilers = 0;      // 0 retracted to 1 deployed
  int tailHook = 0;         // 0 up, 1 down
  int overspeed = 0;        // 1 while the overspeed warning sounds
  int stall = 0;            // 1 while the stall warning sounds
  int outerMarker = 0;      // 1 while the marker is received
  int middleMarker = 0;
  int innerMarker = 0;
  int localizerNeedle = 0;   // -127 to 128; positive: the course lies to the right
  int glideslopeNeedle = 0;  // -136 to 119; positive: above the glideslope
  int glideslopeFlag = 0;    // 1 while the glideslope signal is received
  int autobrake = 0;         // 0 to 5
};

// A flight: the state at any time from 0 to EndTime() (and the last state after it).
class FlightSource {
 public:
  virtual ~FlightSource() = default;
  virtual FlightState At(double t) const = 0;
  virtual double EndTime() const = 0;
};

// The raw offset values that the program reads back as this state: each value is the inverse of
// the program's conversion, on the raw value next to the exact inverse.
RawFlightData RawOf(const FlightState& state);

// Puts the state into the offset space, every value at its offset.
void WriteFlightState(SimulatorCore& core, const FlightState& state);

}  // namespace sky::sim
