// The records of the realtime log ("Realtime.txt": the flight log, then the present position) as
// the realtime flight document shows them: the path segments, the event pins and the flight-data
// points. The document is rewritten every second from a log that grows only at its end, so each
// record is rendered once: what earlier ticks rendered is kept (a RealtimeRenderingCache the
// program holds from tick to tick) and a tick
// renders only the records that are new or may still change.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

class FileSystem;
struct KmlTemplateSet;
struct RealtimeRendering;

// What earlier ticks rendered; empty until a document was rendered, and emptied wherever the logs
// or the settings may change under it.
using RealtimeRenderingCache = std::shared_ptr<RealtimeRendering>;

// The records of one realtime document: each part is what earlier ticks rendered followed by
// what this tick rendered.
struct RenderedRecords {
  std::shared_ptr<const RealtimeRendering> kept;
  std::string pathTail;  // ends with the closing of the last segment and its run folder
  std::string pinsTail;
  std::string pointsTail;
  bool pinsWritten = false;    // the log holds an event: the "Special placemarks" folder is there
  bool pointsWritten = false;  // and a record without one: so is its "Flight data" folder
};

// Renders the records of the log at `path` as WritePathSegments and WriteSpecialPlacemarks (in
// realtime mode) write them. The records rendered earlier are kept while the log still begins
// with them (checked at the end of the kept part) and the snippets and the decimal separator are
// the ones they were rendered with; all but the log's last two records are kept for the next
// tick: the last is the present position, and the marks of the one before it depend on whether
// the present position begins a logging run. Throws DataError or MissingPlaceholder, and then
// keeps nothing.
RenderedRecords RenderRealtimeRecords(FileSystem& files, const KmlTemplateSet& kml,
                                      std::string_view separator, const std::string& path,
                                      RealtimeRenderingCache& cache);

// The run folders with their segments.
void WriteRenderedPath(const RenderedRecords& records, TextSink& out);
// The "Special placemarks" folder with its "Flight data" folder; nothing without an event.
void WriteRenderedPlacemarks(const RenderedRecords& records, TextSink& out);

}  // namespace sky
