// The flown path of a flight log as coloured path placemarks: one run folder per logging run,
// holding "On Ground", "In the air" and warning segments ("Overspeed!!", "Stall!!").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;

// Writes the path record by record. What a record adds depends on the records before it only,
// so a copy of the writer resumes where the original stands: the realtime document writes the
// records of a growing log once and carries on from a copy for the records that still change.
// The snippets must outlive the writer.
class PathSegmentWriter {
 public:
  PathSegmentWriter(const KmlTemplateSet& kml, std::string_view separator);

  // The next record of the log. Throws DataError or MissingPlaceholder.
  void Add(std::string_view record, TextSink& out);
  // Closes the last segment and its run folder.
  void Finish(TextSink& out) const;

 private:
  const std::string& Ground();
  const std::string& Air();

  const KmlTemplateSet* kml_;
  std::string separator_;
  std::optional<std::string> ground_;  // the path openings, filled on first use
  std::optional<std::string> air_;
  size_t records_ = 0;
  int segment_ = -1;  // counted as the 16-bit index of the log's format
  int16_t segmentOnGround_ = 0;
  bool warningStart_ = false;
  bool justSwitched_ = false;
  std::string warningName_;
};

// Writes the run folders with their segments, in record order. A new segment starts where the
// on-ground flag changes and where an overspeed or stall ("O", "S") begins or ends ("OE", "SE");
// the record at a change is the last point of the old segment and the first of the new one.
// A record whose previous time stamp is "-" (and the first record) opens a new run folder, named
// "FlightLog " and the run's first date and time. Throws DataError or MissingPlaceholder.
void WritePathSegments(const KmlTemplateSet& kml, std::string_view separator,
                       std::span<const std::string_view> records, TextSink& out);

}  // namespace sky
