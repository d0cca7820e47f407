// The program's clock texts: the UTC time of day, the fourteen-digit time stamp of every log
// record, and the date and time a time stamp stands for.
#pragma once

#include <string>

#include "core/ports.h"

namespace sky {

struct App;

// The UTC time of day "hhmm", from the local time and the time zone's whole-hour bias.
std::string GetUtcTime(App& app);
std::string UtcTimeOf(App& app, const LocalDateTime& local);

// The fourteen-digit time stamp: local date "yyyymmdd", UTC "hhmm", local seconds "ss".
std::string Timestamp(App& app);

// "dd-mm-yyyy hh:mm" of a fourteen-digit time stamp (the seconds are dropped).
std::string CorrectDatumTijd(const std::string& DatumTijd);

}  // namespace sky
