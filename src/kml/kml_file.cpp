#include "kml/kml_file.h"

#include "core/ports.h"

namespace sky {

KmlFileWriter::KmlFileWriter(FileSystem& files, std::string path, size_t chunkBytes)
    : files_(files), path_(std::move(path)), temporary_(path_ + ".tmp"), chunkBytes_(chunkBytes) {
  buffer_.reserve(chunkBytes_ + chunkBytes_ / 4);
}

KmlFileWriter::~KmlFileWriter() {
  if (started_ && !committed_) files_.Remove(temporary_);
}

void KmlFileWriter::Write(std::string_view text) {
  if (text.size() >= chunkBytes_ / 4) {
    // A large piece goes out as it stands rather than through the buffer.
    if (!buffer_.empty()) Flush();
    Put(text);
    return;
  }
  buffer_.append(text);
  if (buffer_.size() >= chunkBytes_) Flush();
}

void KmlFileWriter::Put(std::string_view bytes) {
  if (!started_) {
    // Truncates a temporary file left over from an earlier failure; whatever part of the bytes
    // a failing write leaves is removed with the writer.
    started_ = true;
    if (!files_.WriteAll(temporary_, bytes)) throw KmlWriteError("cannot write " + temporary_);
  } else if (!files_.Append(temporary_, bytes)) {
    throw KmlWriteError("cannot write " + temporary_);
  }
  flushed_ += bytes.size();
}

void KmlFileWriter::Flush() {
  Put(buffer_);
  buffer_.clear();
}

void KmlFileWriter::RewindTo(uint64_t mark) {
  if (mark >= flushed_) {
    buffer_.resize(static_cast<size_t>(mark - flushed_));
    return;
  }
  buffer_.clear();
  if (!files_.Truncate(temporary_, mark)) throw KmlWriteError("cannot cut " + temporary_);
  flushed_ = mark;
}

void KmlFileWriter::Commit() {
  if (!started_ || !buffer_.empty()) Flush();
  if (!files_.Rename(temporary_, path_)) throw KmlWriteError("cannot replace " + path_);
  committed_ = true;
}

void WriteKmlFile(FileSystem& files, const std::string& path, std::string_view text) {
  KmlFileWriter writer(files, path, text.size() + 1);
  writer.Write(text);
  writer.Commit();
}

}  // namespace sky
