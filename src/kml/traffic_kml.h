// The realtime document's own predicted path and the surrounding traffic: a short line from the
// aircraft to where it will be some seconds later, and the same for every AI or multiplayer
// aircraft, coloured by how close it is.
#pragma once

#include <string>

#include "core/messages.h"
#include "kml/realtime_view.h"

namespace sky {

struct KmlTemplateSet;

// Degrees of longitude covered per second at `speed` knots along the parallel through (lat, lon);
// 0 when speed is 0. Throws std::domain_error where the step has no finite value (at a pole).
double LongitudeRate(double speed, double lon, double lat);
// The latitude step per second used with it by the predicted paths; 0 when speed is 0. Throws
// std::domain_error like LongitudeRate.
double LatitudeRate(double speed, double lon, double lat);

// Where a traffic aircraft at (lon, lat) and `altFt`, heading `headingDeg` at `speedKt` and
// climbing `verticalSpeedFpm`, will be after `seconds`, as both traffic drawings predict it.
// Throws std::domain_error where a value has no finite result (at a pole).
struct TrafficPrediction {
  double lon = 0;
  double lat = 0;
  double altFt = 0;
};
TrafficPrediction PredictTraffic(double lon, double lat, double altFt, double headingDeg,
                                 double speedKt, double verticalSpeedFpm, double seconds);

// The own predicted-path placemark followed by the closing of the "Aircraft position" folder,
// then, while the TCAS mode is not OFF, the "AI/Multiplayer traffic" folder. Throws
// MissingPlaceholder (or another std::exception) when a snippet or a value does not fit.
// A traffic aircraft that cannot be classified posts its sentence on `board`.
std::string PredictedPathAndTraffic(const KmlTemplateSet& kml, const RealtimeScene& scene,
                                    MessageBoard& board);

}  // namespace sky
