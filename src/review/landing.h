// The landing report: how a touchdown went, from the 1 Hz samples around it. The tick feeds a
// LandingMonitor with each sample; it keeps the last ten minutes in a ring of plain values and,
// once a landing has rolled out, hands back its report.
//
// A report opens at a touchdown (on the ground after a sample in the air) and closes when the
// first of these comes:
// - taxi speed: on the ground below 30 kt, at least 10 s after the last contact (so a slow
//   aircraft's bounces are still caught);
// - a touch-and-go: airborne again more than 10 s after the last contact, or a bounce that stays
//   in the air for more than 20 s;
// - three minutes after the touchdown without taxi speed;
// - the samples stopping (a lost link or a stop of more than 15 s between samples).
// A lift-off within 10 s of a contact is a bounce; its next contact has its own rate.
// An ILS counts as tuned at a gate when the glideslope flag is set there; the needles are then
// given in dots, full deflection being 2.5 dots to either side.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sky {

// One tick's values, as the monitor keeps them.
struct LandingSample {
  double timeS = 0;     // a steady clock, seconds
  int64_t stamp = 0;    // the fourteen-digit time stamp
  double heightFt = 0;  // above ground
  double verticalSpeedFpm = 0;
  double touchdownRateFpm = 0;  // the rate the simulator gives for the last contact
  double groundSpeedKt = 0;
  double iasKt = 0;
  bool onGround = false;
  bool glideslopeFlag = false;
  int localizerNeedle = 0;   // -127 to 128
  int glideslopeNeedle = 0;  // -136 to 119, positive above the glideslope
};

// The approach as it stood when the aircraft descended through a height above ground.
struct ApproachGate {
  int heightFt = 0;      // the gate: 1000 or 500
  bool reached = false;  // the samples hold a descent through it
  double verticalSpeedFpm = 0;
  bool ils = false;  // the glideslope flag was set
  double localizerDots = 0;
  double glideslopeDots = 0;  // positive above the glideslope
  bool stable = false;  // sink at most 1000 ft/min and, with an ILS, both needles within 1 dot
};

struct Bounce {
  double airborneS = 0;
  double rateFpm = 0;
};

enum class LandingEnd { TaxiSpeed, TouchAndGo, TimeLimit, SamplesStopped };

struct LandingReport {
  int64_t stamp = 0;                       // the touchdown's time stamp
  double touchdownRateFpm = 0;             // negative is downward; rated by the event pins' bands
  std::optional<double> lastFiftyFeetFpm;  // average sink over the last 50 ft
  double groundSpeedKt = 0;
  double iasKt = 0;
  std::vector<Bounce> bounces;
  ApproachGate at1000{1000};
  ApproachGate at500{500};
  LandingEnd end = LandingEnd::TaxiSpeed;
  double secondsToEnd = 0;  // from the touchdown to taxi speed, the lift-off or the limit
};

inline constexpr double kTaxiSpeedKt = 30;
inline constexpr double kBounceWindowS = 10;
inline constexpr double kReportLimitS = 180;

class LandingMonitor {
 public:
  // Takes the next sample; returns the report of a landing that ends with it.
  std::optional<LandingReport> Feed(const LandingSample& sample);
  // The samples stop (a lost link): an open report ends now.
  std::optional<LandingReport> Stop();

 private:
  static constexpr size_t kRing = 600;          // ten minutes at 1 Hz
  const LandingSample& Back(size_t age) const;  // 0 the newest
  void Open(const LandingSample& touchdown);
  LandingReport Close(LandingEnd end, double atS);

  std::array<LandingSample, kRing> ring_{};
  size_t count_ = 0;
  size_t next_ = 0;
  std::optional<LandingReport> open_;
  double touchdownS_ = 0;
  double lastContactS_ = 0;
  std::optional<double> liftOffS_;  // while a bounce is in the air
  std::optional<double> taxiS_;     // first time below taxi speed since the last contact
};

// The report as a readable block: a "Landing" line with the time, then one line per value,
// each "  Label: value", CR LF line ends, and an empty line after it.
std::string LandingReportText(const LandingReport& report);
// The one-line sentence for the message board.
std::string LandingReportSentence(const LandingReport& report);

// The blocks of a landings file: each block's time (as "2026-12-05T10:31:07Z") and its lines.
struct LandingBlock {
  std::string time;
  std::vector<std::string> lines;  // "Label: value", without the indent
};
std::vector<LandingBlock> ReadLandingBlocks(std::string_view text);

}  // namespace sky
