#ifndef _WIN32

#include "platform/system_http.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace sky {
namespace {

struct Body {
  std::string bytes;
  size_t maxBytes = 0;
  bool tooLarge = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  const size_t length = size * count;
  if (body->bytes.size() + length > body->maxBytes) {
    body->tooLarge = true;
    return 0;  // ends the transfer
  }
  body->bytes.append(data, length);
  return length;
}

HttpFailure FailureOf(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return HttpFailure::TimedOut;
    case CURLE_FILESIZE_EXCEEDED:
      return HttpFailure::TooLarge;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return HttpFailure::BadAddress;
    default:
      return HttpFailure::NoAnswer;
  }
}

}  // namespace

SystemHttp::SystemHttp(HttpLimits limits) : limits_(limits) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::optional<std::string> SystemHttp::Fetch(const std::string& url, size_t maxBytes) {
  last_ = HttpFailure::BadAddress;
  if (!IsWebAddress(url)) return std::nullopt;
  const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
  last_ = HttpFailure::NoAnswer;
  if (!curl) return std::nullopt;
  CURL* h = curl.get();
  Body body;
  body.maxBytes = maxBytes;
  const std::string address = RequestAddress(url);
  curl_easy_setopt(h, CURLOPT_URL, address.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 3L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.timeoutMs));
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeoutMs));
  curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
  curl_easy_setopt(h, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
  curl_easy_setopt(h, CURLOPT_USERAGENT, "Skytrace flightlogger");
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);

  const CURLcode code = curl_easy_perform(h);
  if (body.tooLarge) {
    last_ = HttpFailure::TooLarge;
    return std::nullopt;
  }
  if (code != CURLE_OK) {
    last_ = FailureOf(code);
    return std::nullopt;
  }
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299) {
    last_ = HttpFailure::Status;
    return std::nullopt;
  }
  last_ = HttpFailure::None;
  return std::move(body.bytes);
}

}  // namespace sky

#endif  // _WIN32
