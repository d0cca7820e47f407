#include "recorder/log_file.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "core/numtext.h"
#include "core/ports.h"
#include "core/text.h"
#include "core/timestamp.h"

namespace sky {
namespace {

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Minutes since 1970 of a "dd-mm-yyyy hh:mm" text; empty when it is not a valid date and time.
std::optional<int64_t> MinutesOf(const std::string& text) {
  int day = 0, month = 0, year = 0, hour = 0, minute = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%2d-%2d-%4d %2d:%2d%c", &day, &month, &year, &hour, &minute,
                  &tail) != 5) {
    return std::nullopt;
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59) {
    return std::nullopt;
  }
  if (day > kDays[month - 1] + (month == 2 && IsLeap(year))) return std::nullopt;
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 1440 +
         hour * 60 + minute;
}

// Minutes since 1970 of a record's time stamp (its text before the first ":"); empty when the
// line holds no whole stamp of fourteen digits, as a line damaged by a crash does.
std::optional<int64_t> RecordMinutes(std::string_view line) {
  const std::string_view stamp = line.substr(0, line.find(':'));
  if (stamp.size() != 14 || stamp.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return MinutesOf(CorrectDatumTijd(std::string(stamp)));
}

}  // namespace

bool IsLogRecent(FileSystem& files, Clock& clock, const std::string& log) try {
  if (!files.Append(log, "")) return false;
  const auto text = files.ReadAll(log);
  if (!text) return false;
  // Recency is judged from the last whole record. A line that cannot be read never makes the
  // log old: a log holding nothing but such lines is kept too.
  std::optional<int64_t> recorded;
  bool anyLine = false;
  ForEachLine(*text, [&](std::string_view line) {
    if (line.empty()) return true;
    anyLine = true;
    if (const auto minutes = RecordMinutes(line)) recorded = minutes;
    return true;
  });
  if (!recorded) return anyLine;
  // The present moment as the records' stamps give it: the UTC date and time.
  const auto present = MinutesOf(CorrectDatumTijd(Timestamp(clock)));
  if (!present) return false;
  return *present - *recorded <= 60;
} catch (const std::exception&) {
  return false;  // a log too large to hold counts as unreadable
}

bool LogHasRecords(FileSystem& files, const std::string& log) try {
  // Five lines are all that is looked at; a head of the file holds them unless they are huge,
  // and then a larger head, but never more: this runs every second.
  constexpr size_t kFirstLook = 1 << 16;
  constexpr size_t kLongestLook = 1 << 24;
  auto text = files.ReadHead(log, kFirstLook);
  if (!text) return false;
  int lines = 0;
  std::string_view lastLine;
  auto visit = [&](std::string_view line) {
    lastLine = line;
    return ++lines < 5;
  };
  ForEachLine(*text, visit);
  if (lines < 5 && text->size() == kFirstLook) {
    text = files.ReadHead(log, kLongestLook);
    if (!text) return false;
    lines = 0;
    ForEachLine(*text, visit);
  }
  return !lastLine.empty();
} catch (const std::exception&) {
  return false;
}

}  // namespace sky
