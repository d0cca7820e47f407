#include "demo_runtime.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "simlink/fsuipc.h"
#include "simlink/ipc_wire.h"
#endif

namespace sky {

#ifdef _WIN32

DemoRuntimeFolder::~DemoRuntimeFolder() = default;

bool DemoRuntimeFolder::Make(bool) {
  return true;
}

#else

namespace {

constexpr char kRuntimePrefix[] = "skytrace-demo-";

void RemoveFoldersOfEndedDemos(const std::filesystem::path& temporary) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(temporary, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(kRuntimePrefix)) continue;
    char* rest = nullptr;
    const long processId = std::strtol(name.c_str() + sizeof kRuntimePrefix - 1, &rest, 10);
    if (processId <= 0 || *rest != '-') continue;
    if (::kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      std::filesystem::remove_all(it->path(), ignored);
    }
  }
}

// What a terminating signal removes before the demo ends: the simulator's socket, the program's
// request area and the runtime folder. Fixed buffers, filled before the handler is installed,
// and only calls that are safe in a signal handler.
struct SignalCleanup {
  char socket[512] = {};
  char area[64] = {};
  char folder[512] = {};
};
SignalCleanup signalCleanup;

void CleanUpAndEnd(int signal) {
  ::unlink(signalCleanup.socket);
  ::shm_unlink(signalCleanup.area);
  ::rmdir(signalCleanup.folder);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void CleanUpOnSignals(const std::string& folder, const std::string& socket,
                      const std::string& area) {
  if (folder.size() >= sizeof signalCleanup.folder ||
      socket.size() >= sizeof signalCleanup.socket || area.size() >= sizeof signalCleanup.area) {
    return;
  }
  std::memcpy(signalCleanup.folder, folder.c_str(), folder.size() + 1);
  std::memcpy(signalCleanup.socket, socket.c_str(), socket.size() + 1);
  std::memcpy(signalCleanup.area, area.c_str(), area.size() + 1);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(signal, CleanUpAndEnd);
}

}  // namespace

DemoRuntimeFolder::~DemoRuntimeFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool DemoRuntimeFolder::Make(bool cleanUpOnSignals) {
  std::error_code noTemporary;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(noTemporary);
  if (noTemporary) temporary = "/tmp";
  RemoveFoldersOfEndedDemos(temporary);
  std::string pattern =
      (temporary / (kRuntimePrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return false;
  path_ = pattern;
  if (cleanUpOnSignals) {
    CleanUpOnSignals(path_, path_ + "/UIPCMAIN",
                     wire::SharedMemoryName(AreaName(static_cast<uint32_t>(::getpid()))));
  }
  return true;
}

#endif  // _WIN32

}  // namespace sky
