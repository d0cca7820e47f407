// Repair of the three logs at the start of a logging run: a record that a kill or a power cut
// left without its line end is cut away, so that the run's first record starts on a line of its
// own instead of being glued to it.
#pragma once

#include <string>

namespace sky {

class FileSystem;

// Cuts the log back to its last line end (CR LF, LF or a lone CR). Only the log's tail is read,
// so a long animation or traffic log costs no more than a short one. A missing log stays missing;
// a log that cannot be read or cut is left as it is (the append that follows says whether it can
// be used).
void CutUnfinishedLine(FileSystem& files, const std::string& log);

}  // namespace sky
