#include "instruments/status_window.h"

#include <optional>

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

void WriteStatusLines(StatusControls& w, const FlightSample& s, std::string_view separator) {
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

void ClearStatusLines(StatusControls& w) {
  for (Label* label : {&w.Label1, &w.Label2, &w.Label3, &w.Label4, &w.Label8, &w.Label12}) {
    label->text.clear();
  }
}

}  // namespace sky
