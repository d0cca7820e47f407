#include "recorder/flightlog.h"

#include <charconv>
#include <cstdint>

#include "core/app.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "core/timestamp.h"
#include "recorder/animation.h"
#include "recorder/events.h"
#include "recorder/log_repair.h"
#include "recorder/recording_state.h"

namespace sky {
namespace {

class FileFailure : public std::runtime_error {
 public:
  explicit FileFailure(const std::string& path) : std::runtime_error("file: " + path) {}
};

void Require(bool done, const std::string& path) {
  if (!done) throw FileFailure(path);
}

float Single(const App& app, std::string_view text) {
  return static_cast<float>(SampleNumber(app, text));
}

// Whether the two values differ by the threshold or more, the difference taken in single
// precision, as the user's thresholds are.
bool Differs(float lastLogged, float current, float threshold) {
  const float difference = lastLogged - current;
  return difference <= -threshold || difference >= threshold;
}

// The selection rule: whether an unforced sample without a caller's code is worth a record.
bool WorthARecord(const App& app) {
  const FlightSample& s = app.sample;
  const PreviousSample& p = app.prev;
  const Globals& g = app.g;
  const LoggingParameters& params = app.params;

  const bool window = ApproachWindowHolds(app);
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
  const bool high = SampleNumber(app, s.Altitude) > 10000;
  // The heading difference is not wrapped at north: 359 to 1 is a change of 358.
  if (Differs(Single(app, g.LastLoggedHeading), Single(app, s.Heading),
              high ? params.HDGOffset100 : params.HDGOffset)) {
    return true;
  }
  const int64_t lastSpeed = Floor64(SampleNumber(app, g.LastLoggedGroundSpeed));
  const int64_t speed = Floor64(SampleNumber(app, s.GroundSpeed));
  if ((lastSpeed == 0 && speed > 0) || (lastSpeed > 0 && speed == 0)) return true;

  const double lastVerticalSpeed = SampleNumber(app, g.LastLoggedVerticalSpeed);
  if (lastVerticalSpeed <= -params.CheckVS || lastVerticalSpeed >= params.CheckVS) {
    return Differs(static_cast<float>(lastVerticalSpeed), Single(app, s.VerticalSpeed),
                   high ? params.VSOffset100 : params.VSOffset);
  }
  return Differs(Single(app, g.LastLoggedAltitude), Single(app, s.Altitude),
                 high ? params.AltOffset100 : params.AltOffset);
}

// A fourteen-digit time stamp as a number.
int64_t StampNumber(const std::string& stamp) {
  int64_t value = 0;
  const auto done = std::from_chars(stamp.data(), stamp.data() + stamp.size(), value);
  if (done.ec != std::errc() || done.ptr != stamp.data() + stamp.size()) {
    throw BadSampleText(stamp);
  }
  return value;
}

// The length of the log up to and including its last line end (CR LF, LF or a lone CR).
uint64_t WholeLinesLength(std::string_view text) {
  const size_t end = text.find_last_of("\r\n");
  return end == std::string_view::npos ? 0 : end + 1;
}

// Appends one record with its CR LF, whole or not at all: after a failed write whatever part of
// the record reached the log is cut away again (up to its CR, should only the LF be missing).
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

// "Realtime.txt": always the flight log, then the present position as its last line. When both
// files are as long as the last refresh left them (the flight log longer by `appended`, this
// call's record, at most), the realtime log is cut back to the flight log and the new lines are
// appended: a tick costs the length of its lines, not of the flight. Otherwise, and at the start
// of a logging run (whose record may have cut an unfinished line from the flight log), it is made
// anew from a copy of the flight log. Either way a reader finds whole records in it.
void RefreshRealtimeLog(App& app, const std::string& flightLog, const std::string& realtime,
                        std::string_view appended, std::string_view line, bool runStarts) {
  FileSystem& files = app.ports.files;
  const auto known = app.realtimeWork.logLengths;
  app.realtimeWork.logLengths.reset();  // until the refresh is done
  if (known && !runStarts && files.FileSize(realtime) == known->realtimeLog &&
      files.FileSize(flightLog) == known->flightLog + appended.size()) {
    const uint64_t flightLogBytes = known->flightLog + appended.size();
    Require(files.Truncate(realtime, known->flightLog), realtime);
    std::string lines;
    lines.reserve(appended.size() + line.size());
    lines.append(appended).append(line);
    Require(files.Append(realtime, lines), realtime);
    app.realtimeWork.logLengths =
        RealtimeWork::LogLengths{flightLogBytes, flightLogBytes + line.size()};
    return;
  }
  Require(files.Append(realtime, ""), realtime);
  Require(files.Remove(realtime), realtime);
  Require(files.Copy(flightLog, realtime), realtime);
  const auto copied = files.FileSize(realtime);
  Require(files.Append(realtime, line), realtime);
  if (copied)
    app.realtimeWork.logLengths = RealtimeWork::LogLengths{*copied, *copied + line.size()};
}

void AppendInteger(std::string& line, int64_t value) {
  char digits[24];
  const auto done = std::to_chars(digits, digits + sizeof digits, value);
  line.append(digits, done.ptr);
}

}  // namespace

double SampleNumber(const App& app, std::string_view text) {
  const auto value = ParseNumber(text, app.g.DecimalSeparator);
  if (!value) throw BadSampleText(text);
  return *value;
}

bool ApproachWindowHolds(const App& app) {
  const double height = SampleNumber(app, app.sample.HeightAboveGround);
  const double verticalSpeed = SampleNumber(app, app.sample.VerticalSpeed);
  const LoggingParameters& params = app.params;
  return height > params.IgnoreILSBelow && height < params.IgnoreILSAbove &&
         verticalSpeed < params.IgnoreILSAboveVS;
}

void BuildFlightRecord(const App& app, std::string_view stamp, std::string_view code,
                       std::string_view previous, std::string& line) {
  const FlightSample& s = app.sample;
  line.clear();
  line.append(stamp).append(":");
  line.append(s.Longitude).append(":");
  line.append(s.Latitude).append(":");
  line.append(s.Altitude).append(":");
  line.append(s.OnGround != 0 ? "1" : "0").append(":");
  line.append(code).append(":");
  for (const double value : {s.IndicatedAirspeed, SampleNumber(app, s.HeightAboveGround),
                             s.TrueAirspeed, SampleNumber(app, s.VerticalSpeed),
                             SampleNumber(app, s.GroundSpeed), SampleNumber(app, s.Heading)}) {
    AppendInteger(line, Floor64(value));
    line += ':';
  }
  line.append(previous);
}

bool RecordSample(App& app, const std::string& givenCode, bool force) {
  Globals& g = app.g;
  try {
    std::string code = givenCode;
    const std::string now = Timestamp(app);

    bool write = true;
    if (!force && givenCode.empty() && app.sample.OnGround == app.prev.OnGround) {
      write = WorthARecord(app);
      if (!write && g.LastTickLogged) {
        UpdateStatusLabels(app, g.LoggingOn, false, g.RealtimeOn);
        g.LastTickLogged = false;
      }
    }
    // About five minutes without a record in a steady cruise.
    if (!g.LastWriteTime.empty() && StampNumber(now) - StampNumber(g.LastWriteTime) > 500) {
      write = true;
    }
    if (write) {
      UpdateStatusLabels(app, g.LoggingOn, true, g.RealtimeOn);
      g.LastTickLogged = true;
    }

    const std::string stamp = Timestamp(app);
    const std::string_view previous =
        g.PrevTimestamp.empty() ? std::string_view("-") : std::string_view(g.PrevTimestamp);
    if (g.PrevTimestamp.empty()) code = "SA";
    DetectEvents(app, code);

    std::string line;
    BuildFlightRecord(app, stamp, code, previous, line);
    line += "\r\n";

    if ((write && g.LoggingOn) || (g.RealtimeOn && g.LoggingOn)) {
      FileSystem& files = app.ports.files;
      const std::string folder = AppDataFolder(app);
      const std::string flightLog = folder + kFlightLogFile;
      const bool runStarts = givenCode.starts_with("SA") || g.PrevTimestamp.empty();
      std::string_view appended;
      if (write && g.LoggingOn) {
        if (runStarts) {
          // A run begins on a fresh line in each log, whatever the previous run left behind.
          for (const char* log : {kFlightLogFile, kAnimationLogFile, kTrafficLogFile}) {
            CutUnfinishedLine(files, folder + log);
          }
        }
        AppendRecord(files, flightLog, line);
        appended = line;
        const FlightSample& s = app.sample;
        g.LastLoggedHeading = s.Heading;
        g.LastLoggedGroundSpeed = s.GroundSpeed;
        g.LastLoggedAltitude = s.Altitude;
        g.LastLoggedVerticalSpeed = s.VerticalSpeed;
        g.LastWriteTime = stamp;
      }
      if (g.RealtimeOn && g.LoggingOn) {
        RefreshRealtimeLog(app, flightLog, folder + kRealtimeLogFile, appended, line, runStarts);
      } else {
        app.realtimeWork.logLengths.reset();  // the flight log grew without it
      }
    }
    if (g.AnimationOn) RecordAnimation(app, code);
  } catch (const std::exception&) {
    app.realtimeWork.logLengths.reset();
    return false;
  }
  return true;
}

}  // namespace sky
