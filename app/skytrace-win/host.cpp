#include "host.h"

#include <algorithm>

#include "commands/app.h"
#include "platform/headless.h"
#include "shell/dispatch.h"
#include "shell/startup.h"
#include "shell/test_commands.h"

namespace sky::win {
namespace {

WinHost* running = nullptr;  // the host whose timer is armed

}  // namespace

WinHost::WinHost(App& app, Win32Windows& windows, HICON icon)
    : app_(app), windows_(windows), icon_(icon) {
  running = this;
  form1_ = std::make_unique<FormView>(app_, Form1Design(), [this] { AfterEvent(); });
  windows_.Register(WindowId::Form1, form1_->Handle());
}

WinHost::~WinHost() {
  if (timer_) KillTimer(nullptr, timer_);
  running = nullptr;
  for (WindowId id : {WindowId::frmOffsets, WindowId::frmOptions, WindowId::frmTCAS,
                      WindowId::frmACStatus, WindowId::Form1}) {
    windows_.Unregister(id);
  }
}

bool WinHost::Start() {
  if (!Form_Load(app_)) return false;
  AfterEvent();  // shows the main window
  return true;
}

void CALLBACK WinHost::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!running) return;
  WinHost& host = *running;
  KillTimer(nullptr, host.timer_);
  host.timer_ = 0;
  if (FormView::Busy()) {  // a handler's box is up; its ticks come when it is answered
    host.timer_ = SetTimer(nullptr, 0, 50, OnTimer);
    return;
  }
  RunDueTimers(host.app_);
  host.AfterEvent();
}

void WinHost::AfterEvent() {
  if (app_.ended) {
    if (!quitting_) PostQuitMessage(0);
    quitting_ = true;
    if (form1_) form1_->RenderMainWindowState(icon_);  // the tray icon goes
    return;
  }
  RenderAll();
  if (testClock_) return;  // the loop runs the timers
  if (timer_) KillTimer(nullptr, timer_);
  const int64_t wait = NextTimerDueMs(app_) - app_.ports.clock.MonotonicMs();
  timer_ = SetTimer(nullptr, 0, static_cast<UINT>(std::clamp<int64_t>(wait, 1, 60000)), OnTimer);
}

void WinHost::RenderAll() {
  form1_->Render();
  form1_->RenderMainWindowState(icon_);
  SyncWindows();
}

void WinHost::Sync(bool loaded, std::unique_ptr<FormView>& view, FormDesign (*design)(),
                   HWND owner) {
  if (loaded && !view) {
    view = std::make_unique<FormView>(
        app_, design(), [this] { AfterEvent(); }, owner);
    windows_.Register(view->Design().id, view->Handle());
    ShowWindow(view->Handle(), SW_SHOWNORMAL);
  } else if (!loaded && view) {
    windows_.Unregister(view->Design().id);
    view.reset();
  }
  if (!view) return;
  view->Render();
}

void WinHost::SyncWindows() {
  Sync(app_.frmTCAS.loaded, tcas_, TcasDesign, nullptr);
  Sync(app_.frmACStatus.loaded, status_, StatusDesign, nullptr);
  // The dialogs are modal, the logging parameters over the options.
  Sync(app_.frmOptions.loaded, options_, OptionsDesign, MainWindow());
  Sync(app_.frmOffsets.loaded && options_, offsets_, OffsetsDesign,
       options_ ? options_->Handle() : nullptr);
  // A window behind a modal dialog takes no input.
  for (FormView* view : {form1_.get(), tcas_.get(), status_.get(), options_.get()}) {
    if (!view) continue;
    const bool enabled = !IsBlocked(app_, view->Design().window);
    if ((IsWindowEnabled(view->Handle()) != FALSE) != enabled)
      EnableWindow(view->Handle(), enabled);
  }
}

// Keyboard navigation (Tab, Enter, Esc) in whichever of the program's windows is active.
bool WinHost::Dispatch(MSG& message) {
  HWND active = GetActiveWindow();
  for (FormView* view :
       {form1_.get(), tcas_.get(), status_.get(), options_.get(), offsets_.get()}) {
    if (view && view->Handle() == active && IsDialogMessageW(active, &message)) return true;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

int WinHost::Run(SimulatedClock* testClock) {
  testClock_ = testClock;
  if (testClock_ && timer_) KillTimer(nullptr, timer_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == kTestCommand) {
      const std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(message.lParam));
      if (testClock_) RunTestCommand(*line);
      SetEvent(reinterpret_cast<HANDLE>(message.wParam));  // the next command may come
      continue;
    }
    Dispatch(message);
  }
  return static_cast<int>(message.wParam);
}

FormView* WinHost::ViewOf(const std::string& window) const {
  for (FormView* view :
       {form1_.get(), tcas_.get(), status_.get(), options_.get(), offsets_.get()}) {
    if (view && view->Design().window == window) return view;
  }
  return nullptr;
}

// Runs one command of a test run. Presses and typing go through the real controls, so that the
// windows' own message handling is what runs.
void WinHost::RunTestCommand(const std::string& line) {
  std::string error;
  const std::optional<TestCommand> command = ParseTestCommand(line, error);
  if (!command) {
    if (!error.empty()) std::fprintf(stderr, "skytrace: test command: %s\n", error.c_str());
    return;
  }
  FormView* view = ViewOf(command->window);
  HWND control = view ? view->Control(command->control) : nullptr;
  switch (command->verb) {
    case TestCommand::Verb::Run:
      RunTestSeconds(
          app_, command->seconds, [this](int64_t ms) { testClock_->Advance(ms); },
          [this] { AfterEvent(); });
      break;
    case TestCommand::Verb::Click:
      if (control) SendMessageW(control, BM_CLICK, 0, 0);
      break;
    case TestCommand::Verb::Type:
      if (control) {
        SendMessageW(control, WM_SETFOCUS, 0, 0);
        SetWindowTextW(control, Wide(command->text).c_str());
      }
      break;
    case TestCommand::Verb::Close:
      if (view) SendMessageW(view->Handle(), WM_CLOSE, 0, 0);
      break;
    case TestCommand::Verb::Answer:
      if (testDialogs_) testDialogs_->QueueAnswer(command->text, command->answerText);
      break;
  }
  if (!command->window.empty() && !view) {
    std::fprintf(stderr, "skytrace: test command: %s is not open\n", command->window.c_str());
  }
}

}  // namespace sky::win
