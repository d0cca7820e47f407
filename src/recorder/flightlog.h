// The flight log: which samples are worth a record, the record format of "Flightlog.txt", and
// "Realtime.txt" (the flight log plus the present position) for the realtime documents.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/log_format.h"

namespace sky {

struct App;

// Decides whether the current sample is written, detects events and appends the record while
// logging is on. `code` is a caller's event code ("SA", "SO", "SA=hhmm") or empty; `force`
// writes without asking the selection rule. Returns false when a file operation or a sample
// text failed; the caller decides what follows.
bool RecordSample(App& app, const std::string& code, bool force);

// A text of the sample (or a last-logged value) that does not read back as a number.
class BadSampleText : public std::runtime_error {
 public:
  explicit BadSampleText(std::string_view text)
      : std::runtime_error("not a number: \"" + std::string(text) + "\"") {}
};

// A sample text as a number, in the user's number format; throws BadSampleText.
double SampleNumber(const App& app, std::string_view text);

// The approach window of the ILS events: height above ground strictly between IgnoreILSBelow and
// IgnoreILSAbove, vertical speed strictly below IgnoreILSAboveVS. Throws BadSampleText.
bool ApproachWindowHolds(const App& app);

// One record of the current sample, without its line end: time stamp, longitude, latitude,
// altitude, on ground, event code, then the integer parts of indicated airspeed, height above
// ground, true airspeed, vertical speed, ground speed and heading, then `previous`. Throws
// BadSampleText.
void BuildFlightRecord(const App& app, std::string_view stamp, std::string_view code,
                       std::string_view previous, std::string& line);

}  // namespace sky
