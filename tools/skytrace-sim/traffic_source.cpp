#include "skytrace-sim/traffic_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/text.h"
#include "simlink/flightdata.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNmPerDegree = 60;

// The own-aircraft offsets and their raw scales.
constexpr uint32_t kLatitudeOffset = 0x0560;
constexpr uint32_t kLongitudeOffset = 0x0568;
constexpr uint32_t kAltitudeOffset = 0x0570;
constexpr uint32_t kHeadingOffset = 0x0580;

const char* const kColumns[] = {"t",      "slot", "id",    "lat",    "lon",
                                "alt_ft", "hdg",  "gs_kt", "vs_fpm", "callsign"};
enum Column { kT, kSlot, kId, kLat, kLon, kAlt, kHdg, kGs, kVs, kCallsign, kColumnCount };

std::string Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return "";
  const size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

// Splits one CSV line; a double-quoted field keeps its commas and blanks ("" is a quote).
bool SplitCsv(std::string_view line, std::vector<std::string>& fields, std::string& error) {
  fields.clear();
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          closed = true;
          ++i;
          break;
        }
        field += line[i++];
      }
      if (!closed) {
        error = "unclosed quote";
        return false;
      }
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
      if (i < line.size() && line[i] != ',') {
        error = "text after a quoted field";
        return false;
      }
    } else {
      const size_t end = std::min(line.find(',', i), line.size());
      field = Trim(line.substr(i, end - i));
      i = end;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) return true;
    ++i;  // the comma
  }
}

bool ParseDouble(const std::string& text, double& value) {
  if (text.empty()) return false;
  const char* begin = text.data();
  if (*begin == '+') ++begin;
  const auto done = std::from_chars(begin, text.data() + text.size(), value);
  return done.ec == std::errc() && done.ptr == text.data() + text.size() && std::isfinite(value);
}

bool ParseInt(const std::string& text, long long low, long long high, long long& value) {
  if (text.empty()) return false;
  const char* begin = text.data();
  if (*begin == '+') ++begin;
  const auto done = std::from_chars(begin, text.data() + text.size(), value);
  return done.ec == std::errc() && done.ptr == text.data() + text.size() && value >= low &&
         value <= high;
}

// The position `distanceNm` away from (lat, lon) on the true bearing `bearingDeg`.
void Offset(double lat, double lon, double bearingDeg, double distanceNm, double& outLat,
            double& outLon) {
  const double bearing = bearingDeg * kPi / 180;
  outLat = lat + distanceNm * std::cos(bearing) / kNmPerDegree;
  const double cosLat = std::max(0.01, std::cos(lat * kPi / 180));
  outLon = lon + distanceNm * std::sin(bearing) / (kNmPerDegree * cosLat);
}

double Wrap360(double degrees) {
  double wrapped = std::fmod(degrees, 360);
  if (wrapped < 0) wrapped += 360;
  return wrapped;
}

// The true bearing from (lat1, lon1) to (lat2, lon2) on a local flat projection.
double BearingBetween(double lat1, double lon1, double lat2, double lon2) {
  const double north = lat2 - lat1;
  const double east = (lon2 - lon1) * std::cos(lat1 * kPi / 180);
  return Wrap360(std::atan2(east, north) * 180 / kPi);
}

// A UTF-8 text as Latin-1 bytes; empty when it holds a character beyond U+00FF or is not UTF-8.
std::optional<std::string> Latin1Bytes(std::string_view text) {
  std::string bytes;
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    const auto lead = static_cast<unsigned char>(text[at]);
    if (length == 1) {
      bytes += text[at];
    } else if (length == 2 && lead <= 0xC3) {
      bytes +=
          static_cast<char>((lead & 0x03) << 6 | (static_cast<unsigned char>(text[at + 1]) & 0x3F));
    } else {
      return std::nullopt;
    }
    at += length;
  }
  return bytes;
}

template <typename T>
void Put(uint8_t* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

int16_t Clamp16(long long value) {
  return static_cast<int16_t>(std::clamp<long long>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

std::optional<TrafficFile> TrafficFile::Parse(const std::string& text, std::string& error) {
  TrafficFile file;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  int columnOf[kColumnCount];
  bool haveHeader = false;
  std::vector<std::string> fields;
  auto fail = [&](const std::string& reason) {
    error = "line " + std::to_string(number) + ": " + reason;
    return std::nullopt;
  };
  while (std::getline(in, raw)) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const std::string trimmed = Trim(raw);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    std::string splitError;
    if (!SplitCsv(raw, fields, splitError)) return fail(splitError);
    if (!haveHeader) {
      std::fill(std::begin(columnOf), std::end(columnOf), -1);
      for (size_t i = 0; i < fields.size(); ++i) {
        const auto known = std::find(std::begin(kColumns), std::end(kColumns), fields[i]);
        if (known == std::end(kColumns)) return fail("unknown column " + QuotedInput(fields[i]));
        int& at = columnOf[known - std::begin(kColumns)];
        if (at >= 0) return fail("column " + QuotedInput(fields[i]) + " twice");
        at = static_cast<int>(i);
      }
      for (int c = 0; c < kColumnCount; ++c) {
        if (columnOf[c] < 0) return fail("missing column \"" + std::string(kColumns[c]) + "\"");
      }
      haveHeader = true;
      continue;
    }
    if (fields.size() != static_cast<size_t>(kColumnCount)) {
      return fail("expected " + std::to_string(kColumnCount) + " fields, found " +
                  std::to_string(fields.size()));
    }
    auto field = [&](Column c) -> const std::string& { return fields[columnOf[c]]; };
    Row row;
    long long whole = 0;
    if (!ParseDouble(field(kT), row.t) || row.t < 0) {
      return fail("t " + QuotedInput(field(kT)) + " is not a time in seconds");
    }
    if (!ParseInt(field(kSlot), 0, kTrafficSlotCount - 1, whole)) {
      return fail("slot " + QuotedInput(field(kSlot)) + " is not a slot from 0 to 39");
    }
    row.slot = static_cast<int>(whole);
    if (!ParseInt(field(kId), INT32_MIN, INT32_MAX, whole)) {
      return fail("id " + QuotedInput(field(kId)) + " is not a 32-bit integer");
    }
    TrafficAircraft& a = row.aircraft;
    a.id = static_cast<int32_t>(whole);
    if (a.id != 0) {
      if (!ParseDouble(field(kLat), a.latDeg) || std::fabs(a.latDeg) > 90) {
        return fail("lat " + QuotedInput(field(kLat)) + " is not a latitude");
      }
      if (!ParseDouble(field(kLon), a.lonDeg) || std::fabs(a.lonDeg) > 180) {
        return fail("lon " + QuotedInput(field(kLon)) + " is not a longitude");
      }
      if (!ParseDouble(field(kAlt), a.altFt) || std::fabs(a.altFt) > 1e6) {
        return fail("alt_ft " + QuotedInput(field(kAlt)) + " is not an altitude in feet");
      }
      if (!ParseDouble(field(kHdg), a.headingDeg)) {
        return fail("hdg " + QuotedInput(field(kHdg)) + " is not a heading in degrees");
      }
      a.headingDeg = Wrap360(a.headingDeg);
      if (!ParseInt(field(kGs), INT16_MIN, INT16_MAX, whole)) {
        return fail("gs_kt " + QuotedInput(field(kGs)) + " is not a whole number of knots");
      }
      a.groundSpeedKt = static_cast<int>(whole);
      if (!ParseInt(field(kVs), INT16_MIN, INT16_MAX, whole)) {
        return fail("vs_fpm " + QuotedInput(field(kVs)) +
                    " is not a whole number of feet per minute");
      }
      a.verticalSpeedFpm = static_cast<int>(whole);
      a.callsign = field(kCallsign);
      const std::string quoted = QuotedInput(a.callsign);
      if (FirstInvalidUtf8(a.callsign) != std::string::npos) {
        return fail("callsign " + quoted + " is not UTF-8 text");
      }
      if (Utf8CharacterCount(a.callsign) > static_cast<size_t>(kCallsignCharacters)) {
        return fail("callsign " + quoted + " is longer than 15 characters");
      }
      if (!Latin1Bytes(a.callsign)) {
        return fail("callsign " + quoted +
                    " has a character the traffic area cannot hold (it holds Latin-1 only)");
      }
    }
    file.rows_.push_back(std::move(row));
  }
  if (!haveHeader) {
    error = "line " + std::to_string(number + 1) + ": no header line";
    return std::nullopt;
  }
  std::stable_sort(file.rows_.begin(), file.rows_.end(),
                   [](const Row& x, const Row& y) { return x.t < y.t; });
  return file;
}

void TrafficFile::SlotsAt(double t, TrafficSlots& slots) {
  slots = TrafficSlots{};
  for (const Row& row : rows_) {
    if (row.t > t) break;
    slots[row.slot] = row.aircraft;
  }
}

void BuiltInTraffic::SlotsAt(double t, TrafficSlots& slots) {
  slots = TrafficSlots{};
  const OwnState own = own_(t);
  if (!airport_) airport_ = own;
  const OwnState& field = *airport_;
  const double runway = field.headingDeg;
  auto place = [&](int slot, int32_t id, const char* callsign, double lat, double lon, double altFt,
                   double headingDeg, int speedKt, int verticalFpm) {
    slots[slot] =
        TrafficAircraft{id, lat, lon, altFt, Wrap360(headingDeg), speedKt, verticalFpm, callsign};
  };
  double lat = 0;
  double lon = 0;

  // Holding over the field: a 6 NM circle at 3000 ft above it, 180 kt (about 190 s a turn).
  {
    const double angle = Wrap360(t * 360 / 190);
    Offset(field.latDeg, field.lonDeg, angle, 6, lat, lon);
    place(0, 4101, "KLM 1234", lat, lon, field.altFt + 3000, angle + 90, 180, 0);
  }
  // A light aircraft in the circuit: 1.5 NM circle at 1000 ft above the field, 90 kt.
  {
    const double angle = Wrap360(-t * 360 / 380 + 90);
    Offset(field.latDeg, field.lonDeg, angle, 1.5, lat, lon);
    place(3, 4102, "N172SP", lat, lon, field.altFt + 1000, angle - 90, 90, 0);
  }
  // Parked on the apron beside the runway.
  {
    Offset(field.latDeg, field.lonDeg, runway + 90, 0.25, lat, lon);
    place(4, 4103, "PH-BXA", lat, lon, field.altFt, runway + 180, 0, 0);
  }
  // A departure along the runway heading, climbing out every 10 minutes.
  {
    const double p = std::fmod(t, 600);
    const double distance = 160.0 / 3600 * p;
    Offset(field.latDeg, field.lonDeg, runway, distance, lat, lon);
    place(7, 4104, "EZY45TK", lat, lon, field.altFt + std::min(p, 450.0) * 2000 / 60, runway, 160,
          p < 450 ? 2000 : 0);
  }
  // An airliner alongside: 5 NM off the right wing, 1500 ft above, same heading.
  {
    Offset(own.latDeg, own.lonDeg, own.headingDeg + 90, 5, lat, lon);
    place(12, 4105, "SPEEDBIRD815SIM", lat, lon, own.altFt + 1500, own.headingDeg, 250, 0);
  }
  // Opposite direction, 4 NM to the left and 2000 ft below, passing every 2 minutes.
  {
    const double along = 15 - 30 * std::fmod(t, 120) / 120;  // from 15 NM ahead to 15 behind
    double abeamLat = 0;
    double abeamLon = 0;
    Offset(own.latDeg, own.lonDeg, own.headingDeg - 90, 4, abeamLat, abeamLon);
    Offset(abeamLat, abeamLon, own.headingDeg, along, lat, lon);
    place(20, 4106, "RYR8GX", lat, lon, own.altFt - 2000, own.headingDeg + 180, 450, 0);
  }
  // Converging from 9 NM, 30 degrees right and 2400 ft above, to about 1.2 NM and 300 ft above
  // at 90 s; it stays that close for 20 s, then drifts away until the cycle starts again.
  {
    const double p = std::fmod(t, 150);
    double share = 0;
    if (p <= 90) {
      share = p / 90;
    } else if (p <= 110) {
      share = 1;
    } else {
      share = 1 - (p - 110) / 40;
    }
    const double distance = 9 - 7.8 * share;
    const double above = 2400 - 2100 * share;
    Offset(own.latDeg, own.lonDeg, own.headingDeg + 30, distance, lat, lon);
    const double toOwn = BearingBetween(lat, lon, own.latDeg, own.lonDeg);
    place(33, 4107, "DLH4TC", lat, lon, own.altFt + above, toOwn, 280,
          p <= 90 ? -1400 : (p <= 110 ? 0 : 3150));
  }
  // Cruising 30 NM ahead at FL380: visible on the 40 NM range only.
  {
    Offset(own.latDeg, own.lonDeg, own.headingDeg + 10, 30, lat, lon);
    place(39, 4108, "UAE88", lat, lon, 38000, own.headingDeg, 480, 0);
  }
}

OwnState OwnStateFromCore(const SimulatorCore& core) {
  OwnState own;
  own.latDeg = LatitudeDegrees(core.Get<int64_t>(kLatitudeOffset));
  own.lonDeg = LongitudeDegrees(core.Get<int64_t>(kLongitudeOffset));
  own.altFt = AltitudeFeet(core.Get<int64_t>(kAltitudeOffset));
  own.headingDeg = HeadingDegrees(core.Get<int32_t>(kHeadingOffset));
  return own;
}

std::array<uint8_t, kTrafficSlotCount * kTrafficSlotBytes> EncodeTrafficArea(
    const TrafficSlots& slots) {
  std::array<uint8_t, kTrafficSlotCount * kTrafficSlotBytes> area{};
  for (int i = 0; i < kTrafficSlotCount; ++i) {
    const TrafficAircraft& a = slots[i];
    if (a.id == 0) continue;
    uint8_t* slot = area.data() + i * kTrafficSlotBytes;
    Put<int32_t>(slot, a.id);
    Put<float>(slot + 4, static_cast<float>(a.latDeg));
    Put<float>(slot + 8, static_cast<float>(a.lonDeg));
    Put<float>(slot + 12, static_cast<float>(a.altFt));
    // The true heading as a 16-bit angle (65536 to the circle), wrapping into the signed range.
    const auto h = static_cast<long long>(std::llround(a.headingDeg * 65536 / 360));
    Put<int16_t>(slot + 16, static_cast<int16_t>(static_cast<uint16_t>(h & 0xFFFF)));
    Put<int16_t>(slot + 18, Clamp16(a.groundSpeedKt));
    Put<int16_t>(slot + 20, Clamp16(a.verticalSpeedFpm));
    // The area holds the call sign in the simulator's code page (Latin-1), one byte a character.
    if (const auto bytes = Latin1Bytes(a.callsign)) {
      std::memcpy(slot + 22, bytes->data(),
                  std::min(bytes->size(), static_cast<size_t>(kCallsignCharacters)));
    }
  }
  return area;
}

void WriteTrafficArea(SimulatorCore& core, const TrafficSlots& slots) {
  const auto area = EncodeTrafficArea(slots);
  core.Write(kTrafficAreaStart, area.data(), static_cast<uint32_t>(area.size()));
}

void UpdateTraffic(TrafficSource& source, SimulatorCore& core, double t) {
  TrafficSlots slots;
  source.SlotsAt(t, slots);
  WriteTrafficArea(core, slots);
}

std::unique_ptr<TrafficSource> LoadTrafficFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the file";
    return nullptr;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string reason;
  auto file = TrafficFile::Parse(text.str(), reason);
  if (!file) {
    error = path + ": " + reason;
    return nullptr;
  }
  return std::make_unique<TrafficFile>(std::move(*file));
}

}  // namespace sky::sim
