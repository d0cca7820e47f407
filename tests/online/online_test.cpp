// The online services on the HTTP fake: the version file and announcements, the update check and
// updater, the X-Plane module, the usage report and the system's short name.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fault_sweep.h"
#include "online/downloads.h"
#include "online/online.h"
#include "online/updates.h"
#include "online/xplane_module.h"
#include "settings/offsets_file.h"
#include "shell/dispatch.h"
#include "test_app.h"

namespace sky {
namespace {

const std::string kBase = "http://skytrace.test";
using Answer = ScriptedDialogs::Answer;

// A program on fakes whose server is kBase.
struct Online : test::TestApp {
  Online() {
    app().serverBase = kBase;
    test::WriteFile(DataFile("Offsets.txt"), "");
  }
  void Serve(const std::string& path, const std::string& text) { http.texts[kBase + path] = text; }
  std::string Program(const std::string& name) { return root / ("program/" + name); }
  std::string Version() { return std::to_string(static_cast<int>(ProgramVersionNumber())); }
  UpdateResult CheckUpdates() {
    return CheckForUpdates(UpdateCheckOf(app(), ServerOf(app()), DataFolder()));
  }
  void XPlane(bool forceYes) {
    const WebServer server = ServerOf(app());
    const SettingsFile settings = SettingsOf(app());
    CheckXPlane(XPlaneInstallerOf(app(), server, settings), app().params, forceYes);
  }
  void XPlaneModule() {
    const WebServer server = ServerOf(app());
    const SettingsFile settings = SettingsOf(app());
    CheckXPUIPCVersion(XPlaneInstallerOf(app(), server, settings), app().params);
  }
};

TEST(VersionFile, KeysAtTheLineStartValuesAfterTheFirstEqualsTheLastLineWins) {
  const VersionFile file = ParseVersionFile(
      "MinVer=10203\r\nMajVer=abc\r\nMajVer=10000\r\nMajVer=x\r\n MessageAll=not at the start\r\n"
      "MessageAll=a=b\r\nMessageUAll=first\r\nMessageUAll=second\r\nUpdateVer= 7 \r\n"
      "Unknown=1\r\nMessageNotUpdate=one\nMinVer=99999\r\nMessageUpdateOn=see Updater=here\r\n"
      "Updater=http://x/u=<app>Updater.exe\r\n");
  EXPECT_EQ(file.MinVer, 10203);
  EXPECT_EQ(file.MajVer, 10000);  // a value that is no number is skipped
  EXPECT_EQ(file.UpdateVer, 7);
  EXPECT_EQ(file.MessageAll, "a=b");
  EXPECT_EQ(file.MessageUAll, "second");
  EXPECT_EQ(file.MessageNotUpdate, "one\nMinVer=99999");            // lines end at CR LF only
  EXPECT_EQ(file.updaterLine, "MessageUpdateOn=see Updater=here");  // "Updater=" anywhere
  EXPECT_EQ(ParseVersionFile("").MinVer, 0);
}

TEST(Announcements, ExactlyOneBranchForEverybodyAndOneForAnUpdate) {
  struct Case {
    std::vector<const char*> set;  // the keys given a text (the text is the key's name)
    bool update, minUpdate;
    const char* shown;
  } cases[] = {
      {{"All", "UpdateOn", "NotUpdate", "MinUpdate", "MajUpdate"}, true, true, "All"},
      {{"All", "NotUpdate"}, false, false, "All"},
      {{"UpdateOn", "MinUpdate", "MajUpdate"}, true, true, "UpdateOn"},
      {{"MinUpdate", "MajUpdate"}, true, false, "MajUpdate"},
      {{"MinUpdate", "MajUpdate", "NotUpdate"}, true, true, "MinUpdate"},
      {{"MajUpdate"}, true, true, ""},
      {{"NotUpdate", "UpdateOn", "MinUpdate"}, false, true, "NotUpdate"},
      {{"UpdateOn", "MinUpdate"}, false, true, ""},
  };
  for (const Case& c : cases) {
    std::string general, forUpdate;
    for (const char* key : c.set) {
      general += std::string("Message") + key + "=" + key + "\r\n";
      forUpdate += std::string("MessageU") + key + "=" + key + "\r\n";
    }
    EXPECT_EQ(GeneralAnnouncement(ParseVersionFile(general), c.update, c.minUpdate), c.shown)
        << general;
    EXPECT_EQ(UpdateAnnouncement(ParseVersionFile(forUpdate), c.update, c.minUpdate), c.shown)
        << forUpdate;
  }
}

TEST(UpdateCheck, ThresholdAgainstOurVersionThenTheUpdaterStartsAndTheProgramEnds) {
  const std::string news = "Message: news", on = "Message: update on",
                    noUpdater =
                        "Skytrace flightlogger: The updater could not be found, please "
                        "re-install the Skytrace flightlogger.",
                    unstartable = noUpdater + "\r\n\r\nThe updater is @Updater.exe.";
  struct Case {
    int minAbove, majAbove;  // MinVer and MajVer relative to our own number
    bool update, minUpdate, updaterThere;
    std::vector<std::string> shown;
    bool started;
  } cases[] = {
      {0, 0, true, true, true, {news}, false},  // equal: no update
      {-5, 9, true, true, true, {news}, false},
      {1, 0, true, true, true, {news, on}, true},
      {0, 1, true, false, true, {news, on}, true},
      {1, 0, true, false, true, {news}, false},  // major updates only
      {1, 1, false, true, true, {news, "Message: update off"}, false},
      {1, 1, true, true, false, {news, on, noUpdater}, false},
      // There, but it cannot be started: said with its path, and the program ends as for the
      // update.
      {1, 1, true, true, true, {news, on, unstartable}, true},
  };
  for (const Case& c : cases) {
    Online t;
    const int own = static_cast<int>(ProgramVersionNumber());
    t.Serve("/SkytraceVersion.txt",
            "MessageAll=news\r\nMinVer=" + std::to_string(own + c.minAbove) +
                "\r\nMajVer=" + std::to_string(own + c.majAbove) +
                "\r\nMessageUUpdateOn=update on\r\nMessageUNotUpdate="
                "update off\r\n");
    if (c.updaterThere) test::WriteFile(t.Program("Updater.exe"), "MZ");
    t.app().params.Update = c.update;
    t.app().params.MinUpdate = c.minUpdate;
    const bool opens = c.shown.back() != unstartable;
    t.shell.opens = opens;
    const UpdateResult result = t.CheckUpdates();
    const std::string label = std::to_string(c.minAbove) + "/" + std::to_string(c.majAbove);
    std::vector<std::string> shown = c.shown;
    if (!opens) shown.back().replace(shown.back().find('@'), 1, t.Program(""));
    EXPECT_EQ(t.Shown(), shown) << label;
    EXPECT_EQ(result == UpdateResult::ProgramEnds, c.started) << label;
    EXPECT_EQ(t.shell.opened, c.started ? std::vector<std::string>{t.Program("Updater.exe")}
                                        : std::vector<std::string>{})
        << label;
  }
}

TEST(UpdateCheck, StartUpEndsTheProgramForTheUpdaterAndRunsOnWithoutAServer) {
  Online t;
  t.Serve("/Bulletin.txt", "1");
  t.Serve("/SkytraceVersion.txt", "MinVer=" + std::to_string(ProgramVersionNumber() + 1));
  test::WriteFile(t.Program("Updater.exe"), "MZ");
  // The window shows before the update check asks the server for the version file.
  bool shownFirst = false;
  t.http.onRequest = [&t, &shownFirst](const std::string& url) {
    if (url.ends_with("/SkytraceVersion.txt")) {
      shownFirst = t.app().Form1.visible && t.windows.redraws > 0;
    }
  };
  EXPECT_FALSE(t.Load());
  EXPECT_TRUE(shownFirst);
  EXPECT_TRUE(t.shell.ended);
  EXPECT_TRUE(t.app().ended);
  EXPECT_EQ(t.http.requested.size(), 2u);  // no tick, so no report

  for (const char* bulletin : {"0", "1\r\n", ""}) {  // "1" alone, or no update check
    Online off;
    off.Serve("/Bulletin.txt", bulletin);
    off.Serve("/SkytraceVersion.txt", "MessageAll=news");
    EXPECT_TRUE(off.Load());
    EXPECT_TRUE(off.dialogs.shown.empty()) << bulletin;
  }
}

// The target is only an updater program in the program's folder (or a folder of its own there):
// never a log, the settings, the snippets or the program itself, nothing outside.
TEST(UpdaterRefresh, WritesOnlyAnUpdaterProgramInTheProgramFolder) {
  struct Case {
    const char* target;   // after "Updater=http://skytrace.test/u.bin="
    const char* written;  // under the test's root; null: refused
  } cases[] = {
      {"<app>Updater.exe", "program/Updater.exe"},
      {"<app>Updater/Setup.EXE", "program/Updater/Setup.EXE"},
      {"<app>sub/../Updater.exe", "program/Updater.exe"},
      {"<app>\\Updater.exe", "program/Updater.exe"},
      {"<user>Updater.exe", nullptr},
      {"<user>Flightlog.txt", nullptr},
      {"<user>Offsets.txt", nullptr},
      {"<app>KMLSettings.txt", nullptr},
      {"<app>skytrace.exe", nullptr},
      {"<app>Skytrace-Demo.exe", nullptr},
      {"<app>Updater", nullptr},
      {"<app>Updater.exe.txt", nullptr},
      {"<app>.exe", nullptr},
      {"<app>con.exe", nullptr},
      {"<app>Updater/deeper/Updater.exe", nullptr},
      {"<app>../Updater.exe", nullptr},
      {"<user>../../program/../elsewhere/Updater.exe", nullptr},
      {"@elsewhere/Updater.exe", nullptr},  // "@" is the test's root: absolute elsewhere
      {"^program/Updater.exe", nullptr},    // "^": the root, from above the file system's
      {"Updater.exe", nullptr},
      {"C:\\Windows\\Updater.exe", nullptr},
      {"\\\\server\\share\\Updater.exe", nullptr},
      {"//server/share/Updater.exe", nullptr},
      {"<app>", nullptr},
      {"<app>outside/Updater.exe", nullptr},  // a link to elsewhere/
      {"<app>Linked.exe", nullptr},           // a link to elsewhere/Linked.exe
      {"<app>Updater.exe\x01", nullptr},
  };
  for (const Case& c : cases) {
    Online t;
    std::filesystem::create_directories(t.root / "elsewhere");
    std::filesystem::create_directory_symlink(t.root / "elsewhere", t.Program("outside"));
    test::WriteFile(t.root / "elsewhere/Linked.exe", "old");
    std::filesystem::create_symlink(t.root / "elsewhere/Linked.exe", t.Program("Linked.exe"));
    std::filesystem::create_directories(t.Program("Updater/deeper"));
    for (const char* name : {"Flightlog.txt", "Offsets.txt"}) test::WriteFile(t.DataFile(name), "");
    std::string target = c.target;
    if (target[0] == '@') target = t.root.path() + "/" + target.substr(1);
    if (target[0] == '^') target = "/../.." + t.root.path() + "/" + target.substr(1);
    t.Serve("/SkytraceVersion.txt",
            "UpdateVer=1\r\nUpdater=" + kBase + "/u.bin=" + target + "\r\nUpdater=x=<app>other");
    t.Serve("/u.bin", "new updater");
    t.CheckUpdates();
    const bool fetched =
        std::count(t.http.requested.begin(), t.http.requested.end(), kBase + "/u.bin") == 1;
    EXPECT_EQ(fetched, c.written != nullptr) << c.target;  // nothing fetched for a refused one
    if (c.written) {
      EXPECT_EQ(test::ReadFile(t.root / c.written), "new updater") << c.target;
    }
    EXPECT_EQ(test::ReadFile(t.root / "elsewhere/Linked.exe"), "old") << c.target;
    EXPECT_FALSE(test::FileExists(t.root / "elsewhere/Updater.exe")) << c.target;
    EXPECT_EQ(
        test::ReadFile(t.DataFile("Flightlog.txt")) + test::ReadFile(t.DataFile("Offsets.txt")), "")
        << c.target;
  }
}

// A portable install keeps its data folder in the program folder: an updater is never written
// into it, not even where an updater of the program folder could be.
TEST(UpdaterRefresh, NeverIntoADataFolderInsideTheProgramFolder) {
  Online t;
  const std::string data = t.Program("Skytrace flightlogger/");
  std::filesystem::create_directories(data);
  t.Serve("/SkytraceVersion.txt",
          "UpdateVer=1\r\nUpdater=" + kBase + "/u.bin=" + data + "Updater.exe");
  t.Serve("/u.bin", "new updater");
  CheckForUpdates(UpdateCheckOf(t.app(), ServerOf(t.app()), data));
  EXPECT_FALSE(test::FileExists(data + "Updater.exe"));
  t.Serve("/SkytraceVersion.txt", "UpdateVer=1\r\nUpdater=" + kBase + "/u.bin=<app>Updater.exe");
  CheckForUpdates(UpdateCheckOf(t.app(), ServerOf(t.app()), data));
  EXPECT_EQ(test::ReadFile(t.Program("Updater.exe")), "new updater");
}

// A download goes to a temporary file renamed into place once whole: whatever fault hits it, the
// updater is the earlier one or the new one, and no temporary file outlives the next start-up.
TEST(UpdaterRefresh, TheEarlierUpdaterStaysUntilTheNewOneIsWhole) {
  test::SweepFaults([](test::FaultShot& shot) {
    Online t;
    test::WriteFile(t.Program("Updater.exe"), "old updater");
    test::WriteFile(t.Program("Updater.exe.tmp"), "left by a kill");
    t.Serve("/SkytraceVersion.txt", "UpdateVer=1\r\nUpdater=" + kBase + "/u.bin=<app>Updater.exe");
    t.Serve("/u.bin", "new updater");
    t.files.Arm(shot);
    t.CheckUpdates();
    if (shot.kind == test::FaultShot::None) {
      EXPECT_EQ(test::ReadFile(t.Program("Updater.exe")), "new updater");
    }
    t.Restart();
    ASSERT_TRUE(t.Load());
    const std::string updater = test::ReadFile(t.Program("Updater.exe"));
    EXPECT_TRUE(updater == "old updater" || updater == "new updater") << updater;
    EXPECT_FALSE(test::FileExists(t.Program("Updater.exe.tmp")));
  });
}

TEST(UpdaterRefresh, OnlyANewerUpdaterIsFetchedAndAnEqualsInTheUrlEndsIt) {
  struct Case {
    const char* updateVer;
    bool updaterVersioned;  // Updater.exe carries version 1.2.0.3 (10203)
    bool fetched;
  } cases[] = {
      {"10203", true, false}, {"10204", true, true}, {"1", false, true}, {"0", false, false}};
  for (const Case& c : cases) {
    Online t;
    if (c.updaterVersioned) t.system.versions[t.Program("Updater.exe")] = FileVersion{1, 2, 0, 3};
    t.Serve("/SkytraceVersion.txt", std::string("UpdateVer=") + c.updateVer +
                                        "\r\nUpdater=" + kBase + "/get?file=<app>Updater.exe");
    t.Serve("/get?file", "bytes");
    t.CheckUpdates();
    EXPECT_EQ(test::FileExists(t.Program("Updater.exe")), c.fetched) << c.updateVer;
    if (c.fetched) {
      EXPECT_EQ(test::ReadFile(t.Program("Updater.exe")), "bytes");
    }
  }
}

TEST(XPlane, TheFirstRunQuestionAndTheFolderDialog) {
  const std::string locate = "Locate plugins folder...";
  struct Case {
    const char* xpuipc;
    bool xplane, forceYes;
    std::vector<Answer> answers;
    std::vector<std::string> titles;  // of the dialogs shown
    bool xplaneAfter;
    const char* pathAfter;  // under the test's root, or "" for unchanged
    const char* xpuipcAfter;
  } cases[] = {
      {"0", false, false, {}, {}, false, "", "0"},  // answered No once: never asked again
      {"", true, false, {}, {}, true, "", ""},
      {"", false, false, {{Answer::No}}, {"X-Plane?"}, false, "", "0"},
      {"", false, false, {{Answer::Cancel}}, {"X-Plane?"}, false, "", "0"},
      {"",
       false,
       false,
       {{Answer::Yes}, {Answer::Ok}, {Answer::Text, "@xp/plugins/any.txt"}},
       {"X-Plane?", locate, "file", "Skytrace flightlogger"},
       true,
       "xp/plugins/",
       ""},
      {"0",
       false,
       true,
       {{Answer::Ok}, {Answer::Text, "@xp/plugins/x"}},
       {locate, "file", "Skytrace flightlogger"},
       true,
       "xp/plugins/",
       "0"},
      {"1.2.0", false, true, {}, {locate, "file"}, false, "", "1.2.0"},
  };
  for (const Case& c : cases) {
    Online t;
    LoggingParameters& p = t.app().params;
    p.XPUIPC = c.xpuipc;
    p.XPlane = c.xplane;
    p.XPlanePath = "before";
    for (Answer a : c.answers) {
      if (a.kind == Answer::Text) a.text = t.root.path() + "/" + a.text.substr(1);
      t.dialogs.Queue(a);
    }
    t.XPlane(c.forceYes);
    std::vector<std::string> titles;
    for (const auto& s : t.dialogs.shown) titles.push_back(s.kind == "file" ? "file" : s.title);
    EXPECT_EQ(titles, c.titles) << c.xpuipc << c.forceYes;
    EXPECT_EQ(p.XPlane, c.xplaneAfter);
    EXPECT_EQ(p.XPlanePath, *c.pathAfter ? t.root.path() + "/" + c.pathAfter : "before");
    EXPECT_EQ(p.XPUIPC, c.xpuipcAfter);
    const std::string saved = test::ReadFile(t.DataFile("Offsets.txt"));
    const bool changed = c.xpuipcAfter != std::string(c.xpuipc) || *c.pathAfter;
    EXPECT_EQ(saved, changed ? FormatLoggingParameters(p) : "") << c.xpuipc << c.forceYes;
  }
  Online t;
  t.dialogs.Queue({Answer::Yes});
  t.app().params.XPUIPC = "";
  t.XPlane(false);
  ASSERT_EQ(t.dialogs.shown.size(), 3u);  // the question, the folder box, the cancelled dialog
  EXPECT_EQ(t.dialogs.shown[0].text,
            "Thank you for downloading the Skytrace flightlogger!!\r\n\r\nAre you planning to use "
            "the Skytrace flightlogger with X-Plane (if you don't know what this means, click "
            "No)?");
  EXPECT_EQ(t.dialogs.shown[1].text,
            "You will now be asked to locate the X-Plane plugins folder, in this folder the "
            "essential XPUIPC module will be installed which allowes a connection between the "
            "Skytrace and X-Plane.\r\nThis folder is typically located at "
            "C:\\X-Plane\\Resources\\Plugins.\r\n\r\nTo locate the folder, open any file inside "
            "the folder.");
}

// XPUIPC is a Windows module: elsewhere the folder is recorded, the boxes and the options dialog
// say so, and nothing is fetched.
TEST(XPlane, ElsewhereTheFolderIsRecordedAndNothingDownloaded) {
  Online t;
  t.system.os = OsVersion{0, 0, 0, "Linux"};
  t.Serve("/XPUIPCVersion.txt", "1.3.0");
  t.Serve("/XPUIPC.txt", "plug-in");
  test::WriteFile(t.root / "xp/plugins/X-Plane", "no extension");
  t.dialogs.Queue({Answer::Ok});
  t.dialogs.Queue({Answer::Text, t.root / "xp/plugins/X-Plane"});
  t.XPlane(true);
  t.XPlaneModule();
  const std::string note =
      "This build records the folder but installs no XPUIPC module: on Linux, skytrace-sim "
      "--xplane connects X-Plane to the Skytrace.";
  EXPECT_EQ(t.Shown(),
            (std::vector<std::string>{
                "Locate plugins folder...: You will now be asked to locate the X-Plane plugins "
                "folder. " +
                    note +
                    "\r\nThis folder is typically located at ~/X-Plane 12/Resources/plugins."
                    "\r\n\r\nTo locate the folder, open any file inside the folder.",
                "Locate the X-Plane plugins folder...: ",
                "Skytrace flightlogger: Thank you, the X-Plane plugins folder is recorded.\r\n\r\n"
                "For more information see the Manual."}));
  EXPECT_EQ(t.app().params.XPlanePath, t.root / "xp/plugins/");
  EXPECT_TRUE(t.http.requested.empty());
  EXPECT_FALSE(test::FileExists(t.root / "xp/plugins/XPUIPC.xpl"));
  ASSERT_EQ(Click(t.app(), "Form1", "btn_Options"), ClickResult::Done);
  EXPECT_EQ(t.app().frmOptions.lblXPlaneNote.text, note);
}

TEST(XPlane, DisplayVersion) {
  const std::pair<const char*, const char*> cases[] = {
      {"1.3.0", "V1.3.0"}, {"1.3.0.7", "V1.3.0"}, {"01.03.00", "V1.3.0"}, {"2", "V2.0.0"},
      {"1.x.3", "V1.0.3"}, {"1.5b.2", "V1.5.2"},  {"", "V0.0.0"},         {"-1.2.3", "V-1.2.3"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(XpuipcDisplayVersion(text), shown) << text;
}

TEST(XPlane, ModuleDownloadsIntoThePluginsFolder) {
  const std::string success = "\r\n\r\nXPUIPC module update was successful.";
  const std::string failure =
      "Was not able to download and/or install new version of the XPUIPC module.";
  struct Case {
    const char* installed;
    const char* offered;   // null: the version fetch fails
    const char* fault;     // a fault: "noplugin", "nosep", "link", "notxplane"
    std::string box;       // "" for none
    const char* after;     // XPUIPC afterwards
    bool plugin, offsets;  // written
  } cases[] = {
      {"1.3.0", "1.3.0", "", "", "1.3.0", false, false},
      {"1.2.0", "1.3.0", "", "Updated from V1.2.0 to V1.3.0." + success, "1.3.0", true, true},
      {"", "1.3.0", "", "Updated from none to V1.3.0." + success, "1.3.0", true, false},
      {"0", "1.3.0.7\r\n", "", "Updated from V0.0.0 to V1.3.0." + success, "1.3.0.7", true, true},
      {"1.3.0", "1.3.0.7", "", "Updated from V1.3.0 to V1.3.0." + success, "1.3.0.7", true, true},
      {"1.2.0", "", "", "", "1.2.0", false, false},
      {"1.2.0", "\r\n1.3.0", "", "", "1.2.0", false, false},
      {"1.2.0", nullptr, "", failure, "1.2.0", false, false},
      {"1.2.0", "1,3", "", failure, "1.2.0", false, false},
      {"1.2.0", "1.3.0", "noplugin", failure, "1.2.0", false, false},
      {"1.2.0", "1.3.0", "nosep", failure, "1.2.0", false, false},
      {"1.2.0", "1.3.0", "link", failure, "1.2.0", false, false},
      {"1.2.0", "1.3.0", "notxplane", "", "1.2.0", false, false},
  };
  for (const Case& c : cases) {
    Online t;
    const std::string label =
        std::string(c.installed) + " " + (c.offered ? c.offered : "-") + " " + c.fault;
    const std::string plugins = t.root / "xp/plugins/";
    std::filesystem::create_directories(plugins);
    std::filesystem::create_directories(t.root / "elsewhere");
    LoggingParameters& p = t.app().params;
    p.XPlane = std::string(c.fault) != "notxplane";
    p.XPlanePath = std::string(c.fault) == "nosep" ? t.root / "xp/plugins" : plugins;
    p.XPUIPC = c.installed;
    if (c.offered) t.Serve("/XPUIPCVersion.txt", c.offered);
    if (std::string(c.fault) != "noplugin") t.Serve("/XPUIPC.txt", "plug-in");
    t.Serve("/XPUIPCOffsets.txt", "offsets");
    if (std::string(c.fault) == "link") {
      std::filesystem::create_symlink(t.root / "elsewhere/XPUIPC.xpl", plugins + "XPUIPC.xpl");
    }
    t.XPlaneModule();
    EXPECT_EQ(t.Shown(), c.box.empty()
                             ? std::vector<std::string>{}
                             : std::vector<std::string>{"Skytrace flightlogger: " + c.box})
        << label;
    EXPECT_EQ(p.XPUIPC, c.after) << label;
    EXPECT_EQ(test::ReadFile(plugins + "XPUIPC.xpl"), c.plugin ? "plug-in" : "") << label;
    EXPECT_EQ(test::ReadFile(plugins + "XPUIPCOffsets.cfg"), c.offsets ? "offsets" : "") << label;
    EXPECT_FALSE(test::FileExists(t.root / "elsewhere/XPUIPC.xpl")) << label;
    EXPECT_FALSE(test::FileExists(t.root / "xp/pluginsXPUIPC.xpl")) << label;
    const std::string saved = test::ReadFile(t.DataFile("Offsets.txt"));
    EXPECT_EQ(saved.find("XPUIPC=" + std::string(c.after) + "\r\n") != std::string::npos, c.plugin)
        << label;
  }
}

// Whatever fault hits the module's download, each of its files is the old one or the new one,
// whole, and no temporary file stays; the new version is recorded once both files are in place,
// and a failure is said.
TEST(XPlane, AnyFaultLeavesTheOldModuleOrTheNewOne) {
  test::SweepFaults(
      [](test::FaultShot& shot) {
        Online t;
        const std::string plugins = t.root / "xp/plugins/";
        test::WriteFile(plugins + "XPUIPC.xpl", "old plug-in");
        test::WriteFile(plugins + "XPUIPCOffsets.cfg", "old offsets");
        LoggingParameters& p = t.app().params;
        p.XPlane = true;
        p.XPlanePath = plugins;
        p.XPUIPC = "1.2.0";
        t.Serve("/XPUIPCVersion.txt", "1.3.0");
        t.Serve("/XPUIPC.txt", "plug-in");
        t.Serve("/XPUIPCOffsets.txt", "offsets");
        t.files.Arm(shot);
        t.XPlaneModule();
        const std::string plugin = test::ReadFile(plugins + "XPUIPC.xpl");
        EXPECT_TRUE(plugin == "old plug-in" || plugin == "plug-in") << plugin;
        const std::string offsets = test::ReadFile(plugins + "XPUIPCOffsets.cfg");
        EXPECT_TRUE(offsets == "old offsets" || offsets == "offsets") << offsets;
        EXPECT_TRUE(p.XPUIPC == "1.2.0" ||
                    (p.XPUIPC == "1.3.0" && plugin == "plug-in" && offsets == "offsets"))
            << p.XPUIPC;
        for (const auto& entry : std::filesystem::directory_iterator(plugins)) {
          EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << entry.path();
        }
        const auto shown = t.Shown();
        EXPECT_EQ(shown.size(), 1u);
        if (p.XPUIPC == "1.2.0" && !shown.empty()) {
          EXPECT_NE(shown[0].find("Was not able to download"), std::string::npos) << shown[0];
        }
      },
      {test::FaultShot::Refuse, test::FaultShot::DiskFull});
}

// The report of a start without a simulator is checked over the real client in server_test.cpp.
TEST(UsageReport, OneUnescapedQueryOnTheFirstTickNamingTheSimulator) {
  Online t;
  t.system.userName = "Jo Smith&Co";
  ASSERT_TRUE(t.Load());
  t.Tick(3);
  std::vector<std::string> reports;
  for (const std::string& url : t.http.requested) {
    if (url.find("/Submit.asp") != std::string::npos) reports.push_back(url);
  }
  EXPECT_EQ(reports, std::vector<std::string>{kBase +
                                              "/Submit.asp?App=Kestrel&User=Jo Smith&Co&TimeDate="
                                              "04-12-2026 22:30&Version=" +
                                              ProgramVersionText() + "&OS=Windows 7&Extra=FSX"});
}

TEST(UsageReport, SystemNames) {
  struct Case {
    std::optional<OsVersion> os;
    const char* name;
  } cases[] = {
      {OsVersion{1, 4, 0}, "95"},
      {OsVersion{1, 4, 10}, "98"},
      {OsVersion{1, 4, 90}, "Millennium"},
      {OsVersion{1, 4, 5}, ""},
      {OsVersion{2, 3, 51}, "NT 3.51"},
      {OsVersion{2, 4, 0}, "NT 4.0"},
      {OsVersion{2, 5, 0}, "2000"},
      {OsVersion{2, 5, 2}, "XP"},
      {OsVersion{2, 6, 0}, "Vista"},
      {OsVersion{2, 6, 2}, "Windows 7"},
      {OsVersion{2, 10, 0}, ""},
      {OsVersion{3, 5, 0}, "Unknown"},
      {OsVersion{0, 0, 0, "Linux"}, "Linux"},
      {std::nullopt, "Unknown:Error"},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    t.system.os = c.os;
    EXPECT_EQ(getOSV(t.system), c.name);
  }
}

}  // namespace
}  // namespace sky
