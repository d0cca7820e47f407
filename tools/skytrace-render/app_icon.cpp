#include "app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sky::ui {
namespace {

// The aircraft, nose up, in a 100 x 100 box centred on the origin.
QPainterPath Aircraft() {
  static const QPointF kOutline[] = {
      {0, -46}, {5, -40},  {6, -14},  {44, 8},  {44, 16}, {6, 6},    {5, 28},  {18, 38},  {18, 44},
      {0, 40},  {-18, 44}, {-18, 38}, {-5, 28}, {-6, 6},  {-44, 16}, {-44, 8}, {-6, -14}, {-5, -40},
  };
  QPainterPath path;
  path.moveTo(kOutline[0]);
  for (const QPointF& point : kOutline) path.lineTo(point);
  path.closeSubpath();
  return path;
}

}  // namespace

QImage SkytraceIconImage(int pixels) {
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(pixels / 256.0, pixels / 256.0);

  // The tile: a deep sky, lighter towards the top.
  QLinearGradient sky(0, 0, 0, 256);
  sky.setColorAt(0, QColor(0x3D, 0x9B, 0xF0));
  sky.setColorAt(1, QColor(0x0B, 0x3C, 0x8C));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

  // The flown track: a dashed curve from the lower left up to the aircraft.
  QPainterPath track;
  track.moveTo(34, 222);
  track.cubicTo(70, 150, 120, 190, 150, 118);
  QPen dashes(QColor(0xFF, 0xD5, 0x4A), 11, Qt::CustomDashLine, Qt::RoundCap);
  dashes.setDashPattern({1.2, 1.8});
  p.setPen(dashes);
  p.setBrush(Qt::NoBrush);
  p.drawPath(track);

  // The aircraft, turned to the upper right, with a soft shadow below it.
  for (const bool shadow : {true, false}) {
    p.save();
    p.translate(shadow ? 170 : 164, shadow ? 98 : 90);
    p.rotate(35);
    p.scale(1.55, 1.55);
    p.setPen(shadow ? Qt::NoPen : QPen(QColor(0x0B, 0x3C, 0x8C), 1.2));
    p.setBrush(shadow ? QColor(0, 0, 0, 70) : QColor(Qt::white));
    p.drawPath(Aircraft());
    p.restore();
  }
  return image;
}

QIcon SkytraceIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(QPixmap::fromImage(SkytraceIconImage(size)));
  }
  return icon;
}

}  // namespace sky::ui
