// Whole flows in process: the headless runner flying tracks against the simulator over the real
// transport, the flight log it leaves byte for byte, scripted actions and their transcript, a
// traffic file reaching the traffic table, and a link lost in flight.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <sstream>

#include "core/app.h"
#include "demo_runner.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#include "track_feed.h"

namespace sky {
namespace {

const std::string kData = std::string(SKYTRACE_SOURCE_DIR) + "/tests/e2e/data/";

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
    runner = std::make_unique<DemoRunner>(options, out, err);
    return runner->Run();
  }
  std::string FlightLog() {
    return test::ReadFile(dir / "data/Skytrace flightlogger/Flightlog.txt");
  }
  std::string File(const std::string& name, const std::string& text) {
    test::WriteFile(dir / name, text);
    return dir / name;
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
  std::unique_ptr<DemoRunner> runner;
};

TEST_F(DemoTest, ShortHopFlightLogIsTheGoldenOne) {
  ASSERT_EQ(Run({.trackFile = kData + "short_hop.csv"}), 0) << err.str();
  EXPECT_EQ(FlightLog(), test::ReadFile(kData + "short_hop_flightlog.txt"));
  EXPECT_NE(out.str().find(" 240  click btn_stoplog\n"), std::string::npos) << out.str();
}

TEST_F(DemoTest, CommaDecimalSeparatorEndToEnd) {
  ASSERT_EQ(Run({.decimalSeparator = ",", .trackFile = kData + "short_hop.csv"}), 0) << err.str();
  // The same records; only the coordinates carry decimals, now with a comma.
  std::string expected = test::ReadFile(kData + "short_hop_flightlog.txt");
  std::replace(expected.begin(), expected.end(), '.', ',');
  EXPECT_EQ(FlightLog(), expected);
  const std::string settings = test::ReadFile(dir / "data/Skytrace flightlogger/Offsets.txt");
  EXPECT_NE(settings.find("HDGOffset=2\r\n"), std::string::npos);
}

TEST_F(DemoTest, ActionsRunAfterTheirSecondsTickAndDialogsAreShownWithTheirAnswers) {
  const std::string actions = File("actions.txt",
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
  ASSERT_EQ(records.size(), 3u);  // the reset's start record with its time, a movement, the stop
  EXPECT_EQ(test::Field(records[0], 6), "SA=0958");
  EXPECT_EQ(test::Field(records[2], 6), "SO");
}

// The file's aircraft reach the traffic table once the TCAS window is open in a mode other than
// OFF; a slot with id 0 is emptied.
TEST_F(DemoTest, TrafficFileReachesTheTable) {
  const std::string traffic = File("traffic.csv",
                                   "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n"
                                   "0,0,11,52.31,4.76,3000,90,180,0,KLM 1234\n"
                                   "0,5,12,52.2,4.9,9000,0,250,-500,ABCDEFGHIJKLMNO\n"
                                   "0,39,13,52,5,10000,270,300,0,GONE\n"
                                   "8,0,14,52.32,4.77,3100,180,180,0,\"AB,1\"\n"
                                   "9,39,0,,,,,,,\n");
  const std::string actions = File("actions.txt",
                                   "1 click btn_TCAS\n"
                                   "2 click frmTCAS.btn_ToggleTCAS\n"
                                   "3 click frmTCAS.btn_ToggleTCAS\n"
                                   "4 click frmTCAS.btn_ToggleTCAS\n"
                                   "5 click frmTCAS.btn_ToggleTCAS\n"
                                   "6 click frmTCAS.btn_zoomout\n");
  ASSERT_EQ(Run({.seconds = 12, .actionsFile = actions, .trafficFile = traffic}), 0) << err.str();
  const App& app = *runner->app();
  EXPECT_EQ(app.frmTCAS.Label11.text, "ALL");
  EXPECT_EQ(app.g.TcasRangeSent, 40);
  const auto& t = app.traffic;
  EXPECT_EQ(t[1].ID + "|" + t[1].Callsign + "|" + t[1].HDG, "14|AB,1|0");
  EXPECT_EQ(t[6].ID + "|" + t[6].Callsign + "|" + t[6].Alt + "|" + t[6].VS,
            "12|ABCDEFGHIJKLMNO|9000|-500");
  EXPECT_EQ(t[40].ID, "");  // emptied at 9 s
  EXPECT_EQ(t[2].ID, "");
}

// The simulator stops answering mid-flight, over the real shared-memory and socket transport,
// with the main window minimised to the tray; then it comes back.
TEST(LinkOverTheRealTransport, LostMidFlightAndReconnected) {
  test::TempDir runtime;
  PosixTransport transport(PosixTransportOptions{runtime.path(), 20});
  test::TestApp t({.transport = &transport});
  sim::SimulatorCore& simulator = t.simulator;  // served over the socket, not in memory
  sim::PosixSimServer server(simulator, sim::PosixServerOptions{runtime.path(), "UIPCMAIN"});
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

  simulator.SetFaults({.silent = true});
  t.Tick();
  EXPECT_FALSE(t.g().Connected);
  EXPECT_FALSE(t.g().LoggingOn);
  EXPECT_EQ(f.lblConnect.text, "Not connected");
  EXPECT_EQ(f.lblConnect.color, kRed);
  EXPECT_EQ(f.Label5.text, "No logging");
  EXPECT_EQ(f.windowState, WindowState::Normal);
  EXPECT_TRUE(f.visible && !f.trayIcon);
  EXPECT_EQ(t.LastMessage(), "Connection to FS timed out.");
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), log);
  // Down for a while: the window is restored once, minimising again stays minimised.
  t.Tick();
  f.windowState = WindowState::Minimized;
  t.Tick(2);
  EXPECT_EQ(f.windowState, WindowState::Minimized);

  simulator.SetFaults({});
  t.Tick();
  EXPECT_TRUE(t.g().Connected);
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
