#include "core/forms.h"

#include <iterator>

namespace sky {

std::vector<ParameterBox> ParameterBoxesAsDesigned() {
  struct Design {
    const char* name;
    const char* label;
    const char* reset;
    BoxRule rule;
    int max;
    int frame;
    const char* toolTip;
  };
  constexpr BoxRule kRange = BoxRule::Range;
  constexpr BoxRule kMagnitude = BoxRule::Magnitude;
  constexpr BoxRule kNonNegative = BoxRule::NonNegative;
  static const Design kDesign[] = {
      {"txtHDGOffset", "Heading offset:", "2", kRange, 180, 0,
       "If the heading changes by this amount of degrees, log this timestep"},
      {"txtAltOffset", "Altitude offset:", "100", kMagnitude, 0, 0,
       "If the altitude changes by this amount of feet, log this timestep"},
      {"txtVSOffset", "Vertical speed offset:", "80", kMagnitude, 0, 0,
       "If the vertical speed changes by this amount of feet per minute, log this timestep"},
      {"txtHDGOffset100", "Heading offset abv FL100:", "4", kRange, 180, 0,
       "If the heading changes by this amount of degrees if the aircraft is above FL100, log "
       "this timestep"},
      {"txtAltOffset100", "Altitude offset abv FL100:", "200", kMagnitude, 0, 0,
       "If the altitude changes by this amount of feet if the aircraft is above FL100, log this "
       "timestep"},
      {"txtVSOffset100", "VS offset abv FL100:", "150", kMagnitude, 0, 0,
       "If the vertical speed changes by this amount of feet per minute if the aircraft is above "
       "FL100, log this timestep"},
      {"txtCheckVS", "Check VS above:", "150", kMagnitude, 0, 0,
       "Check the changing of the VS instead of altitude if the VS is above this amount of feet "
       "per minute"},
      {"txtChaseDegreeOffset", "Chase degree offset:", "5", kRange, 180, 2,
       "If the chase realtime link in Google Earth is in Chase mode, the view will be tilted to "
       "this amount of degrees to the left or right"},
      {"txtChaseTilt", "Chase tilt:", "70", kRange, 90, 2,
       "If the chase realtime link in Google Earth is in Chase mode, the view will be tilted by "
       "this amount of degrees, 0 is from straight above"},
      {"txtOverviewDegreeOffset", "Overview degree offset:", "0", kRange, 180, 2,
       "If the chase realtime link in Google Earth is in Overview mode, the view will be tilted "
       "to this amount of degrees to the left or right"},
      {"txtOverviewTilt", "Overview tilt:", "0", kRange, 90, 2,
       "If the chase realtime link in Google Earth is in Overview mode, the view will be tilted "
       "by this amount of degrees, 0 is from straight above"},
      {"txtOverviewRangeMultiplier", "Overview range multiplier:", "30", kNonNegative, 0, 2,
       "If the chase realtime link in Google Earth is in Overview mode, the altitude AGL in feet "
       "will be multiplied by this number to get the range in meters"},
      {"txtOverviewRangeMin", "Overview range minimum:", "5000", kNonNegative, 0, 2,
       "If the chase realtime link in Google Earth is in Overview mode, this will be the minimum "
       "range in meters"},
      {"txtGNDTilt", "Ground tilt:", "60", kRange, 90, 2,
       "If the aircraft is on the ground, tilt the view by this amount of degrees, 0 is from "
       "straight above"},
      {"txtGNDRange", "Ground range:", "400", kNonNegative, 0, 2,
       "If the aicraft is on the ground, this will be the range in meters"},
      {"txtPredPathMultiplier", "Predicted path multiplier:", "60", kNonNegative, 0, 3,
       "The predicted path of one seconds will be multiplied by this amount. If this amound is "
       "E.G 60, you will see the predicted path for one minute"},
      {"txtPredPathMultiplierTCAS", "Pred path TCAS multiplier:", "60", kNonNegative, 0, 3,
       "The predicted path of the TCAS aircrafts of one seconds will be multiplied by this "
       "amount. If this amound is E.G 60, you will see the predicted path of the TCAS aircrafts "
       "for one minute"},
      {"txtLocInt", "Localizer intercept %:", "90", kRange, 100, 1,
       "If the localizer indicator is from the middle to the sides below this percentage, assume "
       "localizer intercepted"},
      {"txtGSInt", "Glideslope intercept %:", "75", kRange, 100, 1,
       "If the glideslope indicator is from the middle to the sides below this percentage, "
       "assume glideslope intercepted"},
      {"txtIgnoreILSBelow", "Ignore ILS below:", "150", kNonNegative, 0, 1,
       "Ignore ILS intercept/lost below this altitude above ground level"},
      {"txtIgnoreILSAbove", "Ignore ILS above:", "5000", kNonNegative, 0, 1,
       "Ignore ILS intercept/lost above this altitude above ground level"},
      {"txtIgnoreILSAboveVS", "Ignore ILS above VS:", "500", kNonNegative, 0, 1,
       "Ignore ILS intercept/lost above this vertical speed"},
  };
  std::vector<ParameterBox> boxes;
  boxes.reserve(std::size(kDesign));
  for (const Design& d : kDesign) {
    boxes.push_back(
        {d.name, Label{d.label}, TextBox{d.reset, d.toolTip}, d.reset, d.rule, d.max, d.frame});
  }
  return boxes;
}

}  // namespace sky
