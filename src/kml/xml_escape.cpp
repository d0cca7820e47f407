#include "kml/xml_escape.h"

#include <cstdint>

namespace sky {
namespace {

// The length of the valid UTF-8 sequence starting at `at`, 0 when it is not one.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  size_t length = 0;
  uint32_t point = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    point = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    point = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return 0;
    point = (point << 6) | (byte(at + i) & 0x3Fu);
  }
  // Overlong forms, surrogates, values beyond U+10FFFF and the two non-characters XML forbids.
  if ((length == 3 && point < 0x800) || (length == 4 && point < 0x10000)) return 0;
  if ((point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) return 0;
  if (point == 0xFFFE || point == 0xFFFF) return 0;
  return length;
}

bool NeedsWork(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') {
      return true;
    }
  }
  return false;
}

}  // namespace

void AppendXmlEscaped(std::string& out, std::string_view text) {
  if (!NeedsWork(text)) {
    out.append(text);
    return;
  }
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto byte = static_cast<uint8_t>(c);
    if (byte >= 0x80) {
      const size_t length = Utf8Length(text, i);
      if (length == 0) {
        out.append("\xEF\xBF\xBD");  // U+FFFD
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      case '\'':
        out.append("&apos;");
        break;
      case '\t':
      case '\n':
      case '\r':
        out.push_back(c);
        break;
      default:
        if (byte >= 0x20) out.push_back(c);
        break;
    }
    ++i;
  }
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendXmlEscaped(out, text);
  return out;
}

}  // namespace sky
