// The simulator transport on POSIX systems: the request area is a POSIX shared-memory object
// with the area's name, and each simulator window class is a Unix socket of that name in the
// runtime directory; sending the message is a frame on that socket answered by the simulator.
#pragma once

#ifndef _WIN32

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "core/sim_transport.h"

namespace sky {

struct PosixTransportOptions {
  std::string runtimeDir;  // empty: wire::DefaultRuntimeDir()
  // Tests only: an upper bound on each send's wait, so that time-out paths run quickly.
  uint32_t timeoutCapMs = 0;
};

class PosixTransport final : public SimTransport {
 public:
  explicit PosixTransport(PosixTransportOptions options = {});
  ~PosixTransport() override;
  PosixTransport(const PosixTransport&) = delete;
  PosixTransport& operator=(const PosixTransport&) = delete;

  uint32_t ProcessId() override;
  uintptr_t FindWindowByClass(const char* className) override;
  uint32_t RegisterMessage(const char* name) override;
  uint16_t AddAtom(const char* name) override;
  void DeleteAtom(uint16_t atom) override;
  uintptr_t CreateMapping(const char* name, uint32_t size, bool& alreadyExisted) override;
  uint8_t* MapView(uintptr_t mapping, uint32_t size) override;
  void UnmapView(uint8_t* view, uint32_t size) override;
  void CloseMapping(uintptr_t mapping) override;
  SendOutcome Send(uintptr_t window, uint32_t message, uint32_t wParam, uint32_t lParam,
                   uint32_t timeoutMs) override;

 private:
  struct Window {
    std::string className;
    int fd = -1;
  };
  struct Mapping {
    std::string shmName;
    int fd = -1;
  };
  void Disconnect(Window& window);

  PosixTransportOptions options_;
  std::map<uintptr_t, Window> windows_;
  std::map<uint16_t, std::string> atoms_;
  std::map<uintptr_t, Mapping> mappings_;
  std::set<std::string> ownAreas_;
  uintptr_t nextHandle_ = 1;
  uint16_t nextAtom_ = 0xC001;
  uint32_t sequence_ = 0;
};

}  // namespace sky

#endif  // _WIN32
