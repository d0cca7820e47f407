// The folder of the in-process simulator's socket on POSIX systems,
// "skytrace-demo-<pid>-XXXXXX" in the temporary folder. Every exit removes it: a normal end or
// an error with the runner, a terminating signal in its handler, and a kill that leaves no chance
// to the next demo, which removes the folders of demos whose process is gone. On Windows the
// window class alone names the simulator, and there is no such folder.
#pragma once

#include <string>

namespace sky {

class DemoRuntimeFolder {
 public:
  DemoRuntimeFolder() = default;
  ~DemoRuntimeFolder();
  DemoRuntimeFolder(const DemoRuntimeFolder&) = delete;
  DemoRuntimeFolder& operator=(const DemoRuntimeFolder&) = delete;

  // Makes the folder, after removing those of ended demos; with `cleanUpOnSignals`, a
  // terminating signal removes the folder, the simulator's socket in it and the program's
  // request area before the process ends. False when the folder cannot be made.
  bool Make(bool cleanUpOnSignals);
  // Empty on Windows.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace sky
