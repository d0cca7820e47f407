// The program's ports: the narrow interfaces through which the core reaches everything
// outside itself. Real adapters live in src/platform (POSIX, Win32) and app/skytrace (Qt);
// tests and the headless runner use in-memory fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/controls.h"

namespace sky {

// Local calendar date and time, as the user's clock shows it.
struct LocalDateTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Time-zone information in the form the program's UTC rule needs. All biases are minutes and
// follow the convention UTC = local time + bias (so a zone one hour east of Greenwich has -60).
struct TimeZoneInfo {
  int biasMinutes = 0;
  int standardBiasMinutes = 0;
  int daylightBiasMinutes = 0;
  bool daylightActive = false;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime LocalNow() = 0;
  virtual TimeZoneInfo TimeZone() = 0;
  // Milliseconds of a steady clock; drives the window timers.
  virtual int64_t MonotonicMs() = 0;
  // A pause of the user-interface thread (the link's handshake and retry waits).
  virtual void Sleep(int milliseconds) = 0;
};

// The two special folders of the user and the program's own folder. Paths come back without a
// trailing separator; an empty optional means the system could not tell.
class Folders {
 public:
  virtual ~Folders() = default;
  static constexpr int kAppData = 26;   // per-user roaming application data
  static constexpr int kDocuments = 5;  // the user's documents
  virtual std::optional<std::string> SpecialFolder(int csidl) = 0;
  virtual std::string ProgramFolder() = 0;
};

// File access. Every operation reports success; none throws. Files are regular files only:
// whatever else stands in a file's place (a folder, a pipe, a device, a link to one) is neither
// read nor written, and the operation fails.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool CreateDirectories(const std::string& path) = 0;
  // Appends bytes, creating the file when it is missing ("open for appending"). A write that
  // fails part-way (a full disk) is undone where the system allows it.
  virtual bool Append(const std::string& path, std::string_view bytes) = 0;
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // The length of the file in bytes; empty when there is none.
  virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;
  // At most the first `maxBytes` bytes.
  virtual std::optional<std::string> ReadHead(const std::string& path, size_t maxBytes) = 0;
  // At most `maxBytes` bytes from byte `offset` on (empty at or beyond the end): a large file read
  // piece by piece, each piece opening and closing the file.
  virtual std::optional<std::string> ReadAt(const std::string& path, uint64_t offset,
                                            size_t maxBytes) = 0;
  // Replaces the file's whole content.
  virtual bool WriteAll(const std::string& path, std::string_view bytes) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Cuts the file to its first `size` bytes.
  virtual bool Truncate(const std::string& path, uint64_t size) = 0;
  // Copies over an existing target.
  virtual bool Copy(const std::string& from, const std::string& to) = 0;
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual std::vector<std::string> List(const std::string& folder) = 0;
  // The absolute path with every link along its existing part followed, "." and ".." resolved;
  // a missing tail is appended as it stands. Empty optional when the system cannot tell.
  virtual std::optional<std::string> RealPath(const std::string& path) = 0;
};

struct FileVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;
  uint16_t revision = 0;
};

struct OsVersion {
  int platform = 0;  // 1: Windows 9x family, 2: Windows NT family, anything else: other
  int major = 0;
  int minor = 0;
  std::string otherName;  // a system other than Windows: its short name ("Linux")
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The log-on name; empty optional when the system call fails.
  virtual std::optional<std::string> UserName() = 0;
  // The version record of a file; empty optional when it carries none or is missing.
  virtual std::optional<FileVersion> FileVersionOf(const std::string& path) = 0;
  virtual std::optional<OsVersion> OperatingSystem() = 0;
  // The user's locale turns 5 / 2 into this text ("2.5" or "2,5").
  virtual std::string LocaleNumberText(double value) = 0;
};

// The shell: documents, folders and web addresses opened with their registered program, and the
// end of the program.
class Shell {
 public:
  virtual ~Shell() = default;
  // False when nothing on this system could open the target.
  virtual bool Open(const std::string& target) = 0;
  // Asks the main window to close; the program ends through its normal unload.
  virtual void CloseMainWindow() = 0;
  // Ends the program at once, without the main window's unload.
  virtual void EndProgram() = 0;
};

enum class MessageButtons { Ok, YesNo };
enum class DialogAnswer { Ok, Yes, No, Cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual DialogAnswer MessageBox(const std::string& title, const std::string& text,
                                  MessageButtons buttons) = 0;
  // Empty optional when the user cancels; an empty text when an empty answer is confirmed.
  virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText) = 0;
  // The full path of the picked file; empty optional when cancelled.
  virtual std::optional<std::string> FileOpen(const std::string& title, const std::string& filter,
                                              const std::string& initialFolder,
                                              const std::string& fileName) = 0;
};

// Fetches from a web address (http or https only). Every request is bounded by the adapter's
// time-out and size cap; an empty optional stands for any failure: no answer in time, a status
// other than success, a reply over the cap, another kind of address.
class Http {
 public:
  virtual ~Http() = default;
  virtual std::optional<std::string> FetchText(const std::string& url) = 0;
  virtual std::optional<std::vector<uint8_t>> FetchBytes(const std::string& url) = 0;
};

// One copy of the program per user and data folder, so that two never write the same logs and
// settings: the first copy claims the program, a later one finds it and asks it to the front.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Claims the program for this process, for as long as it runs; false when another copy runs.
  virtual bool Claim() = 0;
  // Asks the running copy to show its main window; false when that cannot be done.
  virtual bool AskRunningCopyToFront() = 0;
};

// Window operations the core asks of the user-interface toolkit.
class WindowPort {
 public:
  virtual ~WindowPort() = default;
  virtual bool SetAlwaysOnTop(WindowId window, bool onTop) = 0;
  // Repaint at once, so that a message shows during a long operation.
  virtual void Redraw(WindowId window) = 0;
  // Sets up the themed look of the controls; false when the system cannot.
  virtual bool InitVisualStyles() = 0;
  // Whether the desktop has a notification area (tray) to hold the program's icon.
  virtual bool HasNotificationArea() = 0;
};

}  // namespace sky
