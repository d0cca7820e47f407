// The recording state as the main window shows it (the logging, animation and realtime labels),
// and the previous sample's values that a new logging run starts without.
#pragma once

namespace sky {

struct App;

void UpdateStatusLabels(App& app, bool logging, bool written, bool realtime);
// Forgets the previous sample's texts and time stamp.
void ClearPreviousValues(App& app);

}  // namespace sky
