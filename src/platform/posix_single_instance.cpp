#ifndef _WIN32

#include "platform/posix_single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "platform/instance_key.h"

namespace sky {
namespace {

constexpr std::string_view kRequest = "front\n";

// The socket address of a path; false when the path does not fit.
bool AddressOf(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size());
  return true;
}

}  // namespace

PosixSingleInstance::PosixSingleInstance(const std::string& folder, const std::string& dataFolder) {
  const std::string base = folder + "/skytrace-" + DataFolderKey(dataFolder);
  lockPath_ = base + ".lock";
  socketPath_ = base + ".sock";
}

PosixSingleInstance::~PosixSingleInstance() {
  if (listening_ >= 0) {
    ::close(listening_);
    ::unlink(socketPath_.c_str());
  }
  if (lock_ >= 0) ::close(lock_);  // the lock goes with the file's last descriptor
}

bool PosixSingleInstance::Claim() {
  if (lock_ >= 0) return true;
  const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;  // no runtime folder to hold a lock: the rule cannot apply
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  lock_ = fd;
  // The socket a later copy finds; one left by a copy that was killed is replaced.
  sockaddr_un address;
  if (!AddressOf(socketPath_, address)) return true;
  ::unlink(socketPath_.c_str());
  const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listening < 0) return true;
  if (::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listening, 4) != 0) {
    ::close(listening);
    return true;
  }
  listening_ = listening;
  return true;
}

bool PosixSingleInstance::AskRunningCopyToFront() {
  sockaddr_un address;
  if (!AddressOf(socketPath_, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool sent = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::send(fd, kRequest.data(), kRequest.size(), MSG_NOSIGNAL) ==
                        static_cast<ssize_t>(kRequest.size());
  ::close(fd);
  return sent;
}

bool PosixSingleInstance::TakeRequest() {
  if (listening_ < 0) return false;
  bool asked = false;
  // Every waiting connection is taken; a request is the one short line, whatever else arrives.
  for (;;) {
    const int fd = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) break;
    char text[16] = {};
    // The sender writes before it closes; a short wait lets a slow one finish its line.
    for (int attempt = 0; attempt < 20; ++attempt) {
      const ssize_t got = ::recv(fd, text, sizeof text - 1, MSG_PEEK);
      if (got >= static_cast<ssize_t>(kRequest.size()) || got == 0) break;
      ::usleep(1000);
    }
    const ssize_t got = ::recv(fd, text, sizeof text - 1, 0);
    if (got > 0 && std::string_view(text, static_cast<size_t>(got)).starts_with(kRequest)) {
      asked = true;
    }
    ::close(fd);
  }
  return asked;
}

}  // namespace sky

#endif  // _WIN32
