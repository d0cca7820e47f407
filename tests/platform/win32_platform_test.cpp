// The Windows adapters of the ports against the running system.
#ifdef _WIN32

#include "platform/win32_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "core/win32_api.h"
#include "platform/pe_version.h"

namespace sky {
namespace {

TEST(Win32PlatformTest, ClockFoldersAndSystem) {
  // The zone at a local time has the standard or the daylight bias.
  Win32Clock clock;
  const TimeZoneInfo now = clock.TimeZone();
  const int standard = now.biasMinutes + now.standardBiasMinutes;
  const int daylight = now.biasMinutes + now.daylightBiasMinutes;
  EXPECT_EQ(TimeZoneAt(clock.LocalNow()).biasMinutes, now.daylightActive ? daylight : standard);
  const int july = TimeZoneAt(LocalDateTime{2026, 7, 15, 12, 0, 0}).biasMinutes;
  EXPECT_TRUE(july == standard || july == daylight) << july;
  Win32Folders folders;
  for (int csidl : {Folders::kAppData, Folders::kDocuments}) {
    const auto path = folders.SpecialFolder(csidl);
    ASSERT_TRUE(path.has_value()) << csidl;
    EXPECT_NE(path->back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(*path) || std::filesystem::create_directories(*path));
  }
  // The shipped snippets lie beside the executables.
  EXPECT_TRUE(std::filesystem::exists(folders.ProgramFolder() + "\\KMLSettings.txt"));
  ASSERT_NE(std::getenv("USERNAME"), nullptr);
  EXPECT_EQ(Win32SystemInfo().UserName().value_or(""), std::getenv("USERNAME"));
  const auto os = Win32SystemInfo().OperatingSystem();
  ASSERT_TRUE(os.has_value());
  EXPECT_EQ(os->platform, 2);  // the NT family
}

TEST(Win32PlatformTest, FileVersionRecordsAndLocaleNumbers) {
  Win32SystemInfo system;
  const std::string bin = Win32Folders().ProgramFolder();
  // The simulator program carries the project's version; the portable reader agrees.
  const auto version = system.FileVersionOf(bin + "\\skytrace-sim.exe");
  const auto portable = ReadPeFileVersion(bin + "\\skytrace-sim.exe");
  ASSERT_TRUE(version.has_value() && portable.has_value());
  EXPECT_EQ(std::tie(version->major, version->minor, version->build, version->revision),
            std::tie(portable->major, portable->minor, portable->build, portable->revision));
  EXPECT_EQ(std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
                std::to_string(version->build),
            SKYTRACE_PROJECT_VERSION);
  EXPECT_FALSE(system.FileVersionOf(bin + "\\KMLSettings.txt").has_value());
  EXPECT_FALSE(system.FileVersionOf(bin + "\\no such file.exe").has_value());
  char separator[8] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator), 1);
  EXPECT_EQ(system.LocaleNumberText(5.0 / 2), std::string("2") + separator + "5");
}

}  // namespace
}  // namespace sky

#endif  // _WIN32
