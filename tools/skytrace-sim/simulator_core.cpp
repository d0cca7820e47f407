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
constexpr uint32_t kRead = 1;
constexpr uint32_t kWrite = 2;
constexpr size_t kReadHeaderBytes = 16;  // identifier, offset, size, destination
constexpr size_t kWriteHeaderBytes = 12;

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

void SimulatorCore::SetBeforeReading(uint32_t offset, std::function<void()> hook) {
  hookOffset_ = offset;
  beforeReading_ = std::move(hook);
}

uint32_t SimulatorCore::HandleArea(uint8_t* area, size_t size, size_t* used) {
  if (beforeReading_ && size >= kReadHeaderBytes && (Get32(area) & 0xFFFFu) == kRead &&
      Get32(area + 4) == hookOffset_) {
    beforeReading_();
  }
  std::lock_guard lock(mutex_);
  ++areasHandled_;
  if (used) *used = 0;
  // The whole batch is checked before any of it is answered: every record and the terminator
  // must lie inside the area, and every identifier must be a read or a write. Anything else is a
  // bad request, refused as a whole without touching a byte outside the area.
  size_t end = 0;
  for (;;) {
    if (size - end < 4) return 0;
    const uint32_t id = Get32(area + end) & 0xFFFFu;
    if (id == 0) break;
    if (id != kRead && id != kWrite) return 0;
    const size_t header = id == kRead ? kReadHeaderBytes : kWriteHeaderBytes;
    if (size - end < header) return 0;
    const uint32_t length = Get32(area + end + 8);
    if (length > size - end - header) return 0;
    end += header + length;
  }
  if (used) *used = end + 4;
  for (size_t at = 0; at < end;) {
    const uint32_t id = Get32(area + at) & 0xFFFFu;
    const uint32_t offset = Get32(area + at + 4);
    const uint32_t length = Get32(area + at + 8);
    const size_t header = id == kRead ? kReadHeaderBytes : kWriteHeaderBytes;
    uint8_t* value = area + at + header;
    for (uint32_t i = 0; i < length; ++i) {
      const uint64_t address = static_cast<uint64_t>(offset) + i;
      if (id == kRead) {
        value[i] = address < kSpaceSize ? space_[address] : 0;
      } else if (address < kSpaceSize &&
                 (address < kInterfaceVersionOffset || address >= kSimulatorVersionOffset + 4)) {
        space_[address] = value[i];  // the handshake offsets are read-only
      }
    }
    if (id == kWrite && (offset == kTrafficControlOffset || offset == kTrafficRangeOffset ||
                         offset == kLibraryVersionOffset)) {
      uint32_t written = 0;
      std::memcpy(&written, value, length < 4 ? length : 4);
      controlWrites_.push_back({offset, written});
    }
    at += header + length;
  }
  return faults_.answer;
}

bool IsRequestAreaName(std::string_view name) {
  constexpr std::string_view kPrefix = "FSASMLIB:IPC:";
  if (!name.starts_with(kPrefix)) return false;
  name.remove_prefix(kPrefix.size());
  // The process id and the counter: upper-case hexadecimal, 1 to 8 digits each.
  auto hexDigits = [&name]() {
    size_t count = 0;
    while (count < name.size() && ((name[count] >= '0' && name[count] <= '9') ||
                                   (name[count] >= 'A' && name[count] <= 'F'))) {
      ++count;
    }
    name.remove_prefix(count);
    return count >= 1 && count <= 8;
  };
  if (!hexDigits() || !name.starts_with(':')) return false;
  name.remove_prefix(1);
  return hexDigits() && name.empty();
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
