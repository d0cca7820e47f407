#include "simlink/fsuipc.h"

#include <cstdio>
#include <cstring>

#include "core/ports.h"

namespace sky {
namespace {

void Put32(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
  at[2] = static_cast<uint8_t>(value >> 16);
  at[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
         static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

bool Fits(const FsuipcLink& link, uint32_t header, uint32_t size) {
  const uint64_t queued = static_cast<uint64_t>(link.next - link.view);
  return queued + 4 + header + static_cast<uint64_t>(size) <= kBatchLimit;
}

void EmptyBatch(FsuipcLink& link) {
  link.next = link.view;
  link.destinationCount = 0;
}

void Pause(FsuipcLink& link, int milliseconds) {
  if (link.clock) link.clock->Sleep(milliseconds);
}

}  // namespace

std::string AreaName(uint32_t processId) {
  char text[40];
  std::snprintf(text, sizeof text, "%s:%X:%X", kIpcMessageName, processId, 1u);
  std::string name(text);
  if (name.size() > 23) name.resize(23);  // a field of 24 characters, the NUL included
  return name;
}

uint32_t RegisteredMessageNumber(const char* name) {
  uint32_t hash = 2166136261u;
  for (const char* c = name; *c; ++c) {
    hash ^= static_cast<uint8_t>(*c);
    hash *= 16777619u;
  }
  return 0xC000u + hash % 0x4000u;
}

bool OpenLink(FsuipcLink& link, uint32_t requestedSimulator, int32_t& result) {
  if (link.view) {
    result = kLinkAlreadyOpen;
    return false;
  }
  link.InterfaceVersion = 0;
  link.SimulatorVersion = 0;
  SimTransport& transport = *link.transport;

  bool olderClass = false;
  link.targetWindow = transport.FindWindowByClass(kMainClass);
  if (!link.targetWindow) {
    link.targetWindow = transport.FindWindowByClass(kOldClass);
    olderClass = true;
  }
  if (!link.targetWindow) {
    result = kLinkNoWindow;
    return false;
  }
  link.messageId = transport.RegisterMessage(kIpcMessageName);
  if (!link.messageId) {
    CloseLink(link);
    result = kLinkNoMessage;
    return false;
  }
  const std::string name = AreaName(transport.ProcessId());
  link.atom = transport.AddAtom(name.c_str());
  if (!link.atom) {
    CloseLink(link);
    result = kLinkNoAtom;
    return false;
  }
  bool existed = false;
  link.mapping = transport.CreateMapping(name.c_str(), kAreaSize, existed);
  if (!link.mapping || existed) {
    CloseLink(link);
    result = kLinkNoArea;
    return false;
  }
  link.view = transport.MapView(link.mapping, kAreaSize);
  if (!link.view) {
    CloseLink(link);
    result = kLinkNoView;
    return false;
  }
  EmptyBatch(link);

  for (int pass = 0;
       pass < kHandshakePasses && (link.InterfaceVersion == 0 || link.SimulatorVersion == 0);
       ++pass) {
    if (!QueueRead(link, kOffsetInterfaceVersion, 4, &link.InterfaceVersion, result) ||
        !QueueRead(link, kOffsetSimulatorVersion, 4, &link.SimulatorVersion, result)) {
      CloseLink(link);
      return false;
    }
    int32_t writeResult = kLinkOk;
    if (!QueueWrite(link, kOffsetLibraryVersion, 2, &link.libraryVersion, writeResult) &&
        pass == 0) {
      CloseLink(link);
      result = writeResult;
      return false;
    }
    if (!ProcessRequests(link, result)) {
      CloseLink(link);
      return false;
    }
    Pause(link, kHandshakePauseMs);
  }

  if (link.InterfaceVersion < static_cast<int32_t>(kMinInterfaceVersion) ||
      (link.SimulatorVersion >> 16) != kSimulatorSignature) {
    CloseLink(link);
    result = olderClass ? kLinkBadVersionFs98 : kLinkBadVersion;
    return false;
  }
  link.SimulatorVersion &= 0xFFFFu;
  if (requestedSimulator == 0 || requestedSimulator == link.SimulatorVersion) {
    result = kLinkOk;
    return true;
  }
  CloseLink(link);
  result = kLinkWrongSimulator;
  return false;
}

void CloseLink(FsuipcLink& link) {
  link.targetWindow = 0;
  link.messageId = 0;
  link.next = nullptr;
  link.destinationCount = 0;
  if (!link.transport) return;
  if (link.atom) {
    link.transport->DeleteAtom(link.atom);
    link.atom = 0;
  }
  if (link.view) {
    link.transport->UnmapView(link.view, kAreaSize);
    link.view = nullptr;
  }
  if (link.mapping) {
    link.transport->CloseMapping(link.mapping);
    link.mapping = 0;
  }
}

bool QueueRead(FsuipcLink& link, uint32_t offset, uint32_t size, void* destination,
               int32_t& result) {
  if (!link.view) {
    result = kLinkNotOpen;
    return false;
  }
  if (!Fits(link, kReadHeader, size)) {
    result = kLinkTooLarge;
    return false;
  }
  uint32_t ticket = 0;
  if (destination) {
    link.destinationSizes[link.destinationCount] = size;
    link.destinations[link.destinationCount++] = destination;
    ticket = link.destinationCount;
  }
  Put32(link.next, kReadRequest);
  Put32(link.next + 4, offset);
  Put32(link.next + 8, size);
  Put32(link.next + 12, ticket);
  std::memset(link.next + kReadHeader, 0, size);
  link.next += kReadHeader + size;
  result = kLinkOk;
  return true;
}

bool QueueWrite(FsuipcLink& link, uint32_t offset, uint32_t size, const void* source,
                int32_t& result) {
  if (!link.view) {
    result = kLinkNotOpen;
    return false;
  }
  if (!Fits(link, kWriteHeader, size)) {
    result = kLinkTooLarge;
    return false;
  }
  Put32(link.next, kWriteRequest);
  Put32(link.next + 4, offset);
  Put32(link.next + 8, size);
  if (size) std::memcpy(link.next + kWriteHeader, source, size);
  link.next += kWriteHeader + size;
  result = kLinkOk;
  return true;
}

bool ProcessRequests(FsuipcLink& link, int32_t& result) {
  if (!link.view) {
    result = kLinkNotOpen;
    return false;
  }
  if (link.next == link.view) {
    result = kLinkEmptyBatch;
    return false;
  }
  Put32(link.next, 0);
  link.next = link.view;
  const uint32_t pending = link.destinationCount;
  link.destinationCount = 0;

  SendOutcome outcome =
      link.transport->Send(link.targetWindow, link.messageId, link.atom, 0, kTimeoutMs);
  for (int retry = 0; retry < kRetries && !outcome.delivered; ++retry) {
    Pause(link, kRetryPauseMs);
    outcome = link.transport->Send(link.targetWindow, link.messageId, link.atom, 0, kTimeoutMs);
  }
  if (!outcome.delivered) {
    result = outcome.errorCode ? kLinkSendError : kLinkTimedOut;
    return false;
  }
  if (outcome.answer != 1) {
    result = kLinkBadAnswer;
    return false;
  }

  const uint8_t* const end = link.view + kBatchLimit;
  const uint8_t* at = link.view;
  while (at + 4 <= end) {
    const uint32_t id = Get32(at) & 0xFFFFu;
    if (id == 0) {
      result = kLinkOk;
      return true;
    }
    if ((id != kReadRequest && id != kWriteRequest) || at + kReadHeader > end) break;
    const uint32_t size = Get32(at + 8);
    const uint32_t header = id == kReadRequest ? kReadHeader : kWriteHeader;
    if (size > static_cast<uint64_t>(end - at) - header) break;
    if (id == kReadRequest) {
      const uint32_t ticket = Get32(at + 12);
      if (ticket && size && ticket <= pending) {
        const uint32_t wanted = link.destinationSizes[ticket - 1];
        std::memcpy(link.destinations[ticket - 1], at + kReadHeader, size < wanted ? size : wanted);
      }
    }
    at += header + size;
  }
  // An identifier the client never writes: the area was not answered as sent.
  return false;
}

}  // namespace sky
