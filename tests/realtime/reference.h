// The animated part of a converted flight built the plain way, for comparison: every log read
// whole into memory, the text assembled in memory, the start record of each frame found by
// scanning the flight log from its second record, the placeholders replaced one after another.
#pragma once

#include <string>

namespace sky {
struct App;
}

namespace sky::test {

// The animated part from the three logs' texts (an empty traffic text: no "Traffic.txt"); empty
// when the construction fails.
std::string ReferenceAnimation(App& app, const std::string& animationLog,
                               const std::string& flightLog, const std::string& trafficLog);

}  // namespace sky::test
