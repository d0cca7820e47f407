// skytrace-sim: the simulator side of the link as a standalone program, for running the
// flight logger against a simulated aircraft. It serves a flight (the built-in one, or a track
// file) in real time, or faster, updating the offsets once every simulated second, with traffic
// around it (the built-in traffic, or a traffic file), or in lockstep with the program (one
// simulated second per flight sample it reads, for tests that compare two runs); or it bridges a
// running FlightGear or X-Plane to the program's link.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "simlink/flightdata.h"
#include "skytrace-sim/live_network.h"
#include "skytrace-sim/scenario.h"
#include "skytrace-sim/sim_server.h"
#include "skytrace-sim/simulator_core.h"
#include "skytrace-sim/track.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
  stopRequested = 1;
}

void Usage(std::FILE* to = stderr) {
  std::fprintf(to,
               "usage: skytrace-sim [--track FILE] [--speed X | --lockstep] [--write-track FILE]\n"
               "                    [--traffic FILE] [--runtime-dir DIR] [--fs98]\n"
               "                    [--simulator CODE] [--xplane-module] [--bad-handshake]\n"
               "       skytrace-sim --flightgear [HOST:]PORT [--runtime-dir DIR]\n"
               "       skytrace-sim --xplane [[HOST:]PORT] [--runtime-dir DIR]\n");
}

// Bridges a running simulator ("flightgear" or "xplane") to the program's link until stopped.
int RunLive(const std::string& kind, const std::string& where,
            const sky::sim::SimServerOptions& options, uint16_t simulator) {
#ifdef _WIN32
  (void)where, (void)options, (void)simulator;
  std::fprintf(stderr,
               "skytrace-sim: --%s is not available in the Windows build (the bridges to "
               "FlightGear and X-Plane are built on Linux)\n",
               kind.c_str());
  return 2;
#else
  const bool xplane = kind == "xplane";
  const auto address = sky::sim::ParseHostPort(where, xplane ? 49000 : 0);
  if (!address) {
    std::fprintf(stderr, "skytrace-sim: --%s needs [HOST:]PORT, not \"%s\"\n", kind.c_str(),
                 where.c_str());
    return 2;
  }
  sky::sim::SimulatorCore core(simulator, xplane);
  const auto server = sky::sim::MakeSimServer(core, options);
  std::unique_ptr<sky::sim::LiveSimulator> source;
  if (xplane) {
    source = std::make_unique<sky::sim::XPlaneLink>(*address);
  } else {
    source = std::make_unique<sky::sim::FlightGearLink>(*address);
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("skytrace-sim: bridging %s to %s\n", source->Name().c_str(),
              server->Address().c_str());
  std::fflush(stdout);
  sky::sim::LinkSwitch link{[&server](std::string& error) {
                              if (server->Start()) return true;
                              error = server->Error();
                              return false;
                            },
                            [&server] { server->Stop(); }};
  sky::sim::RunLiveBridge(*source, core, std::move(link), stopRequested);
  return 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  sky::sim::SimServerOptions options;
  uint16_t simulator = 8;
  bool xplane = false;
  sky::sim::SimFaults faults;
  std::string trackFile;
  std::string writeTrack;
  double speed = 1;
  bool lockstep = false;
  std::string trafficFile;
  std::string live;  // "flightgear" or "xplane"
  std::string liveAddress;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        Usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return 0;
    }
    if (arg == "--runtime-dir") {
      options.runtimeDir = value();
    } else if (arg == "--fs98") {
      options.className = "FS98MAIN";
    } else if (arg == "--simulator") {
      simulator = static_cast<uint16_t>(std::atoi(value().c_str()));
    } else if (arg == "--xplane-module") {
      xplane = true;
    } else if (arg == "--flightgear") {
      live = "flightgear";
      liveAddress = value();
    } else if (arg == "--xplane") {
      live = "xplane";
      if (i + 1 < argc && argv[i + 1][0] != '-') liveAddress = argv[++i];
    } else if (arg == "--bad-handshake") {
      faults.badHandshake = true;
    } else if (arg == "--track") {
      trackFile = value();
    } else if (arg == "--write-track") {
      writeTrack = value();
    } else if (arg == "--speed") {
      const std::string text = value();
      char* end = nullptr;
      speed = std::strtod(text.c_str(), &end);
      if (*end || !(speed > 0) || speed > 1000) {
        std::fprintf(stderr, "skytrace-sim: --speed needs a number above 0 (at most 1000)\n");
        return 2;
      }
    } else if (arg == "--lockstep") {
      lockstep = true;
    } else if (arg == "--traffic") {
      trafficFile = value();
    } else {
      Usage();
      return 2;
    }
  }

  if (!live.empty()) return RunLive(live, liveAddress, options, simulator);
  sky::sim::SimulatorCore core(simulator, xplane);
  sky::sim::Scenario scenario(core);
  std::string error;
  if (!scenario.LoadFlight(trackFile, error)) {
    std::fprintf(stderr, "skytrace-sim: %s\n", error.c_str());
    return 2;
  }
  const sky::sim::Track& flight = scenario.Flight();
  if (!writeTrack.empty()) {
    std::ofstream out(writeTrack, std::ios::binary);
    out << sky::sim::FormatTrack(flight);
    out.close();
    if (!out) {
      std::fprintf(stderr, "skytrace-sim: cannot write %s\n", writeTrack.c_str());
      return 1;
    }
    return 0;
  }

  core.SetFaults(faults);
  if (!scenario.LoadTraffic(trafficFile, error)) {
    std::fprintf(stderr, "skytrace-sim: %s\n", error.c_str());
    return 2;
  }
  scenario.AdvanceTo(0);
  // In lockstep, the n-th flight sample the program reads shows the flight at n seconds, and
  // the traffic around it: two runs of the program on the same simulated clock see the same.
  long step = 0;
  if (lockstep) {
    core.SetBeforeReading(sky::kFlightOffsets[0].offset, [&] {
      ++step;
      scenario.AdvanceTo(static_cast<double>(step));
    });
  }
  const auto server = sky::sim::MakeSimServer(core, options);
  if (!server->Start()) {
    std::fprintf(stderr, "skytrace-sim: %s\n", server->Error().c_str());
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  char pace[32] = "in lockstep";
  if (!lockstep) std::snprintf(pace, sizeof pace, "at %gx", speed);
  std::printf("skytrace-sim: answering %s, flight of %.0f s %s\n",
              sky::sim::WhereAnswering(*server).c_str(), flight.EndTime(), pace);
  std::fflush(stdout);

  // One simulated second per 1/speed real seconds; after the last row the aircraft stays as it
  // was until the program is stopped.
  using Clock = std::chrono::steady_clock;
  const auto secondLength =
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / speed));
  auto next = Clock::now() + secondLength;
  bool ended = false;
  for (long second = 1; !stopRequested;) {
    if (lockstep) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      continue;
    }
    if (Clock::now() < next) {
      std::this_thread::sleep_for(
          std::min<Clock::duration>(next - Clock::now(), std::chrono::milliseconds(100)));
      continue;
    }
    next += secondLength;
    scenario.AdvanceTo(static_cast<double>(second));
    if (!ended && second >= flight.EndTime()) {
      ended = true;
      std::printf("skytrace-sim: the flight has ended at %ld s; holding the last state\n", second);
      std::fflush(stdout);
    }
    ++second;
  }
  server->Stop();
  return 0;
}
