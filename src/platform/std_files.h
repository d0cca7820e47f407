// File access with the system's file calls (POSIX) or the standard library (Windows): regular
// files only, appends whole or not at all.
#pragma once

#include "core/ports.h"

namespace sky {

class StdFileSystem final : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  bool CreateDirectories(const std::string& path) override;
  bool Append(const std::string& path, std::string_view bytes) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  std::optional<uint64_t> FileSize(const std::string& path) override;
  std::optional<std::string> ReadHead(const std::string& path, size_t maxBytes) override;
  std::optional<std::string> ReadAt(const std::string& path, uint64_t offset,
                                    size_t maxBytes) override;
  bool WriteAll(const std::string& path, std::string_view bytes) override;
  bool Remove(const std::string& path) override;
  bool Truncate(const std::string& path, uint64_t size) override;
  bool Copy(const std::string& from, const std::string& to) override;
  bool Rename(const std::string& from, const std::string& to) override;
  std::vector<std::string> List(const std::string& folder) override;
  std::optional<std::string> RealPath(const std::string& path) override;
};

}  // namespace sky
