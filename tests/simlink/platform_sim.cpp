#include "platform_sim.h"

#ifdef _WIN32
#include "platform/win32_api.h"
#include "platform/win32_platform.h"
#include "simlink/transport_win32.h"
#include "skytrace-sim/win32_server.h"
#else
#include <unistd.h>

#include <filesystem>

#include "platform/posix_platform.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#endif

namespace sky::test {

#ifdef _WIN32

struct PlatformSim::Server {
  Server(sim::SimulatorCore& core, sim::Win32ServerOptions options)
      : server(core, std::move(options)) {}
  sim::Win32SimServer server;
};

PlatformSim::PlatformSim()
    : transport_(std::make_unique<Win32Transport>(kWaitCapMs)),
      clock_(std::make_unique<Win32Clock>()) {}

bool PlatformSim::Start(const char* className, sim::SimFaults faults) {
  core.SetFaults(faults);
  Stop();
  // A message left unanswered keeps the window busy as long as a late answer takes.
  server_ = std::make_unique<Server>(core, sim::Win32ServerOptions{className, kLateMs});
  if (server_->server.Start()) return true;
  error_ = server_->server.Error();
  return false;
}

void PlatformSim::Stop() {
  if (server_) server_->server.Stop();
}

bool PlatformSim::AreaExists() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, AreaName(GetCurrentProcessId()).c_str());
  if (!mapping) return false;
  CloseHandle(mapping);
  return true;
}

#else

struct PlatformSim::Server {
  Server(sim::SimulatorCore& core, sim::PosixServerOptions options)
      : server(core, std::move(options)) {}
  sim::PosixSimServer server;
};

PlatformSim::PlatformSim()
    : transport_(
          std::make_unique<PosixTransport>(PosixTransportOptions{runtime_.path(), kWaitCapMs})),
      clock_(std::make_unique<PosixClock>()) {}

bool PlatformSim::Start(const char* className, sim::SimFaults faults) {
  core.SetFaults(faults);
  Stop();
  server_ = std::make_unique<Server>(core, sim::PosixServerOptions{runtime_.path(), className});
  if (server_->server.Start()) return true;
  error_ = server_->server.Error();
  return false;
}

void PlatformSim::Stop() {
  if (server_) server_->server.Stop();
}

bool PlatformSim::AreaExists() {
  return std::filesystem::exists("/dev/shm/" + AreaName(static_cast<uint32_t>(getpid())));
}

#endif

PlatformSim::~PlatformSim() {
  Stop();
}

}  // namespace sky::test
