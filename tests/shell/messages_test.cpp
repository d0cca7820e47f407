// The message board's routing and clearing, the folders and the small system helpers.
#include "core/system.h"

#include <gtest/gtest.h>

#include "shell/dispatch.h"
#include "test_app.h"

namespace sky {
namespace {

TEST(MessageBoard, EventTextsGoToTheOpenStatusWindowOnly) {
  test::TestApp t;
  App& app = t.app();
  struct Case {
    bool statusOpen;
    const char* text;
    bool toStatus;
  } cases[] = {
      {true, "Event: Gear down", true},  {false, "Event: Gear down", false},
      {true, "event: Gear down", false}, {true, " Event: Gear down", false},
      {true, "Event:Gear down", false},  {true, "Logging started.", false},
  };
  for (const Case& c : cases) {
    app.g.StatusWindowOpen = c.statusOpen;
    app.Form1.Label7.text = "before";
    app.frmACStatus.lblEvent.text = "before";
    ShowMessage(app, c.text);
    EXPECT_EQ(app.frmACStatus.lblEvent.text, c.toStatus ? c.text : "before") << c.text;
    EXPECT_EQ(app.Form1.Label7.text, c.toStatus ? "before" : c.text) << c.text;
  }
}

TEST(MessageBoard, ALineStaysFiveSecondsAfterTheLastPost) {
  test::TestApp t;
  App& app = t.app();
  app.frmACStatus.loaded = true;
  app.g.StatusWindowOpen = true;
  RestartTimer(t.clock, app.frmACStatus.tmrMSG);
  ShowMessage(app, "first");
  t.clock.Advance(3000);
  RunDueTimers(app);
  ShowMessage(app, "second");
  ShowMessage(app, "Event: Gear down");
  t.clock.Advance(4999);
  RunDueTimers(app);
  EXPECT_EQ(app.Form1.Label7.text, "second");
  EXPECT_EQ(app.frmACStatus.lblEvent.text, "Event: Gear down");
  t.clock.Advance(1);
  RunDueTimers(app);
  EXPECT_EQ(app.Form1.Label7.text, "");
  EXPECT_EQ(app.frmACStatus.lblEvent.text, "");
  EXPECT_FALSE(app.Form1.Timer2.enabled);
  EXPECT_FALSE(app.frmACStatus.tmrMSG.enabled);
}

// A program held up for several of a timer's periods fires it once afterwards, not once for
// every period it missed (the ticks are counted by their exchanges with the simulator).
TEST(Timers, PeriodsMissedWhileHeldUpAreNotMadeUp) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  t.Tick(2);
  int sends = t.transport.sends;
  t.Tick();
  const int perTick = t.transport.sends - sends;
  ASSERT_GT(perTick, 0);
  sends = t.transport.sends;
  t.clock.Advance(5000);
  for (int i = 0; i < 5; ++i) RunDueTimers(t.app());
  EXPECT_EQ(t.transport.sends - sends, perTick);
}

TEST(Folders, BothFoldersEndWithTheirFixedTails) {
  FixedFolders folders("/home/a b/.local/share", "/home/a b/My Documents", "/opt/sky");
  EXPECT_EQ(AppDataFolder(folders), "/home/a b/.local/share/Skytrace flightlogger/");
  EXPECT_EQ(SavedTracksFolder(folders), "/home/a b/My Documents/Skytrace flightlogger files/");
  EXPECT_EQ(ProgramFolder(folders), "/opt/sky/");
  FixedFolders none("", "", "/opt/sky");
  EXPECT_THROW(AppDataFolder(none), FolderNotFound);
  EXPECT_THROW(SavedTracksFolder(none), FolderNotFound);
}

TEST(SystemHelpers, UserNameFitsTwentyFourCharacters) {
  test::FakeSystemInfo system;
  std::vector<std::string> posted;
  SentenceList board(posted);
  system.userName = std::string(24, 'x');
  EXPECT_EQ(CurrentUserName(system, board), std::string(24, 'x'));
  system.userName = std::string(25, 'x');
  EXPECT_EQ(CurrentUserName(system, board), "");
  system.userName.reset();
  EXPECT_EQ(CurrentUserName(system, board), "");
  EXPECT_EQ(posted, std::vector<std::string>(2, "Unable to get current username."));
}

}  // namespace
}  // namespace sky
