// The simulator side on this platform's real transport, in this process, for the link tests that
// run on every platform: on Windows the hidden window of the interface module's class on a
// thread of its own, elsewhere the Unix-socket server in a runtime folder of the test's own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/ports.h"
#include "simlink/fsuipc.h"
#include "simlink/transport.h"
#include "skytrace-sim/simulator_core.h"
#include "test_app.h"

namespace sky::test {

class PlatformSim {
 public:
#ifdef _WIN32
  // Each send waits at most this long, so that time-out paths run quickly.
  static constexpr uint32_t kWaitCapMs = 200;
  // What the link reports when nothing answers: Windows gives ERROR_TIMEOUT for a time-out, a
  // system error code.
  static constexpr int32_t kNoAnswerResult = kLinkSendError;
#else
  static constexpr uint32_t kWaitCapMs = 50;
  static constexpr int32_t kNoAnswerResult = kLinkTimedOut;
#endif
  // An answer this late misses the send's wait but comes before the retry (100 ms later).
  static constexpr int kLateMs = kWaitCapMs + 50;

  PlatformSim();
  ~PlatformSim();
  PlatformSim(const PlatformSim&) = delete;
  PlatformSim& operator=(const PlatformSim&) = delete;

  // Starts answering under the window class with these faults; false with Error() set when the
  // server cannot start.
  bool Start(const char* className = kMainClass, sim::SimFaults faults = {});
  void Stop();
  const std::string& Error() const {
    return error_;
  }
  // The client side of the same transport, and the system clock for the link's real pauses.
  SimTransport& transport() {
    return *transport_;
  }
  Clock& clock() {
    return *clock_;
  }
  // Whether this process's request area exists on the system.
  static bool AreaExists();

  sim::SimulatorCore core{8};

 private:
  struct Server;
  TempDir runtime_;
  std::unique_ptr<SimTransport> transport_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Server> server_;
  std::string error_;
};

}  // namespace sky::test
