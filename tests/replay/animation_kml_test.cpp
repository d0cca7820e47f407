// The animated part of a converted flight: golden bytes, frames with stamps out of order, damaged
// logs and snippets, streaming, and the KML schema.
#include "replay/animation_kml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "commands/app.h"
#include "kml/writer.h"
#include "kml_checks.h"
#include "replay/stamps.h"
#include "shell/dispatch.h"
#include "test_app.h"

namespace sky::test {
namespace {

// A flight across midnight: two logging runs, an overspeed, a stamp that goes back (as the UTC
// hour does after midnight in a zone east of Greenwich) and a touchdown.
const std::string kFlightLog =
    "20091203235950:4.7:52.3:-11:1:SA:0:0:0:0:0:270:-\r\n"
    "20091203235958:4.7001:52.3:-11:1::12:0:12:0:12:270:20091203235957\r\n"
    "20091204000004:4.702:52.3002:150:0:TO=5:140:161:150:1200:140:271:20091204000003\r\n"
    "20091204000012:4.71:52.31:600:0:O:250:611:260:1500:250:271:20091204000011\r\n"
    "20091204000020:4.72:52.32:900:0::250:911:260:1200:250:272:20091204000019\r\n"
    "20091204000028:4.73:52.33:1000:0:OE:240:1011:250:600:240:272:20091204000027\r\n"
    "20091204000010:4.74:52.34:1100:0::200:1111:210:-500:200:0:20091204000009\r\n"
    "20091204000100:4.75:52.35:1000:0:SA:200:1011:210:0:200:0:-\r\n"
    "20091204000130:4.76:52.36:-11:1:TD=-250/5:120:0:120:-250:120:90:20091204000129\r\n";
// Frames: equal stamps, midnight, a climb at heading 0, a stamp that goes back, parked. An empty
// line here and in the traffic log is skipped.
const std::string kAnimationLog =
    "\r\n"
    "20091203235959:4.7:52.3:-11:1:SA:0:0:0:0:0:270:\r\n"
    "20091203235959:4.7:52.3:-11:1::0:0:0:0:0:270:20091203235958\r\n"
    "20091204000000:4.7001:52.3:-11:1::12:0:12:0:12:270:20091203235959\r\n"
    "20091204000005:4.703:52.3003:200:0::140:211:150:1200:140:0:20091204000004\r\n"
    "20091204000013:4.711:52.311:620:0:O:250:631:260:1500:250:271:\r\n"
    "20091204000009:4.705:52.305:400:0::240:411:250:1200:240:271:20091204000008\r\n"
    "20091204000131:4.76:52.36:-11:1::0:0:0:0:0:90:20091204000130\r\n";
// Every threat level, a heading of 271.5, a previous stamp "-", a recording made with an event
// (no previous stamp), a row without an ID, and a call sign that needs escaping.
const std::string kTrafficLog =
    "20091203235959:4101:52.31:4.74:1239:270:180:KLM1234:-500:2:+12:\r\n"
    "20091203235959:4102:52.2:4.9:9000:271.5:250:B&<\"\xC3\xA9':0:0:+90:\r\n"
    "20091204000000:4101:52.31:4.741:1239:270:180:KLM1234:-500:3:+12:20091203235959\r\n"
    "20091204000000:4102:52.2:4.899:9000:271.5:250:B&<\"\xC3\xA9':0:1:+90:-\r\n"
    "20091204000000::::::::::-3:\r\n"
    "20091204000005:4103:52.3:4.7:400:0:0:PARKED:0:4:+2:20091204000004\r\n"
    "\r\n"
    "20091204000013:4103:52.3:4.7:400:0:0:PARKED:0:4:-2:\r\n";

// Snippets that write short marks, one placemark or folder end per line.
KmlTemplateSet MarkSnippets() {
  KmlTemplateSet k;
  ParseKmlTemplates(R"(KML=<KML NAME>
KMLEnd=</KML>
Folder=<F><name>NAME</name><listItemType>check</listItemType>
LookAt=<LookAt LONY,LATX h=HDG r=RANGE t=TILT>
Path=<A><name>NAME</name>|
PathWarning=<W><name>NAME</name>|
PathGND=<G><name>NAME</name>|
PlacemarkPin=<Pin><name>NAME</name>LONAC,LATACALTM|LONAC,LATAC|h=HDG r=RANGE|<altitudeMode>absolute</altitudeMode>|<altitudeMode>absolute</altitudeMode>>
PlacemarkPinSmall=<PS><name>NAME</name>DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX ALTM>
PlacemarkPinSmallAir=<PSA><name>NAME</name>DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PlacemarkPinWarning=<PW><name>NAME</name>DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX ALTM>
PlacemarkPinWarningAir=<PWA><name>NAME</name>DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
PinDot=<D><name>NAME</name>KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|DATETIME|LONY,LATX ALTM>
PinDotAir=<DA><name>NAME</name>KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>
KMLTCASBlue=<B><name>NAME</name>|
KMLTCASYellow=<Y><name>NAME</name>|
KMLTCASOrange=<O><name>NAME</name>|
KMLTCASRed=<R><name>NAME</name>|
PredictedPath=<P><name>NAME</name>|
PredictedPathGND=<PG><name>NAME</name>|)",
                    k);
  for (std::string* end :
       {&k.PlacemarkPin, &k.PlacemarkPinSmall, &k.PlacemarkPinSmallAir, &k.PlacemarkPinWarning,
        &k.PlacemarkPinWarningAir, &k.PinDot, &k.PinDotAir}) {
    *end += "\n";
  }
  k.PlacemarkEnd = ">\n";
  k.FolderEnd = "</F>\n";
  return k;
}

// The logs in a folder of their own; `separator` is the locale's, which the two flight logs then
// use.
struct Flight {
  explicit Flight(const std::string& separator = ".", bool shippedSnippets = false)
      : separator(separator), kml(shippedSnippets ? ShippedSnippets() : MarkSnippets()) {
    Write("Flightlog.txt", Localised(kFlightLog));
    Write("Animation.txt", Localised(kAnimationLog));
    Write("Traffic.txt", kTrafficLog);
  }
  static KmlTemplateSet ShippedSnippets() {
    KmlTemplateSet k;
    ParseKmlTemplates(ReadFile(SourceData("KMLSettings.txt")), k);
    return k;
  }
  std::string Localised(std::string text) const {
    std::replace(text.begin(), text.end(), '.', separator[0]);
    return text;
  }
  std::string File(const std::string& name) const { return root / name; }
  void Write(const std::string& name, const std::string& text) { WriteFile(File(name), text); }
  ReplayInputs Inputs() {
    return {.files = files,
            .dataFolder = root.path() + "/",
            .kml = kml,
            .separator = separator,
            .PredPathMultiplier = 60,
            .board = board};
  }
  // The animated part as BuildAnimation writes it; empty after a failure.
  std::string Build() {
    StringSink out;
    return BuildAnimation(Inputs(), out, counts) ? out.text() : "";
  }
  // The flight document as the convert writes it, with the animated part.
  bool Convert() {
    return WriteKmlDocument(
        {files, kml, separator, board}, File("Flightlog.txt"), File("Flightlog.kml"),
        "Flightlog hop", [this](TextSink& out) { return BuildAnimation(Inputs(), out, counts); });
  }
  std::string separator;
  TempDir root;
  FaultyFileSystem files;
  KmlTemplateSet kml;
  std::vector<std::string> said;
  SentenceList board{said};
  AnimationCounts counts;
};

// KML numbers always take "." whatever the locale; the shipped snippets have their own golden.
// The golden part shows: the opening listed as one item and off; midnight (a frame begins a second
// after its end, next day); a frame after a stamp that went back; the parked two-point ground path
// and range; a predicted climb due north; event pins with their own stamp and lower-case "z";
// warning pieces up to the recovery; traffic colours by level, "-" for one second only, escaped
// call signs and heading 271.5 shown as 271.
TEST(Animation, SmallFlightMatchesItsGoldenPartInEitherLocale) {
  Flight f, comma(","), shipped(".", true);
  const std::string part = f.Build();
  ExpectGolden("replay", "animation.txt", part);
  EXPECT_EQ(comma.Build(), part);
  ExpectGolden("replay", "animation_shipped.txt", shipped.Build());
  EXPECT_TRUE(f.said.empty() && comma.said.empty());
  EXPECT_EQ(f.counts.frames, 7u);
  EXPECT_EQ(f.counts.specialPlacemarks, 9u);  // one per flight-log record
  EXPECT_EQ(f.counts.trafficPlacemarks, 12u);
}

// One second on: across the end of a day, of every kind of month and of a year; 29 February
// only in a leap year.
TEST(Stamps, NextSecondMovesTheDateOnAtMidnight) {
  const std::pair<const char*, const char*> cases[] = {
      {"20260714095859", "20260714095900"}, {"20260714235959", "20260715000000"},
      {"20260129235959", "20260130000000"}, {"20260130235959", "20260131000000"},
      {"20260131235959", "20260201000000"}, {"20260227235959", "20260228000000"},
      {"20260228235959", "20260301000000"}, {"20240228235959", "20240229000000"},
      {"20240229235959", "20240301000000"}, {"21000228235959", "21000301000000"},
      {"20000228235959", "20000229000000"}, {"20260429235959", "20260430000000"},
      {"20260430235959", "20260501000000"}, {"20261231235959", "20270101000000"},
  };
  for (const auto& [stamp, next] : cases) EXPECT_EQ(NextSecond(stamp), next) << stamp;
  for (const char* bad : {"20260229120000", "20261304120000", "2026071412000", "20260714246000"}) {
    EXPECT_THROW(CheckStamp(bad), DataError) << bad;
  }
}

TEST(Animation, StartRecordOfAFrameAsTheScanFindsIt) {
  // Out of order in both logs; the scan's answer for any frame stamp, frames in any order.
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> stamps(1 + random() % 12);
    for (std::string& stamp : stamps) stamp = "2009120400" + std::to_string(1000 + random() % 40);
    std::vector<std::string> records;
    for (const std::string& stamp : stamps) records.push_back(stamp + ":4.7:52.3");
    const std::vector<std::string_view> views(records.begin(), records.end());
    StartRecordCursor cursor(views);
    for (int frame = 0; frame < 30; ++frame) {
      // Mostly forward, now and then back.
      const std::string t = "2009120400" + std::to_string(1000 + (frame + random() % 9) % 44);
      size_t scan = 0;
      for (size_t j = 1; j < stamps.size(); ++j) {
        if (j + 1 == stamps.size() || stamps[j] >= t) {
          scan = j - 1;
          break;
        }
      }
      ASSERT_EQ(cursor.StartFor(t), scan) << "round " << round << " frame " << frame;
    }
  }
}

TEST(Animation, WithoutAnimationLogNothingAndNoMessage) {
  Flight f;
  std::remove(f.File("Animation.txt").c_str());
  EXPECT_EQ(f.Build(), "");
  EXPECT_TRUE(f.said.empty());
  EXPECT_FALSE(f.counts.written);
  // A traffic log whose first item is empty is no traffic: no traffic folder.
  Flight g;
  g.Write("Traffic.txt", ",x\r\n" + kTrafficLog);
  const std::string part = g.Build();
  EXPECT_NE(part, "");
  EXPECT_EQ(part.find("Animated AI/Online traffic"), std::string::npos);
  ExpectGolden("replay", "animation_no_traffic.txt", part);
  std::remove(g.File("Traffic.txt").c_str());
  EXPECT_EQ(g.Build(), part);
}

// A call sign may hold a ":" and a placeholder word: it stays whole and is not replaced.
TEST(Animation, CallSignWithColonAndPlaceholderWord) {
  Flight f;
  f.Write("Traffic.txt", "20091204000005:4103:52.3:4.7:400:0:0:ALT:NAME:0:4:+2:-\r\n");
  const std::string part = f.Build();
  EXPECT_NE(part.find("<R><name>Predicted Flightpath ALT:NAME ;Too close</name>"),
            std::string::npos);
  EXPECT_NE(part.find("<PSA><name>ALT:NAME +2</name>"), std::string::npos);
  EXPECT_NE(part.find("|-|0|-|0|0|400|-|00:00:05|04-12-2009|4.7,52.3,121.92"), std::string::npos);
}

std::string MegabyteLine() {
  return "20091204000005:4.703:52.3003:200:0::140:211:150:1200:140:0:" +
         std::string(10 << 20, '9') + "\r\n";
}

TEST(Animation, DamagedLogsAndSnippetsLeaveTheDocumentWithoutIt) {
  using Arrange = std::function<void(Flight&)>;
  const auto log = [](const char* name, std::string text) -> Arrange {
    return [name, text](Flight& f) { f.Write(name, text); };
  };
  const auto snippet = [](std::string KmlTemplateSet::*key, const char* text) -> Arrange {
    return [key, text](Flight& f) { f.kml.*key = text; };
  };
  std::string crOnly = kAnimationLog;
  crOnly.erase(std::remove(crOnly.begin(), crOnly.end(), '\n'), crOnly.end());
  struct Case {
    const char* name;
    Arrange arrange;
  } cases[] = {
      {"an empty animation log", log("Animation.txt", "")},
      {"only empty lines", log("Animation.txt", "\r\n\r\n")},
      {"letters in an altitude",
       log("Animation.txt", "20091204000005:4.7:52.3:high:0::0:0:0:0:0:0:-")},
      {"a stamp with a letter", log("Animation.txt", "2009120400000x:4.7:52.3:0:0::0:0:0:0:0:0:-")},
      {"a 13th month", log("Animation.txt", "20091304000005:4.7:52.3:0:0::0:0:0:0:0:0:-")},
      {"nothing but damaged lines", log("Animation.txt", MegabyteLine() + "\x01\r\n")},
      {"CR-only line ends", log("Animation.txt", crOnly)},
      {"no NAME in the predicted path",
       snippet(&KmlTemplateSet::PredictedPathGND, "<PG><name>x</name>")},
      {"no LATAC in the aircraft pin", snippet(&KmlTemplateSet::PlacemarkPin, "<Pin NAME>")},
      {"no </name> in a data point",
       snippet(&KmlTemplateSet::PinDotAir,
               "<DA NAME|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|TIME|DATE|LONY,LATX,ALTM>")},
      {"no <name> in a path piece", snippet(&KmlTemplateSet::PathWarning, "<W NAME|")},
      {"no NAME in the red traffic path", snippet(&KmlTemplateSet::KMLTCASRed, "<R>")},
      {"the traffic log cannot be read",
       [](Flight& f) { f.files.FailOn("read", "Traffic.txt", 1); }},
  };
  for (const Case& c : cases) {
    Flight f(".", true);
    c.arrange(f);
    const std::string logs[] = {ReadFile(f.File("Animation.txt")),
                                ReadFile(f.File("Flightlog.txt")), ReadFile(f.File("Traffic.txt"))};
    // The document without an animation log, for comparison.
    std::remove(f.File("Animation.txt").c_str());
    ASSERT_TRUE(f.Convert()) << c.name;
    const std::string without = ReadFile(f.File("Flightlog.kml"));
    f.Write("Animation.txt", logs[0]);
    EXPECT_TRUE(f.Convert()) << c.name;
    EXPECT_EQ(f.said, std::vector<std::string>{"Not able to convert flightlog"}) << c.name;
    EXPECT_TRUE(ReadFile(f.File("Flightlog.kml")) == without) << c.name;
    EXPECT_FALSE(f.counts.written) << c.name;
    EXPECT_EQ(logs[0] + logs[1] + logs[2], ReadFile(f.File("Animation.txt")) +
                                               ReadFile(f.File("Flightlog.txt")) +
                                               ReadFile(f.File("Traffic.txt")))
        << c.name;
  }
}

// A line that cannot be read (a crash's bytes, a record cut short or glued to the next run's,
// letters in a number, a line of 10 MB) is skipped: the replay is the one built without it, and
// the board says how many lines of which log were skipped.
TEST(Animation, DamagedLinesAreSkippedAndCounted) {
  const auto withLines = [](const std::string& log, const std::string& lines) {
    const size_t third = log.find('\n', log.find('\n', log.find('\n') + 1) + 1) + 1;
    return log.substr(0, third) + lines + log.substr(third);
  };
  struct Case {
    const char* log;
    std::string clean, damaged, message;
  } cases[] = {
      {"Animation.txt", kAnimationLog,
       withLines(kAnimationLog, "20091204000006:4.7:52.3\r\n" +
                                    std::string("2009\0\x01\xFF:4.7", 10) + "\r\n" +
                                    MegabyteLine() + "2009120400" +
                                    "20091204000131:4.76:52.36:-11:1:SA:0:0:0:0:0:90:\r\n"),
       "Skipped 4 damaged lines in Animation.txt."},
      {"Traffic.txt", kTrafficLog,
       withLines(kTrafficLog,
                 "20091204000000:4103:52.3:4.7:400\r\n"
                 "20091204000000:4103:52.3:4.7:high:0:0:X:0:4:+2:-\r\n" +
                     MegabyteLine()),
       "Skipped 3 damaged lines in Traffic.txt."},
      {"Flightlog.txt", kFlightLog,
       withLines(kFlightLog, std::string(3, '\0') + "91204000010:4.7:52.3:0:0::0:0:0:0:0:0:x\r\n"),
       "Skipped 1 damaged line in Flightlog.txt."},
  };
  for (const Case& c : cases) {
    Flight f;
    f.Write(c.log, c.clean);
    const std::string clean = f.Build();
    ASSERT_NE(clean, "") << c.log;
    f.Write(c.log, c.damaged);
    EXPECT_TRUE(f.Build() == clean) << c.log;
    EXPECT_EQ(f.said, std::vector<std::string>{c.message}) << c.log;
  }
}

// Inputs that look damaged but are no failure: the empty lines are skipped, a ground pin without
// ALTM is never searched for it (an airborne one is).
TEST(Animation, EmptyFirstLinesAndPinsWithoutAltitude) {
  Flight f;
  f.Write("Animation.txt", "\r\n\r\n" + kAnimationLog);
  const std::string pin =
      "<PS><name>NAME</name>DESC|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|"
      "TIME|DATE|LONY,LATX>\n";
  f.kml.PlacemarkPinSmall = pin;
  const std::string part = f.Build();
  ExpectGolden("replay", "animation_ground_pin_without_altitude.txt", part);
  f.Write("Traffic.txt", "\r\n" + kTrafficLog);
  EXPECT_EQ(f.Build().find("Animated AI/Online traffic"), std::string::npos);
  EXPECT_TRUE(f.said.empty());
  f.kml.PlacemarkPinWarningAir = "<PWA>" + pin.substr(4);
  EXPECT_EQ(f.Build(), "");
  EXPECT_EQ(f.said, std::vector<std::string>{"Not able to convert flightlog"});
}

// A long flight's part goes out in chunks and is cut off again on a late failure.
TEST(Animation, StreamedAndCutOffAfterALateFailure) {
  std::string traffic;
  for (int i = 0; i < 3000; ++i) {
    traffic += "20091204000005:" + std::to_string(5000 + i) +
               ":52.3:4.7:400:0:0:PARKED:0:4:+2:20091204000004\r\n";
  }
  Flight f(".", true);
  f.Write("Traffic.txt", traffic);
  ASSERT_TRUE(f.Convert());
  const std::string tmp = f.File("Flightlog.kml.tmp");
  EXPECT_GE(std::count(f.files.calls.begin(), f.files.calls.end(), "append " + tmp), 2);
  EXPECT_EQ(f.counts.trafficPlacemarks, 6000u);
  ExpectWellFormed(f.File("Flightlog.kml"));

  // The first yellow aircraft comes last, and its snippet lacks its NAME.
  f.Write("Traffic.txt", traffic + "20091204000006:1:52.3:4.7:400:0:0:X:0:2:+2:-\r\n");
  f.kml.KMLTCASYellow = "<Y>";
  std::remove(f.File("Animation.txt").c_str());
  ASSERT_TRUE(f.Convert());
  const std::string without = ReadFile(f.File("Flightlog.kml"));
  f.Write("Animation.txt", kAnimationLog);
  f.files.calls.clear();
  ASSERT_TRUE(f.Convert());
  EXPECT_EQ(std::count(f.files.calls.begin(), f.files.calls.end(), "truncate " + tmp), 1);
  EXPECT_TRUE(ReadFile(f.File("Flightlog.kml")) == without);
  // When even the cut fails, the document is not written at all.
  f.files.FailOn("truncate", "Flightlog.kml");
  WriteFile(f.File("Flightlog.kml"), "earlier");
  EXPECT_FALSE(f.Convert());
  EXPECT_EQ(ReadFile(f.File("Flightlog.kml")), "earlier");
  EXPECT_FALSE(FileExists(tmp));
}

// The whole convert from the main window: the messages in order (a skipped line is reported
// before the sentence the board then shows), and a document xmllint reads (GDAL reads the main
// job's in its end-to-end test).
TEST(Animation, ConvertedFlightWithReplayAgainstTheKmlSchema) {
  TestApp t;
  ASSERT_TRUE(t.Load());
  WriteFile(t.DataFile("Flightlog.txt"), kFlightLog);
  WriteFile(t.DataFile("Animation.txt"), kAnimationLog);
  WriteFile(t.DataFile("Traffic.txt"), kTrafficLog + std::string(3, '\0') + "\r\n");
  t.app().Form1.btn_Convert.enabled = true;
  t.dialogs.Queue({ScriptedDialogs::Answer::Text, "Tom & Jerry <3 \xC3\xA9t\xC3\xA9"});
  EXPECT_EQ(Press(t, "btn_Convert"),
            "Converting flightlog...\nSkipped 1 damaged line in Traffic.txt.\nTracklog converted "
            "and saved, opening Google Earth...\n");
  const std::string document = t.DataFile("Flightlog.kml");
  ExpectWellFormed(document);

  // Against the KML 2.2 schema the replay differs in three ways only, all fixed by its format: a
  // time span before the name of a frame or a history piece, one between a placemark's name and
  // its description, and the lower-case "z" of the event placemarks' times.
  std::string schema;
  for (const char* up : {"/..", "/../.."}) {
    const std::string path =
        std::string(SKYTRACE_SOURCE_DIR) + up + "/shared/schemas/kml22/ogckml22.xsd";
    if (schema.empty() && FileExists(path)) schema = path;
  }
  if (schema.empty()) GTEST_SKIP() << "the KML 2.2 schema is not beside the repository";
  const ToolRun strict =
      RunTool("xmllint", "--noout --nonet --schema " + Quoted(schema) + " " + Quoted(document));
  if (strict.status == -1) GTEST_SKIP() << "xmllint (package libxml2-utils) is not installed";
  std::istringstream lines(strict.output);
  std::map<std::string, int> deviations;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("fails to validate") != std::string::npos) continue;
    const std::string element = line.substr(line.find("element ") + 8);
    if (line.find("This element is not expected.") != std::string::npos) {
      deviations[element.substr(0, element.find(':')) + " not expected"]++;
    } else if (line.find("z' is not a valid value") != std::string::npos) {
      deviations[element.substr(0, element.find(':')) + " with z"]++;
    } else {
      ADD_FAILURE() << line;
    }
  }
  // Frames and history pieces; event pins and points, and traffic labels; event placemarks.
  EXPECT_EQ(deviations,
            (std::map<std::string, int>{
                {"begin with z", 9}, {"description not expected", 15}, {"name not expected", 16}}));
}

}  // namespace
}  // namespace sky::test
