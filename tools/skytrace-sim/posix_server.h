// The simulator's IPC window on POSIX systems: a Unix socket named after the window class in the
// runtime directory, answering each message by walking the client's shared request area. One
// thread serves every client in turn and never waits on any one of them.
#pragma once

#ifndef _WIN32

#include <array>
#include <atomic>
#include <string>
#include <thread>

#include "core/link_state.h"
#include "simlink/ipc_wire.h"
#include "skytrace-sim/sim_server.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::sim {

using PosixServerOptions = SimServerOptions;

class PosixSimServer final : public SimServer {
 public:
  PosixSimServer(SimulatorCore& core, PosixServerOptions options);
  ~PosixSimServer() override;
  PosixSimServer(const PosixSimServer&) = delete;
  PosixSimServer& operator=(const PosixSimServer&) = delete;

  // Binds the socket and starts answering on a thread of its own. False, with the reason in
  // Error(), when the socket cannot be made or another simulator already answers on it.
  bool Start() override;
  void Stop() override;
  const std::string& Error() const override { return error_; }
  const std::string& Address() const override { return path_; }

 private:
  void Run();
  uint32_t Answer(const wire::Request& request);

  SimulatorCore& core_;
  PosixServerOptions options_;
  std::string path_;
  std::string error_;
  int listenFd_ = -1;
  int wakeFds_[2] = {-1, -1};
  std::thread thread_;
  std::array<uint8_t, kBatchLimit> area_{};  // the request area being answered (server thread)
};

}  // namespace sky::sim

#endif  // _WIN32
