// The realtime document's own predicted path and traffic folder.
#include "kml/traffic_kml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/messages.h"
#include "core/numtext.h"
#include "kml/templates.h"
#include "test_app.h"

namespace sky {
namespace {

// The own aircraft at 52.25N 4.5E, 10000 ft, heading 000, the TCAS display in mode ALL at 20 NM.
class TrafficKmlTest : public ::testing::Test {
 protected:
  TrafficKmlTest() {
    ParseKmlTemplates(test::ReadFile(test::SourceData("KMLSettings.txt")), templates);
    params.PredPathMultiplier = params.PredPathMultiplierTCAS = 10;
    traffic[0] = {"ID\t", "Lat\t", "Lon\t", "Alt\t", "HDG\t", "Spd\t", "Callsign\t", ""};
  }
  const KmlTemplateSet& kml() { return templates; }
  // A traffic row `north` NM north of the own aircraft and `above` feet higher, standing still.
  void PutRow(int r, double north, double above, const std::string& callsign) {
    const std::string lat = DefaultText(52.25 + north / 60.1075, ".");
    const std::string alt = DefaultText(10000 + above, ".");
    traffic[r] = {std::to_string(r), lat, "4.5", alt, "180", "0", callsign, "0"};
  }
  std::string OwnPath(const std::string& coordinates, bool onGround = false) {
    return ReplaceFirst(onGround ? kml().PredictedPathGND : kml().PredictedPath, "NAME",
                        "Predicted Flightpath") +
           coordinates + kml().PlacemarkEnd + kml().FolderEnd;
  }
  std::string Written() {
    return PredictedPathAndTraffic(templates,
                                   {.sample = sample,
                                    .previousAltitude = previousAltitude,
                                    .separator = separator,
                                    .params = params,
                                    .traffic = traffic,
                                    .tcasRange = 20,
                                    .tcasMode = tcasMode},
                                   board);
  }
  KmlTemplateSet templates;
  FlightSample sample{.Latitude = "52.25",
                      .Longitude = "4.5",
                      .Altitude = "10000",
                      .GroundSpeed = "0",
                      .Heading = "0"};
  std::string previousAltitude = "10000", separator = ".";
  LoggingParameters params;
  TrafficTable traffic;
  int tcasMode = 4;
  std::vector<std::string> said;
  SentenceList board{said};
};

TEST_F(TrafficKmlTest, OwnPathAloneWhileTheModeIsOff) {
  struct Case {
    const char* name;
    int16_t onGround;
    const char *separator, *lat, *lon, *previous;
    std::string expected;
  } cases[] = {
      {"standing on the ground", 1, ".", "52.25", "4.5", "1000", "4.5,52.25 4.5,52.25"},
      {"climbing", 0, ".", "52.25", "4.5", "980", "4.5,52.25,304.8 4.5,52.25,365.76"},
      {"decimal comma", 0, ",", "52,25", "4,5", "1000", "4.5,52.25,304.8 4.5,52.25,304.8"},
  };
  PutRow(1, 1, 0, "NEAR");
  tcasMode = 0;
  for (const Case& c : cases) {
    sample.OnGround = c.onGround;
    separator = c.separator;
    sample.Latitude = c.lat;
    sample.Longitude = c.lon;
    sample.Altitude = "1000";
    previousAltitude = c.previous;
    EXPECT_EQ(Written(), OwnPath(c.expected, c.onGround)) << c.name;
  }
  EXPECT_THROW(LatitudeRate(100, 4, 90), std::domain_error);
}

TEST_F(TrafficKmlTest, AnAircraftOutOfRangeIsWrittenBlue) {
  traffic[1] = {"1", "52.75", "4.5", "10600", "180", "0", "FAR", "0"};
  const std::string path = ReplaceFirst(kml().KMLTCASBlue, "NAME", "Predicted Flightpath FAR") +
                           "4.5,52.75,3230.88 4.5,52.75,3230.88" + kml().PlacemarkEnd;
  std::string pin = ReplaceFirst(kml().PlacemarkPinSmallAir, "NAME", "FAR +6");
  pin = ReplaceFirst(ReplaceFirst(ReplaceFirst(pin, "LATX", "52.75"), "LONY", "4.5"), "ALTM",
                     "3230.88");
  EXPECT_EQ(Written(), OwnPath("4.5,52.25,3048 4.5,52.25,3048") +
                           ReplaceFirst(kml().Folder, "NAME", "AI/Multiplayer traffic") + path +
                           pin + kml().FolderEnd);
  EXPECT_TRUE(said.empty());
}

TEST_F(TrafficKmlTest, ClassesLabelsAndPaths) {
  struct Case {
    double north, above;
    const char* callsign;
    const std::string* snippet;
    const char *suffix, *label;
  } cases[] = {
      {1, 100, "RED1", &kml().KMLTCASRed, " ;Too close", "RED1 +1"},
      {3, 1000, "ORG", &kml().KMLTCASOrange, " ;Close", "ORG +10"},
      {5, 1250, "YEL", &kml().KMLTCASYellow, " ;Getting Close", "YEL +12"},
      {10, -49, "BLU", &kml().KMLTCASBlue, "", "BLU -1"},
      {12, 0, "ZERO", &kml().KMLTCASBlue, "", "ZERO +0"},
      {15, -450, "DOWN", &kml().KMLTCASBlue, "", "DOWN -5"},
      {2, 0, "A&B<C>", &kml().KMLTCASRed, " ;Too close", "A&amp;B&lt;C&gt; +0"},
      {14, 0, "LATXLONYALTM", &kml().KMLTCASBlue, "", "LATXLONYALTM +0"},  // no placeholders
  };
  int r = 1;
  for (const Case& c : cases) PutRow(r++, c.north, c.above, c.callsign);
  // The table's heading is the true heading turned by 180: "180" flies north, "270" east.
  traffic[20] = {"20", "52", "4", "5000", "180", "360", "N", "600"};
  traffic[21] = {"21", "52", "4", "5000", "270", "360", "E", "-600"};
  traffic[22] = {"", "52", "4", "5000", "270", "360", "SKIPPED", "0"};
  const std::string text = Written();
  size_t at = 0;
  for (const Case& c : cases) {
    // The path's name: the call sign as in the label, and the class.
    const std::string label = c.label, name = label.substr(0, label.rfind(' ')) + c.suffix;
    const size_t path =
        text.find(ReplaceFirst(*c.snippet, "NAME", "Predicted Flightpath " + name), at);
    ASSERT_NE(path, std::string::npos) << c.label;
    at = text.find("<name>" + std::string(c.label) + "</name>", path);
    ASSERT_NE(at, std::string::npos) << c.label;
  }
  EXPECT_NE(text.find("<coordinates>4.5," + DefaultText(52.25 + 14 / 60.1075, ".") + ",3048<"),
            std::string::npos);
  // The two points (lon, lat, alt) of a blue path.
  const auto path = [&](const char* name) {
    const std::string opening =
        ReplaceFirst(kml().KMLTCASBlue, "NAME", std::string("Predicted Flightpath ") + name);
    double v[6] = {};
    EXPECT_EQ(std::sscanf(text.c_str() + std::min(text.find(opening) + opening.size(), text.size()),
                          "%lf,%lf,%lf %lf,%lf,%lf", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]),
              6)
        << name;
    return std::vector<double>(v, v + 6);
  };
  const auto north = path("N");
  EXPECT_NEAR(north[4] - north[1], 1 / 60.1075, 1e-4);  // one NM north in 10 s
  EXPECT_NEAR(north[3] - north[0], 0, 1e-9);
  EXPECT_NEAR(north[5] - north[2], 100 * 0.3048, 1e-9);  // 600 ft/min for 10 s
  const auto east = path("E");
  EXPECT_NEAR(east[3] - east[0], 1 / (60.1075 * std::cos(52 * 3.14159265 / 180)), 1e-4);
  EXPECT_NEAR(east[4] - east[1], 0, 1e-9);
  EXPECT_NEAR(east[5] - east[2], -100 * 0.3048, 1e-9);
  EXPECT_EQ(text.find("SKIPPED"), std::string::npos);
  EXPECT_EQ(text.find("ID\t"), std::string::npos);
}

}  // namespace
}  // namespace sky
