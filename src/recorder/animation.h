// Animation and traffic recording: while animation mode is on, every tick goes into
// "Animation.txt" (a parked aircraft only once) and, while the TCAS display reads traffic, every
// traffic aircraft into "Traffic.txt". Both files are opened, appended and closed per call.
#pragma once

#include <string>
#include <vector>

#include "core/log_format.h"
#include "recorder/flightlog.h"

namespace sky {

// Records the current sample with the record's event code (possibly empty) and the traffic
// table. A traffic line holds the recording's time stamp, the table's ID, latitude, longitude,
// altitude, heading, ground speed, call sign and vertical speed, the threat level, the relative
// altitude in hundreds of feet ("+12", "-1") and the record's previous time stamp
// (`prevTimestamp`, "-" when empty, nothing with an event code). A failure adds "Error in
// animating flight." to `sentences` and skips the rest of the call; the next tick simply tries
// again. Returns false after a failure.
bool RecordAnimation(const RecordInputs& in, const std::string& prevTimestamp,
                     const std::string& code, std::vector<std::string>& sentences);

}  // namespace sky
