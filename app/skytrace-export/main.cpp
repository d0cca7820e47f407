// skytrace-export: writes the review page or the exports of a logged flight, from a data folder
// (Flightlog.txt, with Animation.txt and Landings.txt where they are) or a flight-log file.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/std_files.h"
#include "review/exports.h"
#include "review/landing.h"
#include "review/review_page.h"
#include "review/track.h"

namespace {

constexpr std::string_view kUsage =
    "usage: skytrace-export [--format FORMAT] [--name NAME] INPUT OUTPUT\n"
    "\n"
    "Writes a logged flight for other programs, or its review page.\n"
    "  INPUT   a data folder holding Flightlog.txt (and Animation.txt, Landings.txt when there),\n"
    "          or a flight-log file\n"
    "  OUTPUT  the file to write; with --format all, a folder that gets NAME.gpx, NAME.igc,\n"
    "          NAME.geojson, NAME.csv and \"Review NAME.html\"\n"
    "  --format gpx | igc | geojson | csv | html | all   (default: from OUTPUT's extension)\n"
    "  --name NAME   the flight's name in the files (default: Flight)\n";

struct Output {
  std::string format;  // gpx, igc, geojson, csv, html
  std::string path;
};

std::string Extension(const std::string& path) {
  const std::string ext = std::filesystem::path(path).extension().string();
  return ext.empty() ? "" : ext.substr(1);
}

bool Write(sky::FileSystem& files, const Output& output, const sky::Track& track,
           const std::vector<sky::LandingBlock>& landings, const std::string& name) {
  std::string text;
  if (output.format == "html") {
    sky::WriteReviewPage(text, track, landings, name);
  } else {
    for (const sky::ExportFormat format : sky::kExportFormats) {
      if (sky::ExportExtension(format).substr(1) == output.format) {
        sky::WriteExport(text, format, track, name);
      }
    }
  }
  const std::string temporary = output.path + ".tmp";
  if (files.WriteAll(temporary, text) && files.Rename(temporary, output.path)) return true;
  files.Remove(temporary);
  std::cerr << "skytrace-export: cannot write " << output.path << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string format, name = "Flight";
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if ((arg == "--format" || arg == "--name") && i + 1 < argc) {
      (arg == "--format" ? format : name) = argv[++i];
    } else if (arg.substr(0, 2) == "--") {
      std::cerr << "skytrace-export: unknown option " << arg << "\n" << kUsage;
      return 2;
    } else {
      paths.emplace_back(arg);
    }
  }
  if (paths.size() != 2) {
    std::cerr << kUsage;
    return 2;
  }
  if (format.empty()) format = Extension(paths[1]);
  const std::vector<std::string> known = {"gpx", "igc", "geojson", "csv", "html"};
  std::vector<Output> outputs;
  if (format == "all") {
    const std::string folder = paths[1] + "/";
    for (const std::string& f : known) {
      outputs.push_back({f, folder + (f == "html" ? "Review " + name : name) + "." + f});
    }
  } else if (std::find(known.begin(), known.end(), format) != known.end()) {
    outputs.push_back({format, paths[1]});
  } else {
    std::cerr << "skytrace-export: unknown format \"" << format
              << "\" (gpx, igc, geojson, csv, html or all)\n";
    return 2;
  }

  sky::StdFileSystem files;
  sky::Track track;
  std::vector<sky::LandingBlock> landings;
  try {
    std::error_code error;
    if (std::filesystem::is_directory(paths[0], error)) {
      const std::string folder = paths[0] + "/";
      track = sky::ReadFlightTrack(files, folder);
      if (const auto text = files.ReadAll(folder + "Landings.txt")) {
        landings = sky::LandingsOfFlight(sky::ReadLandingBlocks(*text), track);
      }
    } else {
      const auto text = files.ReadAll(paths[0]);
      if (!text) throw sky::TrackInputError(paths[0] + " cannot be read");
      sky::AddLogRecords(track, *text, std::filesystem::path(paths[0]).filename().string(), false);
      if (track.points.empty()) throw sky::TrackInputError(paths[0] + " holds no record");
      sky::FinishTrack(track);
    }
  } catch (const sky::TrackInputError& error) {
    std::cerr << "skytrace-export: " << error.what() << "\n";
    return 1;
  }
  if (format == "all" && !files.CreateDirectories(paths[1])) {
    std::cerr << "skytrace-export: cannot create the folder " << paths[1] << "\n";
    return 1;
  }
  for (const Output& output : outputs) {
    if (!Write(files, output, track, landings, name)) return 1;
    std::cout << output.path << "\n";
  }
  return 0;
}
