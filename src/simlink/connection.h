// The program's connection state on top of the link: the connection label, the "(Re) Connect"
// button and the name of the running simulator.
#pragma once

#include <string>

namespace sky {

struct App;

void ConnectSimulator(App& app);
void Command1_Click(App& app);
std::string GetSimulatorName(App& app);
// The name shown for a simulator identity code.
std::string SimulatorNameOf(int code);

// Shows the connection state on the main window's label.
void ShowConnected(App& app, bool connected);

}  // namespace sky
