// Fakes of the ports for tests: a file system that can be made to fail chosen operations,
// system information with settable answers, and a window port that records its calls.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/ports.h"
#include "platform/std_files.h"

namespace sky::test {

// One run of a fault sweep (fault_sweep.h): which fault hits which operation, and what the file
// system it was armed on saw.
struct FaultShot {
  enum Kind {
    None,      // a clean run, to count
    Refuse,    // the n-th operation from the arming (reads too) is refused
    DiskFull,  // the n-th changing operation finds the disk full
    Kill,      // the process is gone after n changing operations
  } kind = None;
  int n = 0;
  bool armed = false;
  bool fired = false;  // the fault hit an operation
  int operations = 0;  // since the arming
  int changes = 0;     // of them, the ones that change files
  std::string Name() const;
};

// Real files (in a test's own folder), with operations that fail on demand: an operation fails
// when its name and a part of the path were registered with FailOn, when the disk is full
// (SetFreeBytes), or as an armed fault sweep's shot says (Arm).
class FaultyFileSystem final : public FileSystem {
 public:
  enum class Failure {
    Refused,   // nothing happens: the file cannot be opened, say
    DiskFull,  // a write stores the first half of its bytes, then fails; other operations refuse
    NoMemory,  // throws std::bad_alloc, as holding a huge file would
  };
  // op: "exists", "size", "mkdir", "append", "read" (any read), "write", "remove", "truncate",
  // "copy", "rename", "list", "realpath". The first `skip` matching calls succeed; then `times`
  // calls fail (-1: all).
  void FailOn(const std::string& op, const std::string& pathPart, int skip = 0, int times = -1,
              Failure how = Failure::Refused) {
    faults_.push_back({op, pathPart, skip, times, how});
  }
  // A full disk: writes store at most this many more bytes in all; -1 lifts the limit. A write
  // that does not fit stores what fits and fails.
  void SetFreeBytes(int64_t bytes) { freeBytes_ = bytes; }
  // Counts the operations from now into `shot` and injects its fault; `shot` must outlive the
  // calls or the next ClearFaults.
  void Arm(FaultShot& shot);
  // Lifts every fault, the disk limit, a kill and an armed shot.
  void ClearFaults() {
    faults_.clear();
    killAt_ = -1;
    freeBytes_ = -1;
    shot_ = nullptr;
  }
  std::vector<std::string> calls;  // "op path" of every call, in order

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

 private:
  // The failure chosen for this call, if any; counts the changing operations.
  std::optional<Failure> Fails(const std::string& op, const std::string& path, bool changes);
  // Stores `bytes` with `store` as far as the failure and the free space allow.
  bool Store(std::optional<Failure> failure, std::string_view bytes,
             const std::function<bool(std::string_view)>& store);
  struct Fault {
    std::string op;
    std::string pathPart;
    int skip;
    int times;
    Failure how;
  };
  std::vector<Fault> faults_;
  int changes_ = 0;  // operations that changed files, or tried to
  int killAt_ = -1;  // a kill: from this many changes on, every call changes nothing and fails
  int64_t freeBytes_ = -1;
  FaultShot* shot_ = nullptr;
  StdFileSystem real_;
};

class FakeSystemInfo final : public SystemInfo {
 public:
  std::optional<std::string> userName = "simmer";
  std::map<std::string, FileVersion> versions;
  std::optional<OsVersion> os = OsVersion{2, 6, 1};
  std::string decimalSeparator = ".";

  std::optional<std::string> UserName() override { return userName; }
  std::optional<FileVersion> FileVersionOf(const std::string& path) override;
  std::optional<OsVersion> OperatingSystem() override { return os; }
  std::string LocaleNumberText(double value) override;
};

class FakeWindows final : public WindowPort {
 public:
  bool fail = false;        // always-on-top is refused
  bool stylesFail = false;  // the visual styles cannot be set up
  bool tray = true;         // the desktop has a notification area
  std::vector<std::pair<WindowId, bool>> onTopCalls;
  int redraws = 0;
  int styleCalls = 0;
  bool SetAlwaysOnTop(WindowId window, bool onTop) override {
    onTopCalls.emplace_back(window, onTop);
    return !fail;
  }
  void Redraw(WindowId) override { ++redraws; }
  bool InitVisualStyles() override {
    ++styleCalls;
    return !stylesFail;
  }
  bool HasNotificationArea() override { return tray; }
};

class FakeHttp final : public Http {
 public:
  std::map<std::string, std::string> texts;
  std::vector<std::string> requested;
  std::function<void(const std::string& url)> onRequest;  // before each answer
  std::optional<std::string> FetchText(const std::string& url) override;
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string& url) override;
};

}  // namespace sky::test
