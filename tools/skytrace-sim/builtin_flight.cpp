#include "skytrace-sim/builtin_flight.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sky::sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadPerDeg = kPi / 180;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600;
constexpr double kFeetPerMetre = 3.28084;

// Frankfurt runway 07C/25C: the 25C threshold (the east end, where landings on 25C begin), the
// 07C threshold at the west end, and the elevation of the airfield.
constexpr double kThresholdLat = 50.04505;
constexpr double kThresholdLon = 8.58695;
constexpr double kFarEndLat = 50.03259;
constexpr double kFarEndLon = 8.53423;
constexpr double kElevationFt = 364;
constexpr double kReferenceHeightFt = 8;  // the aircraft's reference point above its wheels

// The ILS of 25C: localizer antenna 300 m beyond the far end, glideslope antenna 300 m past the
// threshold, a 3 degree path; markers on the extended centreline.
constexpr double kGlidePathDeg = 3.0;
constexpr double kLocalizerFullScaleDeg = 2.5;
constexpr double kGlideslopeFullScaleDeg = 0.7;
constexpr double kOuterMarkerU = 7400;
constexpr double kMiddleMarkerU = 1050;
constexpr double kInnerMarkerU = 300;

// Altitudes of the profile, feet MSL.
constexpr double kCruiseFt = 12000;
constexpr double kInterceptFt = 4000;
constexpr double kVmoKt = 340;

struct Point {
  double u = 0;  // metres along the extended centreline, outwards from the 25C threshold
  double v = 0;  // metres to the left of u (the north side)
};

double Wrap180(double degrees) {
  degrees = std::fmod(degrees + 180, 360);
  if (degrees < 0) degrees += 360;
  return degrees - 180;
}

double Wrap360(double degrees) {
  degrees = std::fmod(degrees, 360);
  return degrees < 0 ? degrees + 360 : degrees;
}

double Toward(double value, double target, double step) {
  return value < target ? std::min(target, value + step) : std::max(target, value - step);
}

// A flat frame around the 25C threshold, in metres east and north; and the runway frame (u, v).
class Frame {
 public:
  Frame() {
    const double lat = kThresholdLat * kRadPerDeg;
    metresPerDegLat_ = 111132.92 - 559.82 * std::cos(2 * lat) + 1.175 * std::cos(4 * lat);
    metresPerDegLon_ = 111412.84 * std::cos(lat) - 93.5 * std::cos(3 * lat);
    const double east = (kThresholdLon - kFarEndLon) * metresPerDegLon_;
    const double north = (kThresholdLat - kFarEndLat) * metresPerDegLat_;
    outboundDeg_ = Wrap360(std::atan2(east, north) / kRadPerDeg);
    runwayLength_ = std::hypot(east, north);
    sin_ = std::sin(outboundDeg_ * kRadPerDeg);
    cos_ = std::cos(outboundDeg_ * kRadPerDeg);
  }

  double LandingCourseDeg() const { return Wrap360(outboundDeg_ + 180); }
  double RunwayLength() const { return runwayLength_; }

  Point ToRunway(double east, double north) const {
    return {east * sin_ + north * cos_, -east * cos_ + north * sin_};
  }
  void FromRunway(Point p, double& east, double& north) const {
    east = p.u * sin_ - p.v * cos_;
    north = p.u * cos_ + p.v * sin_;
  }
  double Latitude(double north) const { return kThresholdLat + north / metresPerDegLat_; }
  double Longitude(double east) const { return kThresholdLon + east / metresPerDegLon_; }

 private:
  double metresPerDegLat_ = 0;
  double metresPerDegLon_ = 0;
  double outboundDeg_ = 0;
  double runwayLength_ = 0;
  double sin_ = 0;
  double cos_ = 0;
};

// The flight as a small autopilot over phases, advanced one second at a time: each second runs
// the phase's step, then the aircraft moves along its heading at its speed.
class ScriptedFlight {
 public:
  ScriptedFlight() {
    frame_.FromRunway(kStand, east_, north_);
    heading_ = Wrap360(frame_.LandingCourseDeg() - 90);  // nose towards the taxiway
  }

  bool Done() const { return phase_ == Phase::Finished; }
  FlightState State() const;
  void Step();

 private:
  enum class Phase {
    Parked,
    TaxiOut,
    HoldShort,
    LineUp,
    TakeoffRoll,
    Airborne,
    Rollout,
    TaxiIn,
    Arrived,
    Finished
  };
  enum class Lateral { RunwayHeading, Route, Intercept, Localizer };
  enum class Vertical { Climb, Cruise, Descent, Hold, Glideslope, Flare };
  enum class Overspeed { Before, Rising, Holding, Recovering, Over };

  static constexpr Point kStand{-1250, 950};  // Terminal 1 stand, north of the runway
  static constexpr double kTaxiwayV = 180;    // the parallel taxiway

  Point Here() const { return frame_.ToRunway(east_, north_); }
  double WheelHeightFt() const { return altitudeFt_ - kElevationFt - kReferenceHeightFt; }
  double BearingTo(Point target) const {
    double east = 0, north = 0;
    frame_.FromRunway(target, east, north);
    return Wrap360(std::atan2(east - east_, north - north_) / kRadPerDeg);
  }
  double DistanceTo(Point target) const {
    const Point here = Here();
    return std::hypot(target.u - here.u, target.v - here.v);
  }
  double LocalizerDeg() const {
    const Point here = Here();
    return std::atan2(here.v, here.u + frame_.RunwayLength() + 300) / kRadPerDeg;
  }
  // Elevation angle above the glideslope antenna minus the glide path; positive above it.
  double GlideslopeDeviationDeg() const {
    const Point here = Here();
    const double range = std::hypot(here.u + 300, here.v);
    return std::atan2(WheelHeightFt() / kFeetPerMetre, range) / kRadPerDeg - kGlidePathDeg;
  }
  double RouteRemaining() const;
  void Enter(Phase phase) {
    phase_ = phase;
    inPhase_ = 0;
  }

  // The radio navigation receivers' readings where the aircraft is.
  void ReceiveLocalizer(FlightState& s) const;
  void ReceiveGlideslope(FlightState& s) const;
  void ReceiveMarkers(FlightState& s) const;

  // One second of each phase on the ground.
  void StepParked();
  void StepHoldShort();
  void StepLineUp();
  void StepTakeoffRoll();
  void StepRollout();
  void StepTaxiIn();
  // Sets out along a taxi route, in the phase that follows it.
  void StartRoute(std::vector<Point> route, Phase phase);
  // Follows the taxi route at taxi speeds; true once stopped at its last point.
  bool Taxi();

  // One second in the air, channel by channel: the lateral guidance, the configuration, the
  // speed to fly and the vertical guidance, which ends in the touchdown.
  void StepAirborne();
  void SteerLateral();
  void Configure();
  void SetTargetSpeed();
  // The brief overspeed early in the descent: rising to it, holding it, recovering from it.
  void AdvanceOverspeed();
  // The vertical speed to aim for in each vertical mode, which moves on to the next mode once
  // its end is reached.
  double TargetVerticalSpeedFpm();
  double ClimbFpm();
  double CruiseFpm();
  double DescentFpm();
  double HoldFpm();
  double GlidePathFpm();
  // Towards `altitudeFt` at four times the difference a minute, within the limits.
  double CaptureFpm(double altitudeFt, double maxDownFpm, double maxUpFpm) const {
    return std::clamp((altitudeFt - altitudeFt_) * 4, -maxDownFpm, maxUpFpm);
  }
  void TouchDown();

  void Turn(double desiredDeg, double maxRateDeg);
  // Moves the aircraft one second along its heading; in the air, its speed and height first
  // follow their targets.
  void Fly();

  Frame frame_;
  Phase phase_ = Phase::Parked;
  int inPhase_ = 0;
  double east_ = 0;
  double north_ = 0;
  double heading_ = 0;
  double groundSpeedKt_ = 0;
  double iasKt_ = 0;
  double altitudeFt_ = kElevationFt + kReferenceHeightFt;
  double verticalSpeedFpm_ = 0;
  double touchdownFpm_ = 0;
  bool onGround_ = true;
  double gear_ = 1;
  double flaps_ = 0;
  double spoilers_ = 0;
  int autobrake_ = 0;

  std::vector<Point> route_;
  size_t leg_ = 0;
  Lateral lateral_ = Lateral::RunwayHeading;
  Vertical vertical_ = Vertical::Climb;
  Overspeed overspeed_ = Overspeed::Before;
  int overspeedHeld_ = 0;
  double targetIasKt_ = 0;
  int gearDownFor_ = -1;
};

FlightState ScriptedFlight::State() const {
  FlightState s;
  s.latitudeDeg = frame_.Latitude(north_);
  s.longitudeDeg = frame_.Longitude(east_);
  s.altitudeFt = altitudeFt_;
  s.groundElevationFt = kElevationFt;
  s.groundSpeedKt = groundSpeedKt_;
  s.indicatedAirspeedKt = iasKt_;
  s.trueAirspeedKt = onGround_ ? iasKt_ : iasKt_ * (1 + 0.02 * altitudeFt_ / 1000);
  s.headingDeg = heading_;
  s.verticalSpeedFpm = verticalSpeedFpm_;
  s.touchdownVerticalSpeedFpm = touchdownFpm_;
  s.onGround = onGround_;
  s.gear = gear_;
  s.flapsPercent = flaps_;
  s.spoilers = spoilers_;
  s.overspeed = iasKt_ > kVmoKt ? 1 : 0;
  s.autobrake = autobrake_;
  ReceiveLocalizer(s);
  ReceiveGlideslope(s);
  ReceiveMarkers(s);
  return s;
}

// Received in front of its antenna within 35 degrees and 25 NM.
void ScriptedFlight::ReceiveLocalizer(FlightState& s) const {
  const Point here = Here();
  const double along = here.u + frame_.RunwayLength() + 300;
  const double localizerDeg = LocalizerDeg();
  if (along > 0 && std::fabs(localizerDeg) < 35 && std::hypot(along, here.v) < 46300) {
    s.localizerNeedle = static_cast<int>(
        std::clamp(std::lround(-localizerDeg / kLocalizerFullScaleDeg * 127), -127L, 127L));
  }
}

// Received in front of its antenna within 10 degrees of the course and 18 NM.
void ScriptedFlight::ReceiveGlideslope(FlightState& s) const {
  const Point here = Here();
  const double along = here.u + 300;
  const double range = std::hypot(along, here.v);
  if (along > 300 && std::fabs(std::atan2(here.v, along)) < 10 * kRadPerDeg && range < 33300) {
    s.glideslopeFlag = 1;
    s.glideslopeNeedle = static_cast<int>(std::clamp(
        std::lround(GlideslopeDeviationDeg() / kGlideslopeFullScaleDeg * 119), -119L, 119L));
  }
}

// A cone above each beacon.
void ScriptedFlight::ReceiveMarkers(FlightState& s) const {
  const Point here = Here();
  if (!onGround_ && std::fabs(here.v) < 1500) {
    s.outerMarker = std::fabs(here.u - kOuterMarkerU) < 450 ? 1 : 0;
    s.middleMarker = std::fabs(here.u - kMiddleMarkerU) < 140 ? 1 : 0;
    s.innerMarker = std::fabs(here.u - kInnerMarkerU) < 70 ? 1 : 0;
  }
}

double ScriptedFlight::RouteRemaining() const {
  if (leg_ >= route_.size()) return 0;
  double remaining = DistanceTo(route_[leg_]);
  for (size_t i = leg_ + 1; i < route_.size(); ++i) {
    remaining += std::hypot(route_[i].u - route_[i - 1].u, route_[i].v - route_[i - 1].v);
  }
  return remaining;
}

void ScriptedFlight::Turn(double desiredDeg, double maxRateDeg) {
  heading_ =
      Wrap360(heading_ + std::clamp(Wrap180(desiredDeg - heading_), -maxRateDeg, maxRateDeg));
}

void ScriptedFlight::StartRoute(std::vector<Point> route, Phase phase) {
  route_ = std::move(route);
  leg_ = 0;
  Enter(phase);
}

bool ScriptedFlight::Taxi() {
  while (leg_ + 1 < route_.size() && DistanceTo(route_[leg_]) < 15) ++leg_;
  const Point target = route_[leg_];
  const double distance = DistanceTo(target);
  const bool last = leg_ + 1 == route_.size();
  if (last && distance < 3) {
    groundSpeedKt_ = 0;
    return true;
  }
  const double error = std::fabs(Wrap180(BearingTo(target) - heading_));
  double speed = error > 30 ? 8 : 15;
  if (last) speed = std::min(speed, std::max(3.0, distance / 6));
  groundSpeedKt_ = Toward(groundSpeedKt_, speed, groundSpeedKt_ < speed ? 1.0 : 2.0);
  Turn(BearingTo(target), 15);
  return false;
}

void ScriptedFlight::Fly() {
  double speed = groundSpeedKt_;
  if (!onGround_) {
    iasKt_ = Toward(iasKt_, targetIasKt_, overspeed_ == Overspeed::Recovering ? 2.0 : 1.5);
    speed = iasKt_ * (1 + 0.02 * altitudeFt_ / 1000);
    groundSpeedKt_ = speed;
    altitudeFt_ += verticalSpeedFpm_ / 60;
    touchdownFpm_ = verticalSpeedFpm_;
  }
  const double metres = speed * kMetresPerSecondPerKnot;
  east_ += metres * std::sin(heading_ * kRadPerDeg);
  north_ += metres * std::cos(heading_ * kRadPerDeg);
}

void ScriptedFlight::Step() {
  ++inPhase_;
  switch (phase_) {
    case Phase::Parked:
      StepParked();
      break;
    case Phase::TaxiOut:
      if (Taxi()) Enter(Phase::HoldShort);
      break;
    case Phase::HoldShort:
      StepHoldShort();
      break;
    case Phase::LineUp:
      StepLineUp();
      break;
    case Phase::TakeoffRoll:
      StepTakeoffRoll();
      break;
    case Phase::Airborne:
      StepAirborne();
      break;
    case Phase::Rollout:
      StepRollout();
      break;
    case Phase::TaxiIn:
      StepTaxiIn();
      break;
    case Phase::Arrived:
      if (inPhase_ >= 60) Enter(Phase::Finished);
      break;
    case Phase::Finished:
      break;
  }
  if (phase_ != Phase::Finished) Fly();
}

void ScriptedFlight::StepParked() {
  if (inPhase_ == 40) flaps_ = 25;  // take-off flaps before taxi
  if (inPhase_ >= 60) {
    StartRoute({{kStand.u, kTaxiwayV + 60},
                {kStand.u + 60, kTaxiwayV},
                {-150, kTaxiwayV},
                {-60, 120},
                {-60, 95}},
               Phase::TaxiOut);
  }
}

void ScriptedFlight::StepHoldShort() {
  if (inPhase_ == 5) autobrake_ = 5;  // RTO
  if (inPhase_ >= 25) StartRoute({{-60, 40}, {-100, 5}, {-140, 0}}, Phase::LineUp);
}

void ScriptedFlight::StepLineUp() {
  if (Taxi()) {
    heading_ = frame_.LandingCourseDeg();
    Enter(Phase::TakeoffRoll);
  }
}

void ScriptedFlight::StepTakeoffRoll() {
  if (inPhase_ > 8) {  // a short hold on the runway, then take-off thrust
    groundSpeedKt_ += inPhase_ < 12 ? 2.0 : 3.5;
    iasKt_ = groundSpeedKt_ >= 40 ? groundSpeedKt_ : 0;
  }
  if (iasKt_ >= 150) {
    onGround_ = false;
    verticalSpeedFpm_ = 900;
    targetIasKt_ = 165;
    lateral_ = Lateral::RunwayHeading;
    vertical_ = Vertical::Climb;
    Enter(Phase::Airborne);
  }
}

void ScriptedFlight::StepAirborne() {
  SteerLateral();
  Configure();
  SetTargetSpeed();
  const bool onGlidePath = vertical_ == Vertical::Glideslope || vertical_ == Vertical::Flare;
  const double targetFpm = TargetVerticalSpeedFpm();
  if (onGlidePath && WheelHeightFt() + targetFpm / 60 <= 0) {
    TouchDown();
  } else {
    verticalSpeedFpm_ = Toward(verticalSpeedFpm_, targetFpm, 300);
  }
}

// Runway heading to 2000 ft; north over the Taunus and east along it, then south for the
// approach; a 30 degree intercept onto the localizer, which it then follows.
void ScriptedFlight::SteerLateral() {
  const double course = frame_.LandingCourseDeg();
  switch (lateral_) {
    case Lateral::RunwayHeading:
      Turn(course, 3);
      if (altitudeFt_ >= 2000) {
        route_ = {{15000, 25000}, {62000, 30000}, {45000, 9000}};
        leg_ = 0;
        lateral_ = Lateral::Route;
      }
      break;
    case Lateral::Route:
      if (DistanceTo(route_[leg_]) < 2000) ++leg_;
      if (leg_ >= route_.size()) {
        lateral_ = Lateral::Intercept;
      } else {
        Turn(BearingTo(route_[leg_]), 3);
      }
      break;
    case Lateral::Intercept:
      Turn(course - 30, 3);
      if (std::fabs(LocalizerDeg()) < 2.2) lateral_ = Lateral::Localizer;
      break;
    case Lateral::Localizer:
      Turn(BearingTo({std::max(Here().u - 5000, -frame_.RunwayLength()), 0}), 3);
      break;
  }
}

// Gear, flaps and autobrake: gear up and the flaps in as the climb gains height and speed; on
// the approach, the flaps out as the speed allows, the gear down as the glideslope comes in,
// full flaps from 8 km out and the autobrake armed from 6 km.
void ScriptedFlight::Configure() {
  const double height = WheelHeightFt();
  if (vertical_ == Vertical::Climb) {
    if (gear_ > 0 && height > 50) {
      gear_ = 0;
      autobrake_ = 0;  // RTO disarms after lift-off
    }
    if (flaps_ == 25 && height > 1000 && iasKt_ >= 190) flaps_ = 10;
    if (flaps_ == 10 && height > 1500 && iasKt_ >= 210) flaps_ = 0;
  }
  if (lateral_ == Lateral::Intercept && flaps_ < 10 && iasKt_ <= 230) flaps_ = 10;
  if (lateral_ == Lateral::Localizer) {
    const Point here = Here();
    if (flaps_ < 25 && iasKt_ <= 200) flaps_ = 25;
    if (gear_ == 0 && GlideslopeDeviationDeg() > -0.4 && here.u < 33000) {
      gear_ = 1;
      gearDownFor_ = 0;
    }
    if (gearDownFor_ >= 0 && ++gearDownFor_ == 6) flaps_ = 50;
    if (here.u < 8000) flaps_ = 100;
    if (here.u < 6000) autobrake_ = 3;
  }
}

// By height and altitude in the climb (slower while flaps are out), by altitude in the descent,
// slowing down from the intercept to the final approach.
void ScriptedFlight::SetTargetSpeed() {
  const double height = WheelHeightFt();
  if (vertical_ == Vertical::Climb) {
    targetIasKt_ = height < 1000 ? 165 : altitudeFt_ < 10000 ? 250 : 290;
    if (height >= 1000 && flaps_ > 0) targetIasKt_ = 220;
  }
  if (vertical_ == Vertical::Descent || vertical_ == Vertical::Hold) {
    targetIasKt_ = altitudeFt_ > 10000 ? 300 : 250;
    AdvanceOverspeed();
    if (overspeed_ == Overspeed::Rising || overspeed_ == Overspeed::Holding) targetIasKt_ = 346;
  }
  if (lateral_ == Lateral::Intercept) targetIasKt_ = 210;
  if (lateral_ == Lateral::Localizer) {
    targetIasKt_ = 180;
    if (gearDownFor_ >= 0) targetIasKt_ = 160;
    if (Here().u < 8000) targetIasKt_ = 140;
  }
}

void ScriptedFlight::AdvanceOverspeed() {
  switch (overspeed_) {
    case Overspeed::Before:
      if (vertical_ == Vertical::Descent) overspeed_ = Overspeed::Rising;
      break;
    case Overspeed::Rising:
      if (iasKt_ >= 345) overspeed_ = Overspeed::Holding;
      break;
    case Overspeed::Holding:
      if (++overspeedHeld_ >= 4) overspeed_ = Overspeed::Recovering;
      break;
    case Overspeed::Recovering:
      if (iasKt_ <= 300) overspeed_ = Overspeed::Over;
      break;
    case Overspeed::Over:
      break;
  }
}

double ScriptedFlight::TargetVerticalSpeedFpm() {
  switch (vertical_) {
    case Vertical::Climb:
      return ClimbFpm();
    case Vertical::Cruise:
      return CruiseFpm();
    case Vertical::Descent:
      return DescentFpm();
    case Vertical::Hold:
      return HoldFpm();
    case Vertical::Glideslope:
    case Vertical::Flare:
      return GlidePathFpm();
  }
  return verticalSpeedFpm_;
}

// To the cruise altitude, gently through the first 400 ft.
double ScriptedFlight::ClimbFpm() {
  const double height = WheelHeightFt();
  double targetFpm = CaptureFpm(kCruiseFt, 0, altitudeFt_ < 10000 ? 2500 : 1800);
  if (height < 400) targetFpm = std::min(targetFpm, 900 + height * 4);
  if (kCruiseFt - altitudeFt_ < 5) vertical_ = Vertical::Cruise;
  return targetFpm;
}

// Level until the rest of the route is just long enough to descend to the intercept altitude.
double ScriptedFlight::CruiseFpm() {
  const double targetFpm = CaptureFpm(kCruiseFt, 500, 500);
  const double needed =
      (altitudeFt_ - kInterceptFt) / 1800 * 60 * groundSpeedKt_ * kMetresPerSecondPerKnot + 6000;
  if (lateral_ == Lateral::Route && RouteRemaining() + 17000 <= needed) {
    vertical_ = Vertical::Descent;
  }
  return targetFpm;
}

double ScriptedFlight::DescentFpm() {
  const double targetFpm = CaptureFpm(kInterceptFt, 1800, 0);
  if (altitudeFt_ - kInterceptFt < 5) vertical_ = Vertical::Hold;
  return targetFpm;
}

// Level at the intercept altitude until the glideslope comes down to it on the localizer.
double ScriptedFlight::HoldFpm() {
  const double targetFpm = CaptureFpm(kInterceptFt, 1000, 1000);
  if (lateral_ == Lateral::Localizer && GlideslopeDeviationDeg() >= -0.05) {
    vertical_ = Vertical::Glideslope;
  }
  return targetFpm;
}

// Follows the glide path, with a moment below it around 7 NM and one above it around 5 NM;
// below 35 ft the flare eases the sink rate down to the touchdown's.
double ScriptedFlight::GlidePathFpm() {
  const Point here = Here();
  const double height = WheelHeightFt();
  const double range = std::hypot(here.u + 300, here.v);
  const double pathFpm = -groundSpeedKt_ * 6076.12 / 60 * std::tan(kGlidePathDeg * kRadPerDeg);
  double offsetFt = 0;
  if (here.u > 11500 && here.u < 14000) offsetFt = -350;
  if (here.u > 8000 && here.u < 10200) offsetFt = 400;
  const double pathFt = range * kFeetPerMetre * std::tan(kGlidePathDeg * kRadPerDeg);
  double targetFpm = std::clamp(pathFpm + (pathFt + offsetFt - height) * 6, -1500.0, 500.0);
  if (height < 35) {
    vertical_ = Vertical::Flare;
    targetIasKt_ = 135;
  }
  if (vertical_ == Vertical::Flare) {
    targetFpm = kBuiltinTouchdownFpm + (pathFpm - kBuiltinTouchdownFpm) * height / 35;
    verticalSpeedFpm_ = targetFpm;
  }
  return targetFpm;
}

// The wheels meet the runway at the chosen sink rate; the roll-out begins.
void ScriptedFlight::TouchDown() {
  onGround_ = true;
  verticalSpeedFpm_ = kBuiltinTouchdownFpm;
  touchdownFpm_ = kBuiltinTouchdownFpm;
  altitudeFt_ = kElevationFt + kReferenceHeightFt;
  groundSpeedKt_ = iasKt_;
  Turn(frame_.LandingCourseDeg(), 3);
  Enter(Phase::Rollout);
}

// Spoilers out and braking along the centreline; below 20 kt off the runway and back to the
// stand.
void ScriptedFlight::StepRollout() {
  verticalSpeedFpm_ = 0;
  if (inPhase_ == 1) spoilers_ = 1;
  if (inPhase_ >= 2) groundSpeedKt_ = std::max(0.0, groundSpeedKt_ - 3);
  if (groundSpeedKt_ < 40) spoilers_ = 0;
  if (groundSpeedKt_ < 30) autobrake_ = 0;
  iasKt_ = groundSpeedKt_ >= 40 ? groundSpeedKt_ : 0;
  Turn(BearingTo({Here().u - 2000, 0}), 3);
  if (groundSpeedKt_ <= 20) {
    const double u = Here().u;
    StartRoute({{u - 110, 50},
                {u - 130, kTaxiwayV - 20},
                {u - 60, kTaxiwayV},
                {kStand.u - 60, kTaxiwayV},
                {kStand.u, kTaxiwayV + 60},
                kStand},
               Phase::TaxiIn);
  }
}

void ScriptedFlight::StepTaxiIn() {
  iasKt_ = 0;
  if (inPhase_ == 25) flaps_ = 0;  // cleaned up once off the runway
  if (Taxi()) Enter(Phase::Arrived);
}

}  // namespace

Track BuiltinFlight() {
  ScriptedFlight flight;
  std::vector<TrackRow> rows;
  for (int t = 0;; ++t) {
    rows.push_back({static_cast<double>(t), flight.State()});
    if (flight.Done()) break;
    flight.Step();
  }
  return Track(std::move(rows));
}

}  // namespace sky::sim
