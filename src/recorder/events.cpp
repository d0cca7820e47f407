#include "recorder/events.h"

#include "core/app.h"

namespace sky {

void DetectEvents(App&, std::string&) {}

}  // namespace sky
