// The main window: the manual and website questions, always-on-top toggles, the tray and its
// one-time question, the visual styles, and the path when nothing opens a document.
#include <gtest/gtest.h>

#include "commands/main_window.h"
#include "core/messages.h"
#include "shell/dispatch.h"
#include "shell/startup.h"
#include "test_app.h"

namespace sky {
namespace {

using Answer = ScriptedDialogs::Answer;

using Strings = std::vector<std::string>;
using OnTopCalls = std::vector<std::pair<WindowId, bool>>;

TEST(MainWindow, ManualAndWebsiteAskFirst) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  Click(t.app(), "Form1", "btn_Manual");  // no answer: No
  t.dialogs.Queue({Answer::No});
  Click(t.app(), "Form1", "btn_Website");
  EXPECT_EQ(
      t.Shown(),
      (Strings{"Open manual: Are you sure you want to open the user's manual?",
               "Go to website: Are you sure you want to open the Skytrace flightlogger website?"}));
  EXPECT_TRUE(t.shell.opened.empty());

  t.dialogs.Queue({Answer::Yes});
  Click(t.app(), "Form1", "btn_Manual");
  const std::string manual = t.root / "program/Manual.pdf";
  EXPECT_EQ(t.shell.opened, std::vector<std::string>{manual});
  // Without a viewer for it, the full path follows.
  t.shell.opens = false;
  t.dialogs.Queue({Answer::Yes});
  Click(t.app(), "Form1", "btn_Manual");
  EXPECT_EQ(t.LastMessage(), "No program here opens " + manual + ".");

  // This build has no server address: the question stays, Yes says so.
  t.dialogs.Queue({Answer::Yes});
  Click(t.app(), "Form1", "btn_Website");
  EXPECT_EQ(t.LastMessage(), "This build of the Skytrace flightlogger has no website address.");
  EXPECT_EQ(t.shell.opened.size(), 2u);

  // With a server, the product page on it.
  t.app().serverBase = "http://127.0.0.1:8/";
  t.dialogs.Queue({Answer::Yes});
  Click(t.app(), "Form1", "btn_Website");
  ASSERT_EQ(t.shell.opened.size(), 3u);
  EXPECT_EQ(t.shell.opened.back(), "http://127.0.0.1:8/skytrace");
}

TEST(MainWindow, AlwaysOnTopTogglesPostTheirSentences) {
  struct Case {
    const char* window;
    WindowId id;
    const char *on, *off;
  } cases[] = {
      {"Form1", WindowId::Form1, "Window set always on top.", "Always on top disabled."},
      {"frmTCAS", WindowId::frmTCAS, "TCAS window set always on top.",
       "TCAS always on top disabled."},
      {"frmACStatus", WindowId::frmACStatus, "Aircraft status window set always on top.",
       "Aircraft status always on top disabled."},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    ASSERT_TRUE(t.Load());
    Click(t.app(), "Form1", "btn_TCAS");
    Click(t.app(), "Form1", "btn_indicator");
    const char* button = std::string(c.window) == "Form1" ? "btn_ToggleOnTop" : "Command1";
    Click(t.app(), c.window, button);
    Click(t.app(), c.window, button);
    EXPECT_EQ(t.windows.onTopCalls, (OnTopCalls{{c.id, true}, {c.id, false}}));
    // A window system that refuses: its sentence first, and the flag changes all the same.
    t.windows.fail = true;
    Click(t.app(), c.window, button);
    const auto messages = t.Messages();
    EXPECT_EQ(std::vector<std::string>(messages.end() - 4, messages.end()),
              (std::vector<std::string>{c.on, c.off, "Unable to set window on top.", c.on}));
  }
}

// Part of the first-minimise cases: connected or not, logging or not, the answer.
TEST(MainWindow, FirstMinimiseAsksOnceWhenConnectedAndNotLogging) {
  struct Case {
    const char* name;
    bool connected, logging;
    Answer::Kind answer;
    bool asked, loggingAfter;
  } cases[] = {
      {"connected, yes", true, false, Answer::Yes, true, true},
      {"connected, no", true, false, Answer::No, true, false},
      {"already logging", true, true, Answer::Yes, false, true},
      {"not connected", false, false, Answer::Yes, false, false},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    if (!c.connected) t.transport.windows.clear();
    ASSERT_TRUE(t.Load());
    t.Tick(2);
    if (c.logging) Click(t.app(), "Form1", "btn_startlog");
    t.dialogs.Queue({c.answer});
    ResizeMainWindow(t.app(), WindowState::Minimized);
    const Form1Controls& f = t.app().Form1;
    EXPECT_EQ(t.dialogs.shown.size(), c.asked ? 1u : 0u) << c.name;
    if (c.asked) {
      EXPECT_EQ(t.Shown(), Strings{"Logging: Start logging?"}) << c.name;
      // In front of every other window while it asks, then back out of the topmost band.
      EXPECT_EQ(t.windows.onTopCalls,
                (OnTopCalls{{WindowId::Form1, true}, {WindowId::Form1, false}}))
          << c.name;
    }
    EXPECT_EQ(t.g().LoggingOn, c.loggingAfter) << c.name;
    EXPECT_EQ(f.windowState, WindowState::Minimized) << c.name;
    EXPECT_TRUE(f.trayIcon && !f.visible) << c.name;  // in the tray either way
    EXPECT_FALSE(t.g().FirstMinimise) << c.name;

    // Restored and minimised again: never asked again in this run, even once connected.
    TrayIconMouse(t.app(), kLeftButtonUp);
    if (!c.connected) t.transport.windows = {"UIPCMAIN"};
    t.Tick();
    if (!c.loggingAfter) Click(t.app(), "Form1", "btn_stoplog");
    ResizeMainWindow(t.app(), WindowState::Minimized);
    EXPECT_EQ(t.dialogs.shown.size(), c.asked ? 1u : 0u) << c.name;
    EXPECT_TRUE(f.trayIcon && !f.visible) << c.name;
  }
}

TEST(MainWindow, TrayRestoresOnALeftOrRightButtonReleaseOnly) {
  for (const int message : {kLeftButtonUp, kRightButtonUp}) {
    test::TestApp t;
    t.transport.windows.clear();  // no question
    ASSERT_TRUE(t.Load());
    ResizeMainWindow(t.app(), WindowState::Minimized);
    const Form1Controls& f = t.app().Form1;
    for (const int ignored : {kMouseMove, 0x201, kLeftButtonDoubleClick, 0x204, 0x207}) {
      TrayIconMouse(t.app(), ignored);
      EXPECT_TRUE(f.trayIcon && !f.visible) << ignored;
    }
    TrayIconMouse(t.app(), message);
    EXPECT_EQ(f.windowState, WindowState::Normal);
    EXPECT_TRUE(f.visible && !f.trayIcon) << message;
    // The icon goes at exit.
    ResizeMainWindow(t.app(), WindowState::Minimized);
    ASSERT_TRUE(f.trayIcon);
    CloseWindow(t.app(), "Form1");
    EXPECT_FALSE(f.trayIcon);
    EXPECT_TRUE(t.app().ended);
  }
}

TEST(MainWindow, FailedVisualStylesAreSavedOffAndTheNextStartSkipsThem) {
  test::TestApp first;
  first.windows.stylesFail = true;
  EXPECT_FALSE(first.Load());
  EXPECT_TRUE(first.shell.ended);
  EXPECT_EQ(first.Shown(),
            Strings{"Skytrace flightlogger: The Skytrace flightlogger encountered an error in "
                    "intializing the interface:\nWindows XP/Vista style buttons disabled.\n\n"
                    "Please restart the Skytrace flightlogger"});
  const std::string offsets = test::ReadFile(first.DataFile("Offsets.txt"));
  EXPECT_NE(offsets.find("\r\nForceNoWinXP=True\r\n"), std::string::npos) << offsets;

  test::TestApp next;
  test::WriteFile(next.DataFile("Offsets.txt"), offsets);
  next.windows.stylesFail = true;
  EXPECT_TRUE(next.Load());
  EXPECT_EQ(next.windows.styleCalls, 0);

  test::TestApp plain;
  EXPECT_TRUE(plain.Load());
  EXPECT_EQ(plain.windows.styleCalls, 1);
}

// Nothing here opens KML files or folders: each sentence stays, and one more names the path.
TEST(MainWindow, WhenNothingOpensADocumentItsPathFollows) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  t.Tick();
  t.shell.opens = false;
  auto lastTwo = [&t] {
    const auto messages = t.Messages();
    return std::vector<std::string>(messages.end() - 2, messages.end());
  };
  Click(t.app(), "Form1", "btn_savedlogs");
  EXPECT_EQ(lastTwo(),
            (std::vector<std::string>{"Saves tracks folder opened.",
                                      "No program here opens " + t.SavedFolder() + "."}));
  Click(t.app(), "Form1", "btn_InitiateRealtime");
  EXPECT_EQ(lastTwo(), (std::vector<std::string>{
                           "Realtime network link generated, check Google Earth.",
                           "No program here opens " + t.DataFile("Skytrace Realtime.kml") + "."}));
  Click(t.app(), "Form1", "btn_startlog");
  t.Tick(3);
  t.dialogs.Queue({Answer::Text, "hop"});
  ASSERT_EQ(Click(t.app(), "Form1", "btn_Convert"), ClickResult::Done);
  EXPECT_EQ(lastTwo(),
            (std::vector<std::string>{"Tracklog converted and saved, opening Google Earth...",
                                      "No program here opens " + t.SavedFolder() +
                                          "Flightlog hop 04-12-2026 22.30.kml."}));
}

}  // namespace
}  // namespace sky
