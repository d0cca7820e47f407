#ifndef _WIN32

#include "simlink/transport_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "simlink/fsuipc.h"
#include "simlink/ipc_wire.h"

namespace sky {

namespace wire {

std::string DefaultRuntimeDir() {
  if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) return dir;
  std::string dir = "/tmp/runtime-" + std::to_string(getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

std::string SharedMemoryName(const std::string& areaName) {
  return "/" + areaName;
}

}  // namespace wire

namespace {

int ConnectTo(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool WriteAllBytes(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t written = ::send(fd, bytes, size, MSG_NOSIGNAL);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Removes the request areas that ended processes left in the shared-memory folder: a killed
// program cannot remove its own, and Windows removes such areas with their process. An area's
// name carries its process id in hexadecimal ("FSASMLIB:IPC:1A2C:1").
void RemoveAreasOfEndedProcesses() {
  constexpr std::string_view kPrefix = "FSASMLIB:IPC:";
  DIR* folder = ::opendir("/dev/shm");
  if (!folder) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(kPrefix)) continue;
    const std::string_view rest = name.substr(kPrefix.size());
    unsigned long processId = 0;
    const auto done = std::from_chars(rest.data(), rest.data() + rest.size(), processId, 16);
    if (done.ec != std::errc() || done.ptr == rest.data() || *done.ptr != ':' || processId == 0 ||
        processId > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())) {
      continue;
    }
    if (::kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH) {
      ::shm_unlink(("/" + std::string(name)).c_str());
    }
  }
  ::closedir(folder);
}

}  // namespace

PosixTransport::PosixTransport(PosixTransportOptions options) : options_(std::move(options)) {
  if (options_.runtimeDir.empty()) options_.runtimeDir = wire::DefaultRuntimeDir();
}

PosixTransport::~PosixTransport() {
  for (auto& [handle, window] : windows_) Disconnect(window);
  for (auto& [handle, mapping] : mappings_) {
    ::close(mapping.fd);
    ::shm_unlink(mapping.shmName.c_str());
  }
}

uint32_t PosixTransport::ProcessId() {
  return static_cast<uint32_t>(::getpid());
}

void PosixTransport::Disconnect(Window& window) {
  if (window.fd >= 0) ::close(window.fd);
  window.fd = -1;
}

uintptr_t PosixTransport::FindWindowByClass(const char* className) {
  uintptr_t handle = 0;
  for (auto& [h, window] : windows_) {
    if (window.className == className) handle = h;
  }
  const int fd = ConnectTo(options_.runtimeDir + "/" + className);
  if (fd < 0) {
    if (handle) Disconnect(windows_[handle]);
    return 0;
  }
  if (!handle) {
    handle = nextHandle_++;
    windows_[handle].className = className;
  }
  Disconnect(windows_[handle]);
  windows_[handle].fd = fd;
  return handle;
}

uint32_t PosixTransport::RegisterMessage(const char* name) {
  return RegisteredMessageNumber(name);
}

uint16_t PosixTransport::AddAtom(const char* name) {
  for (const auto& [atom, text] : atoms_) {
    if (text == name) return atom;
  }
  const uint16_t atom = nextAtom_++;
  atoms_[atom] = name;
  return atom;
}

void PosixTransport::DeleteAtom(uint16_t atom) {
  atoms_.erase(atom);
}

uintptr_t PosixTransport::CreateMapping(const char* name, uint32_t size, bool& alreadyExisted) {
  alreadyExisted = false;
  RemoveAreasOfEndedProcesses();
  const std::string shmName = wire::SharedMemoryName(name);
  int fd = ::shm_open(shmName.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  if (fd < 0 && errno == EEXIST && !ownAreas_.count(shmName)) {
    // The name carries our process id, so an area we do not hold is the leftover of an ended
    // process that had the same id. Windows removes such areas with their process; do the same.
    ::shm_unlink(shmName.c_str());
    fd = ::shm_open(shmName.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  }
  if (fd < 0) {
    alreadyExisted = errno == EEXIST;
    return 0;
  }
  if (::ftruncate(fd, size) != 0) {
    ::close(fd);
    ::shm_unlink(shmName.c_str());
    return 0;
  }
  const uintptr_t handle = nextHandle_++;
  mappings_[handle] = Mapping{shmName, fd};
  ownAreas_.insert(shmName);
  return handle;
}

uint8_t* PosixTransport::MapView(uintptr_t mapping, uint32_t size) {
  const auto found = mappings_.find(mapping);
  if (found == mappings_.end()) return nullptr;
  void* view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, found->second.fd, 0);
  return view == MAP_FAILED ? nullptr : static_cast<uint8_t*>(view);
}

void PosixTransport::UnmapView(uint8_t* view, uint32_t size) {
  ::munmap(view, size);
}

void PosixTransport::CloseMapping(uintptr_t mapping) {
  const auto found = mappings_.find(mapping);
  if (found == mappings_.end()) return;
  ::close(found->second.fd);
  ::shm_unlink(found->second.shmName.c_str());
  ownAreas_.erase(found->second.shmName);
  mappings_.erase(found);
}

SendOutcome PosixTransport::Send(uintptr_t window, uint32_t message, uint32_t wParam,
                                 uint32_t lParam, uint32_t timeoutMs) {
  const auto found = windows_.find(window);
  if (found == windows_.end() || found->second.fd < 0) return {false, 0, EBADF};
  Window& target = found->second;

  wire::Request request;
  request.sequence = ++sequence_;
  request.message = message;
  request.wParam = wParam;
  request.lParam = lParam;
  if (const auto atom = atoms_.find(static_cast<uint16_t>(wParam)); atom != atoms_.end()) {
    std::strncpy(request.atomName, atom->second.c_str(), sizeof request.atomName - 1);
  }
  if (!WriteAllBytes(target.fd, &request, sizeof request)) {
    const uint32_t error = static_cast<uint32_t>(errno);
    Disconnect(target);
    return {false, 0, error ? error : EPIPE};
  }

  if (options_.timeoutCapMs && timeoutMs > options_.timeoutCapMs) timeoutMs = options_.timeoutCapMs;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  wire::Answer answer;
  size_t have = 0;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {false, 0, 0};
    pollfd poller{target.fd, POLLIN, 0};
    const int ready = ::poll(&poller, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return {false, 0, ready < 0 ? static_cast<uint32_t>(errno) : 0};
    const ssize_t got =
        ::recv(target.fd, reinterpret_cast<uint8_t*>(&answer) + have, sizeof answer - have, 0);
    if (got <= 0) {
      if (got < 0 && errno == EINTR) continue;
      const uint32_t error = got < 0 ? static_cast<uint32_t>(errno) : ECONNRESET;
      Disconnect(target);
      return {false, 0, error};
    }
    have += static_cast<size_t>(got);
    if (have < sizeof answer) continue;
    have = 0;
    // An answer to an earlier, timed-out attempt arrives late: drop it and keep waiting.
    if (answer.magic == wire::kAnswerMagic && answer.sequence == request.sequence) {
      return {true, answer.result, 0};
    }
  }
}

}  // namespace sky

#endif  // _WIN32
