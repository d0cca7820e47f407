// The program's clock texts: the UTC time of day, the fourteen-digit time stamp of every log
// record, and the date and time a time stamp stands for; and the calendar arithmetic under them.
#pragma once

#include <cstdint>
#include <string>

#include "core/ports.h"

namespace sky {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);
// Adds seconds to a calendar time (no daylight-saving jumps); the date rolls as it must.
LocalDateTime AddSeconds(const LocalDateTime& time, int64_t seconds);

// The local date and time moved to UTC by the time zone's bias in whole hours (bias / 60, halves
// to even: a half-hour zone is reported half an hour off). The date rolls over midnight with the
// time, so a time stamp's date and time always belong together.
LocalDateTime UtcOf(const LocalDateTime& local, const TimeZoneInfo& zone);

// The UTC time of day "hhmm" of the present moment (see UtcOf).
std::string GetUtcTime(Clock& clock);

// The fourteen-digit time stamp "yyyymmddhhmmss" of the present moment in UTC (see UtcOf).
std::string Timestamp(Clock& clock);

// "dd-mm-yyyy hh:mm" of a fourteen-digit time stamp (the seconds are dropped).
std::string CorrectDatumTijd(const std::string& DatumTijd);

}  // namespace sky
