// The KML flight document: a flight log turned into a Google Earth document, in convert mode (a
// finished flight) or realtime mode (the path so far with the live position and camera, and the
// small location document that carries the camera).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "kml/log_records.h"
#include "kml/realtime_records.h"
#include "kml/realtime_view.h"

namespace sky {

class FileSystem;
struct KmlTemplateSet;

// What both modes write with: the files, the snippets, the user's decimal separator (of the
// logs' texts), and the board that hears of a failure.
struct KmlOutput {
  FileSystem& files;
  const KmlTemplateSet& kml;
  std::string_view separator;
  MessageBoard& board;
};

// Writes more of the document just before its end (the convert command's animated replay).
// Returns false when what it wrote is to be dropped again: the document then ends without it.
using BeforeEndWriter = std::function<bool(TextSink& out)>;

// Convert mode: the document of the flight log `inputLog`, named `documentName`, at
// `outputPath`. Returns false after a failure, which is also posted as "Not able to convert
// flightlog"; the document at `outputPath` then stays as it was.
bool WriteKmlDocument(const KmlOutput& output, const std::string& inputLog,
                      const std::string& outputPath, const std::string& documentName,
                      const BeforeEndWriter& beforeEnd = {});

// Realtime mode: the realtime log's document with the aircraft's pin, its predicted path and the
// traffic, and the location document with the camera. What earlier ticks rendered is kept in
// `cache` (dropped after a failure). Returns false after a failure, posted as in convert mode;
// neither document is then rewritten.
struct RealtimeDocuments {
  std::string inputLog;      // "Realtime.txt"
  std::string outputPath;    // "Realtime.kml"
  std::string documentName;  // "<product> Realtime Flightpath"
  std::string locationPath;  // "RealtimeLocation.kml"
};
bool WriteRealtimeKmlDocuments(const KmlOutput& output, const RealtimeDocuments& documents,
                               const RealtimeScene& scene, RealtimeRenderingCache& cache);

}  // namespace sky
