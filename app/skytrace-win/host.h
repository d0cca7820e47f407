// Keeps the windows in step with the core: fires the core's timers on time, re-renders every
// open window after each event, and opens or closes the auxiliary windows as the core's state
// says. On a simulated clock (a test run), time jumps to the next due timer whenever the
// program has nothing else to do.
#pragma once

#include <memory>

#include "form_view.h"
#include "win_ports.h"

namespace sky {
class SimulatedClock;
}

namespace sky::win {

class WinHost {
 public:
  WinHost(App& app, Win32Windows& windows, HICON icon);
  ~WinHost();
  // Runs the start-up and shows the main window; false when the program ended during it.
  bool Start();
  // After any event the core handled: render, sync windows, schedule the next timer.
  void AfterEvent();
  // Renders every window and opens or closes the auxiliary ones, as the core's state says.
  void RenderAll();
  // The message loop, until the program ends; returns the exit code.
  int Run(SimulatedClock* testClock);
  HWND MainWindow() const { return form1_ ? form1_->Handle() : nullptr; }

  // A test run's command line (a heap string in lParam, taken over by the host, and in wParam
  // the event to set once it has run), posted to the window thread; see shell/test_commands.h.
  static constexpr UINT kTestCommand = WM_APP + 10;
  void SetTestDialogs(Win32Dialogs* dialogs) { testDialogs_ = dialogs; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void SyncWindows();
  void Sync(bool loaded, std::unique_ptr<FormView>& view, FormDesign (*design)(), HWND owner);
  bool Dispatch(MSG& message);
  void RunTestCommand(const std::string& line);
  FormView* ViewOf(const std::string& window) const;

  App& app_;
  Win32Windows& windows_;
  HICON icon_;
  std::unique_ptr<FormView> form1_, tcas_, status_, options_, offsets_;
  UINT_PTR timer_ = 0;
  bool quitting_ = false;
  SimulatedClock* testClock_ = nullptr;
  Win32Dialogs* testDialogs_ = nullptr;
};

}  // namespace sky::win
