// What a run of the simulator side serves: a flight (a track file, or the built-in flight) and
// the traffic around it (a traffic file, or the built-in traffic around the own aircraft), shown
// in a simulator core's offsets second by second.
#pragma once

#include <memory>
#include <string>

#include "skytrace-sim/simulator_core.h"
#include "skytrace-sim/track.h"
#include "skytrace-sim/traffic_source.h"

namespace sky::sim {

class Scenario {
 public:
  explicit Scenario(SimulatorCore& core) : core_(core) {}

  // The flight of a track file, or the built-in flight when `trackFile` is empty. False, with
  // `error` as "cannot read FILE" or "FILE: line N: reason", when the file is refused.
  bool LoadFlight(const std::string& trackFile, std::string& error);
  // The traffic of a traffic file, or the built-in traffic around the aircraft the core shows
  // when `trafficFile` is empty. False, with `error` as "FILE: reason", when the file is refused.
  bool LoadTraffic(const std::string& trafficFile, std::string& error);

  // Shows the flight at simulated second t in the core, and then the traffic around it (t never
  // goes back; after the flight's end the aircraft stays as it was).
  void AdvanceTo(double t);

  const Track& Flight() const { return flight_; }

 private:
  SimulatorCore& core_;
  Track flight_;
  std::unique_ptr<TrafficSource> traffic_;
};

}  // namespace sky::sim
