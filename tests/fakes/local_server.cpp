#include "local_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "test_app.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace sky::test {

LocalServer::LocalServer() : state_(std::string(SKYTRACE_BINARY_DIR) + "/online-server") {
  std::ifstream portFile(state_ + "/port");
  portFile >> port_;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  name_ = std::string(info ? info->name() : "test") + "-" + std::to_string(std::random_device()());
}

std::string LocalServer::Root() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

std::string LocalServer::Base(const std::string& word) const {
  return Root() + (word.empty() ? "" : "/" + word) + "/" + name_;
}

void LocalServer::Put(const std::string& name, const std::string& bytes) const {
  WriteFile(state_ + "/www/" + name_ + "/" + name, bytes);
}

std::vector<std::string> LocalServer::Requests() const {
  std::ifstream log(state_ + "/requests.log", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) {
    if (line.find("/" + name_ + "/") != std::string::npos) lines.push_back(line);
  }
  return lines;
}

std::string DeadAddress() {
  // A port the system just handed out and took back: nothing listens there.
#ifdef _WIN32
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
#else
  const int s = socket(AF_INET, SOCK_STREAM, 0);
#endif
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
#ifdef _WIN32
  int length = sizeof address;
#else
  socklen_t length = sizeof address;
#endif
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
#ifdef _WIN32
  closesocket(s);
#else
  close(s);
#endif
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/nobody";
}

void CheckHttpAdapter(Http& http, const std::function<HttpFailure()>& lastFailure,
                      const HttpLimits& limits) {
  LocalServer server;
  ASSERT_TRUE(server.Running()) << "the local server is not running";
  std::string binary(limits.maxBinaryBytes, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7 % 256);
  server.Put("text.txt", std::string(limits.maxTextBytes - 4, 'x') + "\r\n1\n");
  server.Put("binary.bin", binary);
  server.Put("over.bin", binary + "!");

  struct Case {
    std::string url;
    bool asText;
    HttpFailure failure;
  } cases[] = {
      {server.Base() + "/text.txt", true, HttpFailure::None},
      {server.Base() + "/binary.bin", false, HttpFailure::None},
      {server.Base() + "/binary.bin", true, HttpFailure::TooLarge},
      {server.Base() + "/over.bin", false, HttpFailure::TooLarge},
      {server.Base("junk") + "/text.txt", true, HttpFailure::TooLarge},
      {server.Base("junk") + "/binary.bin", false, HttpFailure::TooLarge},
      {server.Base("big") + "/binary.bin", false, HttpFailure::TooLarge},
      {server.Base() + "/missing.txt", true, HttpFailure::Status},
      {DeadAddress(), true, HttpFailure::NoAnswer},
      {server.Base("slow") + "/text.txt", true, HttpFailure::TimedOut},
      {server.Base("drip") + "/text.txt", false, HttpFailure::TimedOut},
      {"file:///etc/hostname", true, HttpFailure::BadAddress},
      {"ftp://127.0.0.1/text.txt", false, HttpFailure::BadAddress},
  };
  for (const Case& c : cases) {
    const auto started = std::chrono::steady_clock::now();
    std::optional<std::string> reply;
    if (c.asText) {
      reply = http.FetchText(c.url);
    } else if (const auto bytes = http.FetchBytes(c.url)) {
      reply = std::string(bytes->begin(), bytes->end());
    }
    const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
    EXPECT_EQ(HttpFailureName(lastFailure()), std::string(HttpFailureName(c.failure))) << c.url;
    EXPECT_EQ(reply.has_value(), c.failure == HttpFailure::None) << c.url;
    EXPECT_LT(tookMs, limits.timeoutMs + 1500) << c.url;
    if (reply && c.url.find("text") != std::string::npos) {
      EXPECT_EQ(*reply, std::string(limits.maxTextBytes - 4, 'x') + "\r\n1\n");
    } else if (reply) {
      EXPECT_EQ(*reply, binary);
    }
  }

  const std::string query = "App=Kestrel&User=Jo Smith&Co #1&TimeDate=05-12-2026 10:00&x=\xC3\xA4";
  EXPECT_TRUE(http.FetchText(server.Base() + "/Submit.asp?" + query));
  const auto lines = server.Requests();
  ASSERT_FALSE(lines.empty());
  const std::string expected = "GET /" + server.Base().substr(server.Root().size() + 1) +
                               "/Submit.asp?App=Kestrel&User=Jo%20Smith&Co%20%231&TimeDate=05-12-"
                               "2026%2010:00&x=%C3%A4 HTTP/1.1";
  EXPECT_EQ(lines.back(), expected);
}

}  // namespace sky::test
