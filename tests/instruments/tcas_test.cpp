// The TCAS window: where and how targets are drawn, the refresh tick, modes, zoom, the window's
// life and its always-on-top toggle.
#include "instruments/tcas.h"

#include <gtest/gtest.h>

#include "instruments/geometry.h"
#include "shell/dispatch.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/traffic_source.h"
#include "test_app.h"

namespace sky {
namespace {

constexpr double kNmPerDegreeLat = 60.1075;  // of the distance function's sphere

class TcasTest : public ::testing::Test {
 protected:
  TcasTest() {
    // The simulator holds the same own aircraft, so that ticks read it back.
    sim::FlightState own;
    own.latitudeDeg = 52;
    own.longitudeDeg = 4;
    own.altitudeFt = 10000;
    sim::WriteFlightState(t.simulator, own);
    EXPECT_TRUE(t.Load());
    EXPECT_TRUE(t.g().Connected);
    SetOwn("52", "4", "10000", "0");
    EXPECT_EQ(Click(t.app(), "Form1", "btn_TCAS"), ClickResult::Done);
  }
  void SetOwn(const char* lat, const char* lon, const char* alt, const char* heading) {
    t.app().sample.Latitude = lat;
    t.app().sample.Longitude = lon;
    t.app().sample.Altitude = alt;
    t.app().sample.Heading = heading;
  }
  void SetMode(int mode) {
    t.g().TcasMode = mode;
    t.app().frmTCAS.Label11.text = "";
  }
  // The disc's centre in twips of the window.
  double CentreX() {
    const TcasControls& w = t.app().frmTCAS;
    return w.Frame3Box.left + w.imgTCASTable.left + w.imgTCASTable.width / 2.0;
  }
  double CentreY() {
    const TcasControls& w = t.app().frmTCAS;
    return w.Frame3Box.top + w.imgTCASTable.top + w.imgTCASTable.height / 2.0;
  }
  std::pair<int, int> Position(double lat, double lon) {
    const std::string text = TargetPosition(t.app(), lat, lon);
    const size_t colon = text.find(':');
    return {std::stoi(text.substr(0, colon)), std::stoi(text.substr(colon + 1))};
  }
  // Puts aircraft into the simulator's traffic area: each `nm` north of the own aircraft.
  void PutTraffic(const std::vector<std::pair<double, double>>& northAndAbove) {
    sim::TrafficSlots slots;
    for (size_t i = 0; i < northAndAbove.size(); ++i) {
      sim::TrafficAircraft& a = slots[i];
      a.id = static_cast<int32_t>(100 + i);
      a.latDeg = 52 + northAndAbove[i].first / kNmPerDegreeLat;
      a.lonDeg = 4;
      a.altFt = 10000 + northAndAbove[i].second;
      a.callsign = "T" + std::to_string(i);
    }
    sim::WriteTrafficArea(t.simulator, slots);
  }
  test::TestApp t;
};

TEST_F(TcasTest, TargetPositionIsHeadingUpAndScaledToTheDisc) {
  const TcasControls& w = t.app().frmTCAS;
  const double halfRing = w.imgTCASTable.width / 4.0;  // 10 NM on the 20 NM range
  struct Case {
    const char* name;
    const char* heading;
    double lat, lon;
    double dx, dy;  // expected offset from the centre, in twips
  } cases[] = {
      {"ahead on the half ring", "0", 52 + 10 / kNmPerDegreeLat, 4, 0, -halfRing},
      {"behind", "0", 52 - 10 / kNmPerDegreeLat, 4, 0, halfRing},
      {"due north at heading 090 is on the left", "90", 52 + 10 / kNmPerDegreeLat, 4, -halfRing, 0},
      {"due north at heading 270 is on the right", "270", 52 + 10 / kNmPerDegreeLat, 4, halfRing,
       0},
      {"own position is the centre", "0", 52, 4, 0, 0},
  };
  for (const Case& c : cases) {
    SetOwn("52", "4", "10000", c.heading);
    const auto [x, y] = Position(c.lat, c.lon);
    EXPECT_NEAR(x - CentreX(), c.dx, 1.5) << c.name;
    EXPECT_NEAR(y - CentreY(), c.dy, 1.5) << c.name;
  }
  // A target due east at heading 000 is to the right, straight out from the centre.
  SetOwn("52", "4", "10000", "0");
  const auto [x, y] = Position(52, 4.1);
  EXPECT_GT(x, CentreX() + 100);
  EXPECT_NEAR(y, CentreY(), 1);
  // Whole twips, halves to even: the centre (x.5) rounds to the even neighbour.
  EXPECT_EQ(TargetPosition(t.app(), 52, 4), "1328:1478");
}

TEST_F(TcasTest, TargetPositionFailureGivesTheOrigin) {
  t.app().sample.Heading = "";
  EXPECT_EQ(TargetPosition(t.app(), 52.1, 4), "0:0");
  EXPECT_EQ(t.LastMessage(), "Unable to calculate X and Y pos for TCAS.");
}

TEST_F(TcasTest, DrawTargetPlacesSymbolAndRelativeAltitudeLabel) {
  SetMode(4);
  struct Case {
    double above;
    const char* label;
  } cases[] = {
      {1200, "+12"}, {350, "+3"}, {30, "+0"},   {0, "+0"},
      {-49, "-1"},   {-50, "-1"}, {-300, "-3"}, {-301, "-4"},
  };
  for (const Case& c : cases) {
    t.app().frmTCAS.targets.clear();
    DrawTarget(t.app(), 52 + 3 / kNmPerDegreeLat, 4, 10000 + c.above);
    ASSERT_EQ(t.app().frmTCAS.targets.size(), 1u) << c.above;
    EXPECT_EQ(t.app().frmTCAS.targets[0].label, c.label) << c.above;
  }
  const TcasControls& w = t.app().frmTCAS;
  const TcasSymbol& s = w.targets[0];
  EXPECT_EQ(s.image, (Placement{s.x - 60, s.y - 60, 120, 120}));
  EXPECT_EQ(s.labelBox, (Placement{s.x - w.lblTCAS.width / 2, s.y - w.lblTCAS.height,
                                   w.lblTCAS.width, w.lblTCAS.height}));
}

TEST_F(TcasTest, DrawTargetUsesTheLevelAndSkipsHiddenTargets) {
  SetMode(4);
  DrawTarget(t.app(), 52 + 1 / kNmPerDegreeLat, 4, 10100);   // level 4
  DrawTarget(t.app(), 52 + 3 / kNmPerDegreeLat, 4, 11000);   // level 3
  DrawTarget(t.app(), 52 + 5 / kNmPerDegreeLat, 4, 11900);   // level 2
  DrawTarget(t.app(), 52 + 15 / kNmPerDegreeLat, 4, 10000);  // level 1
  DrawTarget(t.app(), 52 + 25 / kNmPerDegreeLat, 4, 10000);  // beyond the range
  const auto& targets = t.app().frmTCAS.targets;
  ASSERT_EQ(targets.size(), 4u);
  EXPECT_EQ(targets[0].level, 4);
  EXPECT_EQ(targets[1].level, 3);
  EXPECT_EQ(targets[2].level, 2);
  EXPECT_EQ(targets[3].level, 1);
  SetMode(3);
  DrawTarget(t.app(), 52 + 5 / kNmPerDegreeLat, 4, 12100);  // NRM: 2100 ft above is hidden
  EXPECT_EQ(targets.size(), 4u);
  SetMode(4);
  DrawTarget(t.app(), 52 + 5 / kNmPerDegreeLat, 4, 12100);
  EXPECT_EQ(targets.size(), 5u);
}

TEST_F(TcasTest, RefreshDrawsTheTableAndReplacesTheLastDrawing) {
  SetMode(4);
  const size_t messages = t.Messages().size();
  PutTraffic({{1, 100},
              {2, 300},
              {3, 900},
              {4, 0},
              {5, 1500},
              {6, -1800},
              {7, 0},
              {8, 50},
              {9, -20},
              {10, 0}});
  tmrTCAS_Timer(t.app());
  EXPECT_EQ(t.app().frmTCAS.targets.size(), 10u);
  EXPECT_EQ(t.app().traffic[1].ID, "100");
  PutTraffic({{1, 100}, {12, 300}, {30, 0}, {2, -400}});  // the third is out of range
  tmrTCAS_Timer(t.app());
  ASSERT_EQ(t.app().frmTCAS.targets.size(), 3u);
  EXPECT_EQ(t.app().frmTCAS.targets[0].level, 4);
  EXPECT_EQ(t.app().frmTCAS.targets[2].label, "-4");
  EXPECT_EQ(t.Messages().size(), messages) << t.LastMessage();
}

TEST_F(TcasTest, NothingIsReadOrDrawnWhenOffOrNotConnected) {
  PutTraffic({{1, 100}});
  SetMode(4);
  tmrTCAS_Timer(t.app());
  ASSERT_EQ(t.app().frmTCAS.targets.size(), 1u);
  const auto reads = t.transport.sends;
  SetMode(0);
  tmrTCAS_Timer(t.app());
  EXPECT_TRUE(t.app().frmTCAS.targets.empty());
  EXPECT_EQ(t.transport.sends, reads);
  SetMode(4);
  t.g().Connected = false;
  tmrTCAS_Timer(t.app());
  EXPECT_TRUE(t.app().frmTCAS.targets.empty());
  EXPECT_EQ(t.transport.sends, reads);
}

TEST_F(TcasTest, ALostLinkDuringTheRefreshClearsTheDisplay) {
  PutTraffic({{1, 100}});
  SetMode(4);
  tmrTCAS_Timer(t.app());
  t.g().AnimationOn = true;
  t.transport.neverDeliver = true;
  tmrTCAS_Timer(t.app());
  EXPECT_FALSE(t.g().Connected);
  EXPECT_TRUE(t.g().AnimationOn);
  EXPECT_TRUE(t.app().frmTCAS.targets.empty());
  EXPECT_EQ(t.app().traffic[1].ID, "100");  // the table keeps the last refresh
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
}

TEST_F(TcasTest, TheTimerRunsWithTheWindow) {
  PutTraffic({{1, 100}, {2, 100}});
  t.g().TcasMode = 4;
  const auto before = t.simulator.AreasHandled();
  t.Tick(1);
  EXPECT_EQ(t.app().frmTCAS.targets.size(), 2u);
  EXPECT_GT(t.simulator.AreasHandled(), before);
  EXPECT_EQ(Click(t.app(), "Form1", "btn_TCAS"), ClickResult::Done);  // still one window
  EXPECT_TRUE(t.app().frmTCAS.loaded);
  EXPECT_EQ(t.app().frmTCAS.targets.size(), 2u);
  ASSERT_TRUE(CloseWindow(t.app(), "frmTCAS"));
  EXPECT_FALSE(t.g().TcasWindowOpen);
  const auto writes = t.simulator.ControlWrites().size();
  t.Tick(3);
  EXPECT_EQ(t.simulator.ControlWrites().size(), writes);  // no refresh without the window
}

TEST_F(TcasTest, ModeCyclesOnlyWhileConnected) {
  const char* expected[] = {"ABV", "BLW", "NRM", "ALL", "OFF", "ABV"};
  for (const char* label : expected) {
    EXPECT_EQ(Click(t.app(), "frmTCAS", "btn_ToggleTCAS"), ClickResult::Done);
    EXPECT_EQ(t.app().frmTCAS.Label11.text, label);
  }
  EXPECT_EQ(t.g().TcasMode, 1);
  t.g().Connected = false;
  for (int i = 0; i < 3; ++i) {
    CycleTcasMode(t.app());
    EXPECT_EQ(t.app().frmTCAS.Label11.text, "OFF");
    EXPECT_EQ(t.g().TcasMode, 0);
  }
}

TEST_F(TcasTest, ZoomStepsAndStopsAtTheEnds) {
  struct Case {
    void (*press)(App&);
    int from, to;
    const char* label;
  } cases[] = {
      {ZoomIn, 40, 20, "20NM"},  {ZoomIn, 20, 15, "15NM"},  {ZoomIn, 15, 10, "10NM"},
      {ZoomIn, 10, 5, "5NM"},    {ZoomIn, 5, 5, "5NM"},     {ZoomOut, 5, 10, "10NM"},
      {ZoomOut, 10, 15, "15NM"}, {ZoomOut, 15, 20, "20NM"}, {ZoomOut, 20, 40, "40NM"},
      {ZoomOut, 40, 40, "40NM"},
  };
  for (const Case& c : cases) {
    t.g().TcasRange = c.from;
    c.press(t.app());
    EXPECT_EQ(t.g().TcasRange, c.to) << c.from;
    EXPECT_EQ(t.app().frmTCAS.Label10.text, c.label) << c.from;
  }
}

TEST_F(TcasTest, StateSurvivesClosingButLabelsStartAtDesignTime) {
  t.g().TcasMode = 4;
  ZoomOut(t.app());
  ToggleTcasOnTop(t.app());
  CloseTcasWindow(t.app());
  OpenTcasWindow(t.app());
  EXPECT_EQ(t.g().TcasRange, 40);
  EXPECT_EQ(t.g().TcasMode, 4);
  EXPECT_EQ(t.app().frmTCAS.Label10.text, "20NM");
  EXPECT_EQ(t.app().frmTCAS.Label11.text, "OFF");
  ToggleTcasOnTop(t.app());
  EXPECT_EQ(t.LastMessage(), "TCAS always on top disabled.");
  ASSERT_EQ(t.windows.onTopCalls.size(), 2u);
  EXPECT_EQ(t.windows.onTopCalls[0], std::make_pair(WindowId::frmTCAS, true));
  EXPECT_EQ(t.windows.onTopCalls[1], std::make_pair(WindowId::frmTCAS, false));
  t.windows.fail = true;
  ToggleTcasOnTop(t.app());
  const auto messages = t.Messages();
  EXPECT_EQ(messages[messages.size() - 2], "Unable to set window on top.");
  EXPECT_EQ(messages.back(), "TCAS window set always on top.");
  EXPECT_TRUE(t.g().TcasOnTop);
}

}  // namespace
}  // namespace sky
