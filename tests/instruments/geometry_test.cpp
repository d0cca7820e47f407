// Distances, bearings and the threat levels of traffic.
#include "instruments/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/numtext.h"
#include "test_app.h"

namespace sky {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(GreatCircleDistanceTest, KnownDistances) {
  struct Case {
    const char* name;
    double lat1, lon1, lat2, lon2;
    bool inRadians;
    double expected;
    double tolerance;
  } cases[] = {
      {"equal points", 52, 4, 52, 4, false, 0, 0},
      {"one degree of longitude at 52N", 52, 4, 52, 5, false, 37.0, 0.01},
      {"one degree of latitude", 0, 0, 1, 0, false, 60.107, 0.01},
      {"radians are used unchanged", 0, 0, 0, 1, true, 3443.917, 0.01},
      {"a 100 degree arc folds back to 80", 0, 0, 0, 100, false, 4808.6, 0.5},
      {"a central angle of exactly 90 degrees", kPi / 4, 0, kPi / 4, kPi, true, 5409.69272219995,
       0},
      {"south and west are negative", -33.9, 151.2, -33.9, 150.2, false, 49.8, 0.1},
  };
  for (const Case& c : cases) {
    const double distance = GreatCircleDistance(c.lat1, c.lon1, c.lat2, c.lon2, c.inRadians);
    EXPECT_NEAR(distance, c.expected, c.tolerance) << c.name;
    EXPECT_GE(distance, 0) << c.name;
  }
  // The fold is exact: 90 + x degrees give the distance of 90 - x.
  EXPECT_NEAR(GreatCircleDistance(0, 0, 0, 100, false), GreatCircleDistance(0, 0, 0, 80, false),
              0.01);
  // Either direction gives the same distance.
  EXPECT_DOUBLE_EQ(GreatCircleDistance(52, 5, 52, 4, false),
                   GreatCircleDistance(52, 4, 52, 5, false));
}

TEST(BearingToTest, CasesOnPlainDegreeDifferences) {
  test::TestApp t;
  struct Case {
    double lon1, lat1, lon2, lat2;
    double expected;
  } cases[] = {
      {4, 52, 4, 52, 0},        // same place
      {4, 52, 4, 53, 0},        // due north
      {4, 52, 4, 51, 180},      // due south
      {4, 52, 5, 52, 90},       // due east
      {5, 52, 4, 52, 270},      // due west
      {0, 0, 1, 1, 45},         // north-east
      {0, 0, 1, -1, 135},       // south-east
      {0, 0, -1, -1, 225},      // south-west
      {0, 0, -1, 1, 315},       // north-west
      {0, 60, 1, 61, 45},       // the longitude difference is not scaled by the latitude
      {0, 0, 2, 1, 63.434949},  // arctan(2) in degrees
  };
  for (const Case& c : cases) {
    const std::string text = BearingTo(t.app(), c.lon1, c.lat1, c.lon2, c.lat2);
    const auto value = ParseNumber(text, ".");
    ASSERT_TRUE(value) << text;
    EXPECT_NEAR(*value, c.expected, 1e-5)
        << c.lon1 << "," << c.lat1 << " to " << c.lon2 << "," << c.lat2;
  }
  EXPECT_EQ(BearingTo(t.app(), 4, 52, 5, 52), "90");
  EXPECT_EQ(BearingTo(t.app(), 5, 52, 4, 52), "270");
  EXPECT_EQ(BearingTo(t.app(), 4, 52, 4, 52), "0");
}

TEST(BearingToTest, QuadrantTextsFollowTheUsersNumberFormat) {
  test::TestApp t;
  t.g().DecimalSeparator = ",";
  const std::string text = BearingTo(t.app(), 0, 0, 1, 1);
  EXPECT_EQ(text.substr(0, 3), "45,");
  EXPECT_EQ(text.find('.'), std::string::npos);
  EXPECT_EQ(BearingTo(t.app(), 4, 52, 4, 51), "180");
}

// The furthest latitude north of (lat, lon) still within `nm`, and the next one beyond it, as
// the distance function itself sees them.
struct Edge {
  double inside;
  double outside;
};
Edge NorthEdge(double lat, double lon, double nm) {
  double inside = lat;
  double outside = lat + nm / 30;
  for (int i = 0; i < 200 && outside - inside > 1e-12; ++i) {
    const double middle = (inside + outside) / 2;
    (GreatCircleDistance(lat, lon, middle, lon, false) <= nm ? inside : outside) = middle;
  }
  return {inside, outside};
}

class ClassifyTrafficTest : public ::testing::Test {
 protected:
  ClassifyTrafficTest() {
    t.app().sample.Latitude = "52";
    t.app().sample.Longitude = "4";
    t.app().sample.Altitude = "10000";
    t.g().TcasRange = 20;
    t.g().TcasMode = 4;
  }
  // Level of a target `nm` north (at the edge, inside or just beyond) and `above` feet higher.
  int At(double nm, bool inside, double above) {
    const Edge edge = NorthEdge(52, 4, nm);
    return ClassifyTraffic(t.app(), inside ? edge.inside : edge.outside, 4, 10000 + above, "", "",
                           "");
  }
  test::TestApp t;
};

TEST_F(ClassifyTrafficTest, RangeEdgeIsInclusive) {
  EXPECT_EQ(At(20, true, 5000), kLevelOther);
  EXPECT_EQ(At(20, false, 5000), kLevelHidden);
  t.g().TcasRange = 5;
  EXPECT_EQ(At(5, true, 5000), kLevelOther);
  EXPECT_EQ(At(5, false, 5000), kLevelHidden);
  const double lat = 52 + 20.01 / 60.1075;
  t.g().TcasRange = 20;
  EXPECT_EQ(ClassifyTraffic(t.app(), lat, 4, 10000, "", "", ""), kLevelHidden);
  EXPECT_TRUE(t.Messages().empty());
}

TEST_F(ClassifyTrafficTest, LevelsAtEveryDistanceAndHeightBoundary) {
  struct Case {
    double nm;
    bool inside;
    double above;
    int level;
  } cases[] = {
      {6, true, 2000, kLevelClose1},   {6, true, 2001, kLevelOther},
      {6, false, 0, kLevelOther},      {6, true, -2000, kLevelClose1},
      {4, true, 1200, kLevelClose2},   {4, true, 1201, kLevelClose1},
      {4, false, 0, kLevelClose1},     {4, true, -1200, kLevelClose2},
      {2, true, 500, kLevelClose3},    {2, true, 501, kLevelClose2},
      {2, false, 0, kLevelClose2},     {2, true, -500, kLevelClose3},
      {2, true, 500.5, kLevelClose3},  // rounds to 500 (halves to even)
      {2, true, 501.5, kLevelClose2},  // rounds to 502
      {2, true, -500.5, kLevelClose3}, {1, true, 1500, kLevelClose1},
      {3, true, 400, kLevelClose2},    {0.5, true, 0, kLevelClose3},
      {10, true, 0, kLevelOther},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(At(c.nm, c.inside, c.above), c.level)
        << c.nm << " NM " << (c.inside ? "inside" : "beyond") << ", " << c.above << " ft";
  }
}

TEST_F(ClassifyTrafficTest, ModeWindows) {
  struct Case {
    int mode;
    double above;
    int level;
  } cases[] = {
      {1, -2000, kLevelClose1}, {1, -2001, kLevelHidden}, {1, -2500, kLevelHidden},
      {1, 9900, kLevelOther},   {1, 9901, kLevelHidden},  {1, 5000, kLevelOther},
      {2, 2000, kLevelClose1},  {2, 2001, kLevelHidden},  {2, -9900, kLevelOther},
      {2, -9901, kLevelHidden}, {3, 2000, kLevelClose1},  {3, 2001, kLevelHidden},
      {3, -2000, kLevelClose1}, {3, -2001, kLevelHidden}, {3, 2100, kLevelHidden},
      {4, 2100, kLevelOther},   {4, 10000, kLevelOther},  {4, -30000, kLevelOther},
      {0, 10000, kLevelOther},
  };
  for (const Case& c : cases) {
    t.g().TcasMode = c.mode;
    EXPECT_EQ(At(5, true, c.above), c.level) << "mode " << c.mode << ", " << c.above << " ft";
  }
}

TEST_F(ClassifyTrafficTest, OwnTextsOverrideTheSampleInTheUsersFormat) {
  t.g().DecimalSeparator = ",";
  t.app().sample.Altitude = "0";
  // Against an own position given as texts, the target is 1 NM away and 100 ft below.
  EXPECT_EQ(ClassifyTraffic(t.app(), 10.0166, 20, 4900, "5000,5", "20", "10"), kLevelClose3);
  EXPECT_EQ(ClassifyTraffic(t.app(), 10.0166, 20, 4900, "", "20", "10"), kLevelOther);
}

TEST_F(ClassifyTrafficTest, AFailureIsReportedAndHidesTheTarget) {
  t.app().sample.Altitude = "not a number";
  EXPECT_EQ(ClassifyTraffic(t.app(), 52.01, 4, 10000, "", "", ""), kLevelHidden);
  EXPECT_EQ(t.LastMessage(), "Error in drawing TCAS table.");
  t.app().sample.Altitude = "10000";
  EXPECT_EQ(ClassifyTraffic(t.app(), 52.01, 4, 1e300, "", "", ""), kLevelHidden);
  EXPECT_EQ(t.Messages().size(), 2u);
  EXPECT_EQ(ClassifyTraffic(t.app(), 52.01, 4, 10000, "", "x", ""), kLevelHidden);
  EXPECT_EQ(t.Messages().size(), 3u);
}

}  // namespace
}  // namespace sky
