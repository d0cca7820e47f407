// The flight sample: conversions of every raw value, the order they depend on, one exchange per
// tick, and what a failed exchange or a failed conversion does.
#include "simlink/flightdata.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "core/numtext.h"
#include "shell/dispatch.h"
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
int32_t GroundRaw(double feet) {
  return static_cast<int32_t>(std::lround(feet * 256 / 3.28084));
}

auto Fields(const FlightSample& s) {
  return std::tie(s.Latitude, s.Longitude, s.Altitude, s.GroundSpeed, s.Heading, s.OnGround,
                  s.VerticalSpeed, s.HeightAboveGround, s.TouchdownVerticalSpeed, s.Gear,
                  s.FlapsPercent, s.Spoilers, s.IndicatedAirspeed, s.TrueAirspeed, s.TailHook,
                  s.Overspeed, s.Stall, s.InnerMarker, s.MiddleMarker, s.OuterMarker,
                  s.LocalizerInBand, s.GlideslopeNeedle, s.GlideslopeState, s.GlideslopeFlag,
                  s.Autobrake);
}

class FlightDataTest : public ::testing::Test {
 protected:
  explicit FlightDataTest(test::TestAppOptions options = {}) : t(options) {
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
    ReadFlightData(t.app());
    return t.app().sample;
  }

  test::TestApp t;
};

TEST_F(FlightDataTest, ConvertsEachRawValue) {
  using Get = std::function<std::string(const FlightSample&)>;
  const Get altitude = [](const FlightSample& s) { return s.Altitude; };
  const Get latitude = [](const FlightSample& s) { return s.Latitude; };
  const Get longitude = [](const FlightSample& s) { return s.Longitude; };
  const Get needle = [](const FlightSample& s) { return std::to_string(s.GlideslopeNeedle); };
  const Get state = [](const FlightSample& s) { return std::to_string(s.GlideslopeState); };
  const Get band = [](const FlightSample& s) { return s.LocalizerInBand ? "in" : "out"; };
  const Get flaps = [](const FlightSample& s) { return std::to_string(s.FlapsPercent); };
  const Get spoilers = [](const FlightSample& s) { return std::to_string(s.Spoilers); };
  struct Case {
    const char* name;
    std::function<void(RawFlightData&, LoggingParameters&)> arrange;
    Get get;
    std::string expected;
  } cases[] = {
      {"altitude cut toward zero", [](auto& r, auto&) { r.altitude = AltitudeRaw(123.9); },
       altitude, "123"},
      {"just below zero feet", [](auto& r, auto&) { r.altitude = AltitudeRaw(-0.5); }, altitude,
       "-0"},
      {"a hair above zero feet", [](auto& r, auto&) { r.altitude = 1; }, altitude, "0"},
      {"negative heading", [](auto& r, auto&) { r.heading = -(1 << 30); },
       [](const FlightSample& s) { return s.Heading; }, "270"},
      {"ground speed", [](auto& r, auto&) { r.groundSpeed = 65536; },
       [](const FlightSample& s) { return s.GroundSpeed; }, "1.9438444924406"},
      {"latitude cut at 13 decimals",
       [](auto& r, auto&) {
         r.latitude = std::llround(1.23456789012345 * 10001750.0 * 4294967296.0 / 90);
       },
       latitude, "1.2345678901234"},
      {"longitude near zero in plain decimals",
       [](auto& r, auto&) { r.longitude = -static_cast<int64_t>(1) << 40; }, longitude,
       "-0.0000214576721"},
      {"whole degrees",
       [](auto& r, auto&) { r.latitude = std::llround(45 * 10001750.0 * 4294967296.0 / 90); },
       latitude, "45"},
      {"glideslope byte 120", [](auto& r, auto&) { r.glideslope = 120; }, needle, "-136"},
      {"glideslope byte 119", [](auto& r, auto&) { r.glideslope = 119; }, needle, "119"},
      {"localizer 128 stays 128",
       [](auto& r, auto& p) {
         r.localizer = 128;
         p.LocInt = 100;
       },
       band, "out"},
      {"localizer 129 is -127",
       [](auto& r, auto& p) {
         r.localizer = 129;
         p.LocInt = 100;
       },
       band, "in"},
      {"localizer 12 inside 12.8",
       [](auto& r, auto& p) {
         r.localizer = 12;
         p.LocInt = 10;
       },
       band, "in"},
      {"localizer 13 outside 12.8",
       [](auto& r, auto& p) {
         r.localizer = 13;
         p.LocInt = 10;
       },
       band, "out"},
      {"localizer -13 outside -12.8",
       [](auto& r, auto& p) {
         r.localizer = 256 - 13;
         p.LocInt = 10;
       },
       band, "out"},
      {"glideslope -59 is below", [](auto& r, auto&) { r.glideslope = 256 - 59; }, state, "0"},
      {"glideslope -58 is on", [](auto& r, auto&) { r.glideslope = 256 - 58; }, state, "1"},
      {"glideslope 59 is on", [](auto& r, auto&) { r.glideslope = 59; }, state, "1"},
      {"glideslope 60 is above", [](auto& r, auto&) { r.glideslope = 60; }, state, "2"},
      {"zero interval, centred needle",
       [](auto& r, auto& p) {
         r.glideslope = 0;
         p.GSInt = 0;
       },
       state, "2"},
      {"flaps below half", [](auto& r, auto&) { r.flaps = 8191; }, flaps, "50"},
      {"flaps above half", [](auto& r, auto&) { r.flaps = 8192; }, flaps, "50"},
      {"flaps full", [](auto& r, auto&) { r.flaps = 16383; }, flaps, "100"},
      {"spoilers just below half", [](auto& r, auto&) { r.spoilers = 8191; }, spoilers, "0"},
      {"spoilers just above half", [](auto& r, auto&) { r.spoilers = 8192; }, spoilers, "1"},
      {"gear not quite down", [](auto& r, auto&) { r.gear = 16382; },
       [](const FlightSample& s) { return s.Gear; }, "0"},
      {"gear down", [](auto& r, auto&) { r.gear = 16383; },
       [](const FlightSample& s) { return s.Gear; }, "1"},
      {"tail hook halves to even", [](auto& r, auto&) { r.tailHook = 2.5; },
       [](const FlightSample& s) { return std::to_string(s.TailHook); }, "2"},
      {"airspeed in 128ths", [](auto& r, auto&) { r.indicatedAirspeed = 250 * 128 + 64; },
       [](const FlightSample& s) { return std::to_string(s.IndicatedAirspeed); }, "250.500000"},
      {"glideslope flag", [](auto& r, auto&) { r.glideslopeFlag = 2; },
       [](const FlightSample& s) { return s.GlideslopeFlag ? "on" : "off"; }, "on"},
  };
  for (const Case& c : cases) {
    RawFlightData raw;
    LoggingParameters& params = t.app().params;
    params = LoggingParameters{};
    c.arrange(raw, params);
    EXPECT_EQ(c.get(Read(raw)), c.expected) << c.name;
  }
}

TEST(FlightDataComma, TextsUseTheLocaleSeparator) {
  test::TestApp t({.decimalSeparator = ","});
  ASSERT_TRUE(t.Load());
  RawFlightData raw;
  raw.latitude = std::llround(1.23456789012345 * 10001750.0 * 4294967296.0 / 90);
  raw.altitude = AltitudeRaw(123.9);
  raw.groundSpeed = 65536;
  const auto* base = reinterpret_cast<const unsigned char*>(&raw);
  for (const FlightOffset& value : kFlightOffsets) {
    t.simulator.Write(value.offset, base + value.member, value.size);
  }
  ReadFlightData(t.app());
  EXPECT_EQ(t.app().sample.Latitude, "1,2345678901234");
  EXPECT_EQ(t.app().sample.Altitude, "123");
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
  raw.groundElevation = GroundRaw(364);
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

TEST_F(FlightDataTest, TheWholeSampleIsOneExchange) {
  const int sends = t.transport.sends;
  const uint64_t areas = t.simulator.AreasHandled();
  Read(RawFlightData{});
  EXPECT_EQ(t.transport.sends, sends + 1);
  EXPECT_EQ(t.simulator.AreasHandled(), areas + 1);
}

TEST_F(FlightDataTest, AFailedConversionStopsTheReadingButKeepsTheLink) {
  RawFlightData raw;
  raw.gear = 16383;
  raw.flaps = 16383;
  raw.spoilers = 16383;
  Read(raw);
  raw.gear = 0;
  raw.flaps = 0x7FFFFFFF;  // over 13 million percent: does not fit
  raw.spoilers = 0;
  const FlightSample& s = Read(raw);
  EXPECT_EQ(t.LastMessage(), "Unable to load FSUIPC offsets.");
  EXPECT_TRUE(t.g().Connected);
  EXPECT_EQ(s.Gear, "0");          // converted before the failure
  EXPECT_EQ(s.FlapsPercent, 100);  // not changed
  EXPECT_EQ(s.Spoilers, 1);        // not reached
}

TEST_F(FlightDataTest, AFailedExchangeChangesNoField) {
  RawFlightData raw;
  raw.altitude = AltitudeRaw(5000);
  raw.flaps = 16383;
  Read(raw);
  const FlightSample before = t.app().sample;
  raw.altitude = AltitudeRaw(6000);
  raw.flaps = 0;
  Put(raw);
  t.simulator.SetFaults({.silent = true});
  ReadFlightData(t.app());
  EXPECT_EQ(Fields(t.app().sample), Fields(before));
  EXPECT_FALSE(t.g().Connected);
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
}

// The simulator stops answering in the middle of a logged flight with realtime, animation, the
// status window open and the main window in the tray; then it comes back.
TEST_F(FlightDataTest, LinkLostMidFlightAndReconnection) {
  Globals& g = t.g();
  App& app = t.app();
  RawFlightData raw;
  raw.altitude = AltitudeRaw(5000);
  raw.groundSpeed = 65536 * 200;
  Put(raw);
  t.Tick();
  ASSERT_TRUE(app.Form1.btn_startlog.enabled);
  g.StatusWindowOpen = true;
  ASSERT_EQ(Click(app, "Form1", "btn_startAnimate"), ClickResult::Done);
  g.RealtimeOn = true;
  for (Button* b : {&app.Form1.btn_setChase, &app.Form1.btn_setLeft, &app.Form1.btn_setRight,
                    &app.Form1.btn_setOverview}) {
    b->enabled = true;
  }
  app.Form1.windowState = WindowState::Minimized;
  app.Form1.visible = false;
  app.Form1.trayIcon = true;
  t.Tick();
  ASSERT_TRUE(g.LoggingOn && g.AnimationOn);
  const std::string logBefore = test::ReadFile(t.DataFile("Flightlog.txt"));

  t.simulator.SetFaults({.silent = true});
  t.Tick();
  EXPECT_FALSE(g.Connected);
  EXPECT_FALSE(g.LoggingOn);
  EXPECT_FALSE(g.RealtimeOn);
  EXPECT_FALSE(g.AnimationOn);
  for (const Button* b : {&app.Form1.btn_setChase, &app.Form1.btn_setLeft, &app.Form1.btn_setRight,
                          &app.Form1.btn_setOverview}) {
    EXPECT_FALSE(b->enabled);
  }
  EXPECT_EQ(app.Form1.Label5.text, "No logging");
  EXPECT_EQ(app.Form1.Label13.text, "No animation");
  EXPECT_EQ(app.Form1.Label6.text, "No realtime");
  EXPECT_EQ(app.Form1.lblConnect.text, "Not connected");
  EXPECT_EQ(app.Form1.lblConnect.color, kRed);
  EXPECT_EQ(app.Form1.windowState, WindowState::Normal);
  EXPECT_TRUE(app.Form1.visible);
  EXPECT_FALSE(app.Form1.trayIcon);
  EXPECT_EQ(app.frmACStatus.Label1.text, "");
  EXPECT_EQ(app.frmACStatus.Label12.text, "");
  EXPECT_TRUE(app.prev.Latitude.empty());
  EXPECT_TRUE(app.prev.Altitude.empty());
  EXPECT_TRUE(g.PrevTimestamp.empty());
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), logBefore);
  EXPECT_FALSE(LinkIsOpen(app.link));

  // While it stays silent the tick retries without a word.
  const size_t messages = t.Messages().size();
  t.Tick(3);
  EXPECT_FALSE(g.Connected);
  EXPECT_EQ(t.Messages().size(), messages);

  t.simulator.SetFaults({});
  t.Tick();
  EXPECT_TRUE(g.Connected);
  EXPECT_EQ(app.Form1.lblConnect.text, "Connected");
  EXPECT_EQ(app.Form1.lblConnect.color, kBlack);
  t.Tick();
  EXPECT_TRUE(app.Form1.btn_startlog.enabled);
  EXPECT_FALSE(g.LoggingOn);
  EXPECT_EQ(app.sample.Altitude, "5000");
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), logBefore);
}

}  // namespace
}  // namespace sky
