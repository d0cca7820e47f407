// The logging commands of the main window (start, stop, reset, animation), the recording labels
// they and the tick keep, and the tick's record of a sample.
#pragma once

#include <string>

namespace sky {

struct App;

void StartLogging(App& app);
void StopLogging(App& app);
// noQuestion skips the Yes/No confirmation (start-up passes true, the button false).
void ResetLog(App& app, bool noQuestion);
void ToggleAnimation(App& app);

// What the main window's recording labels show: "Logging" (green after a written record) or "No
// logging", "Animation" (while logging in animation mode) or "No animation", "Realtime" or "No
// realtime". Callers name each value: UpdateStatusLabels(app, {.logging = ..., ...}).
struct RecordingLabels {
  bool logging = false;
  bool written = false;
  bool realtime = false;
};
void UpdateStatusLabels(App& app, RecordingLabels labels);
// The labels of a program that records nothing: "No logging", "No animation", "No realtime".
void ShowNotRecording(App& app);

// Records the sample (see RecordSample) and shows what the recorder says: the sentences, the
// logging label, the status window's warning colours. When recording fails, cleans up after the
// realtime link, asks the main window to close and posts "Unable to track the flight.". Returns
// false when the program has ended (a host may close the window later, and then the caller goes
// on).
bool RecordSampleOrClose(App& app, const std::string& code, bool force);

}  // namespace sky
