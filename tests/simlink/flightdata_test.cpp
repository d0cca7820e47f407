// The flight sample: conversions at their edges (the simulator's round trips cover the ranges),
// the order they depend on, one exchange per tick, failed exchanges and failed conversions.
#include "simlink/flightdata.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/numtext.h"
#include "shell/dispatch.h"
#include "shell/tick.h"
#include "skytrace-sim/flight_source.h"
#include "test_app.h"

namespace sky {
namespace {

// Raw values as the simulator serves them (whole feet read back whole).
int64_t AltitudeRaw(double feet) {
  sim::FlightState state;
  state.altitudeFt = feet;
  return sim::RawOf(state).altitude;
}
int64_t LatitudeRaw(double degrees) {
  return std::llround(degrees * 10001750.0 * 4294967296.0 / 90);
}

// The fields these tests look at as ";Name=value" pairs, ending with ";".
std::string Describe(const FlightSample& s) {
  std::ostringstream o;
  o << ";Latitude=" << s.Latitude << ";Longitude=" << s.Longitude << ";Altitude=" << s.Altitude
    << ";GroundSpeed=" << s.GroundSpeed << ";Heading=" << s.Heading << ";Gear=" << s.Gear
    << ";FlapsPercent=" << s.FlapsPercent << ";Spoilers=" << s.Spoilers
    << ";TailHook=" << s.TailHook << ";LocalizerInBand=" << s.LocalizerInBand
    << ";GlideslopeState=" << s.GlideslopeState << ";GlideslopeFlag=" << s.GlideslopeFlag << ";";
  return o.str();
}

class FlightDataTest : public ::testing::Test {
 protected:
  FlightDataTest() {
    EXPECT_TRUE(t.Load());
    EXPECT_TRUE(t.g().Connected);
  }
  void Put(const RawFlightData& raw) {
    const auto* base = reinterpret_cast<const unsigned char*>(&raw);
    for (const FlightOffset& value : kFlightOffsets) {
      t.simulator.Write(value.offset, base + value.member, value.size);
    }
  }
  const FlightSample& Read(const RawFlightData& raw) {
    Put(raw);
    ReadSample(t.app());  // the reader and the tick's reaction to what it reports
    return t.app().sample;
  }

  test::TestApp t;
};

TEST_F(FlightDataTest, ConvertsEachRawValue) {
  using R = RawFlightData;
  struct Case {
    const char* name;
    void (*arrange)(RawFlightData&);
    std::string expected;  // the field's name and text
    int16_t locInt = 50;   // percent of the needle's band
    int16_t gsInt = 50;
  } cases[] = {
      {"just below zero feet", [](R& r) { r.altitude = AltitudeRaw(-0.5); }, "Altitude=-0"},
      {"a hair above zero feet", [](R& r) { r.altitude = 1; }, "Altitude=0"},
      {"ground speed", [](R& r) { r.groundSpeed = 65536; }, "GroundSpeed=1.9438444924406"},
      {"latitude cut at 13 decimals", [](R& r) { r.latitude = LatitudeRaw(1.23456789012345); },
       "Latitude=1.2345678901234"},
      {"longitude near zero in plain decimals",
       [](R& r) { r.longitude = -static_cast<int64_t>(1) << 40; }, "Longitude=-0.0000214576721"},
      {"localizer 12 inside 12.8", [](R& r) { r.localizer = 12; }, "LocalizerInBand=1", 10},
      {"localizer 13 outside 12.8", [](R& r) { r.localizer = 13; }, "LocalizerInBand=0", 10},
      {"localizer -13 outside -12.8", [](R& r) { r.localizer = 256 - 13; }, "LocalizerInBand=0",
       10},
      {"glideslope -59 is below", [](R& r) { r.glideslope = 256 - 59; }, "GlideslopeState=0"},
      {"glideslope -58 is on", [](R& r) { r.glideslope = 256 - 58; }, "GlideslopeState=1"},
      {"glideslope 59 is on", [](R& r) { r.glideslope = 59; }, "GlideslopeState=1"},
      {"glideslope 60 is above", [](R& r) { r.glideslope = 60; }, "GlideslopeState=2"},
      {"zero interval, centred needle", [](R& r) { r.glideslope = 0; }, "GlideslopeState=2", 50, 0},
      {"flaps below half", [](R& r) { r.flaps = 8191; }, "FlapsPercent=50"},
      {"flaps above half", [](R& r) { r.flaps = 8192; }, "FlapsPercent=50"},
      {"spoilers just below half", [](R& r) { r.spoilers = 8191; }, "Spoilers=0"},
      {"spoilers just above half", [](R& r) { r.spoilers = 8192; }, "Spoilers=1"},
      {"gear not quite down", [](R& r) { r.gear = 16382; }, "Gear=0"},
      {"gear down", [](R& r) { r.gear = 16383; }, "Gear=1"},
      {"tail hook halves to even", [](R& r) { r.tailHook = 2.5; }, "TailHook=2"},
      {"glideslope flag", [](R& r) { r.glideslopeFlag = 2; }, "GlideslopeFlag=1"},
  };
  for (const Case& c : cases) {
    RawFlightData raw;
    t.app().params.LocInt = c.locInt;
    t.app().params.GSInt = c.gsInt;
    c.arrange(raw);
    const std::string sample = Describe(Read(raw));
    EXPECT_NE(sample.find(";" + c.expected + ";"), std::string::npos) << c.name << "\n" << sample;
  }
  // Texts use the locale's separator.
  t.g().DecimalSeparator = ",";
  RawFlightData raw;
  raw.latitude = LatitudeRaw(1.23456789012345);
  raw.groundSpeed = 65536;
  EXPECT_EQ(Read(raw).Latitude, "1,2345678901234");
  EXPECT_EQ(t.app().sample.GroundSpeed, "1,9438444924406");
}

// Ticks carry the previous on-ground flag and the ground offset from sample to sample.
TEST_F(FlightDataTest, VerticalSpeedHeightAndTouchdownRateFollowTheGround) {
  struct Step {
    int16_t onGround;
    double altitudeFt;
    int32_t verticalRaw;   // 1.3 raw per foot per minute
    int32_t touchdownRaw;  // the rate at the last ground contact
    const char* verticalSpeed;
    double heightFt;
    const char* touchdown;
  } steps[] = {
      {1, 372, 0, 0, "0", 0, "0"},
      {1, 372, 13, 0, "0", 0, "0"},            // on the ground the rate is not shown
      {0, 572, 1301, 1301, "0", 200, "1000"},  // lift-off: the rate of the tick before
      {0, 772, 1301, 1301, "1000.399884375", 400, "1000"},
      {0, 402, -416, 0, "-319.8819", 30, "-320"},    // no contact rate: the vertical speed's
      {1, 372, -416, -416, "-319.8819", 0, "-320"},  // touchdown keeps the sink rate
      {1, 372, 0, -416, "0", 0, "-320"},
  };
  RawFlightData raw;
  raw.groundElevation = static_cast<int32_t>(std::lround(364 * 256 / 3.28084));
  for (const Step& step : steps) {
    raw.onGround = step.onGround;
    raw.altitude = AltitudeRaw(step.altitudeFt);
    raw.verticalSpeed = step.verticalRaw;
    raw.touchdownVerticalSpeed = step.touchdownRaw;
    Put(raw);
    t.Tick();
    const FlightSample& s = t.app().sample;
    EXPECT_EQ(s.VerticalSpeed, step.verticalSpeed) << step.altitudeFt;
    EXPECT_NEAR(*ParseNumber(s.HeightAboveGround, "."), step.heightFt, 0.02) << s.HeightAboveGround;
    if (step.onGround) {
      EXPECT_EQ(s.HeightAboveGround, "0");
    }
    EXPECT_EQ(s.TouchdownVerticalSpeed, step.touchdown) << step.altitudeFt;
  }
  EXPECT_NEAR(t.g().GroundOffset, 8, 0.01);
}

TEST_F(FlightDataTest, AFailedConversionStopsTheReadingButKeepsTheLink) {
  const int sends = t.transport.sends;
  RawFlightData raw;
  raw.gear = raw.flaps = raw.spoilers = 16383;
  Read(raw);
  raw.gear = raw.spoilers = 0;
  raw.flaps = 0x7FFFFFFF;  // over 13 million percent: does not fit
  const FlightSample& s = Read(raw);
  EXPECT_EQ(t.LastMessage(), "Unable to load FSUIPC offsets.");
  EXPECT_TRUE(t.g().Connected);
  EXPECT_EQ(s.Gear, "0");                   // converted before the failure
  EXPECT_EQ(s.FlapsPercent, 100);           // not changed
  EXPECT_EQ(s.Spoilers, 1);                 // not reached
  EXPECT_EQ(t.transport.sends, sends + 2);  // the whole sample in one exchange
}

// The simulator stops answering in the middle of a logged flight with realtime and animation on.
// The log, the connection label, the tray and the reconnection are the start-up and demo tests'.
TEST_F(FlightDataTest, LinkLostMidFlight) {
  Globals& g = t.g();
  App& app = t.app();
  RawFlightData raw;
  raw.altitude = AltitudeRaw(5000);
  raw.groundSpeed = 65536 * 200;
  Put(raw);
  t.Tick();
  ASSERT_EQ(Click(app, "Form1", "btn_startAnimate"), ClickResult::Done);
  g.RealtimeOn = true;
  Button* const views[] = {&app.Form1.btn_setChase, &app.Form1.btn_setLeft, &app.Form1.btn_setRight,
                           &app.Form1.btn_setOverview};
  for (Button* b : views) b->enabled = true;
  t.Tick();
  ASSERT_TRUE(g.LoggingOn && g.AnimationOn);
  const FlightSample before = app.sample;

  raw.altitude = AltitudeRaw(6000);
  raw.flaps = 16383;
  Put(raw);
  t.simulator.SetFaults({.silent = true});
  t.Tick();
  EXPECT_EQ(Describe(app.sample), Describe(before));  // a failed exchange changes no field
  EXPECT_FALSE(g.Connected || g.LoggingOn || g.RealtimeOn || g.AnimationOn);
  for (const Button* b : views) EXPECT_FALSE(b->enabled);
  EXPECT_EQ(app.Form1.Label13.text, "No animation");
  EXPECT_EQ(app.Form1.Label6.text, "No realtime");
  EXPECT_TRUE(app.prev.Latitude.empty() && app.prev.Altitude.empty() &&
              app.recorder.PrevTimestamp.empty());
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
  EXPECT_FALSE(LinkIsOpen(app.link));
}

}  // namespace
}  // namespace sky
