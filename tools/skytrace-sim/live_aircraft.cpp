#include "skytrace-sim/live_aircraft.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace sky::sim {
namespace {

enum class Combine { First, Any, All };

// What a reading may hold for each value: beyond `accept` it is wild and dropped; within, it
// is clamped to `clamp`. Angles and longitudes are brought into their circle instead.
struct Check {
  Combine combine;
  double acceptLow, acceptHigh;
  double clampLow, clampHigh;
};

constexpr double kBig = 1e9;

constexpr std::array<Check, kFeedCount> kChecks = {{
    {Combine::First, -90, 90, -90, 90},                // LatitudeDeg
    {Combine::First, -540, 540, -540, 540},            // LongitudeDeg (wrapped)
    {Combine::First, -2000, 150000, -2000, 150000},    // AltitudeFt
    {Combine::First, -2000, 40000, -2000, 40000},      // GroundElevationFt
    {Combine::First, -200, 150000, 0, 150000},         // HeightAboveGroundFt
    {Combine::First, -500, 5000, 0, 5000},             // IndicatedAirspeedKt
    {Combine::First, -500, 5000, 0, 5000},             // TrueAirspeedKt
    {Combine::First, -500, 5000, 0, 5000},             // GroundSpeedKt
    {Combine::First, -7200, 7200, -7200, 7200},        // HeadingDeg (wrapped)
    {Combine::First, -100000, 100000, -30000, 30000},  // VerticalSpeedFpm
    {Combine::Any, -kBig, kBig, 0, 1},                 // OnGround
    {Combine::First, -1, 2, 0, 1},                     // Gear
    {Combine::First, -50, 150, 0, 100},                // FlapsPercent
    {Combine::Any, -1, 2, 0, 1},                       // Spoilers
    {Combine::Any, -1, 2, 0, 1},                       // TailHook
    {Combine::Any, -kBig, kBig, 0, kBig},              // Stall
    {Combine::Any, -kBig, kBig, 0, 1},                 // Overspeed
    {Combine::First, 1, 5000, 1, 5000},                // OverspeedLimitKt
    {Combine::Any, -kBig, kBig, 0, 1},                 // OuterMarker
    {Combine::Any, -kBig, kBig, 0, 1},                 // MiddleMarker
    {Combine::Any, -kBig, kBig, 0, 1},                 // InnerMarker
    {Combine::First, -1000, 1000, -1, 1},              // LocalizerDeflection
    {Combine::First, -1000, 1000, -1, 1},              // GlideslopeDeflection
    {Combine::All, -kBig, kBig, 0, 1},                 // LocalizerSignal
    {Combine::All, -kBig, kBig, 0, 1},                 // GlideslopeSignal
    {Combine::First, 0, 5, 0, 5},                      // Autobrake
}};

const Check& CheckOf(Feed feed) {
  return kChecks[static_cast<int>(feed)];
}

double Wrapped(double value, double turn, double low) {
  double wrapped = std::fmod(value - low, turn);
  if (wrapped < 0) wrapped += turn;
  return wrapped + low;
}

// The value as kept, or nothing when it is wild.
std::optional<double> Checked(Feed feed, double value) {
  const Check& check = CheckOf(feed);
  if (!std::isfinite(value) || value < check.acceptLow || value > check.acceptHigh) {
    return std::nullopt;
  }
  if (feed == Feed::LongitudeDeg) return Wrapped(value, 360, -180);
  if (feed == Feed::HeadingDeg) return Wrapped(value, 360, 0);
  return std::clamp(value, check.clampLow, check.clampHigh);
}

constexpr Feed kMarkers[3] = {Feed::OuterMarker, Feed::MiddleMarker, Feed::InnerMarker};

}  // namespace

void LiveReading::Add(Feed feed, double value) {
  if (!std::isfinite(value)) return;
  std::optional<double>& slot = values_[static_cast<int>(feed)];
  if (!slot) {
    slot = value;
    return;
  }
  switch (CheckOf(feed).combine) {
    case Combine::First:
      break;
    case Combine::Any:
      slot = std::max(*slot, value);
      break;
    case Combine::All:
      slot = std::min(*slot, value);
      break;
  }
}

bool LiveReading::Empty() const {
  return std::none_of(values_.begin(), values_.end(), [](const auto& v) { return v.has_value(); });
}

void LiveAircraft::Take(const LiveReading& reading, int64_t nowMs) {
  const bool wasOnGround = Value(Feed::OnGround) > 0.5;
  const bool knewGround = kept_[static_cast<int>(Feed::OnGround)].has_value();
  for (int i = 0; i < kFeedCount; ++i) {
    const Feed feed = static_cast<Feed>(i);
    if (const auto value = reading.Get(feed)) {
      if (const auto checked = Checked(feed, *value)) kept_[i] = checked;
    }
  }
  for (int m = 0; m < 3; ++m) {
    const auto lamp = reading.Get(kMarkers[m]);
    if (lamp && *lamp > 0.5) markerLitMs_[m] = nowMs;
  }
  // The touchdown rate is the last one read in the air: the reading that first shows the
  // wheels on the ground may already carry the rate after the contact.
  const bool onGround = Value(Feed::OnGround) > 0.5;
  if (knewGround && !wasOnGround && onGround) touchdownFpm_ = lastAirborneFpm_;
  if (!onGround && reading.Get(Feed::VerticalSpeedFpm)) {
    lastAirborneFpm_ = Value(Feed::VerticalSpeedFpm);
  }
}

bool LiveAircraft::Ready() const {
  return kept_[static_cast<int>(Feed::LatitudeDeg)] &&
         kept_[static_cast<int>(Feed::LongitudeDeg)] && kept_[static_cast<int>(Feed::AltitudeFt)];
}

double LiveAircraft::Value(Feed feed, double otherwise) const {
  return kept_[static_cast<int>(feed)].value_or(otherwise);
}

FlightState LiveAircraft::State(int64_t nowMs) const {
  FlightState s;
  s.latitudeDeg = Value(Feed::LatitudeDeg);
  s.longitudeDeg = Value(Feed::LongitudeDeg);
  s.altitudeFt = Value(Feed::AltitudeFt);
  if (const auto ground = kept_[static_cast<int>(Feed::GroundElevationFt)]) {
    s.groundElevationFt = *ground;
  } else if (const auto height = kept_[static_cast<int>(Feed::HeightAboveGroundFt)]) {
    s.groundElevationFt = s.altitudeFt - *height;
  }
  s.groundSpeedKt = Value(Feed::GroundSpeedKt);
  s.indicatedAirspeedKt = Value(Feed::IndicatedAirspeedKt);
  s.trueAirspeedKt = Value(Feed::TrueAirspeedKt);
  s.headingDeg = Value(Feed::HeadingDeg);
  s.verticalSpeedFpm = Value(Feed::VerticalSpeedFpm);
  s.touchdownVerticalSpeedFpm = touchdownFpm_;
  s.onGround = Value(Feed::OnGround) > 0.5;
  s.gear = Value(Feed::Gear);
  s.flapsPercent = Value(Feed::FlapsPercent);
  s.spoilers = Value(Feed::Spoilers);
  s.tailHook = Value(Feed::TailHook) > 0.5 ? 1 : 0;
  s.stall = Value(Feed::Stall) > 0 && !s.onGround ? 1 : 0;
  if (const auto warning = kept_[static_cast<int>(Feed::Overspeed)]) {
    s.overspeed = *warning > 0.5 ? 1 : 0;
  } else if (const auto limit = kept_[static_cast<int>(Feed::OverspeedLimitKt)]) {
    s.overspeed = s.indicatedAirspeedKt > *limit ? 1 : 0;
  }
  s.outerMarker = nowMs - markerLitMs_[0] < kMarkerHoldMs ? 1 : 0;
  s.middleMarker = nowMs - markerLitMs_[1] < kMarkerHoldMs ? 1 : 0;
  s.innerMarker = nowMs - markerLitMs_[2] < kMarkerHoldMs ? 1 : 0;
  if (Value(Feed::LocalizerSignal, 1) > 0.5) {
    s.localizerNeedle = static_cast<int>(std::lround(Value(Feed::LocalizerDeflection) * 127));
  }
  const bool glideslope = Value(Feed::GlideslopeSignal) > 0.5;
  if (glideslope) {
    s.glideslopeNeedle = static_cast<int>(std::lround(Value(Feed::GlideslopeDeflection) * 119));
  }
  s.glideslopeFlag = glideslope ? 1 : 0;
  s.autobrake = static_cast<int>(std::lround(Value(Feed::Autobrake, 1)));
  return s;
}

void SetField(TargetReading& r, TargetField field, double value) {
  switch (field) {
    case TargetField::Valid:
      r.valid = value != 0;
      break;
    case TargetField::LatitudeDeg:
      r.latDeg = value;
      break;
    case TargetField::LongitudeDeg:
      r.lonDeg = value;
      break;
    case TargetField::AltitudeFt:
      r.altFt = value;
      break;
    case TargetField::HeadingDeg:
      r.headingDeg = value;
      break;
    case TargetField::SpeedKt:
      r.speedKt = value;
      break;
    case TargetField::EastKt:
      r.eastKt = value;
      break;
    case TargetField::NorthKt:
      r.northKt = value;
      break;
    case TargetField::VerticalFpm:
      r.verticalFpm = value;
      break;
    case TargetField::Id:
      r.id = value;
      break;
    case TargetField::Callsign:
      break;
  }
}

std::string CleanCallsign(std::string_view raw) {
  std::string out;  // UTF-8, every character one Latin-1 holds
  int characters = 0;
  for (size_t i = 0; i < raw.size() && characters < kCallsignCharacters;) {
    const auto byte = static_cast<unsigned char>(raw[i]);
    uint32_t code = 0;
    size_t length = 1;
    if (byte < 0x80) {
      code = byte;
    } else if (byte >= 0xC2 && byte <= 0xDF && i + 1 < raw.size() &&
               (static_cast<unsigned char>(raw[i + 1]) & 0xC0) == 0x80) {
      code = (byte & 0x1Fu) << 6 | (static_cast<unsigned char>(raw[i + 1]) & 0x3Fu);
      length = 2;
    } else {
      // Longer sequences hold characters beyond Latin-1; skip the lead byte and its
      // continuation bytes alike.
      code = 0xFFFF;
      while (i + length < raw.size() &&
             (static_cast<unsigned char>(raw[i + length]) & 0xC0) == 0x80 && length < 4) {
        ++length;
      }
    }
    i += length;
    if (code >= 0x20 && code < 0x7F) {
      out += static_cast<char>(code);
      ++characters;
    } else if (code >= 0xA0 && code <= 0xFF) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
      ++characters;
    }
  }
  return out;
}

double RoughDistanceNm(double latA, double lonA, double latB, double lonB) {
  constexpr double kRadians = 3.14159265358979323846 / 180;
  double dLon = std::fabs(lonA - lonB);
  if (dLon > 180) dLon = 360 - dLon;
  const double east = dLon * std::cos((latA + latB) / 2 * kRadians);
  return 60 * std::hypot(latA - latB, east);
}

void LiveTraffic::Take(const std::string& key, const TargetReading& r, int64_t nowMs) {
  Target& target = targets_[key];
  target.readMs = nowMs;
  TrafficAircraft& a = target.aircraft;
  auto finite = [](const std::optional<double>& v) { return v && std::isfinite(*v); };
  const bool positioned = finite(r.latDeg) && finite(r.lonDeg) && finite(r.altFt) &&
                          std::fabs(*r.latDeg) <= 90 && std::fabs(*r.lonDeg) <= 540 &&
                          *r.altFt > -2000 && *r.altFt < 150000;
  target.present = positioned && r.valid.value_or(true);
  if (!target.present) return;
  a.latDeg = *r.latDeg;
  a.lonDeg = Wrapped(*r.lonDeg, 360, -180);
  a.altFt = *r.altFt;
  if (finite(r.headingDeg) && std::fabs(*r.headingDeg) < 7200) {
    a.headingDeg = Wrapped(*r.headingDeg, 360, 0);
  }
  double speed = -1;
  if (finite(r.speedKt)) {
    speed = *r.speedKt;
  } else if (finite(r.eastKt) && finite(r.northKt)) {
    speed = std::hypot(*r.eastKt, *r.northKt);
  }
  if (speed > -500 && speed < 5000) {
    a.groundSpeedKt = static_cast<int>(std::lround(std::clamp(speed, 0.0, 2000.0)));
  }
  if (finite(r.verticalFpm) && std::fabs(*r.verticalFpm) < 100000) {
    a.verticalSpeedFpm =
        static_cast<int>(std::lround(std::clamp(*r.verticalFpm, -30000.0, 30000.0)));
  }
  if (finite(r.id) && *r.id >= 1 && *r.id <= 2147483647.0) {
    a.id = static_cast<int32_t>(*r.id);
  } else if (a.id == 0) {
    // A target without an identifier of its own: one made of its name, stable for the run.
    a.id = static_cast<int32_t>(1000000 + std::hash<std::string>{}(key) % 1000000000);
  }
  if (r.callsign) a.callsign = CleanCallsign(*r.callsign);
  if (a.callsign.find_first_not_of(' ') == std::string::npos) a.callsign = std::to_string(a.id);
}

double LiveTraffic::DistanceNm(const std::string& key, double latDeg, double lonDeg) const {
  const auto found = targets_.find(key);
  if (found == targets_.end() || !found->second.present) {
    return std::numeric_limits<double>::infinity();
  }
  const TrafficAircraft& a = found->second.aircraft;
  return RoughDistanceNm(latDeg, lonDeg, a.latDeg, a.lonDeg);
}

void LiveTraffic::Remove(const std::string& key) {
  targets_.erase(key);
}

void LiveTraffic::KeepOnly(const std::vector<std::string>& keys) {
  std::erase_if(targets_, [&keys](const auto& entry) {
    return std::find(keys.begin(), keys.end(), entry.first) == keys.end();
  });
}

void LiveTraffic::Clear() {
  targets_.clear();
}

int64_t LiveTraffic::ReadMs(const std::string& key) const {
  const auto found = targets_.find(key);
  return found == targets_.end() ? -1 : found->second.readMs;
}

TrafficSlots LiveTraffic::Slots(double ownLatDeg, double ownLonDeg, int64_t nowMs,
                                int64_t staleMs) {
  std::vector<std::pair<double, const std::string*>> near;
  for (const auto& [key, target] : targets_) {
    if (!target.present || nowMs - target.readMs > staleMs) continue;
    const TrafficAircraft& a = target.aircraft;
    near.emplace_back(RoughDistanceNm(ownLatDeg, ownLonDeg, a.latDeg, a.lonDeg), &key);
  }
  std::sort(near.begin(), near.end(), [](const auto& a, const auto& b) {
    return a.first < b.first || (a.first == b.first && *a.second < *b.second);
  });
  if (near.size() > kTrafficSlotCount) near.resize(kTrafficSlotCount);
  auto chosen = [&near](const std::string& key) {
    return std::any_of(near.begin(), near.end(),
                       [&key](const auto& n) { return *n.second == key; });
  };
  for (std::string& key : slotKeys_) {
    if (!key.empty() && !chosen(key)) key.clear();
  }
  for (const auto& [distance, key] : near) {
    if (std::find(slotKeys_.begin(), slotKeys_.end(), *key) != slotKeys_.end()) continue;
    *std::find(slotKeys_.begin(), slotKeys_.end(), std::string()) = *key;
  }
  TrafficSlots slots{};
  for (int i = 0; i < kTrafficSlotCount; ++i) {
    if (!slotKeys_[i].empty()) slots[i] = targets_.at(slotKeys_[i]).aircraft;
  }
  return slots;
}

}  // namespace sky::sim
