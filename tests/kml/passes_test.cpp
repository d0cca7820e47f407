// The parts of a document: snippets, escaping, the path segments and the event placemarks. The
// golden documents hold the events and segments of the golden flight; these add the rest.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "kml/event_table.h"
#include "kml/placemarks.h"
#include "kml/segments.h"
#include "kml/xml_escape.h"
#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

TEST(KmlTemplates, KeysMatchAtTheStartCaseSensitively) {
  KmlTemplateSet set;
  ParseKmlTemplates(
      "# comment\r\nFolder=<Folder>NAME</Folder>a=b\r\npath=<lower case>\r\nPath=<air>\r\n"
      " KMLEnd=<indented>\r\nKMLEnd=first\nKMLEnd=last \r\n"
      "PlacemarkPinSmallAir=<air pin>\nPlacemarkPinSmall=<pin>",
      set);
  EXPECT_EQ(set.Folder + "|" + set.Path + "|" + set.KMLEnd + "|" + set.PlacemarkPinSmall + "|" +
                set.PlacemarkPinSmallAir + "|" + set.KML,
            "<Folder>NAME</Folder>a=b|<air>|last |<pin>|<air pin>|");
}

TEST(KmlTemplates, ReplaceFirstReplacesOneOccurrence) {
  EXPECT_EQ(ReplaceFirst("<a>NAME</a><b>NAME</b>", "NAME", "x&y"), "<a>x&y</a><b>NAME</b>");
  EXPECT_EQ(ReplaceFirst("ALTAGL ALT", "ALT", "1"), "1AGL ALT");
  EXPECT_EQ(ReplaceFirst("NAME", "NAME", ""), "");
  EXPECT_THROW(ReplaceFirst("<name>name</name>", "NAME", "x"), MissingPlaceholder);
}

TEST(XmlEscape, Texts) {
  const std::pair<std::string, std::string> cases[] = {
      {"Tom & Jerry <3", "Tom &amp; Jerry &lt;3"},
      {"a>b \"c\" 'd'", "a&gt;b &quot;c&quot; &apos;d&apos;"},
      {"]]>", "]]&gt;"},  // cannot end a CDATA section early
      {"tab\tand\r\nbreaks", "tab\tand\r\nbreaks"},
      {std::string("bell\x07 nul") + '\0' + "x", "bell nulx"},
      {"Z\xC3\xBCrich \xF0\x9F\x9B\xA9", "Z\xC3\xBCrich \xF0\x9F\x9B\xA9"},
      {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
      {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(XmlEscape(text), escaped) << text;
}

// A log from blank-separated words: "g" on the ground (0 ft) or "a" in the air (1000 ft), "*" for
// the first record of a logging run (a later run starts the next morning), then the event code.
// The n-th record is at longitude n.
std::string Log(const std::string& words) {
  std::string log;
  std::istringstream in(words);
  int n = 0;
  for (std::string word; in >> word;) {
    const bool first = word.size() > 1 && word[1] == '*';
    const char* stamp = first && n > 0 ? "20261205081559:" : "20261204223015:";
    log += stamp + std::to_string(++n) + ":52:" + (word[0] == 'g' ? "0:1:" : "1000:0:") +
           word.substr(first ? 2 : 1) +
           ":120:900:125:0:118:270:" + (first ? "-" : "20261204223014") + "\r\n";
  }
  return log;
}

std::string Segments(const std::string& log) {
  const LogRecords records = SplitLogRecords(log);
  StringSink out;
  WritePathSegments(CompactSnippets(), ".", records.records, out);
  return out.text();
}

TEST(Segments, SplitWhereTheFlightChanges) {
  struct Case {
    const char *name, *records;
    std::string expected;
  } cases[] = {
      {"stall ends at the touchdown", "a aS a g g",
       "<A In the air|1,52,304.8 2,52,304.8 2,52,304.8 ><W Stall!!|2,52,304.8 3,52,304.8 4,52,0 >"
       "<G On Ground|4,52 5,52 >"},
      {"a stall on the ground opens no warning segment", "g gS g",
       "<G On Ground|1,52 2,52 2,52 ><G On Ground|2,52 3,52 >"},
      {"OM is no overspeed", "aOM a", "<A In the air|1,52,304.8 2,52,304.8 >"},
  };
  std::string starred = Log("aOM a");  // records may also be separated by a star
  starred.replace(starred.find("\r\n"), 2, "*");
  EXPECT_EQ(Segments(starred), Segments(Log("aOM a")));
  for (const Case& c : cases) {
    EXPECT_EQ(
        Segments(Log(c.records)),
        "<F FlightLog 04-12-2026 22:30><listItemType>check</listItemType>" + c.expected + "</F>")
        << c.name;
  }
}

TEST(EventTable, NamesDescriptionsAndPins) {
  struct Case {
    std::string code;
    char pin;  // airborne pin: 'A' always, 'W' while in the air
    bool warning;
    std::string name, description;
  } cases[] = {
      {"SA=2230", 'W', false, "Start log", "You started logging at this point."},
      {"LL", 'A', false, "LLZ lost", "The aircraft lost the localizer (ILS) intercept."},
      {"BG", 'A', false, "Below G/S", "The aircraft is below the glideslope."},
      {"AG", 'A', false, "Above G/S", "The aircraft is above the glideslope."},
      {"MM", 'A', false, "MM", "The aircraft passed the middle marker at this point."},
      {"IM", 'A', false, "IM", "The aircraft passed the inner marker at this point."},
      {"FL=<b>&", 'W', false, "Flaps &lt;b&gt;&amp;%",
       "You changed flaps to &lt;b&gt;&amp;% out at this point."},
      {"SD", 'W', false, "Spoilers deployed", "You deployed the spoilers at this point."},
      {"SU", 'W', false, "Spoilers retracted", "You retracted the spoilers at this point."},
      {"TL", 'W', false, "Tailhook down", "You lowered the tailhook at this point."},
      {"TU", 'W', false, "Tailhook up", "You retracted the tailhook at this point."},
      {"S", 'A', true, "Stall!!",
       "You went too slow and therefore you stalled at this point.<br>Make sure you never do it "
       "again as this can result in a crash..."},
      {"SE", 'A', true, "Recovered", "You recovered from stall at this point."},
  };
  for (const Case& c : cases) {
    for (const int16_t onGround : {0, 1}) {
      std::string autobrake;
      EventText text;
      ASSERT_TRUE(DescribeEvent(c.code, onGround, ".", autobrake, text)) << c.code;
      EXPECT_EQ(text.name, c.name) << c.code;
      EXPECT_EQ(text.description, "Event: " + c.description) << c.code;
      EXPECT_EQ(text.inAir, c.pin == 'A' || (c.pin == 'W' && onGround == 0)) << c.code << onGround;
      EXPECT_EQ(text.warning, c.warning) << c.code;
    }
  }
  std::string autobrake;
  EventText kept{"kept", "kept too", false, false};
  for (const char* unknown : {"", "X", "OX", "Q=1", "T"}) {
    EXPECT_FALSE(DescribeEvent(unknown, 0, ".", autobrake, kept)) << unknown;
  }
  EXPECT_EQ(kept.name + kept.description, "keptkept too");
}

TEST(EventTable, TouchdownRatingsAndAutobrakeTexts) {
  const std::string hard =
      "This touchdown was too hard, please practice your landings a bit more...";
  const std::string rough =
      "This was a pretty hard touchdown, the gear probably sustained some damage.";
  const std::string nice = "Nice touchdown!";
  const std::string kiss = "Now this is what you can call a 'kiss' touchdown, you're good!";
  const std::pair<double, std::string> ratings[] = {{-1500, hard},   {-600.5, hard}, {-600, rough},
                                                    {-300.5, rough}, {-300, nice},   {-180.5, nice},
                                                    {-180, kiss},    {0, kiss},      {250, kiss}};
  for (const auto& [speed, rating] : ratings) EXPECT_EQ(TouchdownRating(speed), rating) << speed;

  const std::pair<const char*, const char*> settings[] = {
      {"0", "RTO"}, {"1", "off"}, {"2", "1"}, {"3", "2"}, {"4", "3"}, {"5", "max"}, {"2.0", "1"}};
  std::string autobrake;
  EventText event;
  for (const auto& [setting, text] : settings) {
    DescribeEvent(std::string("TO=") + setting, 0, ".", autobrake, event);
    EXPECT_EQ(autobrake, text) << setting;
  }
  // An unknown setting keeps the text of the last take-off or touchdown; a locale decimal.
  DescribeEvent("TD=-179,5/9", 1, ",", autobrake, event);
  EXPECT_EQ(event.name, "T/D VS: -179,5ft/m");
  EXPECT_EQ(event.description, "Event: The aircraft touched down at this point.<br>" + kiss +
                                   "<br>The autobrake was set to 1.");
  for (const char* bad : {"TO=", "TO=x", "TD=-250", "TD=abc/5", "TD=-250/"}) {
    EXPECT_THROW(DescribeEvent(bad, 0, ".", autobrake, event), DataError) << bad;
  }
}

std::string Pass(const std::string& log, bool convertMode,
                 const KmlTemplateSet& kml = CompactSnippets()) {
  const LogRecords records = SplitLogRecords(log);
  StringSink out;
  WriteSpecialPlacemarks(kml, ".", records.records, convertMode, out);
  return out.text();
}

TEST(EventPass, PinsStopMarkersAndPoints) {
  struct Case {
    const char *name, *records;
    bool convertMode;
    const char* marks;  // "kind:name" of each pin, point ("D:") and folder
  } cases[] = {
      {"a last stop gets no second one", "g*SA aSO", true,
       "F:Special placemarks PS:Start log PSA:Stop log /F"},
      {"two runs: a stop ends the first", "g*SA g a g*SA g", true,
       "F:Special placemarks PS:Start log PSA:Stop log PS:Start log PS:Stop log F:Flight data D: "
       "/F /F"},
      {"two runs in realtime", "g*SA a g*SA g", false,
       "F:Special placemarks PS:Start log PSA:Stop log PS:Start log F:Flight data D: /F /F"},
      {"an event ending a run keeps its pin", "aGD g*SA a", false,
       "F:Special placemarks PSA:Gear down PSA:Stop log PS:Start log F:Flight data DA: /F /F"},
      {"converted: the last event becomes the stop", "gSA aGD", true,
       "F:Special placemarks PS:Start log PSA:Stop log /F"},
      {"warnings", "gO gS aO aSE", false,
       "F:Special placemarks PW:Overspeed!! PWA:Stall!! PWA:Overspeed!! PWA:Recovered /F"},
      {"an unknown code keeps the last name, on a ground pin", "aGD aXX a aXX", false,
       "F:Special placemarks PSA:Gear down PS:Gear down PS: F:Flight data DA: /F /F"},
      {"realtime without events writes nothing", "g a", false, ""},
  };
  static const std::regex mark("<(F|PS|PSA|PW|PWA|D|DA) ([^|>]*)|</F>");
  for (const Case& c : cases) {
    const std::string text = Pass(Log(c.records), c.convertMode);
    std::string marks;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), mark);
         it != std::sregex_iterator(); ++it) {
      marks += (marks.empty() ? "" : " ") +
               ((*it)[0] == "</F>" ? "/F" : (*it)[1].str() + ":" + (*it)[2].str());
    }
    EXPECT_EQ(marks, c.marks) << c.name;
  }
}

TEST(EventPass, DateTimeOnlyWhereThePointHoldsIt) {
  KmlTemplateSet kml = CompactSnippets();
  kml.PinDot =
      "<D NAME|TIME|DATE|DATETIME|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|LONY,LATX,ALTM>";
  EXPECT_NE(Pass(Log("gSA g"), false, kml).find("<D |22:30:15|04-12-2026|2026-12-04T22:30:15z|"),
            std::string::npos);
}

}  // namespace
}  // namespace sky::test
