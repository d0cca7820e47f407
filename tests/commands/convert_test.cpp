// The convert command: its dialog, the saved copies and their names (characters a file name cannot
// hold become "-"), failures where they happen, and copies never left half written.
#include "commands/convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "fault_sweep.h"
#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

using Answer = ScriptedDialogs::Answer;
const std::string kConverting = "Converting flightlog...\n";
const std::string kUnable = "Unable to save tracklog, try again with FS and GE off.\n";
const std::string kConverted = "Tracklog converted and saved, opening Google Earth...\n";

// A program with the golden log; unless told not to, logging in realtime with an earlier document.
struct Converting {
  explicit Converting(bool logging = true) {
    EXPECT_TRUE(t.Load());
    WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
    t.app().Form1.btn_Convert.enabled = true;
    if (!logging) return;
    WriteFile(t.DataFile("Flightlog.kml"), "earlier document");
    t.g().LoggingOn = t.g().AnimationOn = t.g().RealtimeOn = true;
    t.app().Form1.btn_setChase.enabled = true;
    t.app().prev.Latitude = "52";
  }
  // Presses btn_Convert with `answer` queued; returns the messages it posts.
  std::string Convert(Answer answer) {
    t.dialogs.Queue(std::move(answer));
    return Press(t, "btn_Convert");
  }
  bool LoggingEnded() {
    const App& a = t.app();
    return !a.g.LoggingOn && !a.g.AnimationOn && !a.g.RealtimeOn && !a.Form1.btn_setChase.enabled &&
           a.Form1.Label5.text == "No logging" && a.Form1.Label6.text == "No realtime" &&
           a.prev.Latitude.empty();
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

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  while (times-- > 0) repeated += text;
  return repeated;
}

// The answer names the saved copies, stamped at the time of the answer; NUL, the other control
// characters and what the file system refuses become "-" in the files' names only, the
// document's name keeps the text (XML-escaped, without the characters XML cannot hold).
TEST(Convert, TheAnswerNamesTheSavedCopies) {
  struct Case {
    const char* name;
    Answer::Kind kind;
    std::string typed;
    bool debuging;
    int minutesLater;
    std::string file, title;  // the name's part of the saved copies' names, of the document's
  } cases[] = {
      {"a name with & and <", Answer::Text, "Tom & Jerry <3", false, 0, "Tom & Jerry <3",
       "Tom &amp; Jerry &lt;3"},
      {"an empty answer", Answer::Ok, "", false, 0, "", ""},
      {"debuging saves the log, an hour later", Answer::Text, "IFR", true, 61, "IFR", "IFR"},
      {"a slash", Answer::Text, "EDDF/EHAM", true, 0, "EDDF-EHAM", "EDDF/EHAM"},
      {"a NUL byte", Answer::Text, std::string("hop\0.txt", 8), true, 0, "hop-.txt", "hop.txt"},
      {"control characters", Answer::Text, "a\tb\rc\nd\x01\x7F", true, 0, "a-b-c-d--",
       "a\tb\rc\nd\x7F"},
      // Too long for a file name: the name part is cut to fit beside the date, the time and the
      // longest temporary file's ".geojson.tmp", after its last whole character.
      {"300 characters", Answer::Text, std::string(300, 'a'), false, 0, std::string(216, 'a'),
       std::string(300, 'a')},
      {"three-byte characters", Answer::Text, Repeat("\u20ac", 100), false, 0, Repeat("\u20ac", 72),
       Repeat("\u20ac", 100)},
#ifdef _WIN32
      {"what Windows refuses", Answer::Text, "a\\b:c*d?e\"f<g>h|i", true, 0, "a-b-c-d-e-f-g-h-i",
       "a\\b:c*d?e&quot;f&lt;g&gt;h|i"},
#else
      {"what only Windows refuses", Answer::Text, "<b>&</b>\\:*?\"|", true, 0, "<b>&<-b>\\:*?\"|",
       "&lt;b&gt;&amp;&lt;/b&gt;\\:*?&quot;|"},
#endif
  };
  for (const Case& c : cases) {
    Converting l;
    TestApp& t = l.t;
    t.app().params.Debuging = c.debuging;
    t.clock.Advance(c.minutesLater * 60 * 1000);
    const std::string stamp = c.minutesLater ? " 04-12-2026 23.31" : " 04-12-2026 22.30";
    const std::string base = "Flightlog " + c.file + stamp, saved = t.SavedFolder() + base;
    WriteFile(saved + ".kml", "stale");  // copies of an earlier convert are replaced
    WriteFile(saved + ".txt", "stale");
    EXPECT_EQ(l.Convert({c.kind, c.typed}), kConverting + kConverted) << c.name;
    EXPECT_EQ(l.SavedFiles(), (std::vector<std::string>{base + ".kml", base + ".txt",
                                                        "Review " + c.file + stamp + ".html"}))
        << c.name;
    EXPECT_EQ(ReadFile(saved + ".kml"), ReadFile(t.DataFile("Flightlog.kml"))) << c.name;
    EXPECT_NE(ReadFile(saved + ".kml").find("<name>Flightlog " + c.title + stamp + "</name>"),
              std::string::npos)
        << c.name;
    EXPECT_EQ(ReadFile(saved + ".txt"), c.debuging ? GoldenLog() : "stale") << c.name;
    EXPECT_EQ(ReadFile(t.DataFile("Flightlog.txt")), GoldenLog()) << c.name;  // kept
    EXPECT_EQ(t.shell.opened, std::vector<std::string>{saved + ".kml"}) << c.name;
    EXPECT_GE(t.windows.redraws, 1) << c.name;
    ASSERT_EQ(t.dialogs.shown.size(), 1u) << c.name;
    EXPECT_EQ(t.Shown()[0],
              "File name: The log will be saved to the saved tracks folder too, please supply the "
              "name. Leave blank for only the date and time.");
    EXPECT_TRUE(l.LoggingEnded()) << c.name;
    ExpectWellFormed(saved + ".kml");
  }
}

TEST(Convert, CancelDoesNothingAndTheSavedTracksButtonOpensTheFolder) {
  Converting l;
  EXPECT_EQ(l.Convert({Answer::Cancel, ""}), "");
  EXPECT_EQ(ReadFile(l.t.DataFile("Flightlog.kml")), "earlier document");
  EXPECT_TRUE(l.t.g().LoggingOn && l.t.g().RealtimeOn && l.t.shell.opened.empty());
  EXPECT_EQ(Press(l.t, "btn_savedlogs"), "Saves tracks folder opened.\n");
  EXPECT_EQ(l.t.shell.opened, std::vector<std::string>{l.t.SavedFolder()});
}

// A file operation that fails stops the command where it happens: logging goes on, nothing is
// saved. A conversion that fails saves nothing under the new name (the previous flight's document
// is not this flight) and says why; logging ends all the same. A replay that cannot be built leaves
// the rest of the document, saved, and the user reads that the animation is missing.
TEST(Convert, FailuresStopTheCommandAndAFailedReplayIsSaid) {
  const std::string notConverted = kConverting + "Not able to convert flightlog\n";
  struct Case {
    const char* name;
    std::function<void(TestApp&)> damage;
    std::string messages;
    bool loggingEnds, saved;
  } cases[] = {
      {"the log cannot be opened", [](TestApp& t) { t.files.FailOn("append", "Flightlog.txt"); },
       kUnable, false, false},
      {"the document copy", [](TestApp& t) { t.files.FailOn("copy", "Flightlog.kml ->"); },
       kConverting + kUnable, false, false},
      {"the log copy",
       [](TestApp& t) {
         t.app().params.Debuging = true;
         t.files.FailOn("copy", "Flightlog.txt ->");
       },
       kConverting + kUnable, false, false},
      {"an unreadable log", [](TestApp& t) { t.files.FailOn("read", "Flightlog.txt"); },
       notConverted +
           "Not able to convert flightlog: Flightlog.txt could not be read, nothing was saved.\n",
       true, false},
      {"an empty log", [](TestApp& t) { WriteFile(t.DataFile("Flightlog.txt"), ""); },
       notConverted +
           "Not able to convert flightlog: the flight log is empty, nothing was saved.\n",
       true, false},
      {"a damaged record", [](TestApp& t) { WriteFile(t.DataFile("Flightlog.txt"), "x:y\r\n"); },
       notConverted + "Not able to convert flightlog, nothing was saved.\n", true, false},
      {"an unreadable animation log",
       [](TestApp& t) {
         WriteFile(t.DataFile("Animation.txt"), GoldenLog());
         t.files.FailOn("read", "Animation.txt");
       },
       notConverted +
           "Tracklog converted and saved without its animation, opening Google Earth...\n",
       true, true},
  };
  for (const Case& c : cases) {
    Converting l;
    c.damage(l.t);
    EXPECT_EQ(l.Convert({Answer::Text, "hop"}), c.messages) << c.name;
    EXPECT_EQ(l.LoggingEnded(), c.loggingEnds) << c.name;
    const std::string saved = l.t.SavedFolder() + "Flightlog hop 04-12-2026 22.30.kml";
    EXPECT_EQ(FileExists(saved), c.saved) << c.name;
    EXPECT_EQ(l.t.shell.opened.size(), c.saved ? 1u : 0u) << c.name;
  }
}

// With the option ticked (kept in Review.txt across runs), the exports go beside the saved copy
// with the review page, which btn_Review then opens; a review that cannot be written is said and
// leaves the saved copy alone.
TEST(Convert, TheReviewAndTheExportsGoBesideTheSavedCopy) {
  Converting l;
  TestApp& t = l.t;
  EXPECT_FALSE(t.app().Form1.btn_Review.enabled);
  EXPECT_EQ(Press(t, "chkExports"), "");
  EXPECT_TRUE(t.app().Form1.chkExports.checked);
  EXPECT_EQ(ReadFile(t.DataFile("Review.txt")), "Exports=1\r\nLastReview=\r\n");
  EXPECT_EQ(l.Convert({Answer::Text, "hop"}), kConverting + kConverted);
  const std::string base = "Flightlog hop 04-12-2026 22.30",
                    review = "Review hop 04-12-2026 22.30.html";
  EXPECT_EQ(l.SavedFiles(),
            (std::vector<std::string>{base + ".csv", base + ".geojson", base + ".gpx",
                                      base + ".igc", base + ".kml", review}));
  EXPECT_EQ(Press(t, "btn_Review"), "Flight review opened.\n");
  EXPECT_EQ(t.shell.opened.back(), t.SavedFolder() + review);
  t.Restart();
  ASSERT_TRUE(t.Load());
  EXPECT_TRUE(t.app().Form1.chkExports.checked && t.app().Form1.btn_Review.enabled);

  Converting failing;
  failing.t.files.FailOn("rename", "Review ");
  EXPECT_EQ(failing.Convert({Answer::Text, "hop"}),
            kConverting + kConverted + "Unable to write the flight review.\n");
  EXPECT_EQ(failing.SavedFiles(), std::vector<std::string>{base + ".kml"});
  EXPECT_FALSE(failing.t.app().Form1.btn_Review.enabled);
}

// Any fault in the command, exports and review included (an operation refused, a full documents
// folder, a kill): each saved file is the earlier copy of that name or the whole new one, never
// a fragment; a failure removes its temporary file and says so; after a kill the next run
// removes what was left half done.
TEST(ConvertCopies, AnyFaultKeepsWhatWasThere) {
  const std::string base = "Flightlog hop 04-12-2026 22.30";
  std::map<std::string, std::string> whole;  // the saved files of the clean run
  SweepFaults([&](FaultShot& shot) {
    Converting convert(false);
    TestApp& t = convert.t;
    t.app().params.Debuging = true;
    Press(t, "chkExports");
    const std::string kml = t.SavedFolder() + base + ".kml";
    const std::string txt = t.SavedFolder() + base + ".txt";
    WriteFile(kml, "<earlier copy/>");  // converted a minute earlier under the same name
    WriteFile(txt, "earlier log");
    t.files.Arm(shot);
    const std::string messages = convert.Convert({Answer::Text, "hop"});
    if (shot.kind == FaultShot::Kill) {
      t.Restart();
      ASSERT_TRUE(t.Load());
    }
    t.files.ClearFaults();
    for (const std::string& name : convert.SavedFiles()) {
      const std::string text = ReadFile(t.SavedFolder() + name);
      if (shot.kind == FaultShot::None) whole[name] = text;
      const auto made = whole.find(name);
      EXPECT_TRUE((made != whole.end() && text == made->second) || text == "<earlier copy/>" ||
                  text == "earlier log")
          << name << ": " << text.substr(0, 200);
    }
    if (ReadFile(kml) == "<earlier copy/>" && shot.kind != FaultShot::Kill) {
      EXPECT_NE(messages.find("able to"), std::string::npos) << messages;
    }
  });
  EXPECT_EQ(whole.size(), 7u);
}

// The program's own temporary files left by a kill go at start-up and before a convert, by their
// exact names; every other file stays.
TEST(ConvertCopies, StaleTemporaryFilesGoAtStartUpAndBeforeAConvert) {
  const std::string data = "appdata/Skytrace flightlogger/",
                    saved = "documents/Skytrace flightlogger files/", program = "program/";
  struct Case {
    std::string file;  // under the test's root
    bool removed, removedByConvert;
  } cases[] = {
      {data + "Flightlog.kml.tmp", true, true},
      {data + "Realtime.kml.tmp", true, true},
      {data + "RealtimeLocation.kml.tmp", true, true},
      {data + "Skytrace Realtime.kml.tmp", true, true},
      {data + "Offsets.txt.tmp", true, true},
      {data + "Flightlog.txt.tmp", false, false},
      {saved + "Flightlog hop 01-05-2026 10.00.kml.tmp", true, true},
      {saved + "Flightlog  01-05-2026 10.00.txt.tmp", true, true},
      {saved + "Flightlog hop 01-05-2026 10.00.kml", false, false},
      {saved + "Flightlog hop.kml.tmp", false, false},
      {saved + "Flightlog hop 1-05-2026 10.00.kml.tmp", false, false},
      {saved + "Notes 01-05-2026 10.00.kml.tmp", false, false},
      {program + "Updater.exe.tmp", true, false},
      {program + "KMLSettings.txt.tmp", false, false},
  };
  for (const bool atStartUp : {true, false}) {
    TestApp t;
    for (const Case& c : cases) WriteFile(t.root / c.file, "stale");
    ASSERT_TRUE(t.Load());
    if (!atStartUp) {
      for (const Case& c : cases) WriteFile(t.root / c.file, "stale");
      WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
      t.app().Form1.btn_Convert.enabled = true;
      t.dialogs.Queue({Answer::Text, "hop"});
      EXPECT_EQ(Press(t, "btn_Convert"), kConverting + kConverted);
    }
    for (const Case& c : cases) {
      EXPECT_EQ(!FileExists(t.root / c.file), atStartUp ? c.removed : c.removedByConvert)
          << c.file << (atStartUp ? " at start-up" : " by a convert");
    }
  }
}

}  // namespace
}  // namespace sky::test
