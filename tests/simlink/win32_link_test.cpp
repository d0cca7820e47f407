// What only the Windows transport has: the system's own name space of areas and windows, the
// error a time-out reports, and the simulator as a program of its own.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/win32_api.h"
#include "platform/win32_platform.h"
#include "platform_sim.h"
#include "simlink/fsuipc.h"
#include "simlink/transport_win32.h"
#include "skytrace-sim/win32_server.h"

namespace sky {
namespace {

using test::PlatformSim;

class Win32LinkTest : public ::testing::Test {
 protected:
  Win32LinkTest() {
    link.transport = &sim.transport();
    link.clock = &sim.clock();
  }
  ~Win32LinkTest() override {
    CloseLink(link);
    sim.Stop();
  }
  bool Open() { return OpenLink(link, 0, result); }

  PlatformSim sim;
  FsuipcLink link;
  int32_t result = -1;
};

TEST_F(Win32LinkTest, AnAreaOfThatNameAlreadyThereIsCodeFive) {
  ASSERT_TRUE(sim.Start()) << sim.Error();
  const std::string name = AreaName(GetCurrentProcessId());
  HANDLE squatter =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAreaSize, name.c_str());
  ASSERT_NE(squatter, nullptr);
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkNoArea);
  EXPECT_FALSE(LinkIsOpen(link));
  CloseHandle(squatter);
  EXPECT_FALSE(PlatformSim::AreaExists());  // the link closed its handle of the same area
  EXPECT_TRUE(Open()) << result;
}

TEST_F(Win32LinkTest, TheLinkHoldsTheAtomOfTheAreaNameOnlyWhileOpen) {
  ASSERT_TRUE(sim.Start()) << sim.Error();
  const std::string name = AreaName(GetCurrentProcessId());
  ASSERT_TRUE(Open()) << result;
  EXPECT_EQ(GlobalFindAtomA(name.c_str()), link.atom);
  CloseLink(link);
  EXPECT_EQ(GlobalFindAtomA(name.c_str()), 0);
}

TEST_F(Win32LinkTest, ASecondWindowOfTheClassIsRefused) {
  ASSERT_TRUE(sim.Start()) << sim.Error();
  sim::SimulatorCore other;
  sim::Win32SimServer second(other, {});
  EXPECT_FALSE(second.Start());
  EXPECT_NE(second.Error().find("UIPCMAIN"), std::string::npos);
}

TEST_F(Win32LinkTest, ATimeOutReportsErrorTimeout) {
  ASSERT_TRUE(sim.Start()) << sim.Error();
  ASSERT_TRUE(Open()) << result;
  sim.core.SetFaults({.silent = true});
  Win32Transport transport(50);
  const SendOutcome outcome = transport.Send(link.targetWindow, link.messageId, link.atom, 0, 2000);
  EXPECT_FALSE(outcome.delivered);
  EXPECT_EQ(outcome.errorCode, static_cast<uint32_t>(ERROR_TIMEOUT));
}

// The simulator as its own program: atom, mapping and message cross the process boundary.
TEST(Win32SimulatorProgramTest, AnswersAnotherProcess) {
  const std::string program = std::string(SKYTRACE_BINARY_DIR) + "/bin/skytrace-sim.exe";
  std::string command = "\"" + program + "\" --simulator 7";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << "cannot start " << program << ": error " << GetLastError();
  for (int i = 0; i < 500 && !FindWindowExA(nullptr, nullptr, kMainClass, nullptr); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Win32Transport transport;
  Win32Clock clock;
  FsuipcLink link;
  link.transport = &transport;
  link.clock = &clock;
  int32_t result = -1;
  EXPECT_TRUE(OpenLink(link, 7, result)) << result;
  uint16_t xplane = 1;
  EXPECT_TRUE(QueueRead(link, 0x6FFF, 2, &xplane, result) && ProcessRequests(link, result))
      << result;
  EXPECT_EQ(xplane, 0);
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // The window went with its process.
  EXPECT_FALSE(QueueRead(link, 0x6FFF, 2, &xplane, result) && ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkSendError);
  CloseLink(link);
}

}  // namespace
}  // namespace sky

#endif  // _WIN32
