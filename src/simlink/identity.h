// The running simulator's name, as the link identifies it.
#pragma once

#include <string>

#include "core/link_state.h"

namespace sky {

// "Not connected" without a connection, "X-Plane" when the X-Plane module answers, else the name
// of the identity code; "" when the exchange fails.
std::string GetSimulatorName(FsuipcLink& link, bool connected);
// The name shown for a simulator identity code.
std::string SimulatorNameOf(int code);

}  // namespace sky
