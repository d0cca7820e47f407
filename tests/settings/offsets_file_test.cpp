// The settings file: its 29 keys, the loader's field rule, saves that never leave a broken file,
// a leftover backup, and the fallbacks when loading or saving fails.
#include "settings/offsets_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <filesystem>

#include "core/messages.h"
#include "core/numtext.h"
#include "fault_sweep.h"
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
const std::string kUnableToLoad =
    "Unable to load variables, try re-installing the Skytrace flightlogger.";
const std::string kUnableToSave =
    "Unable to save variables, try re-installing the Skytrace flightlogger.";

// The settings file on its own: real folders, a file system that can fail, a list of sentences.
struct SettingsOnDisk {
  SettingsOnDisk() { std::filesystem::create_directories(DataFolder()); }
  std::string DataFolder() const { return root / "appdata/Skytrace flightlogger/"; }
  std::string Offsets() const { return DataFolder() + "Offsets.txt"; }
  SettingsFile File() { return {files, folders, board, "Skytrace flightlogger"}; }
  void Load() { LoadLoggingParameters(File(), separator, params); }
  void Save() { SaveLoggingParameters(File(), params); }
  void LoadFrom(const std::string& text) {
    test::WriteFile(Offsets(), text);
    Load();
  }
  std::string LastMessage() const { return said.empty() ? "" : said.back(); }
  LoggingParameters& p() { return params; }

  test::TempDir root;
  FixedFolders folders{root / "appdata", root / "documents", root / "program"};
  test::FaultyFileSystem files;
  std::vector<std::string> said;
  SentenceList board{said};
  std::string separator = ".";
  LoggingParameters params;
};

class ParametersTest : public ::testing::Test, protected SettingsOnDisk {};

TEST_F(ParametersTest, SaverWritesAll29KeysInOrder) {
  test::WriteFile(Offsets(), "");
  for (int save = 1; save <= 2; ++save) {  // the second over the first: still no backup
    Save();
    EXPECT_EQ(test::ReadFile(Offsets()), kDefaults) << save;
    EXPECT_FALSE(test::FileExists(DataFolder() + "OffsetsBackup.txt")) << save;
  }
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
  EXPECT_TRUE(said.empty());
}

// A value that does not convert goes back to its default alone; the values before and after it
// are kept, and the sentence names it.
TEST_F(ParametersTest, ABadValueGoesBackToItsDefaultAlone) {
  // The sentence about one bad value, KEY=VALUE, whose standard value the saver writes as reads.
  const auto one = [](const std::string& bad, const std::string& reads) {
    return "\"" + bad + "\" could not be read; its standard value " +
           reads.substr(reads.find('=') + 1) + " is used.";
  };
  struct Case {
    const char* name;
    std::string bad;
    std::string reads;  // the bad field as the saver then writes it
    std::string said;   // when not the sentence about one bad value
  } cases[] = {
      {"integer above range", "CheckVS=32768", "CheckVS=150"},
      {"integer below range", "CheckVS=-32769", "CheckVS=150"},
      {"not a number", "AltOffset=lots", "AltOffset=100"},
      {"empty number", "AltOffset=", "AltOffset=100"},
      {"not a truth value", "Update=maybe", "Update=True"},
      {"two, the first quoted at its limit", "GNDRange=" + std::string(40, '9') + ",GSInt=x",
       "GSInt=50",
       "\"GNDRange=" + std::string(31, '9') +
           "...\" and 1 more value could not be read; their standard values are used."},
  };
  for (const Case& c : cases) {
    p() = LoggingParameters{};
    LoadFrom("XPlane=True\r\nChaseTilt=80\r\n" + c.bad + "\r\nGNDTilt=33\r\n");
    EXPECT_EQ(LastMessage(),
              kUnableToLoad + " In Offsets.txt " + (c.said.empty() ? one(c.bad, c.reads) : c.said))
        << c.name;
    const std::string saved = FormatLoggingParameters(p());
    for (const std::string& kept : {std::string("XPlane=True"), std::string("ChaseTilt=80"),
                                    std::string("GNDTilt=33"), c.reads}) {
      EXPECT_NE(saved.find(kept + "\r\n"), std::string::npos) << c.name << ": " << kept;
    }
  }
}

// At start-up the sentence comes after the greeting, where it stays readable.
TEST(SettingsAtStartUp, OneBadValueIsCorrectedAndSaid) {
  test::TestApp t;
  test::WriteFile(t.DataFile("Offsets.txt"), "ChaseTilt=80\r\nCheckVS=99999\r\n");
  ASSERT_TRUE(t.Load());
  EXPECT_EQ(t.LastMessage(), kUnableToLoad +
                                 " In Offsets.txt \"CheckVS=99999\" could not be read; its "
                                 "standard value 150 is used.");
}

// No settings file, or no data folder at all: both directions fail with their sentences.
TEST_F(ParametersTest, MissingFileOrFolderFailsBothWays) {
  for (const bool folder : {true, false}) {
    if (!folder) folders = FixedFolders("", root / "documents", root / "program");
    p().ChaseTilt = 1;
    Load();
    EXPECT_EQ(p().ChaseTilt, 70) << folder;
    EXPECT_EQ(LastMessage(), kUnableToLoad);
    Save();
    EXPECT_EQ(LastMessage(), kUnableToSave);
    EXPECT_FALSE(test::FileExists(Offsets()) ||
                 test::FileExists(DataFolder() + "OffsetsBackup.txt"));
  }
}

// Any fault in a save: the settings file is the old one or the new one, whole, the values in
// memory stay, a save that kept the old file says so and leaves no temporary file, and the next
// run loads one of the two without a word.
TEST(SettingsSave, AnyFaultLeavesOneWholeFile) {
  const std::string old = "ChaseTilt=77\r\nGNDRange=500\r\n";
  test::SweepFaults([&](test::FaultShot& shot) {
    SettingsOnDisk t;
    test::WriteFile(t.Offsets(), old);
    t.params.ChaseTilt = 12;
    const std::string saved = FormatLoggingParameters(t.params);
    t.files.Arm(shot);
    t.Save();
    const std::string now = test::ReadFile(t.Offsets());
    EXPECT_TRUE(now == old || now == saved) << now;
    EXPECT_EQ(FormatLoggingParameters(t.params), saved);
    if (shot.kind != test::FaultShot::Kill && now == old) {
      EXPECT_EQ(t.LastMessage(), kUnableToSave);
      EXPECT_FALSE(test::FileExists(t.Offsets() + ".tmp"));
    }
    t.files.ClearFaults();
    t.said.clear();
    t.params = LoggingParameters{};
    t.Load();
    EXPECT_EQ(t.params.ChaseTilt, now == old ? 77 : 12);
    EXPECT_TRUE(t.said.empty());
  });
}

// A backup that an interrupted save left behind holds the user's settings while the settings
// file is missing or empty; start-up writes them back into the file and the backup goes.
TEST(SettingsAtStartUp, ALeftoverBackupIsTheUsersSettings) {
  struct Case {
    const char* name;
    const char* file;  // null: no settings file
    int chaseTilt;
  } cases[] = {
      {"no settings file", nullptr, 77},
      {"an empty settings file", "", 77},
      {"a settings file of blank lines", "\r\n\r\n", 77},
      {"a settings file of its own", "ChaseTilt=66\r\n", 66},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    if (c.file) test::WriteFile(t.DataFile("Offsets.txt"), c.file);
    test::WriteFile(t.DataFile("OffsetsBackup.txt"), "ChaseTilt=77\r\nGNDRange=500\r\n");
    ASSERT_TRUE(t.Load()) << c.name;
    EXPECT_EQ(t.app().params.ChaseTilt, c.chaseTilt) << c.name;
    EXPECT_EQ(test::ReadFile(t.DataFile("Offsets.txt")), FormatLoggingParameters(t.app().params))
        << c.name;
    EXPECT_FALSE(test::FileExists(t.DataFile("OffsetsBackup.txt"))) << c.name;
    EXPECT_EQ(t.Messages().size(), 2u) << c.name;  // the reset of the empty log, the greeting
  }
}

TEST_F(ParametersTest, AFileOverOneMegabyteIsDamaged) {
  LoadFrom("ChaseTilt=80\r\n" + std::string(1 << 20, '#'));
  EXPECT_EQ(p().ChaseTilt, 70);
  EXPECT_EQ(LastMessage(), kUnableToLoad);
}

// Singles in plain decimal, "." as decimal point whatever the locale; every value, the other kinds
// at their edges too, reads back as it was saved.
TEST_F(ParametersTest, SavedValuesLoadBackAndSinglesArePlainDecimal) {
  separator = ",";
  p().CheckVS = -32768;
  p().GNDRange = 32767;
  p().Debuging = p().XPlane = true;
  p().XPlanePath = "C:\\X-Plane 12\\Resources\\plugins\\";
  p().XPUIPC = "1.3.0";
  p().MinUpdate = false;
  struct Case {
    float value;
    const char* text;
  } cases[] = {
      {10000000.0f, "10000000"},
      {0.00001f, "0.00001"},
      {-2.5f, "-2.5"},
      {0.1f, "0.1"},
      {123456.7f, "123456.7"},
      {FLT_MAX, "340282350000000000000000000000000000000"},
      {-0.0f, "0"},
  };
  for (const Case& c : cases) {
    p().AltOffset = c.value;
    test::WriteFile(Offsets(), "");
    Save();
    EXPECT_NE(test::ReadFile(Offsets()).find(std::string("\nAltOffset=") + c.text + "\r\n"),
              std::string::npos)
        << c.text << "\n"
        << test::ReadFile(Offsets());
    const LoggingParameters saved = p();
    p() = LoggingParameters{};
    Load();
    EXPECT_EQ(p().AltOffset, c.value) << c.text;
    EXPECT_EQ(FormatLoggingParameters(p()), FormatLoggingParameters(saved)) << c.text;
  }
  EXPECT_TRUE(said.empty());
}

}  // namespace
}  // namespace sky
