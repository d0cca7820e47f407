// Whole flows in process: a traffic file through the headless runner reaching the program's
// traffic table, and a link lost in flight over the real transport.
#include <gtest/gtest.h>

#include <sstream>

#include "core/app.h"
#include "demo_runner.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#include "track_feed.h"

namespace sky {
namespace {

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
  // Open the window, step the mode from OFF to ALL, zoom out.
  test::WriteFile(
      dir / "actions.txt",
      "1 click btn_TCAS\n2 click frmTCAS.btn_ToggleTCAS\n3 click frmTCAS.btn_ToggleTCAS\n"
      "4 click frmTCAS.btn_ToggleTCAS\n5 click frmTCAS.btn_ToggleTCAS\n"
      "6 click frmTCAS.btn_zoomout\n");
  std::ostringstream out, err;
  DemoRunner runner({.seconds = 12,
                     .dataDir = dir / "data",
                     .docsDir = dir / "docs",
                     .actionsFile = dir / "actions.txt",
                     .trafficFile = dir / "traffic.csv"},
                    out, err);
  ASSERT_EQ(runner.Run(), 0) << err.str();
  const App& app = *runner.app();
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
