// Track files: what a malformed file is refused with, how rows hold over time, and that a
// written track reads back as it was.
#include "skytrace-sim/track.h"

#include <gtest/gtest.h>

#include "skytrace-sim/builtin_flight.h"

namespace sky::sim {
namespace {

TEST(TrackFile, MalformedFilesAreRefusedWithTheLineAndTheReason) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "line 1: no column names"},
      {"# only a comment\n\n", "line 2: no column names"},
      {"t,lat\n", "line 1: no rows after the column names"},
      {"t,altitude\n0,1\n", "line 1: unknown column \"altitude\""},
      {"t,lat,,lon\n", "line 1: a column has no name"},
      {"t,lat,lat\n0,1,2\n", "line 1: column \"lat\" appears twice"},
      {"t,lat\n0,1\n# note\n1,2,3\n", "line 4: 3 values for 2 columns"},
      {"t,lat\n0,north\n", "line 2: lat \"north\" is not a number"},
      {"t,lat\n0,1,5\n", "line 2: 3 values for 2 columns"},
      {"t,lat\n0,nan\n", "line 2: lat \"nan\" is not a number"},
      {"t,lat\n0,91\n", "line 2: lat must be a number from -90 to 90, not 91"},
      {"t,loc\n0,129\n", "line 2: loc must be a whole number from -127 to 128, not 129"},
      {"t,gs\n0,-137\n", "line 2: gs must be a whole number from -136 to 119, not -137"},
      {"t,on_ground\n0,0.5\n", "line 2: on_ground must be 0 or 1, not 0.5"},
      {"t,flaps\n0,101\n", "line 2: flaps must be a number from 0 to 100, not 101"},
      {"t,autobrake\n0,6\n", "line 2: autobrake must be a whole number from 0 to 5, not 6"},
      {"t,lat\n0,1\n5,1\n5,2\n", "line 4: t must grow from row to row (5 follows 5)"},
      {"t,lat\n3,1\n2,1\n", "line 3: t must grow from row to row (2 follows 3)"},
      {"t\n-1\n", "line 2: t must be a number from 0 to 1000000000, not -1"},
      {"lat\n1\n2\n", "line 3: t must grow from row to row (0 follows 0)"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseTrack(c.text, error).has_value()) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(TrackFile, CommentsBlanksAbsentColumnsAndLineEnds) {
  std::string error;
  const auto track = ParseTrack(
      "# a short hop\r\n  hdg , t ,on_ground, loc\r\n\r\n 270 , 0 , 1 , -5\r\n"
      "# turning\r\n+10,2.5,0,\r\n",
      error);
  ASSERT_TRUE(track.has_value()) << error;
  ASSERT_EQ(track->Rows().size(), 2u);
  EXPECT_EQ(track->Rows()[0].state.headingDeg, 270);
  EXPECT_TRUE(track->Rows()[0].state.onGround);
  EXPECT_EQ(track->Rows()[0].state.localizerNeedle, -5);
  EXPECT_EQ(track->Rows()[0].state.altitudeFt, 0);  // absent
  EXPECT_EQ(track->Rows()[1].t, 2.5);
  EXPECT_EQ(track->Rows()[1].state.headingDeg, 10);
  EXPECT_EQ(track->Rows()[1].state.localizerNeedle, 0);  // empty
  EXPECT_EQ(track->EndTime(), 2.5);
}

TEST(TrackFile, ARowHoldsUntilTheNext) {
  std::string error;
  const auto track = ParseTrack("t,alt_ft\n5,100\n10,200\n12,300\n", error);
  ASSERT_TRUE(track.has_value());
  struct Case {
    double t;
    double altitude;
  } cases[] = {{0, 100}, {5, 100}, {9.99, 100}, {10, 200}, {11, 200}, {12, 300}, {500, 300}};
  for (const Case& c : cases) EXPECT_EQ(track->At(c.t).altitudeFt, c.altitude) << c.t;
}

TEST(TrackFile, AWrittenTrackReadsBackTheSame) {
  const Track flight = BuiltinFlight();
  const std::string text = FormatTrack(flight);
  std::string error;
  const auto again = ParseTrack(text, error);
  ASSERT_TRUE(again.has_value()) << error;
  EXPECT_EQ(FormatTrack(*again), text);
  ASSERT_EQ(again->Rows().size(), flight.Rows().size());
  EXPECT_EQ(again->Rows()[1500].state.latitudeDeg, flight.Rows()[1500].state.latitudeDeg);
}

}  // namespace
}  // namespace sky::sim
