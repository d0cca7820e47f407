#include "demo_program.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "commands/app.h"
#include "demo_summary.h"
#include "shell/dispatch.h"
#include "shell/startup.h"

namespace sky {
namespace {

// Time on the wall clock, in microseconds.
int64_t WallMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

DemoProgram::DemoProgram(const DemoOptions& options, std::ostream& out)
    : options_(options),
      out_(out),
      clock_(LocalDateTime{}),
      folders_(std::filesystem::absolute(options.dataDir).string(),
               std::filesystem::absolute(options.docsDir).string(),
               options.programFolder.empty() ? ExecutableFolder() : options.programFolder),
      system_(options.decimalSeparator, options.user),
      http_([this](const std::string& line) { Print(line); }) {}

DemoProgram::~DemoProgram() = default;

template <typename Work>
void DemoProgram::Timed(const std::string& what, Work&& work) {
  if (!timings_.is_open()) {
    work();
    return;
  }
  const int64_t cpu = ThreadCpuMicros();
  const int64_t wall = WallMicros();
  work();
  timings_ << second_ << ' ' << what << ' ' << ThreadCpuMicros() - cpu << ' ' << WallMicros() - wall
           << '\n';
}

bool DemoProgram::OpenTimings(const std::string& path) {
  timings_.open(path, std::ios::binary | std::ios::trunc);
  return static_cast<bool>(timings_);
}

void DemoProgram::Make(Clock& clock, SimTransport& transport) {
  app_ = std::make_unique<App>(
      Ports{clock, folders_, files_, system_, shell_, dialogs_, http_, windows_, transport});
  app_->onMessage = [this](const std::string& text, bool toStatus) {
    Print((toStatus ? "status: " : "message: ") + text);
  };
  dialogs_.onShown = [this](const ScriptedDialogs::Shown& shown) {
    std::string line = "dialog \"" + shown.title + "\": \"" + shown.text + "\" -> " + shown.answer;
    if (!shown.queued) line += " (no answer queued)";
    Print(line);
  };
  shell_.onOpen = [this](const std::string& target) { Print("open: " + target); };
  shell_.onCloseMainWindow = [this] {
    Print("main window closed");
    CloseWindow(*app_, "Form1");
  };
  shell_.onEndProgram = [this] { Print("program ended"); };
  if (!options_.server.empty()) app_->serverBase = options_.server;
}

bool DemoProgram::Start(std::vector<DemoAction> actions) {
  actions_ = std::move(actions);
  next_ = 0;
  for (; next_ < actions_.size() && actions_[next_].second == 0 && actions_[next_].verb == "answer";
       ++next_) {
    Perform(actions_[next_]);
  }
  const bool started = Form_Load(*app_);
  if (dialogs_.Pending() > 0) {
    Print("(start-up answers not used: " + std::to_string(dialogs_.Pending()) + ")");
    dialogs_.Clear();
  }
  ReportConnection();
  return started;
}

void DemoProgram::RunTimers(int second) {
  second_ = second;
  Timed("timers", [this] { RunDueTimers(*app_); });
  ReportConnection();
}

bool DemoProgram::Act(int second, bool last) {
  second_ = second;
  App& app = *app_;
  for (; next_ < actions_.size() && actions_[next_].second <= second && !app.ended; ++next_) {
    Perform(actions_[next_]);
    ReportConnection();
  }
  const bool defaultActions = options_.actionsFile.empty();
  auto click = [this](const char* control) {
    Perform(DemoAction{second_, 0, "click", "Form1", control, ""});
    ReportConnection();
  };
  if (defaultActions && !app.ended && !loggingStarted_ && app.Form1.btn_startlog.enabled) {
    click("btn_startlog");
    loggingStarted_ = true;
  }
  if (defaultActions && !app.ended && last) click("btn_stoplog");
  return app.ended || last;
}

int DemoProgram::PrintSummary() {
  out_ << FlightSummary(*app_, shell_.opened);
  if (app_->escapedFailures == 0) return 0;
  out_ << "failures that escaped their handlers: " << app_->escapedFailures << "\n";
  return 3;
}

void DemoProgram::Print(const std::string& text) {
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%4d  ", second_);
  out_ << stamp;
  for (const char c : text) {
    if (c == '\r') {
      out_ << "\\r";
    } else if (c == '\n') {
      out_ << "\\n";
    } else {
      out_ << c;
    }
  }
  out_ << "\n";
  if (options_.live) out_.flush();  // someone may be watching a live run
}

void DemoProgram::PrintCorrectedBoxes(const std::vector<std::string>& before,
                                      const DemoAction& action) {
  const auto& boxes = app_->frmOffsets.boxes;
  for (size_t i = 0; i < before.size() && i < boxes.size(); ++i) {
    const bool typed = action.verb == "type" && boxes[i].name == action.control;
    if (before[i] != boxes[i].box.text && !typed) {
      Print("  frmOffsets." + boxes[i].name + " becomes \"" + boxes[i].box.text + "\"");
    }
  }
}

void DemoProgram::Perform(const DemoAction& action) {
  std::vector<std::string> boxes;
  if (app_->frmOffsets.loaded) {
    for (const ParameterBox& box : app_->frmOffsets.boxes) boxes.push_back(box.box.text);
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

void DemoProgram::PerformAction(const DemoAction& action) {
  App& app = *app_;
  if (action.verb == "click") {
    const std::string name =
        action.window == "Form1" ? action.control : action.window + "." + action.control;
    Print("click " + name);
    const ClickResult result = Click(app, action.window, action.control);
    if (result == ClickResult::Disabled) Print("  (" + name + " is disabled)");
    if (result == ClickResult::NotLoaded) Print("  (" + action.window + " is not open)");
    if (result == ClickResult::Blocked) Print("  (" + action.window + " is behind a dialog)");
  } else if (action.verb == "type") {
    Print("type " + action.window + "." + action.control + " \"" + action.argument + "\"");
    if (!TypeText(app, action.window, action.control, action.argument)) {
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
    dialogs_.Queue(answer);
  } else if (action.verb == "close") {
    Print("close " + action.window);
    if (IsBlocked(app, action.window)) Print("  (" + action.window + " is behind a dialog)");
    CloseWindow(app, action.window);
  }
}

void DemoProgram::ReportConnection() {
  if (app_->g.Connected == lastConnected_) return;
  lastConnected_ = app_->g.Connected;
  Print(lastConnected_ ? "connection: connected" : "connection: not connected");
}

}  // namespace sky
