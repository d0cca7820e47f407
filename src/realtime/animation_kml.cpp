#include "realtime/animation_kml.h"

#include "core/app.h"

namespace sky {

// The animated replay comes with the animation unit; until then a converted flight has none.
std::string BuildAnimation(App&) {
  return "";
}

}  // namespace sky
