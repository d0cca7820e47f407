#ifdef _WIN32

// clang-format off
#include <windows.h>
#include <winhttp.h>
// clang-format on

#include <algorithm>

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

}  // namespace

struct SystemHttp::Session {
  HINTERNET handle = nullptr;
};

SystemHttp::SystemHttp(HttpLimits limits) : limits_(limits), session_(std::make_unique<Session>()) {
  session_->handle = WinHttpOpen(L"Skytrace flightlogger", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

SystemHttp::~SystemHttp() {
  if (session_->handle) WinHttpCloseHandle(session_->handle);
}

std::optional<std::string> SystemHttp::Fetch(const std::string& url, size_t maxBytes) {
  last_ = HttpFailure::BadAddress;
  if (!IsWebAddress(url)) return std::nullopt;
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

  last_ = HttpFailure::NoAnswer;
  if (!session_->handle) return std::nullopt;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limits_.timeoutMs);
  // Each blocking call may take at most what is left of the time-out.
  auto remaining = [deadline] {
    const ULONGLONG now = GetTickCount64();
    return static_cast<int>(now >= deadline ? 1 : std::min<ULONGLONG>(deadline - now, 0x7FFFFFFF));
  };
  const Handle connection(WinHttpConnect(session_->handle, host.c_str(), parts.nPort, 0));
  if (!connection.get()) return std::nullopt;
  const Handle request(
      WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                         WINHTTP_DEFAULT_ACCEPT_TYPES,
                         parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request.get()) return std::nullopt;
  const int connectMs = std::min(limits_.connectTimeoutMs, limits_.timeoutMs);
  WinHttpSetTimeouts(request.get(), connectMs, connectMs, limits_.timeoutMs, limits_.timeoutMs);
  DWORD redirects = 3;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                   sizeof redirects);

  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0)) {
    last_ = LastError();
    return std::nullopt;
  }
  DWORD wait = static_cast<DWORD>(remaining());
  WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
  if (!WinHttpReceiveResponse(request.get(), nullptr)) {
    last_ = LastError();
    return std::nullopt;
  }
  DWORD status = 0;
  if (!QueryNumber(request.get(), WINHTTP_QUERY_STATUS_CODE, status) || status < 200 ||
      status > 299) {
    last_ = HttpFailure::Status;
    return std::nullopt;
  }
  DWORD announced = 0;
  if (QueryNumber(request.get(), WINHTTP_QUERY_CONTENT_LENGTH, announced) && announced > maxBytes) {
    last_ = HttpFailure::TooLarge;
    return std::nullopt;
  }

  std::string body;
  for (;;) {
    if (GetTickCount64() >= deadline) {
      last_ = HttpFailure::TimedOut;
      return std::nullopt;
    }
    wait = static_cast<DWORD>(remaining());
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) {
      last_ = LastError();
      return std::nullopt;
    }
    if (available == 0) break;
    if (body.size() + available > maxBytes) {
      last_ = HttpFailure::TooLarge;
      return std::nullopt;
    }
    const size_t at = body.size();
    body.resize(at + available);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), body.data() + at, available, &read)) {
      last_ = LastError();
      return std::nullopt;
    }
    body.resize(at + read);
  }
  last_ = HttpFailure::None;
  return body;
}

std::optional<std::string> SystemHttp::FetchText(const std::string& url) {
  return Fetch(url, limits_.maxTextBytes);
}

std::optional<std::vector<uint8_t>> SystemHttp::FetchBytes(const std::string& url) {
  auto bytes = Fetch(url, limits_.maxBinaryBytes);
  if (!bytes) return std::nullopt;
  return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

}  // namespace sky

#endif  // _WIN32
