// The ports that need the user-interface toolkit: dialogs, the shell's "open", HTTP and the
// always-on-top band.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "core/ports.h"
#include "platform/web_request.h"

namespace sky::ui {

class QtDialogs final : public Dialogs {
 public:
  DialogAnswer MessageBox(const std::string& title, const std::string& text,
                          MessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<std::string> FileOpen(const std::string& title, const std::string& filter,
                                      const std::string& initialFolder,
                                      const std::string& fileName) override;
  QWidget* parent = nullptr;
  // Runs before a box shows, so that the windows behind it show the state that led to it.
  std::function<void()> beforeShow;
};

// Opens through the desktop's services. On Linux a file or folder counts as opened only when the
// desktop names a default program for its type (when it can tell) and the launcher starts.
class QtShell final : public Shell {
 public:
  bool Open(const std::string& target) override;
  void CloseMainWindow() override;
  void EndProgram() override;
  QWidget* mainWindow = nullptr;
};

// Qt Network, waiting in a local event loop that repaints the windows but holds user input back
// until the request ends: no handler runs inside another. Each request ends at the time-out or
// at the size cap.
class QtHttp final : public Http {
 public:
  explicit QtHttp(HttpLimits limits = {}) : limits_(limits) {}
  std::optional<std::string> FetchText(const std::string& url) override;
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string& url) override;
  // Why the last request failed; None when it succeeded.
  HttpFailure LastFailure() const { return last_; }

 private:
  std::optional<QByteArray> Fetch(const std::string& url, size_t maxBytes);
  HttpLimits limits_;
  HttpFailure last_ = HttpFailure::None;
};

// A file dialog filter in the form "Any file|*.*" as Qt's "Any file (*)": "*.*" is every file,
// also the files without an extension.
QString FileDialogFilter(const std::string& filter);

// Whether the desktop names a program for opening this file or folder: true, false, or nothing
// when it cannot tell (no desktop database to ask).
std::optional<bool> DesktopHasOpener(const std::string& path);

// The style of themed controls on this platform, and the plain one the program starts with.
extern const char* const kThemedStyle;
extern const char* const kPlainStyle;

// Finds the windows by their identity; the views register themselves while they exist.
class QtWindows final : public WindowPort {
 public:
  bool SetAlwaysOnTop(WindowId window, bool onTop) override;
  void Redraw(WindowId window) override;
  bool InitVisualStyles() override;
  bool HasNotificationArea() override;
  void Register(WindowId id, QWidget* widget) { widgets_[id] = widget; }
  void Unregister(WindowId id) { widgets_.erase(id); }
  // Brings the windows in step with the core's state before a redraw (the main window shown
  // during start-up, a message posted during a long command).
  std::function<void()> beforeRedraw;

 private:
  std::map<WindowId, QWidget*> widgets_;
};

}  // namespace sky::ui
