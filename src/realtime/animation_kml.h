// The time-animated part of a converted flight, built from "Animation.txt", "Flightlog.txt" and
// "Traffic.txt" in the data folder and written piece by piece: one frame per animation record
// (the link from the last logged point, the predicted path and the aircraft), the event
// placemarks, the history path and the recorded traffic.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kml/log_records.h"

namespace sky {

struct App;

// Writes the animated part, which goes just before the document's end. Without "Animation.txt"
// in the data folder it writes nothing and returns true. After a failure (a log that cannot be
// read or holds no record, a record, a number or a snippet that does not fit) it posts "Not able
// to convert flightlog" and returns false: what it wrote is then to be dropped again. A failure
// of `out` itself (KmlWriteError) is the document's and goes up to its writer.
bool BuildAnimation(App& app, TextSink& out);

// The flight-log record a frame's link path starts from. For a frame stamped t it is the record
// before the first one, from the second record on, that is the last or whose stamp is not
// earlier than t (stamps compared as texts); with a single record, that record. The cursor
// moves forward with frames whose stamps grow and searches back for an earlier one, so a whole
// flight takes O(frames + records) and stamps out of order still find that same record.
class StartRecordCursor {
 public:
  explicit StartRecordCursor(std::span<const std::string_view> records);
  size_t StartFor(std::string_view t);

 private:
  std::vector<std::string_view> highest_;  // [j]: the greatest stamp of records 1 to j
  size_t at_ = 1;
  std::string last_;  // the stamp of the previous frame
  bool first_ = true;
};

}  // namespace sky
