#include "commands/review.h"

#include <charconv>
#include <exception>
#include <stdexcept>

#include "commands/app.h"
#include "core/numtext.h"
#include "core/system.h"
#include "core/text.h"
#include "core/timestamp.h"
#include "review/exports.h"
#include "review/landing.h"
#include "review/review_page.h"
#include "review/track.h"

namespace sky {
namespace {

constexpr const char* kSettingsFile = "Review.txt";
constexpr const char* kLandingsFile = "Landings.txt";

void SaveReviewSettings(App& app) {
  const std::string path = AppDataFolder(app.ports.folders) + kSettingsFile;
  const std::string text = std::string("Exports=") + (app.review.exportsOn ? "1" : "0") +
                           "\r\nLastReview=" + app.review.lastReview + "\r\n";
  if (!WriteIntoPlace(app.ports.files, path, text)) throw std::runtime_error("cannot save " + path);
}

void ShowReviewControls(App& app) {
  app.Form1.chkExports.checked = app.review.exportsOn;
  app.Form1.btn_Review.enabled =
      !app.review.lastReview.empty() && app.ports.files.Exists(app.review.lastReview);
}

// A whole file through a temporary one renamed into place; throws when it cannot be written.
void WriteWhole(FileSystem& files, const std::string& path, std::string_view bytes) {
  if (!WriteIntoPlace(files, path, bytes)) throw std::runtime_error("cannot write " + path);
}

double Number(const std::string& text, std::string_view separator) {
  return ParseNumber(text, separator).value_or(0);
}

}  // namespace

void LoadReviewSettings(App& app) {
  app.review.exportsOn = false;
  app.review.lastReview.clear();
  try {
    const auto text =
        app.ports.files.ReadHead(AppDataFolder(app.ports.folders) + kSettingsFile, 1 << 16);
    ForEachLine(text.value_or(""), [&app](std::string_view line) {
      if (line == "Exports=1") app.review.exportsOn = true;
      if (line.substr(0, 11) == "LastReview=") app.review.lastReview = line.substr(11);
      return true;
    });
  } catch (const FolderNotFound&) {
  }
  ShowReviewControls(app);
}

void ToggleExports(App& app) {
  app.review.exportsOn = !app.review.exportsOn;
  ShowReviewControls(app);
  try {
    SaveReviewSettings(app);
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to save the export option.");
  }
}

void OpenFlightReview(App& app) {
  ShowReviewControls(app);
  if (!app.Form1.btn_Review.enabled) return;
  if (OpenOrNameIt(app.ports.shell, app.board, app.review.lastReview))
    ShowMessage(app, "Flight review opened.");
}

void WatchLanding(App& app) {
  const FlightSample& s = app.sample;
  const std::string& separator = app.g.DecimalSeparator;
  LandingSample sample;
  sample.timeS = static_cast<double>(app.ports.clock.MonotonicMs()) / 1000;
  const std::string stamp = Timestamp(app.ports.clock);
  std::from_chars(stamp.data(), stamp.data() + stamp.size(), sample.stamp);
  sample.heightFt = Number(s.HeightAboveGround, separator);
  sample.verticalSpeedFpm = Number(s.VerticalSpeed, separator);
  sample.touchdownRateFpm = Number(s.TouchdownVerticalSpeed, separator);
  sample.groundSpeedKt = Number(s.GroundSpeed, separator);
  sample.iasKt = s.IndicatedAirspeed;
  sample.onGround = s.OnGround == 1;
  sample.glideslopeFlag = s.GlideslopeFlag;
  sample.localizerNeedle = s.LocalizerNeedle;
  sample.glideslopeNeedle = s.GlideslopeNeedle;
  const auto report = app.review.landing.Feed(sample);
  if (!report) return;
  try {
    if (!app.ports.files.Append(AppDataFolder(app.ports.folders) + kLandingsFile,
                                LandingReportText(*report))) {
      throw std::runtime_error("cannot append");
    }
    ShowMessage(app, LandingReportSentence(*report));
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to write the landing report.");
  }
}

void StopWatchingLanding(App& app) {
  const auto report = app.review.landing.Stop();
  if (!report) return;
  try {
    app.ports.files.Append(AppDataFolder(app.ports.folders) + kLandingsFile,
                           LandingReportText(*report));
  } catch (const std::exception&) {
  }
}

std::string WriteReviewAndExports(App& app, const std::string& savedFolder,
                                  const std::string& fileName, const std::string& stamp,
                                  const std::string& typedName) {
  FileSystem& files = app.ports.files;
  std::string problem;
  app.review.lastExports.clear();
  try {
    const std::string data = AppDataFolder(app.ports.folders);
    const Track track = ReadFlightTrack(files, data);
    const auto landings = files.ReadAll(data + kLandingsFile);
    std::string page;
    WriteReviewPage(page, track, LandingsOfFlight(ReadLandingBlocks(landings.value_or("")), track),
                    typedName);
    const std::string review = savedFolder + "Review " + fileName + " " + stamp + ".html";
    WriteWhole(files, review, page);
    app.review.lastReview = review;
    if (app.review.exportsOn) {
      for (const ExportFormat format : kExportFormats) {
        std::string text;
        WriteExport(text, format, track, typedName);
        const std::string path = savedFolder + "Flightlog " + fileName + " " + stamp +
                                 std::string(ExportExtension(format));
        WriteWhole(files, path, text);
        app.review.lastExports.push_back(path);
      }
    }
    SaveReviewSettings(app);
  } catch (const TrackInputError& error) {
    problem = "Unable to write the flight review: " + CutInput(error.what(), 120);
  } catch (const std::exception&) {
    problem = "Unable to write the flight review.";
  }
  ShowReviewControls(app);
  return problem;
}

}  // namespace sky
