// The program's record: every shared flag and value, the windows' control state, the current and
// previous flight sample, the settings, the KML snippets, the traffic table and the link to the
// simulator, with the ports through which the program reaches the outside. The tick, start-up,
// the dispatch and the user's commands work on it and hand the models and writers below the
// parts they use (the ...Of functions at the end); no model reads the whole record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/flight_sample.h"
#include "core/forms.h"
#include "core/link_state.h"
#include "core/logging_parameters.h"
#include "core/messages.h"
#include "core/ports.h"
#include "core/sim_transport.h"
#include "core/traffic_table.h"
#include "instruments/tcas.h"
#include "kml/realtime_records.h"
#include "kml/templates.h"
#include "kml/writer.h"
#include "online/online.h"
#include "online/updates.h"
#include "online/xplane_module.h"
#include "recorder/flightlog.h"
#include "replay/animation_kml.h"
#include "review/landing.h"
#include "settings/offsets_file.h"
#include "simlink/flightdata.h"

namespace sky {

struct App;

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
// where their own rules say so. (The recorder's own memory is App::recorder.)
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
};

// The program's message board: texts beginning "Event: " go to the status window's event line
// while that window is open, everything else to the main window's message line; each post
// restarts its line's clearing timer. An observer (the headless runner, the tests) hears every
// post.
// The flight review, the exports and the landing reports. The option and the last review page
// live in the program's own "Review.txt" in the data folder, apart from the logging parameters.
struct ReviewState {
  bool exportsOn = false;                // the convert also writes GPX, IGC, GeoJSON and CSV
  std::string lastReview;                // the review page the last convert wrote ("" for none)
  std::vector<std::string> lastExports;  // the export files the last convert wrote
  LandingMonitor landing;
};

class ProgramBoard final : public MessageBoard {
 public:
  explicit ProgramBoard(App& app) : app_(app) {}
  void Post(const std::string& text) override;

 private:
  App& app_;
};

struct App {
  explicit App(Ports p) : ports(p), board(*this) {
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
  RecorderState recorder;

  Form1Controls Form1;
  TcasControls frmTCAS;
  StatusControls frmACStatus;
  OptionsControls frmOptions;  // modal
  OffsetsControls frmOffsets;  // modal, over the options dialog

  bool ended = false;  // the program has ended; no handler runs any more
  // Failures no handler trapped, which the dispatch stopped there (a bug, or memory running out
  // where nothing expected it): the headless runner and the tests fail on one they did not cause.
  size_t escapedFailures = 0;

  // What the realtime ticks keep from one tick to the next, so that a tick costs what it writes
  // rather than what the whole flight took to write: the realtime log's lengths (in the
  // recorder's state) and the records the KML writer rendered. Dropped (ForgetRealtimeWork)
  // wherever the logs or the settings may change under it.
  RealtimeRenderingCache realtimeRendering;

  // Set by each convert, for the headless runner's summary.
  AnimationCounts lastAnimation;
  ReviewState review;
  // The maker's web server in place of the one the program was built with ("" for none): the
  // headless runner's --server, and the tests.
  std::optional<std::string> serverBase;

  ProgramBoard board;
  // Observer for the headless runner and the tests: every sentence posted to a message line.
  std::function<void(const std::string& text, bool toStatusWindow)> onMessage;
};

// Posts one sentence on the program's board.
void ShowMessage(App& app, const std::string& text);

// Clearing ticks of the two message lines.
void Timer2_Timer(App& app);
void tmrMSG_Timer(App& app);

// Drops what the realtime ticks kept: the next tick refreshes the realtime log and renders the
// realtime document from the whole flight log.
void ForgetRealtimeWork(App& app);

// The parts handed on to the models and writers.
SettingsFile SettingsOf(App& app);
WebServer ServerOf(App& app);
KmlOutput KmlOutputOf(App& app);
RealtimeScene RealtimeSceneOf(const App& app);
RecordInputs RecordInputsOf(App& app);
TcasScene TcasSceneOf(const App& app);
FlightReadSettings FlightReadSettingsOf(const App& app);
XPlaneInstaller XPlaneInstallerOf(App& app, const WebServer& server, const SettingsFile& settings);
ReplayInputs ReplayInputsOf(App& app, const std::string& dataFolder);
UpdateCheck UpdateCheckOf(App& app, const WebServer& server, const std::string& dataFolder);

}  // namespace sky
