#include "recorder/animation.h"

#include "core/app.h"

namespace sky {

// Recording the animation comes with the animation unit; until then animation mode only keeps
// its flag.
void RecordAnimation(App&, const std::string&) {}

}  // namespace sky
