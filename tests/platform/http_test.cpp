// The headless programs' HTTP client (libcurl, or WinHTTP on Windows) against the local server.
#include <gtest/gtest.h>

#include "local_server.h"
#include "platform/system_http.h"

namespace sky {
namespace {

TEST(SystemHttp, FetchesWithinItsTimeOutAndSizeCap) {
  const HttpLimits limits{800, 800, 4096, 100000};
  SystemHttp http(limits);
  test::CheckHttpAdapter(
      http, [&http] { return http.LastFailure(); }, limits);
}

}  // namespace
}  // namespace sky
