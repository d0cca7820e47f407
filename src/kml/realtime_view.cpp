#include "kml/realtime_view.h"

#include "core/app.h"
#include "core/numtext.h"
#include "core/units.h"
#include "kml/log_records.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

constexpr std::string_view kAbsolute = "<altitudeMode>absolute</altitudeMode>";

bool OnGround(const App& app) {
  return app.sample.OnGround == 1;
}

}  // namespace

RealtimeCamera ComputeRealtimeCamera(App& app) {
  const std::string& separator = app.g.DecimalSeparator;
  const LoggingParameters& p = app.params;
  const int64_t base = Floor64(RequireNumber(app.sample.Heading, separator));
  RealtimeCamera camera;
  if (OnGround(app)) {
    camera.heading = std::to_string(base);
    camera.tilt = std::to_string(p.GNDTilt);
    camera.range = std::to_string(p.GNDRange);
    return camera;
  }

  const double height = RequireNumber(app.sample.HeightAboveGround, separator);
  int offset = 0;
  if (app.g.ChaseView) {
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
  int64_t heading = app.g.ViewRight ? base - offset : base + offset;
  if (heading > 360) heading -= 360;
  if (heading < 0) heading += 360;
  camera.heading = std::to_string(heading);
  return camera;
}

std::string BuildLookAt(App& app, const RealtimeCamera& camera) {
  const std::string& separator = app.g.DecimalSeparator;
  std::string text = app.kml.LookAt;
  ReplaceFirstIn(text, "LATX", XmlEscape(KmlDecimalPoint(app.sample.Latitude, separator)));
  ReplaceFirstIn(text, "LONY", XmlEscape(KmlDecimalPoint(app.sample.Longitude, separator)));
  ReplaceFirstIn(text, "HDG", camera.heading);
  ReplaceFirstIn(text, "RANGE", camera.range);
  ReplaceFirstIn(text, "TILT", camera.tilt);
  return text;
}

std::string BuildLocationDocument(App& app, const RealtimeCamera& camera) {
  std::string head =
      ReplaceFirst(app.kml.KML, "NAME", XmlEscape(app.g.ProductName + " Realtime Chase View"));
  const size_t styleMap = head.find("<StyleMap id=\"msn_ylw-");
  if (styleMap == std::string::npos) throw DataError("the document head has no yellow style");
  head.insert(styleMap, BuildLookAt(app, camera));
  return head;
}

std::string BuildAircraftPin(App& app, const RealtimeCamera& camera) {
  const std::string& separator = app.g.DecimalSeparator;
  const FlightSample& s = app.sample;
  const std::string lat = XmlEscape(KmlDecimalPoint(s.Latitude, separator));
  const std::string lon = XmlEscape(KmlDecimalPoint(s.Longitude, separator));
  const std::string heading = FloorText(RequireNumber(s.Heading, separator));
  std::string pin = app.kml.PlacemarkPin;
  ReplaceFirstIn(pin, "LATAC", lat);
  ReplaceFirstIn(pin, "LATAC", lat);
  ReplaceFirstIn(pin, "LONAC", lon);
  ReplaceFirstIn(pin, "LONAC", lon);
  ReplaceFirstIn(pin, "NAME",
                 XmlEscape("Your aircraft: alt=" + s.Altitude + " spd=" +
                           FloorText(RequireNumber(s.GroundSpeed, separator)) + " hdg=" + heading));
  ReplaceFirstIn(pin, "HDG", heading);
  ReplaceFirstIn(pin, "RANGE", camera.range);
  if (OnGround(app)) {
    ReplaceFirstIn(pin, kAbsolute, "<altitude>0</altitude>");
    ReplaceFirstIn(pin, kAbsolute, "<altitude>0</altitude>");
    ReplaceFirstIn(pin, "ALTM", "");
  } else {
    ReplaceFirstIn(pin, "ALTM",
                   "," + PlainText(RequireNumber(s.Altitude, separator) * kMetresPerFoot, "."));
  }
  return ReplaceFirst(app.kml.Folder, "NAME", "Aircraft position") + pin;
}

}  // namespace sky
