// Ports for running the program without a display: a simulated clock, fixed folders, dialogs
// answered from a script, a shell that only records what it is asked to open. The headless
// runner uses them, and so do the tests.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/ports.h"

namespace sky {

// Local time = a start time plus the simulated milliseconds; the time zone is the system's (TZ on
// POSIX systems, the user's zone on Windows) at the simulated local time. Pauses take no simulated
// time.
class SimulatedClock final : public Clock {
 public:
  explicit SimulatedClock(LocalDateTime start) : start_(start) {}
  LocalDateTime LocalNow() override;
  TimeZoneInfo TimeZone() override;
  int64_t MonotonicMs() override { return elapsedMs_; }
  void Sleep(int milliseconds) override { sleptMs_ += milliseconds; }

  void Advance(int64_t milliseconds) { elapsedMs_ += milliseconds; }
  int64_t ElapsedMs() const { return elapsedMs_; }
  int64_t SleptMs() const { return sleptMs_; }
  // A fixed zone instead of TZ (tests).
  void SetTimeZone(TimeZoneInfo zone) {
    zone_ = zone;
    fixedZone_ = true;
  }

 private:
  LocalDateTime start_;
  int64_t elapsedMs_ = 0;
  int64_t sleptMs_ = 0;
  TimeZoneInfo zone_;
  bool fixedZone_ = false;
};

// "YYYY-MM-DD HH:MM:SS"; false when the text is not such a time.
bool ParseLocalDateTime(const std::string& text, LocalDateTime& time);

class FixedFolders final : public Folders {
 public:
  FixedFolders(std::string appData, std::string documents, std::string program)
      : appData_(std::move(appData)),
        documents_(std::move(documents)),
        program_(std::move(program)) {}
  std::optional<std::string> SpecialFolder(int csidl) override;
  std::string ProgramFolder() override { return program_; }

 private:
  std::string appData_;
  std::string documents_;
  std::string program_;
};

// Answers dialogs from a queue. A dialog without a queued answer takes No, OK or Cancel. Every
// dialog is reported to the listener with the answer it got.
class ScriptedDialogs final : public Dialogs {
 public:
  struct Answer {
    enum Kind { Yes, No, Ok, Cancel, Text } kind = Ok;
    std::string text;
  };
  struct Shown {
    std::string kind;  // "message", "input", "file"
    std::string title;
    std::string text;
    std::string answer;
    bool queued = false;  // false: the default answer was taken
  };

  void Queue(Answer answer) { answers_.push_back(std::move(answer)); }
  size_t Pending() const { return answers_.size(); }
  void Clear() { answers_.clear(); }
  std::function<void(const Shown&)> onShown;
  std::vector<Shown> shown;

  DialogAnswer MessageBox(const std::string& title, const std::string& text,
                          MessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<std::string> FileOpen(const std::string& title, const std::string& filter,
                                      const std::string& initialFolder,
                                      const std::string& fileName) override;

 private:
  void Report(Shown shownDialog);
  std::optional<Answer> Next();
  std::deque<Answer> answers_;
};

// Records what the program asks the shell to open, answering `opens`; ending the program and
// closing the main window are reported to the callbacks.
class RecordingShell final : public Shell {
 public:
  bool Open(const std::string& target) override;
  bool opens = true;  // false: nothing here opens documents, folders or web addresses
  void CloseMainWindow() override;
  void EndProgram() override;

  std::vector<std::string> opened;
  std::function<void(const std::string&)> onOpen;
  std::function<void()> onCloseMainWindow;
  std::function<void()> onEndProgram;
  bool ended = false;
};

class OfflineHttp final : public Http {
 public:
  std::optional<std::string> FetchText(const std::string&) override { return std::nullopt; }
  std::optional<std::vector<uint8_t>> FetchBytes(const std::string&) override {
    return std::nullopt;
  }
};

// Windows nobody sees: every request succeeds, and the desktop has a notification area.
class HeadlessWindows final : public WindowPort {
 public:
  bool SetAlwaysOnTop(WindowId, bool) override { return true; }
  void Redraw(WindowId) override {}
  bool InitVisualStyles() override { return true; }
  bool HasNotificationArea() override { return true; }
};

}  // namespace sky
