#include "kml/segments.h"

#include <optional>
#include <string>

#include "core/numtext.h"
#include "core/timestamp.h"
#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

// The path openings, filled on first use (a snippet that is never needed is never searched).
class Openings {
 public:
  explicit Openings(const KmlTemplateSet& kml) : kml_(kml) {}
  const std::string& Ground() { return Fill(ground_, kml_.PathGND, "On Ground"); }
  const std::string& Air() { return Fill(air_, kml_.Path, "In the air"); }
  std::string Warning(std::string_view name) {
    return ReplaceFirst(kml_.PathWarning, "NAME", name);
  }

 private:
  static const std::string& Fill(std::optional<std::string>& cache, const std::string& snippet,
                                 std::string_view name) {
    if (!cache) cache = ReplaceFirst(snippet, "NAME", name);
    return *cache;
  }
  const KmlTemplateSet& kml_;
  std::optional<std::string> ground_;
  std::optional<std::string> air_;
};

void AppendTuple(std::string& out, std::string_view lon, std::string_view lat,
                 std::string_view altitudeMetres, bool onGround) {
  out.append(lon).append(",").append(lat);
  if (!onGround) out.append(",").append(altitudeMetres);
  out.append(" ");
}

}  // namespace

void WritePathSegments(const KmlTemplateSet& kml, std::string_view separator,
                       std::span<const std::string_view> records, TextSink& out) {
  Openings openings(kml);
  int segment = -1;
  int16_t segmentOnGround = 0;
  bool warningStart = false;
  bool justSwitched = false;
  std::string warningName;
  std::string tuple;
  auto nextSegment = [&segment] {
    if (segment == INT16_MAX) throw KmlDataError("too many segments");
    ++segment;
  };

  const long last = static_cast<long>(records.size()) - 1;
  for (long i = 0; i <= last; ++i) {
    const std::string_view record = records[static_cast<size_t>(i)];
    const RecordFields field(record, 6);

    if (StartsLoggingRun(record) || i == 0) {
      if (segment != -1) out << kml.PlacemarkEnd << kml.FolderEnd;
      nextSegment();
      out << ReplaceFirst(kml.Folder, "NAME",
                          XmlEscape("FlightLog " + CorrectDatumTijd(std::string(field[1]))));
      segmentOnGround = ToInt16(field[5], separator);
      out << (segmentOnGround == 1 ? openings.Ground() : openings.Air());
    }

    const std::string lon = XmlEscape(KmlDecimalPoint(field[2], separator));
    const std::string lat = XmlEscape(KmlDecimalPoint(field[3], separator));
    const std::string metres = MetresText(field[4], separator);
    const int16_t onGround = ToInt16(field[5], separator);
    const std::string_view code = field[6];

    if (onGround == segmentOnGround) {
      tuple.clear();
      AppendTuple(tuple, lon, lat, metres, onGround == 1);
      out << tuple;
      if ((code == "O" || code == "S") && !justSwitched) {
        warningStart = true;
      } else if ((code == "OE" || code == "SE") && !justSwitched) {
        warningStart = false;
      } else {
        justSwitched = false;
        segmentOnGround = onGround;
        continue;
      }
    }

    // Switch segments: this record ends the old one and, processed once more, starts the next.
    if (warningStart) {
      if (code == "O") warningName = "Overspeed!!";
      if (code == "S") warningName = "Stall!!";
    }
    justSwitched = true;
    tuple.clear();
    AppendTuple(tuple, lon, lat, metres, segmentOnGround == 1);
    out << tuple;
    if (onGround == 1) warningStart = false;  // no warning segments on the ground
    segmentOnGround = onGround;
    out << kml.PlacemarkEnd;
    nextSegment();
    --i;
    if (warningStart) {
      out << openings.Warning(warningName);
    } else {
      out << (onGround == 1 ? openings.Ground() : openings.Air());
    }
  }
  out << kml.PlacemarkEnd << kml.FolderEnd;
}

}  // namespace sky
