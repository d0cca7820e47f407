#include "core/log_format.h"

#include "core/numtext.h"

namespace sky {

RecordFields::RecordFields(std::string_view record, size_t minimum) {
  size_t start = 0;
  for (;;) {
    const size_t colon = record.find(':', start);
    if (count_ < fields_.size()) fields_[count_] = record.substr(start, colon - start);
    ++count_;
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (count_ < minimum) throw DataError("a record has too few fields");
}

}  // namespace sky
