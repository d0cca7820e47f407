// The link to the simulator's interface module (FSUIPC, or XPUIPC for X-Plane): a batch of read
// and write requests laid out in one shared request area and exchanged by one window message.
// The module reports failures only by result codes; its callers turn them into sentences.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/link_state.h"
#include "core/sim_transport.h"

namespace sky {

// Result codes of every link operation.
enum LinkResult : int32_t {
  kLinkOk = 0,
  kLinkAlreadyOpen = 1,
  kLinkNoWindow = 2,
  kLinkNoMessage = 3,
  kLinkNoAtom = 4,
  kLinkNoArea = 5,
  kLinkNoView = 6,
  kLinkBadVersion = 7,  // handshake failed, window found under "UIPCMAIN"
  kLinkWrongSimulator = 8,
  kLinkNotOpen = 9,
  kLinkEmptyBatch = 10,
  kLinkTimedOut = 11,        // every attempt timed out without a system error code
  kLinkSendError = 12,       // the system reported an error code for the last attempt
  kLinkBadAnswer = 13,       // the simulator answered, but not with 1
  kLinkBadVersionFs98 = 14,  // handshake failed, window found under "FS98MAIN"
  kLinkTooLarge = 15,
};

// Request-area wire format: 32-bit little-endian integers, records one after the other, ended
// by a zero identifier.
inline constexpr uint32_t kAreaSize = 32768;
inline constexpr uint32_t kReadRequest = 1;   // id, offset, size, destination, room for value
inline constexpr uint32_t kWriteRequest = 2;  // id, offset, size, value
inline constexpr uint32_t kWriteHeader = 12;
inline constexpr uint32_t kTimeoutMs = 2000;
inline constexpr int kRetries = 10;
inline constexpr int kRetryPauseMs = 100;
inline constexpr int kHandshakePasses = 5;
inline constexpr int kHandshakePauseMs = 100;
inline constexpr char kIpcMessageName[] = "FSASMLIB:IPC";
inline constexpr char kMainClass[] = "UIPCMAIN";
inline constexpr char kOldClass[] = "FS98MAIN";
inline constexpr uint32_t kMinInterfaceVersion = 0x19980005;
inline constexpr uint16_t kSimulatorSignature = 0xFADE;

// Offsets of the handshake.
inline constexpr uint32_t kOffsetInterfaceVersion = 0x3304;
inline constexpr uint32_t kOffsetSimulatorVersion = 0x3308;
inline constexpr uint32_t kOffsetLibraryVersion = 0x330A;

// What a reader of the simulator's values reports: the values were read (and converted), the
// exchange failed (a lost link, which the reader leaves to its caller; no field changed), or a
// value could not be converted.
enum class ReadOutcome { Done, LinkLost, BadValue };

// The area name for a process id: "FSASMLIB:IPC:" + pid in upper-case hex + ":1".
std::string AreaName(uint32_t processId);

bool OpenLink(FsuipcLink& link, uint32_t requestedSimulator, int32_t& result);
void CloseLink(FsuipcLink& link);
bool QueueRead(FsuipcLink& link, uint32_t offset, uint32_t size, void* destination,
               int32_t& result);
bool QueueWrite(FsuipcLink& link, uint32_t offset, uint32_t size, const void* source,
                int32_t& result);
bool ProcessRequests(FsuipcLink& link, int32_t& result);

inline bool LinkIsOpen(const FsuipcLink& link) {
  return link.view != nullptr;
}

// The registered-message number that the POSIX stand-in gives a message name (both sides compute
// it the same way, in the range Windows uses for registered messages).
uint32_t RegisteredMessageNumber(const char* name);

}  // namespace sky
