#include "test_app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "core/messages.h"
#include "shell/dispatch.h"
#include "shell/startup.h"
#include "simlink/flightdata.h"
#include "simlink/fsuipc.h"
#include "simlink/traffic.h"

#ifndef SKYTRACE_SOURCE_DIR
#error "SKYTRACE_SOURCE_DIR must name the repository"
#endif

namespace sky::test {

TempDir::TempDir() {
  // A new folder with a random name (mkdtemp does not exist on Windows).
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = base / ("skytrace-test-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

bool FileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

std::string SourceData(const std::string& name) {
  return std::string(SKYTRACE_SOURCE_DIR) + "/data/" + name;
}

TestApp::TestApp(TestAppOptions options)
    : clock(options.start),
      folders(root / "appdata", root / "documents", root / "program"),
      simulator(8),
      transport(simulator) {
  std::filesystem::create_directories(root / "appdata");
  std::filesystem::create_directories(root / "documents");
  std::filesystem::create_directories(root / "program");
  if (options.withKmlSettings) {
    std::filesystem::copy_file(SourceData("KMLSettings.txt"), root / "program/KMLSettings.txt");
  }
  clock.SetTimeZone(TimeZoneInfo{options.zoneBiasMinutes, 0, 0, false});
  system.decimalSeparator = options.decimalSeparator;
  otherTransport_ = options.transport;
  otherHttp_ = options.http;
  MakeApp();
}

TestApp::~TestApp() {
  if (!escapesCaused) {
    EXPECT_EQ(app_->escapedFailures, 0u) << "a failure escaped its handler";
  }
}

void TestApp::MakeApp() {
  app_ = std::make_unique<App>(
      Ports{clock, folders, files, system, shell, dialogs,
            otherHttp_ ? *otherHttp_ : static_cast<Http&>(http), windows,
            otherTransport_ ? *otherTransport_ : static_cast<SimTransport&>(transport)});
  app_->serverBase = "";  // no server, whatever the build was given
  app_->onMessage = [this](const std::string& text, bool) { messages_.push_back(text); };
  shell.onCloseMainWindow = [this] { Form_Unload(*app_); };
  shell.onEndProgram = [this] { app_->ended = true; };
}

void TestApp::Restart() {
  if (!escapesCaused) {
    EXPECT_EQ(app_->escapedFailures, 0u) << "a failure escaped its handler";
  }
  if (app_->link.view) CloseLink(app_->link);
  files.ClearFaults();
  messages_.clear();
  MakeApp();
}

std::string TestApp::DataFolder() const {
  return root / "appdata/Skytrace flightlogger/";
}

std::string TestApp::SavedFolder() const {
  return root / "documents/Skytrace flightlogger files/";
}

std::vector<std::string> TestApp::Shown() const {
  std::vector<std::string> lines;
  for (const auto& shown : dialogs.shown) lines.push_back(shown.title + ": " + shown.text);
  return lines;
}

bool TestApp::Load() {
  return Form_Load(*app_);
}

ReadOutcome TestApp::ReadFlight() {
  return ReadFlightData(app_->link, FlightReadSettingsOf(*app_), app_->sample,
                        app_->g.GroundOffset);
}

RecordResult TestApp::Record(const std::string& code, bool force) {
  return RecordSample(RecordInputsOf(*app_), app_->recorder, code, force);
}

ReadOutcome TestApp::ReadTraffic() {
  return GetAI(app_->link, app_->g.TcasRange, app_->g.TcasRangeSent, app_->traffic);
}

void TestApp::Tick(int seconds) {
  for (int i = 0; i < seconds; ++i) {
    clock.Advance(1000);
    RunDueTimers(*app_);
  }
}

}  // namespace sky::test
