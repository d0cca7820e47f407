#include "host.h"

#include <QApplication>
#include <algorithm>

#include "core/app.h"
#include "form1.h"
#include "recorder/startup.h"
#include "shell/messages.h"

namespace sky::ui {

UiHost::UiHost(App& app, QtWindows& windows) : app_(app), windows_(windows) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { OnTimer(); });
  form1_ = std::make_unique<Form1>(app_, [this] { AfterEvent(); });
  windows_.Register(WindowId::Form1, form1_.get());
}

UiHost::~UiHost() {
  windows_.Unregister(WindowId::Form1);
}

bool UiHost::Start() {
  const bool started = Form_Load(app_);
  if (!started) return false;
  form1_->show();
  AfterEvent();
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
  form1_->Render();
  const int64_t wait = NextTimerDueMs(app_) - app_.ports.clock.MonotonicMs();
  timer_.start(static_cast<int>(std::clamp<int64_t>(wait, 0, 60000)));
}

}  // namespace sky::ui
