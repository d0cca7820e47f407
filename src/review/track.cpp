#include "review/track.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/log_format.h"
#include "core/numtext.h"
#include "core/ports.h"
#include "core/text.h"
#include "core/timestamp.h"

namespace sky {
namespace {

[[noreturn]] void Fail(std::string_view file, size_t line, const std::string& reason) {
  throw TrackInputError(std::string(file) + ", line " + std::to_string(line) + ": " + reason);
}

int Digits(int64_t stamp, int from, int count) {  // digits counted from the left, from 0
  for (int i = 0; i < 14 - from - count; ++i) stamp /= 10;
  int64_t scale = 1;
  for (int i = 0; i < count; ++i) scale *= 10;
  return static_cast<int>(stamp % scale);
}

}  // namespace

TrackPoint ParseTrackRecord(std::string_view record, std::string_view file, size_t line) {
  const RecordFields fields(record, 0);
  if (fields.count() < kRecordFieldCount - 1)
    Fail(file, line,
         "a record has 13 fields separated by \":\", this one " + std::to_string(fields.count()));
  TrackPoint point;
  const std::string_view stamp = fields[Field::Stamp];
  if (stamp.size() != 14 ||
      !std::all_of(stamp.begin(), stamp.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    Fail(file, line, "the time stamp " + QuotedInput(stamp) + " is not fourteen digits");
  }
  std::from_chars(stamp.data(), stamp.data() + 14, point.stamp);
  const int month = Digits(point.stamp, 4, 2), day = Digits(point.stamp, 6, 2);
  const int hour = Digits(point.stamp, 8, 2), minute = Digits(point.stamp, 10, 2);
  const int second = Digits(point.stamp, 12, 2);
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
    Fail(file, line, "the time stamp " + QuotedInput(stamp) + " is no date and time");
  }
  point.seconds = DaysFromCivil(Digits(point.stamp, 0, 4), month, day) * 86400 + hour * 3600 +
                  minute * 60 + second;

  struct Number {
    Field field;
    const char* name;
    double* value;
    double low, high;
  };
  const Number numbers[] = {
      {Field::Longitude, "longitude", &point.longitudeDeg, -180, 180},
      {Field::Latitude, "latitude", &point.latitudeDeg, -90, 90},
      {Field::Altitude, "altitude", &point.altitudeFt, -2000, 200000},
      {Field::IndicatedAirspeed, "indicated airspeed", &point.iasKt, -5000, 5000},
      {Field::HeightAboveGround, "height above ground", &point.heightFt, -2000, 200000},
      {Field::TrueAirspeed, "true airspeed", &point.tasKt, -5000, 5000},
      {Field::VerticalSpeed, "vertical speed", &point.verticalSpeedFpm, -100000, 100000},
      {Field::GroundSpeed, "ground speed", &point.groundSpeedKt, -5000, 5000},
      {Field::Heading, "heading", &point.headingDeg, -360, 720},
  };
  for (const Number& n : numbers) {
    // Either decimal separator: a log holds the one of the user who wrote it.
    const std::string_view text = fields[n.field];
    const auto value = ParseNumber(text, ",");
    if (!value || !std::isfinite(*value)) {
      Fail(file, line, "the " + std::string(n.name) + " " + QuotedInput(text) + " is not a number");
    }
    *n.value = *value;
    if (*n.value < n.low || *n.value > n.high) {
      Fail(file, line, "the " + std::string(n.name) + " " + QuotedInput(text) + " is out of range");
    }
  }
  const std::string_view onGround = fields[Field::OnGround];
  if (onGround != "0" && onGround != "1") {
    Fail(file, line, "the on-ground flag " + QuotedInput(onGround) + " is neither 0 nor 1");
  }
  point.onGround = onGround == "1";
  point.code = fields[Field::EventCode];
  point.startsRun = fields.count() == kRecordFieldCount && fields[Field::PreviousStamp] == "-";
  return point;
}

void AddLogRecords(Track& track, std::string_view text, std::string_view file, bool animation) {
  size_t line = 0;
  ForEachLine(text, [&](std::string_view record) {
    ++line;
    if (record.empty()) return true;
    TrackPoint point = ParseTrackRecord(record, file, line);
    point.fromAnimation = animation;
    point.fromFlightLog = !animation;
    track.points.push_back(std::move(point));
    return true;
  });
}

void FinishTrack(Track& track) {
  std::vector<TrackPoint>& points = track.points;
  std::stable_sort(points.begin(), points.end(),
                   [](const TrackPoint& a, const TrackPoint& b) { return a.seconds < b.seconds; });
  size_t kept = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    if (kept > 0 && points[kept - 1].stamp == points[i].stamp) {
      TrackPoint& into = points[kept - 1];
      TrackPoint& from = points[i];
      const bool flightLogCode = into.fromFlightLog && !into.code.empty();
      if (from.fromAnimation && !into.fromAnimation) {
        from.fromFlightLog = true;
        from.startsRun = from.startsRun || into.startsRun;
        if (flightLogCode) from.code = into.code;
        into = std::move(from);
      } else if (into.code.empty()) {
        into.code = from.code;
      }
      into.fromAnimation = into.fromAnimation || from.fromAnimation;
      into.fromFlightLog = into.fromFlightLog || from.fromFlightLog;
      continue;
    }
    if (kept != i) points[kept] = std::move(points[i]);
    ++kept;
  }
  points.resize(kept);
}

Track ReadFlightTrack(FileSystem& files, const std::string& folder) {
  Track track;
  const auto log = files.ReadAll(folder + kFlightLogFile);
  if (!log) throw TrackInputError(std::string(kFlightLogFile) + " cannot be read");
  AddLogRecords(track, *log, kFlightLogFile, false);
  if (track.points.empty()) throw TrackInputError(std::string(kFlightLogFile) + " holds no record");
  if (const auto animation = files.ReadAll(folder + kAnimationLogFile)) {
    AddLogRecords(track, *animation, kAnimationLogFile, true);
  }
  FinishTrack(track);
  return track;
}

std::string IsoTime(int64_t stamp) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", Digits(stamp, 0, 4),
                Digits(stamp, 4, 2), Digits(stamp, 6, 2), Digits(stamp, 8, 2), Digits(stamp, 10, 2),
                Digits(stamp, 12, 2));
  return text;
}

std::string ClockTime(int64_t stamp) {
  return IsoTime(stamp).substr(11, 8);
}

double DistanceNm(const TrackPoint& a, const TrackPoint& b) {
  constexpr double kRad = std::numbers::pi / 180;
  const double dLat = (b.latitudeDeg - a.latitudeDeg) * kRad;
  const double dLon = (b.longitudeDeg - a.longitudeDeg) * kRad;
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(a.latitudeDeg * kRad) * std::cos(b.latitudeDeg * kRad) *
                       std::sin(dLon / 2) * std::sin(dLon / 2);
  return 2 * 3440.065 * std::asin(std::min(1.0, std::sqrt(h)));
}

std::string Fixed(double value, int decimals) {
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;  // no "-0.0"
  char text[64];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(text, end) : std::string("0");
}

}  // namespace sky
