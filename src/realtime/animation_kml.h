// The time-animated part of a converted flight, built from "Animation.txt", "Flightlog.txt" and
// "Traffic.txt" in the data folder.
#pragma once

#include <string>

namespace sky {

struct App;

// The animated part as text, placed before the document's end; empty when there is no animation
// log or the build fails (which posts "Not able to convert flightlog").
std::string BuildAnimation(App& app);

}  // namespace sky
