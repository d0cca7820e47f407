#include "demo_ports.h"

#include "platform/web_request.h"

namespace sky {

std::optional<std::string> TranscriptHttp::FetchText(const std::string& url) {
  auto text = real_.FetchText(url);
  Report(url, text ? text->size() : 0);
  return text;
}

std::optional<std::vector<uint8_t>> TranscriptHttp::FetchBytes(const std::string& url) {
  auto bytes = real_.FetchBytes(url);
  Report(url, bytes ? bytes->size() : 0);
  return bytes;
}

void TranscriptHttp::Report(const std::string& url, size_t size) {
  const HttpFailure failure = real_.LastFailure();
  print_("http: GET " + url + " -> " +
         (failure == HttpFailure::None ? std::to_string(size) + " bytes"
                                       : std::string("failed, ") + HttpFailureName(failure)));
}

}  // namespace sky
