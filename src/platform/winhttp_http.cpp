#ifdef _WIN32

// clang-format off
#include <windows.h>
#include <winhttp.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/system_http.h"

namespace sky {
namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

class Handle {
 public:
  explicit Handle(HINTERNET handle) : handle_(handle) {}
  ~Handle() {
    if (handle_) WinHttpCloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

HttpFailure LastError() {
  return GetLastError() == ERROR_WINHTTP_TIMEOUT ? HttpFailure::TimedOut : HttpFailure::NoAnswer;
}

bool QueryNumber(HINTERNET request, DWORD what, DWORD& value) {
  DWORD size = sizeof value;
  return WinHttpQueryHeaders(request, what | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &value, &size,
                             WINHTTP_NO_HEADER_INDEX) != FALSE;
}

// One request, blocking; `last` tells why it failed. WinHTTP's own time-outs do not bound every
// wait (a server that accepts and never answers can hold the response for long), so the caller
// runs this on a worker and stops waiting at the deadline.
std::optional<std::string> FetchBlocking(const std::string& url, size_t maxBytes,
                                         const HttpLimits& limits, HttpFailure& last) {
  last = HttpFailure::BadAddress;
  const std::wstring address = Wide(RequestAddress(url));
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return std::nullopt;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  last = HttpFailure::NoAnswer;
  const Handle session(WinHttpOpen(L"Skytrace flightlogger", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session.get()) return std::nullopt;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limits.timeoutMs);
  // Each blocking call may take at most what is left of the time-out.
  auto remaining = [deadline] {
    const ULONGLONG now = GetTickCount64();
    return static_cast<int>(now >= deadline ? 1 : std::min<ULONGLONG>(deadline - now, 0x7FFFFFFF));
  };
  const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection.get()) return std::nullopt;
  const Handle request(
      WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                         WINHTTP_DEFAULT_ACCEPT_TYPES,
                         parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request.get()) return std::nullopt;
  const int connectMs = std::min(limits.connectTimeoutMs, limits.timeoutMs);
  WinHttpSetTimeouts(request.get(), connectMs, connectMs, limits.timeoutMs, limits.timeoutMs);
  DWORD redirects = 3;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                   sizeof redirects);

  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0)) {
    last = LastError();
    return std::nullopt;
  }
  DWORD wait = static_cast<DWORD>(remaining());
  WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
  WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait, sizeof wait);
  if (!WinHttpReceiveResponse(request.get(), nullptr)) {
    last = LastError();
    return std::nullopt;
  }
  DWORD status = 0;
  if (!QueryNumber(request.get(), WINHTTP_QUERY_STATUS_CODE, status) || status < 200 ||
      status > 299) {
    last = HttpFailure::Status;
    return std::nullopt;
  }
  DWORD announced = 0;
  if (QueryNumber(request.get(), WINHTTP_QUERY_CONTENT_LENGTH, announced) && announced > maxBytes) {
    last = HttpFailure::TooLarge;
    return std::nullopt;
  }

  std::string body;
  for (;;) {
    if (GetTickCount64() >= deadline) {
      last = HttpFailure::TimedOut;
      return std::nullopt;
    }
    wait = static_cast<DWORD>(remaining());
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) {
      last = LastError();
      return std::nullopt;
    }
    if (available == 0) break;
    if (body.size() + available > maxBytes) {
      last = HttpFailure::TooLarge;
      return std::nullopt;
    }
    const size_t at = body.size();
    body.resize(at + available);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), body.data() + at, available, &read)) {
      last = LastError();
      return std::nullopt;
    }
    body.resize(at + read);
  }
  last = HttpFailure::None;
  return body;
}

struct Outcome {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::optional<std::string> body;
  HttpFailure failure = HttpFailure::NoAnswer;
};

}  // namespace

SystemHttp::SystemHttp(HttpLimits limits) : limits_(limits) {}

std::optional<std::string> SystemHttp::Fetch(const std::string& url, size_t maxBytes) {
  last_ = HttpFailure::BadAddress;
  if (!IsWebAddress(url)) return std::nullopt;
  // The worker keeps what it shares alive by itself: after a time-out it ends on its own.
  auto outcome = std::make_shared<Outcome>();
  std::thread([outcome, url, maxBytes, limits = limits_] {
    HttpFailure failure = HttpFailure::NoAnswer;
    auto body = FetchBlocking(url, maxBytes, limits, failure);
    const std::lock_guard<std::mutex> lock(outcome->mutex);
    outcome->body = std::move(body);
    outcome->failure = failure;
    outcome->done = true;
    outcome->ended.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(outcome->mutex);
  if (!outcome->ended.wait_for(lock, std::chrono::milliseconds(limits_.timeoutMs),
                               [&outcome] { return outcome->done; })) {
    last_ = HttpFailure::TimedOut;
    return std::nullopt;
  }
  last_ = outcome->failure;
  return std::move(outcome->body);
}

}  // namespace sky

#endif  // _WIN32
