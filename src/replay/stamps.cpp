#include "replay/stamps.h"

#include "kml/log_records.h"

namespace sky {
namespace {

int Digits(std::string_view stamp, size_t at, size_t count) {
  int value = 0;
  for (size_t i = at; i < at + count; ++i) value = value * 10 + (stamp[i] - '0');
  return value;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

void AppendTwo(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

void CheckStamp(std::string_view stamp) {
  bool digits = stamp.size() == 14;
  for (size_t i = 0; digits && i < stamp.size(); ++i) digits = stamp[i] >= '0' && stamp[i] <= '9';
  if (!digits) throw DataError("not a time stamp: " + std::string(stamp.substr(0, 32)));
  const int month = Digits(stamp, 4, 2);
  const int day = Digits(stamp, 6, 2);
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(Digits(stamp, 0, 4), month) ||
      Digits(stamp, 8, 2) > 23 || Digits(stamp, 10, 2) > 59 || Digits(stamp, 12, 2) > 59) {
    throw DataError("not a date and time: " + std::string(stamp));
  }
}

std::string NextSecond(std::string_view stamp) {
  CheckStamp(stamp);
  int year = Digits(stamp, 0, 4), month = Digits(stamp, 4, 2), day = Digits(stamp, 6, 2);
  int hour = Digits(stamp, 8, 2), minute = Digits(stamp, 10, 2), second = Digits(stamp, 12, 2);
  if (++second == 60) {
    second = 0;
    if (++minute == 60) {
      minute = 0;
      if (++hour == 24) {
        hour = 0;
        if (++day > DaysInMonth(year, month)) {
          day = 1;
          if (++month == 13) {
            month = 1;
            if (++year == 10000) throw DataError("no time stamp after " + std::string(stamp));
          }
        }
      }
    }
  }
  std::string next;
  next.reserve(14);
  AppendTwo(next, year / 100);
  AppendTwo(next, year % 100);
  for (const int part : {month, day, hour, minute, second}) AppendTwo(next, part);
  return next;
}

std::string KmlTime(std::string_view s, char zone) {
  std::string text;
  text.reserve(20);
  text.append(s.substr(0, 4)).append("-").append(s.substr(4, 2)).append("-");
  text.append(s.substr(6, 2)).append("T").append(s.substr(8, 2)).append(":");
  text.append(s.substr(10, 2)).append(":").append(s.substr(12, 2)) += zone;
  return text;
}

}  // namespace sky
