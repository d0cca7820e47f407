#include "fault_sweep.h"

#include <gtest/gtest.h>

namespace sky::test {

void SweepFaults(const std::function<void(FaultShot&)>& scenario,
                 const std::vector<FaultShot::Kind>& kinds) {
  FaultShot clean;
  {
    SCOPED_TRACE(clean.Name());
    scenario(clean);
  }
  EXPECT_TRUE(clean.armed) << "the scenario never armed its file system";
  EXPECT_GT(clean.changes, 0) << "the scenario changes no file";
  if (!clean.armed || ::testing::Test::HasFatalFailure()) return;
  for (const FaultShot::Kind kind : kinds) {
    // The runs agree with the clean one up to the fault, so the sweep ends where its count does
    // (a kill after the last change still fires on the reads that follow it).
    const int last = kind == FaultShot::Refuse ? clean.operations : clean.changes;
    for (int n = 0;; ++n) {
      FaultShot shot{kind, n};
      {
        SCOPED_TRACE(shot.Name());
        scenario(shot);
      }
      if (!shot.fired) {
        EXPECT_GE(n, last) << shot.Name() << " did not fire";
        break;
      }
      if (::testing::Test::HasFatalFailure()) break;
      if (n > last + 1) {
        ADD_FAILURE() << shot.Name() << " fired past the clean run's " << last;
        break;
      }
    }
  }
}

}  // namespace sky::test
