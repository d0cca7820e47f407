// Running the built programs from a test: a command line in the shell, its exit code and output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_app.h"

namespace sky::test {

inline const std::string kBin = std::string(SKYTRACE_BINARY_DIR) + "/bin/";

struct Ran {
  int exitCode = -1;
  std::string output;  // standard output and error
};

// Runs a command line in the shell, its output going to a file in `dir`.
inline Ran Shell(const TempDir& dir, const std::string& command) {
  const int status = std::system((command + " >'" + (dir / "output.txt") + "' 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "output.txt")};
}

// The demo in UTC, with its folders in `dir`.
inline Ran Demo(const TempDir& dir, const std::string& arguments) {
  return Shell(dir, "TZ=UTC " + kBin + "skytrace-demo --data-dir '" + (dir / "data") +
                        "' --docs-dir '" + (dir / "docs") + "' " + arguments);
}

// Each of `parts` is somewhere in a program's output.
inline void ExpectInOutput(const std::string& output, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    EXPECT_NE(output.find(part), std::string::npos) << part << "\n" << output;
  }
}

}  // namespace sky::test
