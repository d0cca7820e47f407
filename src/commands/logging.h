// The logging commands of the main window: start, stop, reset, animation.
#pragma once

#include <string>

namespace sky {

struct App;

void StartLogging(App& app);
void StopLogging(App& app);
// noQuestion skips the Yes/No confirmation (start-up passes true, the button false).
void ResetLog(App& app, bool noQuestion);
void ToggleAnimation(App& app);

// Records the sample (see RecordSample); when recording fails, cleans up after the realtime
// link, asks the main window to close and posts "Unable to track the flight.". Returns false
// when the program has ended (a host may close the window later, and then the caller goes on).
bool RecordSampleOrClose(App& app, const std::string& code, bool force);

}  // namespace sky
