#include "core/text.h"

namespace sky {

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte (overlongs and surrogates excluded)
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

size_t FirstInvalidUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) return at;
    at += length;
  }
  return std::string_view::npos;
}

size_t Utf8CharacterCount(std::string_view text) {
  size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string CutInput(std::string_view text, size_t maxCharacters) {
  size_t end = 0;
  for (size_t characters = 0; end < text.size() && characters < maxCharacters; ++characters) {
    const size_t length = Utf8SequenceLength(text, end);
    end += length == 0 ? 1 : length;
  }
  std::string cut(text.substr(0, end));
  if (end < text.size()) cut += "...";
  return cut;
}

std::string QuotedInput(std::string_view text, size_t maxCharacters) {
  return "\"" + CutInput(text, maxCharacters) + "\"";
}

}  // namespace sky
