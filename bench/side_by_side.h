// What the realtime benchmarks share: a flight log of a given length, the CPU clock of the
// calling thread, and the limit of a realtime tick: a plain write of the same number of bytes
// (into a temporary file renamed into place, as any writer that never shows half a document
// must do at the least), measured side by side with the tick in one run. Each iteration runs one
// tick and one plain write, so that on a shared, loaded machine both see the same load.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/ports.h"

namespace sky::bench {

// A flight of `count` records, a record every three seconds from 2026-12-04 22:30:15: taxi,
// climb, cruise with turns, descent with ILS events, landing; an event every 40 records, the
// rest flight-data points. CR LF line ends, as the recorder writes them.
inline std::string FlightLog(int count) {
  static const char* kEvents[] = {"GU", "FL=0", "OM", "LI", "OG", "GD", "FL=30", "SD", "SU", "MM"};
  std::string log;
  char line[256];
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / count;
    const bool ground = t < 0.05 || t > 0.95;
    const int altitude = ground ? -11 : static_cast<int>(30000 * (t < 0.5 ? t * 2 : (1 - t) * 2));
    std::string code = i == 0 ? "SA" : (i % 40 == 0 ? kEvents[(i / 40) % 10] : "");
    if (i == count / 20) code = "TO=2";
    if (i == count - count / 20) code = "TD=-210/3";
    const int clock = 22 * 3600 + 30 * 60 + 15 + i * 3;
    std::snprintf(
        line, sizeof line, "20261204%02d%02d%02d:%.6f:%.6f:%d:%d:%s:%d:%d:%d:%d:%d:%d:%s\r\n",
        (clock / 3600) % 24, (clock / 60) % 60, clock % 60, 4.76 + t * 8.5, 52.31 - t * 3.2,
        altitude, ground ? 1 : 0, code.c_str(), ground ? 12 : 280, ground ? 0 : altitude - 50,
        ground ? 12 : 420, ground ? 0 : (t < 0.5 ? 1800 : -1500), ground ? 12 : 450,
        120 + (i / 100) % 90, i == 0 ? "-" : "20261204223014");
    log += line;
  }
  return log;
}

// CPU time of the calling thread, in milliseconds.
inline double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Files of the given sizes, each written whole into "<path>.tmp" and renamed into place.
class PlainWrite {
 public:
  PlainWrite(FileSystem& files, std::string folder, const std::vector<uint64_t>& sizes)
      : files_(files) {
    for (size_t i = 0; i < sizes.size(); ++i) {
      texts_.emplace_back(static_cast<size_t>(sizes[i]), 'x');
      paths_.push_back(folder + "plain" + std::to_string(i) + ".kml");
    }
  }
  void Run() {
    for (size_t i = 0; i < texts_.size(); ++i) {
      files_.WriteAll(paths_[i] + ".tmp", texts_[i]);
      files_.Rename(paths_[i] + ".tmp", paths_[i]);
    }
  }
  uint64_t Bytes() const {
    uint64_t bytes = 0;
    for (const std::string& text : texts_) bytes += text.size();
    return bytes;
  }

 private:
  FileSystem& files_;
  std::vector<std::string> texts_;
  std::vector<std::string> paths_;
};

// Runs `tick` and the plain write once each per iteration, each timed by the thread's CPU clock;
// the benchmark's time is the tick's CPU time. Reports both and their ratio and, with `targets`,
// whether the tick meets them: at most twice the plain write, and (`limitMs` > 0) at most
// `limitMs`.
template <typename Tick>
void TickBesidePlainWrite(benchmark::State& state, Tick&& tick, PlainWrite& plain, bool targets,
                          double limitMs = 0) {
  double tickMs = 0;
  double plainMs = 0;
  for (auto _ : state) {
    const double start = ThreadCpuMs();
    tick();
    const double ticked = ThreadCpuMs();
    plain.Run();
    const double written = ThreadCpuMs();
    tickMs += ticked - start;
    plainMs += written - ticked;
    state.SetIterationTime((ticked - start) / 1e3);
  }
  const double n = static_cast<double>(state.iterations());
  tickMs /= n;
  plainMs /= n;
  const double ratio = tickMs / plainMs;
  state.counters["tick_cpu_ms"] = tickMs;
  state.counters["plain_cpu_ms"] = plainMs;
  state.counters["ratio"] = ratio;
  state.counters["KiB"] = static_cast<double>(plain.Bytes()) / 1024;
  if (!targets) return;
  std::string label = std::string("at most 2x the plain write: ") + (ratio <= 2 ? "met" : "MISSED");
  if (limitMs > 0) {
    char limit[64];
    std::snprintf(limit, sizeof limit, "; at most %g ms: %s", limitMs,
                  tickMs <= limitMs ? "met" : "MISSED");
    label += limit;
  }
  state.SetLabel(label);
}

// The flight-log lengths a realtime tick is measured at, its time being the CPU time
// TickBesidePlainWrite reports.
inline void TickLengths(benchmark::internal::Benchmark* b) {
  b->ArgNames({"records"})->Arg(1000)->Arg(5000)->Arg(10000)->UseManualTime();
  b->Unit(benchmark::kMillisecond);
}

}  // namespace sky::bench
