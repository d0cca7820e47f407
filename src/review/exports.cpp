#include "review/exports.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/units.h"
#include "kml/event_table.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

constexpr double kMetresPerSecondPerKnot = kMetresPerNauticalMile / kSecondsPerHour;

std::string Unescaped(std::string text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (std::string_view(text).substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  // Valid UTF-8 only, without the control characters XML refuses.
  const std::string clean = Unescaped(XmlEscape(text));
  for (const char c : clean) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

double Course(double headingDeg) {
  const double course = std::fmod(headingDeg, 360.0);
  return course < 0 ? course + 360 : course;
}

std::string Lat(double value) {
  return Fixed(value, 7);
}

// GPX wants a longitude from -180 up to but not including 180.
std::string Lon(double value) {
  return Fixed(value >= 180 ? value - 360 : value, 7);
}

void Gpx(std::string& out, const Track& track, std::string_view name) {
  const std::string title = XmlEscape(name);
  out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"Skytrace flightlogger\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\" "
      "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n";
  out += "<metadata><name>" + title + "</name>";
  if (!track.points.empty()) out += "<time>" + IsoTime(track.points.front().stamp) + "</time>";
  out += "</metadata>\n";
  for (const TrackPoint& p : track.points) {
    if (p.code.empty()) continue;
    out += "<wpt lat=\"" + Lat(p.latitudeDeg) + "\" lon=\"" + Lon(p.longitudeDeg) + "\"><ele>" +
           Fixed(p.altitudeFt * kMetresPerFoot, 1) + "</ele><time>" + IsoTime(p.stamp) +
           "</time><name>" + XmlEscape(EventName(p)) + "</name><type>" + XmlEscape(p.code) +
           "</type></wpt>\n";
  }
  out += "<trk><name>" + title + "</name>\n";
  for (const auto& [first, last] : TrackSegments(track)) {
    out += "<trkseg>\n";
    for (size_t i = first; i < last; ++i) {
      const TrackPoint& p = track.points[i];
      out += "<trkpt lat=\"" + Lat(p.latitudeDeg) + "\" lon=\"" + Lon(p.longitudeDeg) + "\"><ele>" +
             Fixed(p.altitudeFt * kMetresPerFoot, 1) + "</ele><time>" + IsoTime(p.stamp) +
             "</time><extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>" +
             Fixed(std::max(0.0, p.groundSpeedKt) * kMetresPerSecondPerKnot, 2) +
             "</gpxtpx:speed><gpxtpx:course>" + Fixed(Course(p.headingDeg), 1) +
             "</gpxtpx:course></gpxtpx:TrackPointExtension></extensions></trkpt>\n";
    }
    out += "</trkseg>\n";
  }
  out += "</trk>\n</gpx>\n";
}

// "DDMMmmmN" or "DDDMMmmmE": degrees, minutes and thousandths of a minute.
std::string IgcAngle(double value, int degreeDigits, char positive, char negative) {
  const long thousandths = std::lround(std::fabs(value) * 60000);
  char text[48];
  std::snprintf(text, sizeof text, "%0*ld%05ld%c", degreeDigits, thousandths / 60000,
                thousandths % 60000, value < 0 ? negative : positive);
  return text;
}

std::string IgcAltitude(double feet) {
  const long metres = std::clamp(std::lround(feet * kMetresPerFoot), -9999L, 99999L);
  char text[24];
  if (metres < 0) {
    std::snprintf(text, sizeof text, "-%04ld", -metres);
  } else {
    std::snprintf(text, sizeof text, "%05ld", metres);
  }
  return text;
}

// IGC is plain ASCII: anything else in a typed name becomes "?".
std::string IgcText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte >= 0x20 && byte < 0x7F ? c : '?';
  }
  return out;
}

void Igc(std::string& out, const Track& track, std::string_view name) {
  const std::string iso = track.points.empty() ? "2000-01-01" : IsoTime(track.points[0].stamp);
  const std::string date = iso.substr(8, 2) + iso.substr(5, 2) + iso.substr(2, 2);
  out += "AXSKSKYTRACE Skytrace flightlogger\r\n";
  out += "HFDTEDATE:" + date + ",01\r\n";
  out += "HFFXA035\r\n";
  out += "HFPLTPILOTINCHARGE:\r\n";
  out += "HFCM2CREW2:NIL\r\n";
  out += "HFGTYGLIDERTYPE:Simulator\r\n";
  out += "HFGIDGLIDERID:" + IgcText(name) + "\r\n";
  out += "HFDTMGPSDATUM:WGS84\r\n";
  out += "HFRFWFIRMWAREVERSION:1.0.0\r\n";
  out += "HFRHWHARDWAREVERSION:Simulator\r\n";
  out += "HFFTYFRTYPE:Skytrace,flightlogger\r\n";
  out += "HFGPSRECEIVER:Simulator\r\n";
  out += "HFPRSPRESSALTSENSOR:Simulator\r\n";
  out += "HFALGALTGPS:GEO\r\n";
  out += "HFALPALTPRESSURE:ISA\r\n";
  for (const TrackPoint& p : track.points) {
    const std::string time = IsoTime(p.stamp);
    const std::string hhmmss = time.substr(11, 2) + time.substr(14, 2) + time.substr(17, 2);
    if (!p.code.empty()) out += "LXSK" + hhmmss + " " + IgcText(EventName(p)) + "\r\n";
    out += "B" + hhmmss + IgcAngle(p.latitudeDeg, 2, 'N', 'S') +
           IgcAngle(p.longitudeDeg, 3, 'E', 'W') + "A" + IgcAltitude(p.altitudeFt) +
           IgcAltitude(p.altitudeFt) + "\r\n";
  }
}

std::string Position(const TrackPoint& p) {
  return "[" + Fixed(p.longitudeDeg, 6) + "," + Fixed(p.latitudeDeg, 6) + "," +
         Fixed(p.altitudeFt * kMetresPerFoot, 1) + "]";
}

void GeoJson(std::string& out, const Track& track, std::string_view name) {
  out += "{\"type\":\"FeatureCollection\",\"features\":[";
  bool first = true;
  const auto feature = [&out, &first](const std::string& geometry, const std::string& properties) {
    out += first ? "\n" : ",\n";
    first = false;
    out +=
        "{\"type\":\"Feature\",\"geometry\":" + geometry + ",\"properties\":{" + properties + "}}";
  };
  for (const auto& [begin, end] : TrackSegments(track)) {
    if (end - begin < 2) continue;  // a line needs two positions
    std::string line = "{\"type\":\"LineString\",\"coordinates\":[";
    for (size_t i = begin; i < end; ++i) {
      if (i > begin) line += ",";
      line += Position(track.points[i]);
    }
    feature(line + "]}", "\"kind\":\"track\",\"name\":" + JsonString(name) + ",\"start\":\"" +
                             IsoTime(track.points[begin].stamp) + "\",\"end\":\"" +
                             IsoTime(track.points[end - 1].stamp) + "\"");
  }
  for (const TrackPoint& p : track.points) {
    if (p.code.empty()) continue;
    feature("{\"type\":\"Point\",\"coordinates\":" + Position(p) + "}",
            "\"kind\":\"event\",\"code\":" + JsonString(p.code) +
                ",\"name\":" + JsonString(EventName(p)) + ",\"time\":\"" + IsoTime(p.stamp) + "\"");
  }
  out += "\n]}\n";
}

void Csv(std::string& out, const Track& track) {
  out +=
      "time_utc,latitude_deg,longitude_deg,altitude_ft,height_above_ground_ft,on_ground,"
      "indicated_airspeed_kt,true_airspeed_kt,vertical_speed_fpm,ground_speed_kt,"
      "heading_deg_true,event,source\r\n";
  for (const TrackPoint& p : track.points) {
    out += IsoTime(p.stamp) + "," + Fixed(p.latitudeDeg, 7) + "," + Fixed(p.longitudeDeg, 7) + "," +
           Fixed(p.altitudeFt, 0) + "," + Fixed(p.heightFt, 0) + "," + (p.onGround ? "1" : "0") +
           "," + Fixed(p.iasKt, 0) + "," + Fixed(p.tasKt, 0) + "," + Fixed(p.verticalSpeedFpm, 0) +
           "," + Fixed(p.groundSpeedKt, 0) + "," + Fixed(p.headingDeg, 0) + "," + p.code + "," +
           (p.fromAnimation ? (p.fromFlightLog ? "both" : "animation") : "flightlog") + "\r\n";
  }
}

}  // namespace

std::string_view ExportExtension(ExportFormat format) {
  switch (format) {
    case ExportFormat::Gpx:
      return ".gpx";
    case ExportFormat::Igc:
      return ".igc";
    case ExportFormat::GeoJson:
      return ".geojson";
    case ExportFormat::Csv:
      break;
  }
  return ".csv";
}

void WriteExport(std::string& out, ExportFormat format, const Track& track, std::string_view name) {
  switch (format) {
    case ExportFormat::Gpx:
      return Gpx(out, track, name);
    case ExportFormat::Igc:
      return Igc(out, track, name);
    case ExportFormat::GeoJson:
      return GeoJson(out, track, name);
    case ExportFormat::Csv:
      return Csv(out, track);
  }
}

std::string EventName(const TrackPoint& point) {
  std::string autobrake;
  EventText text;
  try {
    if (DescribeEvent(point.code, point.onGround ? 1 : 0, ".", autobrake, text)) {
      return Unescaped(text.name);
    }
  } catch (const DataError&) {
  }
  return point.code;
}

std::vector<std::pair<size_t, size_t>> TrackSegments(const Track& track) {
  std::vector<std::pair<size_t, size_t>> segments;
  const auto& points = track.points;
  size_t begin = 0;
  for (size_t i = 1; i <= points.size(); ++i) {
    if (i == points.size() || points[i].startsRun ||
        points[i].seconds - points[i - 1].seconds > 60) {
      if (i > begin) segments.emplace_back(begin, i);
      begin = i;
    }
  }
  return segments;
}

}  // namespace sky
