// What start-up and the tick ask of the flight log as a whole: whether it holds records, and
// whether its last record is recent.
#pragma once

namespace sky {

struct App;

// The last record of the flight log is at most one hour old.
bool IsLogRecent(App& app);
// The flight log has content (looks at its first five lines).
bool LogHasRecords(App& app);

}  // namespace sky
