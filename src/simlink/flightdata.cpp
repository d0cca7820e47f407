#include "simlink/flightdata.h"

#include <cmath>
#include <string>
#include <string_view>

#include "core/numtext.h"
#include "core/units.h"

namespace sky {

const std::array<FlightOffset, 24> kFlightOffsets = {{
    {0x0560, 8, offsetof(RawFlightData, latitude)},
    {0x0568, 8, offsetof(RawFlightData, longitude)},
    {0x0570, 8, offsetof(RawFlightData, altitude)},
    {0x02B4, 4, offsetof(RawFlightData, groundSpeed)},
    {0x0580, 4, offsetof(RawFlightData, heading)},
    {0x0366, 2, offsetof(RawFlightData, onGround)},
    {0x02C8, 4, offsetof(RawFlightData, verticalSpeed)},
    {0x0020, 4, offsetof(RawFlightData, groundElevation)},
    {0x030C, 4, offsetof(RawFlightData, touchdownVerticalSpeed)},
    {0x0BEC, 4, offsetof(RawFlightData, gear)},
    {0x0BDC, 4, offsetof(RawFlightData, flaps)},
    {0x0BD0, 4, offsetof(RawFlightData, spoilers)},
    {0x02BC, 4, offsetof(RawFlightData, indicatedAirspeed)},
    {0x02B8, 4, offsetof(RawFlightData, trueAirspeed)},
    {0x3BA0, 8, offsetof(RawFlightData, tailHook)},
    {0x036D, 1, offsetof(RawFlightData, overspeed)},
    {0x036C, 1, offsetof(RawFlightData, stall)},
    {0x0BAC, 2, offsetof(RawFlightData, innerMarker)},
    {0x0BAE, 2, offsetof(RawFlightData, middleMarker)},
    {0x0BB0, 2, offsetof(RawFlightData, outerMarker)},
    {0x0C48, 1, offsetof(RawFlightData, localizer)},
    {0x0C49, 1, offsetof(RawFlightData, glideslope)},
    {0x0C4C, 1, offsetof(RawFlightData, glideslopeFlag)},
    {0x2F80, 1, offsetof(RawFlightData, autobrake)},
}};

double LatitudeDegrees(int64_t raw) {
  return static_cast<double>(raw) * 90 / (10001750.0 * 65536.0 * 65536.0);
}

double LongitudeDegrees(int64_t raw) {
  return static_cast<double>(raw) * 360 / (65536.0 * 65536.0 * 65536.0 * 65536.0);
}

double AltitudeFeet(int64_t raw) {
  return static_cast<double>(raw) * kFeetPerMetre / 4294967296.0;
}

double GroundSpeedKnots(int32_t raw) {
  return static_cast<double>(raw) * kSecondsPerHour / 65536 / kMetresPerNauticalMile;
}

double HeadingDegrees(int32_t raw) {
  const double degrees = static_cast<double>(raw) * 360 / 4294967296.0;
  return degrees < 0 ? degrees + 360 : degrees;
}

double VerticalSpeedFpm(int32_t raw) {
  return static_cast<double>(raw) * 60 * kFeetPerMetre / 256;
}

double GroundElevationFeet(int32_t raw) {
  return static_cast<double>(raw) * kFeetPerMetre / 256;
}

double LeverPosition(int32_t raw) {
  return static_cast<double>(raw) / 16383;
}

double FlapsPercentOf(int32_t raw) {
  return static_cast<double>(raw) / 16383 * 100;
}

double AirspeedKnots(int32_t raw) {
  return static_cast<double>(raw) / 128;
}

int LocalizerNeedle(uint8_t raw) {
  return raw > 128 ? raw - 256 : raw;
}

int GlideslopeNeedleOf(uint8_t raw) {
  return raw > 119 ? raw - 256 : raw;
}

namespace {

// A value that does not fit its field is a DataError, as is a text that does not read back.
int16_t ToInt16(double value) {
  if (!std::isfinite(value)) throw DataError("not a finite value");
  const int64_t rounded = RoundHalfEven(value);
  if (rounded < -32768 || rounded > 32767) throw DataError("out of range");
  return static_cast<int16_t>(rounded);
}

// Degrees as plain decimal text with at most 13 decimals.
std::string CoordinateText(double degrees, std::string_view separator) {
  return CutDecimals(PlainText(degrees, separator), separator, 13);
}

// Converts the raw values into the sample, in the order the later values depend on: the
// vertical speed on the previous on-ground flag, the height on the altitude and on-ground flag
// just converted, the touchdown rate on the vertical speed just converted.
void Convert(const FlightReadSettings& settings, const RawFlightData& raw, FlightSample& s,
             float& groundOffset) {
  const std::string_view separator = settings.separator;

  s.Latitude = CoordinateText(LatitudeDegrees(raw.latitude), separator);
  s.Longitude = CoordinateText(LongitudeDegrees(raw.longitude), separator);
  // Whole feet, cut toward zero; a plain text, so that a value near 0 cuts to "0" or "-0".
  s.Altitude = WholePart(PlainText(AltitudeFeet(raw.altitude), separator), separator);
  s.GroundSpeed = DefaultText(GroundSpeedKnots(raw.groundSpeed), separator);
  s.Heading = DefaultText(HeadingDegrees(raw.heading), separator);
  s.OnGround = raw.onGround != 0 ? 1 : 0;
  if (settings.previousOnGround == 1) {
    s.VerticalSpeed = std::string(1, '0');  // not = "0": GCC 12 warns falsely (-Wrestrict)
  } else {
    s.VerticalSpeed = DefaultText(VerticalSpeedFpm(raw.verticalSpeed), separator);
  }

  const double ground = GroundElevationFeet(raw.groundElevation);
  const double altitude = RequireNumber(s.Altitude, separator);
  double height = 0;
  if (s.OnGround == 1) {
    // The offset is that very difference; only its single-precision rounding would remain.
    groundOffset = static_cast<float>(altitude - ground);
  } else {
    height = altitude - ground - static_cast<double>(groundOffset);
  }
  s.HeightAboveGround = height < 0 ? "0" : DefaultText(height, separator);

  std::string touchdown = FloorText(VerticalSpeedFpm(raw.touchdownVerticalSpeed));
  if (touchdown == "0") touchdown = FloorText(RequireNumber(s.VerticalSpeed, separator));
  s.TouchdownVerticalSpeed = std::move(touchdown);

  s.Gear = FloorText(LeverPosition(raw.gear));
  s.FlapsPercent = ToInt16(FlapsPercentOf(raw.flaps));
  s.Spoilers = ToInt16(LeverPosition(raw.spoilers));
  s.IndicatedAirspeed = AirspeedKnots(raw.indicatedAirspeed);
  s.TrueAirspeed = AirspeedKnots(raw.trueAirspeed);
  s.TailHook = ToInt16(raw.tailHook);
  s.Overspeed = raw.overspeed;
  s.Stall = raw.stall;
  s.InnerMarker = raw.innerMarker;
  s.MiddleMarker = raw.middleMarker;
  s.OuterMarker = raw.outerMarker;

  // The capture band: strictly inside LocInt percent of full deflection to either side.
  const int localizer = LocalizerNeedle(raw.localizer);
  s.LocalizerNeedle = static_cast<int16_t>(localizer);
  const double band = 128.0 * settings.LocInt / 100;
  s.LocalizerInBand = -band < localizer && localizer < band;

  // The glideslope bounds are asymmetric (118 below, 119 above); "above" is tested last.
  s.GlideslopeNeedle = static_cast<int16_t>(GlideslopeNeedleOf(raw.glideslope));
  const int needle = s.GlideslopeNeedle;
  s.GlideslopeState = 1;
  if (needle <= -118.0 * settings.GSInt / 100) s.GlideslopeState = 0;
  if (needle >= 119.0 * settings.GSInt / 100) s.GlideslopeState = 2;
  s.GlideslopeFlag = raw.glideslopeFlag != 0;
  s.Autobrake = raw.autobrake;
}

}  // namespace

ReadOutcome ReadFlightData(FsuipcLink& link, const FlightReadSettings& settings,
                           FlightSample& sample, float& groundOffset) {
  RawFlightData raw;
  auto* base = reinterpret_cast<unsigned char*>(&raw);
  int32_t result = kLinkOk;
  for (const FlightOffset& value : kFlightOffsets) {
    if (!QueueRead(link, value.offset, value.size, base + value.member, result)) {
      return ReadOutcome::LinkLost;
    }
  }
  if (!ProcessRequests(link, result) || result != kLinkOk) return ReadOutcome::LinkLost;
  try {
    Convert(settings, raw, sample, groundOffset);
  } catch (const DataError&) {
    return ReadOutcome::BadValue;
  }
  return ReadOutcome::Done;
}

}  // namespace sky
