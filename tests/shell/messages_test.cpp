// The message board's routing and clearing, the folders and the small system helpers.
#include "core/messages.h"

#include <gtest/gtest.h>

#include "shell/dispatch.h"
#include "test_app.h"

namespace sky {
namespace {

TEST(MessageBoard, EventTextsGoToTheOpenStatusWindowOnly) {
  test::TestApp t;
  App& app = t.app();
  app.Form1.Label7.text = "Logging started.";
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
  RestartTimer(app, app.frmACStatus.tmrMSG);
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

TEST(Folders, BothFoldersEndWithTheirFixedTails) {
  test::TestApp t;
  t.folders = FixedFolders("/home/a b/.local/share", "/home/a b/My Documents", "/opt/sky");
  EXPECT_EQ(AppDataFolder(t.app()), "/home/a b/.local/share/Skytrace flightlogger/");
  EXPECT_EQ(SavedTracksFolder(t.app()), "/home/a b/My Documents/Skytrace flightlogger files/");
  EXPECT_EQ(ProgramFolder(t.app()), "/opt/sky/");
  t.folders = FixedFolders("", "", "/opt/sky");
  EXPECT_THROW(AppDataFolder(t.app()), FolderNotFound);
  EXPECT_THROW(SavedTracksFolder(t.app()), FolderNotFound);
}

TEST(SystemHelpers, UserNameFitsTwentyFourCharacters) {
  test::TestApp t;
  t.system.userName = std::string(24, 'x');
  EXPECT_EQ(CurrentUserName(t.app()), std::string(24, 'x'));
  t.system.userName = std::string(25, 'x');
  EXPECT_EQ(CurrentUserName(t.app()), "");
  EXPECT_EQ(t.LastMessage(), "Unable to get current username.");
  t.system.userName.reset();
  EXPECT_EQ(CurrentUserName(t.app()), "");
}

}  // namespace
}  // namespace sky
