// The flown path of a flight log as coloured path placemarks: one run folder per logging run,
// holding "On Ground", "In the air" and warning segments ("Overspeed!!", "Stall!!").
#pragma once

#include <span>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;

// Writes the run folders with their segments, in record order. A new segment starts where the
// on-ground flag changes and where an overspeed or stall ("O", "S") begins or ends ("OE", "SE");
// the record at a change is the last point of the old segment and the first of the new one.
// A record whose previous time stamp is "-" (and the first record) opens a new run folder, named
// "FlightLog " and the run's first date and time. Throws KmlDataError or MissingPlaceholder.
void WritePathSegments(const KmlTemplateSet& kml, std::string_view separator,
                       std::span<const std::string_view> records, TextSink& out);

}  // namespace sky
