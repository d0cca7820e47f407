// skytrace-render: makes the shipped files that are drawn rather than written, at build time.
//   skytrace-render manual MANUAL.md Manual.pdf   the user's manual, from Markdown to PDF
//   skytrace-render icon skytrace.png PIXELS      the program's icon as a picture
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <cstdio>

#include "app_icon.h"

namespace {

int Fail(const char* text, const QString& path) {
  std::fprintf(stderr, "skytrace-render: %s %s\n", text, qPrintable(path));
  return 1;
}

// Tables with thin grey rules and some air in their cells.
void StyleTables(QTextFrame* frame) {
  for (QTextFrame* child : frame->childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(child)) {
      QTextTableFormat format = table->format();
      format.setBorder(1);
      format.setBorderBrush(QColor(0x9A, 0xA3, 0xAD));
      format.setCellPadding(3);
      format.setCellSpacing(0);
      format.setTopMargin(4);
      format.setBottomMargin(6);
      table->setFormat(format);
    }
    StyleTables(child);
  }
}

// A picture "name.png" that has a "name@2x.png" beside it is drawn from that one, at the same
// size and twice the sharpness.
void UseSharpPictures(QTextDocument& document, const QString& folder) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto part = block.begin(); !part.atEnd(); ++part) {
      const QTextCharFormat format = part.fragment().charFormat();
      if (!format.isImageFormat()) continue;
      const QString name = format.toImageFormat().name();
      QString sharp = name;
      sharp.replace(QRegularExpression("\\.png$"), "@2x.png");
      QImage image(folder + "/" + sharp);
      if (sharp == name || image.isNull()) continue;
      image.setDevicePixelRatio(2);
      document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
  }
}

// The manual on A4 pages with page numbers; pictures are found beside the Markdown file.
int RenderManual(const QString& markdown, const QString& pdf) {
  QFile in(markdown);
  if (!in.open(QIODevice::ReadOnly)) return Fail("cannot read", markdown);
  QTextDocument document;
  document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(markdown).absolutePath() + "/"));
  QFont font("DejaVu Sans");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(9.5);
  document.setDefaultFont(font);
  document.setDefaultStyleSheet("table { border-collapse: collapse; } th { text-align: left; }");
  document.setMarkdown(QString::fromUtf8(in.readAll()));
  StyleTables(document.rootFrame());
  UseSharpPictures(document, QFileInfo(markdown).absolutePath());

  QPdfWriter writer(pdf);
  writer.setTitle("Skytrace flightlogger - User's manual");
  writer.setCreator("Skytrace flightlogger");
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0),
                                   QPageLayout::Millimeter));  // the document's own 2 cm
  writer.setResolution(300);
  document.print(&writer);
  if (!QFileInfo(pdf).exists() || QFileInfo(pdf).size() == 0) return Fail("cannot write", pdf);
  return 0;
}

int RenderIcon(const QString& png, const QString& pixels) {
  bool number = false;
  const int size = pixels.toInt(&number);
  if (!number || size < 16 || size > 1024) return Fail("needs a size of 16 to 1024, not", pixels);
  if (!sky::ui::SkytraceIconImage(size).save(png)) return Fail("cannot write", png);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QStringList args = application.arguments();
  if (args.size() == 4 && args[1] == "manual") return RenderManual(args[2], args[3]);
  if (args.size() == 4 && args[1] == "icon") return RenderIcon(args[2], args[3]);
  std::fprintf(stderr,
               "usage: skytrace-render manual MANUAL.md Manual.pdf\n"
               "       skytrace-render icon skytrace.png PIXELS\n");
  return 2;
}
