// The link to the simulator: what only a fake can make fail over the in-memory transport, and the
// result codes a simulator causes over this platform's real transport.
#include "simlink/fsuipc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "memory_transport.h"
#include "platform/headless.h"
#include "test_app.h"
#ifdef _WIN32
#include "core/win32_api.h"
#include "platform/win32_platform.h"
#include "simlink/transport_win32.h"
#include "skytrace-sim/win32_server.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "platform/posix_platform.h"
#include "simlink/ipc_wire.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#endif

namespace sky {
namespace {

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() : clock({2026, 12, 4, 22, 30, 0}), transport(simulator) {
    link.transport = &transport;
    link.clock = &clock;
  }
  ~LinkTest() override { CloseLink(link); }

  sim::SimulatorCore simulator{8};
  SimulatedClock clock;
  test::MemoryTransport transport;
  FsuipcLink link;
  int32_t result = -1;
};

// A closed link answers 9. One handshake pass under the process's area name; writes after a read
// stop at the limit; ten retries 100 ms apart, and 12 when the last attempt carries a system error.
TEST_F(LinkTest, ClosedHandshakeLimitsAndRetries) {
  static uint8_t room[kBatchLimit];
  EXPECT_FALSE(QueueRead(link, 0x560, 4, room, result));
  EXPECT_EQ(result, kLinkNotOpen);
  EXPECT_FALSE(QueueWrite(link, 0x560, 4, room, result));
  EXPECT_EQ(result, kLinkNotOpen);
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkNotOpen);
  EXPECT_EQ(AreaName(0xFFFFFFFF), "FSASMLIB:IPC:FFFFFFFF:1");
  ASSERT_TRUE(OpenLink(link, 0, result));
  EXPECT_EQ(transport.lastAreaName, "FSASMLIB:IPC:1A2C:1");
  EXPECT_EQ(link.SimulatorVersion, 8u);
  EXPECT_GE(link.InterfaceVersion, 0x19980005);
  EXPECT_EQ(transport.sends, 1);  // one pass: both versions came back at once
  EXPECT_EQ(clock.SleptMs(), 100);
  ASSERT_FALSE(simulator.ControlWrites().empty());  // first the library version (0)
  EXPECT_EQ(simulator.ControlWrites()[0].offset, 0x330Au);
  EXPECT_EQ(simulator.ControlWrites()[0].value, 0u);
  ASSERT_TRUE(QueueRead(link, 0, 4, room, result));  // 20 bytes queued
  EXPECT_FALSE(QueueWrite(link, 0, kBatchLimit - 20 - 4 - 12 + 1, room, result));
  EXPECT_EQ(result, kLinkTooLarge);
  EXPECT_FALSE(QueueWrite(link, 0, 0xFFFFFFFFu, room, result));  // no wrap-around
  EXPECT_EQ(result, kLinkTooLarge);
  EXPECT_TRUE(QueueWrite(link, 0, kBatchLimit - 20 - 4 - 12, room, result));
  EXPECT_TRUE(ProcessRequests(link, result)) << result;
  for (int i = 0; i < 10; ++i) transport.scriptedSends.push_back({false, 0, 0});
  transport.scriptedSends.push_back({false, 0, 1460});
  ASSERT_TRUE(QueueRead(link, 0x3304, 4, room, result));
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkSendError);
  EXPECT_EQ(clock.SleptMs(), 100 + 10 * 100);
  EXPECT_EQ(link.next, link.view);  // the batch is empty afterwards
}

TEST_F(LinkTest, OpenFailuresEndClosedWithTheirCodes) {
  struct Case {
    const char* name;
    void (*arrange)(test::MemoryTransport&, sim::SimulatorCore&);
    int32_t code;
  } cases[] = {
      {"no window", [](auto& t, auto&) { t.windows.clear(); }, kLinkNoWindow},
      {"no message", [](auto& t, auto&) { t.failRegister = true; }, kLinkNoMessage},
      {"no atom", [](auto& t, auto&) { t.failAtom = true; }, kLinkNoAtom},
      {"no area", [](auto& t, auto&) { t.failMapping = true; }, kLinkNoArea},
      {"area existed", [](auto& t, auto&) { t.mappingExists = true; }, kLinkNoArea},
      {"no view", [](auto& t, auto&) { t.failView = true; }, kLinkNoView},
      {"time-out", [](auto& t, auto&) { t.neverDeliver = true; }, kLinkTimedOut},
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

#ifdef _WIN32
// Each send waits at most this long, so that time-out paths run quickly.
constexpr uint32_t kWaitCapMs = 200;
constexpr int32_t kNoAnswer = kLinkSendError;  // ERROR_TIMEOUT is a system error code
using Server = sim::Win32SimServer;
bool AreaExists() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, AreaName(GetCurrentProcessId()).c_str());
  if (mapping) CloseHandle(mapping);
  return mapping != nullptr;
}
#else
constexpr uint32_t kWaitCapMs = 50;
constexpr int32_t kNoAnswer = kLinkTimedOut;
using Server = sim::PosixSimServer;
bool AreaExists() {
  return std::filesystem::exists("/dev/shm/" + AreaName(static_cast<uint32_t>(getpid())));
}
#endif
// An answer this late misses the send's wait but comes before the retry (100 ms later).
constexpr int kLateMs = kWaitCapMs + 50;

class LinkTransportTest : public ::testing::Test {
 protected:
  LinkTransportTest() {
    link.transport = &transport;
    link.clock = &clock;
  }
  ~LinkTransportTest() override { CloseLink(link); }
  // The simulator side in this process: a window on a thread of its own, or the socket server.
  void Start(const char* className = kMainClass, sim::SimFaults faults = {}) {
    server.reset();
    core.SetFaults(faults);
#ifdef _WIN32
    // A message left unanswered keeps the window busy as long as a late answer takes.
    server = std::make_unique<Server>(core, sim::Win32ServerOptions{className, kLateMs});
#else
    server = std::make_unique<Server>(core, sim::PosixServerOptions{runtime.path(), className});
#endif
    ASSERT_TRUE(server->Start()) << server->Error();
  }
  bool Open(uint32_t requested = 0) {
    return OpenLink(link, requested, result);
  }
  // One read of the handshake's interface version, exchanged at once.
  bool ExchangeOneRead(uint32_t& value) {
    value = 0;
    return QueueRead(link, kOffsetInterfaceVersion, 4, &value, result) &&
           ProcessRequests(link, result);
  }

  sim::SimulatorCore core{8};
#ifdef _WIN32
  Win32Transport transport{kWaitCapMs};
  Win32Clock clock;
#else
  test::TempDir runtime;
  PosixTransport transport{PosixTransportOptions{runtime.path(), kWaitCapMs}};
  PosixClock clock;
#endif
  std::unique_ptr<Server> server;
  FsuipcLink link;
  int32_t result = -1;
};

TEST_F(LinkTransportTest, HandshakeBatchesAndOpenTwice) {
  Start();
  ASSERT_TRUE(Open()) << result;
  EXPECT_FALSE(ProcessRequests(link, result));
  EXPECT_EQ(result, kLinkEmptyBatch);
  // One read whose record ends exactly at the limit with the terminator: 16 + size + 4 = 32512.
  static uint8_t room[kBatchLimit];
  EXPECT_FALSE(QueueRead(link, 0, kBatchLimit - 19, room, result));
  EXPECT_EQ(result, kLinkTooLarge);
  ASSERT_TRUE(QueueRead(link, 0, kBatchLimit - 20, room, result));
  EXPECT_TRUE(ProcessRequests(link, result)) << result;
  EXPECT_EQ(std::memcmp(room + kOffsetSimulatorVersion, "\x08\x00\xDE\xFA", 4), 0);
  // One batch answered in place; a read without room or destination copies nothing.
  core.Put<int64_t>(0x560, 0x123456789ABCDEF0);
  int64_t latitude = 0;
  uint8_t nothing[4] = {9, 9, 9, 9};
  const uint16_t range = 12;
  ASSERT_TRUE(
      QueueRead(link, 0x560, 0, nothing, result) && QueueRead(link, 0x560, 4, nullptr, result) &&
      QueueRead(link, 0x560, 8, &latitude, result) && QueueWrite(link, 0xF068, 2, &range, result));
  ASSERT_TRUE(ProcessRequests(link, result)) << result;
  EXPECT_EQ(latitude, 0x123456789ABCDEF0);
  EXPECT_EQ(nothing[0], 9);
  EXPECT_EQ(core.Get<uint16_t>(0xF068), 12);
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkAlreadyOpen);
  EXPECT_TRUE(LinkIsOpen(link));
  // The simulator keeps nothing of the area between messages, so the name is free again.
  CloseLink(link);
  EXPECT_FALSE(AreaExists());
  EXPECT_TRUE(Open()) << result;
}

// Every way an open ends against a window; a failed open leaves no area behind.
TEST_F(LinkTransportTest, OpenResults) {
  struct Case {
    const char* name;
    const char* className;  // no simulator at all when null
    bool badHandshake;
    uint32_t requested;
    int32_t code;
  } cases[] = {
      {"no simulator", nullptr, false, 0, kLinkNoWindow},
      {"bad handshake under UIPCMAIN", kMainClass, true, 0, kLinkBadVersion},
      {"bad handshake under FS98MAIN", kOldClass, true, 0, kLinkBadVersionFs98},
      {"good handshake under FS98MAIN", kOldClass, false, 0, kLinkOk},
      {"another simulator than requested", kMainClass, false, 7, kLinkWrongSimulator},
      {"the simulator requested", kMainClass, false, 8, kLinkOk},
  };
  for (const Case& c : cases) {
    if (c.className) Start(c.className, {.badHandshake = c.badHandshake});
    EXPECT_EQ(Open(c.requested), c.code == kLinkOk) << c.name;
    EXPECT_EQ(result, c.code) << c.name;
    EXPECT_EQ(AreaExists(), c.code == kLinkOk) << c.name;
    CloseLink(link);
    server.reset();
  }
}

// Unanswered messages up to the tenth retry and an answer after the wait still succeed; a failed
// exchange leaves the link open for its callers to close, and it goes on once answers come back.
TEST_F(LinkTransportTest, ExchangeResults) {
  struct Case {
    const char* name;
    sim::SimFaults faults;
    int32_t code;
  } cases[] = {
      {"answer on the tenth retry", {.ignoreRequests = 10}, kLinkOk},
      {"an answer after the wait", {.lateAnswers = 1, .lateDelayMs = kLateMs}, kLinkOk},
      {"nothing answers the tenth retry", {.ignoreRequests = 11}, kNoAnswer},
      {"no answer at all", {.silent = true}, kNoAnswer},
      {"an answer other than 1", {.answer = 0}, kLinkBadAnswer},
  };
  Start();
  ASSERT_TRUE(Open()) << result;
  uint32_t version = 0;
  for (const Case& c : cases) {
    core.SetFaults(c.faults);
    EXPECT_EQ(ExchangeOneRead(version), c.code == kLinkOk) << c.name;
    EXPECT_EQ(result, c.code) << c.name;
    EXPECT_EQ(version >= kMinInterfaceVersion, c.code == kLinkOk) << c.name << ": " << version;
    core.SetFaults({});
    EXPECT_TRUE(ExchangeOneRead(version)) << c.name << ": " << result;
  }
  server.reset();  // the simulator gone: the send itself fails
  EXPECT_FALSE(ExchangeOneRead(version));
  EXPECT_EQ(result, kLinkSendError);
}

#ifdef _WIN32

TEST_F(LinkTransportTest, Win32AreaOfThatNameAlreadyThereIsCodeFive) {
  Start();
  const std::string name = AreaName(GetCurrentProcessId());
  HANDLE squatter =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAreaSize, name.c_str());
  ASSERT_NE(squatter, nullptr);
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, kLinkNoArea);
  EXPECT_FALSE(LinkIsOpen(link));
  CloseHandle(squatter);
  EXPECT_FALSE(AreaExists());  // the link closed its handle of the same area
  ASSERT_TRUE(Open()) << result;
  // The atom of the area name is held only while the link is open.
  EXPECT_EQ(GlobalFindAtomA(name.c_str()), link.atom);
  CloseLink(link);
  EXPECT_EQ(GlobalFindAtomA(name.c_str()), 0);
}

// The simulator as its own program: atom, mapping and message cross the process boundary.
TEST_F(LinkTransportTest, Win32SimulatorProgramAnswersAnotherProcess) {
  const std::string program = std::string(SKYTRACE_BINARY_DIR) + "/bin/skytrace-sim.exe";
  std::string command = "\"" + program + "\" --simulator 7";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << "cannot start " << program << ": error " << GetLastError();
  for (int i = 0; i < 500 && !FindWindowExA(nullptr, nullptr, kMainClass, nullptr); ++i) {
    Sleep(10);
  }
  EXPECT_TRUE(Open(7)) << result;
  uint32_t version = 0;
  EXPECT_TRUE(ExchangeOneRead(version)) << result;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

#else

// Request areas of processes that have ended go when a link opens; those of running ones stay,
// and one this process left behind under its own name is replaced.
TEST_F(LinkTransportTest, SocketAreasOfEndedProcessesGoWhenALinkOpens) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  waitpid(child, nullptr, 0);
  const std::string ended = wire::SharedMemoryName(AreaName(static_cast<uint32_t>(child)));
  const std::string running = wire::SharedMemoryName(AreaName(static_cast<uint32_t>(getppid())));
  const std::string own = wire::SharedMemoryName(AreaName(static_cast<uint32_t>(getpid())));
  for (const std::string& name : {ended, running, own}) {
    const int fd = shm_open(name.c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(fd, 0) << name;
    close(fd);
  }
  Start();
  ASSERT_TRUE(Open()) << result;
  EXPECT_FALSE(std::filesystem::exists("/dev/shm" + ended));
  EXPECT_TRUE(std::filesystem::exists("/dev/shm" + running));
  shm_unlink(running.c_str());
  CloseLink(link);
  EXPECT_FALSE(AreaExists());
}

// A client of the simulator's socket that speaks the frames directly, as a hostile one would.
class RawClient {
 public:
  explicit RawClient(const std::string& socketPath) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    EXPECT_EQ(connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  }
  ~RawClient() { close(fd_); }
  static wire::Request Message(const std::string& areaName) {
    wire::Request request;
    request.message = RegisteredMessageNumber(kIpcMessageName);
    std::strncpy(request.atomName, areaName.c_str(), sizeof request.atomName - 1);
    return request;
  }
  // Sends the message and returns the window's answer; -1 when none comes within a second.
  int64_t Exchange(const std::string& areaName) {
    const wire::Request request = Message(areaName);
    if (send(fd_, &request, sizeof request, MSG_NOSIGNAL) != sizeof request) return -1;
    pollfd poller{fd_, POLLIN, 0};
    wire::Answer answer;
    if (poll(&poller, 1, 1000) != 1 ||
        recv(fd_, &answer, sizeof answer, MSG_WAITALL) != sizeof answer) {
      return -1;
    }
    return answer.result;
  }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

// A shared area of the given size and first bytes, removed with the object.
class Area {
 public:
  Area(std::string name, off_t size, const std::vector<uint32_t>& words) : name_(std::move(name)) {
    const int fd = shm_open(wire::SharedMemoryName(name_).c_str(), O_CREAT | O_RDWR, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(ftruncate(fd, size), 0);
    if (!words.empty()) {
      EXPECT_EQ(pwrite(fd, words.data(), words.size() * 4, 0),
                static_cast<ssize_t>(words.size() * 4));
    }
    close(fd);
  }
  ~Area() { shm_unlink(wire::SharedMemoryName(name_).c_str()); }

 private:
  std::string name_;
};

// Areas of the wrong size or name and batches that run past the area are bad requests, answered
// 0 without the simulator reaching outside the area; a well-formed batch is answered 1.
TEST_F(LinkTransportTest, SocketHostileRequestsAreAnsweredAsFailures) {
  Start();
  // A read that would need 16 header bytes where 12 are left: first a write up to there.
  const uint32_t upToTheEnd = kBatchLimit - 12 - 12;
  std::vector<uint32_t> pastTheEnd = {2, 0x10000, upToTheEnd};
  pastTheEnd.resize(3 + upToTheEnd / 4, 0);
  pastTheEnd.insert(pastTheEnd.end(), {1, 0x560, 0x100000});
  struct Case {
    const char* name;
    std::string area;
    off_t size;
    std::vector<uint32_t> words;
    int64_t answer;
  } cases[] = {
      {"a zero-length area", "FSASMLIB:IPC:7FFFFFF0:1", 0, {}, 0},
      {"an area shorter than the format's", "FSASMLIB:IPC:7FFFFFF1:1", 4096, {0}, 0},
      {"a read a megabyte long", "FSASMLIB:IPC:7FFFFFF2:1", kAreaSize, {1, 0x560, 1 << 20, 0}, 0},
      {"a header past the end", "FSASMLIB:IPC:7FFFFFF3:1", kAreaSize, pastTheEnd, 0},
      {"an unknown record", "FSASMLIB:IPC:7FFFFFF4:1", kAreaSize, {7, 0, 0, 0}, 0},
      {"no terminator", "FSASMLIB:IPC:7FFFFFF5:1", kAreaSize, {2, 0x10000, kBatchLimit - 12}, 0},
      {"not a request area's name", "skytrace-not-an-area", kAreaSize, {0}, 0},
      {"a well-formed batch", "FSASMLIB:IPC:7FFFFFF6:1", kAreaSize, {1, 0x3304, 4, 0, 0, 0}, 1},
  };
  RawClient client(runtime.path() + "/UIPCMAIN");
  for (const Case& c : cases) {
    Area area(c.area, c.size, c.words);
    EXPECT_EQ(client.Exchange(c.area), c.answer) << c.name;
  }
  // The server is still there for everyone.
  ASSERT_TRUE(Open()) << result;
}

// A client that sends requests without taking the answers holds up nobody else.
TEST_F(LinkTransportTest, SocketAClientThatDoesNotReadBlocksNoOther) {
  Start();
  ASSERT_TRUE(Open()) << result;
  Area area("FSASMLIB:IPC:7FFFFFF7:1", kAreaSize, {0});
  RawClient flood(runtime.path() + "/UIPCMAIN");
  const wire::Request request = RawClient::Message("FSASMLIB:IPC:7FFFFFF7:1");
  // Requests until the socket has taken none for a while: the answers pile up unread.
  using Clock = std::chrono::steady_clock;
  const auto giveUp = Clock::now() + std::chrono::seconds(3);
  auto lastTaken = Clock::now();
  size_t sent = 0;
  while (Clock::now() < giveUp && Clock::now() - lastTaken < std::chrono::milliseconds(200)) {
    if (send(flood.fd(), &request, sizeof request, MSG_NOSIGNAL | MSG_DONTWAIT) > 0) {
      ++sent;
      lastTaken = Clock::now();
    }
  }
  EXPECT_GT(sent, 100u);
  for (int i = 0; i < 5; ++i) {
    uint32_t version = 0;
    EXPECT_TRUE(ExchangeOneRead(version)) << i << ": " << result;
  }
}

#endif  // _WIN32

}  // namespace
}  // namespace sky
