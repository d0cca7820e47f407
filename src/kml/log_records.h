// The flight log as the KML writers read it: records of ":"-separated fields, one per line, and
// the number conversions every writer applies to them.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sky {

class FileSystem;

// A log, a record or a value that a KML writer cannot use.
class KmlDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The writers count records and path segments with a 16-bit signed index.
inline constexpr size_t kMaxKmlRecords = 32767;

// The whole log text and a view of each record in it, in file order. A record ends at a line
// end (CR LF, LF or a lone CR) or at a "*"; an empty line is an (unusable) empty record.
struct LogRecords {
  std::string text;
  std::vector<std::string_view> records;  // views into `text`

  LogRecords() = default;
  // A move takes the views along: a short text lives inside the string object itself, and its
  // bytes move to the new one.
  LogRecords(LogRecords&& other) noexcept { *this = std::move(other); }
  LogRecords& operator=(LogRecords&& other) noexcept;
  LogRecords(const LogRecords&) = delete;
  LogRecords& operator=(const LogRecords&) = delete;
};

// Reads and splits the log; throws KmlDataError when it cannot be read, is empty or holds more
// records than the writers can count.
LogRecords ReadLogRecords(FileSystem& files, const std::string& path);
// Splits a log text that is already in memory (the result owns it).
LogRecords SplitLogRecords(std::string text);

// The fields of one record, numbered from 1 as in the log format.
class RecordFields {
 public:
  // Throws KmlDataError when the record has fewer than `minimum` fields.
  RecordFields(std::string_view record, size_t minimum);
  std::string_view operator[](size_t number) const { return fields_.at(number - 1); }
  size_t count() const { return count_; }

 private:
  std::array<std::string_view, 13> fields_{};
  size_t count_ = 0;
};

// The first record of a logging run carries "-" as its previous time stamp.
inline bool StartsLoggingRun(std::string_view record) {
  return !record.empty() && record.back() == '-';
}

// A locale number text as a number; throws KmlDataError when it is none.
double ToNumber(std::string_view text, std::string_view separator);
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
