#include "skytrace-sim/simulator_core.h"

namespace sky::sim {
namespace {

constexpr uint32_t kInterfaceVersionOffset = 0x3304;
constexpr uint32_t kSimulatorVersionOffset = 0x3308;
constexpr uint32_t kLibraryVersionOffset = 0x330A;
constexpr uint32_t kXPlaneOffset = 0x6FFF;
constexpr uint32_t kInterfaceVersion = 0x19980005;
constexpr uint32_t kTrafficControlOffset = 0xF06A;
constexpr uint32_t kTrafficRangeOffset = 0xF068;

uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
         static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

SimulatorCore::SimulatorCore(uint16_t simulatorCode, bool xplane) : simulatorCode_(simulatorCode) {
  ApplyHandshake();
  if (xplane) {
    const uint16_t on = 1;
    std::memcpy(&space_[kXPlaneOffset], &on, sizeof on);
  }
}

void SimulatorCore::ApplyHandshake() {
  const uint32_t interfaceVersion = faults_.badHandshake ? 0 : kInterfaceVersion;
  const uint32_t simulatorVersion =
      faults_.badHandshake ? simulatorCode_ : (0xFADEu << 16 | simulatorCode_);
  std::memcpy(&space_[kInterfaceVersionOffset], &interfaceVersion, 4);
  std::memcpy(&space_[kSimulatorVersionOffset], &simulatorVersion, 4);
}

uint32_t SimulatorCore::HandleArea(uint8_t* area, size_t size) {
  std::lock_guard lock(mutex_);
  ++areasHandled_;
  size_t at = 0;
  while (at + 4 <= size) {
    const uint32_t id = Get32(area + at) & 0xFFFFu;
    if (id == 0 || at + 12 > size) break;
    const uint32_t offset = Get32(area + at + 4);
    const uint32_t length = Get32(area + at + 8);
    const size_t header = id == 1 ? 16 : 12;
    if ((id != 1 && id != 2) || length > size - at - header) break;
    uint8_t* value = area + at + header;
    for (uint32_t i = 0; i < length; ++i) {
      const uint64_t address = static_cast<uint64_t>(offset) + i;
      if (id == 1) {
        value[i] = address < kSpaceSize ? space_[address] : 0;
      } else if (address < kSpaceSize &&
                 (address < kInterfaceVersionOffset || address >= kSimulatorVersionOffset + 4)) {
        space_[address] = value[i];  // the handshake offsets are read-only
      }
    }
    if (id == 2 && (offset == kTrafficControlOffset || offset == kTrafficRangeOffset ||
                    offset == kLibraryVersionOffset)) {
      uint32_t written = 0;
      std::memcpy(&written, value, length < 4 ? length : 4);
      controlWrites_.push_back({offset, written});
    }
    at += header + length;
  }
  return faults_.answer;
}

void SimulatorCore::Write(uint32_t offset, const void* data, uint32_t size) {
  std::lock_guard lock(mutex_);
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (uint32_t i = 0; i < size && offset + static_cast<uint64_t>(i) < kSpaceSize; ++i) {
    space_[offset + i] = bytes[i];
  }
}

void SimulatorCore::Read(uint32_t offset, void* data, uint32_t size) const {
  std::lock_guard lock(mutex_);
  auto* bytes = static_cast<uint8_t*>(data);
  for (uint32_t i = 0; i < size; ++i) {
    const uint64_t address = static_cast<uint64_t>(offset) + i;
    bytes[i] = address < kSpaceSize ? space_[address] : 0;
  }
}

void SimulatorCore::SetFaults(const SimFaults& faults) {
  std::lock_guard lock(mutex_);
  faults_ = faults;
  ApplyHandshake();
}

SimFaults SimulatorCore::Faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

SimulatorCore::Answer SimulatorCore::NextAnswer(int& delayMs) {
  std::lock_guard lock(mutex_);
  delayMs = 0;
  if (faults_.silent) return Answer::Never;
  if (faults_.ignoreRequests > 0) {
    --faults_.ignoreRequests;
    return Answer::Never;
  }
  if (faults_.lateAnswers > 0) {
    --faults_.lateAnswers;
    delayMs = faults_.lateDelayMs;
    return Answer::Late;
  }
  return Answer::Now;
}

std::vector<ControlWrite> SimulatorCore::ControlWrites() const {
  std::lock_guard lock(mutex_);
  return controlWrites_;
}

}  // namespace sky::sim
