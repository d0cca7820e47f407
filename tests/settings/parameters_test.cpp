// The settings file: its 29 keys, the loader's field rule and conversions, the backup during a
// save and the fallbacks when loading or saving fails.
#include "settings/parameters.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/messages.h"
#include "core/numtext.h"
#include "test_app.h"

namespace sky {
namespace {

const char kDefaults[] =
    "HDGOffset=2\r\nAltOffset=100\r\nVSOffset=80\r\nHDGOffset100=4\r\nAltOffset100=200\r\n"
    "VSOffset100=150\r\nChaseDegreeOffset=5\r\nOverviewDegreeOffset=45\r\nChaseTilt=70\r\n"
    "OverviewTilt=45\r\nOverviewRangeMultiplier=10\r\nOverviewRangeMin=2000\r\nGNDTilt=60\r\n"
    "GNDRange=400\r\nPredPathMultiplier=10\r\nPredPathMultiplierTCAS=10\r\nDebuging=False\r\n"
    "CheckVS=150\r\nLocInt=50\r\nGSInt=50\r\nIgnoreILSBelow=150\r\nIgnoreILSAbove=5000\r\n"
    "IgnoreILSAboveVS=500\r\nForceNoWinXP=False\r\nXPlane=False\r\nXPlanePath=\r\nXPUIPC=0\r\n"
    "MinUpdate=True\r\nUpdate=True\r\n";

class ParametersTest : public ::testing::Test {
 protected:
  ParametersTest() {
    t.g().AppTitle = "Skytrace flightlogger";
    std::filesystem::create_directories(t.DataFolder());
  }
  std::string Offsets() const { return t.DataFile("Offsets.txt"); }
  void LoadFrom(const std::string& text) {
    test::WriteFile(Offsets(), text);
    LoadLoggingParameters(t.app());
  }
  LoggingParameters& p() { return t.app().params; }

  test::TestApp t;
};

TEST_F(ParametersTest, SaverWritesAll29KeysInOrder) {
  test::WriteFile(Offsets(), "");
  SaveLoggingParameters(t.app());
  EXPECT_EQ(test::ReadFile(Offsets()), kDefaults);
  EXPECT_FALSE(test::FileExists(t.DataFile("OffsetsBackup.txt")));
  // Twice in a row: still one file of 29 lines and no backup.
  SaveLoggingParameters(t.app());
  EXPECT_EQ(test::ReadFile(Offsets()), kDefaults);
  EXPECT_FALSE(test::FileExists(t.DataFile("OffsetsBackup.txt")));
}

TEST_F(ParametersTest, RoundTripKeepsEveryValue) {
  p().HDGOffset = 2.5f;
  p().VSOffset100 = -12.25f;
  p().CheckVS = -32768;
  p().GNDRange = 32767;
  p().Debuging = true;
  p().XPlane = true;
  p().XPlanePath = "C:\\X-Plane 12\\Resources\\plugins\\";
  p().XPUIPC = "1.3.0";
  p().MinUpdate = false;
  const LoggingParameters saved = p();
  test::WriteFile(Offsets(), "");
  SaveLoggingParameters(t.app());
  EXPECT_NE(test::ReadFile(Offsets()).find("HDGOffset=2.5\r\n"), std::string::npos);
  p() = LoggingParameters{};
  LoadLoggingParameters(t.app());
  EXPECT_EQ(FormatLoggingParameters(p()), FormatLoggingParameters(saved));
  EXPECT_TRUE(t.Messages().empty());
}

TEST_F(ParametersTest, CommaLocaleStillReadsWhatTheSaverWrote) {
  t.g().DecimalSeparator = ",";
  p().HDGOffset = 2.5f;
  test::WriteFile(Offsets(), "");
  SaveLoggingParameters(t.app());
  p().HDGOffset = 0;
  LoadLoggingParameters(t.app());
  EXPECT_EQ(p().HDGOffset, 2.5f);
}

TEST_F(ParametersTest, LoaderFieldRules) {
  struct Case {
    const char* file;
    const char* expect;  // "Key=value" as the saver writes it
  } cases[] = {
      {"ChaseTilt=80\r\n", "ChaseTilt=80"},
      {"HDGOffset100=9\r\n", "HDGOffset100=9"},
      {"HDGOffset100=9\r\n", "HDGOffset=2"},  // no prefix match
      {"PredPathMultiplierTCAS=33\r\n", "PredPathMultiplier=10"},
      {"IgnoreILSAboveVS=700\r\n", "IgnoreILSAbove=5000"},
      {"XPlanePath=/x\r\n", "XPlane=False"},
      {"MinUpdate=False\r\n", "Update=True"},
      {"chasetilt=80\r\n", "ChaseTilt=70"},               // letter case
      {"ChaseTilt = 80\r\n", "ChaseTilt=70"},             // blanks around "="
      {"   ChaseTilt=81\r\n", "ChaseTilt=81"},            // leading blanks skipped
      {"ChaseTilt=1\r\nChaseTilt=2\r\n", "ChaseTilt=2"},  // the last wins
      {"XPlanePath=C:\\A,B\\\r\n", "XPlanePath=C:\\A"},   // a comma ends the field
      {"GNDTilt=1,GNDRange=9\r\n", "GNDRange=9"},         // ...and starts another
      {"\"XPlanePath=a,b\"\r\n", "XPlanePath=a,b"},       // quoted fields keep commas
      {"XPlanePath=  two  blanks\r\n", "XPlanePath=  two  blanks"},
      {"GNDTilt=2.5\r\n", "GNDTilt=2"},  // halves to even
      {"GNDTilt=3.5\r\n", "GNDTilt=4"},
      {"Debuging=1\r\n", "Debuging=True"},
      {"Debuging=0\r\n", "Debuging=False"},
      {"Debuging=true\r\n", "Debuging=True"},
      {"# comment\r\nnothing here\n\nChaseTilt=75\n", "ChaseTilt=75"},
  };
  for (const Case& c : cases) {
    p() = LoggingParameters{};
    LoadFrom(c.file);
    const std::string all = FormatLoggingParameters(p());
    EXPECT_NE(all.find(std::string(c.expect) + "\r\n"), std::string::npos)
        << c.file << " should give " << c.expect;
  }
  EXPECT_TRUE(t.Messages().empty());
}

TEST_F(ParametersTest, LoadFailureResetsTheThresholdsOnly) {
  struct Case {
    const char* name;
    const char* file;
  } cases[] = {
      {"integer above range", "XPlane=True\r\nChaseTilt=80\r\nCheckVS=32768\r\n"},
      {"integer below range", "XPlane=True\r\nChaseTilt=80\r\nCheckVS=-32769\r\n"},
      {"not a number", "XPlane=True\r\nChaseTilt=80\r\nAltOffset=lots\r\n"},
      {"empty number", "XPlane=True\r\nChaseTilt=80\r\nAltOffset=\r\n"},
      {"not a truth value", "XPlane=True\r\nChaseTilt=80\r\nUpdate=maybe\r\n"},
  };
  for (const Case& c : cases) {
    p() = LoggingParameters{};
    LoadFrom(c.file);
    EXPECT_EQ(t.LastMessage(),
              "Unable to load variables, try re-installing the Skytrace flightlogger.")
        << c.name;
    EXPECT_EQ(p().ChaseTilt, 70) << c.name;  // read before the failure, then reset
    EXPECT_TRUE(p().XPlane) << c.name;       // fields after the thresholds keep what was read
  }
}

TEST_F(ParametersTest, MissingFileFailsBothWays) {
  p().ChaseTilt = 1;
  LoadLoggingParameters(t.app());
  EXPECT_EQ(p().ChaseTilt, 70);
  EXPECT_EQ(t.LastMessage(),
            "Unable to load variables, try re-installing the Skytrace flightlogger.");
  SaveLoggingParameters(t.app());
  EXPECT_EQ(t.LastMessage(),
            "Unable to save variables, try re-installing the Skytrace flightlogger.");
  EXPECT_FALSE(test::FileExists(Offsets()));
  EXPECT_FALSE(test::FileExists(t.DataFile("OffsetsBackup.txt")));
}

TEST_F(ParametersTest, FailedWriteRestoresTheOldFile) {
  const std::string old = "ChaseTilt=77\r\nGNDRange=500\r\n";
  test::WriteFile(Offsets(), old);
  p().ChaseTilt = 12;
  const LoggingParameters before = p();
  // Writing the new file fails once the old one is gone (a full disk, say).
  t.files.FailOn("append", "Offsets.txt", 1, 1);
  SaveLoggingParameters(t.app());
  t.files.ClearFaults();
  EXPECT_EQ(t.LastMessage(),
            "Unable to save variables, try re-installing the Skytrace flightlogger.");
  EXPECT_EQ(test::ReadFile(Offsets()), old);
  EXPECT_FALSE(test::FileExists(t.DataFile("OffsetsBackup.txt")));
  EXPECT_EQ(FormatLoggingParameters(p()), FormatLoggingParameters(before));  // memory unchanged
}

TEST_F(ParametersTest, UnwritableFolderLeavesTheOldFileAndTheBackup) {
  test::WriteFile(Offsets(), "ChaseTilt=77\r\n");
  t.files.FailOn("append", "Offsets.txt");
  SaveLoggingParameters(t.app());
  EXPECT_EQ(test::ReadFile(Offsets()), "ChaseTilt=77\r\n");
  EXPECT_EQ(test::ReadFile(t.DataFile("OffsetsBackup.txt")), "ChaseTilt=77\r\n");
}

TEST_F(ParametersTest, FailedRestoreKeepsTheBackup) {
  test::WriteFile(Offsets(), "ChaseTilt=77\r\n");
  t.files.FailOn("append", "Offsets.txt", 1, 1);
  t.files.FailOn("copy", "OffsetsBackup.txt -> ");
  SaveLoggingParameters(t.app());
  t.files.ClearFaults();
  EXPECT_EQ(test::ReadFile(t.DataFile("OffsetsBackup.txt")), "ChaseTilt=77\r\n");
}

TEST_F(ParametersTest, NoDataFolderFailsWithTheMessages) {
  t.folders = FixedFolders("", t.root / "documents", t.root / "program");
  LoadLoggingParameters(t.app());
  EXPECT_EQ(t.LastMessage(),
            "Unable to load variables, try re-installing the Skytrace flightlogger.");
  SaveLoggingParameters(t.app());
  EXPECT_EQ(t.LastMessage(),
            "Unable to save variables, try re-installing the Skytrace flightlogger.");
}

}  // namespace
}  // namespace sky
