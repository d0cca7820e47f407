#include "skytrace-sim/live_network.h"

#include <algorithm>

#ifndef _WIN32
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>
#endif

namespace sky::sim {

std::optional<HostPort> ParseHostPort(std::string_view text, uint16_t defaultPort) {
  HostPort address;
  std::string_view port = text;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    address.host = std::string(text.substr(1, close - 1));
    port = text.substr(close + 1);
    if (!port.empty() && port.front() != ':') return std::nullopt;
    if (!port.empty()) port.remove_prefix(1);
  } else if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
    if (colon == 0 || text.find(':', colon + 1) != std::string_view::npos) return std::nullopt;
    address.host = std::string(text.substr(0, colon));
    port = text.substr(colon + 1);
  } else if (!text.empty() &&
             !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    address.host = std::string(text);  // a host alone
    port = {};
  }
  if (port.empty()) {
    if (defaultPort == 0) return std::nullopt;
    address.port = defaultPort;
    return address;
  }
  if (port.size() > 5 ||
      !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int number = std::stoi(std::string(port));
  if (number < 1 || number > 65535) return std::nullopt;
  address.port = static_cast<uint16_t>(number);
  return address;
}

#ifndef _WIN32

namespace {

std::string Describe(const HostPort& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

// A socket of the type connected to the address (for UDP: fixed as the only peer), not
// blocking; -1 with the reason when there is none.
int Connect(const HostPort& address, int type, int timeoutMs, std::string& error) {
  addrinfo hints{};
  hints.ai_socktype = type;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(address.port);
  // A datagram socket "connects" to whatever address comes first, answered or not: IPv4 first
  // for it, as simulators listen there ("localhost" may name ::1 first).
  int failed = 0;
  for (const int family : {type == SOCK_DGRAM ? AF_INET : AF_UNSPEC, AF_UNSPEC}) {
    hints.ai_family = family;
    failed = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found);
    if (!failed) break;
  }
  if (failed) {
    error = std::string("unknown host (") + ::gai_strerror(failed) + ")";
    return -1;
  }
  int fd = -1;
  error = "no address";
  for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
    fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) {
      error = std::strerror(errno);
      continue;
    }
    int status = ::connect(fd, a->ai_addr, a->ai_addrlen);
    if (status != 0 && errno == EINPROGRESS) {
      pollfd poller{fd, POLLOUT, 0};
      if (::poll(&poller, 1, timeoutMs) == 1) {
        int code = 0;
        socklen_t length = sizeof code;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &code, &length);
        errno = code;
        status = code == 0 ? 0 : -1;
      } else {
        errno = ETIMEDOUT;
      }
    }
    if (status != 0) {
      error = std::strerror(errno);
      ::close(fd);
      fd = -1;
    }
  }
  ::freeaddrinfo(found);
  return fd;
}

bool Readable(int fd, int waitMs) {
  pollfd poller{fd, POLLIN, 0};
  return ::poll(&poller, 1, std::max(waitMs, 0)) > 0;
}

}  // namespace

FlightGearLink::FlightGearLink(HostPort address, FlightGearTiming timing, int connectTimeoutMs)
    : address_(std::move(address)), session_(timing), connectTimeoutMs_(connectTimeoutMs) {}

FlightGearLink::~FlightGearLink() {
  Close();
}

std::string FlightGearLink::Name() const {
  return "FlightGear at " + Describe(address_);
}

bool FlightGearLink::Open(int64_t nowMs, std::string& error) {
  Close();
  fd_ = Connect(address_, SOCK_STREAM, connectTimeoutMs_, error);
  if (fd_ < 0) return false;
  session_.Restart(nowMs);
  outgoing_.clear();
  return true;
}

void FlightGearLink::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool FlightGearLink::Pump(int64_t nowMs, int waitMs, std::string& error) {
  if (fd_ < 0) {
    error = "not connected";
    return false;
  }
  outgoing_ += session_.Due(nowMs);
  while (!outgoing_.empty()) {
    const ssize_t sent = ::send(fd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      error = std::strerror(errno);
      return false;
    }
    outgoing_.erase(0, static_cast<size_t>(sent));
  }
  // Requests are sent only when the earlier ones are answered, so this stays small unless
  // FlightGear stops reading.
  if (outgoing_.size() > (1u << 20)) {
    error = "FlightGear does not take its requests";
    return false;
  }
  if (!Readable(fd_, waitMs)) return true;
  char buffer[8192];
  for (;;) {
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
    if (got == 0) {
      error = "FlightGear closed the connection";
      return false;
    }
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      error = std::strerror(errno);
      return false;
    }
    if (!session_.Received(std::string_view(buffer, static_cast<size_t>(got)), nowMs)) {
      error = "answers that are not FlightGear's";
      return false;
    }
  }
}

XPlaneLink::XPlaneLink(HostPort address) : address_(std::move(address)) {}

XPlaneLink::~XPlaneLink() {
  Close();
}

std::string XPlaneLink::Name() const {
  return "X-Plane at " + Describe(address_);
}

bool XPlaneLink::Open(int64_t, std::string& error) {
  Close();
  fd_ = Connect(address_, SOCK_DGRAM, 0, error);
  if (fd_ < 0) return false;
  session_.Restart();
  for (const std::string& request : session_.Requests(true)) {
    // A refusal here only means that X-Plane is not there yet; the silence tells.
    [[maybe_unused]] const ssize_t sent = ::send(fd_, request.data(), request.size(), MSG_NOSIGNAL);
  }
  return true;
}

void XPlaneLink::Close() {
  if (fd_ < 0) return;
  for (const std::string& request : session_.Requests(false)) {
    [[maybe_unused]] const ssize_t sent = ::send(fd_, request.data(), request.size(), MSG_NOSIGNAL);
  }
  ::close(fd_);
  fd_ = -1;
}

bool XPlaneLink::Pump(int64_t nowMs, int waitMs, std::string& error) {
  if (fd_ < 0) {
    error = "not connected";
    return false;
  }
  if (!Readable(fd_, waitMs)) return true;
  // Larger than any datagram, so that none is cut.
  std::vector<uint8_t> buffer(65536);
  for (;;) {
    const ssize_t got = ::recv(fd_, buffer.data(), buffer.size(), 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      // Nothing more, or X-Plane's port is closed (it is not running): the silence tells.
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED) return true;
      error = std::strerror(errno);
      return false;
    }
    session_.Received(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(got)), nowMs);
  }
}

void RunLiveBridge(LiveSimulator& simulator, SimulatorCore& core, LinkSwitch link,
                   const volatile std::sig_atomic_t& stop) {
  const auto start = std::chrono::steady_clock::now();
  auto nowMs = [start] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
  };
  LiveBridge bridge(simulator, core, std::move(link), {}, [](const std::string& text) {
    const std::time_t now = std::time(nullptr);
    char clock[16] = "";
    if (const std::tm* local = std::localtime(&now))
      std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    std::printf("skytrace-sim: %s %s\n", clock, text.c_str());
    std::fflush(stdout);
  });
  while (!stop) {
    bridge.Step(nowMs(), 50);
    if (!bridge.Connected()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  bridge.Stop();
}

#endif  // _WIN32

}  // namespace sky::sim
