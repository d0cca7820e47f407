// Whole flows: the headless runner flying tracks against the simulator over the real transport,
// the flight log it leaves byte for byte, scripted actions and their transcript, a link lost in
// flight, and the two programs as a user starts them.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdio>
#include <sstream>

#include "core/app.h"
#include "demo_runner.h"
#include "platform/posix_platform.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/builtin_flight.h"
#include "skytrace-sim/posix_server.h"
#include "track_feed.h"

namespace sky {
namespace {

const std::string kData = std::string(SKYTRACE_SOURCE_DIR) + "/tests/e2e/data/";
const std::string kBin = std::string(SKYTRACE_BINARY_DIR) + "/bin/";

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }

  // Runs the demo with the given options on top of fixed folders and start time.
  int Run(DemoOptions options) {
    options.dataDir = dir / "data";
    options.docsDir = dir / "docs";
    options.programFolder = std::string(SKYTRACE_SOURCE_DIR) + "/data";
    if (options.start == DemoOptions{}.start) options.start = "2026-07-14 09:58:30";
    out.str("");
    err.str("");
    DemoRunner runner(options, out, err);
    return runner.Run();
  }
  std::string FlightLog() {
    return test::ReadFile(dir / "data/Skytrace flightlogger/Flightlog.txt");
  }
  std::string Actions(const std::string& text) {
    const std::string path = dir / "actions.txt";
    test::WriteFile(path, text);
    return path;
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(DemoTest, ShortHopFlightLogIsTheGoldenOne) {
  ASSERT_EQ(Run({.trackFile = kData + "short_hop.csv"}), 0) << err.str();
  EXPECT_EQ(FlightLog(), test::ReadFile(kData + "short_hop_flightlog.txt"));
  EXPECT_NE(out.str().find(" 240  click btn_stoplog\n"), std::string::npos) << out.str();
}

TEST_F(DemoTest, CommaDecimalSeparatorEndToEnd) {
  ASSERT_EQ(Run({.decimalSeparator = ",", .trackFile = kData + "short_hop.csv"}), 0) << err.str();
  // The same records; only the coordinates carry decimals, now with a comma.
  std::string expected;
  for (const std::string& line : test::Lines(test::ReadFile(kData + "short_hop_flightlog.txt"))) {
    std::string record = line;
    for (char& c : record) c = c == '.' ? ',' : c;
    expected += record + "\r\n";
  }
  EXPECT_EQ(FlightLog(), expected);
  const std::string settings = test::ReadFile(dir / "data/Skytrace flightlogger/Offsets.txt");
  EXPECT_NE(settings.find("HDGOffset=2\r\n"), std::string::npos);
}

TEST_F(DemoTest, BuiltinFlightLogsEveryPhase) {
  ASSERT_EQ(Run({}), 0) << err.str();
  std::vector<std::string> codes;
  for (const std::string& record : test::Lines(FlightLog())) {
    const std::string code = test::Field(record, 6);
    if (!code.empty()) codes.push_back(code);
  }
  const std::vector<std::string> expected = {
      "SA",    "FL=25", "TO=5", "GU", "FL=10",     "FL=0", "O",  "OE",   "FL=10",
      "FL=25", "LI",    "GD",   "OG", "FL=50",     "BG",   "OG", "AG",   "FL=100",
      "OM",    "OG",    "MM",   "IM", "TD=-180/3", "SD",   "SU", "FL=0", "SO"};
  EXPECT_EQ(codes, expected);
  EXPECT_NE(out.str().find("   1  click btn_startlog\n"), std::string::npos);
}

TEST_F(DemoTest, ActionsRunAfterTheirSecondsTickAndDialogsAreShownWithTheirAnswers) {
  const std::string actions = Actions(
      "# reset twice: first without an answer, then with one\n"
      "3 click btn_startlog\n"
      "6 click btn_resetlog\n"
      "8 answer yes\n"
      "8 click btn_resetlog\n"
      "11 click btn_stoplog\n");
  ASSERT_EQ(Run({.seconds = 12, .actionsFile = actions, .trackFile = kData + "short_hop.csv"}), 0)
      << err.str();
  const std::string transcript = out.str();
  for (const char* line :
       {"   3  click btn_startlog\n   3  message: Logging started.\n",
        "   6  dialog \"Reset log\": \"Warning, proceeding will delete your current flightlog "
        "until now!\\r\\nAre you sure you want to proceed?\" -> no (no answer queued)\n",
        "   8  dialog \"Reset log\": \"Warning, proceeding will delete your current flightlog "
        "until now!\\r\\nAre you sure you want to proceed?\" -> yes\n"
        "   8  message: Tracklog reset.\n",
        "  11  message: Logging stopped.\n"}) {
    EXPECT_NE(transcript.find(line), std::string::npos) << line << "\n" << transcript;
  }
  // With an actions file there is no default start or stop.
  EXPECT_EQ(transcript.find("click btn_startlog"), transcript.rfind("click btn_startlog"));
  const auto records = test::Lines(FlightLog());
  ASSERT_EQ(records.size(), 3u);  // the reset's start record, a movement, the stop
  EXPECT_EQ(test::Field(records[0], 6), "SA=0958");
  EXPECT_EQ(test::Field(records[2], 6), "SO");
}

TEST_F(DemoTest, AMalformedTrackStopsBeforeTheRun) {
  const std::string track = dir / "track.csv";
  test::WriteFile(track, "t,lat\n0,1\n1,100\n");
  EXPECT_EQ(Run({.trackFile = track}), 2);
  EXPECT_NE(err.str().find("track.csv: line 3: lat must be a number from -90 to 90, not 100"),
            std::string::npos)
      << err.str();
  EXPECT_EQ(out.str(), "");
}

// The simulator stops answering mid-flight, over the real shared-memory and socket transport.
TEST(LinkOverTheRealTransport, LostMidFlightAndReconnected) {
  test::TempDir runtime;
  PosixTransport transport(PosixTransportOptions{runtime.path(), 20});
  test::TestApp t({.transport = &transport});
  sim::SimulatorCore& simulator = t.simulator;  // served over the socket, not in memory
  sim::PosixSimServer server(simulator, sim::PosixServerOptions{runtime.path(), "UIPCMAIN"});
  ASSERT_TRUE(server.Start()) << server.Error();
  const sim::Track track = test::TrackOf(
      "t,alt_ft,gs_kt,hdg,vs_fpm\n0,3000,200,90,0\n5,3200,200,95,500\n10,3300,200,95,0\n");
  test::FlyTrack(t, track);
  ASSERT_TRUE(t.g().LoggingOn);
  const std::string log = test::ReadFile(t.DataFile("Flightlog.txt"));
  ASSERT_EQ(test::Lines(log).size(), 3u) << log;

  simulator.SetFaults({.silent = true});
  t.Tick();
  EXPECT_FALSE(t.g().Connected);
  EXPECT_FALSE(t.g().LoggingOn);
  EXPECT_EQ(t.app().Form1.lblConnect.text, "Not connected");
  EXPECT_EQ(t.app().Form1.Label5.text, "No logging");
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), log);

  simulator.SetFaults({});
  t.Tick();
  EXPECT_TRUE(t.g().Connected);
  t.Tick();
  EXPECT_TRUE(t.app().Form1.btn_startlog.enabled);
  StartLogging(t.app());
  const auto records = test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")));
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(test::Field(records[3], 6), "SA");
  EXPECT_EQ(t.transport.sends, 0);  // nothing went through the in-memory transport
  server.Stop();
}

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Programs, SimulatorWritesItsFlightAndTheDemoFliesIt) {
  test::TempDir dir;
  const std::string track = dir / "builtin.csv";
  ASSERT_EQ(Shell(kBin + "skytrace-sim --write-track '" + track + "'"), 0);
  std::string error;
  const auto flight = sim::ParseTrack(test::ReadFile(track), error);
  ASSERT_TRUE(flight.has_value()) << error;
  EXPECT_EQ(sim::FormatTrack(*flight), sim::FormatTrack(sim::BuiltinFlight()));

  const std::string bad = dir / "bad.csv";
  test::WriteFile(bad, "t,lat\n0,1\n0,2\n");
  EXPECT_EQ(Shell(kBin + "skytrace-sim --track '" + bad + "' 2>'" + (dir / "err.txt") + "'"), 2);
  EXPECT_NE(test::ReadFile(dir / "err.txt").find("line 3: t must grow"), std::string::npos);

  EXPECT_EQ(Shell("cd '" + dir.path() + "' && TZ=UTC " + kBin + "skytrace-demo --track '" + track +
                  "' --seconds 120 > transcript.txt"),
            0);
  const std::string transcript = test::ReadFile(dir / "transcript.txt");
  EXPECT_NE(transcript.find(" 120  message: Logging stopped.\n"), std::string::npos) << transcript;
  EXPECT_FALSE(
      test::ReadFile(dir / "demo-output/data/Skytrace flightlogger/Flightlog.txt").empty());
}

}  // namespace
}  // namespace sky
