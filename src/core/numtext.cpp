#include "core/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/text.h"

namespace sky {
namespace {

std::string WithSeparator(std::string text, std::string_view separator) {
  if (const auto dot = text.find('.'); dot != std::string::npos && separator != ".") {
    text.replace(dot, 1, separator);
  }
  return text;
}

// General format with `digits` significant digits (locale-independent), the exponent written
// with a capital "E" and at least two digits ("1.5E-05").
std::string GeneralText(double value, int digits) {
  if (value == 0) return "0";  // also for -0
  char buffer[64];
  const auto done =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  std::string text(buffer, done.ptr);
  if (const auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
  return text;
}

}  // namespace

std::string DefaultText(double value, std::string_view separator) {
  return WithSeparator(GeneralText(value, 15), separator);
}

std::string SingleText(float value, std::string_view separator) {
  return WithSeparator(GeneralText(static_cast<double>(value), 7), separator);
}

std::string PlainText(double value, std::string_view separator) {
  std::string text = GeneralText(value, 15);
  if (text.find('E') == std::string::npos) return WithSeparator(std::move(text), separator);
  // Write the 15 significant digits out in full: enough decimals for the smallest digit.
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = exponent < 0 ? 14 - exponent : (exponent < 14 ? 14 - exponent : 0);
  char buffer[400];
  const auto done =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  text.assign(buffer, done.ptr);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return WithSeparator(std::move(text), separator);
}

std::string PlainSingleText(float value, std::string_view separator) {
  if (value == 0) return "0";  // also for -0
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
  // The shortest digits that read back as the same single ("3.4028235e+38"), written out.
  char buffer[32];
  const auto done =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<size_t>(done.ptr - buffer));
  const size_t e = text.find('e');
  const bool negative = text[0] == '-';
  std::string digits;
  for (const char c : text.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
    if (c != '.') digits += c;
  }
  const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  std::string plain = negative ? "-" : "";
  if (exponent < 0) {
    plain += "0.";
    plain.append(static_cast<size_t>(-exponent - 1), '0');
    plain += digits;
  } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
    plain += digits;
    plain.append(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    plain += digits.substr(0, static_cast<size_t>(exponent) + 1);
    plain += '.';
    plain += digits.substr(static_cast<size_t>(exponent) + 1);
  }
  return WithSeparator(std::move(plain), separator);
}

std::string CutDecimals(std::string text, std::string_view separator, size_t decimals) {
  const size_t at = separator.empty() ? std::string::npos : text.find(separator);
  const size_t keep = at == std::string::npos ? decimals : at + separator.size() + decimals;
  if (text.size() > keep) text.resize(keep);
  if (!text.empty() && text.back() == 'E') text.pop_back();
  return text;
}

std::string WholePart(std::string text, std::string_view separator) {
  if (const size_t at = separator.empty() ? std::string::npos : text.find(separator);
      at != std::string::npos) {
    text.resize(at);
  }
  return text;
}

int64_t Floor64(double value) {
  // Clamped, so that no input can overflow the conversion.
  if (!(value > -9.2e18)) return value != value ? 0 : INT64_MIN;
  if (value >= 9.2e18) return INT64_MAX;
  return static_cast<int64_t>(std::floor(value));
}

std::string FloorText(double value) {
  return std::to_string(Floor64(value));
}

int64_t RoundHalfEven(double value) {
  return Floor64(std::nearbyint(value));
}

std::optional<double> ParseNumber(std::string_view text, std::string_view separator) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  // Checks the form; the number is then read in place, or from a copy when its plus sign or a
  // separator other than "." must go.
  size_t i = begin;
  bool plus = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) plus = text[i++] == '+';
  bool digits = false;
  size_t point = std::string_view::npos;
  size_t pointSize = 0;
  while (i < end) {
    if (text[i] >= '0' && text[i] <= '9') {
      ++i;
      digits = true;
    } else if (point == std::string_view::npos && !separator.empty() &&
               text.compare(i, separator.size(), separator) == 0) {
      point = i;
      pointSize = separator.size();
      i += pointSize;
    } else if (point == std::string_view::npos && text[i] == '.') {
      point = i;
      pointSize = 1;
      ++i;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < end && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    bool exponentDigits = false;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
      ++i;
      exponentDigits = true;
    }
    if (!exponentDigits) return std::nullopt;
  }
  if (i != end) return std::nullopt;

  std::string_view number = text.substr(begin, end - begin);
  std::string copy;
  const bool otherPoint = point != std::string_view::npos && (pointSize != 1 || text[point] != '.');
  if (plus || otherPoint) {
    copy.assign(
        text.substr(begin + (plus ? 1 : 0),
                    (point == std::string_view::npos ? end : point) - begin - (plus ? 1 : 0)));
    if (point != std::string_view::npos) {
      copy += '.';
      copy.append(text.substr(point + pointSize, end - point - pointSize));
    }
    number = copy;
  }
  double value = 0;
  const auto done = std::from_chars(number.data(), number.data() + number.size(), value);
  if (done.ec != std::errc() || done.ptr != number.data() + number.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

double RequireNumber(std::string_view text, std::string_view separator) {
  const auto value = ParseNumber(text, separator);
  if (!value) throw DataError("not a number: " + QuotedInput(text));
  return *value;
}

std::string KmlDecimalPoint(std::string_view text, std::string_view separator) {
  const auto at = separator.empty() ? std::string_view::npos : text.find(separator);
  if (at == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size() + 1);
  result.append(text.substr(0, at)).append(".").append(text.substr(at + separator.size()));
  return result;
}

std::string FormatDigits(std::string_view digits, std::string_view pattern) {
  std::string out(pattern);
  long next = static_cast<long>(digits.size()) - 1;
  size_t firstPlace = std::string::npos;
  for (long i = static_cast<long>(out.size()) - 1; i >= 0; --i) {
    if (out[i] != '0') continue;
    firstPlace = static_cast<size_t>(i);
    out[i] = next >= 0 ? digits[next--] : '0';
  }
  if (next >= 0 && firstPlace != std::string::npos) {
    out.insert(firstPlace, digits.substr(0, static_cast<size_t>(next + 1)));
  }
  return out;
}

}  // namespace sky
