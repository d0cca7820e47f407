#include "skytrace-sim/flightgear_source.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/numtext.h"

namespace sky::sim {
namespace {

using K = PropertyKind;

// The own aircraft's properties, as FlightGear 2020.3 has them (the c172p with JSBSim; other
// aircraft lack some, and a missing property answers an empty line: the value then keeps what
// it had, or its default). Several rows feeding one value make it together (see LiveReading):
// the first present for the true airspeed, any wheel for on-ground, the larger of spoilers and
// speed brakes, both flags for the glideslope signal.
constexpr std::array<FlightGearProperty, 28> kOwn = {{
    {"/position/latitude-deg", "degrees, north positive", Feed::LatitudeDeg, 1, K::Number, false},
    {"/position/longitude-deg", "degrees, east positive", Feed::LongitudeDeg, 1, K::Number, false},
    // The FDM's reference point; about 4 ft above the ground when the c172p stands.
    {"/position/altitude-ft", "feet MSL", Feed::AltitudeFt, 1, K::Number, false},
    {"/position/ground-elev-ft", "feet MSL", Feed::GroundElevationFt, 1, K::Number, false},
    // The instrument: 0 standing still (the FDM's own airspeed carries the wind).
    {"/instrumentation/airspeed-indicator/indicated-speed-kt", "knots", Feed::IndicatedAirspeedKt,
     1, K::Number, false},
    {"/fdm/jsbsim/velocities/vtrue-kts", "knots (JSBSim aircraft)", Feed::TrueAirspeedKt, 1,
     K::Number, false},
    {"/instrumentation/airspeed-indicator/true-speed-kt", "knots (the others)",
     Feed::TrueAirspeedKt, 1, K::Number, false},
    {"/velocities/groundspeed-kt", "knots", Feed::GroundSpeedKt, 1, K::Number, false},
    {"/orientation/heading-deg", "degrees true", Feed::HeadingDeg, 1, K::Number, false},
    {"/velocities/vertical-speed-fps", "feet per second, climb positive", Feed::VerticalSpeedFpm,
     60, K::Number, true},
    // Nose and main wheels; higher gear units are crash contacts and floats.
    {"/gear/gear[0]/wow", "true on the ground", Feed::OnGround, 1, K::Flag, true},
    {"/gear/gear[1]/wow", "true on the ground", Feed::OnGround, 1, K::Flag, true},
    {"/gear/gear[2]/wow", "true on the ground", Feed::OnGround, 1, K::Flag, true},
    // The gear itself (the lever's property reads down=false on fixed gear).
    {"/gear/gear[0]/position-norm", "0 up to 1 down", Feed::Gear, 1, K::Number, false},
    // The levers, as the interface module's offsets carry flaps and spoilers (one event for a
    // setting, not one for each step of the surfaces' travel).
    {"/controls/flight/flaps", "0 to 1", Feed::FlapsPercent, 100, K::Number, false},
    {"/controls/flight/spoilers", "0 to 1", Feed::Spoilers, 1, K::Number, false},
    {"/controls/flight/speedbrake", "0 to 1", Feed::Spoilers, 1, K::Number, false},
    {"/gear/tailhook/position-norm", "0 up to 1 down", Feed::TailHook, 1, K::Number, false},
    // A number that grows through the stall; any value above 0 is the warning (in the air: on
    // the ground a gust or the propeller's wash sounds it).
    {"/sim/alarms/stall-warning", "0 none, above 0 warning", Feed::Stall, 1, K::Number, false},
    // No overspeed warning exists: the indicated airspeed above this limit is one.
    {"/limits/vne", "knots", Feed::OverspeedLimitKt, 1, K::Number, false},
    // The lamps blink with the Morse code (and light only with sound on): read fast, and held.
    {"/instrumentation/marker-beacon/outer", "lamp", Feed::OuterMarker, 1, K::Flag, true},
    {"/instrumentation/marker-beacon/middle", "lamp", Feed::MiddleMarker, 1, K::Flag, true},
    {"/instrumentation/marker-beacon/inner", "lamp", Feed::InnerMarker, 1, K::Flag, true},
    // Positive when the aircraft is left of the course, that is, the course lies to the right.
    {"/instrumentation/nav[0]/heading-needle-deflection-norm", "-1 to 1", Feed::LocalizerDeflection,
     1, K::Number, false},
    // Positive when the aircraft is below the path; the program's needle is the other way.
    {"/instrumentation/nav[0]/gs-needle-deflection-norm", "-1 to 1", Feed::GlideslopeDeflection, -1,
     K::Number, false},
    {"/instrumentation/nav[0]/in-range", "flag", Feed::LocalizerSignal, 1, K::Flag, false},
    // Both must hold for the glideslope flag.
    {"/instrumentation/nav[0]/gs-in-range", "flag", Feed::GlideslopeSignal, 1, K::Flag, false},
    {"/instrumentation/nav[0]/has-gs", "flag", Feed::GlideslopeSignal, 1, K::Flag, false},
    // Not in FlightGear, derived or fixed (see LiveAircraft::State): the touchdown vertical
    // speed (the last vertical speed in the air before a wheel touched) and autobrake (off).
}};

constexpr std::array<FlightGearTargetProperty, 9> kTargets = {{
    {"callsign", "text", TargetField::Callsign, 1, K::Text},
    {"valid", "flag", TargetField::Valid, 1, K::Flag},
    {"position/latitude-deg", "degrees", TargetField::LatitudeDeg, 1, K::Number},
    {"position/longitude-deg", "degrees", TargetField::LongitudeDeg, 1, K::Number},
    {"position/altitude-ft", "feet MSL", TargetField::AltitudeFt, 1, K::Number},
    {"orientation/true-heading-deg", "degrees true", TargetField::HeadingDeg, 1, K::Number},
    // AI and multiplayer aircraft give no ground speed; their true airspeed stands in for it.
    {"velocities/true-airspeed-kt", "knots", TargetField::SpeedKt, 1, K::Number},
    {"velocities/vertical-speed-fps", "feet per second", TargetField::VerticalFpm, 60, K::Number},
    {"id", "number", TargetField::Id, 1, K::Number},
}};

std::optional<double> ValueOf(std::string_view text, PropertyKind kind) {
  if (kind == K::Flag) {
    if (text == "true") return 1;
    if (text == "false") return 0;
  }
  return ParseNumber(text, ".");
}

// "aircraft", "aircraft[12]", "multiplayer", "multiplayer[3]" from a listing's "name/" line;
// empty for anything else (other nodes, values, and names no FlightGear would make).
std::string TargetNode(std::string_view line) {
  if (line.size() < 2 || line.back() != '/') return "";
  std::string_view name = line.substr(0, line.size() - 1);
  for (const std::string_view kind : {"aircraft", "multiplayer"}) {
    if (name.substr(0, kind.size()) != kind) continue;
    const std::string_view index = name.substr(kind.size());
    if (index.empty()) return std::string(name);
    if (index.size() < 3 || index.size() > 7 || index.front() != '[' || index.back() != ']') {
      return "";
    }
    const std::string_view digits = index.substr(1, index.size() - 2);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return "";
    }
    return std::string(name);
  }
  return "";
}

}  // namespace

std::span<const FlightGearProperty> FlightGearProperties() {
  return kOwn;
}

std::span<const FlightGearTargetProperty> FlightGearTargetProperties() {
  return kTargets;
}

FlightGearSession::FlightGearSession(FlightGearTiming timing) : timing_(timing) {}

void FlightGearSession::Restart(int64_t nowMs) {
  pending_.clear();
  partial_.clear();
  names_.clear();
  traffic_.Clear();
  started_ = false;
  nextOwnMs_ = nextFastMs_ = nextListMs_ = nowMs;
  lastAnswerMs_ = -1;
}

std::string FlightGearSession::Due(int64_t nowMs) {
  std::string out;
  auto get = [&out](std::string_view path) { out.append("get ").append(path).append("\r\n"); };
  auto pending = [this](BatchKind kind) {
    return std::any_of(pending_.begin(), pending_.end(),
                       [kind](const Batch& batch) { return batch.kind == kind; });
  };
  auto schedule = [nowMs](int64_t& next, int everyMs) {
    next += everyMs;
    if (next <= nowMs) next = nowMs + everyMs;
  };
  if (!started_) {
    started_ = true;
    out.append("data\r\nset ").append(kSyncPath).append(" ").append(kSyncToken).append("\r\n");
  }
  if (nowMs >= nextOwnMs_ && !pending(BatchKind::Own)) {
    schedule(nextOwnMs_, timing_.ownEveryMs);
    for (const FlightGearProperty& property : kOwn) get(property.path);
    get(kSyncPath);
    pending_.push_back({BatchKind::Own, kOwn.size()});
    if (!names_.empty() && timing_.targetsPerRead > 0 && !pending(BatchKind::Targets)) {
      Batch batch{BatchKind::Targets};
      out += TargetRequest(batch, nowMs);
      pending_.push_back(std::move(batch));
    }
  }
  if (nowMs >= nextListMs_ && !pending(BatchKind::List)) {
    schedule(nextListMs_, timing_.listEveryMs);
    out.append("ls /ai/models\r\n");
    get(kSyncPath);
    pending_.push_back({BatchKind::List});
  }
  if (nowMs >= nextFastMs_ && !pending(BatchKind::Fast)) {
    schedule(nextFastMs_, timing_.fastEveryMs);
    size_t count = 0;
    for (const FlightGearProperty& property : kOwn) {
      if (!property.fast) continue;
      get(property.path);
      ++count;
    }
    get(kSyncPath);
    pending_.push_back({BatchKind::Fast, count});
  }
  return out;
}

// The targets read next: those never read first, then the longest unread, the ones within
// 30 NM of the own aircraft counted three times as long.
std::string FlightGearSession::TargetRequest(Batch& batch, int64_t nowMs) {
  const FlightState own = aircraft_.State(nowMs);
  std::vector<std::pair<double, const std::string*>> due;
  for (const std::string& name : names_) {
    const int64_t readMs = traffic_.ReadMs(name);
    double score = std::numeric_limits<double>::infinity();
    if (readMs >= 0) {
      const double distance = traffic_.DistanceNm(name, own.latitudeDeg, own.longitudeDeg);
      score = static_cast<double>(nowMs - readMs) * (distance < 30 ? 3 : 1);
    }
    due.emplace_back(score, &name);
  }
  const size_t count = std::min(due.size(), static_cast<size_t>(timing_.targetsPerRead));
  std::partial_sort(due.begin(), due.begin() + static_cast<std::ptrdiff_t>(count), due.end(),
                    [](const auto& a, const auto& b) {
                      return a.first > b.first || (a.first == b.first && *a.second < *b.second);
                    });
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    const std::string& name = *due[i].second;
    batch.targets.push_back(name);
    for (const FlightGearTargetProperty& property : kTargets) {
      out.append("get /ai/models/").append(name).append("/").append(property.path).append("\r\n");
    }
  }
  batch.expected = count * kTargets.size();
  out.append("get ").append(kSyncPath).append("\r\n");
  return out;
}

bool FlightGearSession::Received(std::string_view bytes, int64_t nowMs) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    partial_.append(bytes.substr(0, end));
    if (partial_.size() > kMaxLine) return false;
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
    if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
    if (pending_.empty()) return false;  // an answer to nothing asked
    Line(partial_, nowMs);
    partial_.clear();
  }
  return true;
}

void FlightGearSession::Line(std::string_view line, int64_t nowMs) {
  Batch& batch = pending_.front();
  if (line == kSyncToken) {
    if (batch.kind != BatchKind::List && batch.lines.size() != batch.expected) batch.broken = true;
    Finish(batch, nowMs);
    pending_.pop_front();
    return;
  }
  const size_t limit = batch.kind == BatchKind::List ? kMaxTargets : batch.expected;
  if (batch.lines.size() < limit) {
    batch.lines.emplace_back(line);
  } else {
    batch.broken = true;  // out of step: wait for the token
  }
}

void FlightGearSession::Finish(Batch& batch, int64_t nowMs) {
  if (batch.broken) return;
  switch (batch.kind) {
    case BatchKind::Own:
    case BatchKind::Fast: {
      LiveReading reading;
      size_t line = 0;
      for (const FlightGearProperty& property : kOwn) {
        if (batch.kind == BatchKind::Fast && !property.fast) continue;
        if (const auto value = ValueOf(batch.lines[line++], property.kind)) {
          reading.Add(property.feed, *value * property.scale);
        }
      }
      aircraft_.Take(reading, nowMs);
      if (batch.kind == BatchKind::Own) lastAnswerMs_ = nowMs;
      break;
    }
    case BatchKind::List:
      names_.clear();
      for (const std::string& line : batch.lines) {
        if (std::string node = TargetNode(line); !node.empty()) names_.push_back(std::move(node));
      }
      traffic_.KeepOnly(names_);
      break;
    case BatchKind::Targets: {
      size_t line = 0;
      for (const std::string& name : batch.targets) {
        TargetReading target;
        for (const FlightGearTargetProperty& property : kTargets) {
          const std::string& text = batch.lines[line++];
          if (property.kind == K::Text) {
            target.callsign = text;
            continue;
          }
          if (const auto value = ValueOf(text, property.kind)) {
            SetField(target, property.field, *value * property.scale);
          }
        }
        // A node removed since the list was read answers empty lines: it is gone.
        if (!target.latDeg && !target.lonDeg) {
          traffic_.Remove(name);
          std::erase(names_, name);
        } else {
          traffic_.Take(name, target, nowMs);
        }
      }
      break;
    }
  }
}

}  // namespace sky::sim
