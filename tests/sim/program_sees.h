// What the program reads of a state a flight source serves: the whole parts the logs and labels
// carry, in one line.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/numtext.h"
#include "simlink/flightdata.h"
#include "skytrace-sim/flight_source.h"
#include "test_app.h"

namespace sky::test {

inline double Number(const std::string& text) {
  return ParseNumber(text, ".").value_or(-99999);
}

inline std::string ProgramSees(const sim::FlightState& state) {
  TestApp t;
  EXPECT_TRUE(t.Load());
  sim::WriteFlightState(t.simulator, state);
  EXPECT_EQ(t.ReadFlight(), ReadOutcome::Done);
  const FlightSample& s = t.app().sample;
  char text[400];
  std::snprintf(text, sizeof text,
                "%.7f %.7f alt %s gs %s ias %s tas %s hdg %s vs %s ground %d gear %s flaps %d "
                "spoilers %d stall %d overspeed %d markers %d%d%d loc %d gs %d/%d/%d autobrake %d",
                Number(s.Latitude), Number(s.Longitude), s.Altitude.c_str(),
                FloorText(Number(s.GroundSpeed)).c_str(), FloorText(s.IndicatedAirspeed).c_str(),
                FloorText(s.TrueAirspeed).c_str(), FloorText(Number(s.Heading)).c_str(),
                FloorText(Number(s.VerticalSpeed)).c_str(), s.OnGround, s.Gear.c_str(),
                s.FlapsPercent, s.Spoilers, s.Stall, s.Overspeed, s.OuterMarker, s.MiddleMarker,
                s.InnerMarker, s.LocalizerInBand, s.GlideslopeNeedle, s.GlideslopeState,
                s.GlideslopeFlag, s.Autobrake);
  return text;
}

}  // namespace sky::test
