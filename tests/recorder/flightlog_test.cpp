// The flight log: the selection rule at its boundaries, the record format, "Realtime.txt" and
// what a failing file does.
#include "recorder/flightlog.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/app.h"
#include "recorder/logging.h"
#include "recorder/startup.h"
#include "track_feed.h"

namespace sky {
namespace {

class FlightLogTest : public ::testing::Test {
 protected:
  FlightLogTest() {
    EXPECT_TRUE(t.Load());
    Steady();
  }

  // A steady flight at 5000 ft whose last record holds exactly the present values.
  void Steady() {
    App& a = t.app();
    a.sample = {.Latitude = "50.1",
                .Longitude = "8.6",
                .Altitude = "5000",
                .GroundSpeed = "250",
                .Heading = "90",
                .VerticalSpeed = "0",
                .HeightAboveGround = "4636",
                .TouchdownVerticalSpeed = "0",
                .Gear = "0",
                .IndicatedAirspeed = 230,
                .TrueAirspeed = 250};
    a.prev = {.Heading = "90",
              .GroundSpeed = "250",
              .Latitude = "50.1",
              .Longitude = "8.6",
              .Altitude = "5000",
              .VerticalSpeed = "0",
              .Gear = "0"};
    a.g.LastLoggedHeading = "90";
    a.g.LastLoggedGroundSpeed = "250";
    a.g.LastLoggedAltitude = "5000";
    a.g.LastLoggedVerticalSpeed = "0";
    a.g.LastWriteTime = a.g.PrevTimestamp = Timestamp(a);
    a.g.LoggingOn = true;
    a.params = LoggingParameters{};
  }

  std::string Log() { return test::ReadFile(t.DataFile("Flightlog.txt")); }

  // Whether an unforced record of the present sample is appended.
  bool Writes() {
    const size_t before = Log().size();
    RecordSample(t.app(), "", false);
    return Log().size() > before;
  }

  test::TestApp t;
};

TEST_F(FlightLogTest, SelectionBoundaries) {
  // Each arrangement changes the steady flight in one expression.
  using Arrange = std::function<void(FlightSample&, PreviousSample&, Globals&)>;
  struct Case {
    const char* name;
    Arrange arrange;
    bool writes;
  } cases[] = {
      {"nothing changed", [](auto&, auto&, auto&) {}, false},
      {"heading 2 degrees more", [](auto& s, auto&, auto&) { s.Heading = "92"; }, true},
      {"heading 2 degrees less", [](auto& s, auto&, auto&) { s.Heading = "88"; }, true},
      {"heading 1.99 degrees more", [](auto& s, auto&, auto&) { s.Heading = "91.99"; }, false},
      {"359 to 1 is not wrapped",
       [](auto& s, auto&, auto& g) { g.LastLoggedHeading = "359", s.Heading = "1"; }, true},
      {"at 10000 ft the normal heading threshold",
       [](auto& s, auto& p, auto& g) {
         s.Altitude = p.Altitude = g.LastLoggedAltitude = "10000", s.Heading = "93";
       },
       true},
      {"above 10000 ft the wider heading threshold",
       [](auto& s, auto& p, auto& g) {
         s.Altitude = p.Altitude = g.LastLoggedAltitude = "10001", s.Heading = "93";
       },
       false},
      {"above 10000 ft, 4 degrees",
       [](auto& s, auto& p, auto& g) {
         s.Altitude = p.Altitude = g.LastLoggedAltitude = "10001", s.Heading = "94";
       },
       true},
      {"standstill to taxi",
       [](auto& s, auto&, auto& g) { g.LastLoggedGroundSpeed = "0", s.GroundSpeed = "1"; }, true},
      {"still standing (0.9 kt)",
       [](auto& s, auto&, auto& g) { g.LastLoggedGroundSpeed = "0", s.GroundSpeed = "0.9"; },
       false},
      {"taxi to standstill",
       [](auto& s, auto&, auto& g) { g.LastLoggedGroundSpeed = "5", s.GroundSpeed = "0.5"; }, true},
      {"climbing: vertical speed change of 80",
       [](auto& s, auto&, auto& g) { g.LastLoggedVerticalSpeed = "150", s.VerticalSpeed = "70"; },
       true},
      {"climbing: vertical speed change of 79",
       [](auto& s, auto&, auto& g) { g.LastLoggedVerticalSpeed = "150", s.VerticalSpeed = "71"; },
       false},
      {"descending: vertical speed change of 80",
       [](auto& s, auto&, auto& g) {
         g.LastLoggedVerticalSpeed = "-150", s.VerticalSpeed = "-230";
       },
       true},
      {"level: altitude change of 100",
       [](auto& s, auto&, auto& g) { g.LastLoggedVerticalSpeed = "149", s.Altitude = "5100"; },
       true},
      {"level: altitude change of 99",
       [](auto& s, auto&, auto& g) { g.LastLoggedVerticalSpeed = "149", s.Altitude = "5099"; },
       false},
      {"above 10000 ft: altitude change of 199",
       [](auto& s, auto&, auto& g) { g.LastLoggedAltitude = "10001", s.Altitude = "10200"; },
       false},
      {"above 10000 ft: altitude change of 200",
       [](auto& s, auto&, auto& g) { g.LastLoggedAltitude = "10001", s.Altitude = "10201"; }, true},
      {"above 10000 ft: vertical speed change of 149",
       [](auto& s, auto&, auto& g) {
         s.Altitude = g.LastLoggedAltitude = "12000", g.LastLoggedVerticalSpeed = "1000",
         s.VerticalSpeed = "851";
       },
       false},
      {"above 10000 ft: vertical speed change of 150",
       [](auto& s, auto&, auto& g) {
         s.Altitude = g.LastLoggedAltitude = "12000", g.LastLoggedVerticalSpeed = "1000",
         s.VerticalSpeed = "850";
       },
       true},
      {"localizer change in the approach window",
       [](auto& s, auto& p, auto&) {
         s.HeightAboveGround = "1000", s.LocalizerInBand = true, p.GlideslopeNeedle = -50;
       },
       true},
      {"localizer change, previous glideslope needle 0",
       [](auto& s, auto&, auto&) { s.HeightAboveGround = "1000", s.LocalizerInBand = true; },
       false},
      {"localizer change at the window's lower bound",
       [](auto& s, auto& p, auto&) {
         s.HeightAboveGround = "150", s.LocalizerInBand = true, p.GlideslopeNeedle = -50;
       },
       false},
      {"localizer change climbing at the window's vertical speed",
       [](auto& s, auto& p, auto&) {
         s.HeightAboveGround = "1000", s.VerticalSpeed = "500", s.LocalizerInBand = true,
         p.GlideslopeNeedle = -50;
       },
       false},
      {"glideslope change, flag steady",
       [](auto& s, auto& p, auto&) {
         s.HeightAboveGround = "1000", s.GlideslopeState = 1,
         s.GlideslopeFlag = p.GlideslopeFlag = true;
       },
       true},
      {"glideslope change as the flag comes",
       [](auto& s, auto&, auto&) {
         s.HeightAboveGround = "1000", s.GlideslopeState = 1, s.GlideslopeFlag = true;
       },
       false},
      {"marker going off", [](auto&, auto& p, auto&) { p.OuterMarker = 1; }, true},
      {"flaps", [](auto& s, auto&, auto&) { s.FlapsPercent = 10; }, true},
      {"gear", [](auto& s, auto&, auto&) { s.Gear = "1"; }, true},
      {"spoilers", [](auto& s, auto&, auto&) { s.Spoilers = 1; }, true},
      {"tail hook", [](auto& s, auto&, auto&) { s.TailHook = 1; }, true},
      {"overspeed", [](auto& s, auto&, auto&) { s.Overspeed = 1; }, true},
      {"stall", [](auto& s, auto&, auto&) { s.Stall = 1; }, true},
      {"no previous altitude", [](auto&, auto& p, auto&) { p.Altitude.clear(); }, true},
      {"take-off", [](auto&, auto& p, auto&) { p.OnGround = 1; }, true},
      {"500 after the last record",
       [](auto&, auto&, auto& g) {
         g.LastWriteTime = std::to_string(std::stoll(g.LastWriteTime) - 500);
       },
       false},
      {"501 after the last record",
       [](auto&, auto&, auto& g) {
         g.LastWriteTime = std::to_string(std::stoll(g.LastWriteTime) - 501);
       },
       true},
  };
  for (const Case& c : cases) {
    Steady();
    c.arrange(t.app().sample, t.app().prev, t.g());
    EXPECT_EQ(Writes(), c.writes) << c.name;
    EXPECT_FALSE(t.app().ended) << c.name;
  }
}

TEST_F(FlightLogTest, RecordFieldsAndLineEnd) {
  FlightSample& s = t.app().sample;
  s.Longitude = "-8.1234567890123";
  s.Altitude = "-0";
  s.OnGround = t.app().prev.OnGround = 1;
  s.IndicatedAirspeed = 250.7;
  s.HeightAboveGround = "1000.9";
  s.TrueAirspeed = 260.2;
  s.VerticalSpeed = "-0.5";  // integer parts are floors
  s.GroundSpeed = "255.99";
  s.Heading = "359.9";
  t.g().PrevTimestamp = "20261204223014";
  const std::string stamp = Timestamp(t.app());
  const size_t before = Log().size();
  RecordSample(t.app(), "GD", false);
  EXPECT_EQ(
      Log().substr(before),
      stamp + ":-8.1234567890123:50.1:-0:1:GD:250:1000:260:-1:255:359:" + "20261204223014\r\n");

  // Without a previous tick the record starts a log: "SA" and no previous time stamp.
  ClearPreviousValues(t.app());
  const size_t second = Log().size();
  RecordSample(t.app(), "", false);
  const std::string line = Log().substr(second);
  EXPECT_EQ(test::Field(line, 6), "SA");
  EXPECT_EQ(line.substr(line.size() - 4), ":-\r\n");
}

TEST_F(FlightLogTest, LabelOnAWrittenTickAndNothingAppendedWithLoggingOff) {
  t.app().sample.Heading = "120";
  RecordSample(t.app(), "", false);
  EXPECT_EQ(t.app().Form1.Label5.text, "Logging");
  EXPECT_EQ(t.app().Form1.Label5.color, kGreen);
  RecordSample(t.app(), "", false);  // the last record now holds 120
  EXPECT_EQ(t.app().Form1.Label5.color, kBlack);

  // Logging off: the decision still runs, but no record is appended or remembered.
  t.g().LoggingOn = false;
  const std::string log = Log();
  t.app().sample.Heading = "90";
  RecordSample(t.app(), "", false);
  EXPECT_TRUE(t.g().LastTickLogged);
  EXPECT_EQ(t.g().LastLoggedHeading, "120");
  t.app().sample.Heading = "120";
  RecordSample(t.app(), "", false);
  EXPECT_FALSE(t.g().LastTickLogged);
  EXPECT_EQ(Log(), log);
}

TEST_F(FlightLogTest, RealtimeLogIsTheFlightLogPlusThePresentPosition) {
  const sim::Track track = test::TrackOf(
      "t,alt_ft,gs_kt,hdg\n0,3000,200,10\n2,3000,200,20\n"
      "5,3000,200,40\n6,3000,200,40\n");
  test::TestApp flying;
  test::FlyTrack(flying, test::TrackOf("t,alt_ft,gs_kt,hdg\n0,3000,200,10\n2,3000,200,20\n"));
  flying.g().RealtimeOn = true;
  for (int second = 3; second <= 6; ++second) {
    sim::WriteFlightState(flying.simulator, track.At(second));
    flying.Tick();
    const std::string log = test::ReadFile(flying.DataFile("Flightlog.txt"));
    const std::string realtime = test::ReadFile(flying.DataFile("Realtime.txt"));
    ASSERT_EQ(realtime.substr(0, log.size()), log) << second;
    const auto lines = test::Lines(realtime.substr(log.size()));
    ASSERT_EQ(lines.size(), 1u) << second;
    EXPECT_EQ(test::Field(lines[0], 12), second < 5 ? "20" : "40") << second;
  }
}

TEST_F(FlightLogTest, AFailureClosesTheProgram) {
  struct Case {
    const char* name;
    const char* op;  // the failing file operation, or none: a text that is no number
    const char* file;
    bool realtime;
    bool locationDocument;  // "RealtimeLocation.kml" is there to be deleted
    bool documentsDeleted;
  } cases[] = {
      {"flight log not writable", "append", "Flightlog.txt", false, true, false},
      {"flight log, realtime on", "append", "Flightlog.txt", true, true, true},
      {"realtime log not deletable", "remove", "Realtime.txt", true, true, true},
      {"realtime log not copied", "copy", "Flightlog.txt", true, true, true},
      {"no location document to delete", "append", "Flightlog.txt", true, false, false},
      {"height that is no number", nullptr, "", false, true, false},
  };
  for (const Case& c : cases) {
    test::TestApp app;
    ASSERT_TRUE(app.Load());
    app.Tick();
    StartLogging(app.app());
    app.g().RealtimeOn = c.realtime;
    app.app().sample.Heading = "123";  // worth a record
    const std::string location = app.DataFile("RealtimeLocation.kml");
    const std::string path = app.DataFile("RealTimePath.kml");
    if (c.locationDocument) test::WriteFile(location, "x");
    test::WriteFile(path, "x");
    if (c.op) app.files.FailOn(c.op, c.file);
    if (!c.op) app.app().sample.HeightAboveGround = "high";
    RecordSample(app.app(), "", false);
    EXPECT_TRUE(app.app().ended) << c.name;
    EXPECT_TRUE(app.app().Form1.closed) << c.name;
    EXPECT_EQ(app.LastMessage(), "Unable to track the flight.") << c.name;
    EXPECT_EQ(test::FileExists(location), c.locationDocument && !c.documentsDeleted) << c.name;
    EXPECT_EQ(test::FileExists(path), !c.documentsDeleted) << c.name;
  }
}

// A steady cruise below 10000 ft, small changes below every threshold: a record as soon as the
// time stamps, taken as numbers, lie more than 500 apart (22:30:16, 22:35:17, ...).
TEST(FlightLogCruise, OneRecordAboutEveryFiveMinutes) {
  std::string csv = "t,alt_ft,gs_kt,hdg,vs_fpm\n";
  for (int second = 0; second <= 1200; ++second) {
    csv += std::to_string(second) + ",8000," + (second % 2 ? "250" : "251") + ",90.5," +
           (second % 3 ? "10" : "-10") + "\n";
  }
  test::TestApp t;
  test::FlyTrack(t, test::TrackOf(csv));
  const auto lines = test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")));
  ASSERT_EQ(lines.size(), 4u);
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(std::stoll(test::Field(lines[i], 1)) - std::stoll(test::Field(lines[i - 1], 1)), 501)
        << lines[i];
  }
}

}  // namespace
}  // namespace sky
