// The instruments: distances, bearings and threat levels of traffic; the TCAS window's drawing,
// refresh, modes, zoom and life; the aircraft status window's lines, colours and life.
#include "core/geometry.h"
#include "instruments/status_window.h"
#include "instruments/tcas.h"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/instrument_windows.h"
#include "core/messages.h"
#include "shell/dispatch.h"
#include "shell/tick.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/traffic_source.h"
#include "test_app.h"

namespace sky {
namespace {

TEST(GeometryTest, GreatCircleDistances) {
  constexpr double kPi = 3.14159265358979323846;
  struct Case {
    const char* name;
    double lat1, lon1, lat2, lon2;
    bool inRadians;
    double expected, tolerance;
  } cases[] = {
      {"equal points", 52, 4, 52, 4, false, 0, 0},
      {"one degree of longitude at 52N", 52, 4, 52, 5, false, 37.0, 0.01},
      {"backwards", 52, 5, 52, 4, false, 37.0, 0.01},
      {"one degree of latitude", 0, 0, 1, 0, false, 60.107, 0.01},
      {"radians are used unchanged", 0, 0, 0, 1, true, 3443.917, 0.01},
      {"a 100 degree arc folds back to 80", 0, 0, 0, 100, false, 4808.6, 0.5},
      {"exactly 90 degrees", kPi / 4, 0, kPi / 4, kPi, true, 5409.69272219995, 0},
      {"south and west are negative", -33.9, 151.2, -33.9, 150.2, false, 49.8, 0.1},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(GreatCircleDistance(c.lat1, c.lon1, c.lat2, c.lon2, c.inRadians), c.expected,
                c.tolerance)
        << c.name;
  }
}

// Radians to degrees by 57.29578 in single precision; longitude differences are not scaled.
TEST(GeometryTest, BearingsOnPlainDegreeDifferencesInTheUsersFormat) {
  const double cases[][4] = {{4, 52, 4, 52}, {4, 52, 4, 53}, {4, 52, 4, 51}, {4, 52, 5, 52},
                             {5, 52, 4, 52}, {0, 0, 1, 1},   {0, 0, 1, -1},  {0, 0, -1, -1},
                             {0, 0, -1, 1},  {0, 60, 1, 61}, {0, 0, 2, 1}};  // lon, lat to lon, lat
  std::string bearings;
  for (const auto& c : cases) bearings += BearingTo(".", c[0], c[1], c[2], c[3]) + " ";
  EXPECT_EQ(bearings,
            "0 0 180 90 270 45.0000005252762 134.999999474724 225.000000525276 314.999999474724 "
            "45.0000005252762 63.4349495633858 ");
  EXPECT_EQ(BearingTo(",", 0, 0, 2, 1), "63,4349495633858");
}

// The last latitude north of 52N 4E within `nm` as the distance function sees it, or the next.
double NorthEdge(double nm, bool inside) {
  double in = 52;
  double out = 52 + nm / 30;
  for (int i = 0; i < 200 && out - in > 1e-12; ++i) {
    const double middle = (in + out) / 2;
    (GreatCircleDistance(52, 4, middle, 4, false) <= nm ? in : out) = middle;
  }
  return inside ? in : out;
}

constexpr double kNmPerDegreeLat = 60.1075;  // of the distance function's sphere

// The TCAS display's model on its own: the own aircraft at 52N 4E, 10000 ft, heading 000, and the
// sentences it posts.
struct Display {
  FlightSample own{.Latitude = "52", .Longitude = "4", .Altitude = "10000", .Heading = "0"};
  TcasControls window;
  std::vector<std::string> posted;
  SentenceList board{posted};
  TcasScene Scene(int mode = 4, int range = 20) const { return {own, ".", range, mode}; }
  TrafficFilter Filter(int mode, int range, std::string_view separator = ".") const {
    return {own.Altitude, own.Longitude, own.Latitude, separator, range, mode};
  }
};

class InstrumentsTest : public ::testing::Test {
 protected:
  InstrumentsTest() {
    // The own aircraft at 52N 4E, 10000 ft, heading 000, read back by every tick.
    sim::WriteFlightState(t.simulator, {.latitudeDeg = 52, .longitudeDeg = 4, .altitudeFt = 10000});
    EXPECT_TRUE(t.Load() && t.g().Connected);
    t.Tick();
    EXPECT_EQ(Click(t.app(), "Form1", "btn_TCAS"), ClickResult::Done);
    EXPECT_EQ(Click(t.app(), "Form1", "btn_indicator"), ClickResult::Done);
  }
  // Aircraft in the simulator's traffic area, each `nm` north and `above` feet higher.
  void PutTraffic(const std::vector<std::pair<double, double>>& northAndAbove) {
    sim::TrafficSlots slots;
    for (size_t i = 0; i < northAndAbove.size(); ++i) {
      slots[i] = {static_cast<int32_t>(100 + i), 52 + northAndAbove[i].first / kNmPerDegreeLat, 4,
                  10000 + northAndAbove[i].second};
    }
    sim::WriteTrafficArea(t.simulator, slots);
  }
  const std::vector<TcasSymbol>& Targets() { return t.app().frmTCAS.targets; }
  StatusControls& w() { return t.app().frmACStatus; }
  std::string Lines() {
    return w().Label1.text + "|" + w().Label12.text + "|" + w().Label2.text + "|" +
           w().Label3.text + "|" + w().Label4.text + "|" + w().Label8.text;
  }
  test::TestApp t;
};

TEST(TcasDisplay, TargetPositionIsHeadingUpAndScaledToTheDisc) {
  Display d;
  const TcasControls& f = d.window;
  const double halfRing = f.imgTCASTable.width / 4.0;  // 10 NM on the 20 NM range
  const double centreX = f.Frame3Box.left + f.imgTCASTable.left + f.imgTCASTable.width / 2.0;
  const double centreY = f.Frame3Box.top + f.imgTCASTable.top + f.imgTCASTable.height / 2.0;
  const double north = 52 + 10 / kNmPerDegreeLat;
  const double east = 4 + 10 / (kNmPerDegreeLat * std::cos(52 * 3.14159265358979 / 180));
  struct Case {
    const char *name, *heading;
    double lat, lon;
    double dx, dy;  // expected offset from the centre, in twips
  } cases[] = {
      {"ahead on the half ring", "0", north, 4, 0, -halfRing},
      {"behind", "0", 52 - 10 / kNmPerDegreeLat, 4, 0, halfRing},
      {"east at heading 000 is on the right", "0", 52, east, halfRing, 0},
      {"due north at heading 090 is on the left", "90", north, 4, -halfRing, 0},
      {"due north at heading 270 is on the right", "270", north, 4, halfRing, 0},
  };
  for (const Case& c : cases) {
    d.own.Heading = c.heading;
    const std::string text = TargetPosition(d.Scene(), f, d.board, c.lat, c.lon);
    const size_t colon = text.find(':');
    EXPECT_NEAR(std::stoi(text.substr(0, colon)) - centreX, c.dx, 1.5) << c.name << ": " << text;
    EXPECT_NEAR(std::stoi(text.substr(colon + 1)) - centreY, c.dy, 1.5) << c.name << ": " << text;
  }
  // Whole twips, halves to even: the centre (x.5) rounds to the even neighbour.
  d.own.Heading = "0";
  EXPECT_EQ(TargetPosition(d.Scene(), f, d.board, 52, 4), "1328:1478");
  d.own.Heading = "";
  EXPECT_EQ(TargetPosition(d.Scene(), f, d.board, 52.1, 4), "0:0");
  EXPECT_EQ(d.posted, std::vector<std::string>{"Unable to calculate X and Y pos for TCAS."});
}

TEST(TcasDisplay, DrawTargetPlacesSymbolAndRelativeAltitudeLabel) {
  Display d;
  for (double above : {1200, 350, 30, 0, -49, -50, -300, -301}) {
    DrawTarget(d.Scene(), d.window, d.board, 52 + 3 / kNmPerDegreeLat, 4, 10000 + above);
  }
  std::string labels;
  for (const TcasSymbol& target : d.window.targets) labels += target.label + " ";
  EXPECT_EQ(labels, "+12 +3 +0 +0 -1 -1 -3 -4 ");
  const TcasControls& f = d.window;
  const TcasSymbol& s = f.targets[0];
  EXPECT_EQ(s.image, (Placement{s.x - 60, s.y - 60, 120, 120}));
  EXPECT_EQ(s.labelBox, (Placement{s.x - f.lblTCAS.width / 2, s.y - f.lblTCAS.height,
                                   f.lblTCAS.width, f.lblTCAS.height}));
}

// The timer's refresh replaces the last drawing; nothing is read or drawn when OFF or not
// connected, and a link lost during the refresh clears the display but keeps the table.
TEST_F(InstrumentsTest, RefreshReplacesTheDrawingUnlessOffOrLost) {
  t.g().TcasMode = 4;
  PutTraffic({{1, 100}});
  t.Tick();  // the timer runs with the window
  ASSERT_EQ(Targets().size(), 1u);
  EXPECT_EQ(Click(t.app(), "Form1", "btn_TCAS"), ClickResult::Done);  // the same window
  EXPECT_EQ(Targets().size(), 1u);
  PutTraffic({{12, 300}, {2, -400}});
  tmrTCAS_Timer(t.app());
  EXPECT_EQ(Targets().size(), 2u);
  const auto reads = t.transport.sends;
  t.g().TcasMode = 0;
  tmrTCAS_Timer(t.app());
  EXPECT_TRUE(Targets().empty());
  t.g().TcasMode = 4;
  t.g().Connected = false;
  tmrTCAS_Timer(t.app());
  EXPECT_EQ(t.transport.sends, reads);
  t.g().Connected = true;
  tmrTCAS_Timer(t.app());
  ASSERT_EQ(Targets().size(), 2u);
  t.g().AnimationOn = true;
  t.transport.neverDeliver = true;
  tmrTCAS_Timer(t.app());
  EXPECT_FALSE(t.g().Connected || t.g().AnimationOn);  // whichever reader noticed
  EXPECT_TRUE(Targets().empty());
  EXPECT_EQ(t.app().traffic[2].ID, "101");
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
}

// Mode and zoom labels and ends; the state outlives the window, its labels start afresh.
TEST_F(InstrumentsTest, ModesZoomAndAlwaysOnTopAcrossClosing) {
  std::string modes;
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Click(t.app(), "frmTCAS", "btn_ToggleTCAS"), ClickResult::Done);
    modes += t.app().frmTCAS.Label11.text + " ";
  }
  EXPECT_EQ(modes, "ABV BLW NRM ALL OFF ABV ");
  using Press = void (*)(App&);  // the window's commands
  const std::pair<Press, int> presses[] = {{ZoomOut, 2}, {ZoomIn, 5}, {ZoomOut, 4}};
  std::string zoom;
  for (const auto& [press, times] : presses) {
    for (int i = 0; i < times; ++i) {
      press(t.app());
      zoom += t.app().frmTCAS.Label10.text + " ";
    }
  }
  EXPECT_EQ(zoom, "40NM 40NM 20NM 15NM 10NM 5NM 5NM 10NM 15NM 20NM 40NM ");
  ToggleTcasOnTop(t.app());
  ASSERT_TRUE(CloseWindow(t.app(), "frmTCAS"));
  EXPECT_EQ(t.g().TcasMode, 0);  // closing ends traffic reading, for the recorder too
  const auto writes = t.simulator.ControlWrites().size();
  t.Tick(3);  // no refresh without the window
  EXPECT_EQ(t.simulator.ControlWrites().size(), writes);
  OpenTcasWindow(t.app());  // showing the range and mode it draws with
  EXPECT_EQ(t.g().TcasRange, 40);
  EXPECT_EQ(t.app().frmTCAS.Label10.text, "40NM");
  EXPECT_EQ(t.app().frmTCAS.Label11.text, "OFF");
  CycleTcasMode(t.app());
  EXPECT_EQ(t.app().frmTCAS.Label11.text, "ABV");
  ToggleTcasOnTop(t.app());
  EXPECT_EQ(t.LastMessage(), "TCAS always on top disabled.");
  const std::vector<std::pair<WindowId, bool>> calls{{WindowId::frmTCAS, true},
                                                     {WindowId::frmTCAS, false}};
  EXPECT_EQ(t.windows.onTopCalls, calls);
  // Without a link the mode stays OFF.
  t.g().Connected = false;
  CycleTcasMode(t.app());
  EXPECT_EQ(t.app().frmTCAS.Label11.text, "OFF");
  EXPECT_EQ(t.g().TcasMode, 0);
}

// A target `nm` north (inside the edge or just beyond), `above` feet higher, by mode and range.
TEST(Classification, LevelsAtEveryRangeDistanceHeightAndModeBoundary) {
  Display d;
  struct Case {
    int mode, range;
    double nm;
    bool inside;
    double above;
    int level;
  } cases[] = {
      {4, 20, 20, true, 5000, kLevelOther},   {4, 20, 20, false, 5000, kLevelHidden},
      {4, 5, 5, true, 5000, kLevelOther},     {4, 5, 5, false, 5000, kLevelHidden},
      {4, 20, 6, true, 2000, kLevelClose1},   {4, 20, 6, true, 2001, kLevelOther},
      {4, 20, 6, false, 0, kLevelOther},      {4, 20, 6, true, -2000, kLevelClose1},
      {4, 20, 4, true, 1200, kLevelClose2},   {4, 20, 4, true, 1201, kLevelClose1},
      {4, 20, 4, false, 0, kLevelClose1},     {4, 20, 4, true, -1200, kLevelClose2},
      {4, 20, 2, true, 500, kLevelClose3},    {4, 20, 2, true, 501, kLevelClose2},
      {4, 20, 2, false, 0, kLevelClose2},     {4, 20, 2, true, -500, kLevelClose3},
      {4, 20, 2, true, 500.5, kLevelClose3},  // rounds to 500 (halves to even)
      {4, 20, 2, true, 501.5, kLevelClose2},  // rounds to 502
      {4, 20, 2, true, -500.5, kLevelClose3}, {1, 20, 5, true, -2000, kLevelClose1},
      {1, 20, 5, true, -2001, kLevelHidden},  {1, 20, 5, true, 9900, kLevelOther},
      {1, 20, 5, true, 9901, kLevelHidden},   {2, 20, 5, true, 2000, kLevelClose1},
      {2, 20, 5, true, 2001, kLevelHidden},   {2, 20, 5, true, -9900, kLevelOther},
      {2, 20, 5, true, -9901, kLevelHidden},  {3, 20, 5, true, 2000, kLevelClose1},
      {3, 20, 5, true, 2001, kLevelHidden},   {3, 20, 5, true, -2000, kLevelClose1},
      {3, 20, 5, true, -2001, kLevelHidden},  {4, 20, 5, true, 10000, kLevelOther},
      {4, 20, 5, true, -30000, kLevelOther},  {0, 20, 5, true, 10000, kLevelOther},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyTraffic(d.Filter(c.mode, c.range), NorthEdge(c.nm, c.inside), 4,
                              10000 + c.above, d.board),
              c.level)
        << "mode " << c.mode << ", range " << c.range << ": " << c.nm << " NM "
        << (c.inside ? "inside" : "beyond") << ", " << c.above << " ft";
  }
  EXPECT_TRUE(d.posted.empty());
}

// Own texts in the user's number format; a failure posts its sentence and hides the target.
TEST(Classification, OwnTextsInTheUsersFormatAndTheFailure) {
  Display d;
  d.own = {.Latitude = "10", .Longitude = "20", .Altitude = "5000,5"};
  // The target is 1 NM away and 100 ft below.
  EXPECT_EQ(ClassifyTraffic(d.Filter(4, 20, ","), 10.0166, 20, 4900, d.board), kLevelClose3);
  d.own.Altitude = "0";
  EXPECT_EQ(ClassifyTraffic(d.Filter(4, 20, ","), 10.0166, 20, 4900, d.board), kLevelOther);
  d.own = {.Latitude = "52", .Longitude = "4", .Altitude = "not a number"};
  EXPECT_EQ(ClassifyTraffic(d.Filter(4, 20), 52.01, 4, 10000, d.board), kLevelHidden);
  d.own.Altitude = "10000";
  EXPECT_EQ(ClassifyTraffic(d.Filter(4, 20), 52.01, 4, 1e300, d.board), kLevelHidden);
  d.own.Longitude = "x";
  EXPECT_EQ(ClassifyTraffic(d.Filter(4, 20), 52.01, 4, 10000, d.board), kLevelHidden);
  EXPECT_EQ(d.posted, std::vector<std::string>(3, "Error in drawing TCAS table."));
}

TEST(StatusLines, ColoursAtTheirBounds) {
  StatusControls w;
  struct Case {
    const char *verticalSpeed, *height;
    int16_t onGround;
    Color vsColour, heightColour;
  } cases[] = {
      {"6000", "100", 0, kRed, kBlack},   {"5999.99", "99.99", 0, kBlack, kRed},
      {"-6000", "80", 0, kRed, kRed},     {"-5999.99", "0", 1, kBlack, kBlack},
      {"-6000.1", "99", 1, kRed, kBlack}, {"-512.3", "0", 0, kBlack, kRed},
      {"0", "100.5", 0, kBlack, kBlack},
  };
  // The overspeed and stall colours belong to event detection.
  w.Label1.color = w.Label3.color = kRed;
  for (const Case& c : cases) {
    FlightSample sample{.VerticalSpeed = c.verticalSpeed, .HeightAboveGround = c.height};
    sample.OnGround = c.onGround;
    WriteStatusLines(w, sample, ".");
    EXPECT_EQ(w.Label4.color, c.vsColour) << c.verticalSpeed;
    EXPECT_EQ(w.Label8.color, c.heightColour) << c.height << " on ground " << c.onGround;
  }
  EXPECT_EQ(w.Label1.color, kRed);
  EXPECT_EQ(w.Label3.color, kRed);
}

// Integer parts (floor) in the user's number format, the altitude text unchanged; a lost link
// blanks them and leaves the event line to its timer.
TEST_F(InstrumentsTest, ValueLinesAndALostLink) {
  FlightSample s{.Altitude = "-0", .GroundSpeed = "245,7", .Heading = "306,2"};
  s.VerticalSpeed = "-3,5";
  s.HeightAboveGround = "3500";
  s.IndicatedAirspeed = 250.9;
  WriteStatusLines(w(), s, ",");
  EXPECT_EQ(Lines(), "GND SPD: 245|IAS: 250|HDG: 306|ALT: -0|VS: -4|ALT AGL: 3500");
  w().Label4.color = kRed;
  ShowMessage(t.app(), "Event: Gear down");
  t.transport.neverDeliver = true;
  t.Tick(1);
  ASSERT_FALSE(t.g().Connected);
  EXPECT_EQ(Lines(), "|||||");
  EXPECT_EQ(w().Label4.color, kRed);
  EXPECT_EQ(w().lblEvent.text, "Event: Gear down");
  t.Tick(4);
  EXPECT_EQ(w().lblEvent.text, "");
  EXPECT_FALSE(w().tmrMSG.enabled);
}

// One window, opened blank until the next sample fills it; the always-on-top choice outlives it.
TEST_F(InstrumentsTest, OneWindowAndItsAlwaysOnTopToggle) {
  EXPECT_EQ(Lines() + w().lblEvent.text, "|||||");
  t.Tick();
  EXPECT_EQ(Lines(), "GND SPD: 0|IAS: 0|HDG: 0|ALT: 10000|VS: 0|ALT AGL: 10000");
  w().Label1.text = "changed";
  EXPECT_EQ(Click(t.app(), "Form1", "btn_indicator"), ClickResult::Done);
  EXPECT_EQ(w().Label1.text, "changed");
  EXPECT_EQ(Click(t.app(), "frmACStatus", "Command1"), ClickResult::Done);
  EXPECT_EQ(t.app().Form1.Label7.text, "Aircraft status window set always on top.");
  CloseWindow(t.app(), "frmACStatus");
  EXPECT_FALSE(t.g().StatusWindowOpen);
  EXPECT_EQ(Click(t.app(), "frmACStatus", "Command1"), ClickResult::NotLoaded);
  OpenStatusWindow(t.app());
  EXPECT_EQ(Lines() + w().lblEvent.text, "|||||");
  ToggleStatusOnTop(t.app());
  EXPECT_EQ(t.LastMessage(), "Aircraft status always on top disabled.");
  const std::vector<std::pair<WindowId, bool>> calls{{WindowId::frmACStatus, true},
                                                     {WindowId::frmACStatus, false}};
  EXPECT_EQ(t.windows.onTopCalls, calls);
}

}  // namespace
}  // namespace sky
