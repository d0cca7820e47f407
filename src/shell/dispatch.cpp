#include "shell/dispatch.h"

#include <limits>

#include "commands/app.h"
#include "commands/convert.h"
#include "commands/instrument_windows.h"
#include "commands/logging.h"
#include "commands/main_window.h"
#include "commands/options_dialog.h"
#include "commands/parameters_dialog.h"
#include "commands/realtime_link.h"
#include "commands/review.h"
#include "core/system.h"
#include "shell/startup.h"
#include "shell/tick.h"

namespace sky {
namespace {

struct Control {
  std::string_view window;
  std::string_view name;
  bool (*enabled)(const App&);
  void (*handler)(App&);
};

#define FORM1(control) [](const App& a) { return a.Form1.control.enabled; }
#define TCAS(control) [](const App& a) { return a.frmTCAS.control.enabled; }
#define STATUS(control) [](const App& a) { return a.frmACStatus.control.enabled; }
#define OPTIONS(control) [](const App& a) { return a.frmOptions.control.enabled; }
#define OFFSETS(control) [](const App& a) { return a.frmOffsets.control.enabled; }
// A check box is always enabled; a click changes its tick.
#define CHECK(control) \
  [](const App&) { return true; }, [](App& a) { ToggleOptionsCheck(a, control); }

const Control kControls[] = {
    {"Form1", "Command1", FORM1(Command1), Command1_Click},
    {"Form1", "btn_startlog", FORM1(btn_startlog), StartLogging},
    {"Form1", "btn_stoplog", FORM1(btn_stoplog), StopLogging},
    {"Form1", "btn_resetlog", FORM1(btn_resetlog), [](App& a) { ResetLog(a, false); }},
    {"Form1", "btn_startAnimate", FORM1(btn_startAnimate), ToggleAnimation},
    {"Form1", "btn_ToggleRealtime", FORM1(btn_ToggleRealtime), ToggleRealtime},
    {"Form1", "btn_setChase", FORM1(btn_setChase), SetViewChase},
    {"Form1", "btn_setLeft", FORM1(btn_setLeft), SetViewLeft},
    {"Form1", "btn_setRight", FORM1(btn_setRight), SetViewRight},
    {"Form1", "btn_setOverview", FORM1(btn_setOverview), SetViewOverview},
    {"Form1", "btn_InitiateRealtime", FORM1(btn_InitiateRealtime), InitiateRealtime},
    {"Form1", "btn_Convert", FORM1(btn_Convert), ConvertFlightLog},
    {"Form1", "btn_savedlogs", FORM1(btn_savedlogs), OpenSavedTracksFolder},
    {"Form1", "btn_Review", FORM1(btn_Review), OpenFlightReview},
    {"Form1", "chkExports", [](const App&) { return true; }, ToggleExports},
    {"Form1", "btn_indicator", FORM1(btn_indicator), OpenStatusWindow},
    {"Form1", "btn_TCAS", FORM1(btn_TCAS), OpenTcasWindow},
    {"Form1", "btn_Options", FORM1(btn_Options), OpenOptionsDialog},
    {"Form1", "btn_Manual", FORM1(btn_Manual), OpenManual},
    {"Form1", "btn_Website", FORM1(btn_Website), OpenWebsite},
    {"Form1", "btn_ToggleOnTop", FORM1(btn_ToggleOnTop), ToggleMainOnTop},
    {"frmTCAS", "btn_ToggleTCAS", TCAS(btn_ToggleTCAS), CycleTcasMode},
    {"frmTCAS", "btn_zoomin", TCAS(btn_zoomin), ZoomIn},
    {"frmTCAS", "btn_zoomout", TCAS(btn_zoomout), ZoomOut},
    {"frmTCAS", "Command1", TCAS(Command1), ToggleTcasOnTop},
    {"frmACStatus", "Command1", STATUS(Command1), ToggleStatusOnTop},
    {"frmOptions", "Command2", OPTIONS(Command2), OpenParametersDialog},
    {"frmOptions", "Check1", CHECK("Check1")},
    {"frmOptions", "Check2", CHECK("Check2")},
    {"frmOptions", "Check3", CHECK("Check3")},
    {"frmOptions", "Command1", OPTIONS(Command1), OptionsBrowse},
    {"frmOptions", "btnOK", OPTIONS(btnOK), OptionsOK},
    {"frmOptions", "btnCancel", OPTIONS(btnCancel), OptionsCancel},
    {"frmOffsets", "btnOK", OFFSETS(btnOK), ParametersOK},
    {"frmOffsets", "btnCancel", OFFSETS(btnCancel), ParametersCancel},
    {"frmOffsets", "btnReset", OFFSETS(btnReset), ParametersReset},
};

bool IsParameterBox(std::string_view control) {
  static const OffsetsControls designed;
  for (const ParameterBox& box : designed.boxes) {
    if (box.name == control) return true;
  }
  return false;
}

bool IsTextBox(std::string_view window, std::string_view control) {
  return (window == "frmOffsets" && IsParameterBox(control)) ||
         (window == "frmOptions" && control == "txtXPlanePath");
}

// The window that takes the user's input while modal dialogs are open: the last one opened.
std::string_view ModalWindow(const App& app) {
  if (app.frmOffsets.loaded) return "frmOffsets";
  if (app.frmOptions.loaded) return "frmOptions";
  return {};
}

// Runs a handler so that nothing escapes it. Each handler traps its own failures and posts its
// sentence; whatever still comes through (memory running out where nothing expected it) ends the
// handler there, is counted, and the next click or tick simply tries again.
template <typename Handler>
void Guarded(App& app, Handler handler) {
  try {
    handler(app);
  } catch (...) {
    ++app.escapedFailures;
  }
}

// Fires the timer when it is due.
template <typename Handler>
void FireIfDue(App& app, Timer& timer, int64_t now, Handler handler) {
  if (app.ended || !timer.enabled || now < timer.dueMs) return;
  timer.dueMs += timer.intervalMs;
  if (timer.dueMs <= now) timer.dueMs = now + timer.intervalMs;  // ticks missed while blocked
  Guarded(app, handler);
}

bool Loaded(const App& app, std::string_view window) {
  if (app.ended) return false;
  if (window == "frmTCAS") return app.frmTCAS.loaded;
  if (window == "frmACStatus") return app.frmACStatus.loaded;
  if (window == "frmOptions") return app.frmOptions.loaded;
  if (window == "frmOffsets") return app.frmOffsets.loaded;
  return true;
}

}  // namespace

ClickResult Click(App& app, std::string_view window, std::string_view control) {
  if (IsTextBox(window, control)) {
    if (!Loaded(app, window)) return ClickResult::NotLoaded;
    if (IsBlocked(app, window)) return ClickResult::Blocked;
    if (window == "frmOffsets") MoveParametersFocus(app, control);
    return ClickResult::Done;
  }
  for (const Control& entry : kControls) {
    if (entry.window != window || entry.name != control) continue;
    if (!Loaded(app, window)) return ClickResult::NotLoaded;
    if (IsBlocked(app, window)) return ClickResult::Blocked;
    if (!entry.enabled(app)) return ClickResult::Disabled;
    Guarded(app, [&entry, control](App& a) {
      if (entry.window == "frmOffsets") MoveParametersFocus(a, control);
      entry.handler(a);
    });
    return ClickResult::Done;
  }
  return ClickResult::Unknown;
}

bool IsControl(std::string_view window, std::string_view control) {
  if (IsTextBox(window, control)) return true;
  for (const Control& entry : kControls) {
    if (entry.window == window && entry.name == control) return true;
  }
  return false;
}

bool IsWindow(std::string_view window) {
  return window == "Form1" || window == "frmTCAS" || window == "frmACStatus" ||
         window == "frmOptions" || window == "frmOffsets";
}

bool IsBlocked(const App& app, std::string_view window) {
  const std::string_view modal = ModalWindow(app);
  return !modal.empty() && modal != window;
}

bool MoveFocus(App& app, std::string_view window, std::string_view control) {
  if (!IsControl(window, control) || !Loaded(app, window) || IsBlocked(app, window)) return false;
  if (window == "frmOffsets") MoveParametersFocus(app, control);
  return true;
}

bool TypeText(App& app, std::string_view window, std::string_view control,
              const std::string& text) {
  if (!IsTextBox(window, control) || !Loaded(app, window) || IsBlocked(app, window)) return false;
  bool typed = false;
  Guarded(app, [&](App& a) {
    if (window == "frmOffsets") {
      typed = TypeParameterBox(a, control, text);
    } else {
      TypeXPlanePath(a, text);
      typed = true;
    }
  });
  return typed;
}

bool CloseWindow(App& app, std::string_view window) {
  if (!IsWindow(window) || IsBlocked(app, window)) return false;
  if (window == "Form1") {
    Guarded(app, Form_Unload);
  } else if (window == "frmTCAS") {
    Guarded(app, CloseTcasWindow);
  } else if (window == "frmACStatus") {
    Guarded(app, CloseStatusWindow);
  } else if (window == "frmOptions") {
    Guarded(app, CloseOptionsDialog);
  } else {
    Guarded(app, CloseParametersDialog);
  }
  return true;
}

void ResizeMainWindow(App& app, WindowState state) {
  if (app.ended || app.Form1.windowState == state) return;
  Form_Resize(app, state);
}

void TrayIconMouse(App& app, int message) {
  if (app.ended || !app.Form1.trayIcon) return;
  picTrayicon_MouseMove(app, message);
}

void TrayIconClick(App& app, TrayClick click) {
  switch (click) {
    case TrayClick::LeftRelease:
      return TrayIconMouse(app, kLeftButtonUp);
    case TrayClick::RightRelease:
      return TrayIconMouse(app, kRightButtonUp);
    case TrayClick::DoubleClick:
      return TrayIconMouse(app, kLeftButtonDoubleClick);
    case TrayClick::Other:
      return TrayIconMouse(app, kMouseMove);
  }
}

void ComeToFront(App& app) {
  if (app.ended) return;
  Form1Controls& form = app.Form1;
  form.windowState = WindowState::Normal;
  form.visible = true;
  form.trayIcon = false;
  ++form.frontRequests;
}

void RunDueTimers(App& app) {
  const int64_t now = app.ports.clock.MonotonicMs();
  FireIfDue(app, app.Form1.Timer1, now, Timer1_Timer);
  FireIfDue(app, app.Form1.Timer2, now, Timer2_Timer);
  if (app.frmTCAS.loaded) FireIfDue(app, app.frmTCAS.tmrTCAS, now, tmrTCAS_Timer);
  if (app.frmACStatus.loaded) FireIfDue(app, app.frmACStatus.tmrMSG, now, tmrMSG_Timer);
}

int64_t NextTimerDueMs(const App& app) {
  int64_t next = std::numeric_limits<int64_t>::max();
  auto consider = [&next](const Timer& timer) {
    if (timer.enabled && timer.dueMs < next) next = timer.dueMs;
  };
  consider(app.Form1.Timer1);
  consider(app.Form1.Timer2);
  if (app.frmTCAS.loaded) consider(app.frmTCAS.tmrTCAS);
  if (app.frmACStatus.loaded) consider(app.frmACStatus.tmrMSG);
  return next;
}

}  // namespace sky
