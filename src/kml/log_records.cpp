#include "kml/log_records.h"

#include "core/numtext.h"
#include "core/ports.h"
#include "core/text.h"

namespace sky {

LogRecords& LogRecords::operator=(LogRecords&& other) noexcept {
  const char* from = other.text.data();
  text = std::move(other.text);
  records = std::move(other.records);
  for (std::string_view& record : records) {
    record = std::string_view(text.data() + (record.data() - from), record.size());
  }
  return *this;
}

LogRecords SplitLogRecords(std::string text) {
  LogRecords log;
  log.text = std::move(text);
  ForEachLine(log.text, [&log](std::string_view line) {
    for (size_t from = 0;;) {
      const size_t star = line.find('*', from);
      log.records.push_back(line.substr(from, star - from));
      if (star == std::string_view::npos) break;
      from = star + 1;
    }
    return true;
  });
  return log;
}

LogRecords ReadLogRecords(FileSystem& files, const std::string& path) {
  auto text = files.ReadAll(path);
  if (!text) throw KmlDataError("the log cannot be read");
  LogRecords log = SplitLogRecords(std::move(*text));
  if (log.records.empty()) throw KmlDataError("the log is empty");
  if (log.records.size() > kMaxKmlRecords) throw KmlDataError("too many records");
  return log;
}

RecordFields::RecordFields(std::string_view record, size_t minimum) {
  size_t start = 0;
  for (;;) {
    const size_t colon = record.find(':', start);
    if (count_ < fields_.size()) fields_[count_] = record.substr(start, colon - start);
    ++count_;
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (count_ < minimum) throw KmlDataError("a record has too few fields");
}

double ToNumber(std::string_view text, std::string_view separator) {
  const auto value = ParseNumber(text, separator);
  if (!value) throw KmlDataError("not a number: " + std::string(text));
  return *value;
}

int16_t ToInt16(std::string_view text, std::string_view separator) {
  const int64_t value = RoundHalfEven(ToNumber(text, separator));
  if (value < INT16_MIN || value > INT16_MAX) throw KmlDataError("out of range");
  return static_cast<int16_t>(value);
}

std::string MetresText(std::string_view feet, std::string_view separator) {
  return KmlDecimalPoint(DefaultText(ToNumber(feet, separator) * 0.3048, separator), separator);
}

}  // namespace sky
