// The flown path split into run folders and ground, air and warning segments.
#include "kml/segments.h"

#include <gtest/gtest.h>

#include "kml/templates.h"
#include "kml_checks.h"

namespace sky::test {
namespace {

std::string Segments(const std::vector<Rec>& records, const std::string& separator = ".",
                     const KmlTemplateSet& kml = CompactSnippets()) {
  const LogRecords log = SplitLogRecords(LogText(records));
  StringSink out;
  WritePathSegments(kml, separator, log.records, out);
  return out.text();
}

Rec Air(std::string lon, std::string alt = "1000", std::string code = "") {
  Rec r;
  r.lon = std::move(lon);
  r.alt = std::move(alt);
  r.code = std::move(code);
  return r;
}

Rec Ground(std::string lon, std::string code = "") {
  Rec r = Air(std::move(lon), "0", std::move(code));
  r.ground = "1";
  return r;
}

Rec NewRun(Rec r, std::string stamp) {
  r.stamp = std::move(stamp);
  r.prev = "-";
  return r;
}

TEST(Segments, SplitWhereTheFlightChanges) {
  const std::string run = "<F FlightLog 04-12-2026 22:30><listItemType>check</listItemType>";
  struct Case {
    const char* name;
    std::vector<Rec> records;
    std::string expected;
  } cases[] = {
      {"one airborne record", {Air("1")}, run + "<A In the air|1,52,304.8 ></F>"},
      {"ground to air: the change point ends one segment and starts the next",
       {Ground("1"), Ground("2"), Air("3"), Air("4")},
       run + "<G On Ground|1,52 2,52 3,52 ><A In the air|3,52,304.8 4,52,304.8 ></F>"},
      {"air to ground",
       {Air("1"), Ground("2"), Ground("3")},
       run + "<A In the air|1,52,304.8 2,52,0 ><G On Ground|2,52 3,52 ></F>"},
      {"overspeed from O to OE, inclusive at both ends",
       {Air("1"), Air("2", "1000", "O"), Air("3"), Air("4", "1000", "OE"), Air("5")},
       run + "<A In the air|1,52,304.8 2,52,304.8 2,52,304.8 ><W Overspeed!!|2,52,304.8 "
             "3,52,304.8 4,52,304.8 4,52,304.8 ><A In the air|4,52,304.8 5,52,304.8 ></F>"},
      {"stall ends at the touchdown",
       {Air("0"), Air("1", "1000", "S"), Air("2"), Ground("3"), Ground("4")},
       run + "<A In the air|0,52,304.8 1,52,304.8 1,52,304.8 ><W Stall!!|1,52,304.8 "
             "2,52,304.8 3,52,0 ><G On Ground|3,52 4,52 ></F>"},
      {"a stall on the ground opens no warning segment",
       {Ground("1"), Ground("2", "S"), Ground("3")},
       run + "<G On Ground|1,52 2,52 2,52 ><G On Ground|2,52 3,52 ></F>"},
      {"a second logging run gets its own folder",
       {Ground("1"), Air("2"), NewRun(Ground("3", "SA"), "20261205081559"), Ground("4")},
       run + "<G On Ground|1,52 2,52 ><A In the air|2,52,304.8 ></F>" +
           "<F FlightLog 05-12-2026 08:15><listItemType>check</listItemType>"
           "<G On Ground|3,52 4,52 ></F>"},
      {"OM is no overspeed",
       {Air("1", "1000", "OM"), Air("2")},
       run + "<A In the air|1,52,304.8 2,52,304.8 ></F>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Segments(c.records), c.expected) << c.name;
  }
}

TEST(Segments, CommaDecimalSeparatorBecomesAPoint) {
  Rec r = Air("4,5", "1000,5");
  r.lat = "52,25";
  EXPECT_EQ(Segments({r}, ","),
            "<F FlightLog 04-12-2026 22:30><listItemType>check</listItemType>"
            "<A In the air|4.5,52.25,304.9524 ></F>");
  // The point as the locale's separator is read too, and stays a point.
  EXPECT_EQ(Segments({Air("4.5")}, ","),
            "<F FlightLog 04-12-2026 22:30><listItemType>check</listItemType>"
            "<A In the air|4.5,52,304.8 ></F>");
}

TEST(Segments, UnusableInputFails) {
  KmlTemplateSet noName = CompactSnippets();
  noName.Path = "<A|";
  EXPECT_THROW(Segments({Air("1")}, ".", noName), MissingPlaceholder);
  // A snippet that is never needed is never searched.
  EXPECT_NO_THROW(Segments({Ground("1")}, ".", noName));

  Rec badAltitude = Air("1", "high");
  EXPECT_THROW(Segments({badAltitude}), KmlDataError);
  Rec badFlag = Air("1");
  badFlag.ground = "yes";
  EXPECT_THROW(Segments({badFlag}), KmlDataError);
  Rec outOfRange = Air("1");
  outOfRange.ground = "40000";
  EXPECT_THROW(Segments({outOfRange}), KmlDataError);

  const LogRecords shortRecord = SplitLogRecords("20261204223015:4.5:52:1000:0\r\n");
  StringSink out;
  EXPECT_THROW(WritePathSegments(CompactSnippets(), ".", shortRecord.records, out), KmlDataError);
}

TEST(LogRecords, LinesAndStarsSeparateRecords) {
  const LogRecords log = SplitLogRecords("a\r\nb*c\nd");
  ASSERT_EQ(log.records.size(), 4u);
  EXPECT_EQ(log.records[0], "a");
  EXPECT_EQ(log.records[1], "b");
  EXPECT_EQ(log.records[2], "c");
  EXPECT_EQ(log.records[3], "d");
  EXPECT_EQ(SplitLogRecords("a\r\n\r\n").records.size(), 2u);  // an empty line is a record
  EXPECT_TRUE(SplitLogRecords("").records.empty());
}

}  // namespace
}  // namespace sky::test
