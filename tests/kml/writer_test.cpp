// The flight document: golden documents in both modes, failures, streaming, checks by xmllint,
// the KML schema and GDAL.
#include "kml/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <regex>

#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

// Shipped snippets, the golden log as both logs, and an aircraft in the air.
void Prepare(TestApp& t, const std::string& log = GoldenLog()) {
  ParseKmlTemplates(ReadFile(SourceData("KMLSettings.txt")), t.app().kml);
  t.app().g.ProductName = "Skytrace";
  WriteFile(t.DataFile("Flightlog.txt"), log);
  WriteFile(t.DataFile("Realtime.txt"), log);
  t.app().sample = {.Latitude = "52.1",
                    .Longitude = "4.508",
                    .Altitude = "5160",
                    .GroundSpeed = "272.4",
                    .Heading = "184.7",
                    .HeightAboveGround = "5100"};
}

// Writes Flightlog.kml, or with `realtime` Realtime.kml and RealtimeLocation.kml.
bool Write(TestApp& t, bool realtime = false) {
  if (!realtime) {
    return WriteKmlDocument(KmlOutputOf(t.app()), t.DataFile("Flightlog.txt"),
                            t.DataFile("Flightlog.kml"), "Flightlog Cessna hop 04-12-2026 22.30");
  }
  return WriteRealtimeKmlDocuments(
      KmlOutputOf(t.app()),
      {t.DataFile("Realtime.txt"), t.DataFile("Realtime.kml"), "Skytrace Realtime Flightpath",
       t.DataFile("RealtimeLocation.kml")},
      RealtimeSceneOf(t.app()), t.app().realtimeRendering);
}

TEST(Writer, ConvertedFlightMatchesItsGoldenDocumentInEitherLocale) {
  for (const char separator : {'.', ','}) {
    TestApp t;
    std::string log = GoldenLog();
    std::replace(log.begin(), log.end(), '.', separator);
    Prepare(t, log);
    t.g().DecimalSeparator = std::string(1, separator);
    ASSERT_TRUE(Write(t)) << separator;
    ExpectGolden("kml", "convert.kml", ReadFile(t.DataFile("Flightlog.kml")));
    ExpectWellFormed(t.DataFile("Flightlog.kml"));
    EXPECT_FALSE(FileExists(t.DataFile("Flightlog.kml.tmp")));
    EXPECT_TRUE(t.Messages().empty());
  }
}

TEST(Writer, RealtimeDocumentsMatchTheirGoldenDocuments) {
  // The first nine records of the golden flight and the aircraft a little further on.
  const std::string all = GoldenLog();
  size_t at = 0;
  for (int i = 0; i < 9; ++i) at = all.find('\n', at) + 1;
  TestApp t;
  Prepare(t,
          all.substr(0, at) +
              "20261204224510:4.5080:52.1000:5160:0::248:5100:268:50:272:184:20261204224509\r\n");
  ASSERT_TRUE(Write(t, true));
  ExpectGolden("kml", "realtime.kml", ReadFile(t.DataFile("Realtime.kml")));
  ExpectGolden("kml", "realtime_location.kml", ReadFile(t.DataFile("RealtimeLocation.kml")));
  ExpectWellFormed(t.DataFile("Realtime.kml"));
  ExpectWellFormed(t.DataFile("RealtimeLocation.kml"));
}

TEST(Writer, FailuresLeaveTheDocumentsAsTheyWere) {
  using Arrange = std::function<void(TestApp&)>;
  const auto log = [](const std::string& text) -> Arrange {
    return [text](TestApp& t) { WriteFile(t.DataFile("Flightlog.txt"), text); };
  };
  const auto fail = [](const char* op, const char* part) -> Arrange {
    return [op, part](TestApp& t) { t.files.FailOn(op, part); };
  };
  const auto snippet = [](std::string KmlTemplateSet::*key, const char* text) -> Arrange {
    return [key, text](TestApp& t) { t.app().kml.*key = text; };
  };
  std::string tooMany;
  for (int i = 0; i < 32768; ++i) tooMany += "20261204223015:4.7:52.3:0:1::0:0:0:0:0:0:1\r\n";
  struct Case {
    const char* name;
    bool realtime;
    Arrange arrange;
    bool pathWritten = false;  // realtime: the path document is in place before the failure
  } cases[] = {
      {"the log cannot be read", false, fail("read", "Flightlog.txt")},
      {"empty log", false, log("")},
      {"a record with too few fields", false, log(GoldenLog() + "20261205081700:4.7:52.3:0:1\r\n")},
      {"an altitude that is no number", false,
       log("20261204223015:4.7:52.3:high:0::0:0:0:0:0:0:-")},
      {"an on-ground flag out of range", false,
       log("20261204223015:4.7:52.3:0:40000::0:0:0:0:0:0:-")},
      {"more records than the writer can count", false, log(tooMany)},
      {"a head without NAME", false, snippet(&KmlTemplateSet::KML, "<kml><Document>")},
      {"a pin without DESC", false, snippet(&KmlTemplateSet::PlacemarkPinSmallAir, "<P>NAME</P>")},
      {"the document cannot be written", false, fail("write", "Flightlog.kml")},
      {"the document cannot be renamed into place", false, fail("rename", "Flightlog.kml")},
      {"a head without the yellow style map", true,
       snippet(&KmlTemplateSet::KML, "<kml><Document><name>NAME</name>")},
      {"a heading that is no number", true, [](TestApp& t) { t.app().sample.Heading = "north"; }},
      {"a traffic latitude that is no number", true,
       [](TestApp& t) {
         t.g().TcasMode = 4;
         t.app().traffic[1] = {"1", "fifty", "4", "5000", "180", "0", "X", "0"};
       }},
      {"the location document cannot be written", true, fail("write", "RealtimeLocation.kml"),
       true},
  };
  for (const Case& c : cases) {
    TestApp t;
    Prepare(t);
    const std::string path = t.DataFile(c.realtime ? "Realtime.kml" : "Flightlog.kml");
    const std::string location = t.DataFile("RealtimeLocation.kml");
    for (const std::string& file : {path, location}) WriteFile(file, "old");
    c.arrange(t);
    EXPECT_FALSE(Write(t, c.realtime)) << c.name;
    EXPECT_EQ(t.Messages(), std::vector<std::string>{"Not able to convert flightlog"}) << c.name;
    EXPECT_EQ(ReadFile(path) != "old", c.pathWritten) << c.name;
    EXPECT_EQ(ReadFile(location), "old") << c.name;
    EXPECT_FALSE(FileExists(path + ".tmp") || FileExists(location + ".tmp")) << c.name;
  }
}

TEST(Writer, LargeLogIsStreamedIntoATemporaryFile) {
  std::string log = "20261204223015:4:52:1000:1:SA:120:900:125:0:118:270:-\r\n";
  for (int i = 1; i < 5000; ++i) {
    log += "20261204223015:" + std::to_string(4 + i / 10000.0) +
           ":52:1000:" + (i % 500 < 250 ? "0:" : "1:") + (i % 500 == 0 ? "GD" : "") +
           ":120:900:125:0:118:270:20261204223014\r\n";
  }
  TestApp t;
  Prepare(t, log);
  ASSERT_TRUE(Write(t));
  const std::string tmp = t.DataFile("Flightlog.kml.tmp");
  EXPECT_EQ(t.files.calls.back(), "rename " + tmp + " -> " + t.DataFile("Flightlog.kml"));
  EXPECT_GE(std::count(t.files.calls.begin(), t.files.calls.end(), "append " + tmp), 2);
  ExpectWellFormed(t.DataFile("Flightlog.kml"));
  // A failure half-way leaves the document as it was.
  const std::string document = ReadFile(t.DataFile("Flightlog.kml"));
  t.files.FailOn("append", "Flightlog.kml", 1);
  EXPECT_FALSE(Write(t));
  EXPECT_EQ(ReadFile(t.DataFile("Flightlog.kml")), document);
  EXPECT_FALSE(FileExists(tmp));
}

TEST(Writer, IndependentToolsReadTheConvertedFlight) {
  TestApp t;
  Prepare(t);
  ASSERT_TRUE(Write(t));
  const std::string document = Quoted(t.DataFile("Flightlog.kml"));
  // GDAL: the run folders, the event and data folders, and the placemarks in order.
  ToolRun run = RunTool("ogrinfo", "-ro -al -q " + document);
  if (run.status == -1) std::cerr << "ogrinfo (package gdal-bin) is missing: GDAL check skipped\n";
  if (run.status != -1) {
    ASSERT_EQ(run.status, 0) << run.output;
    std::string names;  // the flight-data points carry no name
    static const std::regex name("Layer name: (.*)|Name \\(String\\) = (.*)");
    for (auto it = std::sregex_iterator(run.output.begin(), run.output.end(), name);
         it != std::sregex_iterator(); ++it) {
      names += (*it)[1].matched ? "[" + (*it)[1].str() + "] " : (*it)[2].str() + "|";
    }
    EXPECT_EQ(names,
              "[Flight] [FlightLog 04-12-2026 22:30] On Ground|In the air|Overspeed!!|In the air|"
              "On Ground|[FlightLog 05-12-2026 08:15] On Ground|[Special placemarks] Start log|"
              "Flaps 25%|T/O|Gear up|Flaps 0%|Overspeed!!|Recovered|LLZ intercept|On G/S|OM|"
              "Gear down|T/D VS: -250ft/m|Stop log|Start log|Stop log|[Flight data] |||")
        << run.output.substr(0, 4000);
  }
  // The OGC KML 2.2 schema beside the repository.
  const std::string schema =
      std::string(SKYTRACE_SOURCE_DIR) + "/../shared/schemas/kml22/ogckml22.xsd";
  if (!FileExists(schema)) GTEST_SKIP() << "the KML 2.2 schema is not beside the repository";
  run = RunTool("xmllint", "--noout --nonet --schema " + Quoted(schema) + " " + document);
  if (run.status == -1) GTEST_SKIP() << "xmllint (package libxml2-utils) is not installed";
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("validates"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace sky::test
