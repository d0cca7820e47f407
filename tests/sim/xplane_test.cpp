// X-Plane as a flight source, against a small X-Plane of the test's own (RREF subscriptions over
// UDP): the subscriptions, the values the program reads, and datagrams X-Plane never sends.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "program_sees.h"
#include "skytrace-sim/live_network.h"
#include "skytrace-sim/xplane_source.h"

namespace sky::sim {
namespace {

using test::ProgramSees;

class TinyXPlane {
 public:
  struct Subscription {
    int32_t index = 0;
    int32_t perSecond = 0;
  };

  TinyXPlane() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~TinyXPlane() { ::close(fd_); }

  // Takes every request that has come: "RREF" and a NUL, the frequency and the index (32-bit
  // little-endian), the path NUL-padded to 400 bytes. Anything else counts as malformed.
  void TakeRequests() {
    uint8_t buffer[1024];
    for (;;) {
      socklen_t length = sizeof client_;
      const ssize_t got =
          ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&client_), &length);
      if (got < 0) return;
      if (got != 413 || std::memcmp(buffer, "RREF\0", 5) != 0 || buffer[412] != 0) {
        ++malformed;
        continue;
      }
      Subscription s;
      std::memcpy(&s.perSecond, buffer + 5, 4);
      std::memcpy(&s.index, buffer + 9, 4);
      const std::string path(reinterpret_cast<const char*>(buffer + 13));
      if (s.perSecond == 0) {
        subscriptions.erase(path);
        ++ended;
      } else {
        subscriptions[path] = s;
      }
    }
  }

  // Answers the subscriptions with these values, as X-Plane does: a 5-byte header, then index
  // and value pairs (little-endian), a few dozen to a datagram.
  void Answer(const std::map<std::string, float>& values) {
    std::string packet;
    for (const auto& [path, value] : values) {
      const auto found = subscriptions.find(path);
      if (found == subscriptions.end()) continue;
      if (packet.empty()) packet.assign("RREF,", 5);
      packet.append(reinterpret_cast<const char*>(&found->second.index), 4);
      packet.append(reinterpret_cast<const char*>(&value), 4);
      if (packet.size() > 5 + 8 * 40) Send(std::exchange(packet, ""));
    }
    if (!packet.empty()) Send(packet);
  }

  void Send(const std::string& datagram) {
    ::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&client_),
             sizeof client_);
  }

  std::string Pair(const std::string& path, float value) const {
    const int32_t index = subscriptions.at(path).index;
    return std::string(reinterpret_cast<const char*>(&index), 4) +
           std::string(reinterpret_cast<const char*>(&value), 4);
  }

  uint16_t port = 0;
  std::map<std::string, Subscription> subscriptions;
  int malformed = 0;
  int ended = 0;

 private:
  int fd_ = -1;
  sockaddr_in client_{};
};

// A jet on an ILS approach with the outer marker lit, and two other aircraft (one of them an
// empty slot, at 0/0).
const std::map<std::string, float> kApproach = {
    {"sim/flightmodel/position/latitude", 47.45f},
    {"sim/flightmodel/position/longitude", 8.5f},
    {"sim/flightmodel/position/elevation", 1000.0f},  // metres
    {"sim/flightmodel/position/y_agl", 600.0f},
    {"sim/flightmodel/position/indicated_airspeed", 160.5f},
    {"sim/flightmodel/position/true_airspeed", 90.0f},  // metres per second
    {"sim/flightmodel/position/groundspeed", 85.0f},
    {"sim/flightmodel/position/psi", -20.0f},
    {"sim/flightmodel/position/vh_ind_fpm", -750.0f},
    {"sim/flightmodel/failures/onground_any", 0.0f},
    {"sim/flightmodel2/gear/deploy_ratio[0]", 1.0f},
    {"sim/cockpit2/controls/flap_ratio", 0.625f},
    {"sim/cockpit2/controls/speedbrake_ratio", -0.5f},  // armed
    {"sim/flightmodel2/misc/tailhook_deploy_ratio", 0.0f},
    {"sim/cockpit2/annunciators/stall_warning", 0.0f},
    {"sim/flightmodel/failures/over_vne", 1.0f},
    {"sim/cockpit2/radios/indicators/outer_marker_lit", 1.0f},
    {"sim/cockpit2/radios/indicators/middle_marker_lit", 0.0f},
    {"sim/cockpit2/radios/indicators/inner_marker_lit", 0.0f},
    {"sim/cockpit2/radios/indicators/nav1_hdef_dots_pilot", 0.1f},
    {"sim/cockpit2/radios/indicators/nav1_vdef_dots_pilot", -1.25f},  // needle down: above
    {"sim/cockpit2/radios/indicators/nav1_display_horizontal", 1.0f},
    {"sim/cockpit2/radios/indicators/nav1_display_vertical", 1.0f},
    {"sim/cockpit2/switches/auto_brake_level", 3.0f},
    {"sim/multiplayer/position/plane3_lat", 47.5f},
    {"sim/multiplayer/position/plane3_lon", 8.55f},
    {"sim/multiplayer/position/plane3_el", 1500.0f},
    {"sim/multiplayer/position/plane3_psi", 200.0f},
    {"sim/multiplayer/position/plane3_v_x", 30.0f},
    {"sim/multiplayer/position/plane3_v_z", -40.0f},
    {"sim/multiplayer/position/plane3_v_y", 2.54f},
    {"sim/multiplayer/position/plane4_lat", 0.0f},
    {"sim/multiplayer/position/plane4_lon", 0.0f},
};

constexpr const char* kApproachSeen =
    "47.4500008 8.5000000 alt 3280 gs 165 ias 160 tas 174 hdg 340 vs -750 ground 0 gear 1 "
    "flaps 62 spoilers 0 stall 0 overspeed 1 markers 100 loc 1 gs 60/2/1 autobrake 3";

struct Connected {
  Connected() : link({"127.0.0.1", xplane.port}) {
    std::string error;
    EXPECT_TRUE(link.Open(0, error)) << error;
    xplane.TakeRequests();
  }
  // Lets the link take what has come.
  void Take(int64_t nowMs) {
    std::string error;
    ASSERT_TRUE(link.Pump(nowMs, 200, error)) << error;
  }
  TinyXPlane xplane;
  XPlaneLink link;
};

TEST(XPlane, SubscribesToEveryDatarefAndEndsTheSubscriptionsOnClose) {
  Connected c;
  const size_t expected = XPlaneDatarefs().size() + kXPlaneTargets * XPlaneTargetDatarefs().size();
  EXPECT_EQ(c.xplane.malformed, 0);
  ASSERT_EQ(c.xplane.subscriptions.size(), expected);
  std::set<int32_t> indexes;
  for (const auto& [path, s] : c.xplane.subscriptions) {
    indexes.insert(s.index);
    EXPECT_TRUE(s.perSecond >= 1 && s.perSecond <= 5) << path;
  }
  EXPECT_EQ(indexes.size(), expected);
  for (const XPlaneDataref& dataref : XPlaneDatarefs()) {
    EXPECT_TRUE(c.xplane.subscriptions.count(dataref.path)) << dataref.path;
  }
  EXPECT_TRUE(c.xplane.subscriptions.count("sim/multiplayer/position/plane19_v_y"));
  c.link.Close();
  c.xplane.TakeRequests();
  EXPECT_EQ(c.xplane.ended, static_cast<int>(expected));
  EXPECT_TRUE(c.xplane.subscriptions.empty());
  EXPECT_EQ(c.xplane.malformed, 0);
}

TEST(XPlane, AnApproachReachesTheProgram) {
  Connected c;
  c.xplane.Answer(kApproach);
  c.Take(1000);
  ASSERT_TRUE(c.link.Aircraft().Ready());
  EXPECT_EQ(c.link.LastAnswerMs(), 1000);
  EXPECT_EQ(ProgramSees(c.link.Aircraft().State(1000)), kApproachSeen);
  const TrafficSlots slots = c.link.Traffic().Slots(47.45, 8.5, 1000);
  int present = 0;
  for (const TrafficAircraft& a : slots) {
    if (a.id == 0) continue;
    ++present;
    EXPECT_EQ(a.id, 3);
    EXPECT_EQ(a.callsign, "XP3");
    EXPECT_NEAR(a.altFt, 4921, 1);
    EXPECT_EQ(a.groundSpeedKt, 97);  // 50 m/s
    EXPECT_EQ(a.verticalSpeedFpm, 500);
    EXPECT_NEAR(a.headingDeg, 200, 1e-3);
  }
  EXPECT_EQ(present, 1);
}

// Datagrams X-Plane would never send change nothing, and the good ones after them count.
TEST(XPlane, UntrustedDatagrams) {
  Connected c;
  c.xplane.Answer(kApproach);
  c.Take(1000);
  const std::string latitude = "sim/flightmodel/position/latitude";
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* name;
    std::string datagram;
  } cases[] = {
      {"empty", ""},
      {"three bytes", "RRE"},
      {"the header alone", std::string("RREF,", 5)},
      {"another header", "DATA," + c.xplane.Pair(latitude, 10)},
      {"a pair cut short", std::string("RREF,", 5) + c.xplane.Pair(latitude, 10).substr(0, 7)},
      {"an unknown index",
       std::string("RREF,\xff\xff\xff\x7f", 9) + std::string("\0\0\x20\x41", 4)},
      {"not a number", std::string("RREF,", 5) + c.xplane.Pair(latitude, nan)},
      {"infinite", std::string("RREF,", 5) + c.xplane.Pair(latitude, -inf)},
      {"beyond the range", std::string("RREF,", 5) + c.xplane.Pair(latitude, 1e30f)},
      {"oversized", std::string("RREF,", 5) + std::string(65000, '\xee')},
  };
  for (const Case& bad : cases) {
    c.xplane.Send(bad.datagram);
    c.Take(2000);
    EXPECT_EQ(ProgramSees(c.link.Aircraft().State(2000)), kApproachSeen) << bad.name;
  }
  EXPECT_EQ(c.link.LastAnswerMs(), 2000);  // the good pairs beside the bad ones
  c.xplane.Send(std::string("RREF,", 5) + c.xplane.Pair(latitude, 10.5f) +
                std::string("\x01\x02\x03", 3));
  c.Take(3000);
  EXPECT_DOUBLE_EQ(c.link.Aircraft().State(3000).latitudeDeg, 10.5);
}

}  // namespace
}  // namespace sky::sim
