#include "instruments/tcas.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "core/geometry.h"
#include "core/numtext.h"
#include "core/units.h"

namespace sky {
namespace {

constexpr const char* kModeNames[] = {"OFF", "ABV", "BLW", "NRM", "ALL"};

double Number(const TcasScene& scene, std::string_view text) {
  return RequireNumber(text, scene.separator);
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

}  // namespace

const char* TcasModeName(int mode) {
  return mode >= 0 && mode <= 4 ? kModeNames[mode] : kModeNames[0];
}

int NextTcasMode(int mode, bool connected) {
  if (!connected) return 0;
  const int next = (mode + 1) % 5;
  return next < 0 ? 0 : next;
}

std::string TcasRangeText(int range) {
  return std::to_string(range) + "NM";
}

int ZoomedIn(int range) {
  switch (range) {
    case 40:
      return 20;
    case 20:
      return 15;
    case 15:
      return 10;
    case 10:
      return 5;
    default:
      return range;
  }
}

int ZoomedOut(int range) {
  switch (range) {
    case 5:
      return 10;
    case 10:
      return 15;
    case 15:
      return 20;
    case 20:
      return 40;
    default:
      return range;
  }
}

void DrawTraffic(const TcasScene& scene, const TrafficTable& table, TcasControls& window,
                 MessageBoard& board) {
  for (int r = 1; r <= kTrafficRows; ++r) {
    const TrafficTarget& row = table[r];
    if (row.ID.empty()) continue;
    const auto lat = ParseNumber(row.Lat, ".");
    const auto lon = ParseNumber(row.Lon, ".");
    const auto alt = ParseNumber(row.Alt, ".");
    if (!lat || !lon || !alt) {
      board.Post("Unable to draw the TCAS.");
      continue;
    }
    DrawTarget(scene, window, board, *lat, *lon, *alt);
  }
}

void ClearTcasTable(TcasControls& window) {
  window.targets.clear();
}

void DrawTarget(const TcasScene& scene, TcasControls& w, MessageBoard& board, double lat,
                double lon, double alt) {
  const TrafficFilter filter{scene.own.Altitude, scene.own.Longitude, scene.own.Latitude,
                             scene.separator,    scene.range,         scene.mode};
  const int level = ClassifyTraffic(filter, lat, lon, alt, board);
  if (level == kLevelHidden) return;
  try {
    TcasSymbol symbol;
    symbol.level = level;
    const std::string position = TargetPosition(scene, w, board, lat, lon);
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
    symbol.label = RelativeAltitudeText(alt - Number(scene, scene.own.Altitude));
    w.targets.push_back(std::move(symbol));
  } catch (const std::exception&) {
    board.Post("Unable to draw the TCAS.");
  }
}

std::string TargetPosition(const TcasScene& scene, const TcasControls& w, MessageBoard& board,
                           double lat, double lon) {
  try {
    const double ownLat = Number(scene, scene.own.Latitude);
    const double ownLon = Number(scene, scene.own.Longitude);
    const double ownHeading = Number(scene, scene.own.Heading);
    const double distance = GreatCircleDistance(ownLat, ownLon, lat, lon, false);

    // The bearing relative to the nose, then the angle counter-clockwise from the right.
    double bearing =
        Number(scene, BearingTo(scene.separator, ownLon, ownLat, lon, lat)) - ownHeading;
    if (bearing < 0) bearing += 360;
    const double radius = distance * (w.imgTCASTable.width / 2.0) / scene.range;
    double angle = (bearing - 90) * -1;
    if (angle < 0) angle += 360;
    angle *= kRadiansPerDegree;

    const int dx = Int16(std::cos(angle) * radius);
    const int dy = Int16(-(std::sin(angle) * radius));
    const int x = Int16(dx + w.Frame3Box.left + w.imgTCASTable.left + w.imgTCASTable.width / 2.0);
    const int y = Int16(dy + w.Frame3Box.top + w.imgTCASTable.top + w.imgTCASTable.height / 2.0);
    return std::to_string(x) + ":" + std::to_string(y);
  } catch (const std::exception&) {
    board.Post("Unable to calculate X and Y pos for TCAS.");
    return "0:0";
  }
}

}  // namespace sky
