// The link against the simulator over this platform's real transport: on Windows the window
// message, the global atom and the named mapping; elsewhere the POSIX shared-memory area and the
// Unix socket standing in for the window. The same cases hold on both.
#include <gtest/gtest.h>

#include <cstring>

#include "platform_sim.h"
#include "simlink/fsuipc.h"

namespace sky {
namespace {

using test::PlatformSim;

class LinkTransportTest : public ::testing::Test {
 protected:
  LinkTransportTest() {
    link.transport = &sim.transport();
    link.clock = &sim.clock();
  }
  ~LinkTransportTest() override {
    CloseLink(link);
    sim.Stop();
  }
  void Start(const char* className = kMainClass, sim::SimFaults faults = {}) {
    ASSERT_TRUE(sim.Start(className, faults)) << sim.Error();
  }
  bool Open(uint32_t requested = 0) { return OpenLink(link, requested, result); }
  // One read of the handshake's interface version, exchanged at once.
  bool ExchangeOneRead(uint32_t& value) {
    value = 0;
    return QueueRead(link, kOffsetInterfaceVersion, 4, &value, result) &&
           ProcessRequests(link, result);
  }

  PlatformSim sim;
  FsuipcLink link;
  int32_t result = -1;
};

TEST_F(LinkTransportTest, HandshakeAndExchange) {
  Start();
  ASSERT_TRUE(Open()) << result;
  EXPECT_EQ(link.SimulatorVersion, 8u);
  EXPECT_TRUE(PlatformSim::AreaExists());
  sim.core.Put<int64_t>(0x560, 0x123456789ABCDEF0);
  int64_t latitude = 0;
  ASSERT_TRUE(QueueRead(link, 0x560, 8, &latitude, result));
  ASSERT_TRUE(ProcessRequests(link, result));
  EXPECT_EQ(latitude, 0x123456789ABCDEF0);
  CloseLink(link);
  EXPECT_FALSE(PlatformSim::AreaExists());
}

TEST_F(LinkTransportTest, OneBatchOfReadsAndWritesIsAnsweredInPlace) {
  Start();
  ASSERT_TRUE(Open()) << result;
  sim.core.Put<uint16_t>(0x0BEC, 16383);
  sim.core.Put<uint32_t>(0x02BC, 0xDEADBEEF);
  uint16_t gear = 0;
  uint32_t airspeed = 0;
  uint8_t nothing[4] = {9, 9, 9, 9};
  const uint16_t range = 12;
  ASSERT_TRUE(QueueRead(link, 0x0BEC, 2, &gear, result));
  ASSERT_TRUE(QueueWrite(link, 0xF068, 2, &range, result));
  ASSERT_TRUE(QueueRead(link, 0x02BC, 0, nothing, result));  // no room: nothing comes back
  ASSERT_TRUE(QueueRead(link, 0x02BC, 4, nullptr, result));  // no destination
  ASSERT_TRUE(QueueRead(link, 0x02BC, 4, &airspeed, result));
  ASSERT_TRUE(ProcessRequests(link, result)) << result;
  EXPECT_EQ(gear, 16383);
  EXPECT_EQ(airspeed, 0xDEADBEEFu);
  EXPECT_EQ(nothing[0], 9);
  EXPECT_EQ(sim.core.Get<uint16_t>(0xF068), 12);
}

TEST_F(LinkTransportTest, NoSimulatorIsCodeTwoAndCreatesNothing) {
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkNoWindow);
  EXPECT_FALSE(PlatformSim::AreaExists());
}

TEST_F(LinkTransportTest, OpenTwiceIsCodeOneAndCloseThenOpenAgainWorks) {
  Start();
  ASSERT_TRUE(Open());
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkAlreadyOpen);
  EXPECT_TRUE(LinkIsOpen(link));
  // The simulator keeps nothing of the area between messages, so the name is free again.
  CloseLink(link);
  EXPECT_TRUE(Open()) << result;
}

TEST_F(LinkTransportTest, HandshakeResultsByWindowClass) {
  struct Case {
    const char* className;
    bool badHandshake;
    uint32_t requested;
    int32_t code;
  } cases[] = {
      {kMainClass, true, 0, kLinkBadVersion}, {kOldClass, true, 0, kLinkBadVersionFs98},
      {kOldClass, false, 0, kLinkOk},         {kMainClass, false, 7, kLinkWrongSimulator},
      {kMainClass, false, 8, kLinkOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.className) + (c.badHandshake ? " bad handshake" : "") +
                 " requested " + std::to_string(c.requested));
    Start(c.className, {.badHandshake = c.badHandshake});
    EXPECT_EQ(Open(c.requested), c.code == kLinkOk);
    EXPECT_EQ(result, c.code);
    if (c.code != kLinkOk) {
      EXPECT_FALSE(PlatformSim::AreaExists());
    }
    CloseLink(link);
    sim.Stop();
  }
}

TEST_F(LinkTransportTest, EmptyBatchAndTheSizeLimit) {
  Start();
  ASSERT_TRUE(Open());
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkEmptyBatch);
  static uint8_t room[kBatchLimit];
  EXPECT_FALSE(QueueRead(link, 0, kBatchLimit - 19, room, result));
  EXPECT_EQ(result, kLinkTooLarge);
  ASSERT_TRUE(QueueRead(link, 0, kBatchLimit - 20, room, result));
  EXPECT_TRUE(ProcessRequests(link, result)) << result;
  EXPECT_EQ(std::memcmp(room + kOffsetSimulatorVersion, "\x08\x00\xDE\xFA", 4), 0);
}

TEST_F(LinkTransportTest, AnswerOnARetrySucceeds) {
  Start();
  ASSERT_TRUE(Open());
  uint32_t version = 0;
  // Unanswered messages: the exchange succeeds up to the tenth retry.
  for (int ignored : {3, 10}) {
    SCOPED_TRACE(ignored);
    sim.core.SetFaults({.ignoreRequests = ignored});
    EXPECT_TRUE(ExchangeOneRead(version)) << result;
    EXPECT_GE(version, 0x19980005u);
  }
  // An answer that comes after the wait is dropped; the retry's answer counts.
  sim.core.SetFaults({.lateAnswers = 1, .lateDelayMs = PlatformSim::kLateMs});
  EXPECT_TRUE(ExchangeOneRead(version)) << result;
  EXPECT_GE(version, 0x19980005u);
}

TEST_F(LinkTransportTest, NothingAnswersAfterTenRetries) {
  Start();
  ASSERT_TRUE(Open());
  sim.core.SetFaults({.ignoreRequests = 11});
  uint32_t value = 0;
  EXPECT_FALSE(ExchangeOneRead(value));
  EXPECT_EQ(result, PlatformSim::kNoAnswerResult);
  EXPECT_EQ(value, 0u);
  EXPECT_TRUE(LinkIsOpen(link));  // the callers close a lost link
  sim.core.SetFaults({.silent = true});
  EXPECT_FALSE(ExchangeOneRead(value));
  EXPECT_EQ(result, PlatformSim::kNoAnswerResult);
  // The simulator answers again: the same link goes on.
  sim.core.SetFaults({});
  EXPECT_TRUE(ExchangeOneRead(value)) << result;
}

TEST_F(LinkTransportTest, SimulatorGoneIsCodeTwelve) {
  Start();
  ASSERT_TRUE(Open());
  sim.Stop();
  uint32_t value = 0;
  EXPECT_FALSE(ExchangeOneRead(value));
  EXPECT_EQ(result, kLinkSendError);
}

TEST_F(LinkTransportTest, AnswerOtherThanOneIsCodeThirteen) {
  Start();
  ASSERT_TRUE(Open());
  sim.core.SetFaults({.answer = 0});
  uint32_t value = 0;
  EXPECT_FALSE(ExchangeOneRead(value));
  EXPECT_EQ(result, kLinkBadAnswer);
}

}  // namespace
}  // namespace sky
