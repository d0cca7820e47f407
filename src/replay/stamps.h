// The fourteen-digit time stamps of the logs (UTC date and time, "yyyymmddhhmmss"; logs of
// earlier versions hold the local date there) as the animated replay reads them: checked, one
// second later, and as KML and display times.
#pragma once

#include <string>
#include <string_view>

namespace sky {

// Fourteen digits whose date and time of day exist (the stamp of 29 February only in a leap
// year); throws DataError otherwise.
void CheckStamp(std::string_view stamp);

// The stamp one second later; at midnight the date moves on by a day. Throws DataError when
// the text is no stamp.
std::string NextSecond(std::string_view stamp);

// "yyyy-mm-ddThh:mm:ss" followed by `zone` ("Z" or "z") of a checked stamp.
std::string KmlTime(std::string_view stamp, char zone);

}  // namespace sky
