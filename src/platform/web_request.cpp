#include "platform/web_request.h"

namespace sky {

const char* HttpFailureName(HttpFailure failure) {
  switch (failure) {
    case HttpFailure::None:
      return "ok";
    case HttpFailure::BadAddress:
      return "not a web address";
    case HttpFailure::NoAnswer:
      return "no answer";
    case HttpFailure::TimedOut:
      return "timed out";
    case HttpFailure::Status:
      return "error status";
    case HttpFailure::TooLarge:
      return "too large";
  }
  return "?";
}

bool IsWebAddress(const std::string& url) {
  auto startsWith = [&url](const std::string& scheme) {
    if (url.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      const char c =
          url[i] >= 'A' && url[i] <= 'Z' ? static_cast<char>(url[i] - 'A' + 'a') : url[i];
      if (c != scheme[i]) return false;
    }
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

std::string RequestAddress(const std::string& url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address;
  address.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '#') {
      address += '%';
      address += kHex[byte >> 4];
      address += kHex[byte & 0xF];
    } else {
      address += c;
    }
  }
  return address;
}

}  // namespace sky
