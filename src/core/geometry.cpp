#include "core/geometry.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "core/messages.h"
#include "core/numtext.h"

namespace sky {
namespace {

constexpr double kEarthRadiusNm = 3443.9169921875;  // 3443.917 as a single
constexpr double kQuarterCircumferenceNm = 5409.69272219995;
// 3.141593 / 180, worked out in single precision.
const float kDegreesToRadians = 3.141593f / 180.0f;
constexpr double kRadiansToDegrees = 57.295780181884766;  // 57.29578 as a single

float Single(double value) {
  return static_cast<float>(value);
}

}  // namespace

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, bool inRadians) {
  if (!inRadians) {
    lat1 *= kDegreesToRadians;
    lon1 *= kDegreesToRadians;
    lat2 *= kDegreesToRadians;
    lon2 *= kDegreesToRadians;
  }
  const float deltaLon = Single(lon2 - lon1);
  const float sinLat1 = Single(std::sin(lat1));
  const float cosLat1 = Single(std::cos(lat1));
  const float sinLat2 = Single(std::sin(lat2));
  const float cosLat2 = Single(std::cos(lat2));
  const float sinDelta = Single(std::sin(static_cast<double>(deltaLon)));
  const float cosDelta = Single(std::cos(static_cast<double>(deltaLon)));

  const float a = cosLat2 * sinDelta;
  const float b = cosLat1 * sinLat2 - sinLat1 * cosLat2 * cosDelta;
  const float numerator = Single(std::sqrt(static_cast<double>(a * a + b * b)));
  const float denominator = cosLat1 * cosLat2 * cosDelta + sinLat1 * sinLat2;
  if (denominator == 0) return numerator == 0 ? 0 : kQuarterCircumferenceNm;
  // The plain arctangent: a central angle of 90 + x degrees comes back as 90 - x.
  const double distance =
      std::atan(static_cast<double>(numerator) / static_cast<double>(denominator)) * kEarthRadiusNm;
  return distance < 0 ? -distance : distance;
}

std::string BearingTo(std::string_view separator, double lon1, double lat1, double lon2,
                      double lat2) {
  const double dx = lon2 - lon1;
  const double dy = lat2 - lat1;
  if (dx == 0) return dy < 0 ? "180" : "0";
  if (dy == 0) return dx > 0 ? "90" : "270";
  const double t = std::atan(std::fabs(dx) / std::fabs(dy)) * kRadiansToDegrees;
  double bearing = 0;
  if (dx > 0) {
    bearing = dy > 0 ? t : 180 - t;
  } else {
    bearing = dy < 0 ? 180 + t : 360 - t;
  }
  return DefaultText(bearing, separator);
}

int ClassifyTraffic(const TrafficFilter& filter, double targetLat, double targetLon,
                    double targetAlt, MessageBoard& board) {
  try {
    const double ownAlt = RequireNumber(filter.ownAltitude, filter.separator);
    const double ownLon = RequireNumber(filter.ownLongitude, filter.separator);
    const double ownLat = RequireNumber(filter.ownLatitude, filter.separator);
    const double distance = GreatCircleDistance(ownLat, ownLon, targetLat, targetLon, false);
    if (!std::isfinite(distance)) throw std::domain_error("distance");
    if (distance > filter.range) return kLevelHidden;

    // Relative altitude in whole feet, as a 32-bit integer.
    const double difference = targetAlt - ownAlt;
    if (!(std::fabs(difference) < 2147483647.0)) throw std::overflow_error("altitude");
    const int32_t relative = static_cast<int32_t>(RoundHalfEven(difference));

    int low = INT32_MIN;
    int high = INT32_MAX;
    switch (filter.mode) {
      case 1:  // ABV
        low = -2000;
        high = 9900;
        break;
      case 2:  // BLW
        low = -9900;
        high = 2000;
        break;
      case 3:  // NRM
        low = -2000;
        high = 2000;
        break;
      default:  // OFF and ALL: no window
        break;
    }
    if (relative < low || relative > high) return kLevelHidden;

    const int32_t height = relative < 0 ? -relative : relative;
    int level = kLevelOther;
    if (distance <= 6 && height <= 2000) level = kLevelClose1;
    if (distance <= 4 && height <= 1200) level = kLevelClose2;
    if (distance <= 2 && height <= 500) level = kLevelClose3;
    return level;
  } catch (const std::exception&) {
    board.Post("Error in drawing TCAS table.");
    return kLevelHidden;
  }
}

}  // namespace sky
