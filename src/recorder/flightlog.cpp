#include "recorder/flightlog.h"

#include <charconv>
#include <cstdint>

#include "core/numtext.h"
#include "core/system.h"
#include "core/timestamp.h"
#include "recorder/animation.h"
#include "recorder/events.h"
#include "recorder/log_repair.h"

namespace sky {
namespace {

class FileFailure : public std::runtime_error {
 public:
  explicit FileFailure(const std::string& path) : std::runtime_error("file: " + path) {}
};

void Require(bool done, const std::string& path) {
  if (!done) throw FileFailure(path);
}

float Single(std::string_view text, std::string_view separator) {
  return static_cast<float>(RequireNumber(text, separator));
}

// Whether the two values differ by the threshold or more, the difference taken in single
// precision, as the user's thresholds are.
bool Differs(float lastLogged, float current, float threshold) {
  const float difference = lastLogged - current;
  return difference <= -threshold || difference >= threshold;
}

// The selection rule: whether an unforced sample without a caller's code is worth a record.
bool WorthARecord(const RecordInputs& in, const RecorderState& g) {
  const FlightSample& s = in.sample;
  const PreviousSample& p = in.prev;
  const LoggingParameters& params = in.params;
  const std::string_view separator = in.separator;
  auto number = [separator](std::string_view text) { return RequireNumber(text, separator); };
  auto single = [separator](std::string_view text) { return Single(text, separator); };

  const bool window = ApproachWindowHolds(s, separator, params);
  if (s.LocalizerInBand != p.LocalizerInBand && window && p.GlideslopeNeedle != 0) return true;
  if (s.GlideslopeState != p.GlideslopeState && window && s.GlideslopeFlag == p.GlideslopeFlag) {
    return true;
  }
  if (s.InnerMarker != p.InnerMarker || s.MiddleMarker != p.MiddleMarker ||
      s.OuterMarker != p.OuterMarker || s.FlapsPercent != p.FlapsPercent || s.Gear != p.Gear ||
      s.Spoilers != p.Spoilers || s.TailHook != p.TailHook || s.Overspeed != p.Overspeed ||
      s.Stall != p.Stall) {
    return true;
  }
  if (p.Altitude.empty()) return true;

  // Strictly above 10000 ft the wider thresholds apply.
  const bool high = number(s.Altitude) > 10000;
  // The heading difference is not wrapped at north: 359 to 1 is a change of 358.
  if (Differs(single(g.LastLoggedHeading), single(s.Heading),
              high ? params.HDGOffset100 : params.HDGOffset)) {
    return true;
  }
  const int64_t lastSpeed = Floor64(number(g.LastLoggedGroundSpeed));
  const int64_t speed = Floor64(number(s.GroundSpeed));
  if ((lastSpeed == 0 && speed > 0) || (lastSpeed > 0 && speed == 0)) return true;

  const double lastVerticalSpeed = number(g.LastLoggedVerticalSpeed);
  if (lastVerticalSpeed <= -params.CheckVS || lastVerticalSpeed >= params.CheckVS) {
    return Differs(static_cast<float>(lastVerticalSpeed), single(s.VerticalSpeed),
                   high ? params.VSOffset100 : params.VSOffset);
  }
  return Differs(single(g.LastLoggedAltitude), single(s.Altitude),
                 high ? params.AltOffset100 : params.AltOffset);
}

// A fourteen-digit time stamp as a number.
int64_t StampNumber(const std::string& stamp) {
  int64_t value = 0;
  const auto done = std::from_chars(stamp.data(), stamp.data() + stamp.size(), value);
  if (done.ec != std::errc() || done.ptr != stamp.data() + stamp.size()) {
    throw DataError("not a time stamp: " + stamp);
  }
  return value;
}

// The length of the log up to and including its last line end (CR LF, LF or a lone CR).
uint64_t WholeLinesLength(std::string_view text) {
  const size_t end = text.find_last_of("\r\n");
  return end == std::string_view::npos ? 0 : end + 1;
}

}  // namespace

void AppendRecord(FileSystem& files, const std::string& log, std::string_view line) {
  if (files.Append(log, line)) return;
  if (const auto text = files.ReadAll(log)) {
    const std::string_view upToCr = line.substr(0, line.size() - 1);
    const uint64_t keep = std::string_view(*text).ends_with(upToCr) ? text->size() - upToCr.size()
                                                                    : WholeLinesLength(*text);
    if (keep < text->size()) files.Truncate(log, keep);
  }
  throw FileFailure(log);
}

namespace {

// "Realtime.txt": always the flight log, then the present position as its last line. When both
// files are as long as the last refresh left them (the flight log longer by `appended`, this
// call's record, at most), the realtime log is cut back to the flight log and the new lines are
// appended: a tick costs the length of its lines, not of the flight. Otherwise, and at the start
// of a logging run (whose record may have cut an unfinished line from the flight log), it is made
// anew from a copy of the flight log. Either way a reader finds whole records in it.
void RefreshRealtimeLog(FileSystem& files, RecorderState& state, const std::string& flightLog,
                        const std::string& realtime, std::string_view appended,
                        std::string_view line, bool runStarts) {
  const auto known = state.realtimeLog;
  state.realtimeLog.reset();  // until the refresh is done
  if (known && !runStarts && files.FileSize(realtime) == known->realtimeLog &&
      files.FileSize(flightLog) == known->flightLog + appended.size()) {
    const uint64_t flightLogBytes = known->flightLog + appended.size();
    Require(files.Truncate(realtime, known->flightLog), realtime);
    std::string lines;
    lines.reserve(appended.size() + line.size());
    lines.append(appended).append(line);
    Require(files.Append(realtime, lines), realtime);
    state.realtimeLog =
        RecorderState::RealtimeLogLengths{flightLogBytes, flightLogBytes + line.size()};
    return;
  }
  Require(files.Append(realtime, ""), realtime);
  Require(files.Remove(realtime), realtime);
  Require(files.Copy(flightLog, realtime), realtime);
  const auto copied = files.FileSize(realtime);
  Require(files.Append(realtime, line), realtime);
  if (copied) {
    state.realtimeLog = RecorderState::RealtimeLogLengths{*copied, *copied + line.size()};
  }
}

void AppendInteger(std::string& line, int64_t value) {
  char digits[24];
  const auto done = std::to_chars(digits, digits + sizeof digits, value);
  line.append(digits, done.ptr);
}

}  // namespace

bool ApproachWindowHolds(const FlightSample& sample, std::string_view separator,
                         const LoggingParameters& params) {
  const double height = RequireNumber(sample.HeightAboveGround, separator);
  const double verticalSpeed = RequireNumber(sample.VerticalSpeed, separator);
  return height > params.IgnoreILSBelow && height < params.IgnoreILSAbove &&
         verticalSpeed < params.IgnoreILSAboveVS;
}

void BuildFlightRecord(const FlightSample& s, std::string_view separator, std::string_view stamp,
                       std::string_view code, std::string_view previous, std::string& line) {
  line.clear();
  line.append(stamp).append(":");
  line.append(s.Longitude).append(":");
  line.append(s.Latitude).append(":");
  line.append(s.Altitude).append(":");
  line.append(s.OnGround != 0 ? "1" : "0").append(":");
  line.append(code).append(":");
  for (const double value :
       {s.IndicatedAirspeed, RequireNumber(s.HeightAboveGround, separator), s.TrueAirspeed,
        RequireNumber(s.VerticalSpeed, separator), RequireNumber(s.GroundSpeed, separator),
        RequireNumber(s.Heading, separator)}) {
    AppendInteger(line, Floor64(value));
    line += ':';
  }
  line.append(previous);
}

RecordResult RecordSample(const RecordInputs& in, RecorderState& g, const std::string& givenCode,
                          bool force) {
  RecordResult result;
  try {
    std::string code = givenCode;
    const std::string now = Timestamp(in.clock);

    bool write = true;
    if (!force && givenCode.empty() && in.sample.OnGround == in.prev.OnGround) {
      write = WorthARecord(in, g);
      if (!write && g.LastTickLogged) {
        result.writtenLabel = false;
        g.LastTickLogged = false;
      }
    }
    // About five minutes without a record in a steady cruise.
    if (!g.LastWriteTime.empty() && StampNumber(now) - StampNumber(g.LastWriteTime) > 500) {
      write = true;
    }
    if (write) {
      result.writtenLabel = true;
      g.LastTickLogged = true;
    }

    const std::string stamp = Timestamp(in.clock);
    const std::string_view previous =
        g.PrevTimestamp.empty() ? std::string_view("-") : std::string_view(g.PrevTimestamp);
    if (g.PrevTimestamp.empty()) code = "SA";
    DetectEvents(in.sample, in.prev, in.separator, in.params, code, result);

    std::string line;
    BuildFlightRecord(in.sample, in.separator, stamp, code, previous, line);
    line += "\r\n";

    if ((write && in.LoggingOn) || (in.RealtimeOn && in.LoggingOn)) {
      FileSystem& files = in.files;
      const std::string folder = AppDataFolder(in.folders);
      const std::string flightLog = folder + kFlightLogFile;
      const bool runStarts = givenCode.starts_with("SA") || g.PrevTimestamp.empty();
      std::string_view appended;
      if (write && in.LoggingOn) {
        if (runStarts) {
          // A run begins on a fresh line in each log, whatever the previous run left behind.
          for (const char* log : {kFlightLogFile, kAnimationLogFile, kTrafficLogFile}) {
            CutUnfinishedLine(files, folder + log);
          }
        }
        AppendRecord(files, flightLog, line);
        appended = line;
        const FlightSample& s = in.sample;
        g.LastLoggedHeading = s.Heading;
        g.LastLoggedGroundSpeed = s.GroundSpeed;
        g.LastLoggedAltitude = s.Altitude;
        g.LastLoggedVerticalSpeed = s.VerticalSpeed;
        g.LastWriteTime = stamp;
      }
      if (in.RealtimeOn && in.LoggingOn) {
        RefreshRealtimeLog(files, g, flightLog, folder + kRealtimeLogFile, appended, line,
                           runStarts);
      } else {
        g.realtimeLog.reset();  // the flight log grew without it
      }
    }
    if (in.AnimationOn) RecordAnimation(in, g.PrevTimestamp, code, result.sentences);
  } catch (const std::exception&) {
    g.realtimeLog.reset();
    result.recorded = false;
  }
  return result;
}

void ClearPreviousValues(PreviousSample& prev, RecorderState& state) {
  prev.Latitude.clear();
  prev.Longitude.clear();
  prev.GroundSpeed.clear();
  prev.Altitude.clear();
  prev.Heading.clear();
  state.PrevTimestamp.clear();
}

}  // namespace sky
