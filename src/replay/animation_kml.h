// The time-animated part of a converted flight, built from "Animation.txt", "Flightlog.txt" and
// "Traffic.txt" in the data folder and written piece by piece: one frame per animation record
// (the link from the last logged point, the predicted path and the aircraft), the event
// placemarks, the history path and the recorded traffic.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "kml/log_records.h"

namespace sky {

class FileSystem;
struct KmlTemplateSet;

// What the animated part is built from: the logs in the data folder, the snippets, the user's
// decimal separator (of the logs' texts), and the settings the frames and traffic use.
struct ReplayInputs {
  FileSystem& files;
  std::string dataFolder;  // ends with its separator
  const KmlTemplateSet& kml;
  std::string_view separator;
  int PredPathMultiplier = 10;      // seconds the aircraft's predicted path reaches ahead
  int PredPathMultiplierTCAS = 10;  // the same for the traffic
  int GNDRange = 400;               // the aircraft pin's camera range on the ground, metres
  MessageBoard& board;
};

// What the animated part of the last converted flight holds, as written.
struct AnimationCounts {
  bool written = false;
  size_t frames = 0;
  size_t specialPlacemarks = 0;  // event pins and flight-data points
  size_t trafficPlacemarks = 0;  // a path and a label per recorded traffic line
};

// Writes the animated part, which goes just before the document's end, and counts what it wrote
// into `counts`. Without "Animation.txt" in the data folder it writes nothing and returns true.
// Lines of the logs that cannot be read are left out and counted on the board ("Skipped 1
// damaged line in Animation.txt."). After a failure (a log that cannot be read or holds no
// record, a snippet that does not fit) it posts "Not able to convert flightlog" and returns
// false: what it wrote is then to be dropped again. A failure of `out` itself (KmlWriteError) is
// the document's and goes up to its writer.
bool BuildAnimation(const ReplayInputs& in, TextSink& out, AnimationCounts& counts);

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
