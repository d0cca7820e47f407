#include "recorder/events.h"

#include "core/app.h"
#include "core/messages.h"
#include "recorder/flightlog.h"

namespace sky {

void DetectEvents(App& app, std::string& code) {
  const FlightSample& s = app.sample;
  PreviousSample& p = app.prev;
  const LoggingParameters& params = app.params;
  StatusControls& status = app.frmACStatus;
  const bool statusOpen = app.g.StatusWindowOpen;

  // The first sample after start-up or a connect has nothing real to compare with (an aircraft
  // parked on the ground is no touchdown): no event, and the warning colours as they stand.
  if (!p.read) {
    p.FlapsPercent = s.FlapsPercent;
    p.Gear = s.Gear;
    if (statusOpen) {
      status.Label1.color = s.Overspeed != 0 ? kRed : kBlack;
      status.Label3.color = s.Stall != 0 ? kRed : kBlack;
    }
    return;
  }

  // Each check that fires replaces the code found so far and shows its sentence.
  auto fire = [&](std::string newCode, const std::string& message) {
    code = std::move(newCode);
    ShowMessage(app, message);
  };

  // Markers fire when they come on, and only while not climbing faster than the ILS limit.
  const double verticalSpeed = SampleNumber(app, s.VerticalSpeed);
  auto marker = [&](int16_t now, int16_t before, const char* markerCode, const char* message) {
    if (verticalSpeed < params.IgnoreILSAboveVS && now != before && now == 1) {
      fire(markerCode, message);
    }
  };
  marker(s.InnerMarker, p.InnerMarker, "IM", "Event: Passing inner marker");
  marker(s.MiddleMarker, p.MiddleMarker, "MM", "Event: Passing middle marker");
  marker(s.OuterMarker, p.OuterMarker, "OM", "Event: Passing outer marker");

  const bool window = ApproachWindowHolds(app);
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
      if (statusOpen) status.Label1.color = kBlack;
    } else {
      fire("O", "Event: Overspeeding!!");
      if (statusOpen) status.Label1.color = kRed;
    }
  }
  if (s.Stall != p.Stall) {
    if (p.Stall != 0) {
      fire("SE", "Event: Recovered from stall");
      if (statusOpen) status.Label3.color = kBlack;
    } else {
      fire("S", "Event: Stalling!!");
      if (statusOpen) status.Label3.color = kRed;
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
