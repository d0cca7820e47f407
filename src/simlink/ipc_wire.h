// Frames of the Unix-socket stand-in for the simulator's IPC window: the client sends the
// registered message with its parameters, and the name behind the atom it carries (the stand-in
// for the global atom table); the window answers with its return value.
#pragma once

#include <cstdint>
#include <string>

namespace sky::wire {

inline constexpr uint32_t kRequestMagic = 0x49594B53;  // "SKYI"
inline constexpr uint32_t kAnswerMagic = 0x41594B53;   // "SKYA"
inline constexpr size_t kAtomNameRoom = 48;

struct Request {
  uint32_t magic = kRequestMagic;
  uint32_t sequence = 0;
  uint32_t message = 0;
  uint32_t wParam = 0;
  uint32_t lParam = 0;
  char atomName[kAtomNameRoom] = {};  // NUL-terminated
};

struct Answer {
  uint32_t magic = kAnswerMagic;
  uint32_t sequence = 0;
  uint32_t result = 0;
  uint32_t reserved = 0;
};

static_assert(sizeof(Request) == 20 + kAtomNameRoom);
static_assert(sizeof(Answer) == 16);

// The folder that holds one socket per window class name: the user's runtime directory
// ($XDG_RUNTIME_DIR, else /tmp/runtime-<uid>), created when missing.
std::string DefaultRuntimeDir();

// "/" + area name: the POSIX shared-memory object of a request area.
std::string SharedMemoryName(const std::string& areaName);

}  // namespace sky::wire
