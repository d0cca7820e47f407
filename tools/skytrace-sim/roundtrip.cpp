// skytrace-roundtrip: times the link's exchanges against an in-process simulator over this
// platform's real transport (the window message and named mapping on Windows, the shared-memory
// area and Unix socket elsewhere). Prints the median and the 90th percentile of the round trip
// of one read of 4 bytes and of one batch as large as a tick's flight sample.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "simlink/fsuipc.h"
#include "skytrace-sim/simulator_core.h"

#ifdef _WIN32
#include "platform/win32_platform.h"
#include "simlink/transport_win32.h"
#include "skytrace-sim/win32_server.h"
#else
#include <unistd.h>

#include "platform/posix_platform.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#endif

namespace {

using Micros = std::chrono::duration<double, std::micro>;

struct Figures {
  double medianUs = 0;
  double p90Us = 0;
};

// Times `count` exchanges of a batch of `values` reads of `size` bytes each; false when one
// fails.
bool Time(sky::FsuipcLink& link, int count, int values, uint32_t size, Figures& figures) {
  std::vector<uint8_t> room(static_cast<size_t>(values) * size);
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(count));
  int32_t result = 0;
  for (int i = 0; i < count; ++i) {
    const auto begin = std::chrono::steady_clock::now();
    for (int v = 0; v < values; ++v) {
      if (!sky::QueueRead(link, 0x0560 + static_cast<uint32_t>(v) * size, size,
                          room.data() + static_cast<size_t>(v) * size, result)) {
        return false;
      }
    }
    if (!sky::ProcessRequests(link, result)) {
      std::fprintf(stderr, "skytrace-roundtrip: exchange failed with %d\n", result);
      return false;
    }
    samples.push_back(Micros(std::chrono::steady_clock::now() - begin).count());
  }
  std::sort(samples.begin(), samples.end());
  figures.medianUs = samples[samples.size() / 2];
  figures.p90Us = samples[samples.size() * 9 / 10];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 2000;
  if (argc == 3 && std::string(argv[1]) == "--exchanges") count = std::atoi(argv[2]);
  if (count < 10 || (argc != 1 && argc != 3)) {
    std::fprintf(stderr, "usage: skytrace-roundtrip [--exchanges N (at least 10)]\n");
    return 2;
  }
  sky::sim::SimulatorCore core;
#ifdef _WIN32
  const char* transportName = "Win32 window message and named mapping";
  sky::sim::Win32SimServer server(core, {});
  sky::Win32Transport transport;
  sky::Win32Clock clock;
#else
  const char* transportName = "POSIX shared memory and Unix socket";
  std::string runtime = (std::filesystem::temp_directory_path() / "skytrace-rt-XXXXXX").string();
  if (!::mkdtemp(runtime.data())) return 1;
  sky::sim::PosixSimServer server(core, {runtime, "UIPCMAIN"});
  sky::PosixTransport transport(sky::PosixTransportOptions{runtime, 0});
  sky::PosixClock clock;
#endif
  if (!server.Start()) {
    std::fprintf(stderr, "skytrace-roundtrip: %s\n", server.Error().c_str());
    return 1;
  }
  sky::FsuipcLink link;
  link.transport = &transport;
  link.clock = &clock;
  int32_t result = 0;
  int status = 1;
  Figures one;
  Figures sample;
  if (!sky::OpenLink(link, 0, result)) {
    std::fprintf(stderr, "skytrace-roundtrip: no link, result %d\n", result);
  } else if (Time(link, count / 10, 1, 4, one) && Time(link, count, 1, 4, one) &&
             Time(link, count, 24, 8, sample)) {
    std::printf("%s, %d exchanges each:\n", transportName, count);
    std::printf("  one 4-byte read:        median %.1f us, 90th percentile %.1f us\n",
                one.medianUs, one.p90Us);
    std::printf("  24 reads of 8 bytes:    median %.1f us, 90th percentile %.1f us\n",
                sample.medianUs, sample.p90Us);
    status = 0;
  }
  sky::CloseLink(link);
  server.Stop();
#ifndef _WIN32
  std::error_code ignored;
  std::filesystem::remove_all(runtime, ignored);
#endif
  return status;
}
