// Whole flows through skytrace-demo and skytrace-sim as a user runs them (main job, golden flight
// log, actions, bad input), and in process: a traffic file, a link lost over the real transport.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "commands/app.h"
#include "demo_runner.h"
#include "kml_checks.h"
#include "run_programs.h"
#include "simlink/fsuipc.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/builtin_flight.h"
#include "skytrace-sim/posix_server.h"
#include "track_feed.h"

namespace sky {
namespace {

using test::Demo;
using test::kBin;
using test::Ran;
using test::Shell;
const std::string kData = std::string(SKYTRACE_SOURCE_DIR) + "/tests/e2e/data/";

std::string FlightLog(const test::TempDir& dir) {
  return test::ReadFile(dir / "data/Skytrace flightlogger/Flightlog.txt");
}
// The main job's replay: a frame per second while moving (the parked aircraft once), the traffic
// the TCAS display read at every threat level, and a document that a strict XML parser and GDAL
// read.
void ExpectReplay(const test::TempDir& dir, const std::string& saved, const std::string& output) {
  const std::string data = dir / "data/Skytrace flightlogger/";
  const auto animation = test::Lines(test::ReadFile(data + "Animation.txt"));
  const auto traffic = test::Lines(test::ReadFile(data + "Traffic.txt"));
  ASSERT_GT(animation.size(), 1800u);
  EXPECT_EQ(test::Field(animation[0], 6), "SA");
  std::string levels;
  for (const std::string& line : traffic) {
    if (levels.find(test::Field(line, 10)) == std::string::npos) levels += test::Field(line, 10);
  }
  std::sort(levels.begin(), levels.end());
  EXPECT_EQ(levels, "01234");
  const std::string counts = "animated replay: " + std::to_string(animation.size()) + " frames, " +
                             std::to_string(test::Lines(FlightLog(dir)).size()) +
                             " special placemarks, " + std::to_string(2 * traffic.size()) +
                             " traffic placemarks\n";
  EXPECT_NE(output.find(counts), std::string::npos) << counts << output;
  EXPECT_NE(output.find("document size: "), std::string::npos) << output;

  test::ExpectWellFormed(saved);
  const test::ToolRun gdal = test::RunTool("ogrinfo", "-ro -so " + test::Quoted(saved));
  if (gdal.status != -1) {
    EXPECT_EQ(gdal.status, 0) << gdal.output.substr(0, 2000);
    for (const char* layer : {": Animation\n", ": Animated flight data\n", ": History Path\n",
                              ": Animated AI/Online traffic\n"}) {
      EXPECT_NE(gdal.output.find(layer), std::string::npos) << layer;
    }
  }
}

// The main job's landing report, review page and exports, the files read back by independent
// readers: gpsbabel (GPX and IGC) finds every point of the track, the GPX validates against the
// GPX 1.1 schema, the GeoJSON keeps RFC 7946's rules, and headless Chromium renders the page.
void ExpectReviewAndExports(const test::TempDir& dir, const std::string& output) {
  const std::string data = dir / "data/Skytrace flightlogger/";
  const std::string saved = dir / "docs/Skytrace flightlogger files/";
  const std::string base = saved + "Flightlog Frankfurt circuit 05-12-2026 10.34";
  const std::string review = saved + "Review Frankfurt circuit 05-12-2026 10.34.html";
  test::ExpectInOutput(
      output, {"message: Landing report: -180 ft/min, last 50 ft -468 ft/min, no bounce, "
               "taxi speed after 37 s (Landings.txt).\n",
               "flight review: " + review + "\n", "export: " + base + ".gpx\n",
               "export: " + base + ".igc\n", "export: " + base + ".geojson\n",
               "export: " + base + ".csv\n", "landing reports: 1 in " + data + "Landings.txt\n"});
  const std::string landings = test::ReadFile(data + "Landings.txt");
  EXPECT_NE(landings.find("  Touchdown: -180 ft/min\r\n  Rating: Now this is what you can call a "
                          "'kiss' touchdown, you're good!\r\n"),
            std::string::npos)
      << landings;
  EXPECT_NE(landings.find("  Bounces: none\r\n"), std::string::npos) << landings;

  const size_t points = test::Lines(test::ReadFile(base + ".csv")).size() - 1;
  EXPECT_GT(points, 1800u);
  for (const char* format : {"gpx", "igc"}) {
    const std::string read = dir / (std::string(format) + ".csv");
    const test::ToolRun babel = test::RunTool(
        "gpsbabel", std::string("-t -i ") + format + " -f " + test::Quoted(base + "." + format) +
                        " -o unicsv -F " + test::Quoted(read));
    ASSERT_EQ(babel.status, 0) << format << ": " << babel.output;
    const auto rows = test::Lines(test::ReadFile(read));
    // IGC holds two tracks, by pressure and by satellite altitude.
    EXPECT_EQ(rows.size() - 1, (std::string(format) == "igc" ? 2 : 1) * points) << format;
    // "1,50.049196,8.565998,113.4,...": number, latitude, longitude, metres; parked at Frankfurt.
    const std::string& first = rows.at(1);
    const size_t lat = first.find(',') + 1;
    EXPECT_NEAR(std::stod(first.substr(lat)), 50.0492, 0.0005) << format;
    EXPECT_NEAR(std::stod(first.substr(first.find(',', lat) + 1)), 8.5660, 0.0005) << format;
  }
  const test::ToolRun schema = test::RunTool(
      "xmllint", "--noout --nonet --schema " +
                     test::Quoted(std::string(SKYTRACE_SOURCE_DIR) + "/tests/review/gpx11.xsd") +
                     " " + test::Quoted(base + ".gpx"));
  EXPECT_EQ(schema.status, 0) << schema.output.substr(0, 2000);
  const std::string checker = std::string(SKYTRACE_SOURCE_DIR) + "/tests/review/check_files.py";
  const test::ToolRun geojson = test::RunTool(
      "python3", test::Quoted(checker) + " geojson " + test::Quoted(base + ".geojson"));
  EXPECT_EQ(geojson.status, 0) << geojson.output;
  const test::ToolRun page =
      test::RunTool("python3", test::Quoted(checker) + " page " + test::Quoted(review) + " " +
                                   test::Quoted(dir / "review.png"));
  EXPECT_EQ(page.status, 0) << page.output;
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
  test::ExpectInOutput(
      run.output,
      {"   0  message: Skytrace flightlogger, made by simmers for simmers. Have fun using the "
       "Skytrace flightlogger!\n",
       "   0  connection: connected\n", "Skytrace Realtime.kml", "---- summary\n",
       "events by code: SA 1 ", " TO= 1 ", " TD= 1 ",
       "touchdown: -180 ft/min, Now this is what you can call a 'kiss' touchdown, you're "
       "good!\n",
       "saved Google Earth document: " + saved});
  EXPECT_EQ(run.output.find("Error in drawing TCAS table."), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Error in animating flight."), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Not able to convert flightlog"), std::string::npos) << run.output;

  const std::string log = FlightLog(dir);
  // Every phase of the built-in flight in order; out of Frankfurt and back, above 10000 ft,
  // across north.
  std::string codes;
  double highest = 0;
  bool acrossNorth = false;
  const auto records = test::Lines(log);
  for (size_t i = 0; i < records.size(); ++i) {
    if (!test::Field(records[i], 6).empty()) codes += test::Field(records[i], 6) + " ";
    highest = std::max(highest, std::stod(test::Field(records[i], 4)));
    acrossNorth = acrossNorth || (i > 0 && test::Field(records[i], 5) == "0" &&
                                  std::abs(std::stod(test::Field(records[i], 12)) -
                                           std::stod(test::Field(records[i - 1], 12))) > 180);
  }
  EXPECT_EQ(codes,
            "SA FL=25 TO=5 GU FL=10 FL=0 O OE FL=10 FL=25 LI GD OG FL=50 BG OG AG FL=100 OM OG MM "
            "IM TD=-180/3 SD SU FL=0 ");
  EXPECT_GT(highest, 10000);
  EXPECT_TRUE(acrossNorth);
  for (const std::string& parked : {records.front(), records.back()}) {
    EXPECT_EQ(test::Field(parked, 11), "0") << parked;
    EXPECT_NEAR(std::stod(test::Field(parked, 2)), 8.566, 0.002) << parked;
    EXPECT_NEAR(std::stod(test::Field(parked, 3)), 50.049, 0.002) << parked;
  }
  ExpectReplay(dir, saved, run.output);
  ExpectReviewAndExports(dir, run.output);
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
  test::ExpectInOutput(run.output, {"   3  click btn_startlog\n   3  message: Logging started.\n",
                                    "   6  " + question + "no (no answer queued)\n",
                                    "   8  " + question + "yes\n   8  message: Tracklog reset.\n",
                                    "  11  message: Logging stopped.\n"});
  // With an actions file there is no default start or stop.
  EXPECT_EQ(run.output.find("click btn_startlog"), run.output.rfind("click btn_startlog"));
  const auto records = test::Lines(FlightLog(dir));
  ASSERT_EQ(records.size(), 3u);  // the reset's start record with its time, a movement, the stop
  EXPECT_EQ(test::Field(records[0], 6), "SA=0958");
  EXPECT_EQ(test::Field(records[2], 6), "SO");
}

// A settings session through both dialogs: boxes corrected as they are left, a refused reset.
TEST(Demo, SettingsSessionLeavesItsOffsetsFile) {
  test::TempDir dir;
  const Ran run =
      Demo(dir, "--seconds 15 --actions '" + test::SourceData("demo/settings-session.txt") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  test::ExpectInOutput(run.output,
                       {"   9  dialog \"Reset settings\": \"Are you sure you want to reset your "
                        "settings?\" -> no\n",
                        "   8    frmOffsets.txtChaseTilt becomes \"90\"\n"});
  EXPECT_EQ(run.output.find("is behind a dialog"), std::string::npos) << run.output;
  EXPECT_EQ(test::ReadFile(dir / "data/Skytrace flightlogger/Offsets.txt"),
            "HDGOffset=2\r\nAltOffset=100\r\nVSOffset=80\r\nHDGOffset100=4\r\nAltOffset100=200\r\n"
            "VSOffset100=150\r\nChaseDegreeOffset=5\r\nOverviewDegreeOffset=45\r\nChaseTilt=90\r\n"
            "OverviewTilt=45\r\nOverviewRangeMultiplier=10\r\nOverviewRangeMin=32767\r\n"
            "GNDTilt=60\r\nGNDRange=400\r\nPredPathMultiplier=10\r\nPredPathMultiplierTCAS=10\r\n"
            "Debuging=False\r\nCheckVS=150\r\nLocInt=50\r\nGSInt=0\r\nIgnoreILSBelow=150\r\n"
            "IgnoreILSAbove=5000\r\nIgnoreILSAboveVS=500\r\nForceNoWinXP=False\r\nXPlane=False\r\n"
            "XPlanePath=\r\nXPUIPC=0\r\nMinUpdate=False\r\nUpdate=True\r\n");
}

TEST(Demo, BadInputStopsBeforeTheRun) {
  struct Case {
    const char* option;  // followed by the input file, where there is one
    const char *file, *error;
  } cases[] = {
      {"--actions", "# fine\n3 click btn_nothing\n", "line 2: unknown control \"btn_nothing\""},
      {"--actions", "1 fly Form1\n", "line 1: unknown verb \"fly\""},
      {"--actions", "1 type frmOffsets.txtNothing 5\n",
       "line 1: unknown text box \"frmOffsets.txtNothing\""},
      {"--track", "t,lat\n0,1\n1,100\n",
       "input.txt: line 3: lat must be a number from -90 to 90, not 100"},
      {"--traffic", "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n\n0,41,1,0,0,0,0,0,0,X\n",
       "input.txt: line 3: slot \"41\" is not a slot from 0 to 39"},
      {"--seconds", nullptr, "--seconds needs a value"},
      {"--fly high", nullptr, "unknown option --fly"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    if (c.file) test::WriteFile(dir / "input.txt", c.file);
    const Ran run = Demo(dir, c.option + (c.file ? " '" + (dir / "input.txt") + "'" : ""));
    EXPECT_EQ(run.exitCode, 2) << c.option << " " << run.output;
    EXPECT_NE(run.output.find(c.error), std::string::npos) << c.error << "\n" << run.output;
    EXPECT_EQ(run.output.find("connection:"), std::string::npos) << c.error << "\n" << run.output;
  }
}

// skytrace-export refuses what it cannot use with the file, the line and the reason, writes
// nothing then, and writes a flight log's file in the format its name asks for.
TEST(Export, NamesTheDamagedLineAndWritesTheFormatAsked) {
  struct Case {
    std::string log, arguments;
    int exitCode;
    std::string output;
  };
  const std::string good = "20261205100001:8.5:50.0:364:1::0:0:0:0:0:250:-\r\n";
  const Case cases[] = {
      {good + "20261205100002:8.5:50.0\r\n", "", 1,
       "skytrace-export: flight.txt, line 2: a record has 13 fields separated by \":\", this one "
       "3\n"},
      {good, "--format kml", 2, "skytrace-export: unknown format \"kml\""},
      {good, "", 0, "/out.gpx\n"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFile(dir / "flight.txt", c.log);
    const Ran run = Shell(dir, kBin + "skytrace-export " + c.arguments + " '" +
                                   (dir / "flight.txt") + "' '" + (dir / "out.gpx") + "'");
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_NE(run.output.find(c.output), std::string::npos) << run.output;
    EXPECT_EQ(test::FileExists(dir / "out.gpx"), c.exitCode == 0);
  }
}

// Starts the demo with its temporary folder in `temporary`, its output thrown away; returns its
// process id.
pid_t StartDemo(const test::TempDir& dir, const std::string& temporary,
                std::vector<std::string> arguments) {
  const pid_t child = fork();
  if (child != 0) return child;
  setenv("TMPDIR", temporary.c_str(), 1);
  setenv("TZ", "UTC", 1);
  if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
  const std::string program = kBin + "skytrace-demo";
  arguments.insert(arguments.begin(),
                   {program, "--data-dir", dir / "data", "--docs-dir", dir / "docs"});
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

int Wait(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// The demo's runtime folder goes whichever way the demo ends: at the end of its run, after a
// refused traffic file, on a terminating signal (with the program's request area); a folder that
// a demo killed outright left behind goes with the next demo.
TEST(Demo, LeavesNoRuntimeFolderOrRequestAreaBehind) {
  test::TempDir dir;
  const std::string temporary = dir / "tmp";
  std::filesystem::create_directories(temporary);
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  Wait(ended);
  test::WriteFile(temporary + "/skytrace-demo-" + std::to_string(ended) + "-k1LLed/UIPCMAIN", "");

  EXPECT_EQ(WEXITSTATUS(Wait(StartDemo(dir, temporary, {"--seconds", "3"}))), 0);
  EXPECT_EQ(Entries(temporary), std::vector<std::string>{});
  test::WriteFile(dir / "traffic.csv", "t,slot\n");
  EXPECT_EQ(WEXITSTATUS(Wait(StartDemo(dir, temporary, {"--traffic", dir / "traffic.csv"}))), 2);
  EXPECT_EQ(Entries(temporary), std::vector<std::string>{});

  for (const int signal : {SIGTERM, SIGINT}) {
    const pid_t demo = StartDemo(dir, temporary, {"--seconds", "100000"});
    const std::string area = "/dev/shm/" + AreaName(static_cast<uint32_t>(demo));
    for (int i = 0; i < 2000 && !std::filesystem::exists(area); ++i) usleep(5000);
    ASSERT_TRUE(std::filesystem::exists(area)) << "the demo did not connect";
    EXPECT_EQ(Entries(temporary).size(), 1u);
    kill(demo, signal);
    const int status = Wait(demo);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(Entries(temporary), std::vector<std::string>{}) << signal;
    EXPECT_FALSE(std::filesystem::exists(area)) << signal;
  }
}

// --help prints the usage and ends at once: no window, no data folder, no simulator link.
TEST(Programs, HelpPrintsTheUsageAndEnds) {
  for (const char* program : {"skytrace", "skytrace-sim", "skytrace-demo"}) {
    if (!std::filesystem::exists(kBin + program)) continue;  // a build without the windows
    test::TempDir dir;
    const Ran run = Shell(dir, "HOME='" + dir.path() + "' XDG_DATA_HOME='" + (dir / "data") +
                                   "' XDG_RUNTIME_DIR='" + dir.path() +
                                   "' QT_QPA_PLATFORM=offscreen " + kBin + program + " --help");
    EXPECT_EQ(run.exitCode, 0) << program;
    EXPECT_EQ(run.output.rfind(std::string("usage: ") + program, 0), 0u) << run.output;
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"output.txt"}) << program;
  }
}

TEST(Programs, SimulatorWritesItsFlight) {
  test::TempDir dir;
  ASSERT_EQ(
      Shell(dir, kBin + "skytrace-sim --write-track '" + (dir / "builtin.csv") + "'").exitCode, 0);
  EXPECT_EQ(sim::FormatTrack(test::TrackOf(test::ReadFile(dir / "builtin.csv"))),
            sim::FormatTrack(sim::BuiltinFlight()));
}

// The file's aircraft reach the traffic table once the TCAS window is open in a mode other than
// OFF; a slot with id 0 is emptied.
TEST(DemoInProcess, TrafficFileReachesTheTable) {
  test::TempDir dir;
  test::WriteFile(dir / "traffic.csv",
                  "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n"
                  "0,0,11,52.31,4.76,3000,90,180,0,KLM 1234\n"
                  "0,5,12,52.2,4.9,9000,0,250,-500,ABCDEFGHIJKLMNO\n"
                  "0,39,13,52,5,10000,270,300,0,GONE\n"
                  "8,0,14,52.32,4.77,3100,180,180,0,\"AB,1\"\n9,39,0,,,,,,,\n");
  // Open the window, step the mode from OFF, zoom out.
  test::WriteFile(
      dir / "actions.txt",
      "1 click btn_TCAS\n2 click frmTCAS.btn_ToggleTCAS\n3 click frmTCAS.btn_zoomout\n");
  std::ostringstream out, err;
  DemoRunner runner({.seconds = 12,
                     .dataDir = dir / "data",
                     .docsDir = dir / "docs",
                     .actionsFile = dir / "actions.txt",
                     .trafficFile = dir / "traffic.csv"},
                    out, err);
  ASSERT_EQ(runner.Run(), 0) << err.str();
  const App& app = *runner.app();
  EXPECT_EQ(app.frmTCAS.Label11.text, "ABV");
  EXPECT_EQ(app.g.TcasRangeSent, 40);
  const auto& t = app.traffic;
  EXPECT_EQ(t[1].ID + "|" + t[1].Callsign + "|" + t[1].HDG, "14|AB,1|0");
  EXPECT_EQ(t[6].ID + "|" + t[6].Callsign + "|" + t[6].Alt + "|" + t[6].VS,
            "12|ABCDEFGHIJKLMNO|9000|-500");
  EXPECT_EQ(t[40].ID + t[2].ID, "");  // slot 39 emptied at 9 s, slot 1 never filled
}

// With --timings the demo notes how long each second's timers and each action took: a line
// "SECOND WHAT CPU_US WALL_US" each, in the order they ran; a file it cannot write stops it.
TEST(DemoInProcess, TimingsNoteEverySecondAndEveryAction) {
  test::TempDir dir;
  test::WriteFile(dir / "actions.txt",
                  "1 click btn_startlog\n2 click btn_InitiateRealtime\n3 click btn_TCAS\n"
                  "3 answer yes\n5 close frmTCAS\n");
  DemoOptions options{.seconds = 6,
                      .dataDir = dir / "data",
                      .docsDir = dir / "docs",
                      .actionsFile = dir / "actions.txt",
                      .timingsFile = dir / "timings.txt"};
  std::ostringstream out, err;
  ASSERT_EQ(DemoRunner(options, out, err).Run(), 0) << err.str();
  std::istringstream timings(test::ReadFile(dir / "timings.txt"));
  std::string noted;
  int second = 0;
  long cpu = -1, wall = -1;
  for (std::string what, line; std::getline(timings, line);) {
    std::istringstream fields(line);
    fields >> second >> what;
    if (what != "timers") fields >> std::ws >> what;  // the action's target
    fields >> cpu >> wall;
    ASSERT_TRUE(fields && fields.eof() && cpu >= 0 && wall >= 0) << line;
    noted += std::to_string(second) + " " + what + ", ";
  }
  EXPECT_EQ(noted,
            "1 timers, 1 Form1.btn_startlog, 2 timers, 2 Form1.btn_InitiateRealtime, 3 timers, "
            "3 Form1.btn_TCAS, 3 yes, 4 timers, 5 timers, 5 frmTCAS, 6 timers, ");
  options.timingsFile = dir / "no such folder/timings.txt";
  EXPECT_EQ(DemoRunner(options, out, err).Run(), 2);
  EXPECT_NE(err.str().find("cannot write " + options.timingsFile), std::string::npos) << err.str();
}

// The simulator stops answering mid-flight, over the real shared-memory and socket transport,
// with the main window minimised to the tray; then it comes back.
TEST(LinkOverTheRealTransport, LostMidFlightAndReconnected) {
  test::TempDir runtime;
  PosixTransport transport(PosixTransportOptions{runtime.path(), 20});
  test::TestApp t({.transport = &transport});
  sim::PosixSimServer server(t.simulator, sim::PosixServerOptions{runtime.path(), "UIPCMAIN"});
  ASSERT_TRUE(server.Start()) << server.Error();
  test::FlyTrack(t, test::TrackOf("t,alt_ft,gs_kt,hdg,vs_fpm\n0,3000,200,90,0\n"
                                  "5,3200,200,95,500\n10,3300,200,95,0\n"));
  ASSERT_TRUE(t.g().LoggingOn);
  const std::string log = test::ReadFile(t.DataFile("Flightlog.txt"));
  ASSERT_EQ(test::Lines(log).size(), 3u) << log;
  Form1Controls& f = t.app().Form1;
  f.windowState = WindowState::Minimized;
  f.visible = false;
  f.trayIcon = true;

  t.simulator.SetFaults({.silent = true});
  t.Tick();
  EXPECT_FALSE(t.g().Connected || t.g().LoggingOn);
  EXPECT_EQ(f.lblConnect.text + "/" + f.Label5.text, "Not connected/No logging");
  EXPECT_EQ(f.lblConnect.color, kRed);
  EXPECT_EQ(f.windowState, WindowState::Normal);
  EXPECT_TRUE(f.visible && !f.trayIcon);
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), log);
  // Down for a while: retried without a word; the window is restored once, minimising again
  // stays minimised.
  const size_t messages = t.Messages().size();
  t.Tick();
  f.windowState = WindowState::Minimized;
  t.Tick(2);
  EXPECT_EQ(f.windowState, WindowState::Minimized);
  EXPECT_EQ(t.Messages().size(), messages);

  t.simulator.SetFaults({});
  t.Tick();
  EXPECT_EQ(f.lblConnect.text, "Connected");
  EXPECT_EQ(f.lblConnect.color, kBlack);
  t.Tick();
  EXPECT_TRUE(f.btn_startlog.enabled);
  StartLogging(t.app());
  const auto records = test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")));
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(test::Field(records[3], 6), "SA");
  EXPECT_EQ(t.transport.sends, 0);  // nothing went through the in-memory transport
  server.Stop();
}

}  // namespace
}  // namespace sky
