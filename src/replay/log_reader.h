// The logs of the animated replay read as record lists: one record per non-empty line (line ends
// CR LF or LF), read piece by piece so that a long log is never held whole. A line that cannot be
// a record (a crash's NUL bytes, other control characters, a line longer than any record) is
// skipped and counted, so that one damaged line never costs the whole replay.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

class FileSystem;

// No record of these logs comes near this length; a longer line is damage.
inline constexpr size_t kMaxRecordBytes = 1 << 16;

class LogLineReader {
 public:
  static constexpr size_t kDefaultPieceBytes = 1 << 20;

  LogLineReader(FileSystem& files, std::string path, size_t pieceBytes = kDefaultPieceBytes);

  // The next record; false after the last. The view lasts until the next call. A line longer
  // than kMaxRecordBytes or holding a control character (the logs are written as printable text)
  // is skipped. Throws DataError when the file cannot be read.
  bool Next(std::string_view& record);
  // The lines skipped so far.
  size_t skipped() const { return skipped_; }

 private:
  bool ReadPiece();

  FileSystem& files_;
  std::string path_;
  size_t pieceBytes_;
  uint64_t offset_ = 0;  // of the next piece in the file
  bool atEnd_ = false;
  std::string buffer_;
  size_t at_ = 0;          // the first byte of the buffer not handed out yet
  bool overlong_ = false;  // the rest of a line too long to be a record is still to come
  size_t skipped_ = 0;
};

// A short log (the flight log) whole: its records in file order; `skipped` counts the lines
// skipped as LogLineReader skips them. Throws DataError as LogLineReader does, and when the
// log holds no record.
LogRecords ReadRecordList(FileSystem& files, const std::string& path, size_t& skipped);

}  // namespace sky
