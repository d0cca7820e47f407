#ifndef _WIN32

#include "skytrace-sim/posix_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
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

struct Client {
  int fd = -1;
  std::vector<uint8_t> pending;
};

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
  for (;;) {
    std::vector<pollfd> polled{{wakeFds_[0], POLLIN, 0}, {listenFd_, POLLIN, 0}};
    for (const Client& client : clients) polled.push_back({client.fd, POLLIN, 0});
    if (::poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (polled[0].revents) break;
    if (polled[1].revents & POLLIN) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) clients.push_back({fd, {}});
    }
    for (size_t i = 2; i < polled.size(); ++i) {
      if (!polled[i].revents) continue;
      Client& client = clients[i - 2];
      uint8_t buffer[4096];
      const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, 0);
      if (got <= 0) {
        ::close(client.fd);
        client.fd = -1;
        continue;
      }
      client.pending.insert(client.pending.end(), buffer, buffer + got);
      while (client.pending.size() >= sizeof(wire::Request)) {
        wire::Request request;
        std::memcpy(&request, client.pending.data(), sizeof request);
        client.pending.erase(client.pending.begin(),
                             client.pending.begin() + sizeof(wire::Request));
        int delayMs = 0;
        const auto when = core_.NextAnswer(delayMs);
        if (when == SimulatorCore::Answer::Never) continue;
        if (when == SimulatorCore::Answer::Late) {
          std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        }
        wire::Answer answer;
        answer.sequence = request.sequence;
        answer.result = Answer(request);
        ::send(client.fd, &answer, sizeof answer, MSG_NOSIGNAL);
      }
    }
    std::erase_if(clients, [](const Client& client) { return client.fd < 0; });
  }
  for (Client& client : clients) ::close(client.fd);
}

uint32_t PosixSimServer::Answer(const wire::Request& request) {
  if (request.magic != wire::kRequestMagic ||
      request.message != RegisteredMessageNumber(kIpcMessageName)) {
    return 0;
  }
  std::string atomName(request.atomName, strnlen(request.atomName, sizeof request.atomName));
  const int fd = ::shm_open(wire::SharedMemoryName(atomName).c_str(), O_RDWR, 0);
  if (fd < 0) return 0;
  void* view = ::mmap(nullptr, kAreaSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  ::close(fd);
  if (view == MAP_FAILED) return 0;
  const uint32_t answer = core_.HandleArea(static_cast<uint8_t*>(view), kBatchLimit);
  ::munmap(view, kAreaSize);
  return answer;
}

}  // namespace sky::sim

#endif  // _WIN32
