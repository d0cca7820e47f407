// The link's request area, limits and result codes, over the in-memory transport.
#include "simlink/fsuipc.h"

#include <gtest/gtest.h>

#include <cstring>

#include "memory_transport.h"
#include "platform/headless.h"

namespace sky {
namespace {

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() : clock({2026, 12, 4, 22, 30, 0}), transport(simulator) {
    link.transport = &transport;
    link.clock = &clock;
  }
  ~LinkTest() override { CloseLink(link); }

  bool Open(uint32_t requested = 0) { return OpenLink(link, requested, result); }

  sim::SimulatorCore simulator{8};
  SimulatedClock clock;
  test::MemoryTransport transport;
  FsuipcLink link;
  int32_t result = -1;
};

TEST_F(LinkTest, AreaNameCarriesTheProcessIdInHex) {
  EXPECT_EQ(AreaName(0x1A2C), "FSASMLIB:IPC:1A2C:1");
  EXPECT_EQ(AreaName(0xFFFFFFFF), "FSASMLIB:IPC:FFFFFFFF:1");
  ASSERT_TRUE(Open());
  EXPECT_EQ(transport.lastAreaName, "FSASMLIB:IPC:1A2C:1");
}

TEST_F(LinkTest, OpenHandshakesAndKeepsTheSimulatorCode) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(result, kLinkOk);
  EXPECT_EQ(link.SimulatorVersion, 8u);
  EXPECT_GE(link.InterfaceVersion, 0x19980005);
  EXPECT_EQ(transport.sends, 1);  // one pass: both versions came back at once
  EXPECT_EQ(clock.SleptMs(), 100);
}

TEST_F(LinkTest, OpenFailuresEndClosedWithTheirCodes) {
  struct Case {
    const char* name;
    void (*arrange)(test::MemoryTransport&, sim::SimulatorCore&);
    int32_t code;
  } cases[] = {
      {"no window", [](test::MemoryTransport& t, sim::SimulatorCore&) { t.windows.clear(); },
       kLinkNoWindow},
      {"no message", [](test::MemoryTransport& t, sim::SimulatorCore&) { t.failRegister = true; },
       kLinkNoMessage},
      {"no atom", [](test::MemoryTransport& t, sim::SimulatorCore&) { t.failAtom = true; },
       kLinkNoAtom},
      {"no area", [](test::MemoryTransport& t, sim::SimulatorCore&) { t.failMapping = true; },
       kLinkNoArea},
      {"area existed",
       [](test::MemoryTransport& t, sim::SimulatorCore&) { t.mappingExists = true; }, kLinkNoArea},
      {"no view", [](test::MemoryTransport& t, sim::SimulatorCore&) { t.failView = true; },
       kLinkNoView},
      {"bad handshake",
       [](test::MemoryTransport&, sim::SimulatorCore& s) { s.SetFaults({.badHandshake = true}); },
       kLinkBadVersion},
      {"bad handshake under FS98MAIN",
       [](test::MemoryTransport& t, sim::SimulatorCore& s) {
         t.windows = {"FS98MAIN"};
         s.SetFaults({.badHandshake = true});
       },
       kLinkBadVersionFs98},
      {"time-out", [](test::MemoryTransport& t, sim::SimulatorCore&) { t.neverDeliver = true; },
       kLinkTimedOut},
      {"answer not 1",
       [](test::MemoryTransport&, sim::SimulatorCore& s) { s.SetFaults({.answer = 0}); },
       kLinkBadAnswer},
  };
  for (const Case& c : cases) {
    sim::SimulatorCore simulator(8);
    test::MemoryTransport transport(simulator);
    c.arrange(transport, simulator);
    FsuipcLink fresh;
    fresh.transport = &transport;
    fresh.clock = &clock;
    int32_t code = -1;
    EXPECT_FALSE(OpenLink(fresh, 0, code)) << c.name;
    EXPECT_EQ(code, c.code) << c.name;
    EXPECT_FALSE(LinkIsOpen(fresh)) << c.name;
    EXPECT_EQ(transport.openMappings, 0) << c.name;
    EXPECT_EQ(transport.openAtoms, 0) << c.name;
  }
}

TEST_F(LinkTest, NoSimulatorCreatesNothing) {
  transport.windows.clear();
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkNoWindow);
  EXPECT_TRUE(transport.lastAreaName.empty());
  EXPECT_EQ(transport.sends, 0);
}

TEST_F(LinkTest, OpeningAnOpenLinkReturnsOneAndKeepsIt) {
  ASSERT_TRUE(Open());
  uint8_t* const view = link.view;
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkAlreadyOpen);
  EXPECT_EQ(link.view, view);
}

TEST_F(LinkTest, AnotherSimulatorThanRequestedIsCodeEight) {
  EXPECT_FALSE(Open(7));
  EXPECT_EQ(result, kLinkWrongSimulator);
  EXPECT_FALSE(LinkIsOpen(link));
  EXPECT_TRUE(Open(8));
}

TEST_F(LinkTest, ClosedLinkAnswersNine) {
  uint32_t value = 0;
  EXPECT_FALSE(QueueRead(link, 0x560, 4, &value, result));
  EXPECT_EQ(result, kLinkNotOpen);
  EXPECT_FALSE(QueueWrite(link, 0x560, 4, &value, result));
  EXPECT_EQ(result, kLinkNotOpen);
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkNotOpen);
  CloseLink(link);  // safe on a closed link
}

TEST_F(LinkTest, EmptyBatchIsTenAndSendsNothing) {
  ASSERT_TRUE(Open());
  const int sends = transport.sends;
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkEmptyBatch);
  EXPECT_EQ(transport.sends, sends);
}

TEST_F(LinkTest, ReadsAndWritesTravelInOneBatch) {
  ASSERT_TRUE(Open());
  simulator.Put<int32_t>(0x2B4, 123456);
  const int16_t written = -42;
  int32_t speed = 0;
  int16_t back = 0;
  ASSERT_TRUE(QueueWrite(link, 0x4000, 2, &written, result));
  ASSERT_TRUE(QueueRead(link, 0x2B4, 4, &speed, result));
  ASSERT_TRUE(QueueRead(link, 0x4000, 2, &back, result));
  EXPECT_EQ(speed, 0);  // nothing arrives before the batch is processed
  ASSERT_TRUE(ProcessRequests(link, result));
  EXPECT_EQ(speed, 123456);
  EXPECT_EQ(back, -42);
  EXPECT_EQ(simulator.Get<int16_t>(0x4000), -42);
  EXPECT_EQ(link.next, link.view);
}

TEST_F(LinkTest, ZeroSizeOrNoDestinationCopiesNothing) {
  ASSERT_TRUE(Open());
  simulator.Put<uint32_t>(0x100, 0xDEADBEEF);
  uint32_t untouched = 7;
  ASSERT_TRUE(QueueRead(link, 0x100, 0, &untouched, result));
  ASSERT_TRUE(QueueRead(link, 0x100, 4, nullptr, result));
  ASSERT_TRUE(ProcessRequests(link, result));
  EXPECT_EQ(untouched, 7u);
}

TEST_F(LinkTest, BatchLimitIsInclusiveAt32512) {
  ASSERT_TRUE(Open());
  static uint8_t room[kBatchLimit];
  // One read whose record ends exactly at the limit with the terminator: 16 + size + 4 = 32512.
  ASSERT_TRUE(QueueRead(link, 0, kBatchLimit - 20, room, result));
  EXPECT_TRUE(ProcessRequests(link, result));
  // One byte more is refused, and the batch stays as it was.
  EXPECT_FALSE(QueueRead(link, 0, kBatchLimit - 19, room, result));
  EXPECT_EQ(result, kLinkTooLarge);
  EXPECT_EQ(link.next, link.view);
  // The same for writes, after something is already queued.
  uint32_t value = 0;
  ASSERT_TRUE(QueueRead(link, 0, 4, &value, result));  // 20 bytes queued
  EXPECT_FALSE(QueueWrite(link, 0, kBatchLimit - 20 - 4 - 12 + 1, room, result));
  EXPECT_EQ(result, kLinkTooLarge);
  EXPECT_TRUE(QueueWrite(link, 0, kBatchLimit - 20 - 4 - 12, room, result));
  EXPECT_FALSE(QueueWrite(link, 0, 0xFFFFFFFFu, room, result));  // no wrap-around
  EXPECT_EQ(result, kLinkTooLarge);
}

TEST_F(LinkTest, RetriesUntilTheTenthAndGivesUpAfterIt) {
  ASSERT_TRUE(Open());
  uint32_t value = 0;
  // Ten failed attempts, then the tenth retry is answered.
  for (int i = 0; i < 10; ++i) transport.scriptedSends.push_back({false, 0, 0});
  const int64_t slept = clock.SleptMs();
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, &value, result));
  EXPECT_TRUE(ProcessRequests(link, result));
  EXPECT_EQ(clock.SleptMs() - slept, 10 * 100);
  // Eleven failures: the last carries a system error code, so the result is 12.
  for (int i = 0; i < 10; ++i) transport.scriptedSends.push_back({false, 0, 0});
  transport.scriptedSends.push_back({false, 0, 1460});
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, &value, result));
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkSendError);
  EXPECT_EQ(link.next, link.view);  // the batch is empty afterwards
}

TEST_F(LinkTest, HandshakeWritesTheLibraryVersionAndRetriesAtMostFivePasses) {
  ASSERT_TRUE(Open());
  const auto writes = simulator.ControlWrites();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.front().offset, 0x330Au);
  EXPECT_EQ(writes.front().value, 0u);
  CloseLink(link);
  // The library version write must not spoil the next handshake.
  EXPECT_TRUE(Open());
}

}  // namespace
}  // namespace sky
