#include "demo_runner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <thread>

#include "commands/app.h"
#include "core/numtext.h"
#include "core/system.h"
#include "core/text.h"
#include "demo_summary.h"
#include "platform/headless.h"
#include "platform/std_files.h"
#include "platform/system_http.h"
#include "shell/dispatch.h"
#include "shell/startup.h"
#include "simlink/fsuipc.h"

#ifdef _WIN32
#include "platform/win32_platform.h"
#include "simlink/transport_win32.h"
#include "skytrace-sim/win32_server.h"
#else
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix_platform.h"
#include "simlink/ipc_wire.h"
#include "simlink/transport_posix.h"
#include "skytrace-sim/posix_server.h"
#endif
#include "skytrace-sim/builtin_flight.h"
#include "skytrace-sim/flight_source.h"
#include "skytrace-sim/simulator_core.h"
#include "skytrace-sim/track.h"
#include "skytrace-sim/traffic_source.h"

namespace sky {
namespace {

// System information of the machine, with the decimal separator and the user name fixed by the
// command line.
class DemoSystemInfo final : public SystemInfo {
 public:
  DemoSystemInfo(std::string separator, std::optional<std::string> user)
      : separator_(std::move(separator)), user_(std::move(user)) {}
  std::optional<std::string> UserName() override { return user_ ? user_ : real_.UserName(); }
  std::optional<FileVersion> FileVersionOf(const std::string& path) override {
    return real_.FileVersionOf(path);
  }
  std::optional<OsVersion> OperatingSystem() override { return real_.OperatingSystem(); }
  std::string LocaleNumberText(double value) override {
    return separator_.empty() ? real_.LocaleNumberText(value) : DefaultText(value, separator_);
  }

 private:
  std::string separator_;
  std::optional<std::string> user_;
#ifdef _WIN32
  Win32SystemInfo real_;
#else
  PosixSystemInfo real_;
#endif
};

volatile std::sig_atomic_t liveStopRequested = 0;

void OnLiveSignal(int) {
  liveStopRequested = 1;
}

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return "";
  const size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

// A double-quoted argument; false when it is not one.
bool Quoted(const std::string& text, std::string& value) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  value = text.substr(1, text.size() - 2);
  return true;
}

#ifndef _WIN32

// The demo's runtime folder (it holds the simulator's socket) is "skytrace-demo-<pid>-XXXXXX" in
// the temporary folder. Every exit removes it: a normal end or an error with the runner, a
// terminating signal in its handler, and a kill that leaves no chance to the next demo, which
// removes the folders of demos whose process is gone.
constexpr char kRuntimePrefix[] = "skytrace-demo-";

void RemoveFoldersOfEndedDemos(const std::filesystem::path& temporary) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(temporary, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(kRuntimePrefix)) continue;
    char* rest = nullptr;
    const long processId = std::strtol(name.c_str() + sizeof kRuntimePrefix - 1, &rest, 10);
    if (processId <= 0 || *rest != '-') continue;
    if (::kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      std::filesystem::remove_all(it->path(), ignored);
    }
  }
}

// What a terminating signal removes before the demo ends: the simulator's socket, the program's
// request area and the runtime folder. Fixed buffers, filled before the handler is installed,
// and only calls that are safe in a signal handler.
struct SignalCleanup {
  char socket[512] = {};
  char area[64] = {};
  char folder[512] = {};
};
SignalCleanup signalCleanup;

void CleanUpAndEnd(int signal) {
  ::unlink(signalCleanup.socket);
  ::shm_unlink(signalCleanup.area);
  ::rmdir(signalCleanup.folder);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void CleanUpOnSignals(const std::string& folder, const std::string& socket,
                      const std::string& area) {
  if (folder.size() >= sizeof signalCleanup.folder ||
      socket.size() >= sizeof signalCleanup.socket || area.size() >= sizeof signalCleanup.area) {
    return;
  }
  std::memcpy(signalCleanup.folder, folder.c_str(), folder.size() + 1);
  std::memcpy(signalCleanup.socket, socket.c_str(), socket.size() + 1);
  std::memcpy(signalCleanup.area, area.c_str(), area.size() + 1);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(signal, CleanUpAndEnd);
}

#endif  // _WIN32

// Time on the wall clock, in microseconds.
int64_t WallMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SplitTarget(const std::string& target, std::string& window, std::string& control) {
  const size_t dot = target.find('.');
  window = dot == std::string::npos ? "Form1" : target.substr(0, dot);
  control = dot == std::string::npos ? target : target.substr(dot + 1);
}

// The system's HTTP client, each request reported to the transcript with its outcome.
class TranscriptHttp final : public Http {
 public:
  explicit TranscriptHttp(std::function<void(const std::string&)> print)
      : print_(std::move(print)) {}
  std::optional<std::string> FetchText(const std::string& url) override {
    auto text = real_.FetchText(url);
    Report(url, text ? text->size() : 0);
    return text;
  }
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string& url) override {
    auto bytes = real_.FetchBytes(url);
    Report(url, bytes ? bytes->size() : 0);
    return bytes;
  }

 private:
  void Report(const std::string& url, size_t size) {
    const HttpFailure failure = real_.LastFailure();
    print_("http: GET " + url + " -> " +
           (failure == HttpFailure::None ? std::to_string(size) + " bytes"
                                         : std::string("failed, ") + HttpFailureName(failure)));
  }
  SystemHttp real_;
  std::function<void(const std::string&)> print_;
};

}  // namespace

std::optional<std::vector<DemoAction>> ParseDemoActions(const std::string& text,
                                                        std::string& error) {
  std::vector<DemoAction> actions;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    auto fail = [&](const std::string& reason) {
      error = "line " + std::to_string(number) + ": " + reason;
      return std::nullopt;
    };
    DemoAction action;
    action.line = number;
    std::istringstream words(line);
    std::string second;
    words >> second >> action.verb;
    char* end = nullptr;
    const long t = std::strtol(second.c_str(), &end, 10);
    if (second.empty() || *end || t < 0)
      return fail("the time " + QuotedInput(second) + " is not a second");
    action.second = static_cast<int>(t);
    std::string rest;
    std::getline(words, rest);
    rest = Trim(rest);
    if (action.verb == "click" || action.verb == "close" || action.verb == "type") {
      std::string target = rest.substr(0, rest.find(' '));
      if (target.empty()) return fail(action.verb + " needs a control");
      if (action.verb == "close") {
        action.window = target;
        if (!IsWindow(action.window)) return fail("unknown window " + QuotedInput(target));
      } else {
        SplitTarget(target, action.window, action.control);
        if (action.verb == "click" && !IsControl(action.window, action.control)) {
          return fail("unknown control " + QuotedInput(target));
        }
        if (action.verb == "type") {
          // The text: quoted, or the rest of the line as it stands.
          const std::string text = Trim(rest.substr(target.size()));
          if (text.empty()) return fail("type needs a text");
          if (!Quoted(text, action.argument)) action.argument = text;
          if (!IsControl(action.window, action.control)) {
            return fail("unknown text box \"" + target + "\"");
          }
        }
      }
    } else if (action.verb == "answer") {
      const std::string kind = rest.substr(0, rest.find(' '));
      action.argument = kind;
      if (kind == "text") {
        std::string value;
        if (kind.size() >= rest.size() || !Quoted(Trim(rest.substr(kind.size())), value)) {
          return fail("answer text needs a quoted text");
        }
        action.control = value;
      } else if (kind != "yes" && kind != "no" && kind != "ok" && kind != "cancel") {
        return fail("unknown answer " + QuotedInput(kind));
      }
    } else {
      return fail("unknown verb " + QuotedInput(action.verb));
    }
    actions.push_back(action);
  }
  return actions;
}

const char kDemoUsage[] =
    "usage: skytrace-demo [--track FILE] [--actions FILE] [--seconds N]\n"
    "                     [--data-dir DIR] [--docs-dir DIR]\n"
    "                     [--start \"YYYY-MM-DD HH:MM:SS\"] [--decimal-separator SEP]\n"
    "                     [--traffic FILE] [--server URL] [--user NAME] [--live]\n"
    "                     [--timings FILE]\n";

bool ParseDemoOptions(int argc, char** argv, DemoOptions& options, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--live") {
      options.live = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (i + 1 >= argc) {
      err << "skytrace-demo: " << CutInput(arg) << " needs a value\n";
      return false;
    }
    const std::string value = argv[++i];
    if (arg == "--seconds") {
      char* end = nullptr;
      const long seconds = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end || seconds < 0 || seconds > 10000000) {
        err << "skytrace-demo: --seconds needs a whole number\n";
        return false;
      }
      options.seconds = static_cast<int>(seconds);
    } else if (arg == "--data-dir") {
      options.dataDir = value;
    } else if (arg == "--docs-dir") {
      options.docsDir = value;
    } else if (arg == "--start") {
      options.start = value;
    } else if (arg == "--decimal-separator") {
      options.decimalSeparator = value;
    } else if (arg == "--actions") {
      options.actionsFile = value;
    } else if (arg == "--track") {
      options.trackFile = value;
    } else if (arg == "--traffic") {
      options.trafficFile = value;
    } else if (arg == "--server") {
      options.server = value;
    } else if (arg == "--user") {
      options.user = value;
    } else if (arg == "--timings") {
      options.timingsFile = value;
    } else {
      err << "skytrace-demo: unknown option " << CutInput(arg) << "\n" << kDemoUsage;
      return false;
    }
  }
  return true;
}

struct DemoRunner::Impl {
  Impl(DemoOptions o, std::ostream& output, std::ostream& errors)
      : options(std::move(o)),
        out(output),
        err(errors),
        clock(LocalDateTime{}),
        folders(std::filesystem::absolute(options.dataDir).string(),
                std::filesystem::absolute(options.docsDir).string(),
                options.programFolder.empty() ? ExecutableFolder() : options.programFolder),
        system(options.decimalSeparator, options.user),
        http([this](const std::string& line) { Print(line); }) {}

  ~Impl() {
    if (server) server->Stop();
    std::error_code ignored;
    if (!runtimeDir.empty()) std::filesystem::remove_all(runtimeDir, ignored);
  }

  // One transcript line; line breaks inside a text are shown as \r and \n.
  void Print(const std::string& text) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%4d  ", second);
    out << stamp;
    for (const char c : text) {
      if (c == '\r') {
        out << "\\r";
      } else if (c == '\n') {
        out << "\\n";
      } else {
        out << c;
      }
    }
    out << "\n";
    if (options.live) out.flush();  // someone may be watching a live run
  }

  // Prints the logging parameters' boxes that changed other than by typing into them: a box
  // correcting itself as it loses the focus, a reset.
  void PrintCorrectedBoxes(const std::vector<std::string>& before, const DemoAction& action) {
    const auto& boxes = app->frmOffsets.boxes;
    for (size_t i = 0; i < before.size() && i < boxes.size(); ++i) {
      const bool typed = action.verb == "type" && boxes[i].name == action.control;
      if (before[i] != boxes[i].box.text && !typed) {
        Print("  frmOffsets." + boxes[i].name + " becomes \"" + boxes[i].box.text + "\"");
      }
    }
  }

  void Perform(const DemoAction& action) {
    std::vector<std::string> boxes;
    if (app->frmOffsets.loaded) {
      for (const ParameterBox& box : app->frmOffsets.boxes) boxes.push_back(box.box.text);
    }
    // "click Form1.btn_Convert", "close frmTCAS", "answer yes": two words without blanks.
    std::string what = action.verb + " ";
    if (action.verb == "answer") {
      what += action.argument;
    } else {
      what += action.window + (action.control.empty() ? "" : "." + action.control);
    }
    Timed(what, [&] { PerformAction(action); });
    PrintCorrectedBoxes(boxes, action);
  }

  // Runs `work`, noting its times in the timings file when there is one: the CPU time of this
  // thread (the program's own work; the simulator answers from a thread of its own) and the
  // time on the wall clock.
  template <typename Work>
  void Timed(const std::string& what, Work&& work) {
    if (!timings.is_open()) {
      work();
      return;
    }
    const int64_t cpu = ThreadCpuMicros();
    const int64_t wall = WallMicros();
    work();
    timings << second << ' ' << what << ' ' << ThreadCpuMicros() - cpu << ' ' << WallMicros() - wall
            << '\n';
  }

  void PerformAction(const DemoAction& action) {
    if (action.verb == "click") {
      const std::string name =
          action.window == "Form1" ? action.control : action.window + "." + action.control;
      Print("click " + name);
      const ClickResult result = Click(*app, action.window, action.control);
      if (result == ClickResult::Disabled) Print("  (" + name + " is disabled)");
      if (result == ClickResult::NotLoaded) Print("  (" + action.window + " is not open)");
      if (result == ClickResult::Blocked) Print("  (" + action.window + " is behind a dialog)");
    } else if (action.verb == "type") {
      Print("type " + action.window + "." + action.control + " \"" + action.argument + "\"");
      if (!TypeText(*app, action.window, action.control, action.argument)) {
        Print("  (no such text box open)");
      }
    } else if (action.verb == "answer") {
      ScriptedDialogs::Answer answer;
      const std::string& kind = action.argument;
      answer.kind = kind == "yes"      ? ScriptedDialogs::Answer::Yes
                    : kind == "no"     ? ScriptedDialogs::Answer::No
                    : kind == "cancel" ? ScriptedDialogs::Answer::Cancel
                    : kind == "text"   ? ScriptedDialogs::Answer::Text
                                       : ScriptedDialogs::Answer::Ok;
      answer.text = action.control;
      dialogs.Queue(answer);
    } else if (action.verb == "close") {
      Print("close " + action.window);
      if (IsBlocked(*app, action.window)) Print("  (" + action.window + " is behind a dialog)");
      CloseWindow(*app, action.window);
    }
  }

  void ReportConnection() {
    if (app->g.Connected == lastConnected) return;
    lastConnected = app->g.Connected;
    Print(lastConnected ? "connection: connected" : "connection: not connected");
  }

  // The program on its ports, with everything it shows going into the transcript.
  void MakeApp(Clock& programClock) {
    Impl& d = *this;
    d.app = std::make_unique<App>(Ports{programClock, d.folders, d.files, d.system, d.shell,
                                        d.dialogs, d.http, d.windows, *d.transport});
    App& app = *d.app;
    app.onMessage = [&d](const std::string& text, bool toStatus) {
      d.Print((toStatus ? "status: " : "message: ") + text);
    };
    d.dialogs.onShown = [&d](const ScriptedDialogs::Shown& shown) {
      std::string line =
          "dialog \"" + shown.title + "\": \"" + shown.text + "\" -> " + shown.answer;
      if (!shown.queued) line += " (no answer queued)";
      d.Print(line);
    };
    d.shell.onOpen = [&d](const std::string& target) { d.Print("open: " + target); };
    d.shell.onCloseMainWindow = [&d] {
      d.Print("main window closed");
      CloseWindow(*d.app, "Form1");
    };
    d.shell.onEndProgram = [&d] { d.Print("program ended"); };
    if (!d.options.server.empty()) app.serverBase = d.options.server;
  }

  // Runs the start-up. Answers at second 0 that come before any other action answer the
  // start-up's own dialogs; those it leaves unused are dropped, so that they answer nothing
  // later. Returns whether the program started; `next` is the first action still to run.
  bool StartProgram(const std::vector<DemoAction>& actions, size_t& next) {
    next = 0;
    for (; next < actions.size() && actions[next].second == 0 && actions[next].verb == "answer";
         ++next) {
      Perform(actions[next]);
    }
    const bool started = Form_Load(*app);
    if (dialogs.Pending() > 0) {
      Print("(start-up answers not used: " + std::to_string(dialogs.Pending()) + ")");
      dialogs.Clear();
    }
    ReportConnection();
    return started;
  }

  int RunLive(const std::vector<DemoAction>& actions);

  DemoOptions options;
  std::ostream& out;
  std::ostream& err;
  int second = 0;
  bool lastConnected = false;
  std::string runtimeDir;
  std::ofstream timings;

  SimulatedClock clock;
  FixedFolders folders;
  StdFileSystem files;
  DemoSystemInfo system;
  RecordingShell shell;
  ScriptedDialogs dialogs;
  TranscriptHttp http;
  HeadlessWindows windows;
  std::unique_ptr<SimTransport> transport;
  std::unique_ptr<Clock> liveClock;
  std::unique_ptr<sim::SimulatorCore> simulator;
  std::unique_ptr<sim::TrafficSource> traffic;
#ifdef _WIN32
  std::unique_ptr<sim::Win32SimServer> server;
#else
  std::unique_ptr<sim::PosixSimServer> server;
#endif
  std::unique_ptr<App> app;
};

DemoRunner::DemoRunner(DemoOptions options, std::ostream& out, std::ostream& err)
    : impl_(std::make_unique<Impl>(std::move(options), out, err)) {}

DemoRunner::~DemoRunner() = default;

App* DemoRunner::app() {
  return impl_->app.get();
}

int DemoRunner::Run() {
  Impl& d = *impl_;
  LocalDateTime start;
  if (!ParseLocalDateTime(d.options.start, start)) {
    d.err << "skytrace-demo: --start needs \"YYYY-MM-DD HH:MM:SS\"\n";
    return 2;
  }
  d.clock = SimulatedClock(start);
  if (!d.options.timingsFile.empty()) {
    d.timings.open(d.options.timingsFile, std::ios::binary | std::ios::trunc);
    if (!d.timings) {
      d.err << "skytrace-demo: cannot write " << d.options.timingsFile << "\n";
      return 2;
    }
  }

  std::vector<DemoAction> actions;
  if (!d.options.actionsFile.empty()) {
    std::ifstream in(d.options.actionsFile, std::ios::binary);
    if (!in) {
      d.err << "skytrace-demo: cannot read " << d.options.actionsFile << "\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    const auto parsed = ParseDemoActions(text.str(), error);
    if (!parsed) {
      d.err << "skytrace-demo: " << d.options.actionsFile << ": " << error << "\n";
      return 2;
    }
    actions = *parsed;
  }

  if (d.options.live) return d.RunLive(actions);

  sim::Track flight;
  if (d.options.trackFile.empty()) {
    flight = sim::BuiltinFlight();
  } else {
    std::ifstream in(d.options.trackFile, std::ios::binary);
    if (!in) {
      d.err << "skytrace-demo: cannot read " << d.options.trackFile << "\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    auto parsed = sim::ParseTrack(text.str(), error);
    if (!parsed) {
      d.err << "skytrace-demo: " << d.options.trackFile << ": " << error << "\n";
      return 2;
    }
    flight = std::move(*parsed);
  }

  d.simulator = std::make_unique<sim::SimulatorCore>();
#ifndef _WIN32
  std::error_code noTemporary;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(noTemporary);
  if (noTemporary) temporary = "/tmp";
  RemoveFoldersOfEndedDemos(temporary);
  std::string pattern =
      (temporary / (kRuntimePrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) {
    d.err << "skytrace-demo: cannot make a runtime folder\n";
    return 1;
  }
  d.runtimeDir = pattern;
  if (d.options.cleanUpOnSignals) {
    CleanUpOnSignals(d.runtimeDir, d.runtimeDir + "/UIPCMAIN",
                     wire::SharedMemoryName(AreaName(static_cast<uint32_t>(::getpid()))));
  }
  d.server = std::make_unique<sim::PosixSimServer>(
      *d.simulator, sim::PosixServerOptions{d.runtimeDir, "UIPCMAIN"});
  if (!d.server->Start()) {
    d.err << "skytrace-demo: " << d.server->Error() << "\n";
    return 1;
  }
  d.transport = std::make_unique<PosixTransport>(PosixTransportOptions{d.runtimeDir, 0});
#else
  // The simulator's hidden window, on a thread of its own with its own message loop.
  d.server = std::make_unique<sim::Win32SimServer>(*d.simulator, sim::Win32ServerOptions{});
  if (!d.server->Start()) {
    d.err << "skytrace-demo: " << d.server->Error() << "\n";
    return 1;
  }
  d.transport = std::make_unique<Win32Transport>();
#endif
  if (!d.options.trafficFile.empty()) {
    std::string error;
    d.traffic = sim::LoadTrafficFile(d.options.trafficFile, error);
    if (!d.traffic) {
      d.err << "skytrace-demo: " << error << "\n";
      return 2;
    }
  } else {
    sim::SimulatorCore& core = *d.simulator;
    d.traffic = std::make_unique<sim::BuiltInTraffic>(
        [&core](double) { return sim::OwnStateFromCore(core); });
  }
  // Second s of the run shows the flight at t = s, and the traffic around it.
  sim::WriteFlightState(*d.simulator, flight.At(0));
  sim::UpdateTraffic(*d.traffic, *d.simulator, 0);

  d.MakeApp(d.clock);
  App& app = *d.app;

  size_t next = 0;
  if (!d.StartProgram(actions, next)) return 1;

  const int lastSecond =
      d.options.seconds >= 0 ? d.options.seconds : static_cast<int>(std::ceil(flight.EndTime()));
  // Without an actions file, logging starts as soon as the button allows it and stops at the end.
  const bool defaultActions = d.options.actionsFile.empty();
  bool loggingStarted = false;
  auto click = [&d](const char* control) {
    d.Perform(DemoAction{d.second, 0, "click", "Form1", control, ""});
    d.ReportConnection();
  };
  for (d.second = 0;; ++d.second) {
    if (d.second > 0) {
      sim::WriteFlightState(*d.simulator, flight.At(d.second));
      sim::UpdateTraffic(*d.traffic, *d.simulator, d.second);
      d.clock.Advance(1000);
      d.Timed("timers", [&app] { RunDueTimers(app); });
      d.ReportConnection();
    }
    for (; next < actions.size() && actions[next].second <= d.second && !app.ended; ++next) {
      d.Perform(actions[next]);
      d.ReportConnection();
    }
    if (defaultActions && !app.ended && !loggingStarted && app.Form1.btn_startlog.enabled) {
      click("btn_startlog");
      loggingStarted = true;
    }
    if (defaultActions && !app.ended && d.second >= lastSecond) click("btn_stoplog");
    if (app.ended || d.second >= lastSecond) break;
  }
  d.out << FlightSummary(app, d.shell.opened);
  return 0;
}

// The live run: real seconds against the running skytrace-sim, until --seconds or an interrupt.
int DemoRunner::Impl::RunLive(const std::vector<DemoAction>& actions) {
  if (!options.trackFile.empty() || !options.trafficFile.empty()) {
    err << "skytrace-demo: --live flies what skytrace-sim serves; --track and --traffic do not "
           "go with it\n";
    return 2;
  }
#ifdef _WIN32
  liveClock = std::make_unique<Win32Clock>();
  transport = std::make_unique<Win32Transport>();
#else
  liveClock = std::make_unique<PosixClock>();
  transport = std::make_unique<PosixTransport>();
#endif
  MakeApp(*liveClock);
  App& program = *app;
  liveStopRequested = 0;
  std::signal(SIGINT, OnLiveSignal);
  std::signal(SIGTERM, OnLiveSignal);
  const int64_t startMs = liveClock->MonotonicMs();
  size_t next = 0;
  if (!StartProgram(actions, next)) return 1;

  // Without an actions file, logging starts as soon as the button allows it and stops at the end.
  const bool defaultActions = options.actionsFile.empty();
  bool loggingStarted = false;
  auto click = [this](const char* control) {
    Perform(DemoAction{second, 0, "click", "Form1", control, ""});
    ReportConnection();
  };
  for (;;) {
    second = static_cast<int>((liveClock->MonotonicMs() - startMs) / 1000);
    Timed("timers", [&program] { RunDueTimers(program); });
    ReportConnection();
    for (; next < actions.size() && actions[next].second <= second && !program.ended; ++next) {
      Perform(actions[next]);
      ReportConnection();
    }
    if (defaultActions && !program.ended && !loggingStarted && program.Form1.btn_startlog.enabled) {
      click("btn_startlog");
      loggingStarted = true;
    }
    const bool last = liveStopRequested || (options.seconds >= 0 && second >= options.seconds);
    if (defaultActions && !program.ended && last) click("btn_stoplog");
    if (program.ended || last) break;
    // Until the next timer or the next second, waking at least every 0.1 s for an interrupt.
    const int64_t wake = std::min(NextTimerDueMs(program), startMs + (second + 1) * int64_t{1000});
    const int64_t waitMs = std::clamp<int64_t>(wake - liveClock->MonotonicMs(), 1, 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  out << FlightSummary(program, shell.opened);
  return 0;
}

}  // namespace sky
