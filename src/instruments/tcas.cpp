#include "instruments/tcas.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "core/app.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "core/units.h"
#include "instruments/geometry.h"

namespace sky {
namespace {

constexpr const char* kModeNames[] = {"OFF", "ABV", "BLW", "NRM", "ALL"};

double SampleNumber(const App& app, const std::string& text) {
  const auto value = ParseNumber(text, app.g.DecimalSeparator);
  if (!value) throw std::invalid_argument("sample value is not a number");
  return *value;
}

// Rounds to a 16-bit integer, halves to even; a value that does not fit is a fault.
int Int16(double value) {
  if (!(value > -32768.5 && value < 32767.5)) throw std::overflow_error("16-bit overflow");
  return static_cast<int>(RoundHalfEven(value));
}

// "+n" for n >= 0, "-n" below, n the hundreds of feet rounded down.
std::string RelativeAltitudeText(double feet) {
  const int64_t hundreds = Floor64(feet / 100);
  return hundreds >= 0 ? "+" + std::to_string(hundreds) : std::to_string(hundreds);
}

void ShowRange(App& app) {
  app.frmTCAS.Label10.text = std::to_string(app.g.TcasRange) + "NM";
}

}  // namespace

void ShowTcasOff(App& app) {
  if (app.g.TcasWindowOpen) app.frmTCAS.Label11.text = "OFF";
}

void OpenTcasWindow(App& app) {
  if (app.g.TcasWindowOpen) return;
  app.frmTCAS = TcasControls{};
  // The labels show the mode and range the window draws with.
  app.frmTCAS.Label11.text = kModeNames[app.g.TcasMode];
  ShowRange(app);
  app.frmTCAS.loaded = true;
  app.g.TcasWindowOpen = true;
  RestartTimer(app, app.frmTCAS.tmrTCAS);
}

void CloseTcasWindow(App& app) {
  // Closing the window ends traffic reading: the mode goes to OFF, so neither the realtime view
  // nor the animation goes on with a frozen traffic picture. Range and the always-on-top flag
  // are program-wide and survive the window.
  app.g.TcasMode = 0;
  app.frmTCAS.loaded = false;
  app.frmTCAS.targets.clear();
  app.g.TcasWindowOpen = false;
}

void DrawTraffic(App& app) {
  for (int r = 1; r <= kTrafficRows; ++r) {
    const TrafficTarget& row = app.traffic[r];
    if (row.ID.empty()) continue;
    const auto lat = ParseNumber(row.Lat, ".");
    const auto lon = ParseNumber(row.Lon, ".");
    const auto alt = ParseNumber(row.Alt, ".");
    if (!lat || !lon || !alt) {
      ShowMessage(app, "Unable to draw the TCAS.");
      continue;
    }
    DrawTarget(app, *lat, *lon, *alt);
  }
}

void ClearTcasTable(App& app) {
  app.frmTCAS.targets.clear();
}

void DrawTarget(App& app, double lat, double lon, double alt) {
  const int level = ClassifyTraffic(app, lat, lon, alt, "", "", "");
  if (level == kLevelHidden) return;
  try {
    TcasControls& w = app.frmTCAS;
    TcasSymbol symbol;
    symbol.level = level;
    const std::string position = TargetPosition(app, lat, lon);
    const size_t colon = position.find(':');
    const auto x = ParseNumber(position.substr(0, colon), ".");
    const auto y =
        colon == std::string::npos ? std::nullopt : ParseNumber(position.substr(colon + 1), ".");
    if (!x || !y) throw std::invalid_argument("position");
    symbol.x = static_cast<int>(*x);
    symbol.y = static_cast<int>(*y);
    symbol.image = {symbol.x - w.imgTCAS.width / 2, symbol.y - w.imgTCAS.height / 2,
                    w.imgTCAS.width, w.imgTCAS.height};
    symbol.labelBox = {symbol.x - w.lblTCAS.width / 2, symbol.y - w.lblTCAS.height, w.lblTCAS.width,
                       w.lblTCAS.height};
    symbol.label = RelativeAltitudeText(alt - SampleNumber(app, app.sample.Altitude));
    w.targets.push_back(std::move(symbol));
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to draw the TCAS.");
  }
}

std::string TargetPosition(App& app, double lat, double lon) {
  try {
    const TcasControls& w = app.frmTCAS;
    const double ownLat = SampleNumber(app, app.sample.Latitude);
    const double ownLon = SampleNumber(app, app.sample.Longitude);
    const double ownHeading = SampleNumber(app, app.sample.Heading);
    const double distance = GreatCircleDistance(ownLat, ownLon, lat, lon, false);

    // The bearing relative to the nose, then the angle counter-clockwise from the right.
    double bearing = SampleNumber(app, BearingTo(app, ownLon, ownLat, lon, lat)) - ownHeading;
    if (bearing < 0) bearing += 360;
    const double radius = distance * (w.imgTCASTable.width / 2.0) / app.g.TcasRange;
    double angle = (bearing - 90) * -1;
    if (angle < 0) angle += 360;
    angle *= kRadiansPerDegree;

    const int dx = Int16(std::cos(angle) * radius);
    const int dy = Int16(-(std::sin(angle) * radius));
    const int x = Int16(dx + w.Frame3Box.left + w.imgTCASTable.left + w.imgTCASTable.width / 2.0);
    const int y = Int16(dy + w.Frame3Box.top + w.imgTCASTable.top + w.imgTCASTable.height / 2.0);
    return std::to_string(x) + ":" + std::to_string(y);
  } catch (const std::exception&) {
    ShowMessage(app, "Unable to calculate X and Y pos for TCAS.");
    return "0:0";
  }
}

void CycleTcasMode(App& app) {
  Globals& g = app.g;
  g.TcasMode = g.Connected ? (g.TcasMode + 1) % 5 : 0;
  if (g.TcasMode < 0) g.TcasMode = 0;
  app.frmTCAS.Label11.text = kModeNames[g.TcasMode];
}

void ZoomIn(App& app) {
  int& range = app.g.TcasRange;
  if (range == 40) {
    range = 20;
  } else if (range == 20) {
    range = 15;
  } else if (range == 15) {
    range = 10;
  } else if (range == 10) {
    range = 5;
  }
  ShowRange(app);
}

void ZoomOut(App& app) {
  int& range = app.g.TcasRange;
  if (range == 5) {
    range = 10;
  } else if (range == 10) {
    range = 15;
  } else if (range == 15) {
    range = 20;
  } else if (range == 20) {
    range = 40;
  }
  ShowRange(app);
}

void ToggleTcasOnTop(App& app) {
  Globals& g = app.g;
  if (g.TcasOnTop) {
    SetAlwaysOnTop(app, WindowId::frmTCAS, false);
    ShowMessage(app, "TCAS always on top disabled.");
    g.TcasOnTop = false;
  } else {
    g.TcasOnTop = true;
    SetAlwaysOnTop(app, WindowId::frmTCAS, true);
    ShowMessage(app, "TCAS window set always on top.");
  }
}

}  // namespace sky
