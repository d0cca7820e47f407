// What start-up and the tick ask of the flight log as a whole: whether it holds records, and
// whether its last record is recent.
#pragma once

#include <string>

namespace sky {

class Clock;
class FileSystem;

// The last whole record of the flight log (one whose time stamp reads) is at most one hour old.
// Lines that cannot be read are passed over, and a log of nothing but such lines counts as recent,
// so that start-up never empties a log because of a damaged line. False for an empty log and one
// that cannot be read.
bool IsLogRecent(FileSystem& files, Clock& clock, const std::string& log);
// The flight log has content (looks at its first five lines).
bool LogHasRecords(FileSystem& files, const std::string& log);

}  // namespace sky
