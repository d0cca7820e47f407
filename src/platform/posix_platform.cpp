#ifndef _WIN32

#include "platform/posix_platform.h"

#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/numtext.h"
#include "platform/pe_version.h"

namespace sky {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir) {
    return found->pw_dir;
  }
  return "";
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs ("$HOME/Documents" or an absolute path).
std::string DocumentsFromUserDirs(const std::string& home) {
  std::string config;
  if (const char* dir = std::getenv("XDG_CONFIG_HOME"); dir && *dir) {
    config = dir;
  } else if (!home.empty()) {
    config = home + "/.config";
  }
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DOCUMENTS_DIR=";
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return "";
}

}  // namespace

TimeZoneInfo TimeZoneAt(const LocalDateTime& local) {
  std::tm parts{};
  parts.tm_year = local.year - 1900;
  parts.tm_mon = local.month - 1;
  parts.tm_mday = local.day;
  parts.tm_hour = local.hour;
  parts.tm_min = local.minute;
  parts.tm_sec = local.second;
  parts.tm_isdst = -1;
  const std::time_t instant = std::mktime(&parts);
  std::tm resolved{};
  localtime_r(&instant, &resolved);
  // The offset in force, daylight saving included, as one bias (minutes, UTC = local + bias).
  TimeZoneInfo zone;
  zone.biasMinutes = static_cast<int>(-resolved.tm_gmtoff / 60);
  return zone;
}

LocalDateTime PosixClock::LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
          parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

TimeZoneInfo PosixClock::TimeZone() {
  return TimeZoneAt(LocalNow());
}

int64_t PosixClock::MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void PosixClock::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::optional<std::string> XdgFolders::SpecialFolder(int csidl) {
  const std::string home = HomeFolder();
  if (csidl == kAppData) {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
      return WithoutTrailingSlash(data);
    }
    if (home.empty()) return std::nullopt;
    return home + "/.local/share";
  }
  if (csidl == kDocuments) {
    if (std::string documents = DocumentsFromUserDirs(home); !documents.empty()) {
      return WithoutTrailingSlash(documents);
    }
    if (home.empty()) return std::nullopt;
    return home + "/Documents";
  }
  return std::nullopt;
}

std::string XdgFolders::ProgramFolder() {
  return ExecutableFolder();
}

int64_t ThreadCpuMicros() {
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;
  return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

std::string ExecutableFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return self.parent_path().string();
}

std::optional<std::string> PosixSystemInfo::UserName() {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
      found->pw_name) {
    return std::string(found->pw_name);
  }
  if (const char* user = std::getenv("USER"); user && *user) return std::string(user);
  return std::nullopt;
}

std::optional<FileVersion> PosixSystemInfo::FileVersionOf(const std::string& path) {
  return ReadPeFileVersion(path);
}

std::optional<OsVersion> PosixSystemInfo::OperatingSystem() {
  utsname name{};
  if (uname(&name) != 0) return std::nullopt;
  return OsVersion{0, 0, 0, name.sysname};  // not Windows: the kernel's name, "Linux"
}

std::string PosixSystemInfo::LocaleNumberText(double value) {
  // The user's numeric locale, read without changing the program's own (C) locale.
  std::string separator = ".";
  if (locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
    if (const char* radix = nl_langinfo_l(RADIXCHAR, user); radix && *radix) separator = radix;
    freelocale(user);
  }
  return DefaultText(value, separator);
}

}  // namespace sky

#endif  // _WIN32
