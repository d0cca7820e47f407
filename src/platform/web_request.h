// What every HTTP adapter shares: the limits of one request, the kinds of failure, and the
// address as it goes on the wire.
#pragma once

#include <cstddef>
#include <string>

namespace sky {

struct HttpLimits {
  int timeoutMs = 5000;                      // the whole request, from connecting to the last byte
  int connectTimeoutMs = 3000;               // reaching the server
  size_t maxTextBytes = 64 * 1024;           // a text reply (the version and bulletin files)
  size_t maxBinaryBytes = 16 * 1024 * 1024;  // a downloaded file (the updater, the plug-in)
};

enum class HttpFailure {
  None,
  BadAddress,  // not an http or https address
  NoAnswer,    // no connection, or it broke off
  TimedOut,    // no whole reply within the time-out
  Status,      // the server answered with a status other than 2xx
  TooLarge,    // the reply is over the size cap
};

const char* HttpFailureName(HttpFailure failure);

// True for an "http://" or "https://" address (in any letter case).
bool IsWebAddress(const std::string& url);

// The address as a request line can carry it: blanks, control characters, bytes from 0x7F on
// and "#" (which would cut the address) are percent-encoded; everything else, "&" and "%"
// included, goes as it is.
std::string RequestAddress(const std::string& url);

}  // namespace sky
