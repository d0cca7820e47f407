#include "skytrace-sim/xplane_source.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace sky::sim {
namespace {

constexpr double kFeetPerMetre = 3.28083989501;
constexpr double kKnotsPerMetrePerSecond = 3600 / 1852.0;
constexpr double kFpmPerMetrePerSecond = 60 * kFeetPerMetre;

// The own aircraft's datarefs. Values move slowly enough at 2 a second; the vertical speed and
// on-ground (for the moment of touchdown) and the blinking marker lamps come 5 times a second.
constexpr std::array<XPlaneDataref, 24> kOwn = {{
    {"sim/flightmodel/position/latitude", "degrees", Feed::LatitudeDeg, 1, 2},
    {"sim/flightmodel/position/longitude", "degrees", Feed::LongitudeDeg, 1, 2},
    {"sim/flightmodel/position/elevation", "metres MSL", Feed::AltitudeFt, kFeetPerMetre, 2},
    // No ground elevation is published: it is the elevation less the height above ground.
    {"sim/flightmodel/position/y_agl", "metres above ground", Feed::HeightAboveGroundFt,
     kFeetPerMetre, 2},
    {"sim/flightmodel/position/indicated_airspeed", "knots", Feed::IndicatedAirspeedKt, 1, 2},
    {"sim/flightmodel/position/true_airspeed", "metres per second", Feed::TrueAirspeedKt,
     kKnotsPerMetrePerSecond, 2},
    {"sim/flightmodel/position/groundspeed", "metres per second", Feed::GroundSpeedKt,
     kKnotsPerMetrePerSecond, 2},
    {"sim/flightmodel/position/psi", "degrees true", Feed::HeadingDeg, 1, 2},
    {"sim/flightmodel/position/vh_ind_fpm", "feet per minute", Feed::VerticalSpeedFpm, 1, 5},
    {"sim/flightmodel/failures/onground_any", "1 on the ground", Feed::OnGround, 1, 5},
    {"sim/flightmodel2/gear/deploy_ratio[0]", "0 up to 1 down (first gear)", Feed::Gear, 1, 2},
    // The handles, as the interface module's offsets carry flaps and spoilers; -0.5 on the
    // speed brake handle is armed, which counts as retracted.
    {"sim/cockpit2/controls/flap_ratio", "0 to 1", Feed::FlapsPercent, 100, 2},
    {"sim/cockpit2/controls/speedbrake_ratio", "0 to 1", Feed::Spoilers, 1, 2},
    {"sim/flightmodel2/misc/tailhook_deploy_ratio", "0 up to 1 down", Feed::TailHook, 1, 2},
    {"sim/cockpit2/annunciators/stall_warning", "1 while sounding", Feed::Stall, 1, 2},
    {"sim/flightmodel/failures/over_vne", "1 above the never-exceed speed", Feed::Overspeed, 1, 2},
    {"sim/cockpit2/radios/indicators/outer_marker_lit", "lamp", Feed::OuterMarker, 1, 5},
    {"sim/cockpit2/radios/indicators/middle_marker_lit", "lamp", Feed::MiddleMarker, 1, 5},
    {"sim/cockpit2/radios/indicators/inner_marker_lit", "lamp", Feed::InnerMarker, 1, 5},
    // Dots, 2.5 full scale; positive: the needle right, the course lies to the right.
    {"sim/cockpit2/radios/indicators/nav1_hdef_dots_pilot", "dots", Feed::LocalizerDeflection,
     1 / 2.5, 2},
    // Dots, 2.5 full scale; positive: the needle up, the aircraft below the path (the program's
    // needle is the other way).
    {"sim/cockpit2/radios/indicators/nav1_vdef_dots_pilot", "dots", Feed::GlideslopeDeflection,
     -1 / 2.5, 2},
    {"sim/cockpit2/radios/indicators/nav1_display_horizontal", "1 with a localizer",
     Feed::LocalizerSignal, 1, 2},
    {"sim/cockpit2/radios/indicators/nav1_display_vertical", "1 with a glideslope",
     Feed::GlideslopeSignal, 1, 2},
    // The same steps as the program's: 0 RTO, 1 off, 2 to 4 the settings 1 to 3, 5 max.
    {"sim/cockpit2/switches/auto_brake_level", "step", Feed::Autobrake, 1, 2},
    // Derived (see LiveAircraft::State): the touchdown vertical speed, the last vertical speed
    // in the air before the wheels touched.
}};

// The other aircraft X-Plane shows (AI and multiplayer). They carry no call sign that a
// subscription can deliver: each gets "XP" and its number. The ground speed is made of the
// horizontal velocity components; an aircraft at latitude and longitude 0 is no aircraft.
constexpr std::array<XPlaneTargetDataref, 7> kTargets = {{
    {"sim/multiplayer/position/plane%d_lat", "degrees", TargetField::LatitudeDeg, 1, 1},
    {"sim/multiplayer/position/plane%d_lon", "degrees", TargetField::LongitudeDeg, 1, 1},
    {"sim/multiplayer/position/plane%d_el", "metres MSL", TargetField::AltitudeFt, kFeetPerMetre,
     1},
    {"sim/multiplayer/position/plane%d_psi", "degrees true", TargetField::HeadingDeg, 1, 1},
    {"sim/multiplayer/position/plane%d_v_x", "metres per second east", TargetField::EastKt,
     kKnotsPerMetrePerSecond, 1},
    {"sim/multiplayer/position/plane%d_v_z", "metres per second south", TargetField::NorthKt,
     -kKnotsPerMetrePerSecond, 1},
    {"sim/multiplayer/position/plane%d_v_y", "metres per second up", TargetField::VerticalFpm,
     kFpmPerMetrePerSecond, 1},
}};

void PutLe32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t Le32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
         static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

std::span<const XPlaneDataref> XPlaneDatarefs() {
  return kOwn;
}

std::span<const XPlaneTargetDataref> XPlaneTargetDatarefs() {
  return kTargets;
}

std::string RrefRequest(int perSecond, int32_t index, std::string_view path) {
  if (path.size() >= kRrefPathBytes) return "";
  std::string out("RREF", 4);
  out += '\0';
  PutLe32(out, static_cast<uint32_t>(perSecond));
  PutLe32(out, static_cast<uint32_t>(index));
  out.append(path);
  out.resize(kRrefRequestBytes, '\0');
  return out;
}

XPlaneSession::XPlaneSession() : planes_(kXPlaneTargets + 1) {
  for (size_t row = 0; row < kOwn.size(); ++row) {
    subscriptions_.push_back({kOwn[row].path, kOwn[row].perSecond, static_cast<int>(row)});
  }
  for (int plane = 1; plane <= kXPlaneTargets; ++plane) {
    for (size_t row = 0; row < kTargets.size(); ++row) {
      char path[kRrefPathBytes];
      std::snprintf(path, sizeof path, kTargets[row].path, plane);
      subscriptions_.push_back({path, kTargets[row].perSecond, -1, static_cast<int>(row), plane});
    }
  }
}

std::vector<std::string> XPlaneSession::Requests(bool subscribe) const {
  std::vector<std::string> requests;
  for (size_t i = 0; i < subscriptions_.size(); ++i) {
    const Subscription& s = subscriptions_[i];
    requests.push_back(RrefRequest(subscribe ? s.perSecond : 0, static_cast<int32_t>(i), s.path));
  }
  return requests;
}

void XPlaneSession::Restart() {
  traffic_.Clear();
  planes_.assign(kXPlaneTargets + 1, TargetReading{});
  lastAnswerMs_ = -1;
}

bool XPlaneSession::Received(std::span<const uint8_t> datagram, int64_t nowMs) {
  if (datagram.size() < 5 || std::memcmp(datagram.data(), "RREF", 4) != 0) return false;
  LiveReading reading;
  std::vector<bool> touched(planes_.size(), false);
  bool ours = false;
  for (size_t at = 5; at + 8 <= datagram.size(); at += 8) {
    const uint32_t index = Le32(datagram.data() + at);
    const uint32_t bits = Le32(datagram.data() + at + 4);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (index >= subscriptions_.size()) continue;
    ours = true;
    if (!std::isfinite(value)) continue;
    const Subscription& s = subscriptions_[index];
    if (s.own >= 0) {
      reading.Add(kOwn[s.own].feed, value * kOwn[s.own].scale);
    } else {
      SetField(planes_[s.plane], kTargets[s.target].field, value * kTargets[s.target].scale);
      touched[s.plane] = true;
    }
  }
  if (!ours) return false;
  lastAnswerMs_ = nowMs;
  if (!reading.Empty()) aircraft_.Take(reading, nowMs);
  for (int plane = 1; plane <= kXPlaneTargets; ++plane) {
    if (!touched[plane]) continue;
    TargetReading& target = planes_[plane];
    const std::string key = "plane" + std::to_string(plane);
    if (target.latDeg.value_or(0) == 0 && target.lonDeg.value_or(0) == 0) {
      traffic_.Remove(key);
      continue;
    }
    target.id = plane;
    target.callsign = "XP" + std::to_string(plane);
    traffic_.Take(key, target, nowMs);
  }
  return true;
}

}  // namespace sky::sim
