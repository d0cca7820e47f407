#include "review/landing.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"
#include "kml/event_table.h"
#include "review/track.h"

namespace sky {
namespace {

constexpr double kStopGapS = 15;
constexpr double kBounceAirborneS = 20;

double Dots(int needle, double fullScale) {
  return std::clamp(needle / fullScale, -1.0, 1.0) * 2.5;
}

std::string Rate(double fpm) {
  return Fixed(fpm, 0) + " ft/min";
}

std::string Signed(double dots) {
  return (dots >= 0.05 ? "+" : "") + Fixed(dots, 1);
}

std::string GateText(const ApproachGate& gate) {
  if (!gate.reached) return "not flown through";
  std::string text = Rate(gate.verticalSpeedFpm);
  if (gate.ils) {
    text += ", localizer " + Signed(gate.localizerDots) + " dots, glideslope " +
            Signed(gate.glideslopeDots) + " dots";
  } else {
    text += ", no ILS";
  }
  return text + (gate.stable ? ", stable" : ", not stable");
}

}  // namespace

const LandingSample& LandingMonitor::Back(size_t age) const {
  return ring_[(next_ + kRing - 1 - age) % kRing];
}

std::optional<LandingReport> LandingMonitor::Feed(const LandingSample& sample) {
  std::optional<LandingReport> done;
  if (count_ > 0 && sample.timeS - Back(0).timeS > kStopGapS) {
    done = Stop();
    count_ = 0;
  }
  const bool wasInAir = count_ > 0 && !Back(0).onGround;
  const bool wasOnGround = count_ > 0 && Back(0).onGround;
  ring_[next_] = sample;
  next_ = (next_ + 1) % kRing;
  count_ = std::min(count_ + 1, kRing);
  const double now = sample.timeS;

  if (!open_) {
    if (wasInAir && sample.onGround) Open(sample);
    return done;
  }
  if (sample.onGround && wasInAir) {  // back on the ground after a bounce
    open_->bounces.push_back({now - liftOffS_.value_or(now), sample.touchdownRateFpm});
    lastContactS_ = now;
    liftOffS_.reset();
    taxiS_.reset();
  } else if (!sample.onGround && wasOnGround) {
    if (now - lastContactS_ > kBounceWindowS) return Close(LandingEnd::TouchAndGo, now);
    liftOffS_ = now;
    taxiS_.reset();
  }
  if (liftOffS_ && now - *liftOffS_ > kBounceAirborneS) {
    return Close(LandingEnd::TouchAndGo, *liftOffS_);
  }
  if (sample.onGround && sample.groundSpeedKt < kTaxiSpeedKt && !taxiS_) taxiS_ = now;
  if (sample.onGround && taxiS_ && now - lastContactS_ >= kBounceWindowS) {
    return Close(LandingEnd::TaxiSpeed, *taxiS_);
  }
  if (now - touchdownS_ >= kReportLimitS) return Close(LandingEnd::TimeLimit, now);
  return done;
}

std::optional<LandingReport> LandingMonitor::Stop() {
  if (!open_) return std::nullopt;
  return Close(LandingEnd::SamplesStopped, count_ > 0 ? Back(0).timeS : touchdownS_);
}

void LandingMonitor::Open(const LandingSample& touchdown) {
  LandingReport report;
  report.stamp = touchdown.stamp;
  report.touchdownRateFpm = touchdown.touchdownRateFpm;
  report.groundSpeedKt = touchdown.groundSpeedKt;
  report.iasKt = touchdown.iasKt;

  // Back through the descent, newest first, up to the last sample on the ground.
  std::optional<double> crossedFiftyS;
  for (size_t age = 1; age < count_ && !Back(age).onGround; ++age) {
    const LandingSample& older = Back(age);
    const LandingSample& newer = age == 1 ? touchdown : Back(age - 1);
    const double newerHeight = age == 1 ? 0.0 : newer.heightFt;
    if (!crossedFiftyS && older.heightFt > 50 && newerHeight <= 50) {
      const double part = (older.heightFt - 50) / (older.heightFt - newerHeight);
      crossedFiftyS = older.timeS + part * (newer.timeS - older.timeS);
    }
    for (ApproachGate* gate : {&report.at1000, &report.at500}) {
      if (gate->reached || older.heightFt <= gate->heightFt || newerHeight > gate->heightFt) {
        continue;
      }
      const LandingSample& at =
          older.heightFt - gate->heightFt <= gate->heightFt - newerHeight ? older : newer;
      gate->reached = true;
      gate->verticalSpeedFpm = at.verticalSpeedFpm;
      gate->ils = at.glideslopeFlag;
      gate->localizerDots = Dots(at.localizerNeedle, 127);
      gate->glideslopeDots = Dots(at.glideslopeNeedle, 119);
      gate->stable =
          at.verticalSpeedFpm >= -1000 && (!gate->ils || (std::fabs(gate->localizerDots) <= 1 &&
                                                          std::fabs(gate->glideslopeDots) <= 1));
    }
  }
  if (crossedFiftyS && touchdown.timeS > *crossedFiftyS) {
    report.lastFiftyFeetFpm = -50 / (touchdown.timeS - *crossedFiftyS) * 60;
  }
  open_ = std::move(report);
  touchdownS_ = lastContactS_ = touchdown.timeS;
  liftOffS_.reset();
  taxiS_.reset();
  if (touchdown.groundSpeedKt < kTaxiSpeedKt) taxiS_ = touchdown.timeS;
}

LandingReport LandingMonitor::Close(LandingEnd end, double atS) {
  LandingReport report = std::move(*open_);
  open_.reset();
  report.end = end;
  report.secondsToEnd = std::max(0.0, atS - touchdownS_);
  return report;
}

std::string LandingReportText(const LandingReport& r) {
  const std::string time = IsoTime(r.stamp);
  std::string text = "Landing " + time.substr(0, 10) + " " + time.substr(11, 8) + "z\r\n";
  const auto line = [&text](std::string_view label, const std::string& value) {
    text.append("  ").append(label).append(": ").append(value).append("\r\n");
  };
  line("Touchdown", Rate(r.touchdownRateFpm));
  line("Rating", std::string(TouchdownRating(r.touchdownRateFpm)));
  line("Last 50 ft", r.lastFiftyFeetFpm ? Rate(*r.lastFiftyFeetFpm) + " on average"
                                        : std::string("not measured"));
  std::string bounces = r.bounces.empty() ? "none" : std::to_string(r.bounces.size());
  for (const Bounce& b : r.bounces) {
    bounces += "; " + Fixed(b.airborneS, 0) + " s in the air, " + Rate(b.rateFpm);
  }
  line("Bounces", bounces);
  line("Speed at touchdown", Fixed(std::floor(r.groundSpeedKt), 0) + " kt ground, " +
                                 Fixed(std::floor(r.iasKt), 0) + " kt indicated");
  line("At 1000 ft", GateText(r.at1000));
  line("At 500 ft", GateText(r.at500));
  const std::string seconds = Fixed(r.secondsToEnd, 0) + " s";
  switch (r.end) {
    case LandingEnd::TaxiSpeed:
      line("Taxi speed", seconds + " after touchdown");
      break;
    case LandingEnd::TouchAndGo:
      line("Touch-and-go", "airborne again " + seconds + " after touchdown");
      break;
    case LandingEnd::TimeLimit:
      line("Taxi speed", "not reached within " + seconds);
      break;
    case LandingEnd::SamplesStopped:
      line("Taxi speed", "not known, the samples stopped " + seconds + " after touchdown");
      break;
  }
  return text + "\r\n";
}

std::string LandingReportSentence(const LandingReport& r) {
  std::string text = "Landing report: " + Rate(r.touchdownRateFpm);
  if (r.lastFiftyFeetFpm) text += ", last 50 ft " + Rate(*r.lastFiftyFeetFpm);
  text += ", " + (r.bounces.empty() ? std::string("no bounce")
                                    : std::to_string(r.bounces.size()) +
                                          (r.bounces.size() == 1 ? " bounce" : " bounces"));
  if (r.end == LandingEnd::TaxiSpeed)
    text += ", taxi speed after " + Fixed(r.secondsToEnd, 0) + " s";
  if (r.end == LandingEnd::TouchAndGo) text += ", touch-and-go";
  return text + " (Landings.txt).";
}

std::vector<LandingBlock> ReadLandingBlocks(std::string_view text) {
  std::vector<LandingBlock> blocks;
  ForEachLine(text, [&blocks](std::string_view line) {
    // "Landing 2026-12-05 10:31:07z"
    if (line.size() == 28 && line.substr(0, 8) == "Landing " && line.back() == 'z') {
      blocks.push_back(
          {std::string(line.substr(8, 10)) + "T" + std::string(line.substr(19, 8)) + "Z", {}});
    } else if (!blocks.empty() && line.size() > 2 && line.substr(0, 2) == "  ") {
      blocks.back().lines.emplace_back(line.substr(2));
    }
    return true;
  });
  return blocks;
}

}  // namespace sky
