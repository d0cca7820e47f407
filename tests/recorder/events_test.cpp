// Flight events: every code from small flights through the whole program, and the rules of the
// checks (windows, last one wins, the status window's warning colours).
#include "recorder/events.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

#include "commands/app.h"
#include "commands/logging.h"
#include "shell/dispatch.h"
#include "track_feed.h"

namespace sky {
namespace {

TEST(EventTracks, EveryCodeFromASmallFlight) {
  // In the air over ground at 0 ft unless a track says otherwise; logging starts after the first
  // second. Last rows repeat, so that an event told twice would show. Expected: the codes logged
  // from the start to the stop, then the sentences shown, without "Event: ".
  struct Case {
    const char *name, *csv, *events;
  } cases[] = {
      {"markers", "t,om,mm,im\n0,0,0,0\n2,1,0,0\n3,0,0,0\n4,0,1,0\n5,0,0,1\n6,0,0,0\n",
       "SA OM MM IM SO: Passing outer marker, Passing middle marker, Passing inner marker"},
      {"glideslope",
       "t,alt_ft,gs_flag,gs,loc\n0,3000,1,-100,0\n2,3000,1,0,0\n3,3000,1,90,0\n4,3000,1,-80,0\n"
       "5,3000,1,-80,0\n",
       "SA OG AG BG SO: On glideslope, Above glideslope, Below glideslope"},
      {"localizer",
       "t,alt_ft,gs_flag,gs,loc\n0,3000,1,-30,100\n2,3000,1,-30,20\n3,3000,1,-30,-70\n",
       "SA LI LL SO: Localizer intercept, Localizer lost"},
      {"tail hook", "t,tailhook\n0,0\n2,1\n3,0\n", "SA TL TU SO: Tailhook down, Tailhook up"},
      {"spoilers", "t,spoilers\n0,0\n2,1\n3,0\n",
       "SA SD SU SO: Spoilers deployed, Spoilers retracted"},
      {"flaps", "t,flaps\n0,0\n2,10\n3,20\n4,20\n", "SA FL=10 FL=20 SO: Flaps 10%, Flaps 20%"},
      {"gear", "t,gear\n0,1\n2,0.5\n3,1\n4,1\n", "SA GU GD SO: Gear up, Gear down"},
      {"overspeed", "t,overspeed\n0,0\n2,1\n3,0\n",
       "SA O OE SO: Overspeeding!!, Recovered from overspeed"},
      {"stall", "t,stall\n0,0\n2,1\n3,0\n", "SA S SE SO: Stalling!!, Recovered from stall"},
      {"take-off, gear up, then gear down with the touchdown: touchdown wins",
       "t,alt_ft,on_ground,vs_fpm,td_vs_fpm,autobrake,gear\n0,0,1,0,0,5,1\n2,30,0,1200,1200,5,1\n"
       "3,300,0,-320,-320,2,0\n4,0,1,-320,-320,2,1\n5,0,1,0,-320,2,1\n",
       "SA TO=5 GU TD=-320/2 SO: Take-off, Gear up, Gear down, Touchdown, -320ft/m"},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    test::FlyTrack(t, test::TrackOf(c.csv));
    StopLogging(t.app());
    std::string events;
    for (const std::string& record : test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")))) {
      if (!test::Field(record, 6).empty()) events += " " + test::Field(record, 6);
    }
    const char* separator = ": ";
    bool logging = false;
    for (const std::string& message : t.Messages()) {
      logging = logging || message == "Logging started.";
      if (!logging || message.rfind("Event: ", 0) != 0) continue;
      events += separator + message.substr(7);
      separator = ", ";
    }
    EXPECT_EQ(events, std::string(" ") + c.events) << c.name;
  }
}

// An approach 3000 ft above the ground at 700 ft/min, gear down, the previous sample alike,
// as `arrange` changes it; the code and the sentences of the checks.
std::pair<std::string, RecordResult> Detect(
    const std::function<void(FlightSample&, PreviousSample&)>& arrange) {
  FlightSample s{.Altitude = "3000",
                 .GroundSpeed = "140",
                 .VerticalSpeed = "-700",
                 .HeightAboveGround = "3000",
                 .TouchdownVerticalSpeed = "0",
                 .Gear = "1"};
  PreviousSample p{.Altitude = "3000", .VerticalSpeed = "-700", .Gear = "1", .read = true};
  arrange(s, p);
  std::string code = "SA";
  RecordResult result;
  DetectEvents(s, p, ".", LoggingParameters{}, code, result);
  return {code, result};
}

// No event, or one as the code says; the approach window is 150 to 5000 ft above ground, below
// 500 ft/min. Each arrangement changes the approach in one expression.
TEST(EventRules, ChecksAndTheirWindows) {
  using Arrange = std::function<void(FlightSample&, PreviousSample&)>;
  const std::tuple<const char*, Arrange, std::string> cases[] = {
      {"first sample: no gear event", [](auto& s, auto& p) { p.Gear.clear(), s.Gear = "0"; }, "SA"},
      {"marker at the climb limit",
       [](auto& s, auto&) { s.VerticalSpeed = "500", s.InnerMarker = 1; }, "SA"},
      {"marker that is not 1", [](auto& s, auto&) { s.MiddleMarker = 2; }, "SA"},
      {"glideslope at the lower bound",
       [](auto& s, auto&) { s.HeightAboveGround = "150", s.GlideslopeState = 2; }, "SA"},
      {"glideslope just inside",
       [](auto& s, auto&) { s.HeightAboveGround = "151", s.GlideslopeState = 2; }, "AG"},
      {"glideslope at the upper bound",
       [](auto& s, auto&) { s.HeightAboveGround = "5000", s.GlideslopeState = 2; }, "SA"},
      {"localizer, glideslope needle 0", [](auto& s, auto&) { s.LocalizerInBand = true; }, "SA"},
  };
  for (const auto& [name, arrange, code] : cases) {
    const auto [found, result] = Detect(arrange);
    EXPECT_EQ(found, code) << name;
    EXPECT_EQ(result.sentences.size(), size_t{code != "SA"}) << name;
  }
}

// The overspeed and stall warnings as they begin and end (the status window colours its
// ground-speed and altitude lines by them).
TEST(EventRules, WarningsAsTheyBeginAndEnd) {
  struct Step {
    int16_t overspeed[2], stall[2];  // before and now
    std::optional<bool> overspeedOn, stallOn;
  } steps[] = {{{0, 1}, {0, 1}, true, true},
               {{1, 0}, {1, 1}, false, std::nullopt},
               {{1, 1}, {1, 0}, std::nullopt, false},
               {{0, 0}, {0, 0}, std::nullopt, std::nullopt}};
  for (const Step& step : steps) {
    const RecordResult result = Detect([&step](FlightSample& s, PreviousSample& p) {
                                  p.Overspeed = step.overspeed[0], s.Overspeed = step.overspeed[1];
                                  p.Stall = step.stall[0], s.Stall = step.stall[1];
                                }).second;
    EXPECT_EQ(result.overspeed, step.overspeedOn) << &step - steps;
    EXPECT_EQ(result.stall, step.stallOn) << &step - steps;
  }
}

// Events compare two real samples: none on the first sample after start-up or a reconnection
// (a parked aircraft is no touchdown, flaps moved while the link was down are no event), and the
// status window's warning colours are taken as they stand.
TEST(EventRules, NoEventOnTheFirstSampleAfterAConnect) {
  test::TestApp t;
  sim::FlightState parked{.onGround = true, .gear = 1, .flapsPercent = 30, .overspeed = 1};
  sim::WriteFlightState(t.simulator, parked);
  ASSERT_TRUE(t.Load());
  Click(t.app(), "Form1", "btn_indicator");
  t.Tick(3);
  StartLogging(t.app());
  t.transport.neverDeliver = true;
  t.Tick();
  ASSERT_FALSE(t.g().Connected);
  EXPECT_EQ(t.app().frmACStatus.Label1.color, kRed);  // overspeed, as first read
  parked.flapsPercent = 10;
  parked.overspeed = 0;
  sim::WriteFlightState(t.simulator, parked);
  t.transport.neverDeliver = false;
  t.Tick(3);
  ASSERT_TRUE(t.g().Connected);
  EXPECT_EQ(t.app().frmACStatus.Label1.color, kBlack);
  StartLogging(t.app());
  parked.flapsPercent = 20;
  sim::WriteFlightState(t.simulator, parked);
  t.Tick();
  std::vector<std::string> events;
  for (const std::string& message : t.Messages()) {
    if (message.rfind("Event: ", 0) == 0) events.push_back(message);
  }
  EXPECT_EQ(events, std::vector<std::string>{"Event: Flaps 20%"});
  std::string codes;
  for (const std::string& record : test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")))) {
    codes += test::Field(record, 6) + " ";
  }
  EXPECT_EQ(codes, "SA SA FL=20 ");  // the start before the loss and after the reconnection
}

}  // namespace
}  // namespace sky
