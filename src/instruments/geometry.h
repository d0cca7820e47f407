// Positions in relation to one another: the distance between two positions, the compass bearing
// from one to the other, and the threat level of a traffic aircraft that the TCAS display, the
// traffic placemarks and the traffic recording share.
#pragma once

#include <string>

namespace sky {

struct App;

// Threat levels of a traffic aircraft, as ClassifyTraffic returns them.
enum TrafficLevel : int {
  kLevelHidden = 0,  // out of range, outside the mode's altitude window, or not classifiable
  kLevelOther = 1,   // within range
  kLevelClose1 = 2,  // within 6 NM and 2000 ft
  kLevelClose2 = 3,  // within 4 NM and 1200 ft
  kLevelClose3 = 4,  // within 2 NM and 500 ft
};

// Nautical miles between two positions on a sphere of 3443.917 NM, never negative. The terms
// are kept in single precision, and a central angle beyond 90 degrees folds back (100 degrees
// gives the distance of 80). With inRadians false the four angles are degrees.
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, bool inRadians);

// The compass bearing, 0 <= bearing < 360, from (lon1, lat1) to (lon2, lat2), taken on plain
// degree differences (the longitude difference is not scaled by the latitude). The text is in
// the user's number format. Longitude comes before latitude.
std::string BearingTo(const App& app, double lon1, double lat1, double lon2, double lat2);

// The threat level of a target against the own aircraft. An empty own-position text stands for
// the latest flight sample's value. A failure posts "Error in drawing TCAS table." and gives 0.
int ClassifyTraffic(App& app, double targetLat, double targetLon, double targetAlt,
                    const std::string& ownAltText, const std::string& ownLonText,
                    const std::string& ownLatText);

}  // namespace sky
