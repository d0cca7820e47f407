// The flight log as the KML writers read it: records of ":"-separated fields, one per line, and
// the number conversions every writer applies to them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/log_format.h"
#include "core/numtext.h"

namespace sky {

class FileSystem;

// The writers count records and path segments with a 16-bit signed index.
inline constexpr size_t kMaxKmlRecords = 32767;

// The whole log text and a view of each record in it, in file order. A record ends at a line
// end (CR LF, LF or a lone CR) or at a "*"; an empty line is an (unusable) empty record. A move
// takes the views along to where the text now is (a short text lives inside its string).
struct LogRecords {
  LogRecords() = default;
  LogRecords(LogRecords&& other) noexcept { *this = std::move(other); }
  LogRecords& operator=(LogRecords&& other) noexcept;
  LogRecords(const LogRecords&) = delete;
  LogRecords& operator=(const LogRecords&) = delete;

  std::string text;
  std::vector<std::string_view> records;
};

// Reads and splits the log; throws DataError when it cannot be read, is empty or holds more
// records than the writers can count.
LogRecords ReadLogRecords(FileSystem& files, const std::string& path);
// Splits a log text that is already in memory (the result owns it).
LogRecords SplitLogRecords(std::string text);

// A locale number text as a 16-bit integer, halves rounded to even; throws when out of range.
int16_t ToInt16(std::string_view text, std::string_view separator);

// Feet (a locale number text) as metres, the locale's default text with "." as decimal point.
std::string MetresText(std::string_view feet, std::string_view separator);

// Where the writers put their text: a file written in chunks, or a string.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view text) = 0;
  TextSink& operator<<(std::string_view text) {
    Write(text);
    return *this;
  }
};

class StringSink final : public TextSink {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

}  // namespace sky
