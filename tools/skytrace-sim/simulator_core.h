// The simulator side of the link: a 64 KiB offset space answering request areas in place, with
// the handshake values of an interface module and fault switches for tests.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

namespace sky::sim {

// Behaviour switches for tests; read by the transport servers before every answer.
struct SimFaults {
  int ignoreRequests = 0;  // the next N messages get no answer at all
  int lateAnswers = 0;     // the next N messages are answered only after lateDelayMs
  int lateDelayMs = 2500;
  bool silent = false;  // stop answering altogether
  bool badHandshake = false;
  uint32_t answer = 1;  // the window's return value
};

// A write the program made to one of the control offsets, kept in order.
struct ControlWrite {
  uint32_t offset = 0;
  uint32_t value = 0;
};

class SimulatorCore {
 public:
  static constexpr uint32_t kSpaceSize = 0x10000;

  // `simulatorCode` is the identity code of 0x3308 (8 for FSX); `xplane` sets 0x6FFF as the
  // X-Plane interface module does.
  explicit SimulatorCore(uint16_t simulatorCode = 8, bool xplane = false);

  // Answers one request area of `size` bytes in place: fills every read's room from the offset
  // space, applies every write. Returns the value the window answers; 0 for a bad request (an
  // unknown record, or a record or the terminator reaching past `size`), which is left as it was.
  // `used`, when given, receives how many bytes of the area the batch took (0 for a bad one).
  uint32_t HandleArea(uint8_t* area, size_t size, size_t* used = nullptr);

  void Write(uint32_t offset, const void* data, uint32_t size);
  void Read(uint32_t offset, void* data, uint32_t size) const;
  template <typename T>
  void Put(uint32_t offset, T value) {
    Write(offset, &value, sizeof value);
  }
  template <typename T>
  T Get(uint32_t offset) const {
    T value{};
    Read(offset, &value, sizeof value);
    return value;
  }

  void SetFaults(const SimFaults& faults);
  SimFaults Faults() const;
  // Called by a server for each message: decides whether (and how late) it is answered.
  enum class Answer { Now, Late, Never };
  Answer NextAnswer(int& delayMs);

  // Runs before the answer to every exchange whose first record reads `offset` (the first value
  // of the program's flight sample), outside the core's lock, so that it may write the next
  // state: a flight that moves one step per sample the program reads. Set before serving.
  void SetBeforeReading(uint32_t offset, std::function<void()> hook);

  std::vector<ControlWrite> ControlWrites() const;
  uint64_t AreasHandled() const { return areasHandled_.load(); }

 private:
  void ApplyHandshake();

  mutable std::mutex mutex_;
  std::array<uint8_t, kSpaceSize> space_{};
  uint16_t simulatorCode_;
  SimFaults faults_;
  std::vector<ControlWrite> controlWrites_;
  std::atomic<uint64_t> areasHandled_{0};
  uint32_t hookOffset_ = 0;
  std::function<void()> beforeReading_;
};

// Whether the text is a request area's name: "FSASMLIB:IPC:", the process id and the counter in
// upper-case hexadecimal, joined by ":". The servers open no shared area of any other name.
bool IsRequestAreaName(std::string_view name);

}  // namespace sky::sim
