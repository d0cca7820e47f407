// The per-tick read of the own aircraft's state into the flight sample, with the conversions
// into the program's units and the handling of a lost link.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <string_view>

#include "core/flight_sample.h"
#include "simlink/fsuipc.h"

namespace sky {

// What the conversions of a sample depend on besides the raw values.
struct FlightReadSettings {
  std::string_view separator;    // the user's decimal separator, for the sample's texts
  int16_t LocInt = 50;           // the localizer's capture band, percent of full deflection
  int16_t GSInt = 50;            // the glideslope's "on" band, percent of full deflection
  int16_t previousOnGround = 0;  // the previous sample's on-ground flag
};

// Fills `sample` in one exchange. A failed exchange changes no field and reports LinkLost; a
// value that does not fit its field stops the conversion there and reports BadValue.
// `groundOffset` (altitude minus ground elevation while on the ground) is taken at every sample
// on the ground and corrects the height above ground in the air.
ReadOutcome ReadFlightData(FsuipcLink& link, const FlightReadSettings& settings,
                           FlightSample& sample, float& groundOffset);

// The 24 raw values of one sample as the simulator's interface module holds them (little-endian,
// the sizes and signedness of their offsets).
struct RawFlightData {
  int64_t latitude = 0;         // 0x0560
  int64_t longitude = 0;        // 0x0568
  int64_t altitude = 0;         // 0x0570: whole metres in the upper half, the fraction in the lower
  int32_t groundSpeed = 0;      // 0x02B4
  int32_t heading = 0;          // 0x0580
  int16_t onGround = 0;         // 0x0366
  int32_t verticalSpeed = 0;    // 0x02C8
  int32_t groundElevation = 0;  // 0x0020
  int32_t touchdownVerticalSpeed = 0;  // 0x030C
  int32_t gear = 0;                    // 0x0BEC, 16383 fully down
  int32_t flaps = 0;                   // 0x0BDC, 16383 fully extended
  int32_t spoilers = 0;                // 0x0BD0, 16383 fully deployed
  int32_t indicatedAirspeed = 0;       // 0x02BC
  int32_t trueAirspeed = 0;            // 0x02B8
  double tailHook = 0;                 // 0x3BA0
  uint8_t overspeed = 0;               // 0x036D
  uint8_t stall = 0;                   // 0x036C
  int16_t innerMarker = 0;             // 0x0BAC
  int16_t middleMarker = 0;            // 0x0BAE
  int16_t outerMarker = 0;             // 0x0BB0
  uint8_t localizer = 0;               // 0x0C48
  uint8_t glideslope = 0;              // 0x0C49
  uint8_t glideslopeFlag = 0;          // 0x0C4C
  uint8_t autobrake = 0;               // 0x2F80
};

// Where each raw value lives: the offset, its size, and the member of RawFlightData that holds
// it. In the order the sample is read and converted.
struct FlightOffset {
  uint32_t offset;
  uint32_t size;
  size_t member;  // byte position in RawFlightData
};
extern const std::array<FlightOffset, 24> kFlightOffsets;

// The conversions from raw values into the program's units. The simulator side inverts exactly
// these, so that a value it serves reads back as it was meant.
double LatitudeDegrees(int64_t raw);
double LongitudeDegrees(int64_t raw);
double AltitudeFeet(int64_t raw);
double GroundSpeedKnots(int32_t raw);
double HeadingDegrees(int32_t raw);    // 0 to 360
double VerticalSpeedFpm(int32_t raw);  // also the touchdown vertical speed
double GroundElevationFeet(int32_t raw);
double LeverPosition(int32_t raw);    // gear, spoilers: 1 fully out
double FlapsPercentOf(int32_t raw);   // before rounding
double AirspeedKnots(int32_t raw);    // indicated and true
int LocalizerNeedle(uint8_t raw);     // -127 to 128
int GlideslopeNeedleOf(uint8_t raw);  // -136 to 119

}  // namespace sky
