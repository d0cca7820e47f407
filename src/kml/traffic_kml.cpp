#include "kml/traffic_kml.h"

#include "core/app.h"

namespace sky {

// The predicted paths and the traffic folder come with the traffic unit; until then the
// "Aircraft position" folder is only closed.
double LongitudeRate(double, double, double) {
  return 0;
}
double LatitudeRate(double, double, double) {
  return 0;
}
std::string PredictedPathAndTraffic(App& app) {
  return app.kml.FolderEnd;
}

}  // namespace sky
