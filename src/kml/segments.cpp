#include "kml/segments.h"

#include <string>

#include "core/numtext.h"
#include "core/timestamp.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

void AppendTuple(std::string& out, std::string_view lon, std::string_view lat,
                 std::string_view altitudeMetres, bool onGround) {
  out.append(lon).append(",").append(lat);
  if (!onGround) out.append(",").append(altitudeMetres);
  out.append(" ");
}

}  // namespace

PathSegmentWriter::PathSegmentWriter(const KmlTemplateSet& kml, std::string_view separator)
    : kml_(&kml), separator_(separator) {}

const std::string& PathSegmentWriter::Ground() {
  if (!ground_) ground_ = ReplaceFirst(kml_->PathGND, "NAME", "On Ground");
  return *ground_;
}

const std::string& PathSegmentWriter::Air() {
  if (!air_) air_ = ReplaceFirst(kml_->Path, "NAME", "In the air");
  return *air_;
}

void PathSegmentWriter::Add(std::string_view record, TextSink& out) {
  const KmlTemplateSet& kml = *kml_;
  const RecordFields field(record, 6);
  // Processed once more after a switch, the record passes this test again.
  const bool runStarts = StartsLoggingRun(record) || records_ == 0;
  ++records_;
  auto nextSegment = [this] {
    if (segment_ == INT16_MAX) throw DataError("too many segments");
    ++segment_;
  };
  std::string tuple;
  for (;;) {
    if (runStarts) {
      if (segment_ != -1) out << kml.PlacemarkEnd << kml.FolderEnd;
      nextSegment();
      out << ReplaceFirst(
          kml.Folder, "NAME",
          XmlEscape("FlightLog " + CorrectDatumTijd(std::string(field[Field::Stamp]))));
      segmentOnGround_ = ToInt16(field[Field::OnGround], separator_);
      out << (segmentOnGround_ == 1 ? Ground() : Air());
    }

    const std::string lon = XmlEscape(KmlDecimalPoint(field[Field::Longitude], separator_));
    const std::string lat = XmlEscape(KmlDecimalPoint(field[Field::Latitude], separator_));
    const std::string metres = MetresText(field[Field::Altitude], separator_);
    const int16_t onGround = ToInt16(field[Field::OnGround], separator_);
    const std::string_view code = field[Field::EventCode];

    if (onGround == segmentOnGround_) {
      tuple.clear();
      AppendTuple(tuple, lon, lat, metres, onGround == 1);
      out << tuple;
      if ((code == "O" || code == "S") && !justSwitched_) {
        warningStart_ = true;
      } else if ((code == "OE" || code == "SE") && !justSwitched_) {
        warningStart_ = false;
      } else {
        justSwitched_ = false;
        segmentOnGround_ = onGround;
        return;
      }
    }

    // Switch segments: this record ends the old one and, processed once more, starts the next.
    if (warningStart_) {
      if (code == "O") warningName_ = "Overspeed!!";
      if (code == "S") warningName_ = "Stall!!";
    }
    justSwitched_ = true;
    tuple.clear();
    AppendTuple(tuple, lon, lat, metres, segmentOnGround_ == 1);
    out << tuple;
    if (onGround == 1) warningStart_ = false;  // no warning segments on the ground
    segmentOnGround_ = onGround;
    out << kml.PlacemarkEnd;
    nextSegment();
    if (warningStart_) {
      out << ReplaceFirst(kml.PathWarning, "NAME", warningName_);
    } else {
      out << (onGround == 1 ? Ground() : Air());
    }
  }
}

void PathSegmentWriter::Finish(TextSink& out) const {
  out << kml_->PlacemarkEnd << kml_->FolderEnd;
}

void WritePathSegments(const KmlTemplateSet& kml, std::string_view separator,
                       std::span<const std::string_view> records, TextSink& out) {
  PathSegmentWriter writer(kml, separator);
  for (const std::string_view record : records) writer.Add(record, out);
  writer.Finish(out);
}

}  // namespace sky
