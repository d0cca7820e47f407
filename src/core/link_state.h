// The state of the link to the simulator's interface module, one per process. The program-wide
// record holds it; only the link's own procedures change it.
#pragma once

#include <array>
#include <cstdint>

namespace sky {

class Clock;
class SimTransport;

// The part of the request area a batch may use, and the size of a read request's header: the
// most read requests one batch can hold is their quotient.
inline constexpr uint32_t kBatchLimit = 32512;  // bytes beyond this are never used
inline constexpr uint32_t kReadHeader = 16;

struct FsuipcLink {
  SimTransport* transport = nullptr;
  Clock* clock = nullptr;  // for the handshake and retry pauses

  uintptr_t targetWindow = 0;
  uint32_t messageId = 0;
  uint16_t atom = 0;
  uintptr_t mapping = 0;
  uint8_t* view = nullptr;  // the link counts as open exactly while this is set
  uint8_t* next = nullptr;  // where the next request goes; equals view when the batch is empty
  int32_t InterfaceVersion = 0;
  uint32_t SimulatorVersion = 0;  // after a good handshake: the simulator identity code
  uint32_t libraryVersion = 0;    // never set; its low half is written during the handshake

  // The area's 32-bit destination field cannot hold a 64-bit address, so a read request
  // carries a ticket (index + 1) into this table; 0 means "no destination". The simulator
  // side never looks at the field.
  std::array<void*, kBatchLimit / kReadHeader> destinations{};
  std::array<uint32_t, kBatchLimit / kReadHeader> destinationSizes{};  // never copy beyond these
  uint32_t destinationCount = 0;
};

}  // namespace sky
