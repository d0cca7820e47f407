// Flight events: every code from small flights through the whole program, and the rules of the
// checks (windows, last one wins, the status window's warning colours).
#include "recorder/events.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/app.h"
#include "recorder/logging.h"
#include "track_feed.h"

namespace sky {
namespace {

TEST(EventTracks, EveryCodeFromASmallFlight) {
  // Airborne at 3000 ft over ground at 0 ft unless a track says otherwise; logging starts after
  // the first second. Last rows repeat, so that an event told twice would show.
  struct Case {
    const char* name;
    const char* csv;
    std::vector<std::string> codes;
    std::vector<std::string> messages;
  } cases[] = {
      {"markers",
       "t,alt_ft,vs_fpm,om,mm,im\n0,3000,-700,0,0,0\n2,3000,-700,1,0,0\n3,3000,-700,0,0,0\n"
       "4,3000,-700,0,1,0\n5,3000,-700,0,0,1\n6,3000,-700,0,0,0\n",
       {"OM", "MM", "IM"},
       {"Event: Passing outer marker", "Event: Passing middle marker",
        "Event: Passing inner marker"}},
      {"glideslope",
       "t,alt_ft,gs_flag,gs,loc\n0,3000,1,-100,0\n2,3000,1,0,0\n3,3000,1,90,0\n4,3000,1,-80,0\n"
       "5,3000,1,-80,0\n",
       {"OG", "AG", "BG"},
       {"Event: On glideslope", "Event: Above glideslope", "Event: Below glideslope"}},
      {"localizer",
       "t,alt_ft,gs_flag,gs,loc\n0,3000,1,-30,100\n2,3000,1,-30,20\n3,3000,1,-30,-70\n",
       {"LI", "LL"},
       {"Event: Localizer intercept", "Event: Localizer lost"}},
      {"tail hook",
       "t,alt_ft,tailhook\n0,3000,0\n2,3000,1\n3,3000,0\n",
       {"TL", "TU"},
       {"Event: Tailhook down", "Event: Tailhook up"}},
      {"spoilers",
       "t,alt_ft,spoilers\n0,3000,0\n2,3000,1\n3,3000,0\n",
       {"SD", "SU"},
       {"Event: Spoilers deployed", "Event: Spoilers retracted"}},
      {"flaps",
       "t,alt_ft,flaps\n0,3000,0\n2,3000,10\n3,3000,20\n4,3000,20\n",
       {"FL=10", "FL=20"},
       {"Event: Flaps 10%", "Event: Flaps 20%"}},
      {"gear",
       "t,alt_ft,gear\n0,3000,1\n2,3000,0.5\n3,3000,1\n4,3000,1\n",
       {"GU", "GD"},
       {"Event: Gear up", "Event: Gear down"}},
      {"overspeed",
       "t,alt_ft,overspeed\n0,3000,0\n2,3000,1\n3,3000,0\n",
       {"O", "OE"},
       {"Event: Overspeeding!!", "Event: Recovered from overspeed"}},
      {"stall",
       "t,alt_ft,stall\n0,3000,0\n2,3000,1\n3,3000,0\n",
       {"S", "SE"},
       {"Event: Stalling!!", "Event: Recovered from stall"}},
      {"take-off and touchdown",
       "t,alt_ft,ground_ft,on_ground,vs_fpm,td_vs_fpm,autobrake\n0,372,364,1,0,0,5\n"
       "2,400,364,0,1200,1200,5\n3,700,364,0,-320,-320,2\n4,372,364,1,-320,-320,2\n"
       "5,372,364,1,0,-320,2\n",
       {"TO=5", "TD=-320/2"},
       {"Event: Take-off", "Event: Touchdown, -320ft/m"}},
  };
  for (const Case& c : cases) {
    test::TestApp t;
    test::FlyTrack(t, test::TrackOf(c.csv));
    StopLogging(t.app());
    std::vector<std::string> codes;
    for (const std::string& record : test::Lines(test::ReadFile(t.DataFile("Flightlog.txt")))) {
      if (!test::Field(record, 6).empty()) codes.push_back(test::Field(record, 6));
    }
    std::vector<std::string> expected = {"SA"};
    expected.insert(expected.end(), c.codes.begin(), c.codes.end());
    expected.push_back("SO");
    EXPECT_EQ(codes, expected) << c.name;
    std::vector<std::string> messages;  // shown while logging
    bool logging = false;
    for (const std::string& message : t.Messages()) {
      logging = logging || message == "Logging started.";
      if (logging && message.rfind("Event: ", 0) == 0) messages.push_back(message);
    }
    EXPECT_EQ(messages, c.messages) << c.name;
  }
}

// A program that has read a sample on an approach at 3000 ft; the checks run on demand.
struct EventBench {
  EventBench() {
    EXPECT_TRUE(t.Load());
    t.app().sample = {.Altitude = "3000",
                      .VerticalSpeed = "-700",
                      .HeightAboveGround = "3000",
                      .TouchdownVerticalSpeed = "-700",
                      .Gear = "1"};
    t.app().prev.Gear = "1";
  }

  // Runs the checks; returns the code and the number of sentences shown.
  std::pair<std::string, size_t> Detect() {
    const size_t before = t.Messages().size();
    std::string code = "SA";
    DetectEvents(t.app(), code);
    return {code, t.Messages().size() - before};
  }

  test::TestApp t;
};

TEST(EventRules, ChecksAndTheirWindows) {
  // Each arrangement changes the approach in one expression; the window is 150 to 5000 ft above
  // ground, below 500 ft/min.
  using Arrange = std::function<void(FlightSample&, PreviousSample&)>;
  struct Case {
    const char* name;
    Arrange arrange;
    std::string code;
    size_t messages;
  } cases[] = {
      {"gear and touchdown in one tick: touchdown wins",
       [](auto& s, auto& p) {
         p.Gear = "0", s.OnGround = 1, s.TouchdownVerticalSpeed = "-320", s.Autobrake = 2;
       },
       "TD=-320/2", 2},
      {"first sample: no gear event", [](auto& s, auto& p) { p.Gear.clear(), s.Gear = "0"; }, "SA",
       0},
      {"marker at the climb limit",
       [](auto& s, auto&) { s.VerticalSpeed = "500", s.InnerMarker = 1; }, "SA", 0},
      {"marker that is not 1", [](auto& s, auto&) { s.MiddleMarker = 2; }, "SA", 0},
      {"glideslope at the lower bound",
       [](auto& s, auto&) { s.HeightAboveGround = "150", s.GlideslopeState = 2; }, "SA", 0},
      {"glideslope just inside",
       [](auto& s, auto&) { s.HeightAboveGround = "151", s.GlideslopeState = 2; }, "AG", 1},
      {"glideslope at the upper bound",
       [](auto& s, auto&) { s.HeightAboveGround = "5000", s.GlideslopeState = 2; }, "SA", 0},
      {"localizer, previous glideslope needle 0", [](auto& s, auto&) { s.LocalizerInBand = true; },
       "SA", 0},
  };
  for (const Case& c : cases) {
    EventBench b;
    c.arrange(b.t.app().sample, b.t.app().prev);
    EXPECT_EQ(b.Detect(), std::make_pair(c.code, c.messages)) << c.name;
  }
}

TEST(EventRules, WarningsColourTheStatusWindowOnlyWhileItIsOpen) {
  EventBench b;
  test::TestApp& t = b.t;
  StatusControls& status = t.app().frmACStatus;
  FlightSample& s = t.app().sample;
  s.Overspeed = s.Stall = 1;
  b.Detect();
  EXPECT_EQ(status.Label1.color, kBlack);
  EXPECT_EQ(status.Label3.color, kBlack);
  t.g().StatusWindowOpen = true;
  b.Detect();
  EXPECT_EQ(status.Label1.color, kRed);
  EXPECT_EQ(status.Label3.color, kRed);
  EXPECT_EQ(status.lblEvent.text, "Event: Stalling!!");
  t.app().prev.Overspeed = t.app().prev.Stall = 1;
  s.Overspeed = 0;
  b.Detect();
  EXPECT_EQ(status.Label1.color, kBlack);
  EXPECT_EQ(status.Label3.color, kRed);
  s.Stall = 0;
  b.Detect();
  EXPECT_EQ(status.Label3.color, kBlack);
  EXPECT_EQ(status.lblEvent.text, "Event: Recovered from stall");
}

}  // namespace
}  // namespace sky
