#include "qt_ports.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <memory>

namespace sky::ui {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

#ifdef _WIN32
const char* const kThemedStyle = "windowsvista";
#else
const char* const kThemedStyle = "Fusion";
#endif
const char* const kPlainStyle = "Windows";

DialogAnswer QtDialogs::MessageBox(const std::string& title, const std::string& text,
                                   MessageButtons buttons) {
  if (beforeShow) beforeShow();
  if (buttons == MessageButtons::Ok) {
    QMessageBox::information(parent, Q(title), Q(text), QMessageBox::Ok);
    return DialogAnswer::Ok;
  }
  return QMessageBox::question(parent, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes
             ? DialogAnswer::Yes
             : DialogAnswer::No;
}

std::optional<std::string> QtDialogs::InputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
  if (beforeShow) beforeShow();
  bool confirmed = false;
  const QString text = QInputDialog::getText(parent, Q(title), Q(prompt), QLineEdit::Normal,
                                             Q(defaultText), &confirmed);
  if (!confirmed) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> QtDialogs::FileOpen(const std::string& title, const std::string& filter,
                                               const std::string& initialFolder,
                                               const std::string&) {
  if (beforeShow) beforeShow();
  const QString picked =
      QFileDialog::getOpenFileName(parent, Q(title), Q(initialFolder), FileDialogFilter(filter));
  if (picked.isEmpty()) return std::nullopt;
  return picked.toStdString();
}

QString FileDialogFilter(const std::string& filter) {
  QString qtFilter = Q(filter);
  const int bar = qtFilter.indexOf('|');
  if (bar < 0) return qtFilter;
  // "*.*" is every file, as on Windows, also the files without an extension.
  QString patterns = qtFilter.mid(bar + 1);
  patterns.replace(';', ' ');
  QStringList list = patterns.split(' ', Qt::SkipEmptyParts);
  for (QString& pattern : list) {
    if (pattern == "*.*") pattern = "*";
  }
  return qtFilter.left(bar) + " (" + list.join(' ') + ")";
}

std::optional<bool> DesktopHasOpener(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return std::nullopt;  // the shell itself answers whether a program opens it
#else
  const QString query = QStandardPaths::findExecutable("xdg-mime");
  if (query.isEmpty()) return std::nullopt;
  const QString type = QMimeDatabase().mimeTypeForFile(Q(path)).name();
  QProcess process;
  process.start(query, {"query", "default", type});
  if (!process.waitForFinished(3000) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    return std::nullopt;
  }
  return !process.readAllStandardOutput().trimmed().isEmpty();
#endif
}

bool QtShell::Open(const std::string& target) {
  const QString text = Q(target);
  if (text.startsWith("http://") || text.startsWith("https://")) {
    return QDesktopServices::openUrl(QUrl(text));
  }
  if (DesktopHasOpener(target) == false) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(text));
}

void QtShell::CloseMainWindow() {
  if (mainWindow) QTimer::singleShot(0, mainWindow, [window = mainWindow] { window->close(); });
}

void QtShell::EndProgram() {
  std::exit(0);
}

std::optional<QByteArray> QtHttp::Fetch(const std::string& url, size_t maxBytes) {
  last_ = HttpFailure::BadAddress;
  const QUrl address(Q(RequestAddress(url)), QUrl::StrictMode);
  if (!IsWebAddress(url) || !address.isValid()) return std::nullopt;
  QNetworkAccessManager manager;
  QNetworkRequest request(address);
  request.setMaximumRedirectsAllowed(3);
  request.setTransferTimeout(limits_.timeoutMs);
  std::unique_ptr<QNetworkReply> reply(manager.get(request));
  const auto cap = static_cast<qint64>(maxBytes);
  QByteArray body;
  bool tooLarge = false;
  bool timedOut = false;
  QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, [&] {
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > cap) {
      tooLarge = true;
      reply->abort();
    }
  });
  QObject::connect(reply.get(), &QNetworkReply::readyRead, [&] {
    body += reply->readAll();
    if (body.size() > cap) {
      tooLarge = true;
      reply->abort();
    }
  });
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [&] {
    timedOut = true;
    reply->abort();
  });
  QEventLoop wait;
  QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
  deadline.start(limits_.timeoutMs);
  if (!reply->isFinished()) wait.exec(QEventLoop::ExcludeUserInputEvents);
  deadline.stop();
  if (tooLarge) {
    last_ = HttpFailure::TooLarge;
    return std::nullopt;
  }
  if (timedOut || reply->error() == QNetworkReply::OperationCanceledError ||
      reply->error() == QNetworkReply::TimeoutError) {
    last_ = HttpFailure::TimedOut;
    return std::nullopt;
  }
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status != 0 && (status < 200 || status > 299)) {
    last_ = HttpFailure::Status;
    return std::nullopt;
  }
  if (reply->error() != QNetworkReply::NoError) {
    last_ = HttpFailure::NoAnswer;
    return std::nullopt;
  }
  body += reply->readAll();
  if (body.size() > cap) {
    last_ = HttpFailure::TooLarge;
    return std::nullopt;
  }
  last_ = HttpFailure::None;
  return body;
}

std::optional<std::string> QtHttp::FetchText(const std::string& url) {
  const auto bytes = Fetch(url, limits_.maxTextBytes);
  if (!bytes) return std::nullopt;
  return bytes->toStdString();
}

std::optional<std::vector<uint8_t>> QtHttp::FetchBytes(const std::string& url) {
  const auto bytes = Fetch(url, limits_.maxBinaryBytes);
  if (!bytes) return std::nullopt;
  return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

bool QtWindows::SetAlwaysOnTop(WindowId window, bool onTop) {
  const auto found = widgets_.find(window);
  if (found == widgets_.end()) return false;
  // Wayland lets no program put its own window above the others.
  if (QGuiApplication::platformName().startsWith("wayland")) return false;
  QWidget* widget = found->second;
  const bool visible = widget->isVisible();
  widget->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (visible) widget->show();  // changing the flags hides a window
  return true;
}

bool QtWindows::InitVisualStyles() {
  QStyle* style = QStyleFactory::create(kThemedStyle);
  if (!style) return false;
  QApplication::setStyle(style);
  return true;
}

bool QtWindows::HasNotificationArea() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtWindows::Redraw(WindowId window) {
  if (beforeRedraw) beforeRedraw();
  const auto found = widgets_.find(window);
  if (found != widgets_.end()) found->second->repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace sky::ui
