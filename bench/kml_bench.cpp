// The KML writers on logs of growing length: the realtime tick's document writing (the per-tick
// "Realtime.txt" refresh and both realtime documents) and the convert of a long flight.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "commands/realtime_link.h"
#include "core/app.h"
#include "core/messages.h"
#include "kml/templates.h"
#include "kml/writer.h"
#include "platform/headless.h"
#include "platform/std_files.h"

namespace sky {
namespace {

// No simulator: the benchmarks drive the writers directly.
class NoTransport final : public SimTransport {
 public:
  uint32_t ProcessId() override { return 1; }
  uintptr_t FindWindowByClass(const char*) override { return 0; }
  uint32_t RegisterMessage(const char*) override { return 0; }
  uint16_t AddAtom(const char*) override { return 0; }
  void DeleteAtom(uint16_t) override {}
  uintptr_t CreateMapping(const char*, uint32_t, bool&) override { return 0; }
  uint8_t* MapView(uintptr_t, uint32_t) override { return nullptr; }
  void UnmapView(uint8_t*, uint32_t) override {}
  void CloseMapping(uintptr_t) override {}
  SendOutcome Send(uintptr_t, uint32_t, uint32_t, uint32_t, uint32_t) override { return {}; }
};

class NoSystem final : public SystemInfo {
 public:
  std::optional<std::string> UserName() override { return "simmer"; }
  std::optional<FileVersion> FileVersionOf(const std::string&) override { return std::nullopt; }
  std::optional<OsVersion> OperatingSystem() override { return std::nullopt; }
  std::string LocaleNumberText(double) override { return "2.5"; }
};

// A program on headless ports over a fresh temporary folder, with the shipped snippets.
struct BenchApp {
  BenchApp()
      : root(std::filesystem::temp_directory_path() /
             ("skytrace-bench-" + std::to_string(std::rand()))),
        clock({2026, 12, 4, 22, 30, 15}),
        folders((root / "appdata").string(), (root / "documents").string(), SKYTRACE_DATA_DIR) {
    app = std::make_unique<App>(
        Ports{clock, folders, files, system, shell, dialogs, http, windows, transport});
    LoadKmlTemplates(*app);
    app->g.ProductName = "Skytrace";
    data = AppDataFolder(*app);
    std::filesystem::create_directories(data);
  }
  ~BenchApp() {
    app.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  std::filesystem::path root;
  SimulatedClock clock;
  FixedFolders folders;
  StdFileSystem files;
  NoSystem system;
  RecordingShell shell;
  ScriptedDialogs dialogs;
  OfflineHttp http;
  HeadlessWindows windows;
  NoTransport transport;
  std::unique_ptr<App> app;
  std::string data;
};

// A flight of `count` records: taxi, climb, cruise with turns, descent with ILS events, landing;
// an event every 40 records, the rest flight-data points.
std::string FlightLog(int count) {
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
    const int clock = 22 * 3600 + 30 * 60 + 15 + i * 3;  // a record every three seconds
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

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Peak resident memory of the process so far, in KiB.
long PeakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

// One realtime tick's file work: "Realtime.txt" made anew from the flight log plus the present
// position, then both realtime documents.
void BM_RealtimeTick(benchmark::State& state) {
  BenchApp b;
  App& app = *b.app;
  const std::string flightLog = b.data + "Flightlog.txt";
  const std::string realtimeLog = b.data + "Realtime.txt";
  WriteText(flightLog, FlightLog(static_cast<int>(state.range(0))));
  FlightSample& s = app.sample;
  s.Latitude = "49.11";
  s.Longitude = "13.26";
  s.Altitude = "5000";
  s.GroundSpeed = "250";
  s.Heading = "121.5";
  s.HeightAboveGround = "4800";
  const std::string current =
      "20261205010000:13.26:49.11:5000:0::240:4800:260:-500:250:121:20261205005959\r\n";
  for (auto _ : state) {
    FileSystem& files = app.ports.files;
    files.Append(realtimeLog, "");
    files.Remove(realtimeLog);
    files.Copy(flightLog, realtimeLog);
    files.Append(realtimeLog, current);
    WriteRealtimeDocuments(app);
  }
  state.counters["documentKiB"] =
      static_cast<double>(std::filesystem::file_size(b.data + "Realtime.kml")) / 1024;
}
BENCHMARK(BM_RealtimeTick)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Convert(benchmark::State& state) {
  BenchApp b;
  App& app = *b.app;
  WriteText(b.data + "Flightlog.txt", FlightLog(static_cast<int>(state.range(0))));
  const long before = PeakRssKiB();
  bool converted = true;
  for (auto _ : state) {
    converted =
        converted && WriteKmlDocument(app, b.data + "Flightlog.txt", b.data + "Flightlog.kml",
                                      "Flightlog bench 04-12-2026 22.30", false, "");
  }
  if (!converted) state.SkipWithError("the conversion failed");
  state.counters["documentKiB"] =
      static_cast<double>(std::filesystem::file_size(b.data + "Flightlog.kml")) / 1024;
  state.counters["peakRssGrowthKiB"] = static_cast<double>(PeakRssKiB() - before);
}
BENCHMARK(BM_Convert)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sky

BENCHMARK_MAIN();
