// The program's ports on Windows: the system clock and time zone, the shell's special folders,
// the program's folder, and system information (log-on name, file version records, the
// operating system's version record, the locale's decimal separator).
#pragma once

#ifdef _WIN32

#include "core/ports.h"

namespace sky {

class Win32Clock final : public Clock {
 public:
  LocalDateTime LocalNow() override;
  // The zone as the system reports it now: its base bias, with the daylight bias in force when
  // the system says daylight time is active, else the standard bias.
  TimeZoneInfo TimeZone() override;
  int64_t MonotonicMs() override;
  void Sleep(int milliseconds) override;
};

// Application data (CSIDL 26) and documents (CSIDL 5) from the shell; the program folder is the
// executable's own.
class Win32Folders final : public Folders {
 public:
  std::optional<std::string> SpecialFolder(int csidl) override;
  std::string ProgramFolder() override;
};

class Win32SystemInfo final : public SystemInfo {
 public:
  // GetUserNameA with a buffer of 25 characters: a longer name fails.
  std::optional<std::string> UserName() override;
  std::optional<FileVersion> FileVersionOf(const std::string& path) override;
  std::optional<OsVersion> OperatingSystem() override;
  // The locale's decimal separator (LOCALE_SDECIMAL of the user's locale).
  std::string LocaleNumberText(double value) override;
};

// The folder of the running executable, without a trailing separator.
std::string ExecutableFolder();

// The CPU time the calling thread has used, in microseconds.
int64_t ThreadCpuMicros();

// The time-zone information of a local time, from the system's rules for the user's zone: one
// bias, daylight saving included, as it stands at that local time.
TimeZoneInfo TimeZoneAt(const LocalDateTime& local);

}  // namespace sky

#endif  // _WIN32
