// Round trip of one exchange with the simulator over this platform's transport, against an
// in-process simulator: on Windows the window message and the named mapping (the simulator's
// window on a thread of its own), elsewhere the shared-memory area and the Unix socket. Prints
// the median and the 90th percentile.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "simlink/fsuipc.h"

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

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  return samples[static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1))];
}

// Times `rounds` exchanges of the batch that `queue` builds.
template <typename Queue>
std::vector<double> Measure(sky::FsuipcLink& link, int rounds, Queue queue) {
  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(rounds));
  int32_t result = 0;
  for (int i = 0; i < rounds; ++i) {
    queue();
    const auto start = Clock::now();
    if (!sky::ProcessRequests(link, result)) {
      std::fprintf(stderr, "exchange failed with %d\n", result);
      std::exit(1);
    }
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return micros;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
  sky::sim::SimulatorCore simulator;
#ifdef _WIN32
  const char* transportName = "Win32 transport";
  sky::sim::Win32SimServer server(simulator, {});
  sky::Win32Clock clock;
  sky::Win32Transport transport;
#else
  const char* transportName = "POSIX transport";
  char pattern[] = "/tmp/skytrace-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  sky::sim::PosixSimServer server(simulator, {pattern, "UIPCMAIN"});
  sky::PosixClock clock;
  sky::PosixTransport transport({pattern, 0});
#endif
  if (!server.Start()) {
    std::fprintf(stderr, "%s\n", server.Error().c_str());
    return 1;
  }
  sky::FsuipcLink link;
  link.transport = &transport;
  link.clock = &clock;
  int32_t result = 0;
  if (!sky::OpenLink(link, 0, result)) {
    std::fprintf(stderr, "open failed with %d\n", result);
    return 1;
  }

  uint32_t value = 0;
  const auto one = Measure(link, rounds, [&] { sky::QueueRead(link, 0x3304, 4, &value, result); });
  uint8_t sample[128];
  const auto many = Measure(link, rounds, [&] {
    for (int i = 0; i < 24; ++i) sky::QueueRead(link, 0x0560 + i * 8, 4, sample + i * 4, result);
  });
  std::printf("%s, %d exchanges each:\n", transportName, rounds);
  std::printf("  one 4-byte read:   median %.1f us, p90 %.1f us\n", Percentile(one, 0.5),
              Percentile(one, 0.9));
  std::printf("  24 reads in one:   median %.1f us, p90 %.1f us\n", Percentile(many, 0.5),
              Percentile(many, 0.9));

  sky::CloseLink(link);
  server.Stop();
#ifndef _WIN32
  std::filesystem::remove_all(pattern);
#endif
  return 0;
}
