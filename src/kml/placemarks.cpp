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

// One pass of the event walk writing either the pins or the points; returns whether it wrote any.
bool WritePart(const KmlTemplateSet& kml, std::string_view separator,
               std::span<const std::string_view> records, bool convertMode, MarkPart part,
               TextSink& out) {
  EventMarkWriter writer(kml, separator, part);
  WalkEventRecords(records, convertMode,
                   [&writer, &out](const EventVisit& visit) { writer.Add(visit, out); });
  return writer.wrote();
}

}  // namespace

PlacemarkValues ValuesOf(const RecordFields& f, std::string_view separator) {
  PlacemarkValues v;
  v.kias = XmlEscape(f[Field::IndicatedAirspeed]);
  v.heading = XmlEscape(f[Field::Heading]);
  v.tas = XmlEscape(f[Field::TrueAirspeed]);
  v.groundSpeed = XmlEscape(f[Field::GroundSpeed]);
  v.verticalSpeed = XmlEscape(f[Field::VerticalSpeed]);
  v.altitude = XmlEscape(f[Field::Altitude]);
  v.heightAboveGround = XmlEscape(f[Field::HeightAboveGround]);
  const std::string_view stamp = f[Field::Stamp];
  v.time = XmlEscape(FormatDigits(Mid(stamp, 9, 6), "00:00:00"));
  std::string date(Mid(stamp, 7, 2));
  date.append("-").append(Mid(stamp, 5, 2)).append("-").append(Mid(stamp, 1, 4));
  v.date = XmlEscape(date);
  v.dateTime = XmlEscape(FormatDigits(stamp, "0000-00-00T00:00:00z"));
  v.lon = XmlEscape(KmlDecimalPoint(f[Field::Longitude], separator));
  v.lat = XmlEscape(KmlDecimalPoint(f[Field::Latitude], separator));
  v.altitudeMetres = MetresText(f[Field::Altitude], separator);
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

EventMarkWriter::EventMarkWriter(const KmlTemplateSet& kml, std::string_view separator,
                                 MarkPart part)
    : kml_(&kml), separator_(separator), part_(part) {}

void EventMarkWriter::Add(const EventVisit& visit, TextSink& out) {
  const KmlTemplateSet& kml = *kml_;
  const int16_t onGround = ToInt16((*visit.fields)[Field::OnGround], separator_);
  event_.inAir = false;
  event_.warning = false;
  if (visit.code.empty()) {
    event_.name.clear();
    const bool air = onGround == 0;
    if (part_ == MarkPart::DataPoints) {
      if (!opened_) out << FlightDataOpening(kml);
      opened_ = true;
      out << FillDataPoint(air ? kml.PinDotAir : kml.PinDot, ValuesOf(*visit.fields, separator_));
    } else if (!(air ? checkedAirPoint_ : checkedGroundPoint_)) {
      FlightDataOpening(kml);
      FillDataPoint(air ? kml.PinDotAir : kml.PinDot, ValuesOf(*visit.fields, separator_));
      (air ? checkedAirPoint_ : checkedGroundPoint_) = true;
    }
    return;
  }
  if (part_ != MarkPart::Pins) return;
  // A code that matches no event keeps the name and description of the previous mark.
  DescribeEvent(visit.code, onGround, separator_, autobrake_, event_);
  if (!opened_) out << ReplaceFirst(kml.Folder, "NAME", "Special placemarks");
  opened_ = true;
  out << FillEventPin(EventPinSnippet(kml, event_.inAir, event_.warning), event_,
                      ValuesOf(*visit.fields, separator_));
}

void WriteSpecialPlacemarks(const KmlTemplateSet& kml, std::string_view separator,
                            std::span<const std::string_view> records, bool convertMode,
                            TextSink& out) {
  if (!WritePart(kml, separator, records, convertMode, MarkPart::Pins, out)) return;
  if (WritePart(kml, separator, records, convertMode, MarkPart::DataPoints, out)) {
    out << kml.FolderEnd;
  }
  out << kml.FolderEnd;
}

}  // namespace sky
