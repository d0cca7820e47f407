// The simulator's traffic: the traffic file, the raw traffic area and the built-in traffic.
#include "skytrace-sim/traffic_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "instruments/geometry.h"
#include "simlink/traffic.h"
#include "test_app.h"

namespace sky::sim {
namespace {

constexpr const char* kHeader = "t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n";

TEST(TrafficFileTest, ErrorsNameTheLine) {
  struct Case {
    std::string text;
    std::string error;
  } cases[] = {
      {"", "line 1: no header line"},
      {"t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm\n", "line 1: missing column \"callsign\""},
      {"t,slot,id,lat,lon,alt,hdg,gs_kt,vs_fpm,callsign\n", "line 1: unknown column \"alt\""},
      {"t,t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm,callsign\n", "line 1: column \"t\" twice"},
      {std::string(kHeader) + "0,0,1,52,4,1000,90,100,0\n", "line 2: expected 10 fields, found 9"},
      {std::string(kHeader) + "\n# comment\n0,40,1,52,4,1000,90,100,0,X\n",
       "line 4: slot \"40\" is not a slot from 0 to 39"},
      {std::string(kHeader) + "-1,0,1,52,4,1000,90,100,0,X\n",
       "line 2: t \"-1\" is not a time in seconds"},
      {std::string(kHeader) + "0,0,1,91,4,1000,90,100,0,X\n",
       "line 2: lat \"91\" is not a latitude"},
      {std::string(kHeader) + "0,0,1,52,180.5,1000,90,100,0,X\n",
       "line 2: lon \"180.5\" is not a longitude"},
      {std::string(kHeader) + "0,0,1,52,4,1000,90,40000,0,X\n",
       "line 2: gs_kt \"40000\" is not a whole number of knots"},
      {std::string(kHeader) + "0,0,1,52,4,1000,90,100,1.5,X\n",
       "line 2: vs_fpm \"1.5\" is not a whole number of feet per minute"},
      {std::string(kHeader) + "0,0,1,52,4,1000,90,100,0,ABCDEFGHIJKLMNOP\n",
       "line 2: callsign \"ABCDEFGHIJKLMNOP\" is longer than 15 characters"},
      {std::string(kHeader) + "0,0,1,52,4,1000,90,100,0,\"AB\n", "line 2: unclosed quote"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(TrafficFile::Parse(c.text, error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(TrafficFileTest, ARowHoldsFromItsTimeOn) {
  const std::string text =
      "callsign,t,slot,id,lat,lon,alt_ft,hdg,gs_kt,vs_fpm\r\n"
      "AB 123,0,0,7,52.5,4.5,3000,90,180,-500\r\n"
      "\"X, Y\",5,39,8,-1,-2,100,0,0,0\r\n"
      "ABCDEFGHIJKLMNO,2.5,0,9,53,5,4000,450,200,0\r\n"
      ",10,0,0,,,,,,\r\n";
  std::string error;
  auto file = TrafficFile::Parse(text, error);
  ASSERT_TRUE(file) << error;
  EXPECT_EQ(file->RowCount(), 4u);
  TrafficSlots slots;
  file->SlotsAt(0, slots);
  EXPECT_EQ(slots[0].id, 7);
  EXPECT_EQ(slots[0].callsign, "AB 123");
  EXPECT_EQ(slots[0].verticalSpeedFpm, -500);
  EXPECT_EQ(slots[39].id, 0);
  file->SlotsAt(2.4, slots);
  EXPECT_EQ(slots[0].id, 7);
  file->SlotsAt(5, slots);
  EXPECT_EQ(slots[0].id, 9);
  EXPECT_EQ(slots[0].headingDeg, 90);  // 450 wraps
  EXPECT_EQ(slots[0].callsign, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(slots[39].callsign, "X, Y");
  file->SlotsAt(10, slots);
  EXPECT_EQ(slots[0].id, 0);
  EXPECT_EQ(slots[39].id, 8);
}

TEST(TrafficAreaTest, EncodesTheRawSlotFormat) {
  TrafficSlots slots;
  slots[1] = {0x01020304, 52.5, -4.25, 1000, 270, 250, -1200, "ABCDEFGHIJKLMNO"};
  slots[2] = {5, 0, 0, 0, 90, 0, 0, "AB 1"};
  slots[3] = {0, 10, 10, 10, 10, 10, 10, "GONE"};
  const auto area = EncodeTrafficArea(slots);
  const uint8_t* s = area.data() + 40;
  int32_t id;
  float lat, lon, alt;
  int16_t heading, speed, vs;
  std::memcpy(&id, s, 4);
  std::memcpy(&lat, s + 4, 4);
  std::memcpy(&lon, s + 8, 4);
  std::memcpy(&alt, s + 12, 4);
  std::memcpy(&heading, s + 16, 2);
  std::memcpy(&speed, s + 18, 2);
  std::memcpy(&vs, s + 20, 2);
  EXPECT_EQ(id, 0x01020304);
  EXPECT_EQ(lat, 52.5f);
  EXPECT_EQ(lon, -4.25f);
  EXPECT_EQ(alt, 1000.0f);
  EXPECT_EQ(heading, -16384);
  EXPECT_EQ(speed, 250);
  EXPECT_EQ(vs, -1200);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s + 22), 15), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(s[37] | s[38] | s[39], 0);
  int16_t east;
  std::memcpy(&east, area.data() + 80 + 16, 2);
  EXPECT_EQ(east, 16384);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(area.data() + 80 + 22)), "AB 1");
  for (size_t i = 120; i < 160; ++i) EXPECT_EQ(area[i], 0) << i;  // an empty slot is all zeros
  for (size_t i = 0; i < 40; ++i) EXPECT_EQ(area[i], 0) << i;
}

TEST(TrafficAreaTest, OwnStateComesFromTheSimulatorsOffsets) {
  SimulatorCore core;
  core.Put<int64_t>(0x0560, static_cast<int64_t>(52.5 / 90 * 10001750.0 * 65536.0 * 65536.0));
  core.Put<int64_t>(0x0568, static_cast<int64_t>(-4.25 / 360 * 18446744073709551616.0));
  core.Put<int64_t>(0x0570, static_cast<int64_t>(1000 / 3.28084 * 4294967296.0));
  core.Put<int32_t>(0x0580, static_cast<int32_t>(-90.0 / 360 * 4294967296.0));
  const OwnState own = OwnStateFromCore(core);
  EXPECT_NEAR(own.latDeg, 52.5, 1e-9);
  EXPECT_NEAR(own.lonDeg, -4.25, 1e-9);
  EXPECT_NEAR(own.altFt, 1000, 1e-6);
  EXPECT_NEAR(own.headingDeg, 270, 1e-6);
}

// The own aircraft of these tests: leaves 52N 4E eastwards at 250 kt, climbing 1000 ft a minute.
OwnState Flight(double t) {
  return {52, 4 + 250.0 / 3600 * t / (60 * std::cos(52 * 3.14159265358979 / 180)),
          100 + 1000.0 / 60 * t, 90};
}

TEST(BuiltInTrafficTest, AroundTheAirportAndEnRoute) {
  BuiltInTraffic traffic(Flight);
  TrafficSlots slots;
  traffic.SlotsAt(0, slots);
  std::set<std::string> callsigns;
  int nearAirport = 0;
  for (const TrafficAircraft& a : slots) {
    if (a.id == 0) continue;
    callsigns.insert(a.callsign);
    EXPECT_LE(a.callsign.size(), 15u);
    const double nm = GreatCircleDistance(52, 4, a.latDeg, a.lonDeg, false);
    if (nm < 10) ++nearAirport;
  }
  EXPECT_GE(callsigns.size(), 6u);
  EXPECT_GE(nearAirport, 4);
  EXPECT_TRUE(std::any_of(callsigns.begin(), callsigns.end(),
                          [](const std::string& c) { return c.find(' ') != std::string::npos; }));
  EXPECT_TRUE(std::any_of(callsigns.begin(), callsigns.end(),
                          [](const std::string& c) { return c.size() == 15; }));
  // Later in the flight the airport traffic stays behind and some traffic stays with the flight.
  traffic.SlotsAt(1800, slots);
  const OwnState own = Flight(1800);
  int nearOwn = 0;
  for (const TrafficAircraft& a : slots) {
    if (a.id != 0 && GreatCircleDistance(own.latDeg, own.lonDeg, a.latDeg, a.lonDeg, false) < 20) {
      ++nearOwn;
    }
  }
  EXPECT_GE(nearOwn, 3);
}

TEST(BuiltInTrafficTest, OneAircraftConvergesToTheClosestThreatLevel) {
  test::TestApp t;
  ASSERT_TRUE(t.Load() && t.g().Connected);
  t.g().TcasMode = 4;
  BuiltInTraffic traffic(Flight);
  std::set<int> levels;
  int closestAt = -1;
  for (int second = 0; second <= 150; ++second) {
    const OwnState own = Flight(second);
    t.app().sample.Latitude = std::to_string(own.latDeg);
    t.app().sample.Longitude = std::to_string(own.lonDeg);
    t.app().sample.Altitude = std::to_string(own.altFt);
    UpdateTraffic(traffic, t.simulator, second);
    GetAI(t.app());
    for (int r = 1; r <= 40; ++r) {
      if (t.app().traffic[r].Callsign != "DLH4TC") continue;
      const int level = ClassifyTraffic(t.app(), std::stod(t.app().traffic[r].Lat),
                                        std::stod(t.app().traffic[r].Lon),
                                        std::stod(t.app().traffic[r].Alt), "", "", "");
      levels.insert(level);
      if (level == kLevelClose3 && closestAt < 0) closestAt = second;
    }
  }
  EXPECT_EQ(levels, (std::set<int>{1, 2, 3, 4}));
  EXPECT_GT(closestAt, 60);
  EXPECT_LT(closestAt, 100);
  // Through the reader: blanks dropped, the 15-character call sign whole.
  std::set<std::string> read;
  for (int r = 1; r <= 40; ++r) read.insert(t.app().traffic[r].Callsign);
  EXPECT_TRUE(read.count("KLM1234"));
  EXPECT_TRUE(read.count("SPEEDBIRD815SIM"));
}

}  // namespace
}  // namespace sky::sim
