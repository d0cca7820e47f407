// Flight event detection: compares the current sample with the previous tick's values, finds the
// events (the last one found gives the record's code) and tells how the overspeed and stall
// warnings changed.
#pragma once

#include <string>
#include <string_view>

#include "core/flight_sample.h"
#include "core/logging_parameters.h"
#include "recorder/flightlog.h"

namespace sky {

// Adds each event's sentence to `result.sentences` and sets `code` to the last event's code;
// keeps the previous flaps and gear in `prev`. The first sample after start-up or a connect
// (`prev.read` false) has nothing real to compare with: no event, and the warnings as they
// stand. Throws DataError when a sample text is no number.
void DetectEvents(const FlightSample& sample, PreviousSample& prev, std::string_view separator,
                  const LoggingParameters& params, std::string& code, RecordResult& result);

}  // namespace sky
