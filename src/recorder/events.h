// Flight event detection: compares the current sample with the previous tick's values, shows a
// sentence per event and sets the record's event code (the last event found wins).
#pragma once

#include <string>

namespace sky {

struct App;

void DetectEvents(App& app, std::string& code);

}  // namespace sky
