// The convert command's saved copies: names a file cannot hold, and copies that are never left
// half written, whatever step a full disk or a kill strikes.
#include "commands/convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

using Answer = ScriptedDialogs::Answer;

// A program with the golden log, ready to convert it under the name `name`, both copies on.
struct Converting {
  explicit Converting(const std::string& name = "hop") {
    EXPECT_TRUE(t.Load());
    WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
    t.app().params.Debuging = true;
    t.app().Form1.btn_Convert.enabled = true;
    t.dialogs.Queue({Answer::Text, name});
  }
  std::vector<std::string> SavedFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(t.SavedFolder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  TestApp t;
};

// NUL, the other control characters and the characters the file system refuses become "-" in
// the saved files' names; the document's name keeps the typed text (XML-escaped, without the
// characters XML cannot hold).
TEST(ConvertNames, CharactersAFileNameCannotHoldBecomeDashes) {
  struct Case {
    const char* name;
    std::string typed;
    std::string file;   // the name's part of the saved files' names
    std::string title;  // the name's part of the document's name
  } cases[] = {
      {"a slash", "EDDF/EHAM", "EDDF-EHAM", "EDDF/EHAM"},
      {"a NUL byte", std::string("hop\0.txt", 8), "hop-.txt", "hop.txt"},
      {"control characters", "a\tb\rc\nd\x01\x7F", "a-b-c-d--", "a\tb\rc\nd\x7F"},
#ifdef _WIN32
      {"what Windows refuses", "a\\b:c*d?e\"f<g>h|i", "a-b-c-d-e-f-g-h-i",
       "a\\b:c*d?e&quot;f&lt;g&gt;h|i"},
#else
      {"what only Windows refuses", "<b>&</b>\\:*?\"|", "<b>&<-b>\\:*?\"|",
       "&lt;b&gt;&amp;&lt;/b&gt;\\:*?&quot;|"},
#endif
  };
  for (const Case& c : cases) {
    Converting convert(c.typed);
    EXPECT_EQ(Press(convert.t, "btn_Convert"),
              "Converting flightlog...\nTracklog converted and saved, opening Google Earth...\n")
        << c.name;
    const std::string base = "Flightlog " + c.file + " 04-12-2026 22.30";
    EXPECT_EQ(convert.SavedFiles(), (std::vector<std::string>{base + ".kml", base + ".txt"}))
        << c.name;
    const std::string document = ReadFile(convert.t.SavedFolder() + base + ".kml");
    EXPECT_NE(document.find("<name>Flightlog " + c.title + " 04-12-2026 22.30</name>"),
              std::string::npos)
        << c.name;
    EXPECT_EQ(ReadFile(convert.t.SavedFolder() + base + ".txt"), GoldenLog()) << c.name;
    EXPECT_EQ(convert.t.shell.opened,
              std::vector<std::string>{convert.t.SavedFolder() + base + ".kml"})
        << c.name;
  }
}

// A full documents folder at each step of the command, or a kill after each step: each saved
// copy is the earlier copy of that name or the whole new one, never a fragment; a failure
// removes its temporary file and says so.
TEST(ConvertCopies, FullDiskOrKillAtAnyStepKeepsWhatWasThere) {
  const std::string base = "Flightlog hop 04-12-2026 22.30";
  int steps = 0;
  {
    Converting convert;
    const int before = convert.t.files.changes;
    Press(convert.t, "btn_Convert");
    steps = convert.t.files.changes - before;
  }
  ASSERT_GE(steps, 4);
  for (const bool kill : {false, true}) {
    for (int step = 0; step < steps; ++step) {
      const std::string row =
          (kill ? "kill after step " : "full disk at step ") + std::to_string(step);
      Converting convert;
      TestApp& t = convert.t;
      const std::string kml = t.SavedFolder() + base + ".kml";
      const std::string txt = t.SavedFolder() + base + ".txt";
      WriteFile(kml, "<earlier copy/>");  // converted a minute earlier under the same name
      WriteFile(txt, "earlier log");
      if (kill) {
        t.files.KillAfter(step);
      } else {
        t.files.FailStep(step, FaultyFileSystem::Failure::DiskFull);
      }
      const std::string messages = Press(t, "btn_Convert");
      t.files.ClearFaults();
      const std::string document = ReadFile(t.DataFile("Flightlog.kml"));
      EXPECT_TRUE(ReadFile(kml) == "<earlier copy/>" ||
                  (ReadFile(kml) == document && document.ends_with("</kml>\r\n")))
          << row << ": " << ReadFile(kml).substr(0, 200);
      EXPECT_TRUE(ReadFile(txt) == "earlier log" || ReadFile(txt) == GoldenLog()) << row;
      if (!kill && messages.find("Unable to save tracklog") != std::string::npos) {
        EXPECT_EQ(convert.SavedFiles(), (std::vector<std::string>{base + ".kml", base + ".txt"}))
            << row;
      }
    }
  }
}

}  // namespace
}  // namespace sky::test
