#include "fake_ports.h"

#include <new>

#include "core/numtext.h"

namespace sky::test {

std::optional<FaultyFileSystem::Failure> FaultyFileSystem::Fails(const std::string& op,
                                                                 const std::string& path,
                                                                 bool changing) {
  calls.push_back(op + " " + path);
  if (killAt_ >= 0 && changes_ >= killAt_) {
    if (shot_ && shot_->kind == FaultShot::Kill) shot_->fired = true;
    return Failure::Refused;
  }
  std::optional<Failure> failure;
  if (changing) ++changes_;
  if (shot_) {
    if ((shot_->kind == FaultShot::Refuse && shot_->operations == shot_->n) ||
        (shot_->kind == FaultShot::DiskFull && changing && shot_->changes == shot_->n)) {
      shot_->fired = true;
      failure = shot_->kind == FaultShot::Refuse ? Failure::Refused : Failure::DiskFull;
    }
    ++shot_->operations;
    if (changing) ++shot_->changes;
  }
  for (Fault& fault : faults_) {
    if (fault.op != op || path.find(fault.pathPart) == std::string::npos) continue;
    if (fault.skip > 0) {
      --fault.skip;
      continue;
    }
    if (fault.times == 0) continue;
    if (fault.times > 0) --fault.times;
    failure = fault.how;
    break;
  }
  if (failure == Failure::NoMemory) throw std::bad_alloc();
  return failure;
}

void FaultyFileSystem::Arm(FaultShot& shot) {
  shot_ = &shot;
  shot.armed = true;
  if (shot.kind == FaultShot::Kill) killAt_ = changes_ + shot.n;
}

std::string FaultShot::Name() const {
  const std::string number = std::to_string(n);
  switch (kind) {
    case Refuse:
      return "operation " + number + " refused";
    case DiskFull:
      return "a full disk at change " + number;
    case Kill:
      return "a kill after " + number + " changes";
    case None:
      break;
  }
  return "no fault";
}

bool FaultyFileSystem::Store(std::optional<Failure> failure, std::string_view bytes,
                             const std::function<bool(std::string_view)>& store) {
  if (failure == Failure::Refused) return false;
  size_t fits = bytes.size();
  if (failure == Failure::DiskFull) fits = bytes.size() / 2;
  if (freeBytes_ >= 0 && static_cast<int64_t>(fits) > freeBytes_) {
    fits = static_cast<size_t>(freeBytes_);
  }
  if (freeBytes_ >= 0) freeBytes_ -= static_cast<int64_t>(fits);
  return store(bytes.substr(0, fits)) && fits == bytes.size();
}

bool FaultyFileSystem::Exists(const std::string& path) {
  return !Fails("exists", path, false) && real_.Exists(path);
}
bool FaultyFileSystem::CreateDirectories(const std::string& path) {
  return !Fails("mkdir", path, true) && real_.CreateDirectories(path);
}
bool FaultyFileSystem::Append(const std::string& path, std::string_view bytes) {
  return Store(Fails("append", path, true), bytes,
               [&](std::string_view part) { return real_.Append(path, part); });
}
std::optional<std::string> FaultyFileSystem::ReadAll(const std::string& path) {
  if (Fails("read", path, false)) return std::nullopt;
  return real_.ReadAll(path);
}
std::optional<uint64_t> FaultyFileSystem::FileSize(const std::string& path) {
  if (Fails("size", path, false)) return std::nullopt;
  return real_.FileSize(path);
}
std::optional<std::string> FaultyFileSystem::ReadHead(const std::string& path, size_t maxBytes) {
  if (Fails("read", path, false)) return std::nullopt;
  return real_.ReadHead(path, maxBytes);
}
std::optional<std::string> FaultyFileSystem::ReadAt(const std::string& path, uint64_t offset,
                                                    size_t maxBytes) {
  if (Fails("read", path, false)) return std::nullopt;
  return real_.ReadAt(path, offset, maxBytes);
}
bool FaultyFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
  return Store(Fails("write", path, true), bytes,
               [&](std::string_view part) { return real_.WriteAll(path, part); });
}
bool FaultyFileSystem::Remove(const std::string& path) {
  return !Fails("remove", path, true) && real_.Remove(path);
}
bool FaultyFileSystem::Copy(const std::string& from, const std::string& to) {
  const auto failure = Fails("copy", from + " -> " + to, true);
  if (failure == Failure::Refused) return false;
  const auto text = real_.ReadAll(from);
  if (!text) return false;
  return Store(failure, *text, [&](std::string_view part) { return real_.WriteAll(to, part); });
}
bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  return !Fails("rename", from + " -> " + to, true) && real_.Rename(from, to);
}
std::vector<std::string> FaultyFileSystem::List(const std::string& folder) {
  if (Fails("list", folder, false)) return {};
  return real_.List(folder);
}
bool FaultyFileSystem::Truncate(const std::string& path, uint64_t size) {
  return !Fails("truncate", path, true) && real_.Truncate(path, size);
}
std::optional<std::string> FaultyFileSystem::RealPath(const std::string& path) {
  if (Fails("realpath", path, false)) return std::nullopt;
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
  if (onRequest) onRequest(url);
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
