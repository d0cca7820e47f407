// One tick's own-aircraft values, and the previous tick's copy. Several values are texts in the
// user's number format, because they go into the logs and labels unchanged.
#pragma once

#include <cstdint>
#include <string>

namespace sky {

struct FlightSample {
  std::string Latitude;                // degrees, north positive, at most 13 decimals
  std::string Longitude;               // degrees, east positive, at most 13 decimals
  std::string Altitude;                // whole feet above mean sea level
  std::string GroundSpeed;             // knots
  std::string Heading;                 // degrees true, 0 to 360
  int16_t OnGround = 0;                // 1 on the ground
  std::string VerticalSpeed;           // feet per minute, climb positive
  std::string HeightAboveGround;       // feet, never below 0
  std::string TouchdownVerticalSpeed;  // whole feet per minute
  std::string Gear;                    // "1" fully down, "0" otherwise
  int16_t FlapsPercent = 0;            // 0 to 100
  int16_t Spoilers = 0;                // 0 retracted, 1 deployed
  double IndicatedAirspeed = 0;        // knots
  double TrueAirspeed = 0;             // knots
  int16_t TailHook = 0;
  int16_t Overspeed = 0;
  int16_t Stall = 0;
  int16_t InnerMarker = 0;
  int16_t MiddleMarker = 0;
  int16_t OuterMarker = 0;
  bool LocalizerInBand = false;
  int16_t LocalizerNeedle = 0;  // -127 to 128, full deflection at either end (landing reports)
  int16_t GlideslopeNeedle = 0;
  int16_t GlideslopeState = 0;  // 0 below, 1 on, 2 above the glideslope
  bool GlideslopeFlag = false;
  int16_t Autobrake = 0;
};

// The previous tick's values: the texts the tick copies (emptied by ClearPreviousValues), the
// flags, and the gear and flaps that event detection keeps itself.
struct PreviousSample {
  std::string Heading;
  std::string GroundSpeed;
  std::string Latitude;
  std::string Longitude;
  std::string Altitude;
  std::string VerticalSpeed;
  int16_t OnGround = 0;
  int16_t Spoilers = 0;
  int16_t TailHook = 0;
  int16_t Overspeed = 0;
  int16_t Stall = 0;
  int16_t InnerMarker = 0;
  int16_t MiddleMarker = 0;
  int16_t OuterMarker = 0;
  bool LocalizerInBand = false;
  int16_t GlideslopeState = 0;
  bool GlideslopeFlag = false;
  int16_t GlideslopeNeedle = 0;
  std::string Gear;          // kept by event detection
  int16_t FlapsPercent = 0;  // kept by event detection
  // The values are a sample read over the link that is open now (false after start-up and a lost
  // link): events compare two real samples only.
  bool read = false;
};

}  // namespace sky
