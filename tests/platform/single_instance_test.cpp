// The one-copy rule on POSIX systems: a lock per data folder, released with its holder, and the
// request to the front that a later copy sends over the socket beside it.
#include "platform/posix_single_instance.h"

#include <gtest/gtest.h>

#include <memory>

#include "test_app.h"

namespace sky {
namespace {

TEST(SingleInstance, OneCopyPerDataFolderAndALaterOneAsksItToTheFront) {
  test::TempDir runtime;
  auto first = std::make_unique<PosixSingleInstance>(runtime.path(), "/home/a/data/");
  ASSERT_TRUE(first->Claim());
  EXPECT_FALSE(first->TakeRequest());  // nobody asked yet

  PosixSingleInstance second(runtime.path(), "/home/a/data/");
  EXPECT_FALSE(second.Claim());
  EXPECT_TRUE(second.AskRunningCopyToFront());
  EXPECT_TRUE(first->TakeRequest());
  EXPECT_FALSE(first->TakeRequest());  // one request, taken once

  PosixSingleInstance elsewhere(runtime.path(), "/home/b/data/");
  EXPECT_TRUE(elsewhere.Claim());  // another data folder runs beside it

  first.reset();  // the first copy ends: the program is free again
  EXPECT_FALSE(second.AskRunningCopyToFront());
  EXPECT_TRUE(second.Claim());
  PosixSingleInstance third(runtime.path(), "/home/a/data/");
  EXPECT_FALSE(third.Claim());
  EXPECT_TRUE(third.AskRunningCopyToFront());
  EXPECT_TRUE(second.TakeRequest());
}

// Without a runtime folder to hold the lock, the program runs rather than refuse to start.
TEST(SingleInstance, NoPlaceForTheLockLetsTheProgramRun) {
  PosixSingleInstance nowhere("/nonexistent-skytrace-folder", "/home/a/data/");
  EXPECT_TRUE(nowhere.Claim());
  EXPECT_EQ(nowhere.RequestSocket(), -1);
}

}  // namespace
}  // namespace sky
