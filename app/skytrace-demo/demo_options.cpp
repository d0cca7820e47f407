#include "demo_options.h"

#include <cstdlib>
#include <ostream>

#include "core/text.h"

namespace sky {

const char kDemoUsage[] =
    "usage: skytrace-demo [--track FILE] [--actions FILE] [--seconds N]\n"
    "                     [--data-dir DIR] [--docs-dir DIR]\n"
    "                     [--start \"YYYY-MM-DD HH:MM:SS\"] [--decimal-separator SEP]\n"
    "                     [--traffic FILE] [--server URL] [--user NAME] [--live]\n"
    "                     [--timings FILE]\n";

bool ParseDemoOptions(int argc, char** argv, DemoOptions& options, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--live") {
      options.live = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (i + 1 >= argc) {
      err << "skytrace-demo: " << CutInput(arg) << " needs a value\n";
      return false;
    }
    const std::string value = argv[++i];
    if (arg == "--seconds") {
      char* end = nullptr;
      const long seconds = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end || seconds < 0 || seconds > 10000000) {
        err << "skytrace-demo: --seconds needs a whole number\n";
        return false;
      }
      options.seconds = static_cast<int>(seconds);
    } else if (arg == "--data-dir") {
      options.dataDir = value;
    } else if (arg == "--docs-dir") {
      options.docsDir = value;
    } else if (arg == "--start") {
      options.start = value;
    } else if (arg == "--decimal-separator") {
      options.decimalSeparator = value;
    } else if (arg == "--actions") {
      options.actionsFile = value;
    } else if (arg == "--track") {
      options.trackFile = value;
    } else if (arg == "--traffic") {
      options.trafficFile = value;
    } else if (arg == "--server") {
      options.server = value;
    } else if (arg == "--user") {
      options.user = value;
    } else if (arg == "--timings") {
      options.timingsFile = value;
    } else {
      err << "skytrace-demo: unknown option " << CutInput(arg) << "\n" << kDemoUsage;
      return false;
    }
  }
  return true;
}

}  // namespace sky
