// Animation and traffic recording: while animation mode is on, every tick goes into
// "Animation.txt" (a parked aircraft only once) and, while the TCAS display reads traffic, every
// traffic aircraft into "Traffic.txt". Both files are opened, appended and closed per call.
#pragma once

#include <string>

#include "core/log_format.h"

namespace sky {

struct App;

// Records the current sample with the record's event code (possibly empty) and the traffic
// table. A traffic line holds the recording's time stamp, the table's ID, latitude, longitude,
// altitude, heading, ground speed, call sign and vertical speed, the threat level, the relative
// altitude in hundreds of feet ("+12", "-1") and the record's previous time stamp. A failure
// posts "Error in animating flight." and skips the rest of the call; the next tick simply tries
// again. Returns false after a failure.
bool RecordAnimation(App& app, const std::string& code);

}  // namespace sky
