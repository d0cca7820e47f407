// The realtime document's own predicted path and traffic folder.
#include "kml/traffic_kml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/numtext.h"
#include "kml/templates.h"
#include "test_app.h"

namespace sky {
namespace {

class TrafficKmlTest : public ::testing::Test {
 protected:
  TrafficKmlTest() {
    EXPECT_TRUE(t.Load());
    FlightSample& s = t.app().sample;
    s.Latitude = "52.25";
    s.Longitude = "4.5";
    s.Altitude = "10000";
    s.GroundSpeed = "0";
    s.Heading = "0";
    s.OnGround = 0;
    t.app().prev.Altitude = "10000";
    t.app().params.PredPathMultiplier = 10;
    t.app().params.PredPathMultiplierTCAS = 10;
    t.g().TcasMode = 4;
    t.g().TcasRange = 20;
    t.app().traffic[0] = {"ID\t", "Lat\t", "Lon\t", "Alt\t", "HDG\t", "Spd\t", "Callsign\t", ""};
  }
  const KmlTemplateSet& kml() { return t.app().kml; }
  // A traffic row `north` NM north of the own aircraft and `above` feet higher, standing still.
  void PutRow(int r, double north, double above, const std::string& callsign) {
    t.app().traffic[r] = {std::to_string(r),
                          DefaultText(52.25 + north / 60.1075, "."),
                          "4.5",
                          DefaultText(10000 + above, "."),
                          "180",
                          "0",
                          callsign,
                          "0"};
  }
  std::string OwnPathOnly(const std::string& coordinates, bool onGround) {
    return ReplaceFirst(onGround ? kml().PredictedPathGND : kml().PredictedPath, "NAME",
                        "Predicted Flightpath") +
           coordinates + kml().PlacemarkEnd + kml().FolderEnd;
  }
  test::TestApp t;
};

TEST_F(TrafficKmlTest, RatesPerSecond) {
  EXPECT_EQ(LongitudeRate(0, 4, 52), 0);
  EXPECT_EQ(LatitudeRate(0, 4, 52), 0);
  // 3600 kt is one nautical mile a second: 1/37.006 degree of longitude at 52N.
  EXPECT_NEAR(LongitudeRate(3600, 4, 52), 1 / 37.006, 2e-6);
  EXPECT_NEAR(LongitudeRate(3600, 4, -52), 1 / 37.006, 2e-6);
  // The latitude step is scaled by tan(90 - lat); its tiny sample distance carries the
  // single-precision error of the distance function, a few tenths of a percent.
  const double latitudeRate = 1 / (60.1075 * std::tan(38 * 3.14159265 / 180));
  EXPECT_NEAR(LatitudeRate(3600, 4, 52), latitudeRate, latitudeRate * 0.01);
  EXPECT_THROW(LatitudeRate(100, 4, 90), std::domain_error);
}

TEST_F(TrafficKmlTest, OwnPathStandingStillOnTheGround) {
  t.g().TcasMode = 0;
  t.app().sample.OnGround = 1;
  PutRow(1, 1, 0, "NEAR");
  EXPECT_EQ(PredictedPathAndTraffic(t.app()), OwnPathOnly("4.5,52.25 4.5,52.25", true));
}

TEST_F(TrafficKmlTest, OwnPathPredictsTheClimb) {
  t.g().TcasMode = 0;
  t.app().sample.Altitude = "1000";
  t.app().prev.Altitude = "980";
  EXPECT_EQ(PredictedPathAndTraffic(t.app()),
            OwnPathOnly("4.5,52.25,304.8 4.5,52.25,365.76", false));
  t.app().prev.Altitude.clear();  // no previous tick: level flight
  EXPECT_EQ(PredictedPathAndTraffic(t.app()),
            OwnPathOnly("4.5,52.25,304.8 4.5,52.25,304.8", false));
}

TEST_F(TrafficKmlTest, OwnPathInTheUsersNumberFormat) {
  t.g().TcasMode = 0;
  t.g().DecimalSeparator = ",";
  t.app().sample.Latitude = "52,25";
  t.app().sample.Longitude = "4,5";
  t.app().sample.Altitude = "1000";
  t.app().prev.Altitude = "1000";
  EXPECT_EQ(PredictedPathAndTraffic(t.app()),
            OwnPathOnly("4.5,52.25,304.8 4.5,52.25,304.8", false));
}

TEST_F(TrafficKmlTest, OwnPathPointsAlongTheHeading) {
  t.g().TcasMode = 0;
  t.app().sample.GroundSpeed = "360";
  struct Case {
    const char* heading;
    int northSign, eastSign;
  } cases[] = {{"0", 1, 0}, {"90", 0, 1}, {"180", -1, 0}, {"270", 0, -1}};
  for (const Case& c : cases) {
    t.app().sample.Heading = c.heading;
    const std::string text = PredictedPathAndTraffic(t.app());
    const std::string start = ReplaceFirst(kml().PredictedPath, "NAME", "Predicted Flightpath");
    std::string coordinates =
        text.substr(start.size(), text.find(kml().PlacemarkEnd) - start.size());
    std::replace(coordinates.begin(), coordinates.end(), ',', ' ');
    std::istringstream in(coordinates);
    double lon, lat, alt, plon, plat, palt;
    in >> lon >> lat >> alt >> plon >> plat >> palt;
    auto sign = [](double v) { return v > 1e-9 ? 1 : (v < -1e-9 ? -1 : 0); };
    EXPECT_EQ(sign(plat - lat), c.northSign) << c.heading;
    EXPECT_EQ(sign(plon - lon), c.eastSign) << c.heading;
    EXPECT_NEAR(std::hypot(plat - lat, plon - lon), 0.027, 0.01) << c.heading;
  }
}

TEST_F(TrafficKmlTest, NoTrafficFolderWhileTheModeIsOff) {
  PutRow(1, 1, 0, "NEAR");
  t.g().TcasMode = 0;
  EXPECT_EQ(PredictedPathAndTraffic(t.app()).find("AI/Multiplayer traffic"), std::string::npos);
  t.g().TcasMode = 1;
  EXPECT_NE(PredictedPathAndTraffic(t.app()).find("AI/Multiplayer traffic"), std::string::npos);
}

TEST_F(TrafficKmlTest, AnAircraftOutOfRangeIsWrittenBlue) {
  t.app().traffic[1] = {"1", "52.75", "4.5", "10600", "180", "0", "FAR", "0"};
  const size_t messages = t.Messages().size();
  const std::string path = ReplaceFirst(kml().KMLTCASBlue, "NAME", "Predicted Flightpath FAR") +
                           "4.5,52.75,3230.88 4.5,52.75,3230.88" + kml().PlacemarkEnd;
  std::string pin = ReplaceFirst(kml().PlacemarkPinSmallAir, "NAME", "FAR +6");
  pin = ReplaceFirst(pin, "LATX", "52.75");
  pin = ReplaceFirst(pin, "LONY", "4.5");
  pin = ReplaceFirst(pin, "ALTM", "3230.88");
  const std::string folder =
      ReplaceFirst(kml().Folder, "NAME", "AI/Multiplayer traffic") + path + pin + kml().FolderEnd;
  EXPECT_EQ(PredictedPathAndTraffic(t.app()),
            OwnPathOnly("4.5,52.25,3048 4.5,52.25,3048", false) + folder);
  EXPECT_EQ(t.Messages().size(), messages);
}

TEST_F(TrafficKmlTest, ClassesNamesAndLabels) {
  struct Case {
    double north, above;
    const char* callsign;
    const std::string* snippet;
    const char* name;
    const char* label;
  } cases[] = {
      {1, 100, "RED1", &kml().KMLTCASRed, "Predicted Flightpath RED1 ;Too close", "RED1 +1"},
      {3, 1000, "ORG", &kml().KMLTCASOrange, "Predicted Flightpath ORG ;Close", "ORG +10"},
      {5, 1250, "YEL", &kml().KMLTCASYellow, "Predicted Flightpath YEL ;Getting Close", "YEL +12"},
      {10, -49, "BLU", &kml().KMLTCASBlue, "Predicted Flightpath BLU", "BLU -1"},
      {12, 0, "ZERO", &kml().KMLTCASBlue, "Predicted Flightpath ZERO", "ZERO +0"},
      {15, -450, "DOWN", &kml().KMLTCASBlue, "Predicted Flightpath DOWN", "DOWN -5"},
      {2, 0, "A&B<C>", &kml().KMLTCASRed, "Predicted Flightpath A&amp;B&lt;C&gt; ;Too close",
       "A&amp;B&lt;C&gt; +0"},
  };
  int r = 1;
  for (const Case& c : cases) PutRow(r++, c.north, c.above, c.callsign);
  const std::string text = PredictedPathAndTraffic(t.app());
  size_t at = 0;
  for (const Case& c : cases) {
    const std::string opening = ReplaceFirst(*c.snippet, "NAME", c.name);
    const size_t path = text.find(opening, at);
    ASSERT_NE(path, std::string::npos) << c.name;
    const size_t pin = text.find("<name>" + std::string(c.label) + "</name>", path);
    ASSERT_NE(pin, std::string::npos) << c.label;
    at = pin;
  }
}

TEST_F(TrafficKmlTest, PlaceholderWordsInACallSignStayText) {
  t.app().traffic[7] = {"7", "52.5", "4.75", "10000", "180", "0", "LATXLONYALTM", "0"};
  const std::string text = PredictedPathAndTraffic(t.app());
  EXPECT_NE(text.find("<name>LATXLONYALTM +0</name>"), std::string::npos);
  EXPECT_NE(text.find("<coordinates>4.75,52.5,3048</coordinates>"), std::string::npos);
}

TEST_F(TrafficKmlTest, TrafficPathsFollowTheTablesHeadingAndClimb) {
  // The table's heading is the true heading turned by 180: "180" flies north, "270" east.
  t.app().traffic[1] = {"1", "52", "4", "5000", "180", "360", "N", "600"};
  t.app().traffic[2] = {"2", "52", "4", "5000", "270", "360", "E", "-600"};
  t.app().traffic[3] = {"", "52", "4", "5000", "270", "360", "SKIPPED", "0"};
  const std::string text = PredictedPathAndTraffic(t.app());
  auto coordinatesOf = [&](const char* name) {
    const std::string opening =
        ReplaceFirst(kml().KMLTCASBlue, "NAME", std::string("Predicted Flightpath ") + name);
    const size_t start = text.find(opening);
    EXPECT_NE(start, std::string::npos) << name;
    std::string c = text.substr(start + opening.size(),
                                text.find(kml().PlacemarkEnd, start) - start - opening.size());
    std::replace(c.begin(), c.end(), ',', ' ');
    std::istringstream in(c);
    std::vector<double> v(6);
    for (double& x : v) in >> x;
    return v;
  };
  const auto north = coordinatesOf("N");
  EXPECT_NEAR(north[4] - north[1], 1 / 60.1075, 1e-4);  // one NM north in 10 s
  EXPECT_NEAR(north[3] - north[0], 0, 1e-9);
  EXPECT_NEAR(north[5] - north[2], 100 * 0.3048, 1e-9);  // 600 ft/min for 10 s
  const auto east = coordinatesOf("E");
  EXPECT_NEAR(east[3] - east[0], 1 / (60.1075 * std::cos(52 * 3.14159265 / 180)), 1e-4);
  EXPECT_NEAR(east[4] - east[1], 0, 1e-9);
  EXPECT_NEAR(east[5] - east[2], -100 * 0.3048, 1e-9);
  EXPECT_EQ(text.find("SKIPPED"), std::string::npos);
  EXPECT_EQ(text.find("ID\t"), std::string::npos);
}

TEST_F(TrafficKmlTest, AValueThatDoesNotConvertFailsTheDocument) {
  t.app().traffic[1] = {"1", "fifty", "4", "5000", "180", "0", "X", "0"};
  EXPECT_THROW(PredictedPathAndTraffic(t.app()), std::exception);
  t.app().traffic[1].Lat = "52";
  t.app().sample.Altitude = "";
  EXPECT_THROW(PredictedPathAndTraffic(t.app()), std::exception);
}

}  // namespace
}  // namespace sky
