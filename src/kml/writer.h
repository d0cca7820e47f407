// The KML flight document: a flight log turned into a Google Earth document, in convert mode
// (a finished flight) or realtime mode (the path so far with the live position and camera).
#pragma once

#include <string>

namespace sky {

struct App;

// Writes the document (and in realtime mode the location document). Returns false after a
// failure, which is also posted as "Not able to convert flightlog".
bool WriteKmlDocument(App& app, const std::string& inputLog, const std::string& outputPath,
                      const std::string& documentName, bool realtime,
                      const std::string& locationPath);

}  // namespace sky
