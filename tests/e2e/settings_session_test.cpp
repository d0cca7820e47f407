// A whole settings session scripted through skytrace-demo: the two dialogs, boxes that correct
// themselves as they are left, a refused reset, and the Offsets.txt the session leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "test_app.h"

namespace sky {
namespace {

TEST(Demo, SettingsSessionLeavesItsOffsetsFile) {
  test::TempDir dir;
  const std::string command = "TZ=UTC " + std::string(SKYTRACE_BINARY_DIR) +
                              "/bin/skytrace-demo --seconds 15 --data-dir '" + (dir / "data") +
                              "' --docs-dir '" + (dir / "docs") + "' --actions '" +
                              SKYTRACE_SOURCE_DIR + "/data/demo/settings-session.txt' >'" +
                              (dir / "out.txt") + "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string output = test::ReadFile(dir / "out.txt");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("   9  dialog \"Reset settings\": \"Are you sure you want to reset your "
                        "settings?\" -> no\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("   8    frmOffsets.txtChaseTilt becomes \"90\"\n"), std::string::npos)
      << output;
  EXPECT_EQ(output.find("is behind a dialog"), std::string::npos) << output;
  EXPECT_EQ(test::ReadFile(dir / "data/Skytrace flightlogger/Offsets.txt"),
            "HDGOffset=2\r\nAltOffset=100\r\nVSOffset=80\r\nHDGOffset100=4\r\nAltOffset100=200\r\n"
            "VSOffset100=150\r\nChaseDegreeOffset=5\r\nOverviewDegreeOffset=45\r\nChaseTilt=90\r\n"
            "OverviewTilt=45\r\nOverviewRangeMultiplier=10\r\nOverviewRangeMin=32767\r\n"
            "GNDTilt=60\r\nGNDRange=400\r\nPredPathMultiplier=10\r\nPredPathMultiplierTCAS=10\r\n"
            "Debuging=False\r\nCheckVS=150\r\nLocInt=50\r\nGSInt=0\r\nIgnoreILSBelow=150\r\n"
            "IgnoreILSAbove=5000\r\nIgnoreILSAboveVS=500\r\nForceNoWinXP=False\r\nXPlane=False\r\n"
            "XPlanePath=\r\nXPUIPC=0\r\nMinUpdate=False\r\nUpdate=True\r\n");
}

}  // namespace
}  // namespace sky
