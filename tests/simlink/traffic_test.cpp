// The traffic reader: the raw traffic area into the traffic table, the control writes, the
// clean-up of empty slots and the failures.
#include "simlink/traffic.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "skytrace-sim/traffic_source.h"
#include "test_app.h"

namespace sky {
namespace {

struct RawSlot {
  int32_t id = 0;
  float lat = 0, lon = 0, alt = 0;
  int16_t heading = 0, speed = 0, verticalSpeed = 0;
  std::array<uint8_t, 18> tail{};  // call sign (15) and the 3 unused bytes
};

void PutSlot(sim::SimulatorCore& simulator, int slot, const RawSlot& raw) {
  uint8_t bytes[40] = {};
  std::memcpy(bytes, &raw.id, 4);
  std::memcpy(bytes + 4, &raw.lat, 4);
  std::memcpy(bytes + 8, &raw.lon, 4);
  std::memcpy(bytes + 12, &raw.alt, 4);
  std::memcpy(bytes + 16, &raw.heading, 2);
  std::memcpy(bytes + 18, &raw.speed, 2);
  std::memcpy(bytes + 20, &raw.verticalSpeed, 2);
  std::memcpy(bytes + 22, raw.tail.data(), 18);
  simulator.Write(0xF080 + 40 * slot, bytes, 40);
}

std::array<uint8_t, 18> Tail(const char* bytes, size_t count) {
  std::array<uint8_t, 18> tail{};
  std::memcpy(tail.data(), bytes, count);
  return tail;
}

class GetAITest : public ::testing::Test {
 protected:
  GetAITest() { EXPECT_TRUE(t.Load() && t.g().Connected); }
  const TrafficTarget& Row(int r) { return t.app().traffic[r]; }
  test::TestApp t;
};

TEST_F(GetAITest, ParsesEverySlotFormat) {
  PutSlot(t.simulator, 0, {4711, 52.1f, -4.5f, 35000, 0, 250, -1200, Tail("KLM1234", 7)});
  PutSlot(t.simulator, 1, {12, 1e-5f, 179.99f, -12.5f, -16384, 0, 0, Tail("AB 123", 6)});
  PutSlot(t.simulator, 2, {-3, 0, 0, 0, 1, 1, 1, Tail("ABCDEFGHIJKLMNOXYZ", 18)});
  PutSlot(t.simulator, 3, {7, 0, 0, 0, 32767, -5, 2, Tail("  X Y  Z\0QQ", 11)});
  PutSlot(t.simulator, 5, {0, 50, 5, 1000, 0, 100, 100, Tail("EMPTY", 5)});
  PutSlot(t.simulator, 39, {99, 12345678.0f, 0, 0, -32768, 0, 0, Tail("LAST\xe9", 5)});
  GetAI(t.app());

  const TrafficTarget header{"ID\t", "Lat\t", "Lon\t", "Alt\t", "HDG\t", "Spd\t", "Callsign\t", ""};
  EXPECT_EQ(Row(0).ID, header.ID);
  EXPECT_EQ(Row(0).Callsign, header.Callsign);
  EXPECT_EQ(Row(0).VS, "");
  struct Case {
    int row;
    TrafficTarget expected;
  } cases[] = {
      {1, {"4711", "52.1", "-4.5", "35000", "180", "250", "KLM1234", "-1200"}},
      {2, {"12", "1E-05", "179.99", "-12.5", "90", "0", "AB123", "0"}},
      {3, {"-3", "0", "0", "0", "180.005493164062", "1", "ABCDEFGHIJKLMNO", "1"}},
      {4, {"7", "0", "0", "0", "359.994506835938", "-5", "XYZ", "2"}},
      {6, {"", "", "", "", "", "", "", ""}},  // an empty slot writes nothing
      {7, {"", "", "", "", "", "", "", ""}},
      {40, {"99", "1.234568E+07", "0", "0", "0", "0", "LAST\xc3\xa9", "0"}},
  };
  for (const Case& c : cases) {
    const TrafficTarget& row = Row(c.row);
    const TrafficTarget& e = c.expected;
    EXPECT_EQ(row.ID, e.ID) << c.row;
    EXPECT_EQ(row.Lat, e.Lat) << c.row;
    EXPECT_EQ(row.Lon, e.Lon) << c.row;
    EXPECT_EQ(row.Alt, e.Alt) << c.row;
    EXPECT_EQ(row.HDG, e.HDG) << c.row;
    EXPECT_EQ(row.Spd, e.Spd) << c.row;
    EXPECT_EQ(row.Callsign, e.Callsign) << c.row;
    EXPECT_EQ(row.VS, e.VS) << c.row;
  }
}

TEST_F(GetAITest, NumbersUseAPointWhateverTheLocale) {
  t.g().DecimalSeparator = ",";
  PutSlot(t.simulator, 0, {1, 52.25f, 4.75f, 1500.5f, 100, 0, 0, Tail("A", 1)});
  GetAI(t.app());
  EXPECT_EQ(Row(1).Lat, "52.25");
  EXPECT_EQ(Row(1).Lon, "4.75");
  EXPECT_EQ(Row(1).Alt, "1500.5");
  EXPECT_EQ(Row(1).HDG, "180.54931640625");
}

TEST_F(GetAITest, AMissingCallSignKeepsTheColumnAndAnEmptiedSlotClearsIt) {
  PutSlot(t.simulator, 0, {1, 1, 1, 1, 0, 0, 0, Tail("FIRST", 5)});
  GetAI(t.app());
  EXPECT_EQ(Row(1).Callsign, "FIRST");
  PutSlot(t.simulator, 0, {2, 2, 2, 2, 0, 0, 0, Tail("", 0)});
  GetAI(t.app());
  EXPECT_EQ(Row(1).ID, "2");
  EXPECT_EQ(Row(1).Callsign, "FIRST");
  PutSlot(t.simulator, 0, {0, 2, 2, 2, 0, 0, 77, Tail("", 0)});
  GetAI(t.app());
  EXPECT_EQ(Row(1).ID, "");
  EXPECT_EQ(Row(1).Lat, "");
  EXPECT_EQ(Row(1).Callsign, "");
  EXPECT_EQ(Row(1).VS, "0");  // the vertical speed of the last aircraft in the slot
}

TEST_F(GetAITest, ControlWritesAndOneExchangeForTheArea) {
  const auto sendsBefore = t.transport.sends;
  GetAI(t.app());
  EXPECT_EQ(t.transport.sends - sendsBefore, 3);  // control, range, the whole area
  GetAI(t.app());
  EXPECT_EQ(t.transport.sends - sendsBefore, 5);  // control, the whole area
  t.g().TcasRange = 10;
  GetAI(t.app());
  GetAI(t.app());
  const std::vector<std::pair<uint32_t, uint32_t>> expected{{0xF06A, 0}, {0xF068, 20}, {0xF06A, 0},
                                                            {0xF06A, 0}, {0xF068, 10}, {0xF06A, 0}};
  std::vector<std::pair<uint32_t, uint32_t>> writes;
  for (const auto& w : t.simulator.ControlWrites()) {
    if (w.offset != 0x330A) writes.emplace_back(w.offset, w.value);
  }
  EXPECT_EQ(writes, expected);
  EXPECT_EQ(t.g().TcasRangeSent, 10);
}

TEST_F(GetAITest, AFailedExchangeIsALostLinkAndChangesNoField) {
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
    t2.g().AnimationOn = true;
    t2.g().LoggingOn = true;
    PutSlot(t2.simulator, 0, {5, 1, 1, 1, 0, 0, 0, Tail("NEW", 3)});
    for (int i = 0; i < c.goodSends; ++i) t2.transport.scriptedSends.push_back({true, 0, 0});
    for (int i = 0; i < 11; ++i) t2.transport.scriptedSends.push_back({false, 0, 0});
    GetAI(t2.app());
    EXPECT_FALSE(t2.g().Connected) << c.name;
    EXPECT_TRUE(t2.g().AnimationOn) << c.name;
    EXPECT_FALSE(t2.g().LoggingOn) << c.name;
    EXPECT_EQ(t2.app().traffic[1].ID, "old") << c.name;
    EXPECT_EQ(t2.app().traffic[0].ID, "") << c.name;
    EXPECT_EQ(t2.g().TcasRangeSent, c.rangeSent) << c.name;
    EXPECT_EQ(t2.app().Form1.lblConnect.text, "Not connected") << c.name;
    EXPECT_EQ(t2.LastMessage(), "Connection to FS timed out.") << c.name;
  }
}

TEST_F(GetAITest, AValueThatCannotBeConvertedStopsTheRefresh) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PutSlot(t.simulator, 0, {1, 10, 10, 10, 0, 0, 0, Tail("OK", 2)});
  PutSlot(t.simulator, 1, {2, nan, 10, 10, 0, 0, 0, Tail("BAD", 3)});
  PutSlot(t.simulator, 3, {3, 10, 10, 10, 0, 0, 0, Tail("LATER", 5)});
  GetAI(t.app());
  EXPECT_EQ(t.LastMessage(), "Unable to load AI traffic data.");
  EXPECT_TRUE(t.g().Connected);
  EXPECT_EQ(Row(1).Callsign, "OK");
  EXPECT_EQ(Row(2).ID, "2");  // written before the fault
  EXPECT_EQ(Row(2).Lat, "");  // not written
  EXPECT_EQ(Row(3).ID, "");   // never reached
}

TEST_F(GetAITest, TheSimulatorsEncodingReadsBackExactly) {
  sim::TrafficSlots slots;
  slots[0] = {101, 52.3, 4.7, 2500, 90, 140, -500, "AB 123"};
  slots[17] = {102, -33.9, 151.2, 38000, 0, 480, 0, "ABCDEFGHIJKLMNO"};
  slots[39] = {103, 0.5, -0.5, 0, 180, 0, 0, ""};
  sim::WriteTrafficArea(t.simulator, slots);
  GetAI(t.app());
  // The table's heading is the true heading turned by 180 degrees.
  EXPECT_EQ(Row(1).HDG, "270");
  EXPECT_EQ(Row(1).Callsign, "AB123");
  EXPECT_EQ(Row(1).Lat, "52.3");
  EXPECT_EQ(Row(1).VS, "-500");
  EXPECT_EQ(Row(18).HDG, "180");
  EXPECT_EQ(Row(18).Callsign, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(Row(18).Alt, "38000");
  EXPECT_EQ(Row(40).HDG, "0");
  EXPECT_EQ(Row(40).Callsign, "");
  for (int r : {2, 17, 19, 39}) EXPECT_EQ(Row(r).ID, "") << r;
}

}  // namespace
}  // namespace sky
