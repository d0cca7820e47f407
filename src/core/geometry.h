// Positions in relation to one another: the distance between two positions, the compass bearing
// from one to the other, and the threat level of a traffic aircraft that the TCAS display, the
// traffic placemarks and the traffic recording share.
#pragma once

#include <string>
#include <string_view>

namespace sky {

class MessageBoard;

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
// the user's number format (`separator`). Longitude comes before latitude.
std::string BearingTo(std::string_view separator, double lon1, double lat1, double lon2,
                      double lat2);

// What a traffic aircraft is classified against: the own aircraft (texts in the user's number
// format, as the flight sample holds them) and the TCAS display's range and mode.
struct TrafficFilter {
  std::string_view ownAltitude;   // feet
  std::string_view ownLongitude;  // degrees
  std::string_view ownLatitude;   // degrees
  std::string_view separator;
  int range = 20;  // nautical miles
  int mode = 0;    // 0 OFF, 1 ABV, 2 BLW, 3 NRM, 4 ALL
};

// The threat level of a target. A failure (an own value that is no number, a distance or height
// without a value) posts "Error in drawing TCAS table." and gives 0.
int ClassifyTraffic(const TrafficFilter& filter, double targetLat, double targetLon,
                    double targetAlt, MessageBoard& board);

}  // namespace sky
