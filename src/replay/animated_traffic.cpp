#include "replay/animated_traffic.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "core/numtext.h"
#include "core/ports.h"
#include "core/units.h"
#include "kml/templates.h"
#include "kml/traffic_kml.h"
#include "kml/xml_escape.h"
#include "replay/animated_events.h"
#include "replay/log_reader.h"
#include "replay/stamps.h"

namespace sky {
namespace {

double Number(std::string_view text, std::string_view separator) {
  const auto value = ParseNumber(text, separator);
  if (!value) throw DataError("not a number: " + std::string(text.substr(0, 32)));
  return *value;
}

void AppendNumber(std::string& out, double value) {
  out += DefaultText(value, ".");
}

// The fields of a traffic record. The call sign is everything between the seventh field and the
// last four, so that a ":" inside it does not shift the fields after it.
struct TrafficRecord {
  std::string_view stamp, id, lat, lon, alt, heading, speed, callsign, verticalSpeed, level,
      relative, previous;

  // False for a record without an ID (it draws nothing); throws DataError for a record with
  // fewer than twelve fields.
  bool Parse(std::string_view record) {
    std::array<size_t, 12> colons{};
    size_t count = 0;  // colons found, the first seven and then the last four kept
    for (size_t at = record.find(':'); at != std::string_view::npos;
         at = record.find(':', at + 1)) {
      if (count < 7) {
        colons[count] = at;
      } else {
        // Slots 7 to 10 hold the last four colons, in a ring.
        colons[7 + (count - 7) % 4] = at;
      }
      ++count;
    }
    if (count == 0) throw DataError("a traffic record without fields");
    auto field = [&](size_t from, size_t to) { return record.substr(from, to - from); };
    stamp = field(0, colons[0]);
    id = count >= 2 ? field(colons[0] + 1, colons[1]) : field(colons[0] + 1, record.size());
    if (id.empty()) return false;
    if (count < 11) throw DataError("a traffic record with too few fields");
    // The last four colons, in order.
    size_t last[4];
    for (size_t i = 0; i < 4; ++i) last[i] = colons[7 + (count - 7 + i) % 4];
    lat = field(colons[1] + 1, colons[2]);
    lon = field(colons[2] + 1, colons[3]);
    alt = field(colons[3] + 1, colons[4]);
    heading = field(colons[4] + 1, colons[5]);
    speed = field(colons[5] + 1, colons[6]);
    callsign = field(colons[6] + 1, last[0]);
    verticalSpeed = field(last[0] + 1, last[1]);
    level = field(last[1] + 1, last[2]);
    relative = field(last[2] + 1, last[3]);
    previous = field(last[3] + 1, record.size());
    return true;
  }
};

// The time span of one recording, the same for all its records.
class RecordingTimes {
 public:
  // Every record passes here, drawn or not: the recordings follow one another in the file.
  void Note(std::string_view stamp) {
    if (stamp != current_) {
      preceding_ = current_;
      current_ = stamp;
    }
  }

  // The texts for a record to draw, from its stamps as written. An empty previous stamp (a
  // recording made with an event) is the stamp of the recording before.
  void Update(std::string_view stamp, std::string_view previous) {
    Note(stamp);
    const std::string_view effective = previous.empty() ? std::string_view(preceding_) : previous;
    if (valid_ && stamp == stamp_ && effective == previous_) return;
    valid_ = false;
    CheckStamp(stamp);
    stamp_ = stamp;
    previous_ = effective;
    const bool after = !effective.empty() && effective != "-" && effective != stamp;
    const std::string begin = after ? NextSecond(effective) : std::string(stamp);
    element_ = "<TimeSpan><begin>" + KmlTime(begin, 'Z') + "</begin><end>" + KmlTime(stamp, 'Z') +
               "</end></TimeSpan>";
    time_ = FormatDigits(stamp.substr(8, 6), "00:00:00");
    date_.assign(stamp.substr(6, 2)).append("-").append(stamp.substr(4, 2)).append("-");
    date_.append(stamp.substr(0, 4));
    valid_ = true;
  }
  const std::string& element() const { return element_; }
  const std::string& time() const { return time_; }
  const std::string& date() const { return date_; }

 private:
  std::string current_, preceding_;  // recordings as the file lists them
  bool valid_ = false;
  std::string stamp_, previous_;  // what the texts below were made for
  std::string element_, time_, date_;
};

// A snippet with its placeholders found once: the words are replaced one after another, each at
// its first occurrence, as everywhere, except that a word is only looked for in the snippet's own
// text, never in a value put in before it (a call sign "ALT" is not taken for the altitude).
// Filling it then only copies pieces and values.
class SnippetPlan {
 public:
  // A step replaces a word, or (with `after`) inserts a value directly after the first
  // occurrence of the word. Throws MissingPlaceholder, or DataError for "</name>".
  struct Step {
    std::string_view word;
    bool after = false;
  };

  SnippetPlan(std::string_view snippet, std::initializer_list<Step> steps) {
    pieces_.push_back({std::string(snippet), -1});
    int hole = 0;
    for (const Step& step : steps) {
      Place(step, hole++);
    }
  }

  // Appends the snippet with values[k] for the k-th step.
  void Fill(std::string& out, std::span<const std::string_view> values) const {
    for (const Piece& piece : pieces_) {
      out.append(piece.hole < 0 ? std::string_view(piece.text) : values[piece.hole]);
    }
  }

 private:
  struct Piece {
    std::string text;
    int hole;  // -1: text of the snippet, else the step whose value goes here
  };

  void Place(const Step& step, int hole) {
    for (size_t i = 0; i < pieces_.size(); ++i) {
      if (pieces_[i].hole >= 0) continue;
      const size_t at = pieces_[i].text.find(step.word);
      if (at == std::string::npos) continue;
      std::string text = std::move(pieces_[i].text);
      const size_t cut = step.after ? at + step.word.size() : at;
      pieces_[i].text = text.substr(0, cut);
      pieces_.insert(pieces_.begin() + static_cast<long>(i) + 1,
                     {Piece{"", hole}, Piece{text.substr(at + step.word.size()), -1}});
      return;
    }
    if (step.after) throw DataError("a snippet without " + std::string(step.word));
    throw MissingPlaceholder(step.word);
  }

  std::vector<Piece> pieces_;
};

// The four path openings by threat level, and the label pin, planned on first use so that a
// snippet that is never needed is never searched.
class TrafficSnippets {
 public:
  explicit TrafficSnippets(const KmlTemplateSet& kml) : kml_(kml) {}

  // The path opening: NAME, then the time span directly after "</name>".
  const SnippetPlan& Path(double level, const char*& suffix) {
    int index = 0;
    suffix = "";
    if (level == 2) {
      index = 1;
      suffix = " ;Getting Close";
    } else if (level == 3) {
      index = 2;
      suffix = " ;Close";
    } else if (level == 4) {
      index = 3;
      suffix = " ;Too close";
    }
    static const std::string KmlTemplateSet::*const kSnippets[] = {
        &KmlTemplateSet::KMLTCASBlue, &KmlTemplateSet::KMLTCASYellow,
        &KmlTemplateSet::KMLTCASOrange, &KmlTemplateSet::KMLTCASRed};
    if (!paths_[index]) {
      paths_[index].emplace(kml_.*kSnippets[index],
                            std::initializer_list<SnippetPlan::Step>{{"NAME"}, {"</name>", true}});
    }
    return *paths_[index];
  }

  // The label pin: NAME, DESC, KIAS, HDG, SPDTAS, GNDSPD, VERTSPEED, ALT, ALTAGL, TIME, DATE, the
  // time span after "</name>", LATX, LONY, ALTM.
  const SnippetPlan& Pin() {
    if (!pin_) {
      pin_.emplace(kml_.PlacemarkPinSmallAir,
                   std::initializer_list<SnippetPlan::Step>{{"NAME"},
                                                            {"DESC"},
                                                            {"KIAS"},
                                                            {"HDG"},
                                                            {"SPDTAS"},
                                                            {"GNDSPD"},
                                                            {"VERTSPEED"},
                                                            {"ALT"},
                                                            {"ALTAGL"},
                                                            {"TIME"},
                                                            {"DATE"},
                                                            {"</name>", true},
                                                            {"LATX"},
                                                            {"LONY"},
                                                            {"ALTM"}});
    }
    return *pin_;
  }

 private:
  const KmlTemplateSet& kml_;
  std::optional<SnippetPlan> paths_[4];
  std::optional<SnippetPlan> pin_;
};

}  // namespace

bool TrafficLogHasTraffic(FileSystem& files, const std::string& path) {
  const auto head = files.ReadHead(path, 4096);
  if (!head) throw DataError("cannot read " + path);
  std::string_view item(*head);
  item = item.substr(0, item.find_first_of(",\r\n"));
  while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
  while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
  if (item.size() >= 2 && item.front() == '"' && item.back() == '"')
    item = item.substr(1, item.size() - 2);
  return !item.empty();
}

TrafficDrawn WriteAnimatedTraffic(const KmlTemplateSet& kml, std::string_view separator,
                                  int predictionSeconds, FileSystem& files, const std::string& path,
                                  TextSink& out) {
  LogLineReader reader(files, path);
  RecordingTimes times;
  TrafficSnippets snippets(kml);
  TrafficRecord r;
  std::string callsign, name, description, headingText, speedText, verticalSpeedText, altitudeText,
      text;
  TrafficDrawn drawn;
  const double m = predictionSeconds;
  for (std::string_view record; reader.Next(record);) {
    double lat = 0, lon = 0, alt = 0, heading = 0, speed = 0, verticalSpeed = 0, level = 0;
    try {
      if (!r.Parse(record)) {
        times.Note(r.stamp);
        continue;
      }
      CheckStamp(r.stamp);
      lat = Number(r.lat, separator);
      lon = Number(r.lon, separator);
      alt = Number(r.alt, separator);
      heading = Number(r.heading, separator);
      speed = Number(r.speed, separator);
      verticalSpeed = Number(r.verticalSpeed, separator);
      level = Number(r.level, separator);
      times.Update(r.stamp, r.previous);
    } catch (const DataError&) {
      ++drawn.skipped;  // a record that cannot be read is left out, the rest is drawn
      continue;
    }

    const TrafficPrediction predicted =
        PredictTraffic(lon, lat, alt, heading, speed, verticalSpeed, m);
    const std::string latText = DefaultText(lat, ".");
    const std::string lonText = DefaultText(lon, ".");
    const std::string altMText = DefaultText(alt * kMetresPerFoot, ".");
    callsign.clear();
    AppendXmlEscaped(callsign, r.callsign);

    // The path placemark.
    const char* suffix = "";
    const SnippetPlan& path = snippets.Path(level, suffix);
    name.assign("Predicted Flightpath ").append(callsign).append(suffix);
    text.clear();
    const std::string_view pathValues[] = {name, times.element()};
    path.Fill(text, pathValues);
    text.append(lonText).append(",").append(latText).append(",").append(altMText).append(" ");
    AppendNumber(text, predicted.lon);
    text += ',';
    AppendNumber(text, predicted.lat);
    text += ',';
    AppendNumber(text, predicted.altFt * kMetresPerFoot);
    text += kml.PlacemarkEnd;

    // The label pin.
    name.assign(callsign).append(" ");
    AppendXmlEscaped(name, r.relative);
    description.assign("AI/Online traffic: ").append(callsign);
    headingText.clear();
    AppendXmlEscaped(headingText, r.heading.substr(0, r.heading.find('.')));
    speedText.clear();
    AppendXmlEscaped(speedText, r.speed);
    verticalSpeedText.clear();
    AppendXmlEscaped(verticalSpeedText, r.verticalSpeed);
    altitudeText.clear();
    AppendXmlEscaped(altitudeText, r.alt);
    const std::string_view pinValues[] = {
        name,         description,       "-",          headingText, "-",
        speedText,    verticalSpeedText, altitudeText, "-",         times.time(),
        times.date(), times.element(),   latText,      lonText,     altMText};
    snippets.Pin().Fill(text, pinValues);
    out << text;
    ++drawn.records;
  }
  drawn.skipped += reader.skipped();
  return drawn;
}

}  // namespace sky
