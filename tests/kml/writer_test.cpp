// The flight document: golden documents in both modes, failures, streaming, checks by xmllint,
// the KML schema and GDAL.
#include "kml/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <regex>

#include "core/messages.h"
#include "kml/templates.h"
#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

// The writers on their own: the shipped snippets, the golden log as both logs in a folder of
// their own, and an aircraft in the air.
struct Writing {
  explicit Writing(const std::string& log = GoldenLog()) {
    ParseKmlTemplates(ReadFile(SourceData("KMLSettings.txt")), kml);
    WriteFile(File("Flightlog.txt"), log);
    WriteFile(File("Realtime.txt"), log);
  }
  std::string File(const std::string& name) const { return root / name; }
  // Writes Flightlog.kml, or with `realtime` Realtime.kml and RealtimeLocation.kml.
  bool Write(bool realtime = false) {
    const KmlOutput output{files, kml, separator, board};
    if (!realtime) {
      return WriteKmlDocument(output, File("Flightlog.txt"), File("Flightlog.kml"),
                              "Flightlog Cessna hop 04-12-2026 22.30");
    }
    return WriteRealtimeKmlDocuments(output,
                                     {File("Realtime.txt"), File("Realtime.kml"),
                                      "Skytrace Realtime Flightpath", File("RealtimeLocation.kml")},
                                     {.sample = sample,
                                      .separator = separator,
                                      .params = params,
                                      .productName = "Skytrace",
                                      .traffic = traffic,
                                      .tcasMode = tcasMode},
                                     rendering);
  }

  TempDir root;
  FaultyFileSystem files;
  KmlTemplateSet kml;
  std::vector<std::string> said;
  SentenceList board{said};
  std::string separator = ".";
  FlightSample sample{.Latitude = "52.1",
                      .Longitude = "4.508",
                      .Altitude = "5160",
                      .GroundSpeed = "272.4",
                      .Heading = "184.7",
                      .HeightAboveGround = "5100"};
  LoggingParameters params;
  TrafficTable traffic;
  int tcasMode = 0;
  RealtimeRenderingCache rendering;
};

TEST(Writer, ConvertedFlightMatchesItsGoldenDocumentInEitherLocale) {
  for (const char separator : {'.', ','}) {
    std::string log = GoldenLog();
    std::replace(log.begin(), log.end(), '.', separator);
    Writing t(log);
    t.separator = std::string(1, separator);
    ASSERT_TRUE(t.Write()) << separator;
    ExpectGolden("kml", "convert.kml", ReadFile(t.File("Flightlog.kml")));
    ExpectWellFormed(t.File("Flightlog.kml"));
    EXPECT_FALSE(FileExists(t.File("Flightlog.kml.tmp")));
    EXPECT_TRUE(t.said.empty());
  }
}

TEST(Writer, RealtimeDocumentsMatchTheirGoldenDocuments) {
  // The first nine records of the golden flight and the aircraft a little further on.
  const std::string all = GoldenLog();
  size_t at = 0;
  for (int i = 0; i < 9; ++i) at = all.find('\n', at) + 1;
  Writing t(all.substr(0, at) +
            "20261204224510:4.5080:52.1000:5160:0::248:5100:268:50:272:184:20261204224509\r\n");
  ASSERT_TRUE(t.Write(true));
  ExpectGolden("kml", "realtime.kml", ReadFile(t.File("Realtime.kml")));
  ExpectGolden("kml", "realtime_location.kml", ReadFile(t.File("RealtimeLocation.kml")));
  ExpectWellFormed(t.File("Realtime.kml"));
  ExpectWellFormed(t.File("RealtimeLocation.kml"));
}

TEST(Writer, FailuresLeaveTheDocumentsAsTheyWere) {
  using Arrange = std::function<void(Writing&)>;
  const auto log = [](const std::string& text) -> Arrange {
    return [text](Writing& t) { WriteFile(t.File("Flightlog.txt"), text); };
  };
  const auto snippet = [](std::string KmlTemplateSet::*key, const char* text) -> Arrange {
    return [key, text](Writing& t) { t.kml.*key = text; };
  };
  std::string tooMany;
  for (int i = 0; i < 32768; ++i) tooMany += "20261204223015:4.7:52.3:0:1::0:0:0:0:0:0:1\r\n";
  struct Case {
    const char* name;
    bool realtime;
    Arrange arrange;
  } cases[] = {
      {"empty log", false, log("")},
      {"a record with too few fields", false, log(GoldenLog() + "20261205081700:4.7:52.3:0:1\r\n")},
      {"an altitude that is no number", false,
       log("20261204223015:4.7:52.3:high:0::0:0:0:0:0:0:-")},
      {"an on-ground flag out of range", false,
       log("20261204223015:4.7:52.3:0:40000::0:0:0:0:0:0:-")},
      {"more records than the writer can count", false, log(tooMany)},
      {"a head without NAME", false, snippet(&KmlTemplateSet::KML, "<kml><Document>")},
      {"a pin without DESC", false, snippet(&KmlTemplateSet::PlacemarkPinSmallAir, "<P>NAME</P>")},
      {"a head without the yellow style map", true,
       snippet(&KmlTemplateSet::KML, "<kml><Document><name>NAME</name>")},
      {"a heading that is no number", true, [](Writing& t) { t.sample.Heading = "north"; }},
      {"a traffic latitude that is no number", true,
       [](Writing& t) {
         t.tcasMode = 4;
         t.traffic[1] = {"1", "fifty", "4", "5000", "180", "0", "X", "0"};
       }},
  };
  for (const Case& c : cases) {
    Writing t;
    const std::string path = t.File(c.realtime ? "Realtime.kml" : "Flightlog.kml");
    const std::string location = t.File("RealtimeLocation.kml");
    for (const std::string& file : {path, location}) WriteFile(file, "old");
    c.arrange(t);
    EXPECT_FALSE(t.Write(c.realtime)) << c.name;
    EXPECT_EQ(t.said, std::vector<std::string>{"Not able to convert flightlog"}) << c.name;
    EXPECT_EQ(ReadFile(path), "old") << c.name;
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
  Writing t(log);
  ASSERT_TRUE(t.Write());
  const std::string tmp = t.File("Flightlog.kml.tmp");
  EXPECT_EQ(t.files.calls.back(), "rename " + tmp + " -> " + t.File("Flightlog.kml"));
  EXPECT_GE(std::count(t.files.calls.begin(), t.files.calls.end(), "append " + tmp), 2);
  ExpectWellFormed(t.File("Flightlog.kml"));
}

TEST(Writer, IndependentToolsReadTheConvertedFlight) {
  Writing t;
  ASSERT_TRUE(t.Write());
  const std::string document = Quoted(t.File("Flightlog.kml"));
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
