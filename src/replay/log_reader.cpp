#include "replay/log_reader.h"

#include <cstring>

#include "core/ports.h"

namespace sky {
namespace {

bool Readable(std::string_view line) {
  if (line.size() > kMaxRecordBytes) return false;
  for (const char c : line) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

}  // namespace

LogLineReader::LogLineReader(FileSystem& files, std::string path, size_t pieceBytes)
    : files_(files), path_(std::move(path)), pieceBytes_(pieceBytes) {}

bool LogLineReader::ReadPiece() {
  if (atEnd_) return false;
  buffer_.erase(0, at_);
  at_ = 0;
  auto piece = files_.ReadAt(path_, offset_, pieceBytes_);
  if (!piece) throw DataError("cannot read " + path_);
  offset_ += piece->size();
  atEnd_ = piece->size() < pieceBytes_;
  if (buffer_.empty()) {
    buffer_ = std::move(*piece);
  } else {
    buffer_.append(*piece);
  }
  return true;
}

bool LogLineReader::Next(std::string_view& record) {
  size_t searchFrom = at_;
  for (;;) {
    const char* begin = buffer_.data() + searchFrom;
    const void* found = std::memchr(begin, '\n', buffer_.size() - searchFrom);
    size_t end = 0;
    if (found) {
      end = static_cast<size_t>(static_cast<const char*>(found) - buffer_.data());
    } else {
      if (buffer_.size() - at_ > kMaxRecordBytes) {
        // Too long to be a record: dropped as it comes, up to its line end.
        if (!overlong_) ++skipped_;
        overlong_ = true;
        at_ = buffer_.size();
      }
      const size_t scanned = buffer_.size() - at_;
      if (ReadPiece()) {
        searchFrom = scanned;
        continue;
      }
      if (at_ == buffer_.size()) return false;
      end = buffer_.size();  // the last line, without a line end
    }
    std::string_view line(buffer_.data() + at_, end - at_);
    at_ = end < buffer_.size() ? end + 1 : end;
    searchFrom = at_;
    if (overlong_) {
      overlong_ = false;
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (!Readable(line)) {
      ++skipped_;
      continue;
    }
    record = line;
    return true;
  }
}

LogRecords ReadRecordList(FileSystem& files, const std::string& path, size_t& skipped) {
  LogRecords log;
  LogLineReader reader(files, path);
  std::vector<size_t> ends;
  for (std::string_view record; reader.Next(record);) {
    log.text.append(record);
    ends.push_back(log.text.size());
  }
  skipped = reader.skipped();
  if (ends.empty()) throw DataError("the log holds no record");
  size_t start = 0;
  log.records.reserve(ends.size());
  for (const size_t end : ends) {
    log.records.emplace_back(log.text.data() + start, end - start);
    start = end;
  }
  return log;
}

}  // namespace sky
