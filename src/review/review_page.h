// The flight review: one self-contained HTML page (inline SVG and style, no script, nothing
// fetched) with the ground track coloured by phase, the vertical and speed profiles, each
// landing's report card and the events, repeats grouped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "review/landing.h"
#include "review/track.h"

namespace sky {

// The landings of a landings file that lie within the flight's time span.
std::vector<LandingBlock> LandingsOfFlight(std::vector<LandingBlock> all, const Track& track);

// The events of the flight in time order, one line each, except where one kind repeats: four or
// more of a kind with at most two minutes between them become one line ("Glideslope: 54 changes
// between 10:41 and 10:44").
struct EventLine {
  int64_t stamp = 0;
  std::string text;
};
std::vector<EventLine> GroupedEvents(const Track& track);

// Appends the page. `name` is the flight's name as typed.
void WriteReviewPage(std::string& out, const Track& track,
                     const std::vector<LandingBlock>& landings, std::string_view name);

}  // namespace sky
