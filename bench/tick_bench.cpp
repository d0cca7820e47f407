// The cost of one sampling tick while logging: the whole sample read over the real transport,
// the selection, event detection and, with realtime on, the refresh of "Realtime.txt" (the flight
// log plus the present position) and the realtime documents, for flight logs of different
// lengths beside a plain write of the documents' bytes; and the recording steps alone.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "commands/app.h"
#include "commands/logging.h"
#include "platform/headless.h"
#include "platform/posix_platform.h"
#include "platform/std_files.h"
#include "recorder/flightlog.h"
#include "shell/startup.h"
#include "shell/tick.h"
#include "side_by_side.h"
#include "simlink/flightdata.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/posix_server.h"

namespace {

namespace fs = std::filesystem;

// A whole program on a simulated clock in a folder of its own, logging a steady cruise against
// the simulator over the POSIX transport.
class Bench {
 public:
  explicit Bench(int records, bool realtime)
      : root_(MakeRoot()),
        clock_(sky::LocalDateTime{2026, 7, 14, 10, 0, 0}),
        folders_((root_ / "data").string(), (root_ / "docs").string(),
                 (root_ / "program").string()),
        transport_(sky::PosixTransportOptions{(root_ / "run").string(), 0}),
        server_(core_, sky::sim::PosixServerOptions{(root_ / "run").string(), "UIPCMAIN"}) {
    fs::copy_file(fs::path(SKYTRACE_SOURCE_DIR) / "data/KMLSettings.txt",
                  root_ / "program/KMLSettings.txt");
    clock_.SetTimeZone({});
    if (!server_.Start()) throw std::runtime_error(server_.Error());
    sky::sim::FlightState cruise;
    cruise.latitudeDeg = 50.3;
    cruise.longitudeDeg = 8.9;
    cruise.altitudeFt = 12000;
    cruise.groundSpeedKt = 360;
    cruise.indicatedAirspeedKt = 290;
    cruise.trueAirspeedKt = 360;
    cruise.headingDeg = 61;
    sky::sim::WriteFlightState(core_, cruise);
    app_ = std::make_unique<sky::App>(sky::Ports{clock_, folders_, files_, system_, shell_,
                                                 dialogs_, http_, windows_, transport_});
    if (!sky::Form_Load(*app_)) throw std::runtime_error("start-up failed");
    Tick();
    sky::StartLogging(*app_);
    // A flight log of the wanted length, then the cruise goes on.
    files_.WriteAll(app_->g.FlightLogPath, sky::bench::FlightLog(records));
    app_->g.RealtimeOn = realtime;
    Tick();
  }
  ~Bench() {
    app_.reset();
    server_.Stop();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void Tick() {
    clock_.Advance(1000);
    sky::Timer1_Timer(*app_);
  }
  // The tick's own recording steps: the sample read and the record decision with the
  // "Realtime.txt" refresh, without the realtime documents the tick then writes.
  void Record() {
    clock_.Advance(1000);
    sky::ReadFlightData(app_->link, sky::FlightReadSettingsOf(*app_), app_->sample,
                        app_->g.GroundOffset);
    sky::RecordSample(sky::RecordInputsOf(*app_), app_->recorder, "", false);
  }
  // A plain write of the realtime documents' bytes.
  sky::bench::PlainWrite Plain() {
    const std::string data = (root_ / "data/Skytrace flightlogger/").string();
    return sky::bench::PlainWrite(files_, data,
                                  {files_.FileSize(data + "Realtime.kml").value_or(0),
                                   files_.FileSize(data + "RealtimeLocation.kml").value_or(0)});
  }

 private:
  static fs::path MakeRoot() {
    std::string pattern = (fs::temp_directory_path() / "skytrace-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    for (const char* sub : {"data", "docs", "program", "run"})
      fs::create_directories(fs::path(pattern) / sub);
    return pattern;
  }

  fs::path root_;
  sky::SimulatedClock clock_;
  sky::FixedFolders folders_;
  sky::StdFileSystem files_;
  sky::PosixSystemInfo system_;
  sky::RecordingShell shell_;
  sky::ScriptedDialogs dialogs_;
  sky::OfflineHttp http_;
  sky::HeadlessWindows windows_;
  sky::sim::SimulatorCore core_;
  sky::PosixTransport transport_;
  sky::sim::PosixSimServer server_;
  std::unique_ptr<sky::App> app_;
};

void BM_Tick(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  Bench bench(records, true);
  sky::bench::PlainWrite plain = bench.Plain();
  sky::bench::TickBesidePlainWrite(
      state, [&bench] { bench.Tick(); }, plain, true, records == 5000 ? 2.0 : 0);
}

void BM_TickWithoutRealtime(benchmark::State& state) {
  Bench bench(static_cast<int>(state.range(0)), false);
  for (auto _ : state) bench.Tick();
}

void BM_Record(benchmark::State& state) {
  Bench bench(static_cast<int>(state.range(0)), true);
  for (auto _ : state) bench.Record();
}

BENCHMARK(BM_Tick)->Apply(sky::bench::TickLengths);

BENCHMARK(BM_TickWithoutRealtime)
    ->ArgNames({"records"})
    ->Arg(5000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_Record)
    ->ArgNames({"records"})
    ->Args({100})
    ->Args({5000})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
