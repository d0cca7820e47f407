// The KML writers on logs of growing length: the realtime tick's file work (the refresh of
// "Realtime.txt" and both realtime documents) beside a plain write of the documents' bytes, with
// and without what earlier ticks rendered; and the convert of a long flight.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "commands/app.h"
#include "commands/realtime_link.h"
#include "core/system.h"
#include "core/timestamp.h"
#include "kml/templates.h"
#include "kml/writer.h"
#include "platform/headless.h"
#include "platform/std_files.h"
#include "recorder/flightlog.h"
#include "side_by_side.h"

namespace sky {
namespace {

// No simulator: the benchmarks drive the recorder and the writers directly.
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
    LoadKmlTemplates(files, folders, dialogs, app->board, "Skytrace flightlogger", app->kml);
    app->g.ProductName = "Skytrace";
    data = AppDataFolder(folders);
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

// One realtime tick's file work in a steady cruise, logging and realtime on: the record decision
// (no record this second) with the refresh of "Realtime.txt", then both realtime documents. The
// aircraft moves on every tick. `anew`: without what earlier ticks kept, as every tick did before
// they kept it.
void RealtimeTick(benchmark::State& state, bool anew) {
  BenchApp b;
  App& app = *b.app;
  const int records = static_cast<int>(state.range(0));
  WriteText(b.data + "Flightlog.txt", bench::FlightLog(records));
  Globals& g = app.g;
  g.LoggingOn = g.RealtimeOn = true;
  FlightSample& s = app.sample;
  s.Latitude = "49.11";
  s.Longitude = "13.26";
  s.Altitude = "5000";
  s.GroundSpeed = "250";
  s.Heading = "121.5";
  s.HeightAboveGround = "4800";
  s.VerticalSpeed = "0";
  app.prev = {.Heading = s.Heading,
              .GroundSpeed = s.GroundSpeed,
              .Latitude = s.Latitude,
              .Longitude = s.Longitude,
              .Altitude = s.Altitude,
              .VerticalSpeed = s.VerticalSpeed};
  RecorderState& r = app.recorder;
  r.LastLoggedHeading = s.Heading;
  r.LastLoggedGroundSpeed = s.GroundSpeed;
  r.LastLoggedAltitude = s.Altitude;
  r.LastLoggedVerticalSpeed = s.VerticalSpeed;
  r.LastWriteTime = r.PrevTimestamp = Timestamp(b.clock);
  int second = 0;
  bool ok = true;
  auto tick = [&] {
    s.Longitude = "13.2" + std::to_string(6000 + second++ % 1000);
    if (anew) ForgetRealtimeWork(app);
    ok = RecordSample(RecordInputsOf(app), app.recorder, "", false).recorded && ok;
    WriteRealtimeDocuments(app);
  };
  tick();
  const auto path = b.files.FileSize(b.data + "Realtime.kml");
  const auto location = b.files.FileSize(b.data + "RealtimeLocation.kml");
  if (!path || !location) state.SkipWithError("no realtime documents");
  bench::PlainWrite plain(b.files, b.data, {path.value_or(0), location.value_or(0)});
  bench::TickBesidePlainWrite(state, tick, plain, !anew, records == 5000 ? 2.0 : 0);
  if (!ok) state.SkipWithError("a record failed");
}

void BM_RealtimeTick(benchmark::State& state) {
  RealtimeTick(state, false);
}
void BM_RealtimeTickAnew(benchmark::State& state) {
  RealtimeTick(state, true);
}
BENCHMARK(BM_RealtimeTick)->Apply(sky::bench::TickLengths);
BENCHMARK(BM_RealtimeTickAnew)->Apply(sky::bench::TickLengths);

void BM_Convert(benchmark::State& state) {
  BenchApp b;
  App& app = *b.app;
  WriteText(b.data + "Flightlog.txt", bench::FlightLog(static_cast<int>(state.range(0))));
  const long before = PeakRssKiB();
  bool converted = true;
  for (auto _ : state) {
    converted =
        converted && WriteKmlDocument(KmlOutputOf(app), b.data + "Flightlog.txt",
                                      b.data + "Flightlog.kml", "Flightlog bench 04-12-2026 22.30");
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
