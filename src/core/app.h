// The program-wide state: every shared flag and value, the windows' control state, the current
// and previous flight sample, the settings, the KML snippets, the traffic table and the link to
// the simulator, together with the ports through which the core reaches the outside.
// Procedures of every subsystem are free functions over this record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/flight_sample.h"
#include "core/forms.h"
#include "core/kml_snippets.h"
#include "core/link_state.h"
#include "core/parameters.h"
#include "core/ports.h"
#include "core/sim_transport.h"
#include "core/traffic_table.h"

namespace sky {

struct Ports {
  Clock& clock;
  Folders& folders;
  FileSystem& files;
  SystemInfo& system;
  Shell& shell;
  Dialogs& dialogs;
  Http& http;
  WindowPort& windows;
  SimTransport& transport;
};

// The shared flags and values. Each names the unit that owns it; others read it or set it only
// where their own rules say so.
struct Globals {
  bool Connected = false;              // simulator connection: the link is usable
  bool WasConnected = false;           // tick: Connected as it stood at the end of the last tick
  bool UsageReportPending = true;      // tick: the usage report is still to be sent
  bool UpdateCheckWanted = false;      // start-up: the server answered the reachability probe
  std::string AppTitle;                // start-up: "Skytrace flightlogger"
  std::string ProductName;             // start-up: "Skytrace"
  std::string FlightLogPath;           // start-up: data folder + "Flightlog.txt"
  std::string DecimalSeparator = ".";  // start-up: the locale's decimal separator
  bool DecimalIsComma = false;         // start-up
  bool LoggingOn = false;              // logging control: records go into "Flightlog.txt"
  bool AnimationOn = false;            // logging control: animation and traffic are recorded
  bool RealtimeOn = false;             // realtime link: the tick rewrites the realtime documents
  bool ChaseView = true;               // realtime link: chase (true) or overview camera
  bool ViewRight = false;              // realtime link: camera to the right (true) or left
  int TcasRange = 20;                  // TCAS display: range in nautical miles
  int TcasMode = 0;                    // TCAS display: 0 OFF, 1 ABV, 2 BLW, 3 NRM, 4 ALL
  int TcasRangeSent = 0;               // traffic reader: the range last written to the simulator
  bool TcasWindowOpen = false;         // TCAS display: the window is loaded
  bool StatusWindowOpen = false;       // status window: the window is loaded
  bool MainOnTop = false;              // main window: topmost
  bool TcasOnTop = false;              // TCAS display: topmost
  bool StatusOnTop = false;            // status window: topmost
  bool FirstMinimise = true;           // main window: the "Start logging?" question is still due
  float GroundOffset = 0;              // flight data: altitude minus ground elevation on the ground

  std::string PrevTimestamp;  // tick: time stamp of the previous tick, empty after a clear
  // Flight log: values of the last record appended to "Flightlog.txt".
  std::string LastLoggedHeading;
  std::string LastLoggedGroundSpeed;
  std::string LastLoggedAltitude;
  std::string LastLoggedVerticalSpeed;
  std::string LastWriteTime;    // flight log: time stamp of the last appended record
  bool LastTickLogged = false;  // flight log: the previous decision was to write
};

// What the animated part of the last converted flight holds, as written.
struct AnimationCounts {
  bool written = false;
  size_t frames = 0;
  size_t specialPlacemarks = 0;  // event pins and flight-data points
  size_t trafficPlacemarks = 0;  // a path and a label per recorded traffic line
};

struct RealtimeRendering;  // the KML writer's, see kml/realtime_records.h
class LandingMonitor;      // the landing reports', see review/landing.h

// The flight review, the exports and the landing reports. The option and the last review page
// live in the program's own "Review.txt" in the data folder, apart from the logging parameters.
struct ReviewState {
  bool exportsOn = false;                   // the convert also writes GPX, IGC, GeoJSON and CSV
  std::string lastReview;                   // the review page the last convert wrote ("" for none)
  std::vector<std::string> lastExports;     // the export files the last convert wrote
  std::shared_ptr<LandingMonitor> landing;  // created with the first sample
};

// What the realtime ticks keep from one tick to the next, so that a tick costs what it writes
// rather than what the whole flight took to write. It is dropped (ForgetRealtimeWork) wherever
// the logs or the settings may change under it, and then rebuilt from the files; each part also
// checks the files before it is used.
struct RealtimeWork {
  // Recorder: the lengths of "Flightlog.txt" and "Realtime.txt" as the last refresh of the
  // realtime log left them (the flight log, then the present position).
  struct LogLengths {
    uint64_t flightLog = 0;
    uint64_t realtimeLog = 0;
  };
  std::optional<LogLengths> logLengths;
  // KML writer: the records of the realtime log rendered by earlier ticks.
  std::shared_ptr<RealtimeRendering> rendering;
};

struct App {
  explicit App(Ports p) : ports(p) {
    link.transport = &p.transport;
    link.clock = &p.clock;
  }
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Ports ports;
  Globals g;
  LoggingParameters params;
  KmlTemplateSet kml;
  FlightSample sample;
  PreviousSample prev;
  TrafficTable traffic;
  FsuipcLink link;

  Form1Controls Form1;
  TcasControls frmTCAS;
  StatusControls frmACStatus;
  OptionsControls frmOptions;  // modal
  OffsetsControls frmOffsets;  // modal, over the options dialog

  bool ended = false;  // the program has ended; no handler runs any more

  RealtimeWork realtimeWork;
  ReviewState review;

  // Set by each convert, for the headless runner's summary.
  AnimationCounts lastAnimation;
  // The maker's web server in place of the one the program was built with ("" for none): the
  // headless runner's --server, and the tests.
  std::optional<std::string> serverBase;

  // Observers for the headless runner and the tests: every sentence posted to a message line,
  // and every change of the connection state seen by the tick.
  std::function<void(const std::string& text, bool toStatusWindow)> onMessage;
};

// Drops what the realtime ticks kept: the next tick refreshes the realtime log and renders the
// realtime document from the whole flight log.
inline void ForgetRealtimeWork(App& app) {
  app.realtimeWork = {};
}

}  // namespace sky
