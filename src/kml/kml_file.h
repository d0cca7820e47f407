// Writing a KML document so that a reader (Google Earth reloading it every second) never sees
// half a file: the text goes into "<path>.tmp", in chunks as it is built (a large piece as it
// stands), and the finished file is renamed into place.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

class FileSystem;

// A file operation that failed while a document was written.
class KmlWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class KmlFileWriter final : public TextSink {
 public:
  static constexpr size_t kDefaultChunkBytes = 1 << 20;

  // Nothing touches the file system until the first chunk is flushed or Commit runs.
  KmlFileWriter(FileSystem& files, std::string path, size_t chunkBytes = kDefaultChunkBytes);
  // An uncommitted document leaves the target as it was and removes its temporary file.
  ~KmlFileWriter() override;
  KmlFileWriter(const KmlFileWriter&) = delete;
  KmlFileWriter& operator=(const KmlFileWriter&) = delete;

  // Throws KmlWriteError when a chunk cannot be written.
  void Write(std::string_view text) override;
  // The length of the document so far, as a place to come back to.
  uint64_t Mark() const { return flushed_ + buffer_.size(); }
  // Drops everything written after `mark`, cutting the temporary file back where it is already
  // written; throws KmlWriteError.
  void RewindTo(uint64_t mark);
  // Writes the rest and renames the document into place; throws KmlWriteError.
  void Commit();

 private:
  void Flush();
  // Writes bytes to the temporary file, which the first write starts afresh.
  void Put(std::string_view bytes);

  FileSystem& files_;
  std::string path_;
  std::string temporary_;
  std::string buffer_;
  uint64_t flushed_ = 0;  // bytes in the temporary file
  size_t chunkBytes_;
  bool started_ = false;
  bool committed_ = false;
};

// A small document in one go, through the same temporary file and rename; throws KmlWriteError.
void WriteKmlFile(FileSystem& files, const std::string& path, std::string_view text);

}  // namespace sky
