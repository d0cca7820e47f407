// The Windows adapters of the ports against the running system.
#ifdef _WIN32

#include "platform/win32_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/pe_version.h"
#include "platform/win32_api.h"

namespace sky {
namespace {

TEST(Win32ClockTest, TheZoneAtALocalTimeIsTheStandardOrTheDaylightBias) {
  Win32Clock clock;
  const TimeZoneInfo now = clock.TimeZone();
  const int standard = now.biasMinutes + now.standardBiasMinutes;
  const int daylight = now.biasMinutes + now.daylightBiasMinutes;
  EXPECT_EQ(TimeZoneAt(clock.LocalNow()).biasMinutes, now.daylightActive ? daylight : standard);
  for (const LocalDateTime& local :
       {LocalDateTime{2026, 1, 15, 12, 0, 0}, LocalDateTime{2026, 7, 15, 12, 0, 0}}) {
    const int bias = TimeZoneAt(local).biasMinutes;
    EXPECT_TRUE(bias == standard || bias == daylight) << bias;
  }
}

TEST(Win32FoldersTest, SpecialFoldersAndTheProgramFolder) {
  Win32Folders folders;
  for (int csidl : {Folders::kAppData, Folders::kDocuments}) {
    SCOPED_TRACE(csidl);
    const auto path = folders.SpecialFolder(csidl);
    ASSERT_TRUE(path.has_value());
    EXPECT_NE(path->back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(*path) || std::filesystem::create_directories(*path));
  }
  // The shipped snippets lie beside the executables.
  const std::string program = folders.ProgramFolder();
  EXPECT_NE(program.back(), '\\');
  EXPECT_TRUE(std::filesystem::exists(program + "\\KMLSettings.txt")) << program;
}

TEST(Win32SystemInfoTest, UserNameIsTheLogOnName) {
  const char* name = std::getenv("USERNAME");
  ASSERT_NE(name, nullptr);
  const auto user = Win32SystemInfo().UserName();
  ASSERT_TRUE(user.has_value());
  EXPECT_EQ(*user, name);
}

TEST(Win32SystemInfoTest, FileVersionRecords) {
  Win32SystemInfo system;
  const std::string bin = Win32Folders().ProgramFolder();
  // The simulator program carries the project's version; the portable reader agrees.
  const auto version = system.FileVersionOf(bin + "\\skytrace-sim.exe");
  ASSERT_TRUE(version.has_value());
  const auto portable = ReadPeFileVersion(bin + "\\skytrace-sim.exe");
  ASSERT_TRUE(portable.has_value());
  EXPECT_EQ(version->major, portable->major);
  EXPECT_EQ(version->minor, portable->minor);
  EXPECT_EQ(version->build, portable->build);
  EXPECT_EQ(version->revision, portable->revision);
  EXPECT_EQ(std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
                std::to_string(version->build),
            SKYTRACE_PROJECT_VERSION);
  // Files without a record, and missing files.
  EXPECT_FALSE(system.FileVersionOf(bin + "\\KMLSettings.txt").has_value());
  EXPECT_FALSE(system.FileVersionOf(bin + "\\no such file.exe").has_value());
}

TEST(Win32SystemInfoTest, TheOperatingSystemIsOfTheNtFamily) {
  const auto os = Win32SystemInfo().OperatingSystem();
  ASSERT_TRUE(os.has_value());
  EXPECT_EQ(os->platform, 2);
  EXPECT_GE(os->major, 5);
}

TEST(Win32SystemInfoTest, LocaleNumbersUseTheLocaleSeparator) {
  char separator[8] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator), 1);
  EXPECT_EQ(Win32SystemInfo().LocaleNumberText(5.0 / 2), std::string("2") + separator + "5");
}

}  // namespace
}  // namespace sky

#endif  // _WIN32
