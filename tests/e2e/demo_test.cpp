// The two programs as a user runs them: skytrace-demo's main job, the flight log it leaves byte
// for byte, scripted actions and their transcript, its refusals of bad input, and a track written
// by skytrace-sim and flown by the demo.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "skytrace-sim/builtin_flight.h"
#include "track_feed.h"

namespace sky {
namespace {

const std::string kBin = std::string(SKYTRACE_BINARY_DIR) + "/bin/";
const std::string kData = std::string(SKYTRACE_SOURCE_DIR) + "/tests/e2e/data/";

struct Ran {
  int exitCode = -1;
  std::string output;  // standard output and error
};

// Runs a command line in the shell, its output going to a file in `dir`.
Ran Shell(const test::TempDir& dir, const std::string& command) {
  const int status = std::system((command + " >'" + (dir / "output.txt") + "' 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(dir / "output.txt")};
}

// The demo in UTC, with its folders in `dir`.
Ran Demo(const test::TempDir& dir, const std::string& arguments) {
  return Shell(dir, "TZ=UTC " + kBin + "skytrace-demo --data-dir '" + (dir / "data") +
                        "' --docs-dir '" + (dir / "docs") + "' " + arguments);
}

std::string FlightLog(const test::TempDir& dir) {
  return test::ReadFile(dir / "data/Skytrace flightlogger/Flightlog.txt");
}

TEST(Demo, MainJobFliesConvertsAndSummarises) {
  test::TempDir dir;
  const Ran run = Demo(dir, "--start '2026-12-05 10:00:00' --actions '" +
                                test::SourceData("demo/main-job.txt") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string saved = dir.path() +
                            "/docs/Skytrace flightlogger files/Flightlog Frankfurt circuit "
                            "05-12-2026 10.34.kml";
  EXPECT_TRUE(test::FileExists(saved));
  for (const std::string& line : std::vector<std::string>{
           "   0  message: Skytrace flightlogger, made by simmers for simmers. Have fun using the "
           "Skytrace flightlogger!\n",
           "   0  connection: connected\n", "Skytrace Realtime.kml", "---- summary\n",
           "events by code: SA 1 ", " TO= 1 ", " TD= 1 ",
           "touchdown: -180 ft/min, Now this is what you can call a 'kiss' touchdown, you're "
           "good!\n",
           "saved Google Earth document: " + saved}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
  }
  EXPECT_EQ(run.output.find("Not able to convert flightlog"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Error in drawing TCAS table."), std::string::npos) << run.output;

  // The realtime log: the flight log and the present position of the last tick.
  const std::string log = FlightLog(dir);
  const std::string realtime = test::ReadFile(dir / "data/Skytrace flightlogger/Realtime.txt");
  EXPECT_EQ(realtime.substr(0, log.size()), log);
  EXPECT_EQ(test::Lines(realtime.substr(log.size())).size(), 1u);

  // Every phase of the built-in flight in the log, in order.
  std::vector<std::string> codes;
  for (const std::string& record : test::Lines(log)) {
    if (!test::Field(record, 6).empty()) codes.push_back(test::Field(record, 6));
  }
  const std::vector<std::string> expected = {
      "SA",    "FL=25", "TO=5", "GU", "FL=10",     "FL=0", "O",  "OE",  "FL=10",
      "FL=25", "LI",    "GD",   "OG", "FL=50",     "BG",   "OG", "AG",  "FL=100",
      "OM",    "OG",    "MM",   "IM", "TD=-180/3", "SD",   "SU", "FL=0"};
  EXPECT_EQ(codes, expected);
}

TEST(Demo, ShortHopFlightLogIsTheGoldenOneWithEitherSeparator) {
  for (const char separator : {'.', ','}) {
    test::TempDir dir;
    const Ran run = Demo(dir, "--start '2026-07-14 09:58:30' --track '" + kData +
                                  "short_hop.csv' --decimal-separator '" + separator + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(" 240  click btn_stoplog\n"), std::string::npos) << run.output;
    // The same records; only the coordinates carry decimals.
    std::string expected = test::ReadFile(kData + "short_hop_flightlog.txt");
    std::replace(expected.begin(), expected.end(), '.', separator);
    EXPECT_EQ(FlightLog(dir), expected) << separator;
    const std::string settings = test::ReadFile(dir / "data/Skytrace flightlogger/Offsets.txt");
    EXPECT_NE(settings.find("HDGOffset=2\r\n"), std::string::npos) << separator;
  }
}

TEST(Demo, ActionsRunAfterTheirSecondsTickAndDialogsAreShownWithTheirAnswers) {
  test::TempDir dir;
  test::WriteFile(
      dir / "actions.txt",
      "# reset twice: first without an answer, then with one\n3 click btn_startlog\n"
      "6 click btn_resetlog\n8 answer yes\n8 click btn_resetlog\n11 click btn_stoplog\n");
  const Ran run = Demo(dir, "--start '2026-07-14 09:58:30' --seconds 12 --actions '" +
                                (dir / "actions.txt") + "' --track '" + kData + "short_hop.csv'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string question =
      "dialog \"Reset log\": \"Warning, proceeding will delete your current flightlog until "
      "now!\\r\\nAre you sure you want to proceed?\" -> ";
  for (const std::string& line :
       std::vector<std::string>{"   3  click btn_startlog\n   3  message: Logging started.\n",
                                "   6  " + question + "no (no answer queued)\n",
                                "   8  " + question + "yes\n   8  message: Tracklog reset.\n",
                                "  11  message: Logging stopped.\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
  }
  // With an actions file there is no default start or stop.
  EXPECT_EQ(run.output.find("click btn_startlog"), run.output.rfind("click btn_startlog"));
  const auto records = test::Lines(FlightLog(dir));
  ASSERT_EQ(records.size(), 3u);  // the reset's start record with its time, a movement, the stop
  EXPECT_EQ(test::Field(records[0], 6), "SA=0958");
  EXPECT_EQ(test::Field(records[2], 6), "SO");
}

TEST(Demo, BadInputStopsBeforeTheRun) {
  struct Case {
    const char* option;  // followed by the input file, where there is one
    const char* file;
    const char* error;
  } cases[] = {
      {"--actions", "# fine\n3 click btn_nothing\n", "line 2: unknown control \"btn_nothing\""},
      {"--actions", "1 fly Form1\n", "line 1: unknown verb \"fly\""},
      {"--actions", "x click btn_startlog\n", "line 1: the time \"x\" is not a second"},
      {"--actions", "1 close frmNothing\n", "line 1: unknown window \"frmNothing\""},
      {"--actions", "1 answer maybe\n", "line 1: unknown answer \"maybe\""},
      {"--actions", "1 answer text Cessna\n", "line 1: answer text needs a quoted text"},
      {"--track", "t,lat\n0,1\n1,100\n",
       "input.txt: line 3: lat must be a number from -90 to 90, not 100"},
      {"--traffic", "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n\n0,41,1,0,0,0,0,0,0,X\n",
       "input.txt: line 3: slot \"41\" is not a slot from 0 to 39"},
      {"--seconds", nullptr, "--seconds needs a value"},
      {"--seconds -4", nullptr, "--seconds needs a whole number"},
      {"--start tomorrow", nullptr, "--start needs \"YYYY-MM-DD HH:MM:SS\""},
      {"--fly high", nullptr, "unknown option --fly"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    std::string arguments = c.option;
    if (c.file) test::WriteFile(dir / "input.txt", c.file);
    if (c.file) arguments += " '" + (dir / "input.txt") + "'";
    const Ran run = Demo(dir, arguments);
    EXPECT_EQ(run.exitCode, 2) << c.option << " " << run.output;
    EXPECT_NE(run.output.find(c.error), std::string::npos) << c.error << "\n" << run.output;
    EXPECT_EQ(run.output.find("connection:"), std::string::npos) << c.error << "\n" << run.output;
  }
}

TEST(Programs, SimulatorWritesItsFlightAndTheDemoFliesIt) {
  test::TempDir dir;
  const std::string track = dir / "builtin.csv";
  ASSERT_EQ(Shell(dir, kBin + "skytrace-sim --write-track '" + track + "'").exitCode, 0);
  std::string error;
  const auto flight = sim::ParseTrack(test::ReadFile(track), error);
  ASSERT_TRUE(flight.has_value()) << error;
  EXPECT_EQ(sim::FormatTrack(*flight), sim::FormatTrack(sim::BuiltinFlight()));

  test::WriteFile(dir / "bad.csv", "t,lat\n0,1\n0,2\n");
  const Ran bad = Shell(dir, kBin + "skytrace-sim --track '" + (dir / "bad.csv") + "'");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.output.find("line 3: t must grow"), std::string::npos) << bad.output;

  // Started in a folder of its own, the demo writes under "demo-output".
  const Ran run = Shell(dir, "cd '" + dir.path() + "' && TZ=UTC " + kBin +
                                 "skytrace-demo --track '" + track + "' --seconds 120");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find(" 120  message: Logging stopped.\n"), std::string::npos) << run.output;
  EXPECT_FALSE(
      test::ReadFile(dir / "demo-output/data/Skytrace flightlogger/Flightlog.txt").empty());
}

}  // namespace
}  // namespace sky
