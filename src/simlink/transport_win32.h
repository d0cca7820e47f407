// The simulator transport on Windows: the interface module's top-level window found by class
// name, the registered window message, a global atom naming the request area, a named mapping
// backed by the paging file, and a blocking send with a time-out.
#pragma once

#ifdef _WIN32

#include "core/sim_transport.h"

namespace sky {

class Win32Transport final : public SimTransport {
 public:
  // `timeoutCapMs` (tests only): an upper bound on each send's wait, so that time-out paths run
  // quickly; 0 keeps the link's own time-out.
  explicit Win32Transport(uint32_t timeoutCapMs = 0) : timeoutCapMs_(timeoutCapMs) {}

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
  uint32_t timeoutCapMs_;
};

}  // namespace sky

#endif  // _WIN32
