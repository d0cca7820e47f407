#ifdef _WIN32

#include "platform/win32_platform.h"

#include <chrono>
#include <vector>

#include "core/numtext.h"
#include "core/win32_api.h"
// clang-format off: shlobj.h needs windows.h first
#include <shlobj.h>
// clang-format on

namespace sky {
namespace {

SYSTEMTIME SystemTimeOf(const LocalDateTime& time) {
  SYSTEMTIME parts{};
  parts.wYear = static_cast<WORD>(time.year);
  parts.wMonth = static_cast<WORD>(time.month);
  parts.wDay = static_cast<WORD>(time.day);
  parts.wHour = static_cast<WORD>(time.hour);
  parts.wMinute = static_cast<WORD>(time.minute);
  parts.wSecond = static_cast<WORD>(time.second);
  return parts;
}

int64_t MinutesOf(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return 0;
  const uint64_t ticks = static_cast<uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime;
  return static_cast<int64_t>(ticks / 600000000u);  // 100 ns ticks per minute
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

LocalDateTime Win32Clock::LocalNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// Wine takes the zone from the host (TZ, else /etc/localtime); Windows from its own settings,
// where TZ plays no part. The tests that fix TZ=UTC rely on Wine's way.
TimeZoneInfo Win32Clock::TimeZone() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD state = GetTimeZoneInformation(&zone);
  TimeZoneInfo info;
  if (state == TIME_ZONE_ID_INVALID) return info;
  info.biasMinutes = static_cast<int>(zone.Bias);
  info.standardBiasMinutes = static_cast<int>(zone.StandardBias);
  info.daylightBiasMinutes = static_cast<int>(zone.DaylightBias);
  info.daylightActive = state == TIME_ZONE_ID_DAYLIGHT;
  return info;
}

int64_t Win32Clock::MonotonicMs() {
  // The performance counter, not GetTickCount64, whose steps are 10 to 16 ms.
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void Win32Clock::Sleep(int milliseconds) {
  ::Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds));
}

TimeZoneInfo TimeZoneAt(const LocalDateTime& local) {
  const SYSTEMTIME localTime = SystemTimeOf(local);
  SYSTEMTIME utc{};
  TimeZoneInfo zone;
  if (TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc)) {
    zone.biasMinutes = static_cast<int>(MinutesOf(utc) - MinutesOf(localTime));
  }
  return zone;
}

std::optional<std::string> Win32Folders::SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || !*path) {
    return std::nullopt;
  }
  return WithoutTrailingSeparator(path);
}

std::string Win32Folders::ProgramFolder() {
  return ExecutableFolder();
}

int64_t ThreadCpuMicros() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  const auto micros = [](const FILETIME& time) {  // counted in 100 ns
    return ((static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10;
  };
  return micros(kernel) + micros(user);
}

std::string ExecutableFolder() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      const std::string file(path.data(), length);
      const size_t slash = file.find_last_of("\\/");
      return slash == std::string::npos ? "." : WithoutTrailingSeparator(file.substr(0, slash));
    }
    path.resize(path.size() * 2);
  }
}

std::optional<std::string> Win32SystemInfo::UserName() {
  char buffer[25] = {};
  DWORD size = sizeof buffer;
  if (!GetUserNameA(buffer, &size)) return std::nullopt;
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

std::optional<FileVersion> Win32SystemInfo::FileVersionOf(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
  void* fixed = nullptr;
  UINT fixedSize = 0;
  char root[] = "\\";
  if (!VerQueryValueA(block.data(), root, &fixed, &fixedSize) || !fixed ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                     HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

std::optional<OsVersion> Win32SystemInfo::OperatingSystem() {
  // The version record as the program sees it: without a manifest naming later versions,
  // Windows 8 and newer report 6.2. Wine reports the version its prefix is set to imitate
  // (6.1, Windows 7, unless configured otherwise).
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (!GetVersionExA(&version)) return std::nullopt;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  const int platform = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1
                       : version.dwPlatformId == VER_PLATFORM_WIN32_NT    ? 2
                                                                          : 0;
  return OsVersion{platform, static_cast<int>(version.dwMajorVersion),
                   static_cast<int>(version.dwMinorVersion)};
}

std::string Win32SystemInfo::LocaleNumberText(double value) {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) <= 1) {
    return DefaultText(value, ".");
  }
  return DefaultText(value, separator);
}

}  // namespace sky

#endif  // _WIN32
