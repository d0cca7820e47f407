// The link against the simulator over the real POSIX transport: a shared-memory request area and
// a Unix socket standing in for the simulator's window.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/posix_platform.h"
#include "simlink/fsuipc.h"
#include "simlink/ipc_wire.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#include "test_app.h"

namespace sky {
namespace {

class SocketLinkTest : public ::testing::Test {
 protected:
  void StartSimulator(const char* className = "UIPCMAIN", sim::SimFaults faults = {}) {
    simulator.SetFaults(faults);
    server = std::make_unique<sim::PosixSimServer>(
        simulator, sim::PosixServerOptions{runtime.path(), className});
    ASSERT_TRUE(server->Start()) << server->Error();
  }
  bool Open(uint32_t requested = 0) { return OpenLink(link, requested, result); }
  void SetUp() override {
    link.transport = &transport;
    link.clock = &clock;
  }
  void TearDown() override {
    CloseLink(link);
    if (server) server->Stop();
  }
  static bool AreaExists() {
    return std::filesystem::exists("/dev/shm/" + AreaName(static_cast<uint32_t>(getpid())));
  }

  test::TempDir runtime;
  sim::SimulatorCore simulator{8};
  std::unique_ptr<sim::PosixSimServer> server;
  PosixClock clock;  // real pauses: the transport waits in real time too
  PosixTransport transport{PosixTransportOptions{runtime.path(), 50}};
  FsuipcLink link;
  int32_t result = -1;
};

TEST_F(SocketLinkTest, HandshakeAndExchange) {
  StartSimulator();
  ASSERT_TRUE(Open()) << result;
  EXPECT_EQ(link.SimulatorVersion, 8u);
  EXPECT_TRUE(AreaExists());
  simulator.Put<int64_t>(0x560, 0x123456789ABCDEF0);
  int64_t latitude = 0;
  ASSERT_TRUE(QueueRead(link, 0x560, 8, &latitude, result));
  ASSERT_TRUE(ProcessRequests(link, result));
  EXPECT_EQ(latitude, 0x123456789ABCDEF0);
  CloseLink(link);
  EXPECT_FALSE(AreaExists());
}

TEST_F(SocketLinkTest, NoSimulatorIsCodeTwoAndCreatesNothing) {
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkNoWindow);
  EXPECT_FALSE(AreaExists());
}

TEST_F(SocketLinkTest, OpenTwiceIsCodeOne) {
  StartSimulator();
  ASSERT_TRUE(Open());
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkAlreadyOpen);
  EXPECT_TRUE(LinkIsOpen(link));
}

TEST_F(SocketLinkTest, BadHandshakeCodeDependsOnTheWindowClass) {
  StartSimulator("UIPCMAIN", {.badHandshake = true});
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkBadVersion);
  EXPECT_FALSE(AreaExists());
  server->Stop();
  StartSimulator("FS98MAIN", {.badHandshake = true});
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkBadVersionFs98);
}

TEST_F(SocketLinkTest, OlderWindowClassWithGoodHandshakeConnects) {
  StartSimulator("FS98MAIN");
  EXPECT_TRUE(Open());
}

TEST_F(SocketLinkTest, AnotherSimulatorIsCodeEight) {
  StartSimulator();
  EXPECT_FALSE(Open(7));
  EXPECT_EQ(result, kLinkWrongSimulator);
}

TEST_F(SocketLinkTest, EmptyBatchAndTheSizeLimit) {
  StartSimulator();
  ASSERT_TRUE(Open());
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkEmptyBatch);
  static uint8_t room[kBatchLimit];
  EXPECT_FALSE(QueueRead(link, 0, kBatchLimit - 19, room, result));
  EXPECT_EQ(result, kLinkTooLarge);
  ASSERT_TRUE(QueueRead(link, 0, kBatchLimit - 20, room, result));
  EXPECT_TRUE(ProcessRequests(link, result)) << result;
}

TEST_F(SocketLinkTest, AnswerOnALateRetrySucceeds) {
  StartSimulator();
  ASSERT_TRUE(Open());
  uint32_t version = 0;
  // The next three messages are never answered; the third retry is.
  simulator.SetFaults({.ignoreRequests = 3});
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, &version, result));
  EXPECT_TRUE(ProcessRequests(link, result)) << result;
  EXPECT_GE(version, 0x19980005u);
  // An answer that comes after the time-out is dropped; the retry's answer counts.
  version = 0;
  simulator.SetFaults({.lateAnswers = 1, .lateDelayMs = 120});
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, &version, result));
  EXPECT_TRUE(ProcessRequests(link, result)) << result;
  EXPECT_GE(version, 0x19980005u);
}

TEST_F(SocketLinkTest, SilentSimulatorIsCodeEleven) {
  StartSimulator();
  ASSERT_TRUE(Open());
  simulator.SetFaults({.silent = true});
  uint32_t value = 0;
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, &value, result));
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkTimedOut);
}

TEST_F(SocketLinkTest, SimulatorGoneIsCodeTwelve) {
  StartSimulator();
  ASSERT_TRUE(Open());
  server->Stop();
  uint32_t value = 0;
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, &value, result));
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkSendError);
}

TEST_F(SocketLinkTest, LeftoverAreaOfAnEndedProcessIsReplaced) {
  StartSimulator();
  const std::string name = wire::SharedMemoryName(AreaName(static_cast<uint32_t>(getpid())));
  const int fd = shm_open(name.c_str(), O_CREAT | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_TRUE(Open()) << result;
}

}  // namespace
}  // namespace sky
