#include "online/xplane_module.h"

#include "core/app.h"

namespace sky {

// The installer arrives with the online services; until then there is nothing to install.
void CheckXPlane(App&, bool) {}
void CheckXPUIPCVersion(App&) {}

}  // namespace sky
