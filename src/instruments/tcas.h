// The TCAS display's model: each traffic aircraft drawn as a symbol at its bearing relative to the
// nose and its distance scaled to the range disc, with its relative altitude in hundreds of feet;
// and the modes' and ranges' texts and steps.
#pragma once

#include <string>
#include <string_view>

#include "core/flight_sample.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/traffic_table.h"

namespace sky {

// What the display draws against: the own aircraft (the latest sample, in the user's number
// format) and the range and mode.
struct TcasScene {
  const FlightSample& own;
  std::string_view separator;
  int range = 20;  // nautical miles
  int mode = 0;    // 0 OFF, 1 ABV, 2 BLW, 3 NRM, 4 ALL
};

// Draws every aircraft of the table (rows 1 to 40 with an ID) that its threat level shows.
void DrawTraffic(const TcasScene& scene, const TrafficTable& table, TcasControls& window,
                 MessageBoard& board);
void DrawTarget(const TcasScene& scene, TcasControls& window, MessageBoard& board, double lat,
                double lon, double alt);
// "x:y" in whole twips of the window; "0:0" after posting "Unable to calculate X and Y pos for
// TCAS." when a value does not fit.
std::string TargetPosition(const TcasScene& scene, const TcasControls& window, MessageBoard& board,
                           double lat, double lon);
void ClearTcasTable(TcasControls& window);

// "OFF", "ABV", "BLW", "NRM" or "ALL".
const char* TcasModeName(int mode);
// The next mode: 4 wraps to 0, and without a connection always 0.
int NextTcasMode(int mode, bool connected);
// The range label: "40NM".
std::string TcasRangeText(int range);
// The ranges 5, 10, 15, 20 and 40 in turn; the ends stay where they are.
int ZoomedIn(int range);
int ZoomedOut(int range);

}  // namespace sky
