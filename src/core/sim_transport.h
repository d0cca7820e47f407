// The simulator transport: the system services the link to the simulator's interface module
// needs. On Windows these are the window, message, atom and paging-file mapping calls; elsewhere
// a POSIX shared-memory area of the same name and a Unix socket per window class stand in.
#pragma once

#include <cstdint>

namespace sky {

struct SendOutcome {
  bool delivered = false;  // the window answered within the time-out
  uint32_t answer = 0;     // the window's return value
  uint32_t errorCode = 0;  // the system's error code for a failed send, 0 when it gave none
};

class SimTransport {
 public:
  virtual ~SimTransport() = default;
  virtual uint32_t ProcessId() = 0;
  // A handle of the top-level window with that class name, 0 when there is none.
  virtual uintptr_t FindWindowByClass(const char* className) = 0;
  // The registered message number for the name; 0 on failure.
  virtual uint32_t RegisterMessage(const char* name) = 0;
  // A global atom for the name; 0 on failure.
  virtual uint16_t AddAtom(const char* name) = 0;
  virtual void DeleteAtom(uint16_t atom) = 0;
  // Creates a named shared area of `size` bytes. Returns 0 on failure; `alreadyExisted` is set
  // when an area of that name was there before (the creation then counts as failed).
  virtual uintptr_t CreateMapping(const char* name, uint32_t size, bool& alreadyExisted) = 0;
  virtual uint8_t* MapView(uintptr_t mapping, uint32_t size) = 0;
  virtual void UnmapView(uint8_t* view, uint32_t size) = 0;
  virtual void CloseMapping(uintptr_t mapping) = 0;
  // Sends the message and blocks until the window answers or `timeoutMs` has passed.
  virtual SendOutcome Send(uintptr_t window, uint32_t message, uint32_t wParam, uint32_t lParam,
                           uint32_t timeoutMs) = 0;
};

}  // namespace sky
