// A converted flight as the review and the exports read it: the flight log's records and, when
// there is one, the animation log's second-by-second records, merged into one track in time
// order. Parsed once into plain numbers; the logs themselves stay as they are.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sky {

class FileSystem;

// A log line the review cannot use; the text names the file and the line ("Flightlog.txt, line
// 12: the latitude is not a number").
class TrackInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TrackPoint {
  int64_t stamp = 0;    // the record's fourteen-digit time stamp
  int64_t seconds = 0;  // the same as seconds since 1970 (the log's own date and time)
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double altitudeFt = 0;  // above mean sea level
  double heightFt = 0;    // above ground
  bool onGround = false;
  double iasKt = 0;
  double tasKt = 0;
  double verticalSpeedFpm = 0;
  double groundSpeedKt = 0;
  double headingDeg = 0;
  std::string code;  // the event code, empty for none
  bool fromFlightLog = false;
  bool fromAnimation = false;
  bool startsRun = false;  // the first record of a logging run ("-" as previous time stamp)
};

struct Track {
  std::vector<TrackPoint> points;  // in time order, one per second at most
};

// One record of either log. Either decimal separator is taken ("," or "."; a field never holds
// both). Throws TrackInputError naming `file` and `line`.
TrackPoint ParseTrackRecord(std::string_view record, std::string_view file, size_t line);

// Adds every record of a log text (empty lines are skipped).
void AddLogRecords(Track& track, std::string_view text, std::string_view file, bool animation);

// Sorts by time and merges the records of one second: the animation log's values, with the
// flight log's event code where it has one.
void FinishTrack(Track& track);

// Reads "Flightlog.txt" and, when present, "Animation.txt" of a data folder (a path ending with
// its separator). Throws TrackInputError when the flight log is missing, empty or damaged.
Track ReadFlightTrack(FileSystem& files, const std::string& folder);

// "2026-12-05T10:31:07Z" and "10:31:07" of a time stamp.
std::string IsoTime(int64_t stamp);
std::string ClockTime(int64_t stamp);

// Great-circle distance in nautical miles.
double DistanceNm(const TrackPoint& a, const TrackPoint& b);

// A number with a fixed count of decimals, "." as decimal point whatever the user's locale.
std::string Fixed(double value, int decimals);

}  // namespace sky
