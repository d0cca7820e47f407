// The program's own temporary files: documents, saved copies, the settings and downloads are
// written to "<name>.tmp" and renamed into place, so a kill between the two leaves the temporary
// file behind. These are removed at start-up and before a convert, by their exact names (the
// saved copies' by their name pattern), in the folders where the program writes them; nothing
// else in those folders is touched.
#pragma once

#include <string>

namespace sky {

class FileSystem;

// Each folder ends with a separator; an empty one is passed over.
struct TemporaryFileFolders {
  std::string data;         // the realtime documents, Flightlog.kml, Offsets.txt
  std::string savedTracks;  // the saved copies of converted flights
  std::string program;      // the updater
  std::string plugins;      // the X-Plane module's two files
};

void RemoveStaleTemporaryFiles(FileSystem& files, const TemporaryFileFolders& folders);

}  // namespace sky
