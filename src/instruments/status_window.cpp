#include "instruments/status_window.h"

#include <optional>

#include "core/app.h"
#include "core/messages.h"
#include "core/numtext.h"

namespace sky {
namespace {

constexpr double kExtremeVerticalSpeedFpm = 6000;
constexpr double kLowHeightFt = 100;

// A value line: its prefix and the integer part of the value. A text that is not a number
// leaves the line as it was.
void WriteLine(Label& label, const char* prefix, std::optional<double> value) {
  if (value) label.text = prefix + FloorText(*value);
}

}  // namespace

void OpenStatusWindow(App& app) {
  if (app.g.StatusWindowOpen) return;
  app.frmACStatus = StatusControls{};  // a new window starts with its design-time texts
  app.frmACStatus.loaded = true;
  app.g.StatusWindowOpen = true;
  RestartTimer(app, app.frmACStatus.tmrMSG);
}

void CloseStatusWindow(App& app) {
  app.frmACStatus.loaded = false;
  app.g.StatusWindowOpen = false;
}

void WriteStatusLines(App& app) {
  StatusControls& w = app.frmACStatus;
  const FlightSample& s = app.sample;
  const std::string& separator = app.g.DecimalSeparator;
  const auto groundSpeed = ParseNumber(s.GroundSpeed, separator);
  const auto heading = ParseNumber(s.Heading, separator);
  const auto verticalSpeed = ParseNumber(s.VerticalSpeed, separator);
  const auto height = ParseNumber(s.HeightAboveGround, separator);

  WriteLine(w.Label1, "GND SPD: ", groundSpeed);
  WriteLine(w.Label12, "IAS: ", s.IndicatedAirspeed);
  WriteLine(w.Label2, "HDG: ", heading);
  w.Label3.text = "ALT: " + s.Altitude;
  WriteLine(w.Label4, "VS: ", verticalSpeed);
  WriteLine(w.Label8, "ALT AGL: ", height);

  if (verticalSpeed) {
    const bool extreme =
        *verticalSpeed >= kExtremeVerticalSpeedFpm || *verticalSpeed <= -kExtremeVerticalSpeedFpm;
    w.Label4.color = extreme ? kRed : kBlack;
  }
  if (s.OnGround == 1) {
    w.Label8.color = kBlack;
  } else if (height) {
    w.Label8.color = *height >= kLowHeightFt ? kBlack : kRed;  // airborne close to the ground
  }
}

void ClearStatusLines(App& app) {
  StatusControls& w = app.frmACStatus;
  for (Label* label : {&w.Label1, &w.Label2, &w.Label3, &w.Label4, &w.Label8, &w.Label12}) {
    label->text.clear();
  }
}

void ToggleStatusOnTop(App& app) {
  Globals& g = app.g;
  if (g.StatusOnTop) {
    SetAlwaysOnTop(app, WindowId::frmACStatus, false);
    ShowMessage(app, "Aircraft status always on top disabled.");
    g.StatusOnTop = false;
  } else {
    g.StatusOnTop = true;
    SetAlwaysOnTop(app, WindowId::frmACStatus, true);
    ShowMessage(app, "Aircraft status window set always on top.");
  }
}

}  // namespace sky
