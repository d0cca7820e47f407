// The convert command's dialog and files, and the saved-tracks folder button.
#include "kml/convert.h"

#include <gtest/gtest.h>

#include "kml_checks.h"
#include "shell/dispatch.h"
#include "test_app.h"

namespace sky::test {
namespace {

using Answer = ScriptedDialogs::Answer;

class ConvertTest : public ::testing::Test {
 protected:
  ConvertTest() {
    EXPECT_TRUE(t.Load());
    log = ReadFile(std::string(SKYTRACE_SOURCE_DIR) + "/tests/kml/golden/flightlog.txt");
    WriteFile(t.DataFile("Flightlog.txt"), log);
    t.g().LoggingOn = true;
    t.g().AnimationOn = true;
    t.g().RealtimeOn = true;
    t.app().Form1.btn_setChase.enabled = true;
    t.app().prev.Latitude = "52";
    first = t.Messages().size();
  }

  std::vector<std::string> NewMessages() const {
    const auto all = t.Messages();
    return {all.begin() + static_cast<long>(first), all.end()};
  }
  void ExpectLoggingEnded() {
    EXPECT_FALSE(t.g().LoggingOn);
    EXPECT_FALSE(t.g().AnimationOn);
    EXPECT_FALSE(t.g().RealtimeOn);
    EXPECT_FALSE(t.app().Form1.btn_setChase.enabled);
    EXPECT_EQ(t.app().Form1.Label5.text, "No logging");
    EXPECT_EQ(t.app().Form1.Label6.text, "No realtime");
    EXPECT_TRUE(t.app().prev.Latitude.empty());
  }

  TestApp t;
  std::string log;
  size_t first = 0;
};

TEST_F(ConvertTest, NamedFlightIsSavedAndOpened) {
  t.dialogs.Queue({Answer::Text, "Cessna hop"});
  ConvertFlightLog(t.app());
  const std::string saved = t.SavedFolder() + "Flightlog Cessna hop 04-12-2026 22.30.kml";
  ASSERT_TRUE(FileExists(saved));
  EXPECT_EQ(ReadFile(saved), ReadFile(t.DataFile("Flightlog.kml")));
  EXPECT_NE(ReadFile(saved).find("<name>Flightlog Cessna hop 04-12-2026 22.30</name>"),
            std::string::npos);
  EXPECT_FALSE(FileExists(t.SavedFolder() + "Flightlog Cessna hop 04-12-2026 22.30.txt"));
  EXPECT_EQ(NewMessages(),
            (std::vector<std::string>{"Converting flightlog...",
                                      "Tracklog converted and saved, opening Google Earth..."}));
  EXPECT_EQ(t.shell.opened.back(), saved);
  EXPECT_GE(t.windows.redraws, 1);
  ASSERT_FALSE(t.dialogs.shown.empty());
  const auto& prompt = t.dialogs.shown.back();
  EXPECT_EQ(prompt.title, "File name");
  EXPECT_EQ(prompt.text,
            "The log will be saved to the saved tracks folder too, please supply the name. Leave "
            "blank for only the date and time.");
  ExpectLoggingEnded();
  EXPECT_EQ(ReadFile(t.DataFile("Flightlog.txt")), log);  // the log itself is kept
  ExpectWellFormed(saved);
}

TEST_F(ConvertTest, EmptyNameGivesTwoBlanks) {
  t.dialogs.Queue({Answer::Ok, ""});
  ConvertFlightLog(t.app());
  EXPECT_TRUE(FileExists(t.SavedFolder() + "Flightlog  04-12-2026 22.30.kml"));
  ExpectLoggingEnded();
}

TEST_F(ConvertTest, CancelDoesNothing) {
  const size_t opened = t.shell.opened.size();
  t.dialogs.Queue({Answer::Cancel, ""});
  ConvertFlightLog(t.app());
  EXPECT_TRUE(NewMessages().empty());
  EXPECT_FALSE(FileExists(t.DataFile("Flightlog.kml")));
  EXPECT_TRUE(t.g().LoggingOn);
  EXPECT_TRUE(t.g().RealtimeOn);
  EXPECT_EQ(t.shell.opened.size(), opened);
}

TEST_F(ConvertTest, DebugingAlsoSavesTheLog) {
  t.app().params.Debuging = true;
  t.clock.Advance(61 * 60 * 1000);  // the stamp is the time of the answer: 23:31
  t.dialogs.Queue({Answer::Text, "IFR"});
  ConvertFlightLog(t.app());
  EXPECT_EQ(ReadFile(t.SavedFolder() + "Flightlog IFR 04-12-2026 23.31.txt"), log);
  EXPECT_TRUE(FileExists(t.SavedFolder() + "Flightlog IFR 04-12-2026 23.31.kml"));
}

TEST_F(ConvertTest, ConvertingTwiceReplacesTheCopies) {
  t.dialogs.Queue({Answer::Text, "hop"});
  ConvertFlightLog(t.app());
  WriteFile(t.DataFile("Flightlog.txt"), log.substr(0, log.find('\n') + 1));
  t.dialogs.Queue({Answer::Text, "hop"});
  ConvertFlightLog(t.app());
  EXPECT_EQ(ReadFile(t.SavedFolder() + "Flightlog hop 04-12-2026 22.30.kml"),
            ReadFile(t.DataFile("Flightlog.kml")));
  EXPECT_EQ(ReadFile(t.DataFile("Flightlog.kml")).find("Gear down"), std::string::npos);
}

TEST_F(ConvertTest, FailedCopyStopsTheCommand) {
  struct Case {
    const char* name;
    const char* op;
    const char* part;
    bool debuging;
  } cases[] = {
      {"the document copy", "copy", "Flightlog.kml ->", false},
      {"the log copy", "copy", "Flightlog.txt ->", true},
      {"the log cannot be opened", "append", "Flightlog.txt", false},
  };
  for (const Case& c : cases) {
    TestApp u;
    ASSERT_TRUE(u.Load());
    WriteFile(u.DataFile("Flightlog.txt"), log);
    u.g().LoggingOn = true;
    u.app().params.Debuging = c.debuging;
    u.files.FailOn(c.op, c.part);
    const size_t opened = u.shell.opened.size();
    u.dialogs.Queue({Answer::Text, "hop"});
    ConvertFlightLog(u.app());
    EXPECT_EQ(u.LastMessage(), "Unable to save tracklog, try again with FS and GE off.") << c.name;
    EXPECT_TRUE(u.g().LoggingOn) << c.name;  // the steps after the failure are not done
    EXPECT_EQ(u.shell.opened.size(), opened) << c.name;
  }
}

TEST_F(ConvertTest, FailedConversionStillCopiesAndEndsLogging) {
  WriteFile(t.DataFile("Flightlog.kml"), "earlier document");
  WriteFile(t.DataFile("Flightlog.txt"), "");
  const size_t opened = t.shell.opened.size();
  t.dialogs.Queue({Answer::Text, "hop"});
  ConvertFlightLog(t.app());
  EXPECT_EQ(NewMessages(),
            (std::vector<std::string>{"Converting flightlog...", "Not able to convert flightlog"}));
  EXPECT_EQ(ReadFile(t.SavedFolder() + "Flightlog hop 04-12-2026 22.30.kml"), "earlier document");
  EXPECT_EQ(t.shell.opened.size(), opened);
  ExpectLoggingEnded();
}

TEST_F(ConvertTest, ButtonsReachTheCommands) {
  t.app().Form1.btn_Convert.enabled = true;
  t.dialogs.Queue({Answer::Text, "hop"});
  EXPECT_EQ(Click(t.app(), "Form1", "btn_Convert"), ClickResult::Done);
  EXPECT_TRUE(FileExists(t.SavedFolder() + "Flightlog hop 04-12-2026 22.30.kml"));

  EXPECT_EQ(Click(t.app(), "Form1", "btn_savedlogs"), ClickResult::Done);
  EXPECT_EQ(t.shell.opened.back(), t.SavedFolder());
  EXPECT_EQ(t.LastMessage(), "Saves tracks folder opened.");
}

TEST(CorrectDatumTijd, DayMonthYearHoursMinutes) {
  EXPECT_EQ(CorrectDatumTijd("20261204223015"), "04-12-2026 22:30");
  EXPECT_EQ(CorrectDatumTijd("20090103142501"), "03-01-2009 14:25");
}

}  // namespace
}  // namespace sky::test
