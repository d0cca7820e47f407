// The flight log: which samples are worth a record, the record format of "Flightlog.txt", and
// "Realtime.txt" (the flight log plus the present position) for the realtime documents.
#pragma once

#include <string>

namespace sky {

struct App;

inline constexpr char kRealtimeLogFile[] = "Realtime.txt";

// Decides whether the current sample is written, detects events and appends the record while
// logging is on. `code` is a caller's event code ("SA", "SO", "SA=hhmm") or empty; `force`
// writes without asking the selection rule.
void RecordSample(App& app, const std::string& code, bool force);

}  // namespace sky
