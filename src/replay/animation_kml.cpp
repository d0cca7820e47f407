#include "replay/animation_kml.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

#include "core/log_format.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "core/ports.h"
#include "core/units.h"
#include "kml/kml_file.h"
#include "kml/segments.h"
#include "kml/templates.h"
#include "kml/traffic_kml.h"
#include "kml/xml_escape.h"
#include "replay/animated_events.h"
#include "replay/animated_traffic.h"
#include "replay/log_reader.h"
#include "replay/stamps.h"

namespace sky {
namespace {

constexpr std::string_view kAbsolute = "<altitudeMode>absolute</altitudeMode>";

// Replaces the first occurrence of a word in the text passing through (nothing when it never
// comes), holding back no more than could be the word's beginning.
class FirstReplaceSink final : public TextSink {
 public:
  FirstReplaceSink(std::string_view word, std::string_view replacement, TextSink& next)
      : word_(word), replacement_(replacement), next_(next) {}

  void Write(std::string_view text) override {
    if (done_) {
      next_.Write(text);
      return;
    }
    held_.append(text);
    const size_t at = held_.find(word_);
    if (at != std::string::npos) {
      const std::string_view held(held_);
      next_.Write(held.substr(0, at));
      next_.Write(replacement_);
      next_.Write(held.substr(at + word_.size()));
      held_ = std::string();
      done_ = true;
      return;
    }
    const size_t keep = std::min(held_.size(), word_.size() - 1);
    next_.Write(std::string_view(held_).substr(0, held_.size() - keep));
    held_.erase(0, held_.size() - keep);
  }

  // Passes on what is held back.
  void Finish() {
    next_.Write(held_);
    held_.clear();
    done_ = true;
  }

 private:
  std::string word_;
  std::string replacement_;
  TextSink& next_;
  std::string held_;
  bool done_ = false;
};

// The frames: one folder per animation record.
class FrameWriter {
 public:
  FrameWriter(const ReplayInputs& in, std::span<const std::string_view> flightLog)
      : in_(in), flightLog_(flightLog), cursor_(flightLog) {}

  // False, and nothing written, for a record that cannot be read (too few fields, a stamp or a
  // number that does not read): the frame is left out and the next one follows on.
  bool Write(std::string_view record, TextSink& out) {
    const KmlTemplateSet& kml = in_.kml;
    const std::string_view separator = in_.separator;
    std::optional<RecordFields> fields;
    double lon = 0, lat = 0, altitude = 0, height = 0, verticalSpeed = 0, groundSpeed = 0,
           heading = 0;
    bool onGround = false;
    std::string metres;
    try {
      fields.emplace(record, 12);
      CheckStamp((*fields)[Field::Stamp]);
      lon = RequireNumber((*fields)[Field::Longitude], separator);
      lat = RequireNumber((*fields)[Field::Latitude], separator);
      altitude = RequireNumber((*fields)[Field::Altitude], separator);
      onGround = ToInt16((*fields)[Field::OnGround], separator) == 1;
      height = RequireNumber((*fields)[Field::HeightAboveGround], separator);
      verticalSpeed = RequireNumber((*fields)[Field::VerticalSpeed], separator);
      groundSpeed = RequireNumber((*fields)[Field::GroundSpeed], separator);
      heading = RequireNumber((*fields)[Field::Heading], separator) * kRadiansPerDegree;
      metres = MetresText((*fields)[Field::Altitude], separator);
    } catch (const DataError&) {
      return false;
    }
    const RecordFields& f = *fields;
    const std::string_view t = f[Field::Stamp];

    // From one second after the previous frame's stamp up to its own.
    const std::string begin = NextSecond(t == previous_ || previous_.empty() ? t : previous_);
    previous_ = t;
    std::string& s = frame_.text();
    s.clear();
    s += "<Folder><TimeSpan><begin>";
    s += KmlTime(begin, 'Z');
    s += "</begin><end>";
    s += KmlTime(t, 'Z');
    s += "</end></TimeSpan><name>";
    std::string name = KmlTime(t, 'z');
    name[10] = ' ';
    s += name;
    s += "</name><Style><ListStyle><listItemType>checkHideChildren</listItemType><bgColor>00ffffff"
         "</bgColor></ListStyle></Style>";

    // The link from the last logged point to the aircraft, in a run folder of its own.
    const std::string_view start = flightLog_[cursor_.StartFor(t)];
    std::string_view points[2];
    size_t count = 0;
    if (StampOf(start) < t) points[count++] = start;
    points[count++] = record;
    WritePathSegments(kml, separator, std::span(points, count), frame_);

    // The predicted path.
    const double n = in_.PredPathMultiplier;
    const double latitudeRate = LatitudeRate(groundSpeed, lon, lat);
    const double longitudeRate = LongitudeRate(groundSpeed, lon, lat);
    const double predictedLon = lon + std::sin(heading) * latitudeRate * n;
    const double predictedLat = lat + std::cos(heading) * longitudeRate * n;
    const double predictedAltitude = altitude + verticalSpeed / 60 * n;
    const std::string lonText = XmlEscape(KmlDecimalPoint(f[Field::Longitude], separator));
    const std::string latText = XmlEscape(KmlDecimalPoint(f[Field::Latitude], separator));
    s += ReplaceFirst(onGround ? kml.PredictedPathGND : kml.PredictedPath, "NAME",
                      "Predicted Flightpath");
    s.append(lonText).append(",").append(latText);
    if (!onGround) s.append(",").append(metres);
    s.append(" ").append(DefaultText(predictedLon, ".")).append(",");
    s.append(DefaultText(predictedLat, "."));
    if (!onGround) s.append(",").append(DefaultText(predictedAltitude * kMetresPerFoot, "."));
    s += kml.PlacemarkEnd;

    // The aircraft, looked at from its camera range.
    pin_ = kml.PlacemarkPin;
    ReplaceFirstIn(pin_, "LATAC", latText);
    ReplaceFirstIn(pin_, "LATAC", latText);
    ReplaceFirstIn(pin_, "LONAC", lonText);
    ReplaceFirstIn(pin_, "LONAC", lonText);
    ReplaceFirstIn(pin_, "NAME",
                   "Your aircraft: alt=" + XmlEscape(f[Field::Altitude]) + " spd=" +
                       XmlEscape(f[Field::GroundSpeed]) + " hdg=" + XmlEscape(f[Field::Heading]));
    ReplaceFirstIn(pin_, "HDG", XmlEscape(f[Field::Heading]));
    ReplaceFirstIn(pin_, "RANGE",
                   onGround ? std::to_string(in_.GNDRange) : DefaultText(height * 1.2 + 500, "."));
    if (onGround) {
      ReplaceFirstIn(pin_, kAbsolute, "<altitude>0</altitude>");
      ReplaceFirstIn(pin_, kAbsolute, "<altitude>0</altitude>");
      ReplaceFirstIn(pin_, "ALTM", "");
    } else {
      ReplaceFirstIn(pin_, "ALTM", "," + metres);
    }
    s += pin_;
    s += kml.FolderEnd;
    out << s;
    ++frames_;
    return true;
  }

  size_t frames() const { return frames_; }

 private:
  const ReplayInputs& in_;
  std::span<const std::string_view> flightLog_;
  StartRecordCursor cursor_;
  std::string previous_;  // the previous frame's stamp
  StringSink frame_;
  std::string pin_;
  size_t frames_ = 0;
};

// "Skipped 1 damaged line in Animation.txt." after a replay built without the lines of a log
// that could not be read.
void ReportSkippedLines(MessageBoard& board, const char* log, size_t skipped) {
  if (skipped == 0) return;
  board.Post("Skipped " + std::to_string(skipped) + " damaged line" + (skipped == 1 ? "" : "s") +
             " in " + log + ".");
}

bool Listed(const std::vector<std::string>& names, const char* name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

StartRecordCursor::StartRecordCursor(std::span<const std::string_view> records) {
  highest_.resize(records.size());
  for (size_t j = 1; j < records.size(); ++j) {
    const std::string_view stamp = StampOf(records[j]);
    highest_[j] = j == 1 || stamp > highest_[j - 1] ? stamp : highest_[j - 1];
  }
}

size_t StartRecordCursor::StartFor(std::string_view t) {
  if (highest_.size() < 2) return 0;
  const size_t last = highest_.size() - 1;
  if (first_ || t >= last_) {
    // Every record before the cursor is earlier than the previous frame, so earlier than t.
    while (at_ < last && highest_[at_] < t) ++at_;
  } else {
    // The record is at or before the cursor: the first whose greatest stamp so far reaches t.
    at_ = static_cast<size_t>(
        std::lower_bound(highest_.begin() + 1, highest_.begin() + static_cast<long>(at_), t) -
        highest_.begin());
  }
  first_ = false;
  last_ = t;
  return at_ - 1;
}

bool BuildAnimation(const ReplayInputs& in, TextSink& out, AnimationCounts& counts) {
  FileSystem& files = in.files;
  const KmlTemplateSet& kml = in.kml;
  const std::string_view separator = in.separator;
  counts = {};
  try {
    const std::string& folder = in.dataFolder;
    const std::vector<std::string> names = files.List(folder);
    if (!Listed(names, kAnimationLogFile)) return true;  // no animation recorded: no message
    const bool traffic =
        Listed(names, kTrafficLogFile) && TrafficLogHasTraffic(files, folder + kTrafficLogFile);
    size_t flightLogSkipped = 0;
    const LogRecords flightLog = ReadRecordList(files, folder + kFlightLogFile, flightLogSkipped);

    // In the finished part the first ">check<" lists the animation as one item, and the first
    // "</name>" is followed by a visibility that starts it switched off: both are in the opening
    // when the folder snippet holds them.
    FirstReplaceSink visibility("</name>", "</name><visibility>0</visibility>", out);
    FirstReplaceSink part(">check<", ">checkHideChildren<", visibility);

    part << ReplaceFirst(kml.Folder, "NAME", "Animation");
    FrameWriter frames(in, flightLog.records);
    LogLineReader animation(files, folder + kAnimationLogFile);
    size_t animationSkipped = 0;
    for (std::string_view record; animation.Next(record);) {
      if (!frames.Write(record, part)) ++animationSkipped;
    }
    animationSkipped += animation.skipped();
    if (frames.frames() == 0) throw DataError("the animation log holds no record");

    AnimationCounts written{true, frames.frames(), 0, 0};
    part << ReplaceFirst(kml.Folder, "NAME", "Animated flight data");
    written.specialPlacemarks = WriteAnimatedPlacemarks(kml, separator, flightLog.records, part);
    part << kml.FolderEnd;
    WriteHistoryPath(kml, separator, flightLog.records, part);
    TrafficDrawn drawn;
    if (traffic) {
      part << ReplaceFirst(kml.Folder, "NAME", "Animated AI/Online traffic");
      drawn = WriteAnimatedTraffic(kml, separator, in.PredPathMultiplierTCAS, files,
                                   folder + kTrafficLogFile, part);
      written.trafficPlacemarks = 2 * drawn.records;
      part << kml.FolderEnd;
    }
    part << kml.FolderEnd << kml.FolderEnd;
    part.Finish();
    visibility.Finish();
    counts = written;
    // Posted before the convert's own sentence, which the board then shows.
    ReportSkippedLines(in.board, kFlightLogFile, flightLogSkipped);
    ReportSkippedLines(in.board, kAnimationLogFile, animationSkipped);
    ReportSkippedLines(in.board, kTrafficLogFile, drawn.skipped);
    return true;
  } catch (const KmlWriteError&) {
    throw;
  } catch (const std::exception&) {
    in.board.Post("Not able to convert flightlog");
    return false;
  }
}

}  // namespace sky
