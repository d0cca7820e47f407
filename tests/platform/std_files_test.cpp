// The file adapter: only regular files are read or written (a pipe, a folder, a device link fail
// at once); an append that runs out of room leaves the file as it was.
#include "platform/std_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "test_app.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

namespace sky {
namespace {

TEST(StdFiles, WhatIsNoRegularFileIsNeitherReadNorWritten) {
  struct Kind {
    const char* name;
    std::function<void(const std::string&)> make;
  };
  std::vector<Kind> kinds = {
      {"folder", [](const std::string& p) { std::filesystem::create_directories(p + "/x"); }},
  };
#ifndef _WIN32
  kinds.push_back({"pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }});
  kinds.push_back({"device link",
                   [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); }});
#endif
  StdFileSystem files;
  for (const Kind& kind : kinds) {
    test::TempDir dir;
    const std::string path = dir / "Flightlog.txt";
    const std::string file = dir / "other.txt";
    test::WriteFile(file, "text");
    kind.make(path);
    const auto type = std::filesystem::symlink_status(path).type();
    EXPECT_FALSE(files.ReadAll(path)) << kind.name;
    EXPECT_FALSE(files.ReadHead(path, 100)) << kind.name;
    EXPECT_FALSE(files.Append(path, "record\r\n")) << kind.name;
    EXPECT_FALSE(files.WriteAll(path, "text")) << kind.name;
    EXPECT_FALSE(files.Copy(path, dir / "copy.txt")) << kind.name;
    EXPECT_FALSE(files.Copy(file, path)) << kind.name;
    EXPECT_FALSE(files.Truncate(path, 0)) << kind.name;
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), type) << kind.name;
    EXPECT_EQ(test::ReadFile(file), "text") << kind.name;
  }
}

#ifndef _WIN32

// The file-size limit stands in for a full disk: the write stops part-way.
TEST(StdFiles, AnAppendThatRunsOutOfRoomLeavesTheFileAsItWas) {
  test::TempDir dir;
  const std::string path = dir / "Flightlog.txt";
  test::WriteFile(path, "whole record\r\n");
  StdFileSystem files;
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit full = before;
  full.rlim_cur = 20;  // room for 6 more bytes
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
  const bool appended = files.Append(path, "another record\r\n");
  const bool written = files.WriteAll(dir / "new.txt", std::string(100, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_FALSE(appended);
  EXPECT_FALSE(written);
  EXPECT_EQ(test::ReadFile(path), "whole record\r\n");
}

#endif  // _WIN32

}  // namespace
}  // namespace sky
