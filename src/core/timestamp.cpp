#include "core/timestamp.h"

#include <cstdio>

#include "core/app.h"
#include "core/numtext.h"

namespace sky {
namespace {

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string DateDigits(const LocalDateTime& local) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", local.year, local.month, local.day);
  return text;
}

// Characters from 1-based position `start`, at most `length` of them; short texts give less.
std::string Mid(const std::string& text, size_t start, size_t length) {
  return start > text.size() ? std::string() : text.substr(start - 1, length);
}

}  // namespace

std::string UtcTimeOf(App& app, const LocalDateTime& local) {
  const TimeZoneInfo zone = app.ports.clock.TimeZone();
  const int bias = zone.biasMinutes +
                   (zone.daylightActive ? zone.daylightBiasMinutes : zone.standardBiasMinutes);
  const int hours = static_cast<int>(RoundHalfEven(bias / 60.0));
  const int hour = ((local.hour + hours) % 24 + 24) % 24;
  return TwoDigits(hour) + TwoDigits(local.minute);
}

std::string GetUtcTime(App& app) {
  return UtcTimeOf(app, app.ports.clock.LocalNow());
}

std::string Timestamp(App& app) {
  const LocalDateTime now = app.ports.clock.LocalNow();
  return DateDigits(now) + UtcTimeOf(app, now) + TwoDigits(now.second);
}

std::string CorrectDatumTijd(const std::string& DatumTijd) {
  const std::string& s = DatumTijd;
  const std::string lastSix = s.size() > 6 ? s.substr(s.size() - 6) : s;
  return Mid(s, 7, 2) + "-" + Mid(s, 5, 2) + "-" + Mid(s, 1, 4) + " " + Mid(lastSix, 1, 2) + ":" +
         Mid(lastSix, 3, 2);
}

}  // namespace sky
