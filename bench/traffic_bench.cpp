// Traffic with a full table of 40 aircraft: one TCAS refresh (the control write, the traffic
// area in one exchange, the parsing, and the classification and placement of every target),
// over the in-memory link and over the real POSIX link; and the traffic part of a realtime
// tick's document.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "commands/instrument_windows.h"
#include "instruments/tcas.h"
#include "kml/traffic_kml.h"
#include "shell/startup.h"
#include "shell/tick.h"
#include "simlink/traffic.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#include "skytrace-sim/traffic_source.h"
#include "test_app.h"

namespace sky {
namespace {

// 40 aircraft spread around the own aircraft at 52N 4E, 10000 ft, within 20 NM.
void FillTraffic(sim::SimulatorCore& simulator) {
  sim::TrafficSlots traffic;
  for (int i = 0; i < 40; ++i) {
    const double bearing = i * 9 * M_PI / 180;
    const double nm = 0.5 + (i % 10) * 1.9;
    sim::TrafficAircraft& a = traffic[i];
    a.id = 1000 + i;
    a.latDeg = 52 + nm * std::cos(bearing) / 60.1;
    a.lonDeg = 4 + nm * std::sin(bearing) / 37;
    a.altFt = 10000 + (i % 7 - 3) * 700;
    a.headingDeg = i * 9;
    a.groundSpeedKt = 250;
    a.verticalSpeedFpm = (i % 3 - 1) * 800;
    a.callsign = "TRAFFIC" + std::to_string(i);
  }
  sim::WriteTrafficArea(simulator, traffic);
}

void SetUpOwnAndWindow(App& app) {
  app.sample.Latitude = "52";
  app.sample.Longitude = "4";
  app.sample.Altitude = "10000";
  app.sample.Heading = "45";
  app.sample.GroundSpeed = "250";
  app.prev.Altitude = "9980";
  OpenTcasWindow(app);
  app.g.TcasMode = 4;
}

void BM_TrafficRefreshInMemory(benchmark::State& state) {
  test::TestApp t;
  if (!t.Load() || !t.g().Connected) state.SkipWithError("no link");
  SetUpOwnAndWindow(t.app());
  FillTraffic(t.simulator);
  for (auto _ : state) {
    tmrTCAS_Timer(t.app());
    benchmark::DoNotOptimize(t.app().frmTCAS.targets.data());
  }
  if (t.app().frmTCAS.targets.size() != 40) state.SkipWithError("not every target drawn");
}
BENCHMARK(BM_TrafficRefreshInMemory);

void BM_TrafficRefreshPosixLink(benchmark::State& state) {
  test::TestApp t;
  const std::string runtime = t.root / "runtime";
  std::filesystem::create_directories(runtime);
  sim::SimulatorCore simulator;
  sim::PosixSimServer server(simulator, {runtime, "UIPCMAIN"});
  if (!server.Start()) {
    state.SkipWithError(server.Error().c_str());
    return;
  }
  PosixTransport transport({runtime, 0});
  App app(Ports{t.clock, t.folders, t.files, t.system, t.shell, t.dialogs, t.http, t.windows,
                transport});
  if (!Form_Load(app) || !app.g.Connected) state.SkipWithError("no link");
  SetUpOwnAndWindow(app);
  FillTraffic(simulator);
  for (auto _ : state) {
    tmrTCAS_Timer(app);
    benchmark::DoNotOptimize(app.frmTCAS.targets.data());
  }
  if (app.frmTCAS.targets.size() != 40) state.SkipWithError("not every target drawn");
  server.Stop();
}
BENCHMARK(BM_TrafficRefreshPosixLink)->UseRealTime();

void BM_RealtimeTrafficKml(benchmark::State& state) {
  test::TestApp t;
  if (!t.Load() || !t.g().Connected) state.SkipWithError("no link");
  SetUpOwnAndWindow(t.app());
  FillTraffic(t.simulator);
  t.ReadTraffic();
  size_t bytes = 0;
  const RealtimeScene scene = RealtimeSceneOf(t.app());
  for (auto _ : state) {
    const std::string text = PredictedPathAndTraffic(t.app().kml, scene, t.app().board);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RealtimeTrafficKml);

}  // namespace
}  // namespace sky
