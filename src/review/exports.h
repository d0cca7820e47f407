// A flight in the formats other programs read: GPX 1.1 (a track with time, elevation and speed,
// a waypoint per event), IGC (the B-record flight log with its header), GeoJSON (RFC 7946) and
// CSV (one row per record, named columns with their units). Each writer appends to `out`.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "review/track.h"

namespace sky {

enum class ExportFormat { Gpx, Igc, GeoJson, Csv };

// The formats in the order the convert writes them, with their file extensions.
inline constexpr ExportFormat kExportFormats[] = {ExportFormat::Gpx, ExportFormat::Igc,
                                                  ExportFormat::GeoJson, ExportFormat::Csv};
std::string_view ExportExtension(ExportFormat format);  // ".gpx", ".igc", ".geojson", ".csv"

// `name` is the flight's name as the user typed it (escaped where a format needs it).
void WriteExport(std::string& out, ExportFormat format, const Track& track, std::string_view name);

// An event's name as the flight document's pins show it ("Gear down", "T/D VS: -180ft/m"), as
// plain text; the code itself when it names no event.
std::string EventName(const TrackPoint& point);

// A track splits into segments where the samples stop for more than a minute or a logging run
// begins: [first, last) index ranges.
std::vector<std::pair<size_t, size_t>> TrackSegments(const Track& track);

}  // namespace sky
