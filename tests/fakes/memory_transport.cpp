#include "memory_transport.h"

#include "simlink/fsuipc.h"

namespace sky::test {

uintptr_t MemoryTransport::FindWindowByClass(const char* className) {
  for (size_t i = 0; i < windows.size(); ++i) {
    if (windows[i] == className) return i + 1;
  }
  return 0;
}

uint32_t MemoryTransport::RegisterMessage(const char* name) {
  return failRegister ? 0 : RegisteredMessageNumber(name);
}

uint16_t MemoryTransport::AddAtom(const char* name) {
  if (failAtom) return 0;
  lastAreaName = name;
  ++openAtoms;
  return 0xC123;
}

void MemoryTransport::DeleteAtom(uint16_t) {
  --openAtoms;
}

uintptr_t MemoryTransport::CreateMapping(const char*, uint32_t size, bool& alreadyExisted) {
  alreadyExisted = mappingExists;
  if (failMapping) return 0;
  area_.assign(size, 0xEE);
  ++openMappings;
  return 7;
}

uint8_t* MemoryTransport::MapView(uintptr_t, uint32_t) {
  return failView ? nullptr : area_.data();
}

void MemoryTransport::UnmapView(uint8_t*, uint32_t) {}

void MemoryTransport::CloseMapping(uintptr_t) {
  --openMappings;
}

SendOutcome MemoryTransport::Send(uintptr_t, uint32_t message, uint32_t, uint32_t, uint32_t) {
  ++sends;
  if (neverDeliver) return {false, 0, 0};
  if (!scriptedSends.empty()) {
    const SendOutcome outcome = scriptedSends.front();
    scriptedSends.pop_front();
    if (!outcome.delivered) return outcome;
  }
  if (message != RegisteredMessageNumber(kIpcMessageName)) return {true, 0, 0};
  int delay = 0;
  if (core_.NextAnswer(delay) == sim::SimulatorCore::Answer::Never) return {false, 0, 0};
  return {true, core_.HandleArea(area_.data(), kBatchLimit), 0};
}

}  // namespace sky::test
