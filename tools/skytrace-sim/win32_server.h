// The simulator's IPC window on Windows: a hidden top-level window of the interface module's
// class, answering the registered message "FSASMLIB:IPC" by opening the client's named request
// area (named by the atom the message carries) and walking its records in place.
#pragma once

#ifdef _WIN32

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "skytrace-sim/sim_server.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::sim {

struct Win32ServerOptions {
  std::string className = "UIPCMAIN";  // "FS98MAIN" for the older interface modules
  // How long a message the simulator does not answer keeps the window busy before it is
  // dropped: longer than the client's wait, so that the client's attempt times out.
  int unansweredHoldMs = 2500;
};

class Win32SimServer final : public SimServer {
 public:
  Win32SimServer(SimulatorCore& core, Win32ServerOptions options);
  ~Win32SimServer() override;
  Win32SimServer(const Win32SimServer&) = delete;
  Win32SimServer& operator=(const Win32SimServer&) = delete;

  // Creates the window on a thread of its own, which runs the window's message loop. False,
  // with the reason in Error(), when another window of that class exists already or the window
  // cannot be made.
  bool Start() override;
  // Destroys the window and ends its thread; the client's next send fails.
  void Stop() override;
  const std::string& Error() const override { return error_; }
  const std::string& Address() const override { return options_.className; }

 private:
  friend struct Win32SimWindow;  // the window procedure
  void Run(std::atomic<int>& state);
  // Answers one message carrying `atom`: the value the window returns (0 when the area cannot
  // be opened). Called on the window's thread.
  uintptr_t Answer(uint16_t atom);
  // Waits `milliseconds`, or less when the server is stopping.
  void Hold(int milliseconds) const;

  SimulatorCore& core_;
  Win32ServerOptions options_;
  std::string error_;
  uint32_t message_ = 0;
  void* window_ = nullptr;  // HWND
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace sky::sim

#endif  // _WIN32
