// The demo's own ports: the machine's system information with the decimal separator and the
// user name the command line fixes, and the system's HTTP client reporting to the transcript.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/numtext.h"
#include "core/ports.h"
#include "platform/system_http.h"
#ifdef _WIN32
#include "platform/win32_platform.h"
#else
#include "platform/posix_platform.h"
#endif

namespace sky {

// System information of the machine, with the decimal separator and the user name fixed by the
// command line.
class DemoSystemInfo final : public SystemInfo {
 public:
  DemoSystemInfo(std::string separator, std::optional<std::string> user)
      : separator_(std::move(separator)), user_(std::move(user)) {}
  std::optional<std::string> UserName() override { return user_ ? user_ : real_.UserName(); }
  std::optional<FileVersion> FileVersionOf(const std::string& path) override {
    return real_.FileVersionOf(path);
  }
  std::optional<OsVersion> OperatingSystem() override { return real_.OperatingSystem(); }
  std::string LocaleNumberText(double value) override {
    return separator_.empty() ? real_.LocaleNumberText(value) : DefaultText(value, separator_);
  }

 private:
  std::string separator_;
  std::optional<std::string> user_;
#ifdef _WIN32
  Win32SystemInfo real_;
#else
  PosixSystemInfo real_;
#endif
};

// The system's HTTP client, each request reported to the transcript with its outcome.
class TranscriptHttp final : public Http {
 public:
  explicit TranscriptHttp(std::function<void(const std::string&)> print)
      : print_(std::move(print)) {}
  std::optional<std::string> FetchText(const std::string& url) override;
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string& url) override;

 private:
  void Report(const std::string& url, size_t size);
  SystemHttp real_;
  std::function<void(const std::string&)> print_;
};

}  // namespace sky
