#include "reference.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <vector>

#include "core/app.h"
#include "core/numtext.h"
#include "core/timestamp.h"
#include "instruments/geometry.h"
#include "kml/event_table.h"
#include "kml/placemarks.h"
#include "kml/segments.h"
#include "kml/templates.h"
#include "kml/traffic_kml.h"
#include "kml/xml_escape.h"

namespace sky::test {
namespace {

using Strings = std::vector<std::string>;

// Line by line, empty lines dropped.
Strings Records(const std::string& text) {
  Strings records;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) records.push_back(line);
    start = end + 1;
  }
  return records;
}

Strings Split(const std::string& record) {
  Strings fields;
  size_t start = 0;
  for (size_t colon; (colon = record.find(':', start)) != std::string::npos; start = colon + 1) {
    fields.push_back(record.substr(start, colon - start));
  }
  fields.push_back(record.substr(start));
  return fields;
}

// A stamp plus one second, by the calendar.
std::string PlusOneSecond(const std::string& s) {
  using namespace std::chrono;
  const int y = std::stoi(s.substr(0, 4));
  const unsigned mo = std::stoul(s.substr(4, 2)), d = std::stoul(s.substr(6, 2));
  const sys_seconds moment =
      sys_days{year{y} / month{mo} / day{d}} + hours{std::stoi(s.substr(8, 2))} +
      minutes{std::stoi(s.substr(10, 2))} + seconds{std::stoi(s.substr(12, 2)) + 1};
  const sys_days date = floor<days>(moment);
  const year_month_day ymd{date};
  const hh_mm_ss time{moment - date};
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02u%02u%02ld%02ld%02ld", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
                static_cast<long>(time.seconds().count()));
  return text;
}

std::string Kml(double value) {
  return DefaultText(value, ".");
}

double Number(const std::string& text, const std::string& separator) {
  const auto value = ParseNumber(text, separator);
  if (!value) throw std::invalid_argument(text);
  return *value;
}

std::string Frames(App& app, const Strings& animation, const Strings& log) {
  const KmlTemplateSet& kml = app.kml;
  const std::string& sep = app.g.DecimalSeparator;
  std::string frames;
  std::string previousFrame;
  size_t previousStart = 0;
  for (const std::string& record : animation) {
    const Strings f = Split(record);
    if (f.size() < 12) throw std::invalid_argument("short");
    const std::string t = f[0];
    std::string start = t;
    if (t != previousFrame) {
      if (!previousFrame.empty()) start = previousFrame;
      previousFrame = t;
    }
    frames += "<Folder><TimeSpan><begin>" +
              FormatDigits(PlusOneSecond(start), "0000-00-00T00:00:00Z") + "</begin><end>" +
              FormatDigits(t, "0000-00-00T00:00:00Z") + "</end></TimeSpan><name>" +
              FormatDigits(t, "0000-00-00 00:00:00z") +
              "</name><Style><ListStyle><listItemType>checkHideChildren</listItemType><bgColor>"
              "00ffffff</bgColor></ListStyle></Style>";

    size_t s = previousStart;
    for (size_t j = 1; j < log.size(); ++j) {
      if (j + 1 == log.size() || Split(log[j])[0] >= t) {
        s = j - 1;
        break;
      }
    }
    previousStart = s;
    std::vector<std::string_view> points;
    if (Split(log[s])[0] < t) points.push_back(log[s]);
    points.push_back(record);
    StringSink link;
    WritePathSegments(kml, sep, points, link);
    frames += link.text();

    const double lon = Number(f[1], sep), lat = Number(f[2], sep), alt = Number(f[3], sep);
    const bool ground = Number(f[4], sep) == 1;
    const double hdg = Number(f[11], sep) * 3.14159265 / 180;
    const double n = app.params.PredPathMultiplier;
    const double gs = Number(f[10], sep);
    const double pLon = lon + std::sin(hdg) * LatitudeRate(gs, lon, lat) * n;
    const double pLat = lat + std::cos(hdg) * LongitudeRate(gs, lon, lat) * n;
    const double pAlt = alt + Number(f[9], sep) / 60 * n;
    const std::string lonText = KmlDecimalPoint(f[1], sep), latText = KmlDecimalPoint(f[2], sep);
    frames += ReplaceFirst(ground ? kml.PredictedPathGND : kml.PredictedPath, "NAME",
                           "Predicted Flightpath");
    if (ground) {
      frames += lonText + "," + latText + " " + Kml(pLon) + "," + Kml(pLat);
    } else {
      frames += lonText + "," + latText + "," + Kml(alt * 0.3048) + " " + Kml(pLon) + "," +
                Kml(pLat) + "," + Kml(pAlt * 0.3048);
    }
    frames += kml.PlacemarkEnd;

    std::string pin = kml.PlacemarkPin;
    for (const char* word : {"LATAC", "LATAC"}) pin = ReplaceFirst(pin, word, latText);
    for (const char* word : {"LONAC", "LONAC"}) pin = ReplaceFirst(pin, word, lonText);
    pin = ReplaceFirst(pin, "NAME",
                       XmlEscape("Your aircraft: alt=" + f[3] + " spd=" + f[10] + " hdg=" + f[11]));
    pin = ReplaceFirst(pin, "HDG", f[11]);
    pin = ReplaceFirst(
        pin, "RANGE",
        ground ? std::to_string(app.params.GNDRange) : Kml(Number(f[7], sep) * 1.2 + 500));
    if (ground) {
      for (int i = 0; i < 2; ++i) {
        pin = ReplaceFirst(pin, "<altitudeMode>absolute</altitudeMode>", "<altitude>0</altitude>");
      }
      pin = ReplaceFirst(pin, "ALTM", "");
    } else {
      pin = ReplaceFirst(pin, "ALTM", "," + Kml(alt * 0.3048));
    }
    frames += pin + kml.FolderEnd;
  }
  return frames;
}

std::string AfterName(std::string text, const std::string& element) {
  const size_t at = text.find("</name>");
  if (at == std::string::npos) throw std::invalid_argument("no </name>");
  return text.insert(at + 7, element);
}

std::string SpecialPlacemarks(App& app, const Strings& log) {
  const KmlTemplateSet& kml = app.kml;
  const std::string& sep = app.g.DecimalSeparator;
  std::string text;
  std::vector<std::string_view> records(log.begin(), log.end());
  EventText event;
  std::string autobrake;
  WalkEventRecords(records, true, [&](const EventVisit& v) {
    const PlacemarkValues values = ValuesOf(*v.fields, sep);
    const std::string time = "<TimeSpan><begin>" + values.dateTime + "</begin></TimeSpan>";
    const bool air = Number(std::string((*v.fields)[5]), sep) == 0;
    if (text.empty()) text = ReplaceFirst(kml.Folder, "NAME", "Special placemarks");
    event.inAir = event.warning = false;
    if (v.code.empty()) {
      event.name.clear();
      text += FillDataPoint(AfterName(air ? kml.PinDotAir : kml.PinDot, time), values, false, air);
    } else {
      DescribeEvent(v.code, air ? 0 : 1, sep, autobrake, event);
      text += FillEventPin(AfterName(EventPinSnippet(kml, event.inAir, event.warning), time), event,
                           values, event.inAir);
    }
  });
  return text;
}

std::string HistoryPath(App& app, const Strings& log) {
  const KmlTemplateSet& kml = app.kml;
  const std::string& sep = app.g.DecimalSeparator;
  std::string text = ReplaceFirst(kml.Folder, "NAME", "History Path");
  bool warning = false;
  for (size_t i = 0; i < log.size(); ++i) {
    const Strings p = Split(log[i == 0 ? 0 : i - 1]), c = Split(log[i]);
    const std::string begin = PlusOneSecond(c[0]);
    const bool ground = c[4] == "1";
    std::string piece;
    if (!ground) {
      piece = warning ? ReplaceFirst(kml.PathWarning, "NAME", "Warning!")
                      : ReplaceFirst(kml.Path, "NAME", CorrectDatumTijd(begin));
    } else {
      piece = ReplaceFirst(kml.PathGND, "NAME", CorrectDatumTijd(begin));
      warning = false;
    }
    piece.insert(
        piece.find("<name>"),
        "<TimeSpan><begin>" + FormatDigits(begin, "0000-00-00T00:00:00Z") + "</begin></TimeSpan>");
    auto point = [&](const Strings& r) {
      std::string text = KmlDecimalPoint(r[1], sep) + "," + KmlDecimalPoint(r[2], sep);
      if (!ground) text += "," + KmlDecimalPoint(DefaultText(Number(r[3], sep) * 0.3048, sep), sep);
      return text;
    };
    text += piece + point(p) + " " + point(c) + kml.PlacemarkEnd;
    if (c[5] == "S" || c[5] == "O") warning = true;
    if (c[5] == "SE" || c[5] == "OE") warning = false;
  }
  return text + kml.FolderEnd;
}

std::string Traffic(App& app, const Strings& traffic) {
  const KmlTemplateSet& kml = app.kml;
  const std::string& sep = app.g.DecimalSeparator;
  const double n = app.params.PredPathMultiplierTCAS;
  std::string text;
  std::string recording, preceding;
  for (const std::string& record : traffic) {
    const Strings f = Split(record);
    if (f[0] != recording) {
      preceding = recording;
      recording = f[0];
    }
    if (f[1].empty()) continue;
    if (f.size() < 12) throw std::invalid_argument("short");
    const std::string previous = f[11].empty() ? preceding : f[11];
    const std::string begin =
        !previous.empty() && previous != "-" && previous != f[0] ? PlusOneSecond(previous) : f[0];
    const std::string element = "<TimeSpan><begin>" + FormatDigits(begin, "0000-00-00T00:00:00Z") +
                                "</begin><end>" + FormatDigits(f[0], "0000-00-00T00:00:00Z") +
                                "</end></TimeSpan>";
    const double lat = Number(f[2], sep), lon = Number(f[3], sep), alt = Number(f[4], sep);
    const double hdg = Number(f[5], sep), spd = Number(f[6], sep), vs = Number(f[8], sep);
    const double latStep = spd / 3600 / GreatCircleDistance(lat, lon, lat + 1, lon, false);
    const double lonStep = spd / 3600 / GreatCircleDistance(lat, lon, lat, lon + 1, false);
    const double g = -(hdg + 180) * (3.14159265 / 180);
    const std::string callsign = XmlEscape(f[7]);
    const char* const snippets[] = {"", " ;Getting Close", " ;Close", " ;Too close"};
    const std::string* classes[] = {&kml.KMLTCASBlue, &kml.KMLTCASYellow, &kml.KMLTCASOrange,
                                    &kml.KMLTCASRed};
    const int level = std::stoi(f[9]);
    const int c = level >= 2 && level <= 4 ? level - 1 : 0;
    text += AfterName(
        ReplaceFirst(*classes[c], "NAME", "Predicted Flightpath " + callsign + snippets[c]),
        element);
    text += Kml(lon) + "," + Kml(lat) + "," + Kml(alt * 0.3048) + " " +
            Kml(lon - std::sin(g) * lonStep * n) + "," + Kml(lat + std::cos(g) * latStep * n) +
            "," + Kml((alt + vs / 60 * n) * 0.3048) + kml.PlacemarkEnd;
    std::string pin = kml.PlacemarkPinSmallAir;
    pin = ReplaceFirst(pin, "NAME", callsign + " " + XmlEscape(f[10]));
    pin = ReplaceFirst(pin, "DESC", "AI/Online traffic: " + callsign);
    pin = ReplaceFirst(pin, "KIAS", "-");
    pin = ReplaceFirst(pin, "HDG", f[5].substr(0, f[5].find('.')));
    pin = ReplaceFirst(pin, "SPDTAS", "-");
    pin = ReplaceFirst(pin, "GNDSPD", f[6]);
    pin = ReplaceFirst(pin, "VERTSPEED", f[8]);
    pin = ReplaceFirst(pin, "ALT", f[4]);
    pin = ReplaceFirst(pin, "ALTAGL", "-");
    pin = ReplaceFirst(pin, "TIME", FormatDigits(f[0].substr(8, 6), "00:00:00"));
    pin = ReplaceFirst(pin, "DATE",
                       f[0].substr(6, 2) + "-" + f[0].substr(4, 2) + "-" + f[0].substr(0, 4));
    pin = AfterName(pin, element);
    pin = ReplaceFirst(pin, "LATX", Kml(lat));
    pin = ReplaceFirst(pin, "LONY", Kml(lon));
    text += ReplaceFirst(pin, "ALTM", Kml(alt * 0.3048));
  }
  return text;
}

}  // namespace

std::string ReferenceAnimation(App& app, const std::string& animationLog,
                               const std::string& flightLog, const std::string& trafficLog) {
  const KmlTemplateSet& kml = app.kml;
  try {
    const Strings animation = Records(animationLog);
    const Strings log = Records(flightLog);
    if (animation.empty() || log.empty()) return "";
    const std::string firstLine = trafficLog.substr(0, trafficLog.find_first_of("\r\n"));
    const bool traffic = !firstLine.empty() && firstLine[0] != ',';

    std::string text = ReplaceFirst(kml.Folder, "NAME", "Animation");
    text += Frames(app, animation, log);
    text += ReplaceFirst(kml.Folder, "NAME", "Animated flight data");
    text += SpecialPlacemarks(app, log) + kml.FolderEnd;
    text += HistoryPath(app, log);
    if (traffic) {
      text += ReplaceFirst(kml.Folder, "NAME", "Animated AI/Online traffic") +
              Traffic(app, Records(trafficLog)) + kml.FolderEnd;
    }
    text += kml.FolderEnd + kml.FolderEnd;
    if (const size_t check = text.find(">check<"); check != std::string::npos) {
      text.replace(check, 7, ">checkHideChildren<");
    }
    if (const size_t name = text.find("</name>"); name != std::string::npos) {
      text.insert(name + 7, "<visibility>0</visibility>");
    }
    return text;
  } catch (const std::exception&) {
    return "";
  }
}

}  // namespace sky::test
