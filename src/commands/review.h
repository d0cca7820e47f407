// The review of a converted flight and its exports, the landing reports of the tick, and the main
// window's review controls (btn_Review, chkExports) with their settings file "Review.txt".
#pragma once

#include <string>

namespace sky {

struct App;

// Start-up: reads "Review.txt" (the export option and the last review page); a missing or
// damaged file means no exports and no review.
void LoadReviewSettings(App& app);

// chkExports: switches the exports on or off and keeps the choice in "Review.txt".
void ToggleExports(App& app);

// btn_Review: opens the last review page in the web browser.
void OpenFlightReview(App& app);

// The tick, after the sample is recorded: feeds the landing monitor; a landing that has rolled
// out is appended to "Landings.txt" and told on the message board.
void WatchLanding(App& app);
// The samples stop (a lost link): an open landing report ends with what it has.
void StopWatchingLanding(App& app);

// The convert, after the saved copy "Flightlog <name> <stamp>.kml": writes "Review <name>
// <stamp>.html" and, with the option on, the exports "Flightlog <name> <stamp>.gpx" and so on,
// into `savedFolder`. `fileName` is the name as it may stand in a file name, `typedName` as
// typed. A failure leaves the saved copy alone and returns the sentence for the caller to post
// ("Unable to write the flight review."), "" when all was written.
std::string WriteReviewAndExports(App& app, const std::string& savedFolder,
                                  const std::string& fileName, const std::string& stamp,
                                  const std::string& typedName);

}  // namespace sky
