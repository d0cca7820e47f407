#include "shell/dispatch.h"

#include <limits>

#include "commands/convert.h"
#include "commands/logging.h"
#include "commands/realtime_link.h"
#include "core/app.h"
#include "core/messages.h"
#include "instruments/status_window.h"
#include "instruments/tcas.h"
#include "shell/startup.h"
#include "shell/tick.h"

namespace sky {
namespace {

struct Control {
  std::string_view window;
  std::string_view name;
  Button* (*button)(App&);  // the control's state, for its enabled flag
  void (*handler)(App&);
};

#define FORM1(control) [](App& a) { return &a.Form1.control; }
#define TCAS(control) [](App& a) { return &a.frmTCAS.control; }
#define STATUS(control) [](App& a) { return &a.frmACStatus.control; }

void Nothing(App&) {}

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
    {"Form1", "btn_indicator", FORM1(btn_indicator), OpenStatusWindow},
    {"Form1", "btn_TCAS", FORM1(btn_TCAS), OpenTcasWindow},
    {"Form1", "btn_Options", FORM1(btn_Options), Nothing},
    {"Form1", "btn_Manual", FORM1(btn_Manual), Nothing},
    {"Form1", "btn_Website", FORM1(btn_Website), Nothing},
    {"Form1", "btn_ToggleOnTop", FORM1(btn_ToggleOnTop), Nothing},
    {"frmTCAS", "btn_ToggleTCAS", TCAS(btn_ToggleTCAS), CycleTcasMode},
    {"frmTCAS", "btn_zoomin", TCAS(btn_zoomin), ZoomIn},
    {"frmTCAS", "btn_zoomout", TCAS(btn_zoomout), ZoomOut},
    {"frmTCAS", "Command1", TCAS(Command1), ToggleTcasOnTop},
    {"frmACStatus", "Command1", STATUS(Command1), ToggleStatusOnTop},
};

// Runs a handler so that nothing escapes it. Each handler traps its own failures and posts its
// sentence; whatever still comes through (memory running out where nothing expected it) ends the
// handler there, and the next click or tick simply tries again.
template <typename Handler>
void Guarded(App& app, Handler handler) {
  try {
    handler(app);
  } catch (...) {
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
  if (window == "frmTCAS") return app.frmTCAS.loaded;
  if (window == "frmACStatus") return app.frmACStatus.loaded;
  return !app.ended;
}

}  // namespace

ClickResult Click(App& app, std::string_view window, std::string_view control) {
  for (const Control& entry : kControls) {
    if (entry.window != window || entry.name != control) continue;
    if (!Loaded(app, window)) return ClickResult::NotLoaded;
    if (!entry.button(app)->enabled) return ClickResult::Disabled;
    Guarded(app, entry.handler);
    return ClickResult::Done;
  }
  return ClickResult::Unknown;
}

bool IsControl(std::string_view window, std::string_view control) {
  for (const Control& entry : kControls) {
    if (entry.window == window && entry.name == control) return true;
  }
  return false;
}

bool IsWindow(std::string_view window) {
  return window == "Form1" || window == "frmTCAS" || window == "frmACStatus";
}

bool TypeText(App&, std::string_view, std::string_view, const std::string&) {
  return false;  // no window with text boxes is open in this program yet
}

bool CloseWindow(App& app, std::string_view window) {
  if (window == "Form1") {
    Guarded(app, Form_Unload);
  } else if (window == "frmTCAS") {
    Guarded(app, CloseTcasWindow);
  } else if (window == "frmACStatus") {
    Guarded(app, CloseStatusWindow);
  } else {
    return false;
  }
  return true;
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
