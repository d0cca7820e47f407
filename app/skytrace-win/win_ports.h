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

// One copy per data folder: a named mutex claims the program, and a later copy finds the first
// one's main window by the window property named after the data folder and posts it the
// message that asks it to the front.
class Win32SingleInstance final : public SingleInstance {
 public:
  explicit Win32SingleInstance(const std::string& dataFolder);
  ~Win32SingleInstance() override;
  Win32SingleInstance(const Win32SingleInstance&) = delete;
  Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

  bool Claim() override;
  bool AskRunningCopyToFront() override;
  // Marks the claiming copy's main window, so that a later copy finds it.
  void MarkMainWindow(HWND hwnd);
  // The message a later copy posts to the main window.
  static UINT FrontMessage();

 private:
  std::wstring property_;  // "Skytrace flightlogger <key of the data folder>"
  HANDLE mutex_ = nullptr;
  HWND marked_ = nullptr;
};

// The window class of the input box, for finding it.
inline constexpr wchar_t kInputBoxClass[] = L"SkytraceInputBox";

}  // namespace sky::win
