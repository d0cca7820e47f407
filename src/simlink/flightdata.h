// The per-tick read of the own aircraft's state into the flight sample, with the conversions
// into the program's units and the handling of a lost link.
#pragma once

namespace sky {

struct App;

// Fills app.sample; on a failed exchange performs the lost-connection handling.
void ReadFlightData(App& app);

// The lost-connection handling shared by the flight data and traffic readers.
// `stopAnimation`: the flight data reader switches animation off, the traffic reader does not.
void HandleLostConnection(App& app, bool stopAnimation);

}  // namespace sky
