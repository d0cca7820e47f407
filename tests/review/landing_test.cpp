// The landing monitor over flown sample sequences: where a report ends (taxi speed, touch-and-go,
// the time limit, samples that stop), bounces with their own rates, the approach gates with and
// without an ILS, the sink over the last 50 ft; and the report's block as Landings.txt holds it.
#include "review/landing.h"

#include <gtest/gtest.h>

#include <vector>

namespace sky {
namespace {

// A flight second by second: an approach from 1200 ft, then what each case does after it.
struct Flight {
  std::vector<LandingSample> samples;
  double t = 0;
  void Add(double height, double vs, double gs, bool ground, bool ils = true, int loc = 0,
           int gs_needle = 0, double tdRate = 0) {
    const int64_t second = static_cast<int64_t>(t);
    samples.push_back({.timeS = t++,
                       .stamp = 20261205102000 + second / 60 * 100 + second % 60,
                       .heightFt = height,
                       .verticalSpeedFpm = vs,
                       .touchdownRateFpm = tdRate,
                       .groundSpeedKt = gs,
                       .iasKt = gs + 3,
                       .onGround = ground,
                       .glideslopeFlag = ils,
                       .localizerNeedle = loc,
                       .glideslopeNeedle = gs_needle});
  }
  // From `top` down to 20 ft at 600 ft/min (10 ft a second), needles off by loc and gs; the
  // vertical speed read is `vs`.
  void Approach(double top = 1200, double vs = -600, bool ils = true, int loc = 0, int gs = 0) {
    for (double h = top; h > 10; h -= 10) Add(h, vs, 140, false, ils, loc, gs);
  }
  Flight& Touchdown(double rate, double gs = 130) {
    Add(0, rate, gs, true, true, 0, 0, rate);
    return *this;
  }
  Flight& Roll(int seconds, double from, double slowing) {
    for (int i = 0; i < seconds; ++i) Add(0, 0, from - slowing * i, true);
    return *this;
  }
  Flight& Air(int seconds) {
    for (int i = 0; i < seconds; ++i) Add(5, 100, 120, false);
    return *this;
  }
  Flight& Pause(int seconds) {
    t += seconds;
    return *this;
  }
};

// The approach from 1200 ft on the ILS and a touchdown at -180 ft/min.
Flight Landed(double groundSpeed = 130) {
  Flight f;
  f.Approach();
  f.Touchdown(-180, groundSpeed);
  return f;
}

std::vector<LandingReport> Fly(const Flight& flight, bool stopAtEnd = false) {
  LandingMonitor monitor;
  std::vector<LandingReport> reports;
  for (const LandingSample& s : flight.samples) {
    if (auto r = monitor.Feed(s)) reports.push_back(*r);
  }
  if (stopAtEnd) {
    if (auto r = monitor.Stop()) reports.push_back(*r);
  }
  return reports;
}

TEST(LandingMonitor, EndsAtTaxiSpeedTouchAndGoTheLimitOrWhenTheSamplesStop) {
  struct Case {
    const char* name;
    Flight flight;
    bool stopAtEnd;
    LandingEnd end;
    double secondsToEnd;
    double bounceRate = 0;  // of the one bounce; 0: no bounce
  };
  const Case cases[] = {
      {"rolls out to taxi speed after 22 s", Landed().Roll(40, 130, 5), false,
       LandingEnd::TaxiSpeed, 22},
      {"a bounce: 3 s in the air, back at -240",
       Landed().Roll(2, 130, 1).Air(3).Touchdown(-240, 125).Roll(40, 125, 5), false,
       LandingEnd::TaxiSpeed, 27, -240},
      {"off again 15 s after touching: a touch-and-go", Landed().Roll(15, 130, 1).Air(5), false,
       LandingEnd::TouchAndGo, 16},
      {"a bounce that stays up over 20 s is a go-around", Landed().Roll(3, 130, 1).Air(25), false,
       LandingEnd::TouchAndGo, 4},
      {"still fast after three minutes", Landed().Roll(200, 60, 0), false, LandingEnd::TimeLimit,
       180},
      {"the link is lost during the roll-out", Landed().Roll(5, 130, 1), true,
       LandingEnd::SamplesStopped, 5},
      {"the samples pause for 20 s during the roll-out",
       Landed().Roll(5, 130, 1).Pause(19).Roll(40, 125, 5), false, LandingEnd::SamplesStopped, 5},
      {"a slow aircraft is below taxi speed at once and still waits for bounces",
       Landed(25).Roll(12, 25, 1), false, LandingEnd::TaxiSpeed, 0},
  };
  for (const Case& c : cases) {
    const auto reports = Fly(c.flight, c.stopAtEnd);
    ASSERT_EQ(reports.size(), 1u) << c.name;
    const LandingReport& r = reports[0];
    EXPECT_EQ(r.end, c.end) << c.name;
    EXPECT_DOUBLE_EQ(r.secondsToEnd, c.secondsToEnd) << c.name;
    std::vector<double> rates;
    for (const Bounce& b : r.bounces) rates.push_back(b.rateFpm);
    EXPECT_EQ(rates, c.bounceRate ? std::vector<double>{c.bounceRate} : std::vector<double>{})
        << c.name;
    EXPECT_DOUBLE_EQ(r.touchdownRateFpm, -180) << c.name;
  }
}

// The gates with and without an ILS, their needles in dots and their stability (a dot at most,
// sinking at 1000 ft/min at most); an approach that begins below them reaches none.
TEST(LandingMonitor, GatesGiveTheNeedlesWhereAnIlsWasTunedAndTheSinkOfTheLastFiftyFeet) {
  struct Case {
    bool ils;
    int loc, gs;
    double vs, locDots, gsDots;
    bool stable;
    double top = 1200;  // where the approach begins
  };
  const Case cases[] = {
      {true, 0, 0, -600, 0, 0, true},
      {true, 51, -48, -600, 51 / 127.0 * 2.5, -48 / 119.0 * 2.5, false},  // both a bit over a dot
      {true, -50, 47, -600, -50 / 127.0 * 2.5, 47 / 119.0 * 2.5, true},   // both just within
      {false, 100, 100, -600, 0, 0, true},                                // needles of no ILS
      {false, 0, 0, -1000, 0, 0, true},
      {false, 0, 0, -1000.5, 0, 0, false},
      {true, 0, 0, -600, 0, 0, true, 400},
  };
  for (const Case& c : cases) {
    Flight f;
    f.Approach(c.top, c.vs, c.ils, c.loc, c.gs);
    f.Touchdown(-150).Roll(40, 130, 5);
    const auto reports = Fly(f);
    ASSERT_EQ(reports.size(), 1u);
    for (const ApproachGate& gate : {reports[0].at1000, reports[0].at500}) {
      EXPECT_EQ(gate.reached, c.top > 1000) << c.top;
      if (!gate.reached) continue;
      EXPECT_EQ(gate.ils, c.ils);
      EXPECT_DOUBLE_EQ(gate.verticalSpeedFpm, c.vs);
      if (c.ils) {
        EXPECT_DOUBLE_EQ(gate.localizerDots, c.locDots);
        EXPECT_DOUBLE_EQ(gate.glideslopeDots, c.gsDots);
      }
      EXPECT_EQ(gate.stable, c.stable) << c.loc << " " << c.vs;
    }
    // The sample at 50 ft came 4 s before the touchdown.
    ASSERT_TRUE(reports[0].lastFiftyFeetFpm);
    EXPECT_DOUBLE_EQ(*reports[0].lastFiftyFeetFpm, -750);
  }
}

TEST(LandingReport, IsABlockOfLabelledLinesThatReadsBack) {
  LandingReport r;
  r.stamp = 20261205102808;
  r.touchdownRateFpm = -181;
  r.lastFiftyFeetFpm = -240.4;
  r.groundSpeedKt = 135.9;
  r.iasKt = 131.2;
  r.bounces = {{2, -120}};
  r.at1000 = {1000, true, -700, true, 0.31, -0.04, true};
  r.at500 = {500, true, -1100, false, 0, 0, false};
  r.end = LandingEnd::TaxiSpeed;
  r.secondsToEnd = 24;
  const std::string text = LandingReportText(r);
  EXPECT_EQ(text,
            "Landing 2026-12-05 10:28:08z\r\n"
            "  Touchdown: -181 ft/min\r\n"
            "  Rating: Nice touchdown!\r\n"
            "  Last 50 ft: -240 ft/min on average\r\n"
            "  Bounces: 1; 2 s in the air, -120 ft/min\r\n"
            "  Speed at touchdown: 135 kt ground, 131 kt indicated\r\n"
            "  At 1000 ft: -700 ft/min, localizer +0.3 dots, glideslope 0.0 dots, stable\r\n"
            "  At 500 ft: -1100 ft/min, no ILS, not stable\r\n"
            "  Taxi speed: 24 s after touchdown\r\n"
            "\r\n");
  r.touchdownRateFpm = -180;  // the band's bound belongs to the kiss, as on the event pins
  const auto blocks = ReadLandingBlocks("junk\r\n" + text + LandingReportText(r));
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].time, "2026-12-05T10:28:08Z");
  EXPECT_EQ(blocks[0].lines.size(), 8u);
  EXPECT_EQ(blocks[1].lines[1],
            "Rating: Now this is what you can call a 'kiss' touchdown, you're good!");
  EXPECT_EQ(LandingReportSentence(r),
            "Landing report: -180 ft/min, last 50 ft -240 ft/min, 1 bounce, taxi speed after 24 s "
            "(Landings.txt).");
}

}  // namespace
}  // namespace sky
