// The HTTP port for the programs and tests without a user-interface toolkit: libcurl on POSIX
// systems, WinHTTP on Windows. Every request is bounded by a time-out and a size cap, goes to
// http and https addresses only, and blocks until it ends.
#pragma once

#include "core/ports.h"
#include "platform/web_request.h"

namespace sky {

class SystemHttp final : public Http {
 public:
  explicit SystemHttp(HttpLimits limits = {});
  std::optional<std::string> FetchText(const std::string& url) override {
    return Fetch(url, limits_.maxTextBytes);
  }
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string& url) override {
    auto bytes = Fetch(url, limits_.maxBinaryBytes);
    if (!bytes) return std::nullopt;
    return std::vector<uint8_t>(bytes->begin(), bytes->end());
  }
  // Why the last request failed; None when it succeeded.
  HttpFailure LastFailure() const { return last_; }

 private:
  // The reply's body, of at most `maxBytes`; the platform's own request.
  std::optional<std::string> Fetch(const std::string& url, size_t maxBytes);
  HttpLimits limits_;
  HttpFailure last_ = HttpFailure::None;
};

}  // namespace sky
