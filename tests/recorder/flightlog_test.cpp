// The flight log: the selection rule at its boundaries, the record format and what a failing file
// does.
#include "recorder/flightlog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "commands/app.h"
#include "commands/logging.h"
#include "core/timestamp.h"
#include "fault_sweep.h"
#include "shell/startup.h"
#include "track_feed.h"

namespace sky {
namespace {

// A steady flight at 5000 ft whose last record holds exactly the present values, or a change to
// it: sample texts, the last record's, the approach needles, and anything else.
struct Flight {
  const char *hdg = "90", *alt = "5000", *speed = "250", *vs = "0", *agl = "4636";
  const char *lastHdg = "90", *lastAlt = "5000", *lastSpeed = "250", *lastVs = "0";
  bool loc = false;    // the localizer is in its band
  int16_t needle = 0;  // the previous glideslope needle
  int16_t glide = 0;   // the glideslope state
  bool flag = false, prevFlag = false;
  int writtenAgo = 0;  // the last record's time stamp is this much less, as a number
  std::function<void(FlightSample&, PreviousSample&)> more;
};

// The recorder on its own: a data folder, a clock, the sample and what it is compared with.
class FlightLogTest : public ::testing::Test {
 protected:
  FlightLogTest() {
    std::filesystem::create_directories(root / "appdata/Skytrace flightlogger");
    Fly({});
  }

  void Fly(const Flight& f) {
    sample = FlightSample{};
    sample.Altitude = f.alt;
    sample.GroundSpeed = f.speed;
    sample.Heading = f.hdg;
    sample.VerticalSpeed = f.vs;
    sample.HeightAboveGround = f.agl;
    sample.LocalizerInBand = f.loc;
    sample.GlideslopeState = f.glide;
    sample.GlideslopeFlag = f.flag;
    prev = {.Altitude = "5000", .GlideslopeFlag = f.prevFlag, .GlideslopeNeedle = f.needle};
    recorder.LastLoggedHeading = f.lastHdg;
    recorder.LastLoggedGroundSpeed = f.lastSpeed;
    recorder.LastLoggedAltitude = f.lastAlt;
    recorder.LastLoggedVerticalSpeed = f.lastVs;
    recorder.LastWriteTime = std::to_string(std::stoll(Timestamp(clock)) - f.writtenAgo);
    recorder.PrevTimestamp = Timestamp(clock);
    if (f.more) f.more(sample, prev);
  }
  RecordResult Record(const std::string& code) {
    return RecordSample(
        {sample, prev, params, ".", true, false, false, traffic, 20, 0, files, folders, clock},
        recorder, code, false);
  }
  std::string Log() { return test::ReadFile(root / "appdata/Skytrace flightlogger/Flightlog.txt"); }

  test::TempDir root;
  FixedFolders folders{root / "appdata", root / "documents", root / "program"};
  test::FaultyFileSystem files;
  SimulatedClock clock{{2026, 12, 4, 22, 30, 15}};
  FlightSample sample;
  PreviousSample prev;
  LoggingParameters params;
  TrafficTable traffic;
  RecorderState recorder;
};

// A change of a switch, or a take-off, is a reason to write too: the event flights show it.
TEST_F(FlightLogTest, SelectionBoundaries) {
  struct Case {
    const char* name;
    bool writes;
    Flight flight;
  } cases[] = {
      {"nothing changed", false, {}},
      {"heading 2 degrees more", true, {.hdg = "92"}},
      {"heading 2 degrees less", true, {.hdg = "88"}},
      {"heading 1.99 degrees more", false, {.hdg = "91.99"}},
      {"359 to 1 is not wrapped", true, {.hdg = "1", .lastHdg = "359"}},
      {"10000 ft, 3 degrees", true, {.hdg = "93", .alt = "10000", .lastAlt = "10000"}},
      {"10001 ft, 3 degrees", false, {.hdg = "93", .alt = "10001", .lastAlt = "10001"}},
      {"10001 ft, 4 degrees", true, {.hdg = "94", .alt = "10001", .lastAlt = "10001"}},
      {"standstill to taxi", true, {.speed = "1", .lastSpeed = "0"}},
      {"still standing (0.9 kt)", false, {.speed = "0.9", .lastSpeed = "0"}},
      {"taxi to standstill", true, {.speed = "0.5", .lastSpeed = "5"}},
      {"climbing: vertical speed change of 80", true, {.vs = "70", .lastVs = "150"}},
      {"climbing: vertical speed change of 79", false, {.vs = "71", .lastVs = "150"}},
      {"descending: vertical speed change of 80", true, {.vs = "-230", .lastVs = "-150"}},
      {"level: altitude change of 100", true, {.alt = "5100", .lastVs = "149"}},
      {"level: altitude change of 99", false, {.alt = "5099", .lastVs = "149"}},
      {"10001 ft: altitude change of 199", false, {.alt = "10200", .lastAlt = "10001"}},
      {"10001 ft: altitude change of 200", true, {.alt = "10201", .lastAlt = "10001"}},
      {"12000 ft: vs change of 149", false, {.alt = "12000", .vs = "851", .lastVs = "1000"}},
      {"12000 ft: vs change of 150", true, {.alt = "12000", .vs = "850", .lastVs = "1000"}},
      {"localizer in the approach window", true, {.agl = "1000", .loc = true, .needle = -50}},
      {"localizer, glideslope needle 0", false, {.agl = "1000", .loc = true}},
      {"localizer at the window's lower bound", false, {.agl = "150", .loc = true, .needle = -50}},
      {"localizer, 500 fpm", false, {.vs = "500", .agl = "1000", .loc = true, .needle = -50}},
      {"glideslope, flag on", true, {.agl = "1000", .glide = 1, .flag = true, .prevFlag = true}},
      {"glideslope, flag comes", false, {.agl = "1000", .glide = 1, .flag = true}},
      {"marker going off", true, {.more = [](auto&, auto& p) { p.OuterMarker = 1; }}},
      {"no previous altitude", true, {.more = [](auto&, auto& p) { p.Altitude.clear(); }}},
      {"500 after the last record", false, {.writtenAgo = 500}},
      {"501 after the last record", true, {.writtenAgo = 501}},
  };
  for (const Case& c : cases) {
    Fly(c.flight);
    const size_t before = Log().size();
    const RecordResult result = Record("");
    EXPECT_EQ(Log().size() > before, c.writes) << c.name;
    EXPECT_EQ(result.writtenLabel.value_or(false), c.writes) << c.name;
    EXPECT_TRUE(result.recorded) << c.name;
  }
}

TEST_F(FlightLogTest, RecordFieldsAndLineEnd) {
  FlightSample& s = sample;
  s.Latitude = "50.1";
  s.Longitude = "-8.1234567890123";
  s.Altitude = "-0";
  s.OnGround = prev.OnGround = 1;
  s.IndicatedAirspeed = 250.7;
  s.HeightAboveGround = "1000.9";
  s.TrueAirspeed = 260.2;
  s.VerticalSpeed = "-0.5";  // integer parts are floors
  s.GroundSpeed = "255.99";
  s.Heading = "359.9";
  recorder.PrevTimestamp = "20261204223014";
  const std::string stamp = Timestamp(clock);
  const size_t before = Log().size();
  Record("GD");
  EXPECT_EQ(
      Log().substr(before),
      stamp + ":-8.1234567890123:50.1:-0:1:GD:250:1000:260:-1:255:359:" + "20261204223014\r\n");

  // Without a previous tick the record starts a log: "SA" and no previous time stamp.
  ClearPreviousValues(prev, recorder);
  const size_t second = Log().size();
  Record("");
  EXPECT_EQ(Log().substr(second),
            stamp + ":-8.1234567890123:50.1:-0:1:SA:250:1000:260:-1:255:359:-\r\n");
}

TEST(FlightLogFailure, ClosesTheProgram) {
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
    test::FlyTrack(app, test::TrackOf("t\n0\n1\n"));  // logging
    app.g().RealtimeOn = c.realtime;
    app.app().sample.Heading = "123";  // worth a record
    const std::string location = app.DataFile("RealtimeLocation.kml");
    const std::string path = app.DataFile("RealTimePath.kml");
    if (c.locationDocument) test::WriteFile(location, "x");
    test::WriteFile(path, "x");
    if (c.op) app.files.FailOn(c.op, c.file);
    if (!c.op) app.app().sample.HeightAboveGround = "high";
    RecordSampleOrClose(app.app(), "", false);
    EXPECT_TRUE(app.app().ended) << c.name;
    EXPECT_TRUE(app.app().Form1.closed) << c.name;
    EXPECT_EQ(app.LastMessage(), "Unable to track the flight.") << c.name;
    EXPECT_EQ(test::FileExists(location), c.locationDocument && !c.documentsDeleted) << c.name;
    EXPECT_EQ(test::FileExists(path), !c.documentsDeleted) << c.name;
  }
}

// A disk that fills up at any byte of a record: the failed record leaves nothing behind (the
// cut reaches back to the record's CR should only its LF be missing), the others stay whole.
TEST(FlightLogFullDisk, ARecordIsWrittenWholeOrNotAtAll) {
  test::TestApp t;
  test::FlyTrack(t, test::TrackOf("t,hdg\n0,10\n2,20\n"));
  ASSERT_TRUE(t.g().LoggingOn);
  bool someFailed = false;
  bool someWritten = false;
  for (int room = 0; room <= 80; ++room) {
    const std::string before = test::ReadFile(t.DataFile("Flightlog.txt"));
    t.app().sample.Heading = std::to_string(100 + 10 * room);  // worth a record
    t.files.SetFreeBytes(room);
    const bool written = t.Record("", false).recorded;
    t.files.SetFreeBytes(-1);
    const std::string after = test::ReadFile(t.DataFile("Flightlog.txt"));
    if (!written) {
      EXPECT_EQ(after, before) << room << " bytes free";
    } else {
      ASSERT_EQ(after.substr(0, before.size()), before) << room;
      EXPECT_TRUE(after.ends_with("\r\n")) << room;
    }
    someFailed = someFailed || !written;
    someWritten = someWritten || written;
  }
  EXPECT_TRUE(someFailed && someWritten);
  for (const std::string& record : test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")))) {
    EXPECT_EQ(std::count(record.begin(), record.end(), ':'), 12) << record;
  }
}

// Any fault while recording (an operation refused, a full disk, a kill): the log holds whole
// records, the earlier ones and this one or not; the next run's logging starts on a line of its
// own.
TEST(FlightLogFaults, AnyFaultLeavesWholeRecords) {
  test::SweepFaults([](test::FaultShot& shot) {
    test::TestApp t;
    test::FlyTrack(t, test::TrackOf("t,hdg\n0,10\n2,20\n"));
    t.app().sample.Heading = "123";  // worth a record
    const std::string before = test::ReadFile(t.DataFile("Flightlog.txt"));
    t.files.Arm(shot);
    const bool written = t.Record("", false).recorded;
    const std::string after = test::ReadFile(t.DataFile("Flightlog.txt"));
    if (shot.kind == test::FaultShot::Kill) {
      t.Restart();
      ASSERT_TRUE(t.Load());
      StartLogging(t.app());
    } else if (!written) {
      EXPECT_EQ(after, before);
    } else {
      EXPECT_EQ(test::Lines(after).size(), test::Lines(before).size() + 1);
    }
    const std::string log = test::ReadFile(t.DataFile("Flightlog.txt"));
    EXPECT_EQ(log.substr(0, before.size()), before);
    for (const std::string& record : test::Lines(log)) {
      EXPECT_EQ(std::count(record.begin(), record.end(), ':'), 12) << record;
    }
  });
}

std::string Repeated(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

// A logging run starts on a line of its own in each of the three logs: a record that a kill or a
// full disk left without its line end is cut away. Logs that end with any line end, a lone CR
// included, stay as they are.
TEST(FlightLogRuns, ANewRunStartsOnALineOfItsOwn) {
  const std::string whole = "20261204222000:8.5:50:1000:0::100:900:110:0:100:90:-\r\n";
  struct Case {
    const char* name;
    std::string log, kept;
  } cases[] = {
      {"a record cut short", whole + "20261204222001:8.5:50:10", whole},
      {"a record without its LF",
       whole + "20261204222001:8.5:50:1000:0::100:900:110:0:100:90:"
               "20261204222000\r",
       whole + "20261204222001:8.5:50:1000:0::100:900:110:0:100:90:20261204222000\r"},
      {"nothing but a cut record", "20261204222001:8.5", ""},
      {"a long log, then a cut record", Repeated(whole, 2000) + "20261204222001:8.5",
       Repeated(whole, 2000)},
      {"a cut line longer than a read", std::string(150000, '9'), ""},
      {"a whole log", whole, whole},
      {"a log with LF ends", "a:b\nc:d\n", "a:b\nc:d\n"},
      {"a log with CR ends", "a:b\rc:d\r", "a:b\rc:d\r"},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    test::FlyTrack(t, test::TrackOf("t\n0\n1\n"), false);
    for (const char* log : {"Flightlog.txt", "Animation.txt", "Traffic.txt"}) {
      test::WriteFile(t.DataFile(log), c.log);
    }
    StartLogging(t.app());
    EXPECT_EQ(test::ReadFile(t.DataFile("Animation.txt")), c.kept) << c.name;
    EXPECT_EQ(test::ReadFile(t.DataFile("Traffic.txt")), c.kept) << c.name;
    const std::string log = test::ReadFile(t.DataFile("Flightlog.txt"));
    ASSERT_EQ(log.substr(0, c.kept.size()), c.kept) << c.name;
    const std::string run = log.substr(c.kept.size());
    EXPECT_EQ(test::Lines(run).size(), 1u) << c.name << ": " << run;
    EXPECT_EQ(test::Field(run, 6), "SA") << c.name;
    EXPECT_EQ(std::count(run.begin(), run.end(), ':'), 12) << c.name << ": " << run;
  }
}

}  // namespace
}  // namespace sky
