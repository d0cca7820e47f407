// Animation and traffic recording: the two logs of a replayed flight with traffic, byte for byte,
// the parked aircraft, the threat levels and relative altitudes, and failing files.
#include "recorder/animation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "commands/app.h"
#include "commands/logging.h"
#include "fault_sweep.h"
#include "kml_checks.h"
#include "shell/dispatch.h"
#include "skytrace-sim/traffic_source.h"
#include "track_feed.h"

namespace sky {
namespace {

// A short taxi, take-off and climb out of Amsterdam, with two aircraft around it.
constexpr char kTrack[] =
    "t,lat,lon,alt_ft,ground_ft,gs_kt,ias_kt,tas_kt,hdg,vs_fpm,on_ground,gear,flaps\n"
    "0,52.3,4.76,-11,-11,0,0,0,271.5,0,1,1,0\n"
    "4,52.3,4.7597,-11,-11,12,12,12,271.5,0,1,1,0\n"
    "8,52.3002,4.755,-11,-11,140,140,140,271.5,0,1,1,25\n"
    "10,52.3004,4.75,150,-11,150,150,150,272,1500,0,1,25\n"
    "12,52.3006,4.745,400,-11,160,160,160,273,1600,0,0,25\n";
constexpr char kTraffic[] =
    "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n"
    "0,0,4101,52.31,4.74,1239,90,180,-500,KLM 1234\n"
    "0,3,4102,52.2,4.9,9000,271.5,250,0,\"B&<\xC3\xA9\"\n"
    "6,0,0,,,,,,,\n";

// Flies the track with the TCAS window open in mode ALL; animation mode goes on after the first
// tick, and the TCAS mode off after `tcasOffAt` seconds.
void FlyWithTraffic(test::TestApp& t, int tcasOffAt = 100) {
  const sim::Track track = test::TrackOf(kTrack);
  std::string error;
  auto traffic = sim::TrafficFile::Parse(kTraffic, error);
  ASSERT_TRUE(traffic) << error;
  sim::WriteFlightState(t.simulator, track.At(0));
  sim::UpdateTraffic(*traffic, t.simulator, 0);
  ASSERT_TRUE(t.Load());
  ASSERT_EQ(Click(t.app(), "Form1", "btn_TCAS"), ClickResult::Done);
  for (int i = 0; i < 4; ++i) Click(t.app(), "frmTCAS", "btn_ToggleTCAS");
  for (int second = 1; second <= 12; ++second) {
    sim::WriteFlightState(t.simulator, track.At(second));
    sim::UpdateTraffic(*traffic, t.simulator, second);
    if (second == tcasOffAt) Click(t.app(), "frmTCAS", "btn_ToggleTCAS");
    t.Tick();
    if (second == 1) ToggleAnimation(t.app());
  }
}

TEST(Animation, ReplayedFlightGivesTheGoldenLogs) {
  test::TestApp t;
  FlyWithTraffic(t);
  test::ExpectGolden("recorder", "animation.txt", test::ReadFile(t.DataFile("Animation.txt")));
  test::ExpectGolden("recorder", "traffic.txt", test::ReadFile(t.DataFile("Traffic.txt")));
  for (const std::string& message : t.Messages()) EXPECT_NE(message, "Error in animating flight.");
}

TEST(Animation, TrafficOnlyWhileTheTcasDisplayReadsIt) {
  test::TestApp t;
  FlyWithTraffic(t, 7);  // one more press after ALL is OFF
  const auto traffic = test::Lines(test::ReadFile(t.DataFile("Traffic.txt")));
  const auto records = test::Lines(test::ReadFile(t.DataFile("Animation.txt")));
  ASSERT_FALSE(traffic.empty());
  EXPECT_EQ(test::Field(traffic.back(), 1), "20261204223021");
  EXPECT_EQ(test::Field(records.back(), 1), "20261204223027");
}

// The recorder on its own with an aircraft parked at 1000 ft, the TCAS display in mode ALL and
// one aircraft 0.6 NM away, ready for one call.
struct Parked {
  explicit Parked(const char* trafficAlt = "2000") {
    std::filesystem::create_directories(root / "appdata/Skytrace flightlogger");
    traffic[2] = {"7", "52.31", "4.76", trafficAlt, "271.5", "120", "KLM1", "-500"};
  }
  std::string File(const std::string& name) const {
    return root / ("appdata/Skytrace flightlogger/" + name);
  }
  // Records the animation of the sample; the sentences it would post go to `said`.
  bool Record(const std::string& code, std::vector<std::string>* said = nullptr) {
    std::vector<std::string> sentences;
    const bool recorded = RecordAnimation({sample, prev, params, ".", true, false, true, traffic,
                                           20, tcasMode, files, folders, clock},
                                          "20261204223014", code, sentences);
    if (said) *said = sentences;
    return recorded;
  }

  test::TempDir root;
  FixedFolders folders{root / "appdata", root / "documents", root / "program"};
  test::FaultyFileSystem files;
  SimulatedClock clock{{2026, 12, 4, 22, 30, 15}};
  FlightSample sample{.Latitude = "52.3",
                      .Longitude = "4.76",
                      .Altitude = "1000",
                      .GroundSpeed = "0",
                      .Heading = "90.7",
                      .OnGround = 1,
                      .VerticalSpeed = "0",
                      .HeightAboveGround = "0"};
  PreviousSample prev;
  LoggingParameters params;
  TrafficTable traffic;
  int tcasMode = 4;
};

TEST(RecordAnimation, OneCallWritesTheRecordAndTheTraffic) {
  const std::string stamp = "20261204223015";
  struct Case {
    const char* name;
    std::string code;
    const char* groundSpeed;
    const char* before;  // Animation.txt before the call; nullptr: no file
    const char* trafficAlt;
    bool recorded;      // the animation record is appended
    std::string last;   // the previous-stamp field of both logs
    std::string level;  // threat level and relative altitude of the traffic line
  } cases[] = {
      {"parked, first record", "", "0", nullptr, "2250", true, "20261204223014", "2:+12"},
      {"parked, recorded before", "", "0", "x\r\n", "951", false, "20261204223014", "4:-1"},
      {"parked, an empty first line", "", "0", "\r\nx\r\n", "1000", true, "20261204223014", "4:+0"},
      {"taxiing at 0.4 kt", "", "0.4", "x\r\n", "3000", true, "20261204223014", "2:+20"},
      {"an event code", "GD", "0", "x\r\n", "2000", true, "", "3:+10"},
  };
  for (const Case& c : cases) {
    Parked t(c.trafficAlt);
    t.sample.GroundSpeed = c.groundSpeed;
    if (c.before) test::WriteFile(t.File("Animation.txt"), c.before);
    EXPECT_TRUE(t.Record(c.code)) << c.name;
    const std::string record = stamp + ":4.76:52.3:1000:1:" + c.code + ":0:0:0:0:0:90:" + c.last;
    EXPECT_EQ(test::ReadFile(t.File("Animation.txt")),
              (c.before ? c.before : "") + (c.recorded ? record + "\r\n" : ""))
        << c.name;
    EXPECT_EQ(test::ReadFile(t.File("Traffic.txt")), stamp + ":7:52.31:4.76:" + c.trafficAlt +
                                                         ":271.5:120:KLM1:-500:" + c.level + ":" +
                                                         c.last + "\r\n")
        << c.name;
  }
}

TEST(RecordAnimation, WithoutTrafficOrWithTrafficThatIsNoNumber) {
  using Arrange = std::function<void(Parked&)>;
  struct Case {
    const char* name;
    Arrange arrange;
    bool trafficFile;  // Traffic.txt exists afterwards
  } cases[] = {
      {"TCAS display off", [](Parked& t) { t.tcasMode = 0; }, false},
      {"no traffic", [](Parked& t) { t.traffic[2] = {}; }, true},
      {"a traffic altitude that is no number", [](Parked& t) { t.traffic[2].Alt = "high"; }, true},
  };
  for (const Case& c : cases) {
    Parked t;
    c.arrange(t);
    std::vector<std::string> said;
    const bool failed = !t.Record("", &said);
    EXPECT_EQ(failed, !said.empty() && said.back() == "Error in animating flight.") << c.name;
    EXPECT_EQ(test::FileExists(t.File("Traffic.txt")), c.trafficFile) << c.name;
    if (c.trafficFile) {
      EXPECT_EQ(test::ReadFile(t.File("Traffic.txt")), "") << c.name;
    }
    // The next call tries again.
    t.traffic[2].Alt = "2000";
    EXPECT_TRUE(t.Record("SA")) << c.name;
    EXPECT_EQ(test::Lines(test::ReadFile(t.File("Animation.txt"))).size(), 2u) << c.name;
  }
}

// Any fault while recording (an operation refused, a full disk): both logs hold whole lines (a
// record that did not fit is cut away again), a failure is said, and the next call records again.
// A kill's cut record goes when the next run starts logging.
TEST(RecordAnimation, AnyFaultLeavesWholeLinesAndTheNextCallRecords) {
  test::SweepFaults(
      [](test::FaultShot& shot) {
        Parked t;
        test::WriteFile(t.File("Animation.txt"), "x\r\n");
        t.files.Arm(shot);
        std::vector<std::string> said;
        const bool recorded = t.Record("GD", &said);
        EXPECT_EQ(!recorded, said == std::vector<std::string>{"Error in animating flight."});
        t.files.ClearFaults();
        EXPECT_TRUE(t.Record("SA"));
        const auto records = test::Lines(test::ReadFile(t.File("Animation.txt")));
        EXPECT_TRUE(records.size() == 3 || (!recorded && records.size() == 2));
        for (size_t i = 1; i < records.size(); ++i) {
          EXPECT_EQ(std::count(records[i].begin(), records[i].end(), ':'), 12) << records[i];
        }
        for (const std::string& line : test::Lines(test::ReadFile(t.File("Traffic.txt")))) {
          EXPECT_EQ(std::count(line.begin(), line.end(), ':'), 11) << line;
        }
      },
      {test::FaultShot::Refuse, test::FaultShot::DiskFull});
}

TEST(RecordAnimation, ResetEmptiesBothLogs) {
  test::TestApp t;
  FlyWithTraffic(t);
  t.dialogs.Queue({ScriptedDialogs::Answer::Yes, ""});
  ASSERT_EQ(Click(t.app(), "Form1", "btn_resetlog"), ClickResult::Done);
  // Logging goes on: the new log's start record is the animation's first, with its traffic.
  const auto records = test::Lines(test::ReadFile(t.DataFile("Animation.txt")));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(test::Field(records[0], 6), "SA=2230");
  for (const std::string& line : test::Lines(test::ReadFile(t.DataFile("Traffic.txt")))) {
    EXPECT_EQ(test::Field(line, 1), test::Field(records[0], 1));
  }
}

}  // namespace
}  // namespace sky
