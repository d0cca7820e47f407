#include "skytrace-sim/flight_source.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace sky::sim {
namespace {

// Which raw value stands for a value that falls between two raw steps.
enum class Toward {
  Nearest,       // the closest one
  Up,            // the closest that reads back at or above the value
  AwayFromZero,  // the closest that reads back no nearer to zero than the value
};

// Inverts the program's conversion `forward` (monotonically increasing in the raw value) around
// value * rawPerUnit. Values the program keeps only the whole part of (the integer part, or the
// cut toward zero of the altitude) are taken "Up" or "AwayFromZero", one raw step at most from
// the nearest, so that a whole number reads back as that whole number.
template <typename Raw, typename Forward>
Raw Inverse(double value, double rawPerUnit, Forward forward, Toward toward) {
  using Limits = std::numeric_limits<Raw>;
  // The candidates run from centre - 2 to centre + 3, all inside the raw type's range: the centre
  // is clamped in whole numbers, after a conversion that cannot overflow (a value at the edge of
  // the range, such as longitude 180, is 2^63 raw steps: one more than the type holds).
  constexpr int64_t kLow = static_cast<int64_t>(Limits::min()) + 2;
  constexpr int64_t kHigh = static_cast<int64_t>(Limits::max()) - 3;
  if (!std::isfinite(value)) value = 0;
  const long double estimate = std::floor(static_cast<long double>(value) * rawPerUnit);
  int64_t centre = 0;
  if (estimate <= static_cast<long double>(kLow)) {
    centre = kLow;
  } else if (estimate >= static_cast<long double>(kHigh)) {
    centre = kHigh;
  } else {
    centre = static_cast<int64_t>(estimate);
  }
  const bool up = toward == Toward::Up || (toward == Toward::AwayFromZero && value >= 0);
  const bool down = toward == Toward::AwayFromZero && value < 0;

  int64_t nearest = centre;
  double nearestError = std::numeric_limits<double>::infinity();
  int64_t lastAtOrBelow = centre;
  bool anyAtOrBelow = false;
  for (int step = -2; step <= 3; ++step) {
    const int64_t raw = centre + step;
    const double readBack = forward(static_cast<Raw>(raw));
    if (up && readBack >= value) return static_cast<Raw>(raw);
    if (down && readBack <= value) {
      lastAtOrBelow = raw;
      anyAtOrBelow = true;
    }
    if (const double error = std::fabs(readBack - value); error < nearestError) {
      nearestError = error;
      nearest = raw;
    }
  }
  if (down && anyAtOrBelow) return static_cast<Raw>(lastAtOrBelow);
  return static_cast<Raw>(nearest);
}

int32_t HeadingRaw(double degrees) {
  // The raw angle is a full turn over 2^32 steps; above 180 degrees it reads as negative and the
  // program adds 360. Counted as an unsigned turn, with the neighbouring turns continuing below
  // 0 and above 360, the reading grows steadily with the raw value.
  degrees = std::fmod(degrees, 360.0);
  if (degrees < 0) degrees += 360;
  constexpr int64_t kTurn = int64_t{1} << 32;
  auto forward = [](int64_t turn) {
    const double reading = HeadingDegrees(static_cast<int32_t>(static_cast<uint32_t>(turn)));
    return turn < 0 ? reading - 360 : turn >= kTurn ? reading + 360 : reading;
  };
  const int64_t turn = Inverse<int64_t>(degrees, kTurn / 360.0, forward, Toward::Up);
  return static_cast<int32_t>(static_cast<uint32_t>(turn));
}

template <typename Small>
Small Clamped(int value, int low, int high) {
  return static_cast<Small>(std::clamp(value, low, high));
}

}  // namespace

RawFlightData RawOf(const FlightState& s) {
  constexpr double kTurn32 = 4294967296.0;
  constexpr double kFpmPerRaw = 60 * 3.28084 / 256;
  RawFlightData raw;
  raw.latitude =
      Inverse<int64_t>(s.latitudeDeg, 10001750.0 * kTurn32 / 90, LatitudeDegrees, Toward::Nearest);
  raw.longitude =
      Inverse<int64_t>(s.longitudeDeg, kTurn32 * kTurn32 / 360, LongitudeDegrees, Toward::Nearest);
  raw.altitude =
      Inverse<int64_t>(s.altitudeFt, kTurn32 / 3.28084, AltitudeFeet, Toward::AwayFromZero);
  raw.groundSpeed =
      Inverse<int32_t>(s.groundSpeedKt, 65536.0 * 1852 / 3600, GroundSpeedKnots, Toward::Up);
  raw.heading = HeadingRaw(s.headingDeg);
  raw.onGround = s.onGround ? 1 : 0;
  raw.verticalSpeed =
      Inverse<int32_t>(s.verticalSpeedFpm, 1 / kFpmPerRaw, VerticalSpeedFpm, Toward::Up);
  raw.groundElevation =
      Inverse<int32_t>(s.groundElevationFt, 256 / 3.28084, GroundElevationFeet, Toward::Nearest);
  raw.touchdownVerticalSpeed =
      Inverse<int32_t>(s.touchdownVerticalSpeedFpm, 1 / kFpmPerRaw, VerticalSpeedFpm, Toward::Up);
  raw.gear = Inverse<int32_t>(s.gear, 16383, LeverPosition, Toward::Nearest);
  raw.flaps = Inverse<int32_t>(s.flapsPercent, 163.83, FlapsPercentOf, Toward::Nearest);
  raw.spoilers = Inverse<int32_t>(s.spoilers, 16383, LeverPosition, Toward::Nearest);
  raw.indicatedAirspeed = Inverse<int32_t>(s.indicatedAirspeedKt, 128, AirspeedKnots, Toward::Up);
  raw.trueAirspeed = Inverse<int32_t>(s.trueAirspeedKt, 128, AirspeedKnots, Toward::Up);
  raw.tailHook = s.tailHook;
  raw.overspeed = Clamped<uint8_t>(s.overspeed, 0, 255);
  raw.stall = Clamped<uint8_t>(s.stall, 0, 255);
  raw.innerMarker = Clamped<int16_t>(s.innerMarker, -32768, 32767);
  raw.middleMarker = Clamped<int16_t>(s.middleMarker, -32768, 32767);
  raw.outerMarker = Clamped<int16_t>(s.outerMarker, -32768, 32767);
  // Needles are single bytes: negative deflections wrap to the top of the byte.
  raw.localizer = static_cast<uint8_t>(std::clamp(s.localizerNeedle, -127, 128) & 0xFF);
  raw.glideslope = static_cast<uint8_t>(std::clamp(s.glideslopeNeedle, -136, 119) & 0xFF);
  raw.glideslopeFlag = Clamped<uint8_t>(s.glideslopeFlag, 0, 255);
  raw.autobrake = Clamped<uint8_t>(s.autobrake, 0, 255);
  return raw;
}

void WriteFlightState(SimulatorCore& core, const FlightState& state) {
  const RawFlightData raw = RawOf(state);
  const auto* base = reinterpret_cast<const unsigned char*>(&raw);
  for (const FlightOffset& value : kFlightOffsets) {
    core.Write(value.offset, base + value.member, value.size);
  }
}

}  // namespace sky::sim
