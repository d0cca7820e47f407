#include "demo_summary.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <system_error>

#include "commands/app.h"
#include "core/numtext.h"
#include "core/system.h"
#include "core/text.h"
#include "kml/event_table.h"
#include "recorder/flightlog.h"
#include "review/landing.h"
#include "shell/startup.h"

namespace sky {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string FlightSummary(App& app, const std::vector<std::string>& opened) {
  std::ostringstream out;
  out << "---- summary\n";
  std::string logPath;
  try {
    logPath = AppDataFolder(app.ports.folders) + kFlightLogFile;
  } catch (const FolderNotFound&) {
    return out.str() + "no data folder\n";
  }
  const auto text = app.ports.files.ReadAll(logPath);
  int records = 0;
  std::vector<std::string> order;  // event codes by their kind, in order of first appearance
  std::map<std::string, int> counts;
  std::vector<std::string> touchdowns;
  ForEachLine(text.value_or(""), [&](std::string_view line) {
    if (line.empty()) return true;
    ++records;
    const std::string code(RecordFields(line, 0)[Field::EventCode]);
    if (code.empty()) return true;
    const size_t equals = code.find('=');
    const std::string kind = equals == std::string::npos ? code : code.substr(0, equals + 1);
    if (counts[kind]++ == 0) order.push_back(kind);
    if (kind == "TD=") touchdowns.push_back(code);
    return true;
  });
  out << "flight log: " << records << " records written to " << logPath << "\n";
  out << "events by code:";
  if (order.empty()) out << " none";
  for (const std::string& kind : order) out << " " << kind << " " << counts[kind];
  out << "\n";
  for (const std::string& code : touchdowns) {
    const std::string speed = code.substr(3, code.find('/') - 3);
    const auto value = ParseNumber(speed, ".");
    out << "touchdown: " << speed << " ft/min, "
        << (value ? std::string(TouchdownRating(*value)) : std::string("not a number")) << "\n";
  }
  bool saved = false;
  for (const std::string& target : opened) {
    if (EndsWith(target, ".kml") && !EndsWith(target, "Skytrace Realtime.kml")) {
      out << "saved Google Earth document: " << target << "\n";
      std::error_code error;
      const auto bytes = std::filesystem::file_size(
          std::filesystem::path(std::u8string(target.begin(), target.end())), error);
      if (!error) {
        char megabytes[32];
        std::snprintf(megabytes, sizeof megabytes, "%.1f", static_cast<double>(bytes) / 1e6);
        out << "document size: " << megabytes << " MB (" << std::to_string(bytes) << " bytes)\n";
      }
      saved = true;
    }
  }
  if (!saved) out << "no flight was converted\n";
  const AnimationCounts& animation = app.lastAnimation;
  if (saved && animation.written) {
    out << "animated replay: " << animation.frames << " frames, " << animation.specialPlacemarks
        << " special placemarks, " << animation.trafficPlacemarks << " traffic placemarks\n";
  } else if (saved) {
    out << "animated replay: none\n";
  }
  if (saved && !app.review.lastReview.empty()) {
    out << "flight review: " << app.review.lastReview << "\n";
  }
  for (const std::string& path : app.review.lastExports) out << "export: " << path << "\n";
  if (const auto landings =
          app.ports.files.ReadAll(AppDataFolder(app.ports.folders) + "Landings.txt")) {
    out << "landing reports: " << ReadLandingBlocks(*landings).size() << " in "
        << AppDataFolder(app.ports.folders) << "Landings.txt\n";
  }
  return out.str();
}

}  // namespace sky
