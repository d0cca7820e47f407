#include "tcas_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>
#include <cmath>

#include "commands/app.h"
#include "shell/dispatch.h"
#include "widgets.h"

namespace sky::ui {
namespace {

constexpr double kTwipsPerPixel = 15;

QRectF Pixels(const Placement& p) {
  return QRectF(p.left / kTwipsPerPixel, p.top / kTwipsPerPixel, p.width / kTwipsPerPixel,
                p.height / kTwipsPerPixel);
}

// The display background: the light grey range disc, the dashed ring at half the range and
// the own aircraft at the centre, nose up.
class RangeDisc : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF centre = box.center();
    const double radius = box.width() / 2;

    QRadialGradient fill(centre, radius);
    fill.setColorAt(0, QColor(0xEC, 0xEE, 0xF0));
    fill.setColorAt(1, QColor(0xCC, 0xD1, 0xD6));
    p.setPen(QPen(QColor(0x8E, 0x96, 0x9E), 1));
    p.setBrush(fill);
    p.drawEllipse(box);

    // Bearing ticks every 30 degrees, the one at the nose longer.
    p.setPen(QPen(QColor(0x6B, 0x73, 0x7B), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int degrees = 0; degrees < 360; degrees += 30) {
      const double a = degrees * M_PI / 180;
      const double inner = radius - (degrees == 0 ? 9 : 5);
      p.drawLine(QPointF(centre.x() + std::sin(a) * inner, centre.y() - std::cos(a) * inner),
                 QPointF(centre.x() + std::sin(a) * (radius - 1),
                         centre.y() - std::cos(a) * (radius - 1)));
    }

    QPen ring(Qt::black, 1);
    ring.setDashPattern({3, 3});
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius / 2, radius / 2);

    // The own aircraft, nose up.
    static const QPointF kShape[] = {
        {0, -8},     {1, -6.5},   {1.1, -2.6}, {7.6, 1},  {7.6, 2.4},   {1.1, 0.6},
        {0.9, 4.8},  {3.6, 6.6},  {3.6, 7.7},  {0, 6.9},  {-3.6, 7.7},  {-3.6, 6.6},
        {-0.9, 4.8}, {-1.1, 0.6}, {-7.6, 2.4}, {-7.6, 1}, {-1.1, -2.6}, {-1, -6.5},
    };
    QPolygonF aircraft;
    for (const QPointF& point : kShape) aircraft << centre + point;
    p.setPen(QPen(QColor(0x0E, 0x3C, 0x8C), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x1B, 0x5E, 0xC8));
    p.drawPolygon(aircraft);
  }
};

// The drawn targets, over the whole window: the core places them in twips of the window.
class TargetLayer : public QWidget {
 public:
  TargetLayer(const TcasControls& controls, QWidget* parent) : QWidget(parent), w_(controls) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    label_ = QFont("Arial Rounded MT Bold");
    label_.setStyleHint(QFont::SansSerif);
    label_.setBold(true);
    label_.setPixelSize(10);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(label_);
    for (const TcasSymbol& target : w_.targets) {
      const QRectF image = Pixels(target.image);
      const QPointF c = image.center();
      const double half = image.width() / 2;
      const QPointF diamond[] = {{c.x(), c.y() - half},
                                 {c.x() + half, c.y()},
                                 {c.x(), c.y() + half},
                                 {c.x() - half, c.y()}};
      QColor text;
      switch (target.level) {
        case 4:
          p.setPen(QPen(QColor(0x7A, 0, 0), 1));
          p.setBrush(QColor(0xE5, 0x13, 0x13));
          text = QColor(0xC4, 0x0A, 0x0A);
          break;
        case 3:
          p.setPen(QPen(QColor(0x7A, 0x62, 0), 1));
          p.setBrush(QColor(0xFF, 0xD2, 0x00));
          text = QColor(0x8A, 0x62, 0);
          break;
        case 2:
          p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
          p.setBrush(Qt::white);
          text = QColor(0x20, 0x20, 0x20);
          break;
        default:
          p.setPen(QPen(Qt::black, 1.3));
          p.setBrush(Qt::NoBrush);
          text = QColor(0x20, 0x20, 0x20);
          break;
      }
      p.drawPolygon(diamond, 4);
      p.setPen(text);
      p.drawText(Pixels(target.labelBox), Qt::AlignHCenter | Qt::AlignTop, Q(target.label));
    }
  }

 private:
  const TcasControls& w_;
  QFont label_;
};

QFont ReadoutFont() {
  QFont font("Calibri");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(17);
  font.setBold(true);
  return font;
}

}  // namespace

QPushButton* TcasWindow::AddButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  buttons_[name] = button;
  connect(button, &QPushButton::clicked, this, [this, key = std::string(name)] {
    Click(app_, "frmTCAS", key);
    afterEvent_();
  });
  return button;
}

TcasWindow::TcasWindow(App& app, std::function<void()> afterEvent)
    : app_(app), afterEvent_(std::move(afterEvent)) {
  setObjectName("frmTCAS");
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowIcon(QApplication::windowIcon());
  const TcasControls& w = app_.frmTCAS;
  const QRectF frameBox = Pixels(w.Frame3Box);
  setFixedSize(static_cast<int>(frameBox.right() + frameBox.left()),
               static_cast<int>(frameBox.bottom() + frameBox.top()));

  auto* frame = new QGroupBox(Q(w.Frame3.caption), this);
  frame->setObjectName("Frame3");
  frame->setGeometry(frameBox.toRect());
  const QRect disc = Pixels(w.imgTCASTable).toRect();
  auto* imgTCASTable = new RangeDisc(frame);
  imgTCASTable->setObjectName("imgTCASTable");
  imgTCASTable->setGeometry(disc);

  // The right-hand column: the mode and range readout, then the buttons.
  const int left = disc.right() + 14;
  const int width = frame->width() - left - 10;
  auto* readout = new QFrame(frame);
  readout->setObjectName("readout");
  readout->setGeometry(left, disc.top(), width, 34);
  readout->setStyleSheet(
      "#readout { background: #FAFBFC; border: 1px solid #AEB4BA; border-radius: 4px; }");
  auto* readoutLayout = new QHBoxLayout(readout);
  readoutLayout->setContentsMargins(10, 0, 10, 0);
  Label11_ = new QLabel(readout);
  Label10_ = new QLabel(readout);
  Label11_->setObjectName("Label11");
  Label10_->setObjectName("Label10");
  Label11_->setToolTip("TCAS mode");
  Label10_->setToolTip("TCAS range");
  for (QLabel* label : {Label11_, Label10_}) label->setFont(ReadoutFont());
  readoutLayout->addWidget(Label11_);
  readoutLayout->addStretch(1);
  readoutLayout->addWidget(Label10_);

  int top = disc.top() + 34 + 8;
  const int buttonHeight = (disc.bottom() + 1 - top - 3 * 5) / 4;
  for (const char* name : {"btn_ToggleTCAS", "btn_zoomin", "btn_zoomout", "Command1"}) {
    AddButton(frame, name)->setGeometry(left, top, width, buttonHeight);
    top += buttonHeight + 5;
  }

  targets_ = new TargetLayer(w, this);
  targets_->setGeometry(rect());
  targets_->raise();
  Render();
}

void TcasWindow::Render() {
  const TcasControls& w = app_.frmTCAS;
  if (windowTitle() != Q(w.caption)) setWindowTitle(Q(w.caption));
  const std::pair<const char*, const Button*> buttons[] = {
      {"btn_ToggleTCAS", &w.btn_ToggleTCAS},
      {"btn_zoomin", &w.btn_zoomin},
      {"btn_zoomout", &w.btn_zoomout},
      {"Command1", &w.Command1},
  };
  for (const auto& [name, button] : buttons) ui::Render(buttons_.at(name), *button);
  if (Label11_->text() != Q(w.Label11.text)) Label11_->setText(Q(w.Label11.text));
  if (Label10_->text() != Q(w.Label10.text)) Label10_->setText(Q(w.Label10.text));
  targets_->update();
}

void TcasWindow::closeEvent(QCloseEvent* event) {
  CloseWindow(app_, "frmTCAS");
  event->accept();
  afterEvent_();
}

}  // namespace sky::ui
