// Traffic: the reader of the raw area into the table, its control writes, clean-up and failures;
// the simulator's traffic file errors (the demo's tests fly a file) and its built-in traffic.
#include "simlink/traffic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "core/geometry.h"
#include "core/messages.h"
#include "shell/tick.h"
#include "simlink/flightdata.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/traffic_source.h"
#include "test_app.h"

namespace sky {
namespace {

// One slot of the traffic area as the interface module lays it out, written by hand.
struct RawSlot {
  int32_t id;
  float lat, lon, alt;
  int16_t heading, speed, verticalSpeed;
  char tail[18];  // the call sign (15 bytes) and 3 unused bytes
};
static_assert(sizeof(RawSlot) == 40);

void PutSlot(sim::SimulatorCore& simulator, int slot, const RawSlot& raw) {
  simulator.Write(0xF080 + 40 * slot, reinterpret_cast<const uint8_t*>(&raw), 40);
}

const std::string kTrafficHeader = "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n";

std::string Joined(const TrafficTarget& r) {
  return r.ID + "|" + r.Lat + "|" + r.Lon + "|" + r.Alt + "|" + r.HDG + "|" + r.Spd + "|" +
         r.Callsign + "|" + r.VS;
}

// The reader on an open link to the in-memory simulator.
class GetAITest : public ::testing::Test {
 protected:
  GetAITest() {
    link.transport = &transport;
    link.clock = &clock;
    EXPECT_TRUE(OpenLink(link, 0, result)) << result;
  }
  ~GetAITest() override { CloseLink(link); }
  ReadOutcome ReadTraffic() { return GetAI(link, range, rangeSent, traffic); }
  std::string Row(int r) { return Joined(traffic[r]); }

  sim::SimulatorCore simulator{8};
  SimulatedClock clock{{2026, 12, 4, 22, 30, 0}};
  test::MemoryTransport transport{simulator};
  FsuipcLink link;
  int32_t result = -1;
  int range = 20, rangeSent = 0;
  TrafficTable traffic;
};

TEST_F(GetAITest, ParsesEverySlotFormatWithAPoint) {
  PutSlot(simulator, 0, {4711, 52.1f, -4.5f, 35000, 0, 250, -1200, "KLM1234"});
  PutSlot(simulator, 1, {12, 1e-5f, 179.99f, -12.5f, -16384, 0, 0, "AB 123"});
  PutSlot(simulator, 2, {-3, 0, 0, 0, 1, 1, 1, "ABCDEFGHIJKLMNOXY"});
  PutSlot(simulator, 3, {7, 52.25f, 4.75f, 1500.5f, 32767, -5, 2, "  X Y  Z\0QQ"});
  PutSlot(simulator, 5, {0, 50, 5, 1000, 0, 100, 100, "EMPTY"});
  PutSlot(simulator, 39, {99, 12345678.0f, 0, 0, -32768, 0, 0, "LAST\xe9"});
  ReadTraffic();
  const struct {
    int row;
    const char* expected;
  } cases[] = {
      {0, "ID\t|Lat\t|Lon\t|Alt\t|HDG\t|Spd\t|Callsign\t|"},
      {1, "4711|52.1|-4.5|35000|180|250|KLM1234|-1200"},
      {2, "12|1E-05|179.99|-12.5|90|0|AB123|0"},  // heading -16384, blank in the call sign
      {3, "-3|0|0|0|180.005493164062|1|ABCDEFGHIJKLMNO|1"},  // 15 characters without a zero
      {4, "7|52.25|4.75|1500.5|359.994506835938|-5|XYZ|2"},
      {6, "|||||||"},  // an empty slot writes nothing
      {7, "|||||||"},
      {40, "99|1.234568E+07|0|0|0|0|LAST\xc3\xa9|0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Row(c.row), c.expected) << "row " << c.row;
}

TEST_F(GetAITest, AMissingCallSignKeepsTheColumnAndAnEmptiedSlotClearsIt) {
  PutSlot(simulator, 0, {1, 1, 1, 1, 0, 0, 0, "FIRST"});
  ReadTraffic();
  PutSlot(simulator, 0, {2, 2, 2, 2, 0, 0, 0});
  ReadTraffic();
  EXPECT_EQ(Row(1), "2|2|2|2|180|0|FIRST|0");
  PutSlot(simulator, 0, {0, 2, 2, 2, 0, 0, 77});
  ReadTraffic();
  EXPECT_EQ(Row(1), "|||||||0");  // the vertical speed of the last aircraft in the slot
}

// Each refresh writes the control offset and, only when it changed, the range, then reads the
// whole area in one exchange.
TEST_F(GetAITest, ControlWritesAndOneExchangeForTheArea) {
  const auto sendsBefore = transport.sends;
  ReadTraffic();
  ReadTraffic();
  EXPECT_EQ(transport.sends - sendsBefore, 5);
  range = 10;
  ReadTraffic();
  std::vector<std::pair<uint32_t, uint32_t>> writes;
  for (const auto& w : simulator.ControlWrites()) {
    if (w.offset != 0x330A) writes.emplace_back(w.offset, w.value);
  }
  const std::vector<std::pair<uint32_t, uint32_t>> expected{
      {0xF06A, 0}, {0xF068, 20}, {0xF06A, 0}, {0xF06A, 0}, {0xF068, 10}};
  EXPECT_EQ(writes, expected);
  EXPECT_EQ(rangeSent, 10);
}

TEST(RefreshTraffic, AFailedExchangeIsALostLinkAndChangesNoField) {
  struct Case {
    const char* name;
    int goodSends;  // exchanges that succeed before the failing one
    int rangeSent;  // TcasRangeSent afterwards
  } cases[] = {
      {"control write", 0, 0},
      {"range write", 1, 0},
      {"area read", 2, 20},
  };
  for (const Case& c : cases) {
    test::TestApp t2;
    ASSERT_TRUE(t2.Load() && t2.g().Connected);
    t2.app().traffic[1].ID = "old";
    t2.app().traffic[0].ID = "";
    t2.g().AnimationOn = t2.g().LoggingOn = true;
    PutSlot(t2.simulator, 0, {5, 1, 1, 1, 0, 0, 0, "NEW"});
    for (int i = 0; i < c.goodSends; ++i) t2.transport.scriptedSends.push_back({true, 0, 0});
    for (int i = 0; i < 11; ++i) t2.transport.scriptedSends.push_back({false, 0, 0});
    RefreshTraffic(t2.app());
    EXPECT_FALSE(t2.g().Connected) << c.name;
    EXPECT_FALSE(t2.g().AnimationOn || t2.g().LoggingOn) << c.name;
    EXPECT_EQ(t2.app().traffic[1].ID, "old") << c.name;
    EXPECT_EQ(t2.app().traffic[0].ID, "") << c.name;  // not even the header row
    EXPECT_EQ(t2.g().TcasRangeSent, c.rangeSent) << c.name;
    EXPECT_EQ(t2.LastMessage(), "Connection to FS timed out.") << c.name;
  }
}

TEST(RefreshTraffic, AValueThatCannotBeConvertedStopsTheRefresh) {
  test::TestApp t;
  ASSERT_TRUE(t.Load() && t.g().Connected);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PutSlot(t.simulator, 0, {1, 10, 10, 10, 0, 0, 0, "OK"});
  PutSlot(t.simulator, 1, {2, nan, 10, 10, 0, 0, 0, "BAD"});
  PutSlot(t.simulator, 3, {3, 10, 10, 10, 0, 0, 0, "LATER"});
  RefreshTraffic(t.app());
  EXPECT_EQ(t.LastMessage(), "Unable to load AI traffic data.");
  EXPECT_TRUE(t.g().Connected);
  EXPECT_EQ(Joined(t.app().traffic[1]), "1|10|10|10|180|0|OK|0");
  EXPECT_EQ(t.app().traffic[2].ID, "2");  // written before the fault
  EXPECT_EQ(t.app().traffic[2].Lat, "");  // not written
  EXPECT_EQ(t.app().traffic[3].ID, "");   // never reached
}

TEST(TrafficFileTest, ErrorsNameTheLine) {
  struct Case {
    std::string text, error;
  } cases[] = {
      {"", "line 1: no header line"},
      {"t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm\n", "line 1: missing column \"callsign\""},
      {kTrafficHeader + "0,0,1,52,4,1000,90,100,0\n", "line 2: expected 10 fields, found 9"},
      {kTrafficHeader + "\n# comment\n0,40,1,52,4,1000,90,100,0,X\n",
       "line 4: slot \"40\" is not a slot from 0 to 39"},
      {kTrafficHeader + "0,0,1,52,4,1000,90,100,0,ABCDEFGHIJKLMNOP\n",
       "line 2: callsign \"ABCDEFGHIJKLMNOP\" is longer than 15 characters"},
      {kTrafficHeader + "0,0,1,52,4,1000,90,100,0,\"AB\n", "line 2: unclosed quote"},
      {kTrafficHeader + "0,0,1,52,4,1000,90,100,0,\xC3\x86\xC3\x98\xC3\x85"
                        "ABCDEFGHIJKLM\n",
       "line 2: callsign \"\xC3\x86\xC3\x98\xC3\x85"
       "ABCDEFGHIJKLM\" is longer than 15 characters"},
      {kTrafficHeader + "0,0,1,52,4,1000,90,100,0,caf\xE9\n",
       "line 2: callsign \"caf\xE9\" is not UTF-8 text"},
      {kTrafficHeader + "0,0,1,52,4,1000,90,100,0,\xCE\xA9mega\n",
       "line 2: callsign \"\xCE\xA9mega\" has a character the traffic area cannot hold (it "
       "holds Latin-1 only)"},
      // A huge bad value is quoted only in part.
      {kTrafficHeader + "0," + std::string(10 << 20, '4') + ",1,52,4,1000,90,100,0,X\n",
       "line 2: slot \"" + std::string(40, '4') + "...\" is not a slot from 0 to 39"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(sim::TrafficFile::Parse(c.text, error)) << c.text.substr(0, 80);
    EXPECT_EQ(error, c.error) << c.text.substr(0, 80);
  }
}

// Call signs of a traffic file are UTF-8 text counted in characters; they reach the program's
// table as they were written (blanks aside, which the table drops).
TEST_F(GetAITest, UnicodeCallSignsComeBackAsWritten) {
  const std::vector<std::string> callsigns = {
      "\xC3\x84\xC3\x96\xC3\x9C\xC3\x89\xC3\x88\xC3\x87\xC3\x91"
      "12",  // 9 characters, 16 bytes
      "\xC3\x86R\xC3\x98SK\xC3\x96"
      "BING\xC3\xBF\xC3\xA9\xC3\xA0\xC2\xA9!",  // 15 characters
      "PH-\xC3\x9F\xC3\xB1\xC2\xBF", "KLM1234"};
  std::string file = kTrafficHeader;
  for (size_t i = 0; i < callsigns.size(); ++i) {
    file += "0," + std::to_string(i) + "," + std::to_string(100 + i) + ",52,4,3000,90,180,0," +
            callsigns[i] + "\n";
  }
  std::string error;
  auto parsed = sim::TrafficFile::Parse(file, error);
  ASSERT_TRUE(parsed) << error;
  sim::UpdateTraffic(*parsed, simulator, 0);
  ASSERT_EQ(ReadTraffic(), ReadOutcome::Done);
  for (size_t i = 0; i < callsigns.size(); ++i) {
    EXPECT_EQ(traffic[i + 1].Callsign, callsigns[i]) << i;
  }
}

// The own aircraft of this test: leaves 52N 4E eastwards at 250 kt, climbing 1000 ft a minute.
sim::OwnState Flight(double t) {
  return {52, 4 + 250.0 / 3600 * t / (60 * std::cos(52 * 3.14159265358979 / 180)),
          100 + 1000.0 / 60 * t, 90};
}

// Around the airport and en route, through the reader: six aircraft and more, a call sign with a
// blank inside and one of 15 characters, and one that converges to the closest threat level. The
// traffic follows the own aircraft from the simulator's offsets, as the programs wire it.
TEST_F(GetAITest, BuiltInTrafficAroundTheAirportAndEnRoute) {
  FlightSample own;
  float groundOffset = 0;
  std::vector<std::string> said;
  SentenceList board(said);
  sim::BuiltInTraffic builtIn([&](double) { return sim::OwnStateFromCore(simulator); });
  std::set<std::string> callsigns;
  std::set<int> levels;
  std::map<int, int> near;  // aircraft within 10 NM at the start, within 20 NM later
  int closestAt = -1;
  for (int second = 0; second <= 1800; second = second == 150 ? 1800 : second + 1) {
    const sim::OwnState state = Flight(second);
    sim::WriteFlightState(simulator, {.latitudeDeg = state.latDeg,
                                      .longitudeDeg = state.lonDeg,
                                      .altitudeFt = state.altFt,
                                      .headingDeg = state.headingDeg});
    ReadFlightData(link, {"."}, own, groundOffset);
    sim::UpdateTraffic(builtIn, simulator, second);
    range = second == 0 ? 10 : 20;
    ReadTraffic();
    for (int r = 1; r <= 40; ++r) {
      const TrafficTarget& a = traffic[r];
      if (a.ID.empty()) continue;
      const TrafficFilter filter{own.Altitude, own.Longitude, own.Latitude, ".", range, 4};
      const int level =
          ClassifyTraffic(filter, std::stod(a.Lat), std::stod(a.Lon), std::stod(a.Alt), board);
      near[second] += level != kLevelHidden;
      if (second == 0) callsigns.insert(a.Callsign);
      if (a.Callsign != "DLH4TC" || second == 0 || second > 150) continue;
      levels.insert(level);
      if (level == kLevelClose3 && closestAt < 0) closestAt = second;
    }
  }
  EXPECT_GE(near[0], 4);
  EXPECT_GE(near[1800], 3);  // the airport's traffic stays behind, some stays with the flight
  EXPECT_GE(callsigns.size(), 6u);
  EXPECT_TRUE(callsigns.count("KLM1234"));          // "KLM 1234" without its blank
  EXPECT_TRUE(callsigns.count("SPEEDBIRD815SIM"));  // 15 characters whole
  EXPECT_EQ(levels, (std::set<int>{1, 2, 3, 4}));
  EXPECT_GT(closestAt, 60);
  EXPECT_LT(closestAt, 100);
}

}  // namespace
}  // namespace sky
