// FlightGear as a flight source, against replies recorded at three moments: what the program reads,
// the traffic, the requests' form, and answers out of step or garbage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "program_sees.h"
#include "recorded_flightgear.h"
#include "simlink/traffic.h"
#include "skytrace-sim/flightgear_source.h"
#include "test_app.h"

namespace sky::sim {
namespace {

using test::Number;
using test::ProgramSees;

// The session and a FlightGear answering it, a request at a time, the answers in the 512-byte
// pieces FlightGear sends; time moves in steps of 100 ms.
struct Exchange {
  explicit Exchange(const std::string& moment) : flightgear(moment) { session.Restart(0); }

  void Run(int64_t untilMs) {
    for (; nowMs < untilMs; nowMs += 100) {
      const std::string requests = session.Due(nowMs);
      if (requests.empty()) continue;
      sent += requests;
      const std::string answers = flightgear.Answer(requests);
      for (size_t at = 0; at < answers.size(); at += 512) {
        ASSERT_TRUE(session.Received(std::string_view(answers).substr(at, 512), nowMs));
      }
    }
  }

  FlightGearSession session;
  test::RecordedFlightGear flightgear;
  std::string sent;
  int64_t nowMs = 0;
};

TEST(FlightGear, RecordedMomentsReachTheProgramAsFlightGearShowedThem) {
  struct Case {
    const char *moment, *seen;
  } cases[] = {
      // Parked on the grass facing 321: no airspeed (a denormal), the FDM's true airspeed is the
      // wind; the glideslope needle is at full "fly up".
      {"parked",
       "21.3243495 -157.9424158 alt 21 gs 0 ias 0 tas 3 hdg 321 vs 0 ground 1 gear 1 flaps 0 "
       "spoilers 0 stall 0 overspeed 0 markers 000 loc 0 gs -119/0/1 autobrake 1"},
      // Rolling with flaps 10 (a third of the travel).
      {"taking-off",
       "21.3245090 -157.9414474 alt 21 gs 34 ias 35 tas 36 hdg 89 vs 2 ground 1 gear 1 flaps 33 "
       "spoilers 0 stall 0 overspeed 0 markers 000 loc 0 gs -119/0/1 autobrake 1"},
      // Climbing at 7.35 ft/s in a right turn, the localizer far off to the left.
      {"climbing-turn",
       "21.3247149 -157.9134914 alt 783 gs 84 ias 84 tas 87 hdg 129 vs 441 ground 0 gear 1 "
       "flaps 0 spoilers 0 stall 0 overspeed 0 markers 000 loc 0 gs -119/0/1 autobrake 1"},
  };
  for (const Case& c : cases) {
    Exchange x(c.moment);
    x.Run(1500);
    ASSERT_TRUE(x.session.Aircraft().Ready()) << c.moment;
    EXPECT_EQ(ProgramSees(x.session.Aircraft().State(x.nowMs)), c.seen) << c.moment;
  }
}

// Every AI and multiplayer aircraft is read in turn (eight a second); the 40 nearest fill the
// traffic area, each with the values FlightGear gave for it; one reported not valid stays out.
TEST(FlightGear, TrafficFromTheRecordedAiList) {
  for (const char* moment : {"parked", "climbing-turn"}) {
    Exchange x(moment);
    x.Run(9000);
    const FlightState own = x.session.Aircraft().State(x.nowMs);
    const TrafficSlots slots =
        x.session.Traffic().Slots(own.latitudeDeg, own.longitudeDeg, x.nowMs);
    test::TestApp t;
    ASSERT_TRUE(t.Load());
    WriteTrafficArea(t.simulator, slots);
    ASSERT_EQ(t.ReadTraffic(), ReadOutcome::Done);
    std::set<std::string> ids;
    for (const std::string& node : x.session.TargetNames()) {
      const std::string base = "/ai/models/" + node + "/";
      const std::string id = x.flightgear.values[base + "id"];
      const auto row = std::find_if(t.app().traffic.begin(), t.app().traffic.end(),
                                    [&id](const TrafficTarget& r) { return r.ID == id; });
      if (row == t.app().traffic.end()) continue;
      ids.insert(id);
      std::string callsign = x.flightgear.values[base + "callsign"];
      std::erase(callsign, ' ');
      EXPECT_EQ(row->Callsign, callsign) << moment << " " << node;
      EXPECT_NEAR(Number(row->Lat), Number(x.flightgear.values[base + "position/latitude-deg"]),
                  1e-4);
      EXPECT_NEAR(Number(row->Alt), Number(x.flightgear.values[base + "position/altitude-ft"]),
                  0.5);
      EXPECT_EQ(x.flightgear.values[base + "valid"], "true") << node;
    }
    EXPECT_EQ(ids.size(), 40u) << moment;
    EXPECT_TRUE(ids.count("4")) << moment << ": the multiplayer aircraft SKYB, 6 to 8 NM off";
  }
}

// Data mode first; every line ends in CR LF; the own aircraft once a second in one request,
// the fast values five times a second, the AI list every ten seconds; nothing is set but the
// session's own token, and every request ends by reading it.
TEST(FlightGear, RequestsAreDataModeGetsInOneWritePerSecond) {
  Exchange x("climbing-turn");
  x.Run(10000);
  EXPECT_TRUE(x.flightgear.dataMode);
  ASSERT_FALSE(x.flightgear.commands.empty());
  EXPECT_EQ(x.flightgear.commands.front(), "data");
  size_t lines = 0;
  for (size_t at = 0; (at = x.sent.find('\n', at)) != std::string::npos; ++at, ++lines) {
    ASSERT_GT(at, 0u);
    ASSERT_EQ(x.sent[at - 1], '\r') << "a line without CR at " << at;
  }
  EXPECT_EQ(lines, x.flightgear.commands.size());
  int own = 0, fast = 0, lists = 0, sets = 0;
  for (const std::string& command : x.flightgear.commands) {
    own += command == "get /position/latitude-deg";
    fast += command == "get /instrumentation/marker-beacon/outer";
    lists += command == "ls /ai/models";
    sets += command.rfind("set ", 0) == 0;
  }
  EXPECT_EQ(own, 10);
  EXPECT_EQ(fast, 60);  // five times a second, and with the whole aircraft once more
  EXPECT_EQ(lists, 1);
  EXPECT_EQ(sets, 1);
  EXPECT_EQ(x.flightgear.values["/sim/skytrace/sync"], "skytrace-sync");
  // Every property of the table is one the recording has.
  for (const FlightGearProperty& property : FlightGearProperties()) {
    EXPECT_TRUE(x.flightgear.values.count(property.path)) << property.path;
  }
}

// Answers FlightGear would never give, and a FlightGear that stops answering.
TEST(FlightGear, UntrustedAnswers) {
  struct Case {
    const char* name;
    std::string latitude;  // the answer given for the latitude
    bool accepted;         // Received still trusts the connection
    double kept;           // the latitude the aircraft then has
  } cases[] = {
      {"a number", "12.5", true, 12.5},
      {"not a number", "nan", true, 21.3247149},
      {"infinite", "inf", true, 21.3247149},
      {"beyond the range", "1e400", true, 21.3247149},
      {"out of range", "91", true, 21.3247149},
      {"a word", "north", true, 21.3247149},
      {"empty (missing)", "", true, 21.3247149},
      // A value with a line break: the answer is out of step; its request is dropped, and the
      // next one reads in step again.
      {"a line break", "12\r\n13", true, 21.3247149},
      {"a line too long", std::string(5000, '1'), false, 21.3247149},
  };
  for (const Case& c : cases) {
    Exchange x("climbing-turn");
    x.Run(1000);
    x.flightgear.values["/position/latitude-deg"] = c.latitude;
    bool trusted = true;
    for (int step = 0; step < 10 && trusted; ++step, x.nowMs += 100) {
      const std::string answers = x.flightgear.Answer(x.session.Due(x.nowMs));
      trusted = x.session.Received(answers, x.nowMs);
    }
    EXPECT_EQ(trusted, c.accepted) << c.name;
    EXPECT_DOUBLE_EQ(x.session.Aircraft().State(x.nowMs).latitudeDeg, c.kept) << c.name;
    if (!c.accepted) continue;
    // In step again: the next value is taken.
    x.flightgear.values["/position/latitude-deg"] = "10";
    x.Run(x.nowMs + 1100);
    EXPECT_DOUBLE_EQ(x.session.Aircraft().State(x.nowMs).latitudeDeg, 10) << c.name;
  }

  // An answer nobody asked for.
  FlightGearSession fresh;
  fresh.Restart(0);
  EXPECT_FALSE(fresh.Received("21.5\r\n", 0));
}

// Traffic values beyond reason stay out of the area; call signs lose their control characters.
TEST(FlightGear, UntrustedTraffic) {
  struct Case {
    const char *property, *value;
    bool present;
    const char* callsign;
  } cases[] = {
      {"callsign", "SKY\001B\177", true, "SKYB"},
      {"callsign", "", true, "4"},  // no call sign: the identifier stands in
      {"callsign", "K\303\251L\342\202\254M 1234567890123", true, "K\xc3\xa9LM 1234567890"},
      {"position/latitude-deg", "nan", false, ""},
      {"position/latitude-deg", "95", false, ""},
      {"position/altitude-ft", "-inf", false, ""},
      {"valid", "false", false, ""},
  };
  for (const Case& c : cases) {
    Exchange x("parked");
    x.flightgear.values[std::string("/ai/models/multiplayer/") + c.property] = c.value;
    x.Run(9000);
    const TrafficSlots slots = x.session.Traffic().Slots(21.3, -157.9, x.nowMs);
    const auto skyb = std::find_if(slots.begin(), slots.end(),
                                   [](const TrafficAircraft& a) { return a.id == 4; });
    ASSERT_EQ(skyb != slots.end(), c.present) << c.property << " " << c.value;
    if (c.present) {
      EXPECT_EQ(skyb->callsign, c.callsign);
    }
  }
}

}  // namespace
}  // namespace sky::sim
