#include "kml/realtime_view.h"

#include "core/numtext.h"
#include "core/units.h"
#include "kml/log_records.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

constexpr std::string_view kAbsolute = "<altitudeMode>absolute</altitudeMode>";

bool OnGround(const RealtimeScene& scene) {
  return scene.sample.OnGround == 1;
}

}  // namespace

RealtimeCamera ComputeRealtimeCamera(const RealtimeScene& scene) {
  const std::string_view separator = scene.separator;
  const LoggingParameters& p = scene.params;
  const int64_t base = Floor64(RequireNumber(scene.sample.Heading, separator));
  RealtimeCamera camera;
  if (OnGround(scene)) {
    camera.heading = std::to_string(base);
    camera.tilt = std::to_string(p.GNDTilt);
    camera.range = std::to_string(p.GNDRange);
    return camera;
  }

  const double height = RequireNumber(scene.sample.HeightAboveGround, separator);
  int offset = 0;
  if (scene.chaseView) {
    offset = p.ChaseDegreeOffset;
    camera.tilt = std::to_string(p.ChaseTilt);
    camera.range = KmlDecimalPoint(DefaultText(height * 1.2 + 500, separator), separator);
  } else {
    offset = p.OverviewDegreeOffset;
    camera.tilt = std::to_string(p.OverviewTilt);
    const double range = height * p.OverviewRangeMultiplier;
    camera.range = range < p.OverviewRangeMin
                       ? std::to_string(p.OverviewRangeMin)
                       : KmlDecimalPoint(DefaultText(range, separator), separator);
  }
  // Camera to the right of the aircraft looks to its left, and the other way round.
  int64_t heading = scene.viewRight ? base - offset : base + offset;
  if (heading > 360) heading -= 360;
  if (heading < 0) heading += 360;
  camera.heading = std::to_string(heading);
  return camera;
}

std::string BuildLookAt(const KmlTemplateSet& kml, const RealtimeScene& scene,
                        const RealtimeCamera& camera) {
  const std::string_view separator = scene.separator;
  std::string text = kml.LookAt;
  ReplaceFirstIn(text, "LATX", XmlEscape(KmlDecimalPoint(scene.sample.Latitude, separator)));
  ReplaceFirstIn(text, "LONY", XmlEscape(KmlDecimalPoint(scene.sample.Longitude, separator)));
  ReplaceFirstIn(text, "HDG", camera.heading);
  ReplaceFirstIn(text, "RANGE", camera.range);
  ReplaceFirstIn(text, "TILT", camera.tilt);
  return text;
}

std::string BuildLocationDocument(const KmlTemplateSet& kml, const RealtimeScene& scene,
                                  const RealtimeCamera& camera) {
  std::string head =
      ReplaceFirst(kml.KML, "NAME", XmlEscape(scene.productName + " Realtime Chase View"));
  const size_t styleMap = head.find("<StyleMap id=\"msn_ylw-");
  if (styleMap == std::string::npos) throw DataError("the document head has no yellow style");
  head.insert(styleMap, BuildLookAt(kml, scene, camera));
  return head;
}

std::string BuildAircraftPin(const KmlTemplateSet& kml, const RealtimeScene& scene,
                             const RealtimeCamera& camera) {
  const std::string_view separator = scene.separator;
  const FlightSample& s = scene.sample;
  const std::string lat = XmlEscape(KmlDecimalPoint(s.Latitude, separator));
  const std::string lon = XmlEscape(KmlDecimalPoint(s.Longitude, separator));
  const std::string heading = FloorText(RequireNumber(s.Heading, separator));
  std::string pin = kml.PlacemarkPin;
  ReplaceFirstIn(pin, "LATAC", lat);
  ReplaceFirstIn(pin, "LATAC", lat);
  ReplaceFirstIn(pin, "LONAC", lon);
  ReplaceFirstIn(pin, "LONAC", lon);
  ReplaceFirstIn(pin, "NAME",
                 XmlEscape("Your aircraft: alt=" + s.Altitude + " spd=" +
                           FloorText(RequireNumber(s.GroundSpeed, separator)) + " hdg=" + heading));
  ReplaceFirstIn(pin, "HDG", heading);
  ReplaceFirstIn(pin, "RANGE", camera.range);
  if (OnGround(scene)) {
    ReplaceFirstIn(pin, kAbsolute, "<altitude>0</altitude>");
    ReplaceFirstIn(pin, kAbsolute, "<altitude>0</altitude>");
    ReplaceFirstIn(pin, "ALTM", "");
  } else {
    ReplaceFirstIn(pin, "ALTM",
                   "," + PlainText(RequireNumber(s.Altitude, separator) * kMetresPerFoot, "."));
  }
  return ReplaceFirst(kml.Folder, "NAME", "Aircraft position") + pin;
}

}  // namespace sky
