// The logs of the animated replay read as record lists: one record per non-empty line (line ends
// CR LF or LF), read piece by piece so that a long log is never held whole.
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

  // The next record; false after the last. The view lasts until the next call. Throws
  // KmlDataError when the file cannot be read, or a line is longer than kMaxRecordBytes or holds
  // a control character (the logs are written as printable text).
  bool Next(std::string_view& record);

 private:
  bool ReadPiece();

  FileSystem& files_;
  std::string path_;
  size_t pieceBytes_;
  uint64_t offset_ = 0;  // of the next piece in the file
  bool atEnd_ = false;
  std::string buffer_;
  size_t at_ = 0;  // the first byte of the buffer not handed out yet
};

// A short log (the flight log) whole: its records in file order. Throws KmlDataError as
// LogLineReader does, and when the log holds no record.
LogRecords ReadRecordList(FileSystem& files, const std::string& path);

}  // namespace sky
