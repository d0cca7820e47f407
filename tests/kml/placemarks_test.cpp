// The event table, touchdown ratings and autobrake texts, and the event pass: pins, stop markers
// and flight-data points.
#include "kml/placemarks.h"

#include <gtest/gtest.h>

#include <regex>

#include "kml/event_table.h"
#include "kml/templates.h"
#include "kml_checks.h"

namespace sky::test {
namespace {

TEST(EventTable, NamesDescriptionsAndPins) {
  struct Case {
    const char* code;
    int16_t onGround;
    const char* name;
    const char* description;
    bool inAir;
    bool warning;
  } cases[] = {
      {"SA", 1, "Start log", "Event: You started logging at this point.", false, false},
      {"SA", 0, "Start log", "Event: You started logging at this point.", true, false},
      {"SA=2230", 1, "Start log", "Event: You started logging at this point.", false, false},
      {"LI", 1, "LLZ intercept", "Event: The aircraft intercepted the localizer (ILS).", true,
       false},
      {"LL", 0, "LLZ lost", "Event: The aircraft lost the localizer (ILS) intercept.", true, false},
      {"OG", 0, "On G/S", "Event: The aircraft is on the glideslope.", true, false},
      {"BG", 0, "Below G/S", "Event: The aircraft is below the glideslope.", true, false},
      {"AG", 0, "Above G/S", "Event: The aircraft is above the glideslope.", true, false},
      {"OM", 0, "OM", "Event: The aircraft passed the outer marker at this point.", true, false},
      {"MM", 1, "MM", "Event: The aircraft passed the middle marker at this point.", true, false},
      {"IM", 0, "IM", "Event: The aircraft passed the inner marker at this point.", true, false},
      {"TO=0", 0, "T/O", "Event: The aircraft took off at this point.<br>Autobrake was set to RTO.",
       false, false},
      {"TD=-250/5", 1, "T/D VS: -250ft/m",
       "Event: The aircraft touched down at this point.<br>Nice touchdown!<br>The autobrake was "
       "set to max.",
       false, false},
      {"TD=-180/1", 1, "T/D VS: -180ft/m",
       "Event: The aircraft touched down at this point.<br>Now this is what you can call a 'kiss' "
       "touchdown, you're good!<br>The autobrake was set to off.",
       false, false},
      {"SO", 0, "Stop log", "Event: The log was stopped at this point.", true, false},
      {"FL=25", 0, "Flaps 25%", "Event: You changed flaps to 25% out at this point.", true, false},
      {"FL=25", 1, "Flaps 25%", "Event: You changed flaps to 25% out at this point.", false, false},
      {"GU", 0, "Gear up", "Event: You retracted the gear at this point.", true, false},
      {"GD", 1, "Gear down", "Event: You lowered the gear at this point.", true, false},
      {"SD", 0, "Spoilers deployed", "Event: You deployed the spoilers at this point.", true,
       false},
      {"SU", 1, "Spoilers retracted", "Event: You retracted the spoilers at this point.", false,
       false},
      {"TL", 0, "Tailhook down", "Event: You lowered the tailhook at this point.", true, false},
      {"TU", 0, "Tailhook up", "Event: You retracted the tailhook at this point.", true, false},
      {"O", 0, "Overspeed!!",
       "Event: You went too fast and therefore overspeeded.<br>Make sure you never do it again "
       "as this is very dangerous.",
       true, true},
      {"O", 1, "Overspeed!!",
       "Event: You went too fast and therefore overspeeded.<br>Make sure you never do it again "
       "as this is very dangerous.",
       false, true},
      {"OE", 0, "Recovered", "Event: You recovered from overspeed at this point.", true, true},
      {"S", 1, "Stall!!",
       "Event: You went too slow and therefore you stalled at this point.<br>Make sure you never "
       "do it again as this can result in a crash...",
       true, true},
      {"SE", 1, "Recovered", "Event: You recovered from stall at this point.", true, true},
      {"FL=<b>&", 0, "Flaps &lt;b&gt;&amp;%",
       "Event: You changed flaps to &lt;b&gt;&amp;% out at this point.", true, false},
  };
  for (const Case& c : cases) {
    std::string autobrake;
    EventText text;
    ASSERT_TRUE(DescribeEvent(c.code, c.onGround, ".", autobrake, text)) << c.code;
    EXPECT_EQ(text.name, c.name) << c.code;
    EXPECT_EQ(text.description, c.description) << c.code;
    EXPECT_EQ(text.inAir, c.inAir) << c.code << " on ground " << c.onGround;
    EXPECT_EQ(text.warning, c.warning) << c.code;
  }
  for (const char* unknown : {"", "X", "OX", "Q=1", "T"}) {
    std::string autobrake;
    EventText text{"kept", "kept too", false, false};
    EXPECT_FALSE(DescribeEvent(unknown, 0, ".", autobrake, text)) << unknown;
    EXPECT_EQ(text.name, "kept");
  }
}

TEST(EventTable, TouchdownRatingBounds) {
  const std::string hard =
      "This touchdown was too hard, please practice your landings a bit more...";
  const std::string prettyHard =
      "This was a pretty hard touchdown, the gear probably sustained some damage.";
  const std::string nice = "Nice touchdown!";
  const std::string kiss = "Now this is what you can call a 'kiss' touchdown, you're good!";
  const std::pair<double, std::string> cases[] = {
      {-1500, hard},  {-600.5, hard}, {-600, prettyHard}, {-300.5, prettyHard}, {-300, nice},
      {-180.5, nice}, {-180, kiss},   {0, kiss},          {250, kiss},
  };
  for (const auto& [speed, rating] : cases) EXPECT_EQ(TouchdownRating(speed), rating) << speed;
}

TEST(EventTable, AutobrakeSettings) {
  const std::pair<const char*, const char*> settings[] = {
      {"0", "RTO"}, {"1", "off"}, {"2", "1"}, {"3", "2"}, {"4", "3"}, {"5", "max"}, {"2.0", "1"}};
  for (const auto& [setting, text] : settings) {
    std::string autobrake;
    EventText event;
    DescribeEvent(std::string("TO=") + setting, 0, ".", autobrake, event);
    EXPECT_EQ(autobrake, text) << setting;
  }
  // An unknown setting keeps the text of the last take-off or touchdown.
  std::string autobrake;
  EventText event;
  DescribeEvent("TO=2", 0, ".", autobrake, event);
  DescribeEvent("TD=-250/9", 1, ".", autobrake, event);
  EXPECT_EQ(event.description,
            "Event: The aircraft touched down at this point.<br>Nice touchdown!<br>The autobrake "
            "was set to 1.");
  DescribeEvent("TD=-250,5/1", 1, ",", autobrake, event);  // a locale decimal
  EXPECT_EQ(event.name, "T/D VS: -250,5ft/m");

  for (const char* bad : {"TO=", "TO=x", "TD=-250", "TD=abc/5", "TD=-250/"}) {
    EXPECT_THROW(DescribeEvent(bad, 0, ".", autobrake, event), KmlDataError) << bad;
  }
}

// The marks of a pass as "kind:name" ("PSA:Gear down", "F:Flight data", "D:", "/F").
std::vector<std::string> Marks(const std::string& text) {
  static const std::regex mark("<(F|PS|PSA|PW|PWA|D|DA) ([^|>]*)|</F>");
  std::vector<std::string> marks;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), mark); it != std::sregex_iterator();
       ++it) {
    marks.push_back((*it)[0] == "</F>" ? "/F" : (*it)[1].str() + ":" + (*it)[2].str());
  }
  return marks;
}

std::string Pass(const std::vector<Rec>& records, bool convertMode,
                 const KmlTemplateSet& kml = CompactSnippets()) {
  const LogRecords log = SplitLogRecords(LogText(records));
  StringSink out;
  WriteSpecialPlacemarks(kml, ".", log.records, convertMode, out);
  return out.text();
}

Rec At(std::string ground, std::string code = "", std::string prev = "20261204223014") {
  Rec r;
  r.ground = std::move(ground);
  r.code = std::move(code);
  r.prev = std::move(prev);
  return r;
}

TEST(EventPass, PinsStopMarkersAndPoints) {
  using Marks_ = std::vector<std::string>;
  struct Case {
    const char* name;
    std::vector<Rec> records;
    bool convertMode;
    Marks_ expected;
  } cases[] = {
      {"a converted flight ends with a stop pin",
       {At("1", "SA", "-"), At("1"), At("0", "GD"), At("0")},
       true,
       {"F:Special placemarks", "PS:Start log", "PSA:Gear down", "PSA:Stop log", "F:Flight data",
        "D:", "/F", "/F"}},
      {"realtime: the last record is a point",
       {At("1", "SA", "-"), At("1"), At("0", "GD"), At("0")},
       false,
       {"F:Special placemarks", "PS:Start log", "PSA:Gear down", "F:Flight data", "D:", "DA:", "/F",
        "/F"}},
      {"a last record that is a stop already gets no second one",
       {At("1", "SA", "-"), At("0", "SO")},
       true,
       {"F:Special placemarks", "PS:Start log", "PSA:Stop log", "/F"}},
      {"two runs: the first run's last record gets a stop pin instead of a point",
       {At("1", "SA", "-"), At("1"), At("0"), At("1", "SA", "-"), At("1")},
       true,
       {"F:Special placemarks", "PS:Start log", "PSA:Stop log", "PS:Start log", "PS:Stop log",
        "F:Flight data", "D:", "/F", "/F"}},
      {"two runs in realtime",
       {At("1", "SA", "-"), At("0"), At("1", "SA", "-"), At("1")},
       false,
       {"F:Special placemarks", "PS:Start log", "PSA:Stop log", "PS:Start log", "F:Flight data",
        "D:", "/F", "/F"}},
      {"a run that ended with a stop gets no second one",
       {At("1", "SA", "-"), At("0", "SO"), At("1", "SA", "-"), At("1")},
       false,
       {"F:Special placemarks", "PS:Start log", "PSA:Stop log", "PS:Start log", "F:Flight data",
        "D:", "/F", "/F"}},
      {"an event at the end of a run keeps its pin next to the stop",
       {At("0", "GD"), At("1", "SA", "-"), At("0")},
       false,
       {"F:Special placemarks", "PSA:Gear down", "PSA:Stop log", "PS:Start log", "F:Flight data",
        "DA:", "/F", "/F"}},
      {"the last event of a converted flight becomes the stop",
       {At("1", "SA"), At("0", "GD")},
       true,
       {"F:Special placemarks", "PS:Start log", "PSA:Stop log", "/F"}},
      {"warnings: overspeed on the ground, stall on the ground, overspeed in the air",
       {At("1", "O"), At("1", "S"), At("0", "O"), At("0", "SE")},
       false,
       {"F:Special placemarks", "PW:Overspeed!!", "PWA:Stall!!", "PWA:Overspeed!!", "PWA:Recovered",
        "/F"}},
      {"an unknown code keeps the last name and takes a ground pin",
       {At("0", "GD"), At("0", "XX"), At("0"), At("0", "XX")},
       false,
       {"F:Special placemarks", "PSA:Gear down", "PS:Gear down", "PS:", "F:Flight data",
        "DA:", "/F", "/F"}},
      {"realtime without events writes nothing", {At("1"), At("0")}, false, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Marks(Pass(c.records, c.convertMode)), c.expected) << c.name;
  }
}

TEST(EventPass, PlaceholderValues) {
  Rec gear = At("0", "GD");
  gear.stamp = "20261204223015";
  Rec point = At("1");
  point.stamp = "20261204223116";
  point.alt = "-11";
  point.lon = "4.75";
  const std::string text = Pass({gear, point}, false);
  EXPECT_NE(text.find("<PSA Gear down|Event: You lowered the gear at this point.|120|270|125|118|0|"
                      "1000|900|22:30:15|04-12-2026|4.5,52,304.8>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<F Flight data><listItemType>checkHideChildren</listItemType>"
                      "<D |120|270|125|118|0|-11|900|22:31:16|04-12-2026|4.75,52,-3.3528>"),
            std::string::npos)
      << text;
}

TEST(EventPass, DateTimeOnlyWhereThePointHoldsIt) {
  KmlTemplateSet kml = CompactSnippets();
  kml.PinDot =
      "<D NAME|TIME|DATE|DATETIME|KIAS|HDG|SPDTAS|GNDSPD|VERTSPEED|ALT|ALTAGL|LONY,LATX,ALTM>";
  const std::string text = Pass({At("1", "SA"), At("1")}, false, kml);
  EXPECT_NE(text.find("<D |22:30:15|04-12-2026|2026-12-04T22:30:15z|120|"), std::string::npos)
      << text;
}

TEST(EventPass, FailuresFailTheWholePass) {
  struct Case {
    const char* name;
    void (*change)(KmlTemplateSet&);
    std::vector<Rec> records;
  } cases[] = {
      {"pin without DESC",
       [](KmlTemplateSet& k) { k.PlacemarkPinSmallAir = "<PSA NAME>"; },
       {At("0", "GD")}},
      {"air pin without ALTM",
       [](KmlTemplateSet& k) {
         k.PlacemarkPinWarningAir.erase(k.PlacemarkPinWarningAir.find("ALTM"));
       },
       {At("0", "O")}},
      {"point without KIAS, even with no event to show it",
       [](KmlTemplateSet& k) { k.PinDotAir = "<DA NAME|LONY,LATX,ALTM>"; },
       {At("0"), At("0")}},
      {"a folder without a check list, once a point needs it",
       [](KmlTemplateSet& k) { k.Folder = "<F NAME>"; },
       {At("1", "SA"), At("1")}},
  };
  for (const Case& c : cases) {
    KmlTemplateSet kml = CompactSnippets();
    c.change(kml);
    EXPECT_THROW(Pass(c.records, false, kml), MissingPlaceholder) << c.name;
  }
  StringSink out;
  const LogRecords eleven = SplitLogRecords("20261204223015:4.5:52:1000:0:GD:120:900:125:0:118");
  EXPECT_THROW(WriteSpecialPlacemarks(CompactSnippets(), ".", eleven.records, false, out),
               KmlDataError);
  EXPECT_THROW(Pass({At("1", "TD=hard/5")}, false), KmlDataError);
}

}  // namespace
}  // namespace sky::test
