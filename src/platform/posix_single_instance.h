// The one-copy rule on POSIX systems: a lock file (flock) claims the program, and a Unix socket
// beside it carries a later copy's request to show the running copy's window. Both live in the
// user's runtime folder and are named after the data folder, so that copies with other data
// folders run side by side.
#pragma once

#ifndef _WIN32

#include <string>

#include "core/ports.h"

namespace sky {

class PosixSingleInstance final : public SingleInstance {
 public:
  // `folder`: the user's runtime folder; `dataFolder`: the data folder the copy works on.
  PosixSingleInstance(const std::string& folder, const std::string& dataFolder);
  ~PosixSingleInstance() override;
  PosixSingleInstance(const PosixSingleInstance&) = delete;
  PosixSingleInstance& operator=(const PosixSingleInstance&) = delete;

  bool Claim() override;
  bool AskRunningCopyToFront() override;

  // After a successful claim: the socket to watch for readability (-1 when there is none), and
  // the handling of what arrived there: true when a later copy asked for the front.
  int RequestSocket() const { return listening_; }
  bool TakeRequest();

 private:
  std::string lockPath_;
  std::string socketPath_;
  int lock_ = -1;
  int listening_ = -1;
};

}  // namespace sky

#endif  // _WIN32
