// The headless runner as a user runs it: the skytrace-demo program with its options and actions.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "test_app.h"

namespace sky {
namespace {

struct DemoRun {
  int exitCode = -1;
  std::string output;  // standard output and error
};

DemoRun RunDemo(const std::string& arguments) {
  const std::string command =
      std::string(SKYTRACE_BINARY_DIR) + "/bin/skytrace-demo " + arguments + " 2>&1";
  DemoRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.output.append(buffer.data(), got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Folders(const test::TempDir& dir) {
  return "--data-dir '" + dir.path() + "/data' --docs-dir '" + dir.path() + "/docs'";
}

TEST(Demo, ConnectsAtOnceAndPrintsTheMessageBoard) {
  test::TempDir dir;
  const DemoRun run = RunDemo(Folders(dir) + " --seconds 3 --start '2026-12-04 22:30:00'");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("   0  message: Skytrace flightlogger, made by simmers for simmers. "
                            "Have fun using the Skytrace flightlogger!"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("   0  connection: connected"), std::string::npos) << run.output;
  EXPECT_TRUE(test::FileExists(dir.path() + "/data/Skytrace flightlogger/Offsets.txt"));
}

TEST(Demo, ScriptedClicksAndDialogsAppearInTheTranscript) {
  test::TempDir dir;
  test::WriteFile(dir / "actions.txt",
                  "# press the connect button while connected, then answer a reset question\n"
                  "1 click Command1\n"
                  "2 answer no\n"
                  "2 click btn_resetlog\n");
  const DemoRun run =
      RunDemo(Folders(dir) + " --seconds 3 --actions '" + (dir / "actions.txt") + "'");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("   1  click Command1"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("   2  click btn_resetlog"), std::string::npos) << run.output;
}

TEST(Demo, BadActionsStopTheRunWithTheLineNumber) {
  struct Case {
    const char* actions;
    const char* error;
  } cases[] = {
      {"# fine\n3 click btn_nothing\n", "line 2: unknown control \"btn_nothing\""},
      {"1 fly Form1\n", "line 1: unknown verb \"fly\""},
      {"x click btn_startlog\n", "line 1: the time \"x\" is not a second"},
      {"1 close frmNothing\n", "line 1: unknown window \"frmNothing\""},
      {"1 answer maybe\n", "line 1: unknown answer \"maybe\""},
      {"1 answer text Cessna\n", "line 1: answer text needs a quoted text"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::WriteFile(dir / "actions.txt", c.actions);
    const DemoRun run =
        RunDemo(Folders(dir) + " --seconds 2 --actions '" + (dir / "actions.txt") + "'");
    EXPECT_EQ(run.exitCode, 2) << c.actions;
    EXPECT_NE(run.output.find(c.error), std::string::npos) << run.output;
  }
}

TEST(Demo, BadOptionsAreRefused) {
  EXPECT_EQ(RunDemo("--seconds").exitCode, 2);
  EXPECT_EQ(RunDemo("--seconds -4").exitCode, 2);
  EXPECT_EQ(RunDemo("--start 'tomorrow'").exitCode, 2);
  EXPECT_EQ(RunDemo("--fly high").exitCode, 2);
}

TEST(Demo, MainJobFliesConvertsAndSummarises) {
  test::TempDir dir;
  const DemoRun run = RunDemo(Folders(dir) + " --start '2026-12-05 10:00:00' --actions '" +
                              test::SourceData("demo/main-job.txt") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string saved = dir.path() +
                            "/docs/Skytrace flightlogger files/Flightlog Frankfurt circuit "
                            "05-12-2026 10.34.kml";
  EXPECT_NE(run.output.find("saved Google Earth document: " + saved), std::string::npos)
      << run.output;
  EXPECT_TRUE(test::FileExists(saved));
  EXPECT_NE(run.output.find("Skytrace Realtime.kml"), std::string::npos);
  for (const char* line : {"---- summary\n", "events by code: SA 1 ", " TO= 1 ", " TD= 1 ",
                           "touchdown: -180 ft/min, Now this is what you can call a 'kiss' "
                           "touchdown, you're good!\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
  }
  EXPECT_EQ(run.output.find("Not able to convert flightlog"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Error in drawing TCAS table."), std::string::npos) << run.output;
}

}  // namespace
}  // namespace sky
