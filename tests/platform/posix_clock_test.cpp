// The POSIX clock's time zone: the bias in force at a local time (UTC = local + bias, minutes),
// daylight saving included, in zones east and west of Greenwich.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/posix_platform.h"

namespace sky {
namespace {

// Sets TZ for the test and puts the earlier one back.
class ZoneOfTheTest {
 public:
  explicit ZoneOfTheTest(const char* zone) {
    if (const char* earlier = std::getenv("TZ")) earlier_ = earlier;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneOfTheTest() {
    if (earlier_) {
      setenv("TZ", earlier_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> earlier_;
};

TEST(PosixClock, TheBiasInForceEastAndWestOfGreenwich) {
  struct Case {
    const char* zone;  // POSIX rules, so that no time-zone database is needed
    LocalDateTime local;
    int biasMinutes;
  } cases[] = {
      {"CET-1CEST,M3.5.0,M10.5.0/3", {2026, 1, 15, 12, 0, 0}, -60},
      {"CET-1CEST,M3.5.0,M10.5.0/3", {2026, 7, 15, 12, 0, 0}, -120},
      {"EST5EDT,M3.2.0,M11.1.0", {2026, 1, 15, 12, 0, 0}, 300},
      {"EST5EDT,M3.2.0,M11.1.0", {2026, 7, 15, 12, 0, 0}, 240},
      {"IST-5:30", {2026, 7, 15, 12, 0, 0}, -330},
      {"UTC0", {2026, 7, 15, 12, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    ZoneOfTheTest zone(c.zone);
    EXPECT_EQ(TimeZoneAt(c.local).biasMinutes, c.biasMinutes)
        << c.zone << " in month " << c.local.month;
  }
}

}  // namespace
}  // namespace sky
