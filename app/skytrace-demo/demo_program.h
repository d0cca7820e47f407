// The program of a demo run on headless ports, everything it shows going into the transcript:
// every message-board line, dialog, shell request, HTTP request and connection change, each
// line beginning with the second of the run. The scripted actions are performed on it second by
// second, and their times noted in the timings file when there is one.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/sim_transport.h"
#include "demo_actions.h"
#include "demo_options.h"
#include "demo_ports.h"
#include "platform/headless.h"
#include "platform/std_files.h"

namespace sky {

struct App;

class DemoProgram {
 public:
  DemoProgram(const DemoOptions& options, std::ostream& out);
  ~DemoProgram();

  // The simulated clock, which the in-process run advances; it starts at --start.
  SimulatedClock& SimulatedTime() { return clock_; }
  // Opens the timings file; false when it cannot be written.
  bool OpenTimings(const std::string& path);

  // Makes the program on its ports, with the run's clock and the transport of its link.
  void Make(Clock& clock, SimTransport& transport);
  // Runs the start-up with the script's actions. Answers at second 0 that come before any
  // other action answer the start-up's own dialogs; those it leaves unused are dropped, so that
  // they answer nothing later. Returns whether the program started.
  bool Start(std::vector<DemoAction> actions);
  // The program's timers due at `second`.
  void RunTimers(int second);
  // The actions due at `second`; without an actions file, logging starts as soon as the button
  // allows it and stops at the `last` second. Returns whether the run ends: the program has
  // ended, or this was the last second.
  bool Act(int second, bool last);
  // The summary after the transcript, and then, when a failure escaped its handler and the
  // dispatch stopped it, how many did. Returns the run's exit code: 0, or 3 after an escape.
  int PrintSummary();

  App* app() { return app_.get(); }

 private:
  // One transcript line; line breaks inside a text are shown as \r and \n.
  void Print(const std::string& text);
  void Perform(const DemoAction& action);
  void PerformAction(const DemoAction& action);
  // Prints the logging parameters' boxes that changed other than by typing into them: a box
  // correcting itself as it loses the focus, a reset.
  void PrintCorrectedBoxes(const std::vector<std::string>& before, const DemoAction& action);
  void ReportConnection();
  // Runs `work`, noting its times in the timings file when there is one: the CPU time of this
  // thread (the program's own work; the simulator answers from a thread of its own) and the
  // time on the wall clock.
  template <typename Work>
  void Timed(const std::string& what, Work&& work);

  const DemoOptions& options_;
  std::ostream& out_;
  int second_ = 0;
  bool lastConnected_ = false;
  bool loggingStarted_ = false;
  std::vector<DemoAction> actions_;
  size_t next_ = 0;  // the first action still to run
  std::ofstream timings_;

  SimulatedClock clock_;
  FixedFolders folders_;
  StdFileSystem files_;
  DemoSystemInfo system_;
  RecordingShell shell_;
  ScriptedDialogs dialogs_;
  TranscriptHttp http_;
  HeadlessWindows windows_;
  std::unique_ptr<App> app_;
};

}  // namespace sky
