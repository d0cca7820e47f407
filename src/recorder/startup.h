// Start-up of the program and the one-second sampling tick that drives it.
#pragma once

#include <string>

#include "core/ports.h"

namespace sky {

struct App;

inline constexpr char kFlightLogFile[] = "Flightlog.txt";

// The start-up sequence of the main window. Returns false when the program ended during it.
bool Form_Load(App& app);
// One sampling tick.
void Timer1_Timer(App& app);
// Closing the main window: removes the tray icon and ends the program.
void Form_Unload(App& app);

// The UTC time of day "hhmm", from the local time and the time zone's whole-hour bias.
std::string GetUtcTime(App& app);
std::string UtcTimeOf(App& app, const LocalDateTime& local);

// The program's fourteen-digit time stamp: local date "yyyymmdd", UTC "hhmm", local seconds "ss".
std::string Timestamp(App& app);

// The last record of the flight log is at most one hour old.
bool IsLogRecent(App& app);
// The flight log has content (looks at its first five lines).
bool LogHasRecords(App& app);

}  // namespace sky
