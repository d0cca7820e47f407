#ifndef _WIN32

#include "skytrace-sim/posix_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "simlink/fsuipc.h"
#include "simlink/ipc_wire.h"

namespace sky::sim {
namespace {

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

bool SomeoneAnswers(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const sockaddr_un address = AddressOf(path);
  const bool alive =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return alive;
}

// Reads or writes exactly `size` bytes at the start of a shared area; false when the area is
// shorter or the call fails. Plain reads and writes rather than a mapping: an area that a client
// shrinks while it is answered can then only fail the call, never fault the server.
bool ReadArea(int fd, uint8_t* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t got = ::pread(fd, data + done, size - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool WriteArea(int fd, const uint8_t* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t put = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

using SteadyClock = std::chrono::steady_clock;

// Bounds that keep one client from holding up the others: answers it has not taken beyond this
// stop the reading of its requests until it takes them, and each pass serves at most this many
// of its requests before the next client's turn.
constexpr size_t kMaxUnsentBytes = 64 * sizeof(wire::Answer);
constexpr int kRequestsPerTurn = 16;
constexpr size_t kMaxClients = 64;

struct Client {
  uint64_t id = 0;
  int fd = -1;
  std::vector<uint8_t> received;  // bytes of requests not yet served
  std::vector<uint8_t> unsent;    // answers the client has not taken yet
  bool HasRequest() const { return received.size() >= sizeof(wire::Request); }
  bool Blocked() const { return unsent.size() >= kMaxUnsentBytes; }
  // More requests are read only while the client takes its answers and few requests wait.
  bool Reads() const {
    return !Blocked() && received.size() < kRequestsPerTurn * sizeof(wire::Request);
  }
};

// A message the simulator answers only after a while.
struct LateAnswer {
  uint64_t client = 0;
  SteadyClock::time_point due;
  wire::Request request;
};

void Close(Client& client) {
  if (client.fd >= 0) ::close(client.fd);
  client.fd = -1;
}

// Sends what the client will take without waiting; a client that went away is closed.
void Flush(Client& client) {
  while (!client.unsent.empty() && client.fd >= 0) {
    const ssize_t sent =
        ::send(client.fd, client.unsent.data(), client.unsent.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (sent <= 0) {
      Close(client);
      return;
    }
    client.unsent.erase(client.unsent.begin(), client.unsent.begin() + sent);
  }
}

}  // namespace

PosixSimServer::PosixSimServer(SimulatorCore& core, PosixServerOptions options)
    : core_(core), options_(std::move(options)) {
  if (options_.runtimeDir.empty()) options_.runtimeDir = wire::DefaultRuntimeDir();
  path_ = options_.runtimeDir + "/" + options_.className;
}

PosixSimServer::~PosixSimServer() {
  Stop();
}

bool PosixSimServer::Start() {
  if (path_.size() >= sizeof(sockaddr_un::sun_path)) {
    error_ = "socket path too long: " + path_;
    return false;
  }
  if (SomeoneAnswers(path_)) {
    error_ = "another simulator already answers on " + path_;
    return false;
  }
  ::unlink(path_.c_str());
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un address = AddressOf(path_);
  if (listenFd_ < 0 ||
      ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 8) != 0 || ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
    error_ = std::string("cannot listen on ") + path_ + ": " + std::strerror(errno);
    Stop();
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void PosixSimServer::Stop() {
  if (thread_.joinable()) {
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFds_[1], &wake, 1);
    thread_.join();
  }
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(path_.c_str());
    listenFd_ = -1;
  }
  for (int& fd : wakeFds_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void PosixSimServer::Run() {
  std::vector<Client> clients;
  std::vector<LateAnswer> late;
  uint64_t nextClient = 1;
  auto reply = [this](Client& client, const wire::Request& request) {
    wire::Answer answer;
    answer.sequence = request.sequence;
    answer.result = Answer(request);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&answer);
    client.unsent.insert(client.unsent.end(), bytes, bytes + sizeof answer);
  };
  for (;;) {
    // Wait for the next frame, client or late answer; at once while requests wait their turn.
    const auto now = SteadyClock::now();
    int timeoutMs = -1;
    for (const LateAnswer& answer : late) {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(answer.due - now).count();
      const int ms = static_cast<int>(std::max<int64_t>(0, wait));
      timeoutMs = timeoutMs < 0 ? ms : std::min(timeoutMs, ms);
    }
    std::vector<pollfd> polled{{wakeFds_[0], POLLIN, 0}, {listenFd_, POLLIN, 0}};
    for (const Client& client : clients) {
      if (client.HasRequest() && !client.Blocked()) timeoutMs = 0;
      const short events =
          static_cast<short>((client.Reads() ? POLLIN : 0) | (client.unsent.empty() ? 0 : POLLOUT));
      polled.push_back({client.fd, events, 0});
    }
    if (::poll(polled.data(), polled.size(), timeoutMs) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (polled[0].revents) break;
    if (polled[1].revents & POLLIN) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0 && clients.size() >= kMaxClients) {
        ::close(fd);
      } else if (fd >= 0) {
        clients.push_back({nextClient++, fd, {}, {}});
      }
    }
    for (size_t i = 2; i < polled.size(); ++i) {
      Client& client = clients[i - 2];
      const short events = polled[i].revents;
      if ((events & (POLLIN | POLLHUP | POLLERR)) && client.Reads()) {
        uint8_t buffer[4096];
        const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
          Close(client);
          continue;
        }
        if (got > 0) client.received.insert(client.received.end(), buffer, buffer + got);
      }
      // This client's turn: a few of its requests, as long as it takes its answers.
      for (int served = 0; served < kRequestsPerTurn && client.HasRequest() && !client.Blocked();
           ++served) {
        wire::Request request;
        std::memcpy(&request, client.received.data(), sizeof request);
        client.received.erase(client.received.begin(),
                              client.received.begin() + sizeof(wire::Request));
        int delayMs = 0;
        switch (core_.NextAnswer(delayMs)) {
          case SimulatorCore::Answer::Never:
            break;
          case SimulatorCore::Answer::Late:
            late.push_back(
                {client.id, SteadyClock::now() + std::chrono::milliseconds(delayMs), request});
            break;
          case SimulatorCore::Answer::Now:
            reply(client, request);
            break;
        }
      }
      Flush(client);
    }
    // Late answers that are due go to their clients, if these are still there.
    const auto due = SteadyClock::now();
    for (LateAnswer& answer : late) {
      if (answer.due > due) continue;
      for (Client& client : clients) {
        if (client.id != answer.client || client.fd < 0) continue;
        reply(client, answer.request);
        Flush(client);
      }
      answer.client = 0;
    }
    std::erase_if(late, [](const LateAnswer& answer) { return answer.client == 0; });
    std::erase_if(clients, [](const Client& client) { return client.fd < 0; });
  }
  for (Client& client : clients) Close(client);
}

uint32_t PosixSimServer::Answer(const wire::Request& request) {
  if (request.magic != wire::kRequestMagic ||
      request.message != RegisteredMessageNumber(kIpcMessageName)) {
    return 0;
  }
  // Only a request area of the format's name and size is answered: anything else is a bad
  // request, answered 0 without reading or writing a byte of it.
  const std::string atomName(request.atomName, strnlen(request.atomName, sizeof request.atomName));
  if (!IsRequestAreaName(atomName)) return 0;
  const int fd = ::shm_open(wire::SharedMemoryName(atomName).c_str(), O_RDWR, 0);
  if (fd < 0) return 0;
  struct stat status {};
  uint32_t answer = 0;
  size_t used = 0;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
      status.st_size >= static_cast<off_t>(kAreaSize) && ReadArea(fd, area_.data(), area_.size())) {
    answer = core_.HandleArea(area_.data(), area_.size(), &used);
    if (used > 0 && !WriteArea(fd, area_.data(), used)) answer = 0;
  }
  ::close(fd);
  return answer;
}

}  // namespace sky::sim

#endif  // _WIN32
