#include "recorder/events.h"

#include "core/numtext.h"

namespace sky {

void DetectEvents(const FlightSample& s, PreviousSample& p, std::string_view separator,
                  const LoggingParameters& params, std::string& code, RecordResult& result) {
  // The first sample after start-up or a connect has nothing real to compare with (an aircraft
  // parked on the ground is no touchdown): no event, and the warnings as they stand.
  if (!p.read) {
    p.FlapsPercent = s.FlapsPercent;
    p.Gear = s.Gear;
    result.overspeed = s.Overspeed != 0;
    result.stall = s.Stall != 0;
    return;
  }

  // Each check that fires replaces the code found so far and tells its sentence.
  auto fire = [&](std::string newCode, const std::string& message) {
    code = std::move(newCode);
    result.sentences.push_back(message);
  };

  // Markers fire when they come on, and only while not climbing faster than the ILS limit.
  const double verticalSpeed = RequireNumber(s.VerticalSpeed, separator);
  auto marker = [&](int16_t now, int16_t before, const char* markerCode, const char* message) {
    if (verticalSpeed < params.IgnoreILSAboveVS && now != before && now == 1) {
      fire(markerCode, message);
    }
  };
  marker(s.InnerMarker, p.InnerMarker, "IM", "Event: Passing inner marker");
  marker(s.MiddleMarker, p.MiddleMarker, "MM", "Event: Passing middle marker");
  marker(s.OuterMarker, p.OuterMarker, "OM", "Event: Passing outer marker");

  const bool window = ApproachWindowHolds(s, separator, params);
  if (s.GlideslopeState != p.GlideslopeState && window && s.GlideslopeFlag == p.GlideslopeFlag) {
    switch (s.GlideslopeState) {
      case 0:
        fire("BG", "Event: Below glideslope");
        break;
      case 1:
        fire("OG", "Event: On glideslope");
        break;
      default:
        fire("AG", "Event: Above glideslope");
        break;
    }
  }
  if (s.LocalizerInBand != p.LocalizerInBand && window && p.GlideslopeNeedle != 0) {
    if (s.LocalizerInBand) {
      fire("LI", "Event: Localizer intercept");
    } else {
      fire("LL", "Event: Localizer lost");
    }
  }

  if (s.TailHook != p.TailHook) {
    if (p.TailHook != 0) {
      fire("TU", "Event: Tailhook up");
    } else {
      fire("TL", "Event: Tailhook down");
    }
  }
  if (s.Spoilers != p.Spoilers) {
    if (p.Spoilers != 0) {
      fire("SU", "Event: Spoilers retracted");
    } else {
      fire("SD", "Event: Spoilers deployed");
    }
  }
  if (s.FlapsPercent != p.FlapsPercent) {
    const std::string percent = std::to_string(s.FlapsPercent);
    fire("FL=" + percent, "Event: Flaps " + percent + "%");
    p.FlapsPercent = s.FlapsPercent;
  }
  // No gear event on the first sample: the previous gear starts as the current one.
  if (p.Gear.empty()) p.Gear = s.Gear;
  if (s.Gear != p.Gear) {
    if (s.Gear != "1") {
      fire("GU", "Event: Gear up");
    } else {
      fire("GD", "Event: Gear down");
    }
  }

  if (s.Overspeed != p.Overspeed) {
    if (p.Overspeed != 0) {
      fire("OE", "Event: Recovered from overspeed");
      result.overspeed = false;
    } else {
      fire("O", "Event: Overspeeding!!");
      result.overspeed = true;
    }
  }
  if (s.Stall != p.Stall) {
    if (p.Stall != 0) {
      fire("SE", "Event: Recovered from stall");
      result.stall = false;
    } else {
      fire("S", "Event: Stalling!!");
      result.stall = true;
    }
  }

  if (s.OnGround != p.OnGround) {
    const std::string autobrake = std::to_string(s.Autobrake);
    if (p.OnGround == 1 && s.OnGround == 0) {
      fire("TO=" + autobrake, "Event: Take-off");
    } else {
      const std::string& rate = s.TouchdownVerticalSpeed;
      fire("TD=" + rate + "/" + autobrake, "Event: Touchdown, " + rate + "ft/m");
    }
  }
  p.Gear = s.Gear;
}

}  // namespace sky
