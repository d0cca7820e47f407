// The realtime view: the camera that follows the aircraft in each view mode, the small location
// document that carries it, and the "Aircraft position" pin of the realtime flight document.
#pragma once

#include <string>
#include <string_view>

#include "core/flight_sample.h"
#include "core/logging_parameters.h"
#include "core/traffic_table.h"

namespace sky {

struct KmlTemplateSet;

// What the realtime documents show of the present moment: the latest sample and the previous
// tick's altitude (texts in the user's number format), the view mode, the camera and path
// settings, and the traffic while the TCAS display reads it.
struct RealtimeScene {
  const FlightSample& sample;
  std::string_view previousAltitude;  // empty before the first tick after a clear
  std::string_view separator;
  const LoggingParameters& params;
  bool chaseView = true;   // chase, or overview
  bool viewRight = false;  // camera to the right of the aircraft, or to its left
  std::string productName;
  const TrafficTable& traffic;
  int tcasRange = 20;
  int tcasMode = 0;  // traffic is drawn while it is not 0 (OFF)
};

// The camera as the LookAt snippet receives it: heading, range (metres) and tilt (degrees).
struct RealtimeCamera {
  std::string heading;
  std::string range;
  std::string tilt;
};

// The camera for the latest sample and the current view mode. On the ground it looks along the
// aircraft's heading from the ground range and tilt; in the air it looks from the side chosen
// (left or right by the mode's degree offset), chase from 1.2 times the height above ground plus
// 500 m, overview from the height times the range multiplier but at least the minimum range.
// Throws DataError when a sample value is not a number.
RealtimeCamera ComputeRealtimeCamera(const RealtimeScene& scene);

// The LookAt element of the camera at the current position. Throws MissingPlaceholder.
std::string BuildLookAt(const KmlTemplateSet& kml, const RealtimeScene& scene,
                        const RealtimeCamera& camera);

// The location document without its end: the document head named "<product> Realtime Chase View"
// with the camera inserted before the head's yellow StyleMap ("<StyleMap id=\"msn_ylw-").
// Throws MissingPlaceholder or DataError.
std::string BuildLocationDocument(const KmlTemplateSet& kml, const RealtimeScene& scene,
                                  const RealtimeCamera& camera);

// The opening of the "Aircraft position" folder and its "Your aircraft" pin at the current position
// (clamped to the ground on the ground, at its altitude in the air), looked at from the camera's
// range. Throws MissingPlaceholder or DataError.
std::string BuildAircraftPin(const KmlTemplateSet& kml, const RealtimeScene& scene,
                             const RealtimeCamera& camera);

}  // namespace sky
