#include "recorder/flightlog.h"

#include "core/app.h"

namespace sky {

void RecordSample(App&, const std::string&, bool) {}

}  // namespace sky
