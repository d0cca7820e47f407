// A whole program on fakes, for tests: its own temporary data, documents and program folders
// (the program folder holds the shipped KMLSettings.txt), a simulated clock, scripted dialogs,
// a recording shell and an in-memory simulator.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "commands/app.h"
#include "fake_ports.h"
#include "memory_transport.h"
#include "platform/headless.h"
#include "skytrace-sim/simulator_core.h"

namespace sky::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// The repository's data folder and a file in it.
std::string SourceData(const std::string& name);

struct TestAppOptions {
  LocalDateTime start{2026, 12, 4, 22, 30, 15};
  int zoneBiasMinutes = 0;  // UTC = local + bias
  std::string decimalSeparator = ".";
  bool withKmlSettings = true;
  SimTransport* transport = nullptr;  // another transport than the in-memory one
  Http* http = nullptr;               // another HTTP client than the fake
};

class TestApp {
 public:
  explicit TestApp(TestAppOptions options = {});
  // Fails the test when a failure escaped its handler that the test did not cause on purpose.
  ~TestApp();
  TestApp(const TestApp&) = delete;
  TestApp& operator=(const TestApp&) = delete;
  bool escapesCaused = false;  // the test makes failures escape (memory running out)

  App& app() { return *app_; }
  Globals& g() { return app_->g; }
  // The data folder as the program names it, with its trailing separator.
  std::string DataFolder() const;
  std::string DataFile(const std::string& name) const { return DataFolder() + name; }
  std::string SavedFolder() const;

  bool Load();  // Form_Load
  // The readers on the program's link, with the parts of the record they fill.
  ReadOutcome ReadFlight();
  ReadOutcome ReadTraffic();
  // The recorder on the record's parts (nothing posted or shown).
  RecordResult Record(const std::string& code, bool force);
  // A new run of the program on the same folders (after a kill, say): a fresh program-wide
  // state, the file system's faults lifted, the messages forgotten.
  void Restart();
  void Tick(int seconds = 1);  // advances the clock, firing due timers each second
  std::vector<std::string> Messages() const { return messages_; }
  std::string LastMessage() const { return messages_.empty() ? "" : messages_.back(); }
  // Every dialog shown so far, as "title: text".
  std::vector<std::string> Shown() const;

  TempDir root;
  SimulatedClock clock;
  FixedFolders folders;
  FaultyFileSystem files;
  FakeSystemInfo system;
  RecordingShell shell;
  ScriptedDialogs dialogs;
  FakeHttp http;
  FakeWindows windows;
  sim::SimulatorCore simulator;
  MemoryTransport transport;

 private:
  void MakeApp();
  SimTransport* otherTransport_ = nullptr;
  Http* otherHttp_ = nullptr;
  std::unique_ptr<App> app_;
  std::vector<std::string> messages_;
};

}  // namespace sky::test
