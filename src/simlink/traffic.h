// The traffic reader: the simulator's table of surrounding aircraft into the traffic table.
#pragma once

namespace sky {

struct App;

void GetAI(App& app);

}  // namespace sky
