#include "kml/writer.h"

#include "core/app.h"

namespace sky {

bool WriteKmlDocument(App&, const std::string&, const std::string&, const std::string&, bool,
                      const std::string&) {
  return true;
}

}  // namespace sky
