#include "core/timestamp.h"

#include <cstdio>

#include "core/numtext.h"

namespace sky {
namespace {

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string DateDigits(const LocalDateTime& time) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", time.year, time.month, time.day);
  return text;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Characters from 1-based position `start`, at most `length` of them; short texts give less.
std::string Mid(const std::string& text, size_t start, size_t length) {
  return start > text.size() ? std::string() : text.substr(start - 1, length);
}

}  // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

LocalDateTime AddSeconds(const LocalDateTime& time, int64_t seconds) {
  const int64_t total = DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600 +
                        time.minute * 60 + time.second + seconds;
  int64_t days = total / 86400;
  int64_t rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  LocalDateTime result;
  CivilFromDays(days, result.year, result.month, result.day);
  result.hour = static_cast<int>(rest / 3600);
  result.minute = static_cast<int>(rest / 60 % 60);
  result.second = static_cast<int>(rest % 60);
  return result;
}

LocalDateTime UtcOf(const LocalDateTime& local, const TimeZoneInfo& zone) {
  const int bias = zone.biasMinutes +
                   (zone.daylightActive ? zone.daylightBiasMinutes : zone.standardBiasMinutes);
  const int64_t hours = RoundHalfEven(bias / 60.0);
  return AddSeconds(local, hours * 3600);
}

std::string GetUtcTime(Clock& clock) {
  const LocalDateTime utc = UtcOf(clock.LocalNow(), clock.TimeZone());
  return TwoDigits(utc.hour) + TwoDigits(utc.minute);
}

std::string Timestamp(Clock& clock) {
  const LocalDateTime utc = UtcOf(clock.LocalNow(), clock.TimeZone());
  return DateDigits(utc) + TwoDigits(utc.hour) + TwoDigits(utc.minute) + TwoDigits(utc.second);
}

std::string CorrectDatumTijd(const std::string& DatumTijd) {
  const std::string& s = DatumTijd;
  const std::string lastSix = s.size() > 6 ? s.substr(s.size() - 6) : s;
  return Mid(s, 7, 2) + "-" + Mid(s, 5, 2) + "-" + Mid(s, 1, 4) + " " + Mid(lastSix, 1, 2) + ":" +
         Mid(lastSix, 3, 2);
}

}  // namespace sky
