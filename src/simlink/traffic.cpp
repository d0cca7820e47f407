#include "simlink/traffic.h"

#include "core/app.h"

namespace sky {

void GetAI(App&) {}

}  // namespace sky
