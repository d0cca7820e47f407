// The simulator serves each value as the inverse of the program's conversion: read back through
// the program, a value comes out as it went in, within one raw step, and whole numbers whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/numtext.h"
#include "simlink/flightdata.h"
#include "skytrace-sim/flight_source.h"
#include "test_app.h"

namespace sky::sim {
namespace {

class RoundTripTest : public ::testing::Test {
 protected:
  RoundTripTest() { EXPECT_TRUE(t.Load()); }
  const FlightSample& Serve(const FlightState& state) {
    WriteFlightState(t.simulator, state);
    ReadFlightData(t.app());
    return t.app().sample;
  }
  static double Number(const std::string& text) { return *ParseNumber(text, "."); }

  test::TestApp t;
};

TEST_F(RoundTripTest, WholeNumbersReadBackWhole) {
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
      EXPECT_EQ(field.get(Serve(state)), FloorText(value)) << field.name << " " << value;
    }
  }
}

TEST_F(RoundTripTest, FractionsWithinOneRawStep) {
  for (double value = -89.987654321; value < 90; value += 7.123456789) {
    const FlightState state = {.latitudeDeg = value,
                               .longitudeDeg = 2 * value,
                               .altitudeFt = value * 100 + 0.25,
                               .groundSpeedKt = std::fabs(value) * 3.3,
                               .indicatedAirspeedKt = std::fabs(value) * 2.1,
                               .headingDeg = value + 90,
                               .verticalSpeedFpm = value * 40};
    const FlightSample& s = Serve(state);
    EXPECT_NEAR(Number(s.Latitude), value, 1e-12);
    EXPECT_NEAR(Number(s.Longitude), 2 * value, 1e-12);
    EXPECT_EQ(s.Altitude, FloorText(std::trunc(state.altitudeFt)));  // truncated
    EXPECT_NEAR(Number(s.GroundSpeed), state.groundSpeedKt, 3.1e-5);
    EXPECT_NEAR(Number(s.Heading), state.headingDeg, 8.4e-8);
    EXPECT_NEAR(Number(s.VerticalSpeed), state.verticalSpeedFpm, 0.77);
    EXPECT_NEAR(s.IndicatedAirspeed, state.indicatedAirspeedKt, 1.0 / 128);
  }
}

// Needles are single bytes whose upper values stand for negative deflections.
TEST_F(RoundTripTest, Needles) {
  t.app().params.LocInt = 100;  // the band is then everything but 128
  for (int needle = -136; needle <= 128; ++needle) {
    const FlightSample& s = Serve({.localizerNeedle = std::clamp(needle, -127, 128),
                                   .glideslopeNeedle = std::min(needle, 119)});
    EXPECT_EQ(s.LocalizerInBand, std::clamp(needle, -127, 128) != 128) << needle;
    EXPECT_EQ(s.GlideslopeNeedle, std::min(needle, 119)) << needle;
  }
}

}  // namespace
}  // namespace sky::sim
