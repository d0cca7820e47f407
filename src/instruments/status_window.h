// The aircraft status window's six value lines: written from each sample, blanked after a lost
// link.
#pragma once

#include <string_view>

#include "core/flight_sample.h"
#include "core/forms.h"

namespace sky {

// The lines of a sample (texts in the user's number format, `separator`) in their colours.
void WriteStatusLines(StatusControls& window, const FlightSample& sample,
                      std::string_view separator);
void ClearStatusLines(StatusControls& window);

}  // namespace sky
