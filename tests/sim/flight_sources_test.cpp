// The simulator's flight sources: malformed track files refused with line and reason, rows holding
// over time, values served as the inverse of the program's conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "program_sees.h"
#include "skytrace-sim/track.h"
#include "track_feed.h"

namespace sky::sim {
namespace {

TEST(TrackFile, MalformedFilesAreRefusedWithTheLineAndTheReason) {
  struct Case {
    std::string text, error;
  } cases[] = {
      {"", "line 1: no column names"},
      {"# only a comment\n\n", "line 2: no column names"},
      {"t,lat\n", "line 1: no rows after the column names"},
      {"t,altitude\n0,1\n", "line 1: unknown column \"altitude\""},
      {"t,lat,,lon\n", "line 1: a column has no name"},
      {"t,lat,lat\n0,1,2\n", "line 1: column \"lat\" appears twice"},
      {"t,lat\n0,1\n# note\n1,2,3\n", "line 4: 3 values for 2 columns"},
      {"t,lat\n0,north\n", "line 2: lat \"north\" is not a number"},
      {"t,lat\n0,nan\n", "line 2: lat \"nan\" is not a number"},
      {"t,lat\n0,91\n", "line 2: lat must be a number from -90 to 90, not 91"},
      {"t,loc\n0,129\n", "line 2: loc must be a whole number from -127 to 128, not 129"},
      {"t,gs\n0,-137\n", "line 2: gs must be a whole number from -136 to 119, not -137"},
      {"t,on_ground\n0,0.5\n", "line 2: on_ground must be 0 or 1, not 0.5"},
      {"t,flaps\n0,101\n", "line 2: flaps must be a number from 0 to 100, not 101"},
      {"t,autobrake\n0,6\n", "line 2: autobrake must be a whole number from 0 to 5, not 6"},
      {"t,lat\n0,1\n5,1\n5,2\n", "line 4: t must grow from row to row (5 follows 5)"},
      {"t,lat\n3,1\n2,1\n", "line 3: t must grow from row to row (2 follows 3)"},
      {"t\n-1\n", "line 2: t must be a number from 0 to 1000000000, not -1"},
      {"lat\n1\n2\n", "line 3: t must grow from row to row (0 follows 0)"},
      // A huge bad value is quoted only in part.
      {"t,lat\n0,99." + std::string(10 << 20, '7') + "\n",
       "line 2: lat must be a number from -90 to 90, not 99." + std::string(37, '7') + "..."},
      {"t,lat\n0,x" + std::string(10 << 20, '7') + "\n",
       "line 2: lat \"x" + std::string(39, '7') + "...\" is not a number"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseTrack(c.text, error).has_value()) << c.text.substr(0, 40);
    EXPECT_EQ(error, c.error) << c.text.substr(0, 40);
  }
}

// Comments, blank lines, blanks around values, CR LF, a "+" and an empty value: the file reads as
// the plain one does, and an absent column as 0.
TEST(TrackFile, ReadsAsThePlainFileDoes) {
  EXPECT_EQ(FormatTrack(test::TrackOf("# a short hop\r\n  hdg , t ,on_ground, loc\r\n\r\n"
                                      " 270 , 0 , 1 , -5\r\n# turning\r\n+10,2.5,0,\r\n")),
            FormatTrack(test::TrackOf("t,hdg,on_ground,loc,alt_ft\n0,270,1,-5,0\n2.5,10,0,0,0\n")));
}

TEST(TrackFile, ARowHoldsUntilTheNext) {
  std::string error;
  const auto track = ParseTrack("t,alt_ft\n5,100\n10,200\n12,300\n", error);
  ASSERT_TRUE(track.has_value());
  for (const auto& [t, altitude] : std::vector<std::pair<double, double>>{
           {0, 100}, {5, 100}, {9.99, 100}, {10, 200}, {11, 200}, {12, 300}, {500, 300}}) {
    EXPECT_EQ(track->At(t).altitudeFt, altitude) << t;
  }
}

using test::Number;

// Every value a track accepts encodes, the edges of each range included, and the program reads
// it back as it went in.
TEST(RoundTrip, RangeEdgesEncode) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  using Read = std::function<double(const FlightSample&)>;
  const Read lon = [](auto& s) { return Number(s.Longitude); };
  const Read lat = [](auto& s) { return Number(s.Latitude); };
  const Read alt = [](auto& s) { return Number(s.Altitude); };
  const Read floorOf[] = {[](auto& s) { return std::floor(Number(s.GroundSpeed)); },
                          [](auto& s) { return std::floor(s.IndicatedAirspeed); },
                          [](auto& s) { return std::floor(s.TrueAirspeed); },
                          [](auto& s) { return std::floor(Number(s.VerticalSpeed)); }};
  struct Case {
    const char* name;
    FlightState state;
    Read read;
    double expected, tolerance;
  } cases[] = {
      {"longitude 180", {.longitudeDeg = 180}, lon, 180, 1e-9},
      {"longitude -180", {.longitudeDeg = -180}, lon, -180, 1e-9},
      {"longitude 0", {.longitudeDeg = 0}, lon, 0, 1e-9},
      {"latitude 90", {.latitudeDeg = 90}, lat, 90, 1e-9},
      {"latitude -90", {.latitudeDeg = -90}, lat, -90, 1e-9},
      {"altitude 100000 ft", {.altitudeFt = 100000}, alt, 100000, 0},
      {"altitude -2000 ft", {.altitudeFt = -2000}, alt, -2000, 0},
      {"ground 30000 ft",
       {.altitudeFt = 30000, .groundElevationFt = 30000},
       [](auto& s) { return Number(s.HeightAboveGround); },
       0,
       1},
      {"ground speed 2000 kt", {.groundSpeedKt = 2000}, floorOf[0], 2000, 0},
      {"indicated 2000 kt", {.indicatedAirspeedKt = 2000}, floorOf[1], 2000, 0},
      {"true airspeed 2000 kt", {.trueAirspeedKt = 2000}, floorOf[2], 2000, 0},
      {"climbing 50000 fpm", {.verticalSpeedFpm = 50000}, floorOf[3], 50000, 0},
      {"descending 50000 fpm", {.verticalSpeedFpm = -50000}, floorOf[3], -50000, 0},
      {"heading 360", {.headingDeg = 360}, [](auto& s) { return Number(s.Heading); }, 0, 1e-6},
  };
  for (const Case& c : cases) {
    WriteFlightState(t.simulator, c.state);
    ASSERT_EQ(t.ReadFlight(), ReadOutcome::Done) << c.name;
    EXPECT_NEAR(c.read(t.app().sample), c.expected, c.tolerance) << c.name;
  }
}

// Values served and read back through the program: whole numbers come out whole, and needles,
// single bytes whose upper values stand for negative deflections, as they went in.
TEST(RoundTrip, WholeNumbersAndNeedles) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  const auto serve = [&t](const FlightState& state) -> const FlightSample& {
    WriteFlightState(t.simulator, state);
    t.ReadFlight();
    return t.app().sample;
  };
  using Set = std::function<void(FlightState&, double)>;
  using Get = std::function<std::string(const FlightSample&)>;
  struct Field {
    const char* name;
    Set set;
    Get get;  // the whole part the logs and labels show
    double from, to, step;
  } fields[] = {
      {"altitude", [](FlightState& s, double v) { s.altitudeFt = v; },
       [](const FlightSample& s) { return s.Altitude; }, -1000, 45000, 7},
      {"ground speed", [](FlightState& s, double v) { s.groundSpeedKt = v; },
       [](const FlightSample& s) { return FloorText(Number(s.GroundSpeed)); }, 0, 700, 1},
      {"heading", [](FlightState& s, double v) { s.headingDeg = v; },
       [](const FlightSample& s) { return FloorText(Number(s.Heading)); }, 0, 359, 1},
      {"vertical speed", [](FlightState& s, double v) { s.verticalSpeedFpm = v; },
       [](const FlightSample& s) { return FloorText(Number(s.VerticalSpeed)); }, -8000, 8000, 3},
      {"touchdown rate", [](FlightState& s, double v) { s.touchdownVerticalSpeedFpm = v; },
       [](const FlightSample& s) { return s.TouchdownVerticalSpeed; }, -2000, -1, 1},
      {"indicated airspeed", [](FlightState& s, double v) { s.indicatedAirspeedKt = v; },
       [](const FlightSample& s) { return FloorText(s.IndicatedAirspeed); }, 0, 600, 1},
      {"flaps", [](FlightState& s, double v) { s.flapsPercent = v; },
       [](const FlightSample& s) { return std::to_string(s.FlapsPercent); }, 0, 100, 1},
  };
  for (const Field& field : fields) {
    for (double value = field.from; value <= field.to; value += field.step) {
      FlightState state;
      field.set(state, value);
      EXPECT_EQ(field.get(serve(state)), FloorText(value)) << field.name << " " << value;
    }
  }
  t.app().params.LocInt = 100;  // the band is then everything but 128
  for (int needle = -136; needle <= 128; ++needle) {
    const FlightSample& s = serve({.localizerNeedle = std::clamp(needle, -127, 128),
                                   .glideslopeNeedle = std::min(needle, 119)});
    EXPECT_EQ(s.LocalizerInBand, std::clamp(needle, -127, 128) != 128) << needle;
    EXPECT_EQ(s.GlideslopeNeedle, std::min(needle, 119)) << needle;
  }
}

}  // namespace
}  // namespace sky::sim
