// The ports that need the window system on Windows: message, input and file boxes, the shell's
// "open", the topmost band, themed controls and the notification area.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <utility>

#include "core/ports.h"
#include "win_api.h"

namespace sky::win {

class Win32Dialogs final : public Dialogs {
 public:
  DialogAnswer MessageBox(const std::string& title, const std::string& text,
                          MessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<std::string> FileOpen(const std::string& title, const std::string& filter,
                                      const std::string& initialFolder,
                                      const std::string& fileName) override;
  // The window the boxes belong to (the main window), and a render of every window before a box
  // shows, so that the windows behind it show the state that led to it.
  std::function<HWND()> owner;
  std::function<void()> beforeShow;
  // A test run's answer to the next box: "yes", "no", "ok", "cancel", or "text" with its text.
  // It is given through the box's own controls once the box shows.
  void QueueAnswer(const std::string& kind, const std::string& text);

 private:
  void Show();
  std::deque<std::pair<std::string, std::string>> answers_;
};

// Opens with the verb "open"; the main window closes through its own close message.
class Win32Shell final : public Shell {
 public:
  bool Open(const std::string& target) override;
  void CloseMainWindow() override;
  void EndProgram() override;
  std::function<HWND()> mainWindow;
};

// Finds the windows by their identity; the views register themselves while they exist.
class Win32Windows final : public WindowPort {
 public:
  bool SetAlwaysOnTop(WindowId window, bool onTop) override;
  void Redraw(WindowId window) override;
  bool InitVisualStyles() override;
  bool HasNotificationArea() override;
  void Register(WindowId id, HWND hwnd) { windows_[id] = hwnd; }
  void Unregister(WindowId id) { windows_.erase(id); }

 private:
  std::map<WindowId, HWND> windows_;
};

// The window class of the input box, for finding it.
inline constexpr wchar_t kInputBoxClass[] = L"SkytraceInputBox";

}  // namespace sky::win
