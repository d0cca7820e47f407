// The short summary the headless runner prints at the end of a run: the records of the flight
// log, its events by code, the touchdown and its rating, the saved Google Earth documents with
// their size, what the last convert's animated replay holds, the review page, the exports and the
// landing reports.
#pragma once

#include <string>
#include <vector>

namespace sky {

struct App;

// `opened`: everything the program asked the shell to open during the run.
std::string FlightSummary(App& app, const std::vector<std::string>& opened);

}  // namespace sky
