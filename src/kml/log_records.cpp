#include "kml/log_records.h"

#include "core/numtext.h"
#include "core/ports.h"
#include "core/text.h"
#include "core/units.h"

namespace sky {

LogRecords& LogRecords::operator=(LogRecords&& other) noexcept {
  const auto oldBase = reinterpret_cast<uintptr_t>(other.text.data());
  text = std::move(other.text);
  records = std::move(other.records);
  for (std::string_view& record : records) {
    const size_t offset = reinterpret_cast<uintptr_t>(record.data()) - oldBase;
    record = std::string_view(text.data() + offset, record.size());
  }
  other.text.clear();
  other.records.clear();
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
  if (!text) throw DataError("the log cannot be read");
  LogRecords log = SplitLogRecords(std::move(*text));
  if (log.records.empty()) throw DataError("the log is empty");
  if (log.records.size() > kMaxKmlRecords) throw DataError("too many records");
  return log;
}

int16_t ToInt16(std::string_view text, std::string_view separator) {
  const int64_t value = RoundHalfEven(RequireNumber(text, separator));
  if (value < INT16_MIN || value > INT16_MAX) throw DataError("out of range");
  return static_cast<int16_t>(value);
}

std::string MetresText(std::string_view feet, std::string_view separator) {
  return KmlDecimalPoint(DefaultText(RequireNumber(feet, separator) * kMetresPerFoot, separator),
                         separator);
}

}  // namespace sky
