// The KML flight document: a flight log turned into a Google Earth document, in convert mode
// (a finished flight) or realtime mode (the path so far with the live position and camera).
#pragma once

#include <functional>
#include <string>

#include "kml/log_records.h"

namespace sky {

struct App;

// Writes more of the document just before its end (the convert command's animated replay).
// Returns false when what it wrote is to be dropped again: the document then ends without it.
using BeforeEndWriter = std::function<bool(TextSink& out)>;

// Writes the document (and in realtime mode the location document). Returns false after a
// failure, which is also posted as "Not able to convert flightlog".
bool WriteKmlDocument(App& app, const std::string& inputLog, const std::string& outputPath,
                      const std::string& documentName, bool realtime,
                      const std::string& locationPath, const BeforeEndWriter& beforeEnd = {});

}  // namespace sky
