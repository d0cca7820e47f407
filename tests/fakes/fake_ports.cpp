#include "fake_ports.h"

#include "core/numtext.h"

namespace sky::test {

bool FaultyFileSystem::Fails(const std::string& op, const std::string& path) {
  calls.push_back(op + " " + path);
  for (Fault& fault : faults_) {
    if (fault.op != op || path.find(fault.pathPart) == std::string::npos) continue;
    if (fault.skip > 0) {
      --fault.skip;
      continue;
    }
    if (fault.times == 0) continue;
    if (fault.times > 0) --fault.times;
    return true;
  }
  return false;
}

bool FaultyFileSystem::Exists(const std::string& path) {
  return !Fails("exists", path) && real_.Exists(path);
}
bool FaultyFileSystem::CreateDirectories(const std::string& path) {
  return !Fails("mkdir", path) && real_.CreateDirectories(path);
}
bool FaultyFileSystem::Append(const std::string& path, std::string_view bytes) {
  return !Fails("append", path) && real_.Append(path, bytes);
}
std::optional<std::string> FaultyFileSystem::ReadAll(const std::string& path) {
  if (Fails("read", path)) return std::nullopt;
  return real_.ReadAll(path);
}
std::optional<std::string> FaultyFileSystem::ReadHead(const std::string& path, size_t maxBytes) {
  if (Fails("read", path)) return std::nullopt;
  return real_.ReadHead(path, maxBytes);
}
std::optional<std::string> FaultyFileSystem::ReadAt(const std::string& path, uint64_t offset,
                                                    size_t maxBytes) {
  if (Fails("read", path)) return std::nullopt;
  return real_.ReadAt(path, offset, maxBytes);
}
bool FaultyFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
  return !Fails("write", path) && real_.WriteAll(path, bytes);
}
bool FaultyFileSystem::Remove(const std::string& path) {
  return !Fails("remove", path) && real_.Remove(path);
}
bool FaultyFileSystem::Truncate(const std::string& path, uint64_t size) {
  return !Fails("truncate", path) && real_.Truncate(path, size);
}
bool FaultyFileSystem::Copy(const std::string& from, const std::string& to) {
  return !Fails("copy", from + " -> " + to) && real_.Copy(from, to);
}
bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  return !Fails("rename", from + " -> " + to) && real_.Rename(from, to);
}
std::vector<std::string> FaultyFileSystem::List(const std::string& folder) {
  if (Fails("list", folder)) return {};
  return real_.List(folder);
}
std::optional<std::string> FaultyFileSystem::RealPath(const std::string& path) {
  if (Fails("realpath", path)) return std::nullopt;
  return real_.RealPath(path);
}

std::optional<FileVersion> FakeSystemInfo::FileVersionOf(const std::string& path) {
  const auto found = versions.find(path);
  if (found == versions.end()) return std::nullopt;
  return found->second;
}

std::string FakeSystemInfo::LocaleNumberText(double value) {
  return DefaultText(value, decimalSeparator);
}

std::optional<std::string> FakeHttp::FetchText(const std::string& url) {
  requested.push_back(url);
  const auto found = texts.find(url);
  if (found == texts.end()) return std::nullopt;
  return found->second;
}

std::optional<std::vector<uint8_t>> FakeHttp::FetchBytes(const std::string& url) {
  const auto text = FetchText(url);
  if (!text) return std::nullopt;
  return std::vector<uint8_t>(text->begin(), text->end());
}

}  // namespace sky::test
