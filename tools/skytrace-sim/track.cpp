#include "skytrace-sim/track.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/text.h"

namespace sky::sim {
namespace {

// One column of a track file: its name, the values it accepts and where they go in a state.
struct Column {
  std::string_view name;
  double low;
  double high;
  bool whole;  // whole numbers only
  double (*get)(const FlightState&);
  void (*set)(FlightState&, double);
};

#define NUMBER(name, member, low, high)                                            \
  Column {                                                                         \
    name, low, high, false, [](const FlightState& s) { return double(s.member); }, \
        [](FlightState& s, double v) { s.member = v; }                             \
  }
#define WHOLE(name, member, low, high)                                            \
  Column {                                                                        \
    name, low, high, true, [](const FlightState& s) { return double(s.member); }, \
        [](FlightState& s, double v) { s.member = static_cast<int>(v); }          \
  }

// "t" comes first and is kept in the row, not in the state.
constexpr size_t kTime = 0;
const Column kColumns[] = {
    {"t", 0, 1e9, false, nullptr, nullptr},
    NUMBER("lat", latitudeDeg, -90, 90),
    NUMBER("lon", longitudeDeg, -180, 180),
    NUMBER("alt_ft", altitudeFt, -2000, 100000),
    NUMBER("ground_ft", groundElevationFt, -2000, 30000),
    NUMBER("gs_kt", groundSpeedKt, 0, 2000),
    NUMBER("ias_kt", indicatedAirspeedKt, 0, 2000),
    NUMBER("tas_kt", trueAirspeedKt, 0, 2000),
    NUMBER("hdg", headingDeg, 0, 360),
    NUMBER("vs_fpm", verticalSpeedFpm, -50000, 50000),
    NUMBER("td_vs_fpm", touchdownVerticalSpeedFpm, -50000, 50000),
    Column{"on_ground", 0, 1, true, [](const FlightState& s) { return s.onGround ? 1.0 : 0.0; },
           [](FlightState& s, double v) { s.onGround = v != 0; }},
    NUMBER("gear", gear, 0, 1),
    NUMBER("flaps", flapsPercent, 0, 100),
    NUMBER("spoilers", spoilers, 0, 1),
    WHOLE("tailhook", tailHook, 0, 1),
    WHOLE("overspeed", overspeed, 0, 1),
    WHOLE("stall", stall, 0, 1),
    WHOLE("om", outerMarker, 0, 1),
    WHOLE("mm", middleMarker, 0, 1),
    WHOLE("im", innerMarker, 0, 1),
    WHOLE("loc", localizerNeedle, -127, 128),
    WHOLE("gs", glideslopeNeedle, -136, 119),
    WHOLE("gs_flag", glideslopeFlag, 0, 1),
    WHOLE("autobrake", autobrake, 0, 5),
};

#undef NUMBER
#undef WHOLE

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t comma = line.find(',', start);
    fields.push_back(Trim(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

// A decimal number with "." as decimal point; an empty text reads as 0.
std::optional<double> Number(std::string_view text) {
  if (text.empty()) return 0.0;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto done = std::from_chars(text.data(), text.data() + text.size(), value);
  if (done.ec != std::errc() || done.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string Shortest(double value) {
  if (value == 0) return "0";
  char buffer[400];
  // The shortest text that reads back as the same value, without an exponent.
  const auto done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, done.ptr);
}

std::string Range(const Column& column) {
  if (column.whole && column.low == 0 && column.high == 1) return "0 or 1";
  return (column.whole ? "a whole number from " : "a number from ") + Shortest(column.low) +
         " to " + Shortest(column.high);
}

}  // namespace

FlightState Track::At(double t) const {
  if (rows_.empty()) return {};
  auto after = std::upper_bound(rows_.begin(), rows_.end(), t,
                                [](double time, const TrackRow& row) { return time < row.t; });
  return after == rows_.begin() ? rows_.front().state : std::prev(after)->state;
}

double Track::EndTime() const {
  return rows_.empty() ? 0 : rows_.back().t;
}

std::optional<Track> ParseTrack(const std::string& text, std::string& error) {
  std::vector<const Column*> columns;  // the file's columns, in its order
  bool haveNames = false;
  std::vector<TrackRow> rows;
  int number = 0;
  auto fail = [&](int line, const std::string& reason) {
    error = "line " + std::to_string(line) + ": " + reason;
    return std::nullopt;
  };

  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    ++number;
    if (line.empty() || line.front() == '#') continue;
    const std::vector<std::string_view> fields = Split(line);

    if (!haveNames) {
      for (const std::string_view name : fields) {
        if (name.empty()) return fail(number, "a column has no name");
        const auto known = std::find_if(std::begin(kColumns), std::end(kColumns),
                                        [name](const Column& c) { return c.name == name; });
        if (known == std::end(kColumns)) {
          return fail(number, "unknown column " + QuotedInput(name));
        }
        if (std::find(columns.begin(), columns.end(), &*known) != columns.end()) {
          return fail(number, "column " + QuotedInput(name) + " appears twice");
        }
        columns.push_back(&*known);
      }
      haveNames = true;
      continue;
    }

    if (fields.size() != columns.size()) {
      return fail(number, std::to_string(fields.size()) + " values for " +
                              std::to_string(columns.size()) + " columns");
    }
    TrackRow row;
    for (size_t i = 0; i < fields.size(); ++i) {
      const Column& column = *columns[i];
      const auto value = Number(fields[i]);
      if (!value) {
        return fail(number,
                    std::string(column.name) + " " + QuotedInput(fields[i]) + " is not a number");
      }
      if (*value < column.low || *value > column.high ||
          (column.whole && *value != std::floor(*value))) {
        return fail(number, std::string(column.name) + " must be " + Range(column) + ", not " +
                                CutInput(fields[i]));
      }
      if (&column == &kColumns[kTime]) {
        row.t = *value;
      } else {
        column.set(row.state, *value);
      }
    }
    if (!rows.empty() && row.t <= rows.back().t) {
      return fail(number, "t must grow from row to row (" + CutInput(Shortest(row.t)) +
                              " follows " + CutInput(Shortest(rows.back().t)) + ")");
    }
    rows.push_back(row);
  }
  if (!haveNames) return fail(std::max(number, 1), "no column names");
  if (rows.empty()) return fail(number, "no rows after the column names");
  return Track(std::move(rows));
}

std::string FormatTrack(const Track& track) {
  std::string text;
  for (const Column& column : kColumns) {
    if (!text.empty()) text += ',';
    text += column.name;
  }
  text += '\n';
  for (const TrackRow& row : track.Rows()) {
    text += Shortest(row.t);
    for (size_t i = kTime + 1; i < std::size(kColumns); ++i) {
      text += ',';
      text += Shortest(kColumns[i].get(row.state));
    }
    text += '\n';
  }
  return text;
}

}  // namespace sky::sim
