// An in-memory simulator transport: the request area is a buffer of this process, and sending the
// message hands it straight to a simulator core. Every step of opening can be made to fail, and
// sends can be scripted to time out or fail.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/sim_transport.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::test {

class MemoryTransport final : public SimTransport {
 public:
  explicit MemoryTransport(sim::SimulatorCore& core) : core_(core) {}

  // The window classes that exist ("UIPCMAIN" by default).
  std::vector<std::string> windows{"UIPCMAIN"};
  bool failRegister = false;
  bool failAtom = false;
  bool failMapping = false;
  bool mappingExists = false;
  bool failView = false;
  uint32_t processId = 0x1A2C;
  // Outcomes of the next sends, before the simulator is reached: each entry that is not
  // delivered is a failed attempt with that error code.
  std::deque<SendOutcome> scriptedSends;
  bool neverDeliver = false;  // every send times out
  int sends = 0;              // sends attempted
  int openMappings = 0;       // mappings created and not yet closed
  int openAtoms = 0;
  std::string lastAreaName;

  uint32_t ProcessId() override { return processId; }
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
  sim::SimulatorCore& core_;
  std::vector<uint8_t> area_;
};

}  // namespace sky::test
