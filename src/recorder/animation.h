// Animation and traffic recording: while animation mode is on, every tick goes into
// "Animation.txt" (a parked aircraft only once) and, while the TCAS display reads traffic, every
// traffic aircraft into "Traffic.txt". Both files are opened, appended and closed per call.
#pragma once

#include <string>

namespace sky {

struct App;

inline constexpr char kAnimationLogFile[] = "Animation.txt";
inline constexpr char kTrafficLogFile[] = "Traffic.txt";

// Records the current sample with the record's event code (possibly empty) and the traffic
// table. A failure posts "Error in animating flight." and skips the rest of the call; the next
// tick simply tries again. Returns false after a failure.
bool RecordAnimation(App& app, const std::string& code);

// The traffic lines of one recording, each ended by CR LF: time stamp, ID, latitude, longitude,
// altitude, heading, ground speed, call sign, vertical speed, threat level, relative altitude
// ("+12", "-1") and `previous`, for every row of the table with a latitude, in table order.
// Throws std::exception when a value does not convert.
void BuildTrafficLines(App& app, const std::string& stamp, const std::string& previous,
                       std::string& lines);

}  // namespace sky
