#include "kml/placemarks.h"

#include "core/numtext.h"
#include "kml/event_table.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

// Characters from 1-based position `start`, at most `length` of them.
std::string_view Mid(std::string_view text, size_t start, size_t length) {
  return start > text.size() ? std::string_view() : text.substr(start - 1, length);
}

void FillCommon(std::string& text, const PlacemarkValues& v) {
  ReplaceFirstIn(text, "KIAS", v.kias);
  ReplaceFirstIn(text, "HDG", v.heading);
  ReplaceFirstIn(text, "SPDTAS", v.tas);
  ReplaceFirstIn(text, "GNDSPD", v.groundSpeed);
  ReplaceFirstIn(text, "VERTSPEED", v.verticalSpeed);
  ReplaceFirstIn(text, "ALT", v.altitude);
  ReplaceFirstIn(text, "ALTAGL", v.heightAboveGround);
  ReplaceFirstIn(text, "TIME", v.time);
  ReplaceFirstIn(text, "DATE", v.date);
}

std::string FlightDataOpening(const KmlTemplateSet& kml) {
  std::string opening = ReplaceFirst(kml.Folder, "NAME", "Flight data");
  // A check list that hides its children: Google Earth shows the folder without its points.
  ReplaceFirstIn(opening, "Type>check<", "Type>checkHideChildren<");
  return opening;
}

enum class Part { Pins, DataPoints };

// One pass of the event walk writing either the pins or the points; returns whether it wrote any.
// The pin pass also fills the first point of each kind once, so that a point snippet that cannot
// be filled fails the document even when no point is written.
bool WritePart(const KmlTemplateSet& kml, std::string_view separator,
               std::span<const std::string_view> records, bool convertMode, Part part,
               TextSink& out) {
  bool opened = false;
  bool checkedGroundPoint = false;
  bool checkedAirPoint = false;
  EventText event;
  std::string autobrake;
  WalkEventRecords(records, convertMode, [&](const EventVisit& visit) {
    const int16_t onGround = ToInt16((*visit.fields)[5], separator);
    event.inAir = false;
    event.warning = false;
    if (visit.code.empty()) {
      event.name.clear();
      const bool air = onGround == 0;
      if (part == Part::DataPoints) {
        if (!opened) out << FlightDataOpening(kml);
        opened = true;
        out << FillDataPoint(air ? kml.PinDotAir : kml.PinDot, ValuesOf(*visit.fields, separator));
      } else if (!(air ? checkedAirPoint : checkedGroundPoint)) {
        FlightDataOpening(kml);
        FillDataPoint(air ? kml.PinDotAir : kml.PinDot, ValuesOf(*visit.fields, separator));
        (air ? checkedAirPoint : checkedGroundPoint) = true;
      }
      return;
    }
    if (part != Part::Pins) return;
    // A code that matches no event keeps the name and description of the previous mark.
    DescribeEvent(visit.code, onGround, separator, autobrake, event);
    if (!opened) out << ReplaceFirst(kml.Folder, "NAME", "Special placemarks");
    opened = true;
    out << FillEventPin(EventPinSnippet(kml, event.inAir, event.warning), event,
                        ValuesOf(*visit.fields, separator));
  });
  return opened;
}

}  // namespace

PlacemarkValues ValuesOf(const RecordFields& f, std::string_view separator) {
  PlacemarkValues v;
  v.kias = XmlEscape(f[7]);
  v.heading = XmlEscape(f[12]);
  v.tas = XmlEscape(f[9]);
  v.groundSpeed = XmlEscape(f[11]);
  v.verticalSpeed = XmlEscape(f[10]);
  v.altitude = XmlEscape(f[4]);
  v.heightAboveGround = XmlEscape(f[8]);
  const std::string_view stamp = f[1];
  v.time = XmlEscape(FormatDigits(Mid(stamp, 9, 6), "00:00:00"));
  std::string date(Mid(stamp, 7, 2));
  date.append("-").append(Mid(stamp, 5, 2)).append("-").append(Mid(stamp, 1, 4));
  v.date = XmlEscape(date);
  v.dateTime = XmlEscape(FormatDigits(stamp, "0000-00-00T00:00:00z"));
  v.lon = XmlEscape(KmlDecimalPoint(f[2], separator));
  v.lat = XmlEscape(KmlDecimalPoint(f[3], separator));
  v.altitudeMetres = MetresText(f[4], separator);
  return v;
}

std::string FillEventPin(const std::string& snippet, const EventText& event,
                         const PlacemarkValues& values, bool altitudeMetres) {
  std::string text = snippet;
  ReplaceFirstIn(text, "DESC", event.description);
  FillCommon(text, values);
  ReplaceFirstIn(text, "NAME", event.name);
  ReplaceFirstIn(text, "LONY", values.lon);
  ReplaceFirstIn(text, "LATX", values.lat);
  if (altitudeMetres) ReplaceFirstIn(text, "ALTM", values.altitudeMetres);
  return text;
}

std::string FillDataPoint(const std::string& snippet, const PlacemarkValues& values, bool dateTime,
                          bool altitudeMetres) {
  std::string text = snippet;
  if (dateTime && text.find("DATETIME") != std::string::npos) {
    ReplaceFirstIn(text, "DATETIME", values.dateTime);
  }
  FillCommon(text, values);
  ReplaceFirstIn(text, "NAME", "");
  ReplaceFirstIn(text, "LONY", values.lon);
  ReplaceFirstIn(text, "LATX", values.lat);
  if (altitudeMetres) ReplaceFirstIn(text, "ALTM", values.altitudeMetres);
  return text;
}

void WriteSpecialPlacemarks(const KmlTemplateSet& kml, std::string_view separator,
                            std::span<const std::string_view> records, bool convertMode,
                            TextSink& out) {
  if (!WritePart(kml, separator, records, convertMode, Part::Pins, out)) return;
  if (WritePart(kml, separator, records, convertMode, Part::DataPoints, out)) out << kml.FolderEnd;
  out << kml.FolderEnd;
}

}  // namespace sky
