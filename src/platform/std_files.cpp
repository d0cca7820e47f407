#include "platform/std_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace sky {
namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 texts in the program.
fs::path PathOf(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::optional<std::string> Read(const std::string& path, size_t maxBytes) {
  std::error_code error;
  if (fs::is_directory(PathOf(path), error)) return std::nullopt;
  std::ifstream in(PathOf(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buffer[1 << 16];
  while (text.size() < maxBytes && in) {
    in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, maxBytes - text.size())));
    text.append(buffer, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return text;
}

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

bool StdFileSystem::Append(const std::string& path, std::string_view bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

std::optional<std::string> StdFileSystem::ReadAll(const std::string& path) {
  return Read(path, static_cast<size_t>(-1));
}

std::optional<std::string> StdFileSystem::ReadHead(const std::string& path, size_t maxBytes) {
  return Read(path, maxBytes);
}

std::optional<std::string> StdFileSystem::ReadAt(const std::string& path, uint64_t offset,
                                                 size_t maxBytes) {
  std::error_code error;
  if (fs::is_directory(PathOf(path), error)) return std::nullopt;
  std::ifstream in(PathOf(path), std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const auto end = static_cast<std::streamoff>(in.tellg());
  if (end < 0) return std::nullopt;
  std::string text;
  const auto size = static_cast<uint64_t>(end);
  if (offset >= size) return text;
  // Straight into the result: a piece is read once, without a buffer in between.
  text.resize(static_cast<size_t>(std::min<uint64_t>(maxBytes, size - offset)));
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

bool StdFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool StdFileSystem::Remove(const std::string& path) {
  std::error_code error;
  return fs::remove(PathOf(path), error) && !error;
}

bool StdFileSystem::Truncate(const std::string& path, uint64_t size) {
  std::error_code error;
  fs::resize_file(PathOf(path), size, error);
  return !error;
}

bool StdFileSystem::Copy(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::copy_file(PathOf(from), PathOf(to), fs::copy_options::overwrite_existing, error);
  return !error;
}

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
