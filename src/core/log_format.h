// The logs' file names and the record formats they share. A flight-log record ("Flightlog.txt",
// "Realtime.txt", "Animation.txt") is one line of 13 fields separated by ":"; a traffic line
// ("Traffic.txt") has 12. Fields are named here, numbered from 1 as the formats count them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace sky {

inline constexpr char kFlightLogFile[] = "Flightlog.txt";
inline constexpr char kRealtimeLogFile[] = "Realtime.txt";
inline constexpr char kAnimationLogFile[] = "Animation.txt";
inline constexpr char kTrafficLogFile[] = "Traffic.txt";

// The fields of a flight-log record.
enum class Field : size_t {
  Stamp = 1,          // fourteen digits: UTC date "yyyymmdd", UTC time "hhmm", seconds "ss"
  Longitude,          // degrees, east positive, the user's decimal separator
  Latitude,           // degrees, north positive
  Altitude,           // whole feet above mean sea level
  OnGround,           // "1" or "0"
  EventCode,          // empty, or one event code ("GD", "FL=30"...)
  IndicatedAirspeed,  // the integer parts of the sample's values: knots
  HeightAboveGround,  // feet
  TrueAirspeed,       // knots
  VerticalSpeed,      // feet per minute
  GroundSpeed,        // knots
  Heading,            // degrees true
  PreviousStamp,      // the previous tick's stamp, "-" at the start of a logging run
};
inline constexpr size_t kRecordFieldCount = 13;

// The fields of a traffic line.
enum class TrafficField : size_t {
  Stamp = 1,  // the animation record's stamp
  Id,         // the traffic table's columns: ID, Lat, Lon, Alt, HDG, Spd, Callsign, VS
  Latitude,
  Longitude,
  Altitude,
  Heading,
  GroundSpeed,
  Callsign,
  VerticalSpeed,
  Level,             // the threat level, 0 to 4
  RelativeAltitude,  // hundreds of feet, "+12" or "-1"
  PreviousStamp,     // as the animation record's last field
};
inline constexpr size_t kTrafficFieldCount = 12;

// The fields of one record, as views into it. A record that ends early has empty fields after
// its last one.
class RecordFields {
 public:
  // Throws DataError when the record has fewer than `minimum` fields.
  RecordFields(std::string_view record, size_t minimum);
  std::string_view operator[](Field field) const { return fields_[static_cast<size_t>(field) - 1]; }
  size_t count() const { return count_; }

 private:
  std::array<std::string_view, kRecordFieldCount> fields_{};
  size_t count_ = 0;
};

// The time stamp of a record: its text before the first ":".
inline std::string_view StampOf(std::string_view record) {
  return record.substr(0, record.find(':'));
}

// The first record of a logging run carries "-" as its previous time stamp.
inline bool StartsLoggingRun(std::string_view record) {
  return !record.empty() && record.back() == '-';
}

}  // namespace sky
