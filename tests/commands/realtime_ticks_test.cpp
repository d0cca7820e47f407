// The realtime documents of a whole flight, tick by tick, against a rebuild from the whole log
// through every action, failed writes and kills; and "Realtime.txt" kept as log plus position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "commands/logging.h"
#include "commands/realtime_link.h"
#include "fault_sweep.h"
#include "kml/placemarks.h"
#include "kml/realtime_view.h"
#include "kml/segments.h"
#include "kml/traffic_kml.h"
#include "kml/xml_escape.h"
#include "kml_checks.h"
#include "shell/dispatch.h"
#include "skytrace-sim/traffic_source.h"
#include "track_feed.h"

namespace sky::test {
namespace {

using Answer = ScriptedDialogs::Answer;
using Strings = std::vector<std::string>;

// A circuit as the simulator shows it, a row every two seconds: taxi with a turn, take-off,
// climb with an overspeed and a stall, a turn, an approach with markers, touchdown, taxi in.
sim::Track Circuit() {
  std::string csv =
      "t,lat,lon,alt_ft,ground_ft,gs_kt,ias_kt,tas_kt,hdg,vs_fpm,td_vs_fpm,on_ground,gear,"
      "flaps,overspeed,stall,om,mm,autobrake\n";
  for (int t = 0; t <= 240; t += 2) {
    const bool ground = t < 30 || t >= 176;
    const double climb = t < 30 ? 0 : (t < 100 ? (t - 30) * 40.0 : (t < 120 ? 2800 : 0));
    const double altitude = ground ? 364 : 364 + (t < 120 ? climb : 2800 - (t - 120) * 50.0);
    const int speed = t < 6 ? 0 : (t < 20 ? 14 : (t < 30 ? 100 : (ground ? 20 : 160)));
    double heading = t < 12 ? 250 : 280;
    if (t >= 80 && t < 120) heading = std::fmod(280 + (t - 80) * 3, 360);  // across north
    if (t >= 120) heading = 40;
    char row[256];
    std::snprintf(
        row, sizeof row, "%d,%.5f,%.5f,%.0f,364,%d,%d,%d,%.0f,%d,%d,%d,%d,%d,%d,%d,%d,%d,2\n", t,
        50.05 + t * 0.0004, 8.57 - t * 0.0006, altitude, t >= 230 ? 0 : speed, speed, speed,
        heading, ground ? 0 : (t < 120 ? 1200 : -900), t >= 176 ? -250 : 0, ground ? 1 : 0,
        t < 36 || t >= 150 ? 1 : 0, t >= 8 && t < 44 ? 25 : 0, t >= 50 && t < 56 ? 1 : 0,
        t >= 70 && t < 74 ? 1 : 0, t >= 140 && t < 146, t >= 160 && t < 164);
    csv += row;
  }
  return TrackOf(csv);
}

// A program flying the circuit, its realtime documents checked after every tick and every
// action against a rebuild from the whole realtime log.
class RealtimeFlight {
 public:
  explicit RealtimeFlight(TestAppOptions options = {}) : t(options), track_(Circuit()) {
    sim::TrafficSlots traffic;
    for (int i = 0; i < 3; ++i) {
      traffic[i * 4] = {4100 + i, 50.06 + i * 0.01,          8.56, 2000.0 + i * 900, 90.0 * i, 180,
                        -500,     "KLM " + std::to_string(i)};
    }
    sim::WriteTrafficArea(t.simulator, traffic);
    sim::WriteFlightState(t.simulator, track_.At(0));
    EXPECT_TRUE(t.Load());
  }

  // Runs the flight to its end (or to `lastSecond`), the actions after their second's tick.
  void Fly(const std::multimap<int, std::function<void()>>& actions, int lastSecond = 0) {
    if (!lastSecond) lastSecond = static_cast<int>(track_.EndTime());
    for (int second = 1; second <= lastSecond; ++second) {
      sim::WriteFlightState(t.simulator, track_.At(second));
      Checked([this] { t.Tick(); });
      const auto [from, to] = actions.equal_range(second);
      for (auto it = from; it != to; ++it) Checked(it->second);
    }
  }

  // Runs `step`; each realtime document it rewrote must be what a rebuild writes, from the
  // values the writer saw (the previous tick's and the traffic as they stood before `step`).
  void Checked(const std::function<void()>& step) {
    const PreviousSample previous = t.app().prev;
    const TrafficTable traffic = t.app().traffic;
    const std::string pathBefore = ReadFile(t.DataFile("Realtime.kml"));
    const std::string locationBefore = ReadFile(t.DataFile("RealtimeLocation.kml"));
    step();
    if (t.app().ended) return;  // the documents are gone with the program
    const std::string path = ReadFile(t.DataFile("Realtime.kml"));
    const std::string location = ReadFile(t.DataFile("RealtimeLocation.kml"));
    if (path == pathBefore && location == locationBefore) return;
    App& app = t.app();
    const PreviousSample now = app.prev;
    const TrafficTable nowTraffic = app.traffic;
    app.prev = previous;
    app.traffic = traffic;
    const auto [rebuiltPath, rebuiltLocation] = Rebuilt(app, ReadFile(t.DataFile("Realtime.txt")));
    app.prev = now;
    app.traffic = nowTraffic;
    if (path != pathBefore) {
      ASSERT_EQ(path, rebuiltPath) << "after " << compared << " documents";
      ++compared;
      const std::vector<std::string> records = Lines(ReadFile(t.DataFile("Realtime.txt")));
      shown.insert(records.end() - std::min<size_t>(records.size(), 3), records.end());
    }
    if (location != locationBefore) {
      ASSERT_EQ(location, rebuiltLocation);
    }
  }

  // The realtime documents as a whole rebuild writes them: every record of the log rendered
  // anew, as the writer did before it kept what earlier ticks rendered.
  static std::pair<std::string, std::string> Rebuilt(App& app, const std::string& log) {
    const KmlTemplateSet& kml = app.kml;
    const std::string& separator = app.g.DecimalSeparator;
    const LogRecords records = SplitLogRecords(log);
    StringSink out;
    out << ReplaceFirst(kml.KML, "NAME", "Skytrace Realtime Flightpath")
        << ReplaceFirst(kml.Folder, "NAME", "Flight");
    WritePathSegments(kml, separator, records.records, out);
    out << kml.FolderEnd;
    const RealtimeScene scene = RealtimeSceneOf(app);
    const RealtimeCamera camera = ComputeRealtimeCamera(scene);
    const std::string location = BuildLocationDocument(kml, scene, camera) + kml.KMLEnd + "\r\n";
    out << BuildAircraftPin(kml, scene, camera) << PredictedPathAndTraffic(kml, scene, app.board);
    WriteSpecialPlacemarks(kml, separator, records.records, false, out);
    out << kml.KMLEnd << "\r\n";
    return {out.text(), location};
  }

  void Click(const char* window, const char* control) {
    EXPECT_EQ(sky::Click(t.app(), window, control), ClickResult::Done) << control;
  }
  void OpenTrafficInModeAll() {
    Click("Form1", "btn_TCAS");
    for (int i = 0; i < 4; ++i) Click("frmTCAS", "btn_ToggleTCAS");
  }

  TestApp t;
  int compared = 0;             // documents compared with a rebuild
  std::set<std::string> shown;  // the last three records of each of them
  sim::Track track_;
};

TEST(RealtimeTicks, EveryDocumentIsWhatARebuildFromTheWholeLogWrites) {
  for (const char* separator : {".", ","}) {
    RealtimeFlight f({.decimalSeparator = separator});
    TestApp& t = f.t;
    auto press = [&f](const char* button) { return [&f, button] { f.Click("Form1", button); }; };
    f.Fly({
        {1, press("btn_startlog")},
        {3, press("btn_InitiateRealtime")},
        {4, [&f] { f.OpenTrafficInModeAll(); }},
        {21, press("btn_ToggleRealtime")},  // off: the log goes on without the documents
        {27, press("btn_ToggleRealtime")},  // on again
        {45, press("btn_setOverview")},
        {45, press("btn_setRight")},
        {61,
         [&t] {
           t.dialogs.Queue({Answer::Yes, ""});
         }},
        {61, press("btn_resetlog")},  // a new log while logging
        {66, press("btn_startAnimate")},
        {90,
         [&f, &t] {  // stopping the log writes the documents a last time, realtime then off
           for (const char* document : {"Realtime.kml", "RealtimeLocation.kml"}) {
             std::filesystem::remove(t.DataFile(document));
           }
           f.Click("Form1", "btn_stoplog");
           EXPECT_TRUE(FileExists(t.DataFile("Realtime.kml")) &&
                       FileExists(t.DataFile("RealtimeLocation.kml")));
           EXPECT_FALSE(t.g().RealtimeOn);
         }},
        {94, press("btn_startlog")},  // a second logging run
        {95, press("btn_ToggleRealtime")},
        {110,
         [&f] {  // new settings: a longer predicted path, another tilt
           f.Click("Form1", "btn_Options");
           f.Click("frmOptions", "Command2");
           EXPECT_TRUE(TypeText(f.t.app(), "frmOffsets", "txtPredPathMultiplier", "25"));
           EXPECT_TRUE(TypeText(f.t.app(), "frmOffsets", "txtChaseTilt", "80"));
           f.Click("frmOffsets", "btnOK");
           f.Click("frmOptions", "btnOK");
         }},
        {130, [&t] { t.simulator.SetFaults({.silent = true}); }},  // the link is lost
        {133, [&t] { t.simulator.SetFaults({}); }},
        {134, press("btn_InitiateRealtime")},  // logging on again: a new run
        {137, [&f] { f.OpenTrafficInModeAll(); }},
        {200, press("btn_stoplog")},
        {200, press("btn_ToggleRealtime")},  // realtime and logging on: a new run
    });
    EXPECT_FALSE(t.app().ended) << separator;
    EXPECT_GT(f.compared, 180) << separator;
    // The documents showed what the rendering depends on: start records of both kinds, stops,
    // new runs, warnings beginning and ending, events, both on-ground states.
    std::string codes;
    for (const std::string& record : f.shown) {
      codes += Field(record, 6) + Field(record, 5) + (record.back() == '-' ? "- " : " ");
    }
    for (const char* code : {"SA0-", "SA1-", "SA=", "SO", "O0 ", "OE0", "S0 ", "SE0",
                             "TO=", "TD=", "OM", "GU", "FL=", "0 ", "1 "}) {
      EXPECT_NE(codes.find(code), std::string::npos) << code << " " << separator << "\n" << codes;
    }
    ExpectWellFormed(t.DataFile("Realtime.kml"));
    ExpectWellFormed(t.DataFile("RealtimeLocation.kml"));
  }
}

// Any fault in a realtime tick (an operation refused, a full disk, a kill): each document stays
// whole, as the tick before or the faulty tick wrote it; a tick that failed says so, and the
// next tick, or the next run's, writes them whole again. A log that cannot be kept ends the
// program.
TEST(RealtimeTicks, AnyFaultLeavesWholeDocumentsAndTheNextTickRecovers) {
  SweepFaults([](FaultShot& shot) {
    RealtimeFlight f;
    TestApp& t = f.t;
    size_t messages = 0;
    int compared = 0;
    f.Fly({{1, [&f] { f.Click("Form1", "btn_startlog"); }},
           {3, [&f] { f.Click("Form1", "btn_InitiateRealtime"); }},
           {30,
            [&] {
              messages = t.Messages().size();
              t.files.Arm(shot);
            }},
           {31,
            [&] {
              if (shot.kind == FaultShot::Kill || t.app().ended) {
                // A log that cannot be kept ends the program, its documents removed.
                if (shot.kind != FaultShot::Kill) {
                  EXPECT_EQ(t.LastMessage(), "Unable to track the flight.");
                }
                t.Restart();
                ASSERT_TRUE(t.Load());
                f.Click("Form1", "btn_InitiateRealtime");
              } else {
                t.files.ClearFaults();
                const Strings all = t.Messages();
                const Strings said(all.begin() + static_cast<long>(messages), all.end());
                EXPECT_TRUE(said.empty() || said == Strings{"Not able to convert flightlog"});
                EXPECT_FALSE(FileExists(t.DataFile("Realtime.kml.tmp")) ||
                             FileExists(t.DataFile("RealtimeLocation.kml.tmp")));
              }
              compared = f.compared;
            }},
           {32, [&] { EXPECT_EQ(f.compared, compared + 1); }}},
          40);
  });
}

// "Realtime.txt" is the flight log and the present position (this second's heading) after every
// tick, whichever way it was refreshed: cut back and appended to, or made anew when the logs
// changed under it.
TEST(RealtimeTicks, TheRealtimeLogIsTheFlightLogAndThePresentPosition) {
  RealtimeFlight f;
  TestApp& t = f.t;
  const std::string flightLog = t.DataFile("Flightlog.txt");
  const std::string realtimeLog = t.DataFile("Realtime.txt");
  int checked = 0;
  std::multimap<int, std::function<void()>> actions;
  for (int second = 4; second < 240; ++second) {
    actions.insert({second, [&, second] {
                      if (!t.g().RealtimeOn) return;
                      const std::string log = ReadFile(flightLog);
                      const std::string realtime = ReadFile(realtimeLog);
                      ASSERT_EQ(realtime.substr(0, log.size()), log) << second;
                      const Strings present = Lines(realtime.substr(log.size()));
                      ASSERT_EQ(present.size(), 1u) << second;
                      EXPECT_EQ(Field(present[0], 12),
                                std::to_string(static_cast<int>(f.track_.At(second).headingDeg)))
                          << second;
                      ++checked;
                    }});
  }
  // Each after the second's check; the next tick finds the logs changed.
  actions.insert({1, [&f] { f.Click("Form1", "btn_startlog"); }});
  actions.insert({3, [&f] { f.Click("Form1", "btn_InitiateRealtime"); }});
  actions.insert({40, [&] { std::filesystem::remove(realtimeLog); }});
  actions.insert({60, [&] { WriteFile(realtimeLog, "by hand\r\n"); }});
  actions.insert({80, [&] {
                    WriteFile(flightLog,
                              ReadFile(flightLog) + "20261204223015:8:50:0:1::0:0:0:0:0:0:-\r\n");
                  }});
  actions.insert({100, [&f] { f.Click("Form1", "btn_ToggleRealtime"); }});  // off, logging on
  actions.insert({120, [&f] { f.Click("Form1", "btn_ToggleRealtime"); }});
  f.Fly(actions);
  EXPECT_GT(checked, 200);
  EXPECT_GT(Lines(ReadFile(flightLog)).size(), 30u);
  // Made anew only where the logs changed under it (or a run began); cut back otherwise.
  const auto count = [&t, &realtimeLog](const std::string& op) {
    return std::count_if(t.files.calls.begin(), t.files.calls.end(), [&](const std::string& call) {
      return call.starts_with(op) && call.ends_with(realtimeLog);
    });
  };
  EXPECT_LE(count("copy "), 8);
  EXPECT_GT(count("truncate "), 200);
}

}  // namespace
}  // namespace sky::test
