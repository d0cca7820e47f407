// Flying a track through a whole program on fakes: the simulator shows second s of the track
// before tick s, as the headless runner does.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "commands/logging.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/track.h"
#include "test_app.h"

namespace sky::test {

inline sim::Track TrackOf(const std::string& csv) {
  std::string error;
  auto track = sim::ParseTrack(csv, error);
  EXPECT_TRUE(track.has_value()) << error;
  return track ? *track : sim::Track();
}

// Starts the program on the track's first second and runs a tick per second to its end;
// logging starts right after the first tick that reads a sample.
inline void FlyTrack(TestApp& t, const sim::Track& track, bool startLogging = true) {
  sim::WriteFlightState(t.simulator, track.At(0));
  ASSERT_TRUE(t.Load());
  const int end = static_cast<int>(std::ceil(track.EndTime()));
  for (int second = 1; second <= end && !t.app().ended; ++second) {
    sim::WriteFlightState(t.simulator, track.At(second));
    t.Tick();
    if (second == 1 && startLogging) StartLogging(t.app());
  }
}

// The lines of a text file without their CR LF ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Field n (1-based) of a record.
inline std::string Field(const std::string& record, int n) {
  size_t start = 0;
  for (int i = 1; i < n; ++i) start = record.find(':', start) + 1;
  return record.substr(start, record.find(':', start) - start);
}

}  // namespace sky::test
