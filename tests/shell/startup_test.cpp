// Start-up and the sampling tick: silent reconnection, UTC time and time stamps, the connect
// button, the flight log kept or emptied at start-up.
#include "shell/startup.h"

#include <gtest/gtest.h>

#include "commands/connection.h"
#include "commands/logging.h"
#include "core/timestamp.h"
#include "fault_sweep.h"
#include "settings/offsets_file.h"
#include "shell/dispatch.h"
#include "simlink/identity.h"
#include "test_app.h"

namespace sky {
namespace {

// Reconnection once the simulator answers is part of the lost-link flow.
TEST(StartUp, WithoutSimulatorTriesSilentlyEverySecond) {
  test::TestApp t;
  t.transport.windows.clear();
  ASSERT_TRUE(t.Load());
  const Form1Controls& f = t.app().Form1;
  for (int second = 0; second < 5; ++second) {
    t.Tick();
    for (const Button* button : {&f.btn_startlog, &f.btn_stoplog, &f.btn_startAnimate,
                                 &f.btn_ToggleRealtime, &f.btn_setChase, &f.btn_setOverview}) {
      EXPECT_FALSE(button->enabled) << second;
    }
    EXPECT_EQ(f.lblConnect.text, "Not connected");
    EXPECT_EQ(f.lblConnect.color, kRed);
  }
  EXPECT_TRUE(t.dialogs.shown.empty());
  EXPECT_EQ(t.Messages().size(), 2u);     // the reset of the empty log, the greeting
  EXPECT_TRUE(t.http.requested.empty());  // no server configured: nothing is sent
}

TEST(StartUp, UtcTimeRoundsTheBiasToWholeHoursHalvesToEven) {
  struct Case {
    TimeZoneInfo zone;
    int localHour;
    const char* utc;
  } cases[] = {
      {{-60, 0, 0, false}, 0, "2330"},    // the day before: only the time counts
      {{30, 0, 0, false}, 10, "1030"},    // half an hour: 0.5 rounds to 0
      {{90, 0, 0, false}, 10, "1230"},    // 1.5 rounds to 2
      {{-330, 0, 0, false}, 10, "0430"},  // India: -5.5 rounds to -6
      {{-60, 0, -60, true}, 12, "1030"},  // daylight bias counts while active
      {{-60, 0, -60, false}, 12, "1130"},
      {{-60, 15, -60, false}, 12, "1130"},  // 75 minutes: 1.25 rounds to 1
  };
  for (const Case& c : cases) {
    test::TestApp t({.start = {2026, 12, 4, c.localHour, 30, 0}});
    t.clock.SetTimeZone(c.zone);
    EXPECT_EQ(GetUtcTime(t.clock), c.utc) << c.zone.biasMinutes << " at " << c.localHour;
  }
  // The clock label blinks: "hh:mm" and "hh mm" on successive ticks.
  test::TestApp clock({.zoneBiasMinutes = -60});
  ASSERT_TRUE(clock.Load());
  for (const char* shown : {"21:30z", "21 30z", "21:30z"}) {
    clock.Tick();
    EXPECT_EQ(clock.app().Form1.Label9.text, shown);
  }
  // A time stamp is the UTC date and time: the date rolls back or on with the time.
  const struct {
    LocalDateTime local;
    int bias;
    const char* stamp;
  } stamps[] = {
      {{2026, 12, 5, 0, 30, 7}, -60, "20261204233007"},    // east, after local midnight
      {{2026, 12, 31, 20, 0, 59}, 300, "20270101010059"},  // west, into the new year
      {{2028, 2, 28, 23, 15, 0}, 60, "20280229001500"},    // a leap day
      {{2026, 12, 5, 12, 0, 0}, 0, "20261205120000"},
  };
  for (const auto& c : stamps) {
    test::TestApp t({.start = c.local, .zoneBiasMinutes = c.bias});
    EXPECT_EQ(Timestamp(t.clock), c.stamp) << c.stamp;
  }
}

// A log whose last whole record is at most an hour old is kept, whatever its line ends; a line
// that cannot be read (a crash's NUL bytes where a stamp begins) never empties the logs. The age
// counts in UTC: around local midnight a log written minutes before is continued, and one written
// a day before is emptied, on either side of Greenwich.
TEST(StartUp, RecentLogIsContinuedAndAnOldOneEmptied) {
  const std::string sa = ":4.5:52.3:0:1:SA:0:0:0:0:0:0:-\r\n";
  const std::string damaged = std::string(3, '\0') + "61204222000:4.5:52.3:0:1::0:0:0:0:0:0:-\r\n";
  struct Case {
    std::string log;
    bool kept;
    LocalDateTime start = {2026, 12, 4, 22, 30, 15};
    int bias = 0;
  } cases[] = {
      {"20261204213100" + sa, true},                               // 59 minutes old
      {"20261204213000" + sa, true},                               // exactly one hour
      {"20261204212900" + sa, false},                              // 61 minutes
      {"20261203223000" + sa, false},                              // yesterday
      {"20261204223000:1\r\n\r\n20261204213000:2\r\n\r\n", true},  // last non-empty line
      {"20261204233000" + sa, true},                               // in the future
      {"20261204200000:8:50:0:1::0:0:0:0:0:0:-\n20261204223000:8:50:0:1::0:0:0:0:0:0:-\n", true},
      {"20261204200000:8:50:0:1::0:0:0:0:0:0:-\r20261204223000:8:50:0:1::0:0:0:0:0:0:-\r", true},
      {"", false},
      {"20261204222000" + sa + damaged, true},
      {"20261204200000" + sa + damaged, false},  // 2 1/2 h
      {damaged, true},
      {"garbage\r\n", true},
      {"20261340223000:x\r\n", true},                                 // month 13
      {"20261204225500" + sa, true, {2026, 12, 5, 0, 2, 0}, -60},     // east: local 00:02 next day
      {"20261204233000" + sa, false, {2026, 12, 5, 19, 10, 0}, 300},  // west: a day and 40 minutes
      {"20261204233000" + sa, true, {2026, 12, 4, 19, 20, 0}, 300},   // west: past UTC midnight
  };
  for (const Case& c : cases) {
    test::TestApp t({.start = c.start, .zoneBiasMinutes = c.bias});
    test::WriteFile(t.DataFile("Flightlog.txt"), c.log);
    test::WriteFile(t.DataFile("Animation.txt"), "replay\r\n");
    ASSERT_TRUE(t.Load());
    EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), c.kept ? c.log : "") << c.log;
    EXPECT_EQ(test::FileExists(t.DataFile("Animation.txt")), c.kept) << c.log;
    EXPECT_TRUE(t.dialogs.shown.empty()) << c.log;  // never asked at start-up
  }
}

// Start-up with any file operation refused, a full disk or a kill: it runs, or ends saying why;
// the settings file and the log are old or new, whole, and the next start-up runs with what they
// hold. (Settings that could not be read are saved back as the standard values, as said.)
TEST(StartUp, AnyFaultLeavesWholeFilesAndTheNextStartUpRuns) {
  const std::string settings = "ChaseTilt=77\r\n";
  const std::string log = "20261204222000:4.5:52.3:0:1:SA:0:0:0:0:0:0:-\r\n";
  test::SweepFaults([&](test::FaultShot& shot) {
    test::TestApp t;
    test::WriteFile(t.DataFile("Offsets.txt"), settings);
    test::WriteFile(t.DataFile("Flightlog.txt"), log);
    t.files.Arm(shot);
    const bool runs = t.Load();
    const auto said = t.Messages();
    EXPECT_TRUE(runs || !said.empty() || !t.dialogs.shown.empty());  // an end is said
    const bool loaded = std::find(said.begin(), said.end(),
                                  "Unable to load variables, try re-installing the Skytrace "
                                  "flightlogger.") == said.end();
    if (runs && loaded && shot.kind != test::FaultShot::Kill) {
      EXPECT_EQ(t.app().params.ChaseTilt, 77);  // the session keeps the user's settings
    }
    const std::string saved = test::ReadFile(t.DataFile("Offsets.txt"));
    EXPECT_TRUE(saved == settings || (saved.ends_with("\r\nUpdate=True\r\n") &&
                                      std::count(saved.begin(), saved.end(), '\n') == 29))
        << saved;
    const std::string kept = test::ReadFile(t.DataFile("Flightlog.txt"));
    EXPECT_TRUE(kept == log || kept.empty()) << kept;
    t.Restart();
    ASSERT_TRUE(t.Load());
    EXPECT_EQ(t.app().params.ChaseTilt, saved.find("ChaseTilt=70") == std::string::npos ? 77 : 70);
    EXPECT_EQ(test::ReadFile(t.DataFile("Flightlog.txt")), kept);
  });
}

// The reset and convert buttons are enabled while the log has records.
TEST(StartUp, LogHasRecordsLooksAtTheFirstFiveLines) {
  struct Case {
    const char* log;  // null: no file
    bool records;
  } cases[] = {
      {nullptr, false},
      {"", false},
      {"a\r\n", true},
      {"\r\n", false},
      {"a\r\nb\r\nc\r\nd\r\n\r\nf\r\n", false},  // the fifth line is empty
      {"a\r\nb\r\nc\r\nd\r\ne\r\n\r\n", true},
      {"a\r\n\r\n\r\n", false},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    ASSERT_TRUE(t.Load());
    if (c.log) test::WriteFile(t.DataFile("Flightlog.txt"), c.log);
    if (!c.log) t.g().FlightLogPath = t.DataFile("none.txt");
    t.Tick();
    const Form1Controls& f = t.app().Form1;
    EXPECT_EQ(std::pair(f.btn_resetlog.enabled, f.btn_Convert.enabled),
              std::pair(c.records, c.records))
        << (c.log ? c.log : "no file");
  }
}

TEST(ConnectButton, ReportsTheLinkResultCode) {
  test::TestApp t;
  t.transport.windows.clear();
  ASSERT_TRUE(t.Load());
  App& app = t.app();
  app.g.TcasMode = 3;
  app.g.TcasWindowOpen = true;
  app.frmTCAS.Label11.text = "NRM";
  ASSERT_EQ(Click(app, "Form1", "Command1"), ClickResult::Done);
  EXPECT_EQ(t.Shown(), std::vector<std::string>{
                           "Connection failure: Connection failed, please make sure your FS is "
                           "running and you installed FSUIPC (or XPUIPC for X-Plane) correctly."
                           "\n\nError code: 2"});
  EXPECT_EQ(app.g.TcasMode, 0);
  EXPECT_EQ(app.frmTCAS.Label11.text, "OFF");
  EXPECT_EQ(app.Form1.lblConnect.text, "Not connected");

  // A simulator connects and is read at once; pressing again shows nothing.
  t.transport.windows = {"UIPCMAIN"};
  const uint64_t before = t.simulator.AreasHandled();
  Click(app, "Form1", "Command1");
  EXPECT_TRUE(app.g.Connected);
  EXPECT_EQ(app.Form1.lblConnect.text, "Connected");
  EXPECT_GT(t.simulator.AreasHandled(), before + 1);  // handshake, then a tick's read
  Click(app, "Form1", "Command1");
  EXPECT_EQ(t.dialogs.shown.size(), 1u);

  // The simulator's name: X-Plane whatever the code says, else the code's name.
  EXPECT_EQ(GetSimulatorName(app.link, app.g.Connected), "FSX");
  EXPECT_EQ(SimulatorNameOf(9), "? 9");
  t.simulator.Put<uint16_t>(0x6FFF, 1);
  EXPECT_EQ(GetSimulatorName(app.link, app.g.Connected), "X-Plane");
}

// A second copy of the program asks the first to the front and ends, saying so; the first comes
// back from the tray as a click on the icon would bring it.
TEST(SingleCopy, ASecondCopyAsksTheFirstToTheFrontAndEnds) {
  struct FakeInstance final : SingleInstance {
    bool free = true, reachable = true;
    bool Claim() override { return free; }
    bool AskRunningCopyToFront() override { return reachable; }
  };
  const std::string running = "Skytrace flightlogger: The Skytrace flightlogger is already running";
  const std::string hidden = running + ": look for it on the task bar or in the notification area.";
  struct Case {
    bool free, reachable, starts;
    std::vector<std::string> shown;
  } cases[] = {
      {true, true, true, {}},
      {false, true, false, {running + "."}},
      {false, false, false, {hidden}},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    FakeInstance instance;
    instance.free = c.free;
    instance.reachable = c.reachable;
    EXPECT_EQ(StartOnlyCopy(instance, t.dialogs), c.starts);
    EXPECT_EQ(t.Shown(), c.shown);
  }

  test::TestApp first;
  ASSERT_TRUE(first.Load());
  Form1Controls& form = first.app().Form1;
  ResizeMainWindow(first.app(), WindowState::Minimized);
  ASSERT_FALSE(form.visible);
  ComeToFront(first.app());
  EXPECT_TRUE(form.visible && !form.trayIcon && form.windowState == WindowState::Normal);
  EXPECT_EQ(form.frontRequests, 1);
}

}  // namespace
}  // namespace sky
