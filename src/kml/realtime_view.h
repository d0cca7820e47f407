// The realtime view: the camera that follows the aircraft in each view mode, the small location
// document that carries it, and the "Aircraft position" pin of the realtime flight document.
#pragma once

#include <string>

namespace sky {

struct App;

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
RealtimeCamera ComputeRealtimeCamera(App& app);

// The LookAt element of the camera at the current position. Throws MissingPlaceholder.
std::string BuildLookAt(App& app, const RealtimeCamera& camera);

// The location document without its end: the document head named "<product> Realtime Chase View"
// with the camera inserted before the head's yellow StyleMap ("<StyleMap id=\"msn_ylw-").
// Throws MissingPlaceholder or DataError.
std::string BuildLocationDocument(App& app, const RealtimeCamera& camera);

// The opening of the "Aircraft position" folder and its "Your aircraft" pin at the current position
// (clamped to the ground on the ground, at its altitude in the air), looked at from the camera's
// range. Throws MissingPlaceholder or DataError.
std::string BuildAircraftPin(App& app, const RealtimeCamera& camera);

}  // namespace sky
