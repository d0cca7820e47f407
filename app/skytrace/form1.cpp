#include "form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app_icon.h"
#include "commands/app.h"
#include "shell/dispatch.h"
#include "widgets.h"

namespace sky::ui {
namespace {

QGroupBox* FrameBox(const Frame& frame) {
  return new QGroupBox(Q(frame.caption));
}

}  // namespace

QPushButton* Form1::AddButton(const char* name) {
  auto* button = new QPushButton;
  button->setObjectName(name);
  button->setMinimumHeight(28);
  buttons_[name] = button;
  connect(button, &QPushButton::clicked, this, [this, key = std::string(name)] {
    Click(app_, "Form1", key);
    afterEvent_();
  });
  return button;
}

Form1::Form1(App& app, std::function<void()> afterEvent)
    : app_(app), afterEvent_(std::move(afterEvent)) {
  setObjectName("Form1");
  const Form1Controls& f = app_.Form1;

  auto* connection = FrameBox(f.fraConnection);
  auto* connectionLayout = new QHBoxLayout(connection);
  connectionLayout->addWidget(AddButton("Command1"));
  lblConnect_ = new QLabel;
  lblConnect_->setAlignment(Qt::AlignCenter);
  QFont bold = lblConnect_->font();
  bold.setBold(true);
  lblConnect_->setFont(bold);
  connectionLayout->addWidget(lblConnect_, 1);

  auto* logging = FrameBox(f.fraLogging);
  auto* loggingLayout = new QGridLayout(logging);
  loggingLayout->addWidget(AddButton("btn_startlog"), 0, 0, 1, 2);
  loggingLayout->addWidget(AddButton("btn_stoplog"), 0, 2, 1, 2);
  loggingLayout->addWidget(AddButton("btn_resetlog"), 1, 0, 1, 2);
  loggingLayout->addWidget(AddButton("btn_startAnimate"), 1, 2, 1, 2);
  loggingLayout->addWidget(AddButton("btn_ToggleRealtime"), 2, 0, 1, 4);
  loggingLayout->addWidget(AddButton("btn_setChase"), 3, 0);
  loggingLayout->addWidget(AddButton("btn_setLeft"), 3, 1);
  loggingLayout->addWidget(AddButton("btn_setRight"), 3, 2);
  loggingLayout->addWidget(AddButton("btn_setOverview"), 3, 3);
  Label5_ = new QLabel;
  Label13_ = new QLabel;
  Label6_ = new QLabel;
  auto* status = new QHBoxLayout;
  for (QLabel* label : {Label5_, Label13_, Label6_}) {
    label->setAlignment(Qt::AlignCenter);
    label->setFont(bold);
    status->addWidget(label);
  }
  loggingLayout->addLayout(status, 4, 0, 1, 4);

  auto* other = FrameBox(f.fraOther);
  auto* otherLayout = new QVBoxLayout(other);
  otherLayout->addWidget(AddButton("btn_InitiateRealtime"));
  otherLayout->addWidget(AddButton("btn_Convert"));
  otherLayout->addWidget(AddButton("btn_savedlogs"));
  otherLayout->addWidget(AddButton("btn_Review"));
  chkExports_ = new QCheckBox;
  chkExports_->setObjectName("chkExports");
  connect(chkExports_, &QCheckBox::clicked, this, [this] {
    Click(app_, "Form1", "chkExports");
    afterEvent_();
  });
  otherLayout->addWidget(chkExports_);

  auto* services = FrameBox(f.fraServices);
  auto* servicesLayout = new QVBoxLayout(services);
  servicesLayout->addWidget(AddButton("btn_indicator"));
  servicesLayout->addWidget(AddButton("btn_TCAS"));

  auto* program = FrameBox(f.fraProgram);
  auto* programLayout = new QGridLayout(program);
  programLayout->addWidget(AddButton("btn_Options"), 0, 0);
  programLayout->addWidget(AddButton("btn_Manual"), 0, 1);
  programLayout->addWidget(AddButton("btn_Website"), 1, 0);
  programLayout->addWidget(AddButton("btn_ToggleOnTop"), 1, 1);

  auto* messages = FrameBox(f.fraMessages);
  auto* messagesLayout = new QHBoxLayout(messages);
  Label9_ = new QLabel;
  QFont clock("Lucida Console");
  clock.setStyleHint(QFont::Monospace);
  clock.setPointSize(clock.pointSize() + 4);
  clock.setBold(true);
  Label9_->setFont(clock);
  Label9_->setMinimumWidth(90);
  Label7_ = new QLabel;
  Label7_->setWordWrap(true);
  Label7_->setMinimumHeight(40);
  messagesLayout->addWidget(Label9_);
  messagesLayout->addWidget(Label7_, 1);

  auto* grid = new QGridLayout(this);
  grid->addWidget(connection, 0, 0);
  grid->addWidget(services, 0, 1);
  grid->addWidget(logging, 1, 0, 1, 2);
  grid->addWidget(other, 2, 0);
  grid->addWidget(program, 2, 1);
  grid->addWidget(messages, 3, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  setMinimumWidth(520);

  tray_ = new QSystemTrayIcon(SkytraceIcon(), this);
  tray_->setObjectName("picTrayicon");
  // The tray reports a button release as the mouse message the core knows. The core's answer
  // hides the icon, so it runs once the icon has finished handling its own mouse event: hiding
  // an icon from inside that event destroys the object Qt is still using.
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    const TrayClick click = why == QSystemTrayIcon::Trigger       ? TrayClick::LeftRelease
                            : why == QSystemTrayIcon::Context     ? TrayClick::RightRelease
                            : why == QSystemTrayIcon::DoubleClick ? TrayClick::DoubleClick
                                                                  : TrayClick::Other;
    QMetaObject::invokeMethod(
        this,
        [this, click] {
          TrayIconClick(app_, click);
          afterEvent_();
        },
        Qt::QueuedConnection);
  });
  Render();
}

void Form1::Render() {
  const Form1Controls& f = app_.Form1;
  if (windowTitle() != Q(f.caption)) setWindowTitle(Q(f.caption));
  const std::pair<const char*, const Button*> buttons[] = {
      {"Command1", &f.Command1},
      {"btn_startlog", &f.btn_startlog},
      {"btn_stoplog", &f.btn_stoplog},
      {"btn_resetlog", &f.btn_resetlog},
      {"btn_startAnimate", &f.btn_startAnimate},
      {"btn_ToggleRealtime", &f.btn_ToggleRealtime},
      {"btn_setChase", &f.btn_setChase},
      {"btn_setLeft", &f.btn_setLeft},
      {"btn_setRight", &f.btn_setRight},
      {"btn_setOverview", &f.btn_setOverview},
      {"btn_InitiateRealtime", &f.btn_InitiateRealtime},
      {"btn_Convert", &f.btn_Convert},
      {"btn_savedlogs", &f.btn_savedlogs},
      {"btn_Review", &f.btn_Review},
      {"btn_indicator", &f.btn_indicator},
      {"btn_TCAS", &f.btn_TCAS},
      {"btn_Options", &f.btn_Options},
      {"btn_Manual", &f.btn_Manual},
      {"btn_Website", &f.btn_Website},
      {"btn_ToggleOnTop", &f.btn_ToggleOnTop},
  };
  for (const auto& [name, button] : buttons) ui::Render(buttons_.at(name), *button);
  ui::Render(lblConnect_, f.lblConnect);
  ui::Render(Label5_, f.Label5);
  ui::Render(Label13_, f.Label13);
  ui::Render(Label6_, f.Label6);
  ui::Render(Label9_, f.Label9);
  ui::Render(Label7_, f.Label7);
  ui::Render(chkExports_, f.chkExports);
  RenderWindowState();
}

// Shows the window as the core's state says: hidden while in the tray, else minimised, normal or
// maximised. Only differences are applied, so the state changes this causes are not forwarded.
void Form1::RenderWindowState() {
  const Form1Controls& f = app_.Form1;
  const QString tip = Q(app_.g.AppTitle.empty() ? f.caption : app_.g.AppTitle);
  if (tray_->toolTip() != tip) tray_->setToolTip(tip);
  if (f.trayIcon != tray_->isVisible()) tray_->setVisible(f.trayIcon);
  if (!f.visible) {
    if (isVisible()) hide();
    return;
  }
  if (f.frontRequests != frontRequests_) {  // another copy asked for this window
    frontRequests_ = f.frontRequests;
    showNormal();
    raise();
    activateWindow();
  }
  switch (f.windowState) {
    case WindowState::Minimized:
      if (!isMinimized() || !isVisible()) showMinimized();
      break;
    case WindowState::Maximized:
      if (!isMaximized() || !isVisible()) showMaximized();
      break;
    case WindowState::Normal:
      if (isMinimized() || isMaximized() || !isVisible()) {
        showNormal();
        raise();
        activateWindow();
      }
      break;
  }
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const WindowState state = isMinimized()   ? WindowState::Minimized
                            : isMaximized() ? WindowState::Maximized
                                            : WindowState::Normal;
  if (state == app_.Form1.windowState) return;  // the core asked for it
  // The handler may ask a question; it runs once the window system is done with this change.
  QMetaObject::invokeMethod(
      this,
      [this, state] {
        ResizeMainWindow(app_, state);
        afterEvent_();
      },
      Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!CloseWindow(app_, "Form1")) {
    event->ignore();  // a dialog is open
    return;
  }
  tray_->hide();
  event->accept();
  afterEvent_();  // the program has ended
}

}  // namespace sky::ui
