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
  using Shown = std::function<double(const FlightState&)>;
  struct Case {
    const char* name;
    std::vector<Taken> readings;
    int64_t seenAtMs;
    Shown shown;
    double expected;
  } cases[] = {
      // The touchdown rate is the last one read in the air; the one read with the wheels on the
      // ground has the contact in it.
      {"touchdown rate",
       {{0, {{Feed::OnGround, 0}, {Feed::VerticalSpeedFpm, -600}}},
        {200, {{Feed::VerticalSpeedFpm, -420}}},
        {400, {{Feed::OnGround, 1}, {Feed::VerticalSpeedFpm, -30}}},
        {600, {{Feed::VerticalSpeedFpm, 0}}}},
       600,
       [](const FlightState& s) { return s.touchdownVerticalSpeedFpm; },
       -420},
      {"no touchdown when the first reading is on the ground",
       {{0, {{Feed::OnGround, 1}, {Feed::VerticalSpeedFpm, -300}}}},
       0,
       [](const FlightState& s) { return s.touchdownVerticalSpeedFpm; },
       0},
      // A blinking lamp stays lit for 1.5 s after it was last seen lit.
      {"marker lit between blinks",
       {{0, {{Feed::OuterMarker, 1}}},
        {200, {{Feed::OuterMarker, 0}}},
        {400, {{Feed::OuterMarker, 1}}},
        {600, {{Feed::OuterMarker, 0}}}},
       1800,
       [](const FlightState& s) { return s.outerMarker; },
       1},
      {"marker dark 1.5 s after the last blink",
       {{400, {{Feed::InnerMarker, 1}}}, {600, {{Feed::InnerMarker, 0}}}},
       1900,
       [](const FlightState& s) { return s.innerMarker; },
       0},
      {"overspeed from the limit",
       {{0, {{Feed::IndicatedAirspeedKt, 160}, {Feed::OverspeedLimitKt, 158}}}},
       0,
       [](const FlightState& s) { return s.overspeed; },
       1},
      {"the simulator's own overspeed warning first",
       {{0,
         {{Feed::IndicatedAirspeedKt, 200}, {Feed::OverspeedLimitKt, 158}, {Feed::Overspeed, 0}}}},
       0,
       [](const FlightState& s) { return s.overspeed; },
       0},
      {"stall warning in the air",
       {{0, {{Feed::OnGround, 0}, {Feed::Stall, 0.04}}}},
       0,
       [](const FlightState& s) { return s.stall; },
       1},
      {"no stall warning on the ground",
       {{0, {{Feed::OnGround, 1}, {Feed::Stall, 0.8}}}},
       0,
       [](const FlightState& s) { return s.stall; },
       0},
      {"localizer needle",
       {{0, {{Feed::LocalizerDeflection, 0.5}, {Feed::LocalizerSignal, 1}}}},
       0,
       [](const FlightState& s) { return s.localizerNeedle; },
       64},
      {"no localizer signal",
       {{0, {{Feed::LocalizerDeflection, 0.5}, {Feed::LocalizerSignal, 0}}}},
       0,
       [](const FlightState& s) { return s.localizerNeedle; },
       0},
      {"glideslope needle beyond full scale",
       {{0, {{Feed::GlideslopeDeflection, -3}, {Feed::GlideslopeSignal, 1}}}},
       0,
       [](const FlightState& s) { return s.glideslopeNeedle; },
       -119},
      {"glideslope flag needs every signal",
       {{0, {{Feed::GlideslopeSignal, 1}, {Feed::GlideslopeSignal, 0}}}},
       0,
       [](const FlightState& s) { return s.glideslopeFlag; },
       0},
      {"any wheel on the ground",
       {{0, {{Feed::OnGround, 0}, {Feed::OnGround, 1}, {Feed::OnGround, 0}}}},
       0,
       [](const FlightState& s) { return s.onGround; },
       1},
      {"ground elevation from the height above it",
       {{0, {{Feed::AltitudeFt, 1000}, {Feed::HeightAboveGroundFt, 600}}}},
       0,
       [](const FlightState& s) { return s.groundElevationFt; },
       400},
      {"autobrake off when there is none",
       {},
       0,
       [](const FlightState& s) { return s.autobrake; },
       1},
      {"longitude into its circle",
       {{0, {{Feed::LongitudeDeg, 190}}}},
       0,
       [](const FlightState& s) { return s.longitudeDeg; },
       -170},
      {"heading into its circle",
       {{0, {{Feed::HeadingDeg, -20}}}},
       0,
       [](const FlightState& s) { return s.headingDeg; },
       340},
      {"vertical speed beyond reason kept out",
       {{0, {{Feed::VerticalSpeedFpm, 700}}}, {100, {{Feed::VerticalSpeedFpm, 2e6}}}},
       100,
       [](const FlightState& s) { return s.verticalSpeedFpm; },
       700},
      {"flaps a little past full",
       {{0, {{Feed::FlapsPercent, 100.4}}}},
       0,
       [](const FlightState& s) { return s.flapsPercent; },
       100},
  };
  for (const Case& c : cases) {
    LiveAircraft aircraft;
    for (const Taken& taken : c.readings) aircraft.Take(Reading(taken.values), taken.atMs);
    EXPECT_DOUBLE_EQ(c.shown(aircraft.State(c.seenAtMs)), c.expected) << c.name;
  }
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
