// The ticks that drive the program: the one-second sampling tick of the main window and the TCAS
// window's refresh. They run the readers, the recorder and the writers in a fixed order, and
// they alone react to a lost link.
#pragma once

namespace sky {

struct App;

// One sampling tick.
void Timer1_Timer(App& app);
// One refresh of the TCAS window: the traffic table read and drawn.
void tmrTCAS_Timer(App& app);

// Reads the flight sample (see ReadFlightData) and reacts to what the reader reports: a lost
// link is handled, a value that cannot be converted posts "Unable to load FSUIPC offsets.".
void ReadSample(App& app);
// Refreshes the traffic table (see GetAI) and reacts the same way; a bad value posts "Unable to
// load AI traffic data.".
void RefreshTraffic(App& app);

// What a lost link switches off, whichever reader noticed it: the link is closed, the connection
// flag cleared, the status window blanked, logging, animation and realtime stopped, and the main
// window restored from the tray.
void HandleLostConnection(App& app);

// The "(Re) Connect" button: connects and, when that succeeds, runs a tick at once.
void Command1_Click(App& app);

}  // namespace sky
