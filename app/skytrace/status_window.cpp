#include "status_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/app.h"
#include "shell/dispatch.h"
#include "widgets.h"

namespace sky::ui {
namespace {

// The six value labels in reading order: speeds, heading and altitude, vertical speed and height.
const Label* ValueLabel(const StatusControls& w, int i) {
  const Label* labels[] = {&w.Label12, &w.Label1, &w.Label2, &w.Label3, &w.Label4, &w.Label8};
  return labels[i];
}

const char* const kValueNames[] = {"Label12", "Label1", "Label2", "Label3", "Label4", "Label8"};

}  // namespace

StatusWindow::StatusWindow(App& app, std::function<void()> afterEvent)
    : app_(app), afterEvent_(std::move(afterEvent)) {
  setObjectName("frmACStatus");
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowIcon(QApplication::windowIcon());
  setStyleSheet("#frmACStatus { background: #E9ECEF; }");

  // Both columns as wide as the widest line with a six-figure value, so that they keep their
  // width as the values change.
  const QFont valueFont = Calibri(28, true);
  int valueWidth = 0;
  for (const char* widest : {"GND SPD: -88888", "ALT AGL: -88888", "ALT: -888888", "VS: -88888"}) {
    valueWidth = std::max(valueWidth, QFontMetrics(valueFont).horizontalAdvance(widest));
  }
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(8);
  for (int i = 0; i < 6; ++i) {
    auto* value = new QLabel(this);
    value->setObjectName(kValueNames[i]);
    value->setFont(valueFont);
    value->setFixedWidth(valueWidth + 2 * 12 + 2);  // the tile's padding and border
    value->setMinimumHeight(50);
    values_[i] = value;
    grid->addWidget(value, i / 2, i % 2);
  }

  // The event line holds the longest event text whole, beside the button.
  lblEvent_ = new QLabel(this);
  lblEvent_->setObjectName("lblEvent");
  const QFont eventFont = Calibri(20, true);
  lblEvent_->setFont(eventFont);
  lblEvent_->setMinimumHeight(34);
  lblEvent_->setMinimumWidth(
      QFontMetrics(eventFont).horizontalAdvance("Event: Recovered from overspeed") + 4 + 6);
  lblEvent_->setStyleSheet("color: #14467A; padding-left: 4px;");

  Command1_ = new QPushButton(this);
  Command1_->setObjectName("Command1");
  Command1_->setMinimumHeight(28);
  connect(Command1_, &QPushButton::clicked, this, [this] {
    Click(app_, "frmACStatus", "Command1");
    afterEvent_();
  });

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblEvent_, 1);
  bottom->addWidget(Command1_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(8);
  layout->addLayout(grid);
  layout->addLayout(bottom);
  Render();
  adjustSize();
  setMinimumSize(sizeHint());
}

void StatusWindow::Render() {
  const StatusControls& w = app_.frmACStatus;
  if (windowTitle() != Q(w.caption)) setWindowTitle(Q(w.caption));
  for (int i = 0; i < 6; ++i) {
    const Label& label = *ValueLabel(w, i);
    QLabel* value = values_[i];
    if (value->text() != Q(label.text)) value->setText(Q(label.text));
    // A tile: white, or a pale red while the value is red.
    const bool alarm = label.color == kRed;
    const QString style = QString(
                              "QLabel { color: rgb(%1,%2,%3); background: %4; border: 1px solid %5;"
                              " border-radius: 6px; padding: 2px 12px; }")
                              .arg(label.color.red)
                              .arg(label.color.green)
                              .arg(label.color.blue)
                              .arg(alarm ? "#FDECEC" : "#FFFFFF")
                              .arg(alarm ? "#E08A8A" : "#C3C9CF");
    if (value->styleSheet() != style) value->setStyleSheet(style);
    if (value->toolTip() != Q(label.toolTip)) value->setToolTip(Q(label.toolTip));
  }
  if (lblEvent_->text() != Q(w.lblEvent.text)) lblEvent_->setText(Q(w.lblEvent.text));
  if (lblEvent_->toolTip() != Q(w.lblEvent.toolTip)) lblEvent_->setToolTip(Q(w.lblEvent.toolTip));
  ui::Render(Command1_, w.Command1);
}

void StatusWindow::closeEvent(QCloseEvent* event) {
  CloseWindow(app_, "frmACStatus");
  event->accept();
  afterEvent_();
}

}  // namespace sky::ui
