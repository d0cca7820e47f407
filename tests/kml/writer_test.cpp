// The flight document as a whole: golden documents of a short flight in both modes, the failure
// path, decimal commas, escaping, streaming, and checks by xmllint, the KML schema and GDAL.
#include "kml/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "kml/kml_file.h"
#include "kml/log_records.h"
#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

const char kDocumentName[] = "Flightlog Cessna hop 04-12-2026 22.30";

class WriterTest : public ::testing::Test {
 protected:
  WriterTest() {
    App& a = t.app();
    a.kml = ShippedSnippets();
    a.g.ProductName = "Skytrace";
    a.g.AppTitle = "Skytrace flightlogger";
    std::filesystem::create_directories(t.DataFolder());
  }

  static std::string GoldenLog() { return ReadFile(GoldenPath("flightlog.txt")); }
  static std::string GoldenPath(const std::string& name) {
    return std::string(SKYTRACE_SOURCE_DIR) + "/tests/kml/golden/" + name;
  }

  bool Convert(const std::string& name = kDocumentName) {
    return WriteKmlDocument(t.app(), t.DataFile("Flightlog.txt"), t.DataFile("Flightlog.kml"), name,
                            false, "");
  }
  bool Realtime() {
    return WriteKmlDocument(t.app(), t.DataFile("Realtime.txt"), t.DataFile("Realtime.kml"),
                            "Skytrace Realtime Flightpath", true,
                            t.DataFile("RealtimeLocation.kml"));
  }

  // The first nine records of the golden flight and the aircraft a little further on.
  void PrepareRealtime() {
    std::string log;
    const std::string all = GoldenLog();
    size_t at = 0;
    for (int i = 0; i < 9; ++i) at = all.find('\n', at) + 1;
    log = all.substr(0, at) +
          "20261204224510:4.5080:52.1000:5160:0::248:5100:268:50:272:184:20261204224509\r\n";
    WriteFile(t.DataFile("Realtime.txt"), log);
    FlightSample& s = t.app().sample;
    s.Latitude = "52.1";
    s.Longitude = "4.508";
    s.Altitude = "5160";
    s.GroundSpeed = "272.4";
    s.Heading = "184.7";
    s.HeightAboveGround = "5100";
    s.OnGround = 0;
  }

  TestApp t;
};

TEST_F(WriterTest, ConvertedFlightMatchesItsGoldenDocument) {
  WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
  ASSERT_TRUE(Convert());
  const std::string document = ReadFile(t.DataFile("Flightlog.kml"));
  ExpectGolden("kml", "convert.kml", document);
  ExpectWellFormed(t.DataFile("Flightlog.kml"));
  EXPECT_FALSE(FileExists(t.DataFile("Flightlog.kml.tmp")));
  EXPECT_TRUE(t.Messages().empty());
  // One line, ended by CR LF.
  EXPECT_EQ(std::count(document.begin(), document.end(), '\n'), 1);
  EXPECT_TRUE(document.ends_with("</Document></kml>\r\n"));
}

TEST_F(WriterTest, RealtimeDocumentsMatchTheirGoldenDocuments) {
  PrepareRealtime();
  ASSERT_TRUE(Realtime());
  ExpectGolden("kml", "realtime.kml", ReadFile(t.DataFile("Realtime.kml")));
  ExpectGolden("kml", "realtime_location.kml", ReadFile(t.DataFile("RealtimeLocation.kml")));
  ExpectWellFormed(t.DataFile("Realtime.kml"));
  ExpectWellFormed(t.DataFile("RealtimeLocation.kml"));
}

TEST_F(WriterTest, CommaLocaleGivesTheSameDocument) {
  std::string log = GoldenLog();
  std::replace(log.begin(), log.end(), '.', ',');
  WriteFile(t.DataFile("Flightlog.txt"), log);
  t.g().DecimalSeparator = ",";
  ASSERT_TRUE(Convert());
  ExpectGolden("kml", "convert.kml", ReadFile(t.DataFile("Flightlog.kml")));
}

TEST_F(WriterTest, TypedNameIsEscaped) {
  WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
  ASSERT_TRUE(Convert("Flightlog Tom & Jerry <3 \"'x'\" 04-12-2026 22.30"));
  const std::string document = ReadFile(t.DataFile("Flightlog.kml"));
  EXPECT_NE(document.find("<name>Flightlog Tom &amp; Jerry &lt;3 &quot;&apos;x&apos;&quot; "
                          "04-12-2026 22.30</name>"),
            std::string::npos);
  ExpectWellFormed(t.DataFile("Flightlog.kml"));
}

TEST_F(WriterTest, FailuresLeaveTheDocumentAsItWas) {
  struct Case {
    const char* name;
    std::function<void(TestApp&)> arrange;
  } cases[] = {
      {"no log", [](TestApp& t) { std::filesystem::remove(t.DataFile("Flightlog.txt")); }},
      {"empty log", [](TestApp& t) { WriteFile(t.DataFile("Flightlog.txt"), ""); }},
      {"a record with too few fields",
       [](TestApp& t) {
         WriteFile(t.DataFile("Flightlog.txt"),
                   ReadFile(t.DataFile("Flightlog.txt")) + "20261205081700:4.7:52.3:0:1\r\n");
       }},
      {"an altitude that is no number",
       [](TestApp& t) {
         WriteFile(t.DataFile("Flightlog.txt"),
                   "20261204223015:4.7:52.3:high:0::0:0:0:0:0:0:-\r\n");
       }},
      {"a path snippet without NAME", [](TestApp& t) { t.app().kml.Path = "<Placemark>"; }},
      {"a head without NAME", [](TestApp& t) { t.app().kml.KML = "<kml><Document>"; }},
      {"a pin without DATE",
       [](TestApp& t) {
         std::string& pin = t.app().kml.PlacemarkPinSmallAir;
         pin.erase(pin.find("DATE"), 4);
       }},
      {"the document cannot be written",
       [](TestApp& t) { t.files.FailOn("write", "Flightlog.kml"); }},
      {"the document cannot be renamed into place",
       [](TestApp& t) { t.files.FailOn("rename", "Flightlog.kml"); }},
      {"more records than the writer can count",
       [](TestApp& t) {
         std::string log;
         for (int i = 0; i < 32768; ++i) log += "20261204223015:4.7:52.3:0:1::0:0:0:0:0:0:1\r\n";
         WriteFile(t.DataFile("Flightlog.txt"), log);
       }},
  };
  for (const Case& c : cases) {
    TestApp t;
    t.app().kml = ShippedSnippets();
    std::filesystem::create_directories(t.DataFolder());
    WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
    WriteFile(t.DataFile("Flightlog.kml"), "old");
    c.arrange(t);
    EXPECT_FALSE(WriteKmlDocument(t.app(), t.DataFile("Flightlog.txt"), t.DataFile("Flightlog.kml"),
                                  kDocumentName, false, ""))
        << c.name;
    EXPECT_EQ(t.Messages(), std::vector<std::string>{"Not able to convert flightlog"}) << c.name;
    EXPECT_EQ(ReadFile(t.DataFile("Flightlog.kml")), "old") << c.name;
    EXPECT_FALSE(FileExists(t.DataFile("Flightlog.kml.tmp"))) << c.name;
  }
}

TEST_F(WriterTest, RealtimeFailures) {
  struct Case {
    const char* name;
    std::function<void(TestApp&)> arrange;
    bool pathWritten;
  } cases[] = {
      {"a head without the yellow style map",
       [](TestApp& t) {
         std::string& head = t.app().kml.KML;
         head.replace(head.find("msn_ylw-"), 8, "msn_red-");
       },
       false},
      {"a camera without TILT",
       [](TestApp& t) { t.app().kml.LookAt = "<LookAt>LATX LONY HDG RANGE"; }, false},
      {"a heading that is no number", [](TestApp& t) { t.app().sample.Heading = "north"; }, false},
      {"the location document cannot be written",
       [](TestApp& t) { t.files.FailOn("write", "RealtimeLocation.kml"); }, true},
  };
  for (const Case& c : cases) {
    TestApp u;  // each case on a program of its own
    u.app().kml = ShippedSnippets();
    u.app().g.ProductName = "Skytrace";
    std::filesystem::create_directories(u.DataFolder());
    WriteFile(u.DataFile("Realtime.kml"), "old path");
    WriteFile(u.DataFile("RealtimeLocation.kml"), "old location");
    WriteFile(u.DataFile("Realtime.txt"), GoldenLog());
    u.app().sample.Latitude = "52.1";
    u.app().sample.Longitude = "4.5";
    u.app().sample.Altitude = "5000";
    u.app().sample.GroundSpeed = "250";
    u.app().sample.Heading = "90";
    u.app().sample.HeightAboveGround = "4900";
    c.arrange(u);
    EXPECT_FALSE(WriteKmlDocument(u.app(), u.DataFile("Realtime.txt"), u.DataFile("Realtime.kml"),
                                  "Skytrace Realtime Flightpath", true,
                                  u.DataFile("RealtimeLocation.kml")))
        << c.name;
    EXPECT_EQ(u.LastMessage(), "Not able to convert flightlog") << c.name;
    EXPECT_EQ(ReadFile(u.DataFile("Realtime.kml")) != "old path", c.pathWritten) << c.name;
    EXPECT_EQ(ReadFile(u.DataFile("RealtimeLocation.kml")), "old location") << c.name;
    EXPECT_FALSE(FileExists(u.DataFile("RealtimeLocation.kml.tmp"))) << c.name;
  }
}

TEST_F(WriterTest, LargeLogIsWrittenInChunks) {
  std::string log;
  for (int i = 0; i < 5000; ++i) {
    Rec r;
    r.lon = std::to_string(4 + i / 10000.0);
    r.alt = std::to_string(1000 + i % 50);
    r.prev = i == 0 ? "-" : "20261204223014";
    r.code = i % 500 == 0 ? "GD" : "";
    log += r.Line() + "\r\n";
  }
  WriteFile(t.DataFile("Flightlog.txt"), log);
  ASSERT_TRUE(Convert());
  const auto appends = std::count_if(t.files.calls.begin(), t.files.calls.end(), [](auto& call) {
    return call.starts_with("append ") && call.ends_with("Flightlog.kml.tmp");
  });
  EXPECT_GE(appends, 2);
  ExpectWellFormed(t.DataFile("Flightlog.kml"));
  const std::string document = ReadFile(t.DataFile("Flightlog.kml"));
  // Every record but the ten events and the final stop is a flight-data point.
  size_t points = 0;
  const std::string point = "<styleUrl>#dataPoint</styleUrl>";
  for (size_t at = document.find(point); at != std::string::npos;
       at = document.find(point, at + 1)) {
    ++points;
  }
  EXPECT_EQ(points, 5000u - 10 - 1);
}

TEST(KmlFileWriter, StreamsIntoATemporaryFileAndRenamesItIntoPlace) {
  TestApp t;
  const std::string path = t.root / "doc.kml";
  WriteFile(path, "old");
  {
    KmlFileWriter writer(t.files, path, 8);
    writer << "0123456789"
           << "abc";
    EXPECT_EQ(ReadFile(path), "old");
    writer << "defgh";
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(path), "0123456789abcdefgh");
  EXPECT_EQ(t.files.calls, (std::vector<std::string>{
                               "write " + path + ".tmp", "append " + path + ".tmp",
                               "append " + path + ".tmp", "rename " + path + ".tmp -> " + path}));
  {
    KmlFileWriter abandoned(t.files, path, 4);
    abandoned << "half a document";
  }
  EXPECT_EQ(ReadFile(path), "0123456789abcdefgh");
  EXPECT_FALSE(FileExists(path + ".tmp"));

  t.files.FailOn("append", "doc.kml");
  KmlFileWriter failing(t.files, path, 4);
  failing << "1234";
  EXPECT_THROW(failing << "5678", KmlWriteError);
}

// Independent readers of a converted flight.
class ConvertedFlightTools : public WriterTest {
 protected:
  void SetUp() override {
    WriteFile(t.DataFile("Flightlog.txt"), GoldenLog());
    ASSERT_TRUE(Convert());
    document = t.DataFile("Flightlog.kml");
  }
  std::string document;
};

TEST_F(ConvertedFlightTools, GdalReadsTheFoldersAndPlacemarks) {
  if (!HaveTool("ogrinfo")) GTEST_SKIP() << "ogrinfo (package gdal-bin) is not installed";
  std::string output;
  ASSERT_EQ(RunCommand("ogrinfo -ro -q " + Quoted(document), output), 0) << output;
  for (const char* layer : {"FlightLog 04-12-2026 22:30", "FlightLog 05-12-2026 08:15",
                            "Special placemarks", "Flight data"}) {
    EXPECT_NE(output.find(layer), std::string::npos) << "layer " << layer << " in\n" << output;
  }
  ASSERT_EQ(RunCommand("ogrinfo -ro -al -q " + Quoted(document), output), 0) << output;
  std::vector<std::string> names;
  static const std::regex name("Name \\(String\\) = (.*)");
  for (auto it = std::sregex_iterator(output.begin(), output.end(), name);
       it != std::sregex_iterator(); ++it) {
    names.push_back((*it)[1]);
  }
  const std::vector<std::string> expected = {
      "On Ground", "In the air",    "Overspeed!!", "In the air", "On Ground", "On Ground",
      "Start log", "Flaps 25%",     "T/O",         "Gear up",    "Flaps 0%",  "Overspeed!!",
      "Recovered", "LLZ intercept", "On G/S",      "OM",         "Gear down", "T/D VS: -250ft/m",
      "Stop log",  "Start log",     "Stop log"};
  std::vector<std::string> named;
  std::copy_if(names.begin(), names.end(), std::back_inserter(named),
               [](const std::string& n) { return !n.empty(); });
  EXPECT_EQ(named, expected) << output.substr(0, 4000);
  // The three flight-data points carry no name.
  EXPECT_EQ(names.size() - named.size(), 3u);
}

TEST_F(ConvertedFlightTools, KmlSchemaFindsNoErrors) {
  if (!HaveTool("xmllint")) GTEST_SKIP() << "xmllint (package libxml2-utils) is not installed";
  const std::string schema = KmlSchemaPath();
  if (schema.empty()) GTEST_SKIP() << "the KML 2.2 schema is not beside the repository";
  std::string output;
  const int status = RunCommand(
      "xmllint --noout --nonet --schema " + Quoted(schema) + " " + Quoted(document), output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("validates"), std::string::npos) << output;
}

}  // namespace
}  // namespace sky::test
