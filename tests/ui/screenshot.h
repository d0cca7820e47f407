// Pictures of the windows for the README and the manual: each window at 100% and at 200% scale
// (name.png, name@2x.png), into $SKYTRACE_SCREENSHOT_DIR when it is set
// (scripts/update-screenshots.sh sets docs/screenshots), else into build/screenshots.
#pragma once

#include <QDir>
#include <QImage>
#include <QWidget>

namespace sky::test {

inline QString ScreenshotFolder() {
  const QByteArray chosen = qgetenv("SKYTRACE_SCREENSHOT_DIR");
  return chosen.isEmpty() ? QString(SKYTRACE_BINARY_DIR) + "/screenshots" : QString(chosen);
}

// Saves both scales; returns the 200% picture.
inline QImage Screenshot(QWidget& window, const QString& name) {
  QImage image;
  for (const int scale : {1, 2}) {
    image = QImage(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    window.render(&image);
    QDir().mkpath(ScreenshotFolder());
    const QString file = ScreenshotFolder() + "/" + name + (scale == 2 ? "@2x.png" : ".png");
    if (!image.save(file)) ADD_FAILURE() << file.toStdString();
  }
  return image;
}

}  // namespace sky::test
