#include "platform/std_files.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace sky {
namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 texts in the program.
fs::path PathOf(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

constexpr size_t kChunkBytes = 1 << 16;

#ifndef _WIN32

// An open file descriptor, closed with the object.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (a late write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Opens a regular file only. The open never waits (on a pipe without a reader, say), and whatever
// else stands at the path (a folder, a pipe, a device or a link to one) is refused.
Descriptor OpenRegular(const std::string& path, int flags, struct stat* status = nullptr) {
  Descriptor file(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
  if (!file.ok()) return file;
  struct stat own {};
  struct stat& st = status ? *status : own;
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return Descriptor(-1);
  const int mode = ::fcntl(file.get(), F_GETFL);
  if (mode < 0 || ::fcntl(file.get(), F_SETFL, mode & ~O_NONBLOCK) != 0) return Descriptor(-1);
  return file;
}

bool WriteFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

std::optional<std::string> Read(const std::string& path, size_t maxBytes) {
  Descriptor file = OpenRegular(path, O_RDONLY);
  if (!file.ok()) return std::nullopt;
  try {
    std::string text;
    char buffer[kChunkBytes];
    while (text.size() < maxBytes) {
      const size_t want = std::min(sizeof buffer, maxBytes - text.size());
      const ssize_t got = ::read(file.get(), buffer, want);
      if (got < 0) {
        if (errno == EINTR) continue;
        return std::nullopt;
      }
      if (got == 0) break;
      text.append(buffer, static_cast<size_t>(got));
    }
    return text;
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a file too large to hold
  }
}

// At most `maxBytes` bytes from `offset` on, straight into the result.
std::optional<std::string> ReadFrom(const std::string& path, uint64_t offset, size_t maxBytes) {
  Descriptor file = OpenRegular(path, O_RDONLY);
  struct stat st {};
  if (!file.ok() || ::fstat(file.get(), &st) != 0) return std::nullopt;
  const auto size = static_cast<uint64_t>(st.st_size);
  std::string text;
  if (offset >= size) return text;
  try {
    text.resize(static_cast<size_t>(std::min<uint64_t>(maxBytes, size - offset)));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t got = ::pread(file.get(), text.data() + done, text.size() - done,
                                static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  text.resize(done);
  return text;
}

#else  // _WIN32

// Whether something other than a regular file stands at the path.
bool NotAFile(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(PathOf(path), error);
  return fs::exists(status) && !fs::is_regular_file(status);
}

std::optional<std::string> Read(const std::string& path, size_t maxBytes) {
  if (NotAFile(path)) return std::nullopt;
  std::ifstream in(PathOf(path), std::ios::binary);
  if (!in) return std::nullopt;
  try {
    std::string text;
    char buffer[kChunkBytes];
    while (text.size() < maxBytes && in) {
      in.read(buffer,
              static_cast<std::streamsize>(std::min(sizeof buffer, maxBytes - text.size())));
      text.append(buffer, static_cast<size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return text;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<std::string> ReadFrom(const std::string& path, uint64_t offset, size_t maxBytes) {
  if (NotAFile(path)) return std::nullopt;
  std::ifstream in(PathOf(path), std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const auto end = static_cast<std::streamoff>(in.tellg());
  if (end < 0) return std::nullopt;
  std::string text;
  const auto size = static_cast<uint64_t>(end);
  if (offset >= size) return text;
  try {
    text.resize(static_cast<size_t>(std::min<uint64_t>(maxBytes, size - offset)));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

#endif  // _WIN32

}  // namespace

bool StdFileSystem::Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(PathOf(path), error);
}

bool StdFileSystem::CreateDirectories(const std::string& path) {
  std::error_code error;
  fs::create_directories(PathOf(path), error);
  return fs::is_directory(PathOf(path), error);
}

std::optional<std::string> StdFileSystem::ReadAll(const std::string& path) {
  return Read(path, static_cast<size_t>(-1));
}

std::optional<uint64_t> StdFileSystem::FileSize(const std::string& path) {
#ifndef _WIN32
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(status.st_size);
#else
  std::error_code error;
  const fs::file_status status = fs::status(PathOf(path), error);
  if (error || !fs::is_regular_file(status)) return std::nullopt;
  const uintmax_t size = fs::file_size(PathOf(path), error);
  if (error) return std::nullopt;
  return static_cast<uint64_t>(size);
#endif
}

std::optional<std::string> StdFileSystem::ReadHead(const std::string& path, size_t maxBytes) {
  return Read(path, maxBytes);
}

std::optional<std::string> StdFileSystem::ReadAt(const std::string& path, uint64_t offset,
                                                 size_t maxBytes) {
  return ReadFrom(path, offset, maxBytes);
}

#ifndef _WIN32

bool StdFileSystem::Append(const std::string& path, std::string_view bytes) {
  struct stat before {};
  Descriptor file = OpenRegular(path, O_WRONLY | O_APPEND | O_CREAT, &before);
  if (!file.ok()) return false;
  if (WriteFully(file.get(), bytes) && file.Close()) return true;
  // Whole or nothing: what a failed write left of the bytes is cut away again.
  if (file.ok()) {
    [[maybe_unused]] const int cut = ::ftruncate(file.get(), before.st_size);
  } else {
    [[maybe_unused]] const int cut = ::truncate(path.c_str(), before.st_size);
  }
  return false;
}

bool StdFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
  Descriptor file = OpenRegular(path, O_WRONLY | O_CREAT | O_TRUNC);
  return file.ok() && WriteFully(file.get(), bytes) && file.Close();
}

bool StdFileSystem::Remove(const std::string& path) {
  return ::unlink(path.c_str()) == 0;  // a folder is not a file: it stays
}

bool StdFileSystem::Copy(const std::string& from, const std::string& to) {
  Descriptor source = OpenRegular(from, O_RDONLY);
  if (!source.ok()) return false;
  Descriptor target = OpenRegular(to, O_WRONLY | O_CREAT | O_TRUNC);
  if (!target.ok()) return false;
  char buffer[kChunkBytes];
  for (;;) {
    const ssize_t got = ::read(source.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    if (!WriteFully(target.get(), std::string_view(buffer, static_cast<size_t>(got)))) {
      return false;
    }
  }
  return target.Close();
}

bool StdFileSystem::Truncate(const std::string& path, uint64_t size) {
  Descriptor file = OpenRegular(path, O_WRONLY);
  return file.ok() && ::ftruncate(file.get(), static_cast<off_t>(size)) == 0 && file.Close();
}

#else  // _WIN32

bool StdFileSystem::Append(const std::string& path, std::string_view bytes) {
  if (NotAFile(path)) return false;
  std::error_code error;
  const uintmax_t size = fs::exists(PathOf(path), error) ? fs::file_size(PathOf(path), error) : 0;
  if (error) return false;
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out.fail()) return true;
  fs::resize_file(PathOf(path), size, error);  // whole or nothing
  return false;
}

bool StdFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
  if (NotAFile(path)) return false;
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool StdFileSystem::Remove(const std::string& path) {
  if (NotAFile(path)) return false;
  std::error_code error;
  return fs::remove(PathOf(path), error) && !error;
}

bool StdFileSystem::Copy(const std::string& from, const std::string& to) {
  if (NotAFile(from) || NotAFile(to)) return false;
  std::error_code error;
  fs::copy_file(PathOf(from), PathOf(to), fs::copy_options::overwrite_existing, error);
  return !error;
}

bool StdFileSystem::Truncate(const std::string& path, uint64_t size) {
  if (NotAFile(path)) return false;
  std::error_code error;
  fs::resize_file(PathOf(path), size, error);
  return !error;
}

#endif  // _WIN32

bool StdFileSystem::Rename(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(PathOf(from), PathOf(to), error);
  return !error;
}

std::vector<std::string> StdFileSystem::List(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(PathOf(folder), error), end; !error && it != end;
       it.increment(error)) {
    const std::u8string name = it->path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  return names;
}

std::optional<std::string> StdFileSystem::RealPath(const std::string& path) {
  std::error_code error;
  fs::path real = fs::absolute(PathOf(path), error);
  if (error) return std::nullopt;
  // A link at the end is followed by hand: the canonical form keeps a dangling link as it is,
  // yet creating the file would follow it.
  for (int hops = 0; fs::is_symlink(fs::symlink_status(real, error)); ++hops) {
    if (hops == 40) return std::nullopt;
    const fs::path target = fs::read_symlink(real, error);
    if (error) return std::nullopt;
    real = target.is_absolute() ? target : real.parent_path() / target;
  }
  real = fs::weakly_canonical(real, error);
  if (error) return std::nullopt;
  const std::u8string text = real.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace sky
