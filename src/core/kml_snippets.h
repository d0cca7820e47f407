// The KML snippets the writers fill: one text per key of "KMLSettings.txt", the file installed
// beside the program.
#pragma once

#include <string>

namespace sky {

struct KmlTemplateSet {
  std::string KML;
  std::string KMLEnd;
  std::string Folder;
  std::string FolderEnd;
  std::string LookAt;
  std::string Path;
  std::string PathWarning;
  std::string PlacemarkEnd;
  std::string PathGND;
  std::string PlacemarkPin;
  std::string PlacemarkPinSmall;
  std::string PlacemarkPinSmallAir;
  std::string PlacemarkPinWarning;
  std::string PlacemarkPinWarningAir;
  std::string PinDot;
  std::string PinDotAir;
  std::string KMLRealtime;
  std::string KMLTCASBlue;
  std::string KMLTCASYellow;
  std::string KMLTCASOrange;
  std::string KMLTCASRed;
  std::string PredictedPath;
  std::string PredictedPathGND;

  bool operator==(const KmlTemplateSet&) const = default;
};

inline constexpr char kKmlSettingsFile[] = "KMLSettings.txt";

}  // namespace sky
