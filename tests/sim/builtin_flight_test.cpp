// The built-in flight as a track: its length, its profile and its instruments.
#include "skytrace-sim/builtin_flight.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sky::sim {
namespace {

TEST(BuiltinFlight, AShortFlightOutOfFrankfurtAndBack) {
  const Track flight = BuiltinFlight();
  const auto& rows = flight.Rows();
  EXPECT_GE(flight.EndTime(), 25 * 60);
  EXPECT_LE(flight.EndTime(), 40 * 60);
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].t, static_cast<double>(i));

  const FlightState first = rows.front().state;
  const FlightState last = rows.back().state;
  for (const FlightState& parked : {first, last}) {
    EXPECT_TRUE(parked.onGround);
    EXPECT_EQ(parked.groundSpeedKt, 0);
    EXPECT_NEAR(parked.latitudeDeg, 50.049, 0.002);
    EXPECT_NEAR(parked.longitudeDeg, 8.566, 0.002);
  }

  double highest = 0;
  int overspeedSeconds = 0;
  bool acrossNorth = false;
  bool below = false, above = false, markers[3] = {};
  int takeOffs = 0, touchdowns = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    const FlightState& s = rows[i].state;
    const FlightState& p = rows[i - 1].state;
    highest = std::max(highest, s.altitudeFt);
    overspeedSeconds += s.overspeed;
    if (!s.onGround && std::fabs(s.headingDeg - p.headingDeg) > 180) acrossNorth = true;
    if (!s.onGround && s.glideslopeFlag && s.altitudeFt < 4000) {
      below = below || s.glideslopeNeedle <= -59;
      above = above || s.glideslopeNeedle >= 60;
    }
    markers[0] = markers[0] || s.outerMarker;
    markers[1] = markers[1] || s.middleMarker;
    markers[2] = markers[2] || s.innerMarker;
    if (p.onGround && !s.onGround) {
      ++takeOffs;
      EXPECT_EQ(s.autobrake, 5);
      EXPECT_EQ(s.flapsPercent, 25);
    }
    if (!p.onGround && s.onGround) {
      ++touchdowns;
      EXPECT_EQ(s.verticalSpeedFpm, kBuiltinTouchdownFpm);
      EXPECT_EQ(s.touchdownVerticalSpeedFpm, kBuiltinTouchdownFpm);
      EXPECT_EQ(s.autobrake, 3);
      EXPECT_EQ(s.gear, 1);
      EXPECT_EQ(s.flapsPercent, 100);
      EXPECT_EQ(rows[i + 1].state.verticalSpeedFpm, 0);
      EXPECT_EQ(rows[i + 1].state.spoilers, 1);
    }
  }
  EXPECT_GT(highest, 10000);
  EXPECT_GT(overspeedSeconds, 0);
  EXPECT_LT(overspeedSeconds, 20);
  EXPECT_TRUE(acrossNorth);
  EXPECT_TRUE(below);
  EXPECT_TRUE(above);
  EXPECT_TRUE(markers[0] && markers[1] && markers[2]);
  EXPECT_EQ(takeOffs, 1);
  EXPECT_EQ(touchdowns, 1);
}

}  // namespace
}  // namespace sky::sim
