#include "host.h"

#include <QApplication>
#include <algorithm>
#include <functional>

#include "commands/app.h"
#include "core/system.h"
#include "form1.h"
#include "settings_dialogs.h"
#include "shell/dispatch.h"
#include "shell/startup.h"
#include "status_window.h"
#include "tcas_window.h"

namespace sky::ui {

UiHost::UiHost(App& app, QtWindows& windows) : app_(app), windows_(windows) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { OnTimer(); });
  form1_ = std::make_unique<Form1>(app_, [this] { AfterEvent(); });
  windows_.Register(WindowId::Form1, form1_.get());
}

UiHost::~UiHost() {
  windows_.Unregister(WindowId::frmOffsets);
  windows_.Unregister(WindowId::frmOptions);
  windows_.Unregister(WindowId::frmTCAS);
  windows_.Unregister(WindowId::frmACStatus);
  windows_.Unregister(WindowId::Form1);
}

bool UiHost::Start() {
  const bool started = Form_Load(app_);
  if (!started) return false;
  AfterEvent();  // shows the main window
  return true;
}

void UiHost::OnTimer() {
  RunDueTimers(app_);
  AfterEvent();
}

void UiHost::AfterEvent() {
  if (app_.ended) {
    QApplication::quit();
    return;
  }
  RenderAll();
  if (simulated_) return;
  const int64_t wait = NextTimerDueMs(app_) - app_.ports.clock.MonotonicMs();
  timer_.start(static_cast<int>(std::clamp<int64_t>(wait, 0, 60000)));
}

void UiHost::RenderAll() {
  form1_->Render();
  SyncWindows();
}

namespace {

// Creates the view when its window was loaded, and lets it go when the window was unloaded (a
// window may be closing from its own close handler, so it is deleted from the event loop).
template <typename View>
void Sync(bool loaded, std::unique_ptr<View>& view, WindowId id, QtWindows& windows,
          const std::function<View*()>& create) {
  if (loaded && !view) {
    view.reset(create());
    windows.Register(id, view.get());
    view->show();
  } else if (!loaded && view) {
    windows.Unregister(id);
    view->hide();
    view.release()->deleteLater();
  }
  if (view) view->Render();
}

}  // namespace

void UiHost::SyncWindows() {
  Sync<TcasWindow>(app_.frmTCAS.loaded, tcas_, WindowId::frmTCAS, windows_,
                   [this] { return new TcasWindow(app_, [this] { AfterEvent(); }); });
  Sync<StatusWindow>(app_.frmACStatus.loaded, status_, WindowId::frmACStatus, windows_,
                     [this] { return new StatusWindow(app_, [this] { AfterEvent(); }); });
  // The dialogs are modal, the logging parameters over the options.
  Sync<OptionsDialog>(app_.frmOptions.loaded, options_, WindowId::frmOptions, windows_, [this] {
    return new OptionsDialog(
        app_, [this] { AfterEvent(); }, form1_.get());
  });
  Sync<ParametersDialog>(app_.frmOffsets.loaded && options_, parameters_, WindowId::frmOffsets,
                         windows_, [this] {
                           return new ParametersDialog(
                               app_, [this] { AfterEvent(); }, options_.get());
                         });
}

}  // namespace sky::ui
