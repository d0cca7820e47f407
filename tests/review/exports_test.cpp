// Reading the logs into a track (damaged lines named by file and line, the two logs merged by
// second), the exports' exact lines where other programs are strict (IGC's fixed columns, GPX's
// longitude range, CSV's columns) and the review page's grouping and self-containedness. The
// files as a whole are read back by independent readers in the main job's end-to-end test.
#include "review/exports.h"

#include <gtest/gtest.h>

#include "review/review_page.h"
#include "review/track.h"

namespace sky {
namespace {

// A record: stamp, position, altitude, on ground, code, speeds; "-" when it starts a run.
std::string Record(const std::string& stamp, const std::string& lon, const std::string& lat,
                   const std::string& code = "", const std::string& previous = "x") {
  return stamp + ":" + lon + ":" + lat + ":1217:0:" + code +
         ":140:1100:150:-700:145:250:" + previous;
}

Track TrackOf(const std::string& flightLog, const std::string& animation = "") {
  Track track;
  AddLogRecords(track, flightLog, "Flightlog.txt", false);
  AddLogRecords(track, animation, "Animation.txt", true);
  FinishTrack(track);
  return track;
}

TEST(Track, ADamagedLineIsNamedByItsFileAndLine) {
  const std::string ok = Record("20261205102808", "8,5", "50.04");
  const std::pair<std::string, std::string> cases[] = {
      {"20261205102808:8.5:50.0", "a record has 13 fields separated by \":\", this one 3"},
      {"2026120510280:" + ok.substr(15), "the time stamp \"2026120510280\" is not fourteen digits"},
      {"20261305102808:" + ok.substr(15), "the time stamp \"20261305102808\" is no date and time"},
      {Record("20261205102808", "8.5", "north"), "the latitude \"north\" is not a number"},
      {Record("20261205102808", "8.5.1", "50"), "the longitude \"8.5.1\" is not a number"},
      {Record("20261205102808", "8.5", "91"), "the latitude \"91\" is out of range"},
      {"20261205102808:8.5:50:1217:2:" + ok.substr(ok.find(":0:") + 3),
       "the on-ground flag \"2\" is neither 0 nor 1"},
  };
  for (const auto& [record, message] : cases) {
    try {
      TrackOf(ok + "\r\n" + record + "\r\n");
      ADD_FAILURE() << record;
    } catch (const TrackInputError& error) {
      EXPECT_EQ(std::string(error.what()), "Flightlog.txt, line 2: " + message);
    }
  }
}

// A record of twelve fields, without the previous stamp, is read as well.
TEST(Track, MergesTheLogsBySecondKeepingTheFlightLogsEvents) {
  std::string twelveFields = Record("20261205102801", "8.55", "50");
  twelveFields.resize(twelveFields.rfind(':'));
  const Track track =
      TrackOf(Record("20261205102800", "8.5", "50", "SA", "-") + "\r\n" +
                  Record("20261205102802", "8.6", "50", "GD") + "\r\n\r\n",
              Record("20261205102800", "8.5", "50", "SA", "") + "\n" + twelveFields + "\n" +
                  Record("20261205102802", "8.6", "50") + "\n");
  ASSERT_EQ(track.points.size(), 3u);
  EXPECT_EQ(track.points[0].code, "SA");
  EXPECT_TRUE(track.points[0].startsRun);
  EXPECT_TRUE(track.points[0].fromFlightLog && track.points[0].fromAnimation);
  EXPECT_FALSE(track.points[1].fromFlightLog);
  EXPECT_EQ(track.points[2].code, "GD");
  EXPECT_EQ(track.points[2].seconds - track.points[0].seconds, 2);
}

TEST(Exports, IgcRecordsHoldTheirFixedColumns) {
  const Track track = TrackOf(Record("20261205235959", "-8.5659980", "-50.0491960", "TD=-180/3") +
                              "\r\n" + Record("20261205000000", "179.9999999", "0.0000001"));
  std::string igc;
  WriteExport(igc, ExportFormat::Igc, track, "Hop é");
  EXPECT_EQ(igc.substr(0, igc.find("\r\n")), "AXSKSKYTRACE Skytrace flightlogger");
  EXPECT_NE(igc.find("\r\nHFDTEDATE:051226,01\r\n"), std::string::npos);
  EXPECT_NE(igc.find("\r\nHFGIDGLIDERID:Hop ??\r\n"), std::string::npos);  // ASCII only
  // 1217 ft = 371 m; minutes to thousandths; south and west; a minute that rounds up to 60 carries
  // into the degrees.
  EXPECT_NE(igc.find("\r\nB0000000000000N18000000EA0037100371\r\n"), std::string::npos) << igc;
  EXPECT_NE(igc.find("\r\nLXSK235959 T/D VS: -180ft/m\r\nB2359595002952S00833960WA0037100371\r\n"),
            std::string::npos)
      << igc;
}

TEST(Exports, GpxCsvAndGeoJsonLines) {
  const Track track = TrackOf(Record("20261205102800", "180", "50", "GU", "-") + "\r\n" +
                              Record("20261205102801", "-179.5", "50.01"));
  std::string gpx, csv, json;
  WriteExport(gpx, ExportFormat::Gpx, track, "A & B");
  WriteExport(csv, ExportFormat::Csv, track, "A & B");
  WriteExport(json, ExportFormat::GeoJson, track, "A \"B\"");
  EXPECT_NE(gpx.find("<metadata><name>A &amp; B</name><time>2026-12-05T10:28:00Z</time>"),
            std::string::npos);
  EXPECT_NE(gpx.find("<wpt lat=\"50.0000000\" lon=\"-180.0000000\"><ele>370.9</ele><time>"
                     "2026-12-05T10:28:00Z</time><name>Gear up</name><type>GU</type></wpt>"),
            std::string::npos)
      << gpx;
  EXPECT_NE(gpx.find("<gpxtpx:speed>74.59</gpxtpx:speed><gpxtpx:course>250.0</gpxtpx:course>"),
            std::string::npos);
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2),
            "2026-12-05T10:28:00Z,50.0000000,180.0000000,1217,1100,0,140,150,-700,145,250,GU,"
            "flightlog\r\n"
            "2026-12-05T10:28:01Z,50.0100000,-179.5000000,1217,1100,0,140,150,-700,145,250,,"
            "flightlog\r\n");
  EXPECT_NE(json.find("\"coordinates\":[[180.000000,50.000000,370.9],[-179.500000,50.010000,"
                      "370.9]]},\"properties\":{\"kind\":\"track\",\"name\":\"A \\\"B\\\"\""),
            std::string::npos)
      << json;
}

TEST(ReviewPage, GroupsRepeatsAndStandsAlone) {
  std::string log;
  int second = 0;
  const auto add = [&](const std::string& code) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "2026120510%02d%02d", 40 + second / 60, second % 60);
    log += Record(stamp, "8.5", "50", code) + "\r\n";
    second += 5;
  };
  add("SA");
  for (int i = 0; i < 54; ++i) add(i % 2 ? "BG" : "OG");  // 54 changes, 5 s apart
  add("GD");
  add("FL=10");
  add("FL=20");
  add("FL=30");  // three flap settings stay three lines
  const Track track = TrackOf(log);
  std::vector<std::string> lines;
  for (const EventLine& line : GroupedEvents(track)) lines.push_back(line.text);
  EXPECT_EQ(lines,
            (std::vector<std::string>{"Start log", "Glideslope: 54 changes between 10:40 and 10:44",
                                      "Gear down", "Flaps 10%", "Flaps 20%", "Flaps 30%"}));
  std::string page;
  WriteReviewPage(page, track, {{"2026-12-05T10:41:00Z", {"Rating: Nice touchdown!"}}}, "<Hop>");
  EXPECT_NE(page.find("<title>Flight review: &lt;Hop&gt;</title>"), std::string::npos);
  EXPECT_NE(page.find("<td style=\"background:#d6efd0\">Nice touchdown!</td>"), std::string::npos);
  for (const char* outside : {"<script", "src=", "href=", "@import", "url("}) {
    EXPECT_EQ(page.find(outside), std::string::npos) << outside;
  }
  EXPECT_EQ(
      LandingsOfFlight({{"2026-12-05T10:39:59Z", {}}, {"2026-12-05T10:41:00Z", {}}}, track).size(),
      1u);
}

}  // namespace
}  // namespace sky
