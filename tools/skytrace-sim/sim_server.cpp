#include "skytrace-sim/sim_server.h"

#ifdef _WIN32
#include "simlink/transport_win32.h"
#include "skytrace-sim/win32_server.h"
#else
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#endif

namespace sky::sim {

std::unique_ptr<SimServer> MakeSimServer(SimulatorCore& core, SimServerOptions options) {
#ifdef _WIN32
  return std::make_unique<Win32SimServer>(core, Win32ServerOptions{options.className});
#else
  return std::make_unique<PosixSimServer>(core, std::move(options));
#endif
}

std::string WhereAnswering(const SimServer& server) {
#ifdef _WIN32
  return "as window class " + server.Address();
#else
  return "on " + server.Address();
#endif
}

std::unique_ptr<SimTransport> MakeSimTransport(const std::string& runtimeDir) {
#ifdef _WIN32
  (void)runtimeDir;
  return std::make_unique<Win32Transport>();
#else
  return std::make_unique<PosixTransport>(PosixTransportOptions{runtimeDir});
#endif
}

}  // namespace sky::sim
