// skytrace-demo with a traffic file: the file's aircraft reach the program's traffic table
// through the real transport once the TCAS window is open in a mode other than OFF.
#include <gtest/gtest.h>

#include <sstream>

#include "core/app.h"
#include "demo_runner.h"
#include "test_app.h"

namespace sky {
namespace {

class TrafficDemoTest : public ::testing::Test {
 protected:
  int Run(const std::string& traffic, const std::string& actions, int seconds) {
    test::WriteFile(dir / "traffic.csv", traffic);
    test::WriteFile(dir / "actions.txt", actions);
    DemoOptions options;
    options.seconds = seconds;
    options.dataDir = dir / "data";
    options.docsDir = dir / "documents";
    options.programFolder = std::string(SKYTRACE_BINARY_DIR) + "/bin";
    options.actionsFile = dir / "actions.txt";
    options.trafficFile = dir / "traffic.csv";
    runner = std::make_unique<DemoRunner>(options, out, err);
    return runner->Run();
  }
  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
  std::unique_ptr<DemoRunner> runner;
};

TEST_F(TrafficDemoTest, TheFilesTrafficReachesTheTable) {
  const std::string traffic =
      "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n"
      "0,0,11,52.31,4.76,3000,90,180,0,KLM 1234\n"
      "0,5,12,52.2,4.9,9000,0,250,-500,ABCDEFGHIJKLMNO\n"
      "0,39,13,52,5,10000,270,300,0,GONE\n"
      "8,0,14,52.32,4.77,3100,180,180,0,\"AB,1\"\n"
      "9,39,0,,,,,,,\n";
  const std::string actions =
      "1 click btn_TCAS\n"
      "2 click frmTCAS.btn_ToggleTCAS\n"
      "3 click frmTCAS.btn_ToggleTCAS\n"
      "4 click frmTCAS.btn_ToggleTCAS\n"
      "5 click frmTCAS.btn_ToggleTCAS\n"
      "6 click frmTCAS.btn_zoomout\n";
  ASSERT_EQ(Run(traffic, actions, 12), 0) << err.str();
  const App& app = *runner->app();
  EXPECT_EQ(app.frmTCAS.Label11.text, "ALL");
  EXPECT_EQ(app.g.TcasRangeSent, 40);
  EXPECT_EQ(app.traffic[1].ID, "14");
  EXPECT_EQ(app.traffic[1].Callsign, "AB,1");
  EXPECT_EQ(app.traffic[1].HDG, "0");
  EXPECT_EQ(app.traffic[6].ID, "12");
  EXPECT_EQ(app.traffic[6].Callsign, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(app.traffic[6].Alt, "9000");
  EXPECT_EQ(app.traffic[6].VS, "-500");
  EXPECT_EQ(app.traffic[40].ID, "");  // emptied at 9 s
  EXPECT_EQ(app.traffic[2].ID, "");
}

TEST_F(TrafficDemoTest, ABadTrafficFileStopsBeforeTheRun) {
  ASSERT_EQ(
      Run("t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n\n0,41,1,0,0,0,0,0,0,X\n", "", 5),
      2);
  EXPECT_NE(err.str().find("traffic.csv: line 3: slot \"41\" is not a slot from 0 to 39"),
            std::string::npos)
      << err.str();
}

}  // namespace
}  // namespace sky
