// skytrace-demo --live logs what a running simulator serves over the real link and clock; the live
// options refuse what they cannot use.
#include <gtest/gtest.h>

#include <string>

#include "run_programs.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/posix_server.h"
#include "track_feed.h"

namespace sky {
namespace {

using test::kBin;
using test::Ran;
using test::Shell;

TEST(LiveDemo, LogsWhatTheRunningSimulatorServes) {
  test::TempDir dir;
  test::TempDir runtime;
  sim::SimulatorCore simulator;
  sim::PosixSimServer server(simulator, sim::PosixServerOptions{runtime.path(), "UIPCMAIN"});
  ASSERT_TRUE(server.Start()) << server.Error();
  sim::WriteFlightState(simulator, {.latitudeDeg = 21.5,
                                    .longitudeDeg = -157.75,
                                    .altitudeFt = 2500,
                                    .groundSpeedKt = 100,
                                    .indicatedAirspeedKt = 95,
                                    .headingDeg = 270});
  const Ran run = Shell(dir, "XDG_RUNTIME_DIR='" + runtime.path() + "' TZ=UTC " + kBin +
                                 "skytrace-demo --live --seconds 2 --data-dir '" + (dir / "data") +
                                 "' --docs-dir '" + (dir / "docs") + "'");
  server.Stop();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  test::ExpectInOutput(run.output, {"   0  connection: connected\n", "click btn_startlog\n",
                                    "   2  click btn_stoplog\n", "---- summary\n"});
  const auto records =
      test::Lines(test::ReadFile(dir / "data/Skytrace flightlogger/Flightlog.txt"));
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(test::Field(records.front(), 6), "SA");
  EXPECT_EQ(test::Field(records.back(), 6), "SO");
  EXPECT_EQ(test::Field(records.back(), 3) + " " + test::Field(records.back(), 4), "21.5 2500");
}

TEST(LiveOptions, WhatTheyCannotUseIsRefused) {
  struct Case {
    const char *command, *error;
  } cases[] = {
      {"skytrace-demo --live --track x.csv", "--track and --traffic do not go with it"},
      {"skytrace-sim --flightgear", "usage: skytrace-sim"},
      {"skytrace-sim --flightgear fg.local", "--flightgear needs [HOST:]PORT, not \"fg.local\""},
      {"skytrace-sim --flightgear 127.0.0.1:70000", "needs [HOST:]PORT"},
      {"skytrace-sim --xplane a:b:49000", "--xplane needs [HOST:]PORT, not \"a:b:49000\""},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const Ran run = Shell(dir, "XDG_RUNTIME_DIR='" + dir.path() + "' " + kBin + c.command);
    EXPECT_EQ(run.exitCode, 2) << c.command << "\n" << run.output;
    EXPECT_NE(run.output.find(c.error), std::string::npos) << c.command << "\n" << run.output;
  }
}

}  // namespace
}  // namespace sky
