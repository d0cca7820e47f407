// The running simulator's name, as the link identifies it.
#pragma once

#include <string>

namespace sky {

struct App;

// "Not connected" without a link, "X-Plane" when the X-Plane module answers, else the name of
// the identity code; "" when the exchange fails.
std::string GetSimulatorName(App& app);
// The name shown for a simulator identity code.
std::string SimulatorNameOf(int code);

}  // namespace sky
