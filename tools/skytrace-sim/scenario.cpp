#include "skytrace-sim/scenario.h"

#include <fstream>
#include <sstream>

#include "skytrace-sim/builtin_flight.h"

namespace sky::sim {

bool Scenario::LoadFlight(const std::string& trackFile, std::string& error) {
  if (trackFile.empty()) {
    flight_ = BuiltinFlight();
    return true;
  }
  std::ifstream in(trackFile, std::ios::binary);
  if (!in) {
    error = "cannot read " + trackFile;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string reason;
  auto track = ParseTrack(text.str(), reason);
  if (!track) {
    error = trackFile + ": " + reason;
    return false;
  }
  flight_ = std::move(*track);
  return true;
}

bool Scenario::LoadTraffic(const std::string& trafficFile, std::string& error) {
  if (trafficFile.empty()) {
    traffic_ = std::make_unique<BuiltInTraffic>(
        [&core = core_](double) { return OwnStateFromCore(core); });
    return true;
  }
  traffic_ = LoadTrafficFile(trafficFile, error);
  return traffic_ != nullptr;
}

void Scenario::AdvanceTo(double t) {
  WriteFlightState(core_, flight_.At(t));
  UpdateTraffic(*traffic_, core_, t);
}

}  // namespace sky::sim
