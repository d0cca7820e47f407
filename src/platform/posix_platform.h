// The program's ports on POSIX systems: the system clock and time zone, the XDG folders, and
// system information.
#pragma once

#ifndef _WIN32

#include "core/ports.h"

namespace sky {

class PosixClock final : public Clock {
 public:
  LocalDateTime LocalNow() override;
  TimeZoneInfo TimeZone() override;
  int64_t MonotonicMs() override;
  void Sleep(int milliseconds) override;
};

// Application data is the XDG data home ($XDG_DATA_HOME, else ~/.local/share), documents the
// XDG documents folder (user-dirs.dirs, else ~/Documents); the program folder is the
// executable's own.
class XdgFolders final : public Folders {
 public:
  std::optional<std::string> SpecialFolder(int csidl) override;
  std::string ProgramFolder() override;
};

class PosixSystemInfo final : public SystemInfo {
 public:
  std::optional<std::string> UserName() override;
  std::optional<FileVersion> FileVersionOf(const std::string& path) override;
  std::optional<OsVersion> OperatingSystem() override;
  std::string LocaleNumberText(double value) override;
};

// The folder of the running executable.
std::string ExecutableFolder();

// The CPU time the calling thread has used, in microseconds.
int64_t ThreadCpuMicros();

// The time-zone information of a local time, from the TZ rules of the C library.
TimeZoneInfo TimeZoneAt(const LocalDateTime& local);

}  // namespace sky

#endif  // _WIN32
