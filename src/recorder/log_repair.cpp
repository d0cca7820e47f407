#include "recorder/log_repair.h"

#include <cstdint>
#include <string_view>

#include "core/ports.h"

namespace sky {

void CutUnfinishedLine(FileSystem& files, const std::string& log) {
  constexpr uint64_t kPiece = 1 << 16;
  const auto size = files.FileSize(log);
  if (!size || *size == 0) return;
  // Back from the end, a piece at a time, to the last line end.
  uint64_t whole = 0;
  for (uint64_t end = *size; end > 0;) {
    const uint64_t start = end > kPiece ? end - kPiece : 0;
    const auto piece = files.ReadAt(log, start, static_cast<size_t>(end - start));
    if (!piece || piece->size() != end - start) return;
    const size_t found = std::string_view(*piece).find_last_of("\r\n");
    if (found != std::string_view::npos) {
      whole = start + found + 1;
      break;
    }
    end = start;
  }
  if (whole < *size) files.Truncate(log, whole);
}

}  // namespace sky
