// The logging commands of the main window (start, stop, reset, animation) and the three status
// labels that show the recording state.
#pragma once

namespace sky {

struct App;

void StartLogging(App& app);
void StopLogging(App& app);
// noQuestion skips the Yes/No confirmation (start-up passes true, the button false).
void ResetLog(App& app, bool noQuestion);
void ToggleAnimation(App& app);
void UpdateStatusLabels(App& app, bool logging, bool written, bool realtime);
// Forgets the previous sample's texts and time stamp.
void ClearPreviousValues(App& app);

}  // namespace sky
