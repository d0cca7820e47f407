// skytrace-sim: the simulator side of the link as a standalone program, for running the
// flight logger against a simulated aircraft.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "skytrace-sim/posix_server.h"
#include "skytrace-sim/simulator_core.h"
#include "skytrace-sim/traffic_source.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
  stopRequested = 1;
}

void Usage() {
  std::fprintf(stderr,
               "usage: skytrace-sim [--runtime-dir DIR] [--fs98] [--simulator CODE] [--xplane]\n"
               "                    [--bad-handshake] [--traffic FILE]\n");
}

}  // namespace

int main(int argc, char** argv) {
  sky::sim::PosixServerOptions options;
  uint16_t simulator = 8;
  bool xplane = false;
  sky::sim::SimFaults faults;
  std::string trafficFile;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        Usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--runtime-dir") {
      options.runtimeDir = value();
    } else if (arg == "--fs98") {
      options.className = "FS98MAIN";
    } else if (arg == "--simulator") {
      simulator = static_cast<uint16_t>(std::atoi(value().c_str()));
    } else if (arg == "--xplane") {
      xplane = true;
    } else if (arg == "--bad-handshake") {
      faults.badHandshake = true;
    } else if (arg == "--traffic") {
      trafficFile = value();
    } else {
      Usage();
      return 2;
    }
  }
  sky::sim::SimulatorCore core(simulator, xplane);
  core.SetFaults(faults);
  // Traffic from the file, or the built-in traffic around the own aircraft.
  std::unique_ptr<sky::sim::TrafficSource> traffic;
  if (!trafficFile.empty()) {
    std::string error;
    traffic = sky::sim::LoadTrafficFile(trafficFile, error);
    if (!traffic) {
      std::fprintf(stderr, "skytrace-sim: %s\n", error.c_str());
      return 2;
    }
  } else {
    traffic = std::make_unique<sky::sim::BuiltInTraffic>(
        [&core](double) { return sky::sim::OwnStateFromCore(core); });
  }
  sky::sim::PosixSimServer server(core, options);
  if (!server.Start()) {
    std::fprintf(stderr, "skytrace-sim: %s\n", server.Error().c_str());
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("skytrace-sim: answering on %s\n", server.SocketPath().c_str());
  std::fflush(stdout);
  const auto started = std::chrono::steady_clock::now();
  while (!stopRequested) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    sky::sim::UpdateTraffic(*traffic, core, elapsed.count());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  server.Stop();
  return 0;
}
