// What the live sources share: values a simulator lacks, derived from those it has; wild values
// kept out; the addresses the bridges take.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "skytrace-sim/live_aircraft.h"
#include "skytrace-sim/live_network.h"

namespace sky::sim {
namespace {

using Values = std::vector<std::pair<Feed, double>>;

LiveReading Reading(const Values& values) {
  LiveReading reading;
  for (const auto& [feed, value] : values) reading.Add(feed, value);
  return reading;
}

// Readings at their times, and what the state then shows at a later time.
TEST(LiveAircraft, DerivedAndCheckedValues) {
  struct Taken {
    int64_t atMs;
    Values values;
  };
#define SHOWN(field) [](const FlightState& s) -> double { return s.field; }
  using Shown = std::function<double(const FlightState&)>;
  using enum Feed;
  struct Case {
    const char* name;
    Shown shown;
    double expected;
    int64_t seenAtMs;
    std::vector<Taken> readings;
  } cases[] = {
      // clang-format off
      // The touchdown rate is the last one read in the air, not the one with the contact in it.
      {"touchdown rate", SHOWN(touchdownVerticalSpeedFpm), -420, 600,
       {{0, {{OnGround, 0}, {VerticalSpeedFpm, -600}}}, {200, {{VerticalSpeedFpm, -420}}},
        {400, {{OnGround, 1}, {VerticalSpeedFpm, -30}}}, {600, {{VerticalSpeedFpm, 0}}}}},
      {"no touchdown when the first reading is on the ground", SHOWN(touchdownVerticalSpeedFpm),
       0, 0, {{0, {{OnGround, 1}, {VerticalSpeedFpm, -300}}}}},
      // A blinking lamp stays lit for 1.5 s after it was last seen lit.
      {"marker lit between blinks", SHOWN(outerMarker), 1, 1800,
       {{0, {{OuterMarker, 1}}}, {200, {{OuterMarker, 0}}}, {400, {{OuterMarker, 1}}},
        {600, {{OuterMarker, 0}}}}},
      {"marker dark 1.5 s after the last blink", SHOWN(innerMarker), 0, 1900,
       {{400, {{InnerMarker, 1}}}, {600, {{InnerMarker, 0}}}}},
      {"overspeed from the limit", SHOWN(overspeed), 1, 0,
       {{0, {{IndicatedAirspeedKt, 160}, {OverspeedLimitKt, 158}}}}},
      {"the simulator's own overspeed warning first", SHOWN(overspeed), 0, 0,
       {{0, {{IndicatedAirspeedKt, 200}, {OverspeedLimitKt, 158}, {Overspeed, 0}}}}},
      {"stall warning in the air", SHOWN(stall), 1, 0, {{0, {{OnGround, 0}, {Stall, 0.04}}}}},
      {"no stall warning on the ground", SHOWN(stall), 0, 0, {{0, {{OnGround, 1}, {Stall, 0.8}}}}},
      {"localizer needle", SHOWN(localizerNeedle), 64, 0,
       {{0, {{LocalizerDeflection, 0.5}, {LocalizerSignal, 1}}}}},
      {"no localizer signal", SHOWN(localizerNeedle), 0, 0,
       {{0, {{LocalizerDeflection, 0.5}, {LocalizerSignal, 0}}}}},
      {"glideslope needle beyond full scale", SHOWN(glideslopeNeedle), -119, 0,
       {{0, {{GlideslopeDeflection, -3}, {GlideslopeSignal, 1}}}}},
      {"glideslope flag needs every signal", SHOWN(glideslopeFlag), 0, 0,
       {{0, {{GlideslopeSignal, 1}, {GlideslopeSignal, 0}}}}},
      {"any wheel on the ground", SHOWN(onGround), 1, 0,
       {{0, {{OnGround, 0}, {OnGround, 1}, {OnGround, 0}}}}},
      {"ground elevation from the height above it", SHOWN(groundElevationFt), 400, 0,
       {{0, {{AltitudeFt, 1000}, {HeightAboveGroundFt, 600}}}}},
      {"autobrake off when there is none", SHOWN(autobrake), 1, 0, {}},
      {"longitude into its circle", SHOWN(longitudeDeg), -170, 0, {{0, {{LongitudeDeg, 190}}}}},
      {"heading into its circle", SHOWN(headingDeg), 340, 0, {{0, {{HeadingDeg, -20}}}}},
      {"vertical speed beyond reason kept out", SHOWN(verticalSpeedFpm), 700, 100,
       {{0, {{VerticalSpeedFpm, 700}}}, {100, {{VerticalSpeedFpm, 2e6}}}}},
      {"flaps a little past full", SHOWN(flapsPercent), 100, 0, {{0, {{FlapsPercent, 100.4}}}}},
      // clang-format on
  };
  for (const Case& c : cases) {
    LiveAircraft aircraft;
    for (const Taken& taken : c.readings) aircraft.Take(Reading(taken.values), taken.atMs);
    EXPECT_DOUBLE_EQ(c.shown(aircraft.State(c.seenAtMs)), c.expected) << c.name;
  }
#undef SHOWN
  LiveAircraft starting;
  starting.Take(Reading({{Feed::LatitudeDeg, 21}, {Feed::LongitudeDeg, -157}}), 0);
  EXPECT_FALSE(starting.Ready());  // no altitude yet
  starting.Take(Reading({{Feed::AltitudeFt, 20}}), 100);
  EXPECT_TRUE(starting.Ready());
}

TEST(LiveTraffic, TheNearestFortyKeepTheirSlots) {
  LiveTraffic traffic;
  auto target = [](double lat) {
    TargetReading r;
    r.latDeg = lat;
    r.lonDeg = 0;
    r.altFt = 5000;
    return r;
  };
  for (int i = 0; i < 45; ++i) traffic.Take("t" + std::to_string(i), target(i * 0.1), 0);
  TrafficSlots slots = traffic.Slots(0, 0, 0);
  const int32_t first = slots[0].id;
  EXPECT_NE(first, 0);
  for (const TrafficAircraft& a : slots) EXPECT_LT(a.latDeg, 4.0);  // the 40 nearest
  // A nearer target comes in: the farthest gives up its slot; the others keep theirs.
  traffic.Take("new", target(0.05), 100);
  slots = traffic.Slots(0, 0, 100);
  EXPECT_EQ(slots[0].id, first);
  int news = 0;
  for (const TrafficAircraft& a : slots) news += a.latDeg == 0.05;
  EXPECT_EQ(news, 1);
  // Targets not read for 30 s leave the area.
  EXPECT_EQ(traffic.Slots(0, 0, 30101)[0].id, 0);
}

TEST(LiveNetwork, Addresses) {
  struct Case {
    const char* text;
    uint16_t defaultPort;
    const char* address;  // empty: refused
  } cases[] = {
      {"5401", 0, "127.0.0.1:5401"},
      {"fg.local:5401", 0, "fg.local:5401"},
      {"[::1]:5401", 0, "::1:5401"},
      {"", 49000, "127.0.0.1:49000"},
      {"xplane-box", 49000, "xplane-box:49000"},
      {"192.168.1.5:49001", 49000, "192.168.1.5:49001"},
      {"", 0, ""},
      {"fg.local", 0, ""},
      {"5401x", 0, ""},
      {"host:0", 0, ""},
      {"host:65536", 0, ""},
      {"a:b:5401", 0, ""},
      {":5401", 0, ""},
      {"[::1", 0, ""},
  };
  for (const Case& c : cases) {
    const auto address = ParseHostPort(c.text, c.defaultPort);
    EXPECT_EQ(address ? address->host + ":" + std::to_string(address->port) : "", c.address)
        << c.text;
  }
}

}  // namespace
}  // namespace sky::sim
