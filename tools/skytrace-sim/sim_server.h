// The two ends of the link on this platform, for the simulator side and the runs that drive the
// program against it: the simulator's window answering from a core (a Unix socket in a runtime
// folder on POSIX systems, a hidden window of the interface module's class on Windows) and the
// program's transport to it.
#pragma once

#include <memory>
#include <string>

#include "core/sim_transport.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::sim {

struct SimServerOptions {
  std::string runtimeDir;              // POSIX: the socket's folder; empty: the user's runtime one
  std::string className = "UIPCMAIN";  // "FS98MAIN" for the older interface modules
};

// The simulator's window, answering the program's messages from a core on a thread of its own.
class SimServer {
 public:
  virtual ~SimServer() = default;
  // Starts answering. False, with the reason in Error(), when the window cannot be made or
  // another simulator already answers as it.
  virtual bool Start() = 0;
  // Stops answering; the program's next send fails.
  virtual void Stop() = 0;
  virtual const std::string& Error() const = 0;
  // Where the program finds it: the socket's path on POSIX systems, the window class on Windows.
  virtual const std::string& Address() const = 0;
};

// The server's address for messages: "on SOCKET" or "as window class NAME".
std::string WhereAnswering(const SimServer& server);

std::unique_ptr<SimServer> MakeSimServer(SimulatorCore& core, SimServerOptions options);

// The program's transport to the simulator's window; `runtimeDir` is the socket's folder on POSIX
// systems (empty: the user's runtime one).
std::unique_ptr<SimTransport> MakeSimTransport(const std::string& runtimeDir = "");

}  // namespace sky::sim
