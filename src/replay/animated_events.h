// The flight log in the animated replay: its event pins and flight-data points, each appearing
// on the time slider at its record's moment, and the history path, the flown path cut into one
// piece per record that stays drawn from one second after its record on.
#pragma once

#include <span>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;

// The "Special placemarks" folder without its end: the marks of the flight document's event pass
// for a converted flight (a "Stop log" at the end and at the end of each logging run that
// another follows), one placemark per mark, pins and points in record order, each with
// "<TimeSpan><begin>yyyy-mm-ddThh:mm:ssz</begin></TimeSpan>" of its record directly after the
// first "</name>" of its snippet. The folder opens before the first mark, so that it is always
// balanced. Returns the number of placemarks. Throws DataError or MissingPlaceholder.
size_t WriteAnimatedPlacemarks(const KmlTemplateSet& kml, std::string_view separator,
                               std::span<const std::string_view> records, TextSink& out);

// The "History Path" folder: per record a path piece from the previous record (the first from
// itself) to it, stamped one second after the record, "Warning!" pieces in the air after an
// overspeed or stall ("O", "S") up to its end ("OE", "SE") or the ground. Throws DataError or
// MissingPlaceholder.
void WriteHistoryPath(const KmlTemplateSet& kml, std::string_view separator,
                      std::span<const std::string_view> records, TextSink& out);

// Inserts `element` directly after the first "</name>" of `text`; throws DataError when there
// is none.
void InsertAfterName(std::string& text, std::string_view element);

}  // namespace sky
