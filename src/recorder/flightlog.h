// The flight log: which samples are worth a record, the record format of "Flightlog.txt", and
// "Realtime.txt" (the flight log plus the present position) for the realtime documents. The tick
// and the logging commands hand the recorder the sample, the settings and the program's flags,
// and take back what it has to say; it keeps its own memory between calls in RecorderState.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/flight_sample.h"
#include "core/log_format.h"
#include "core/logging_parameters.h"
#include "core/ports.h"
#include "core/traffic_table.h"

namespace sky {

// The recorder's memory from one call to the next.
struct RecorderState {
  std::string PrevTimestamp;  // the previous tick's time stamp; empty after a clear
  // The values of the last record appended to "Flightlog.txt", and its time stamp.
  std::string LastLoggedHeading;
  std::string LastLoggedGroundSpeed;
  std::string LastLoggedAltitude;
  std::string LastLoggedVerticalSpeed;
  std::string LastWriteTime;
  bool LastTickLogged = false;  // the previous decision was to write
  // The lengths of "Flightlog.txt" and "Realtime.txt" as the last refresh of the realtime log
  // left them (the flight log, then the present position); unknown after anything else changed
  // them.
  struct RealtimeLogLengths {
    uint64_t flightLog = 0;
    uint64_t realtimeLog = 0;
  };
  std::optional<RealtimeLogLengths> realtimeLog;
};

// What one record is made of.
struct RecordInputs {
  const FlightSample& sample;
  PreviousSample& prev;  // event detection keeps its gear and flaps here
  const LoggingParameters& params;
  std::string_view separator;  // of the sample's texts
  bool LoggingOn = false;
  bool RealtimeOn = false;
  bool AnimationOn = false;
  // The traffic, recorded in animation mode while the TCAS display reads it (mode not OFF).
  const TrafficTable& traffic;
  int TcasRange = 20;
  int TcasMode = 0;
  FileSystem& files;
  Folders& folders;  // the logs are in the data folder
  Clock& clock;
};

// What a record has to say to the windows.
struct RecordResult {
  bool recorded = true;  // false: a file operation or a sample text failed
  // The logging label: green for a record to be written (true), black again after one was
  // (false); unchanged when empty.
  std::optional<bool> writtenLabel;
  // The sentences to post, in order: the events found, a traffic aircraft that could not be
  // classified, a failed animation recording ("Error in animating flight.").
  std::vector<std::string> sentences;
  // The overspeed and stall warnings as they began (true) or ended (false) with this sample: the
  // status window's ground-speed and altitude lines turn red or black.
  std::optional<bool> overspeed;
  std::optional<bool> stall;
};

// Decides whether the current sample is written, detects events and appends the record while
// logging is on; keeps "Realtime.txt" while realtime is on too, and records animation and
// traffic in animation mode. `code` is a caller's event code ("SA", "SO", "SA=hhmm") or empty;
// `force` writes without asking the selection rule.
RecordResult RecordSample(const RecordInputs& in, RecorderState& state, const std::string& code,
                          bool force);

// Forgets the previous sample's texts and time stamp: the next record starts a logging run.
void ClearPreviousValues(PreviousSample& prev, RecorderState& state);

// The approach window of the ILS events: height above ground strictly between IgnoreILSBelow and
// IgnoreILSAbove, vertical speed strictly below IgnoreILSAboveVS. Throws DataError.
bool ApproachWindowHolds(const FlightSample& sample, std::string_view separator,
                         const LoggingParameters& params);

// One record of the sample, without its line end: time stamp, longitude, latitude, altitude, on
// ground, event code, then the integer parts of indicated airspeed, height above ground, true
// airspeed, vertical speed, ground speed and heading, then `previous`. Throws DataError.
void BuildFlightRecord(const FlightSample& sample, std::string_view separator,
                       std::string_view stamp, std::string_view code, std::string_view previous,
                       std::string& line);

// Appends records ending with CR LF, whole or not at all: after a failed write whatever part of
// them reached the log is cut away again, back to its last line end (or to the CR of the last
// record, should only its LF be missing); then throws FileFailure.
void AppendRecord(FileSystem& files, const std::string& log, std::string_view records);

}  // namespace sky
