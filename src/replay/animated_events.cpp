#include "replay/animated_events.h"

#include <string>

#include "core/numtext.h"
#include "core/timestamp.h"
#include "kml/event_table.h"
#include "kml/placemarks.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"
#include "replay/stamps.h"

namespace sky {

void InsertAfterName(std::string& text, std::string_view element) {
  const size_t at = text.find("</name>");
  if (at == std::string::npos) throw DataError("a snippet without </name>");
  text.insert(at + 7, element);
}

size_t WriteAnimatedPlacemarks(const KmlTemplateSet& kml, std::string_view separator,
                               std::span<const std::string_view> records, TextSink& out) {
  size_t placemarks = 0;
  EventText event;
  std::string autobrake;
  std::string text;
  WalkEventRecords(records, true, [&](const EventVisit& visit) {
    const RecordFields& fields = *visit.fields;
    CheckStamp(fields[Field::Stamp]);
    const int16_t onGround = ToInt16(fields[Field::OnGround], separator);
    const PlacemarkValues values = ValuesOf(fields, separator);
    const std::string time = "<TimeSpan><begin>" + values.dateTime + "</begin></TimeSpan>";
    if (placemarks++ == 0) out << ReplaceFirst(kml.Folder, "NAME", "Special placemarks");
    event.inAir = false;
    event.warning = false;
    if (visit.code.empty()) {
      event.name.clear();  // a point leaves an empty name for a later unknown code
      const bool air = onGround == 0;
      text = air ? kml.PinDotAir : kml.PinDot;
      InsertAfterName(text, time);
      // The point's time is its time span: a DATETIME in the snippet stays as it is.
      out << FillDataPoint(text, values, false, air);
      return;
    }
    // A code that matches no event keeps the name and description of the previous mark.
    DescribeEvent(visit.code, onGround, separator, autobrake, event);
    text = EventPinSnippet(kml, event.inAir, event.warning);
    InsertAfterName(text, time);
    // Only the airborne pins are searched for the altitude in metres.
    out << FillEventPin(text, event, values, event.inAir);
  });
  return placemarks;
}

void WriteHistoryPath(const KmlTemplateSet& kml, std::string_view separator,
                      std::span<const std::string_view> records, TextSink& out) {
  out << ReplaceFirst(kml.Folder, "NAME", "History Path");
  bool warning = false;
  std::string piece;
  for (size_t i = 0; i < records.size(); ++i) {
    const RecordFields previous(records[i == 0 ? 0 : i - 1], 6);
    const RecordFields current(records[i], 6);
    const std::string begin = NextSecond(current[Field::Stamp]);
    const std::string metres[] = {MetresText(previous[Field::Altitude], separator),
                                  MetresText(current[Field::Altitude], separator)};
    const bool onGround = ToInt16(current[Field::OnGround], separator) == 1;
    if (onGround) {
      piece = ReplaceFirst(kml.PathGND, "NAME", XmlEscape(CorrectDatumTijd(begin)));
      warning = false;
    } else if (warning) {
      piece = ReplaceFirst(kml.PathWarning, "NAME", "Warning!");
    } else {
      piece = ReplaceFirst(kml.Path, "NAME", XmlEscape(CorrectDatumTijd(begin)));
    }
    const size_t name = piece.find("<name>");
    if (name == std::string::npos) throw DataError("a path snippet without <name>");
    piece.insert(name, "<TimeSpan><begin>" + KmlTime(begin, 'Z') + "</begin></TimeSpan>");
    // Both points in the form of the current record.
    for (int p = 0; p < 2; ++p) {
      const RecordFields& point = p == 0 ? previous : current;
      if (p == 1) piece += ' ';
      AppendXmlEscaped(piece, KmlDecimalPoint(point[Field::Longitude], separator));
      piece += ',';
      AppendXmlEscaped(piece, KmlDecimalPoint(point[Field::Latitude], separator));
      if (!onGround) piece.append(",").append(metres[p]);
    }
    piece += kml.PlacemarkEnd;
    out << piece;
    const std::string_view code = current[Field::EventCode];
    if (code == "S" || code == "O") warning = true;
    if (code == "SE" || code == "OE") warning = false;
  }
  out << kml.FolderEnd;
}

}  // namespace sky
