// The recorded traffic in the animated replay: every line of "Traffic.txt" becomes a coloured
// predicted-path placemark and a label pin that Google Earth shows from one second after the
// previous recording up to its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;
class FileSystem;

// Whether the traffic log holds traffic: its first item (the text up to the first comma or the
// end of the first line, blanks and enclosing quotes taken away) is not empty. Throws
// DataError when the log cannot be read.
bool TrafficLogHasTraffic(FileSystem& files, const std::string& path);

struct TrafficDrawn {
  size_t records = 0;  // drawn
  size_t skipped = 0;  // lines that cannot be read as a record, left out
};

// Writes the path placemark and the label pin of every record with an ID, in file order, reading
// the log piece by piece; a line that cannot be read as a record (too few fields, a stamp or a
// number that does not read) is left out and counted. A record's class snippet comes from
// its recorded threat level (2 yellow, 3 orange, 4 red, any other blue), its prediction reaches
// `predictionSeconds` ahead. A record without a previous time stamp (one recorded with an event)
// takes the stamp of the recording before it. A call sign holding ":" is the text between the
// seventh field and the last four. Throws DataError, MissingPlaceholder or another
// std::exception when the log cannot be read or a snippet does not fit.
TrafficDrawn WriteAnimatedTraffic(const KmlTemplateSet& kml, std::string_view separator,
                                  int predictionSeconds, FileSystem& files, const std::string& path,
                                  TextSink& out);

}  // namespace sky
