// The logging commands through the main window's buttons: start, stop, reset and animation, the
// status labels and their failures.
#include "commands/logging.h"

#include <gtest/gtest.h>

#include "commands/app.h"
#include "shell/dispatch.h"
#include "track_feed.h"

namespace sky {
namespace {

class LoggingTest : public ::testing::Test {
 protected:
  LoggingTest() {
    sim::WriteFlightState(t.simulator, {.altitudeFt = 3000, .groundSpeedKt = 200});
    EXPECT_TRUE(t.Load());
    t.Tick();  // connected at start-up; this tick reads the first sample
  }
  ClickResult Press(const char* control) { return Click(t.app(), "Form1", control); }
  std::vector<std::string> Records() {
    return test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")));
  }

  test::TestApp t;
};

TEST_F(LoggingTest, StoppingWritesTheStopRecordAndForgetsThePreviousSample) {
  Press("btn_startlog");
  t.Tick();
  t.g().RealtimeOn = true;
  ASSERT_EQ(Press("btn_stoplog"), ClickResult::Done);
  EXPECT_EQ(test::Field(Records().back(), 6), "SO");
  EXPECT_FALSE(t.g().LoggingOn || t.g().RealtimeOn || t.g().AnimationOn);
  EXPECT_EQ(t.app().Form1.Label5.text + "/" + t.app().Form1.Label6.text, "No logging/No realtime");
  EXPECT_TRUE(t.app().prev.Latitude.empty() && t.app().prev.Heading.empty() &&
              t.app().recorder.PrevTimestamp.empty());
  EXPECT_EQ(t.LastMessage(), "Logging stopped.");
  EXPECT_FALSE(test::FileExists(t.DataFile("Realtime.txt")));  // realtime went off first

  // Stopping again does nothing and shows nothing.
  const auto messages = t.Messages();
  const auto records = Records();
  Press("btn_stoplog");
  EXPECT_EQ(t.Messages(), messages);
  EXPECT_EQ(Records(), records);
}

// Starting again writes another start record, whose previous time stamp is the tick's.
TEST_F(LoggingTest, AnimationModeTogglesAndImpliesLogging) {
  ASSERT_EQ(Press("btn_startAnimate"), ClickResult::Done);
  EXPECT_TRUE(t.g().LoggingOn && t.g().AnimationOn);
  EXPECT_EQ(t.LastMessage(), "Animation mode enabled.");
  t.Tick();
  EXPECT_EQ(t.app().Form1.Label5.text, "Logging");
  EXPECT_EQ(t.app().Form1.Label13.text, "Animation");
  ASSERT_EQ(Press("btn_startlog"), ClickResult::Done);
  EXPECT_EQ(t.LastMessage(), "Logging started (animation mode enabled).");
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(test::Field(records[0], 6) + " " + test::Field(records[1], 6), "SA SA");
  EXPECT_EQ(test::Field(records[1], 13), t.app().recorder.PrevTimestamp);
  Press("btn_startAnimate");
  EXPECT_EQ(t.LastMessage(), "Animation mode disabled.");
  EXPECT_TRUE(t.g().LoggingOn);
  EXPECT_FALSE(t.g().AnimationOn);
}

TEST_F(LoggingTest, WithoutAConnection) {
  Press("btn_startAnimate");
  t.simulator.SetFaults({.silent = true});
  t.Tick(2);  // the link is lost; the next tick finds the buttons disabled
  ASSERT_FALSE(t.g().Connected);
  EXPECT_EQ(Press("btn_startlog"), ClickResult::Disabled);
  t.g().LoggingOn = t.g().AnimationOn = true;
  ToggleAnimation(t.app());
  EXPECT_EQ(t.LastMessage(), "No open FS connection.");
  EXPECT_FALSE(t.g().LoggingOn || t.g().AnimationOn);
}

// The question and its answers are in the demo's transcript test; here, the files and the button.
TEST_F(LoggingTest, ResetAsksFirstAndDeletesTheLogs) {
  Press("btn_startlog");
  Press("btn_stoplog");
  test::WriteFile(t.DataFile("Animation.txt"), "a\r\n");
  test::WriteFile(t.DataFile("Traffic.txt"), "b\r\n");
  const std::string log = test::ReadFile(t.DataFile("Flightlog.txt"));
  t.Tick();
  ASSERT_EQ(Press("btn_resetlog"), ClickResult::Done);  // enabled; no answer queued: No
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), log);
  EXPECT_TRUE(test::FileExists(t.DataFile("Animation.txt")));

  t.dialogs.Queue({ScriptedDialogs::Answer::Yes});
  Press("btn_resetlog");
  EXPECT_EQ(t.LastMessage(), "Tracklog reset.");
  EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), "");
  EXPECT_FALSE(test::FileExists(t.DataFile("Animation.txt")));
  EXPECT_FALSE(test::FileExists(t.DataFile("Traffic.txt")));

  // A failed deletion stops where it failed.
  t.files.FailOn("remove", "Animation.txt");
  test::WriteFile(t.DataFile("Animation.txt"), "a\r\n");
  test::WriteFile(t.DataFile("Traffic.txt"), "b\r\n");
  ResetLog(t.app(), true);
  EXPECT_EQ(t.LastMessage(), "Unable to delete tracklog, try again with realtime mode off.");
  EXPECT_FALSE(test::FileExists(t.DataFile("Flightlog.txt")));  // deleted before the failure
  EXPECT_TRUE(test::FileExists(t.DataFile("Traffic.txt")));     // not reached
}

}  // namespace
}  // namespace sky
