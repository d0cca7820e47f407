// Animation and traffic recording: every tick into "Animation.txt" and the traffic into
// "Traffic.txt" while animation mode is on.
#pragma once

#include <string>

namespace sky {

struct App;

void RecordAnimation(App& app, const std::string& code);

}  // namespace sky
