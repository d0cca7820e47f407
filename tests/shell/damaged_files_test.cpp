// Start-up and the handlers against a pipe, a folder or a device link in place of the program's
// files, snippet files that are not text, and memory running out in a handler.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "commands/app.h"
#include "settings/offsets_file.h"
#include "shell/dispatch.h"
#include "test_app.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace sky {
namespace {

const std::string kLoadKml = "Unable to load KML data, please reinstall the Skytrace flightlogger.";

bool Posted(const test::TestApp& t, const std::string& text) {
  const auto messages = t.Messages();
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

#ifndef _WIN32

// Whatever stands in place of a file: start-up neither waits nor aborts, says what failed, and
// the program runs on (or, without snippets, ends with its messages).
TEST(SpecialFiles, InPlaceOfTheProgramsFilesNeitherHangNorCrash) {
  enum Kind { Pipe, Folder, DeviceLink };
  const char* kKindNames[] = {"pipe", "folder", "device link"};
  struct Case {
    const char* file;
    bool inProgramFolder;
    const char* message;  // posted at start-up
  } cases[] = {
      {"Flightlog.txt", false, "Unable to delete tracklog, try again with realtime mode off."},
      {"Offsets.txt", false,
       "Unable to load variables, try re-installing the Skytrace flightlogger."},
      {"KMLSettings.txt", true, kLoadKml.c_str()},
  };
  for (const Case& c : cases) {
    for (const Kind kind : {Pipe, Folder, DeviceLink}) {
      const std::string row = std::string(c.file) + " as a " + kKindNames[kind];
      test::TestApp t({.withKmlSettings = !c.inProgramFolder});
      const std::string path =
          c.inProgramFolder ? t.root / ("program/" + std::string(c.file)) : t.DataFile(c.file);
      std::filesystem::create_directories(t.DataFolder());
      if (kind == Pipe) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << row;
      } else if (kind == Folder) {
        std::filesystem::create_directories(path + "/inside");
      } else {
        std::filesystem::create_symlink("/dev/zero", path);
      }
      const bool started = t.Load();
      EXPECT_EQ(started, !c.inProgramFolder) << row;
      EXPECT_TRUE(Posted(t, c.message)) << row;
      if (!started) continue;
      // The program runs on: ticks, a convert, logging.
      t.Tick(3);
      t.dialogs.Queue({ScriptedDialogs::Answer::Text, "hop"});
      t.app().Form1.btn_Convert.enabled = true;
      EXPECT_EQ(Click(t.app(), "Form1", "btn_Convert"), ClickResult::Done) << row;
      EXPECT_EQ(Click(t.app(), "Form1", "btn_startlog"), ClickResult::Done) << row;
      t.Tick(2);
      if (kind == Folder) {
        EXPECT_TRUE(std::filesystem::is_directory(path + "/inside")) << row;
      }
    }
  }
}

#endif  // _WIN32

// A snippet file that is missing or not text ends the program with its fixed sentences, before
// the window shows; the box says which line is damaged. A byte-order mark, and lines ended by a
// lone CR, are text.
TEST(SnippetFile, MissingOrDamagedEndsTheProgramNamingTheLine) {
  struct Case {
    const char* name;
    std::optional<std::string> text;  // none: no file
    std::string damage;               // empty: the file loads, when there is one
  } cases[] = {
      {"no file", std::nullopt, ""},
      {"a NUL byte", std::string("KML=<kml>\nFolder=<F\0>\n", 22),
       "KMLSettings.txt, line 2: a NUL byte (the file must be UTF-8 text)."},
      {"Latin-1 text", "# Kommentar\r\n# caf\xE9\r\nKML=x\r\n",
       "KMLSettings.txt, line 2: bytes that are not UTF-8 text (the file must be UTF-8 text)."},
      {"a control character", "KML=x\rKMLEnd=\x1B[0m\r",
       "KMLSettings.txt, line 2: a control character (the file must be UTF-8 text)."},
      {"over 1 MB", "KML=x\n#" + std::string(1 << 20, 'x') + "\n", "KMLSettings.txt is over 1 MB."},
      {"a byte-order mark and CR line ends", "\xEF\xBB\xBFKML=<kml>\rKMLEnd=</kml>\r", ""},
  };
  for (const Case& c : cases) {
    test::TestApp t({.withKmlSettings = false});
    if (c.text) test::WriteFile(t.root / "program/KMLSettings.txt", *c.text);
    const bool started = t.Load();
    EXPECT_EQ(started, c.text && c.damage.empty()) << c.name;
    if (started) {
      EXPECT_EQ(t.app().kml.KML + t.app().kml.KMLEnd, "<kml></kml>") << c.name;
      continue;
    }
    EXPECT_TRUE(t.app().ended && t.shell.ended) << c.name;
    EXPECT_FALSE(t.app().Form1.visible || t.app().g.Connected) << c.name;
    EXPECT_EQ(t.Messages(), std::vector<std::string>{kLoadKml}) << c.name;
    EXPECT_EQ(t.Shown(), std::vector<std::string>{"Unable to load KML data: " + kLoadKml +
                                                  " Application will quit." +
                                                  (c.text ? "\r\n\r\n" + c.damage : "")})
        << c.name;
  }
}

// Memory running out in any file operation: no exception leaves a click or a timer, whichever
// button is pressed.
TEST(Handlers, MemoryRunningOutEscapesNoHandler) {
  for (const char* op : {"read", "append", "write", "copy", "remove", "rename", "exists"}) {
    test::TestApp t;
    t.escapesCaused = true;
    ASSERT_TRUE(t.Load());
    t.Tick(2);
    Click(t.app(), "Form1", "btn_startlog");
    t.Tick(2);
    t.files.FailOn(op, "", 0, -1, test::FaultyFileSystem::Failure::NoMemory);
    for (const char* control : {"btn_startlog", "btn_startAnimate", "btn_ToggleRealtime",
                                "btn_InitiateRealtime", "btn_indicator", "btn_TCAS", "btn_Convert",
                                "btn_resetlog", "btn_stoplog", "btn_savedlogs"}) {
      t.dialogs.Queue({ScriptedDialogs::Answer::Text, "hop"});
      t.app().Form1.btn_Convert.enabled = t.app().Form1.btn_resetlog.enabled = true;
      EXPECT_NO_THROW(Click(t.app(), "Form1", control)) << op << " " << control;
      EXPECT_NO_THROW(t.Tick()) << op << " " << control;
    }
  }
}

}  // namespace
}  // namespace sky
