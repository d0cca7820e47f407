#include "kml/traffic_kml.h"

#include <cmath>
#include <stdexcept>

#include "core/geometry.h"
#include "core/numtext.h"
#include "core/units.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

// A number text with "." as decimal point, as KML wants it.
std::string KmlNumber(double value) {
  return DefaultText(value, ".");
}

// A traffic-table number: its "." becomes the user's separator before the conversion.
double TableNumber(const std::string& text, std::string_view separator) {
  std::string local = text;
  if (const size_t dot = local.find('.'); dot != std::string::npos) {
    local.replace(dot, 1, separator);
  }
  return RequireNumber(local, separator);
}

double Checked(double value) {
  if (!std::isfinite(value)) throw std::domain_error("value out of range");
  return value;
}

// A value through its default text and back, as the predicted path takes its sine and cosine.
double ThroughText(double value, std::string_view separator) {
  return RequireNumber(DefaultText(value, separator), separator);
}

const std::string& ClassSnippet(const KmlTemplateSet& kml, int level, const char*& suffix) {
  switch (level) {
    case kLevelClose1:
      suffix = " ;Getting Close";
      return kml.KMLTCASYellow;
    case kLevelClose2:
      suffix = " ;Close";
      return kml.KMLTCASOrange;
    case kLevelClose3:
      suffix = " ;Too close";
      return kml.KMLTCASRed;
    default:
      suffix = "";
      return kml.KMLTCASBlue;
  }
}

void AppendOwnPredictedPath(const KmlTemplateSet& kml, const RealtimeScene& scene,
                            std::string& out) {
  const FlightSample& s = scene.sample;
  const std::string_view separator = scene.separator;
  const bool onGround = s.OnGround == 1;
  const std::string opening = ReplaceFirst(onGround ? kml.PredictedPathGND : kml.PredictedPath,
                                           "NAME", "Predicted Flightpath");

  const double latitude = RequireNumber(s.Latitude, separator);
  const double longitude = RequireNumber(s.Longitude, separator);
  const double altitude = RequireNumber(s.Altitude, separator);
  const double groundSpeed = RequireNumber(s.GroundSpeed, separator);
  const double heading = RequireNumber(s.Heading, separator);
  // Before the first tick after a clear there is no previous altitude: no climb is assumed.
  const double previousAltitude =
      scene.previousAltitude.empty() ? altitude : RequireNumber(scene.previousAltitude, separator);
  const double multiplier = scene.params.PredPathMultiplier;

  const double a = LongitudeRate(groundSpeed, longitude, latitude);
  const double b = LatitudeRate(groundSpeed, longitude, latitude);
  const double h = heading * kRadiansPerDegree;
  const double predictedLat =
      Checked(latitude + ThroughText(std::cos(h), separator) * a * multiplier);
  const double predictedLon =
      Checked(longitude + ThroughText(std::sin(h), separator) * b * multiplier);
  const double predictedAltM =
      Checked(altitude + (altitude - previousAltitude) * multiplier) * kMetresPerFoot;

  const std::string lon = KmlDecimalPoint(s.Longitude, separator);
  const std::string lat = KmlDecimalPoint(s.Latitude, separator);
  out += opening;
  out += lon;
  out += ',';
  out += lat;
  if (!onGround) {
    out += ',';
    out += KmlNumber(altitude * kMetresPerFoot);
  }
  out += ' ';
  out += KmlNumber(predictedLon);
  out += ',';
  out += KmlNumber(predictedLat);
  if (!onGround) {
    out += ',';
    out += KmlNumber(predictedAltM);
  }
  out += kml.PlacemarkEnd;
  out += kml.FolderEnd;  // closes the "Aircraft position" folder
}

}  // namespace

TrafficPrediction PredictTraffic(double lon, double lat, double altFt, double headingDeg,
                                 double speedKt, double verticalSpeedFpm, double seconds) {
  const double perLatitude = GreatCircleDistance(lat, lon, lat + 1, lon, false);
  const double perLongitude = GreatCircleDistance(lat, lon, lat, lon + 1, false);
  const double latStep = Checked(speedKt / 3600 / perLatitude);
  const double lonStep = Checked(speedKt / 3600 / perLongitude);
  const double g = -(headingDeg + 180) * kRadiansPerDegree;
  return {Checked(lon - std::sin(g) * lonStep * seconds),
          Checked(lat + std::cos(g) * latStep * seconds),
          Checked(altFt + verticalSpeedFpm / 60 * seconds)};
}

namespace {

void AppendTraffic(const KmlTemplateSet& kml, const RealtimeScene& scene, MessageBoard& board,
                   std::string& out) {
  const std::string_view separator = scene.separator;
  const double ownAltitude = RequireNumber(scene.sample.Altitude, separator);
  const double multiplier = scene.params.PredPathMultiplierTCAS;
  const TrafficFilter filter{scene.sample.Altitude, scene.sample.Longitude,
                             scene.sample.Latitude, separator,
                             scene.tcasRange,       scene.tcasMode};

  out += ReplaceFirst(kml.Folder, "NAME", "AI/Multiplayer traffic");
  for (int r = 1; r <= kTrafficRows; ++r) {
    const TrafficTarget& row = scene.traffic[r];
    if (row.ID.empty()) continue;
    const double lat = TableNumber(row.Lat, separator);
    const double lon = TableNumber(row.Lon, separator);
    const double alt = TableNumber(row.Alt, separator);
    const double heading = TableNumber(row.HDG, separator);
    const double speed = RequireNumber(row.Spd, separator);
    const double verticalSpeed = TableNumber(row.VS, separator);
    const int level = ClassifyTraffic(filter, lat, lon, alt, board);

    const TrafficPrediction predicted =
        PredictTraffic(lon, lat, alt, heading, speed, verticalSpeed, multiplier);

    const std::string latText = KmlNumber(lat);
    const std::string lonText = KmlNumber(lon);
    const std::string altMText = KmlNumber(alt * kMetresPerFoot);
    const std::string callsign = XmlEscape(row.Callsign);

    const char* suffix = "";
    const std::string& snippet = ClassSnippet(kml, level, suffix);
    out += ReplaceFirst(snippet, "NAME", "Predicted Flightpath " + callsign + suffix);
    out += lonText;
    out += ',';
    out += latText;
    out += ',';
    out += altMText;
    out += ' ';
    out += KmlNumber(predicted.lon);
    out += ',';
    out += KmlNumber(predicted.lat);
    out += ',';
    out += KmlNumber(predicted.altFt * kMetresPerFoot);
    out += kml.PlacemarkEnd;

    // The label pin. The numbers go in first, so that no placeholder word inside a call sign
    // can be taken for one.
    std::string pin = ReplaceFirst(kml.PlacemarkPinSmallAir, "LATX", latText);
    pin = ReplaceFirst(pin, "LONY", lonText);
    pin = ReplaceFirst(pin, "ALTM", altMText);
    const int64_t hundreds = Floor64((alt - ownAltitude) / 100);
    const std::string relative =
        hundreds >= 0 ? "+" + std::to_string(hundreds) : std::to_string(hundreds);
    out += ReplaceFirst(pin, "NAME", callsign + " " + relative);
  }
  out += kml.FolderEnd;
}

}  // namespace

double LongitudeRate(double speed, double lon, double lat) {
  const double perSecond = speed / 3600;
  const double west = GreatCircleDistance(lat, lon - 0.0001, lat, lon, false) * 10000;
  const double east = GreatCircleDistance(lat, lon + 0.0001, lat, lon, false) * 10000;
  if (speed == 0) return 0;
  return Checked((perSecond / west + perSecond / east) / 2);
}

double LatitudeRate(double speed, double lon, double lat) {
  const double t = std::tan((90 - std::fabs(lat)) * kRadiansPerDegree);
  const double perSecond = speed / 3600;
  const double south = GreatCircleDistance(lat - t * 0.0001, lon, lat, lon, false) * 10000;
  const double north = GreatCircleDistance(lat + t * 0.0001, lon, lat, lon, false) * 10000;
  if (speed == 0) return 0;
  return Checked((perSecond / south + perSecond / north) / 2);
}

std::string PredictedPathAndTraffic(const KmlTemplateSet& kml, const RealtimeScene& scene,
                                    MessageBoard& board) {
  std::string out;
  out.reserve(scene.tcasMode != 0 ? 32768 : 1024);
  AppendOwnPredictedPath(kml, scene, out);
  if (scene.tcasMode != 0) AppendTraffic(kml, scene, board, out);
  return out;
}

}  // namespace sky
