// The flight events as Google Earth shows them: the name and description of each event code,
// the touchdown rating, the autobrake texts and the choice of pin. Used by the event placemarks of
// a flight document and by the animated replay.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;

// Where the airborne pin is used: always, while the record is in the air, or never.
enum class AirPin { Always, InTheAir, Never };

// The event shown for one code. Texts from the log (a flap value, a touchdown speed) are already
// XML-escaped; the description holds "<br>" line breaks for the balloon.
struct EventText {
  std::string name;
  std::string description;
  bool inAir = false;
  bool warning = false;
};

// Looks the code up. Returns false when no event matches (then `text` is left as it was). A
// take-off ("TO=n") or touchdown ("TD=v/n") code first sets `autobrake` from its setting n (an
// unknown setting keeps the text as it was). `onGround` is the record's on-ground flag (1 on the
// ground). Throws DataError when a value that must be a number is none.
bool DescribeEvent(std::string_view code, int16_t onGround, std::string_view separator,
                   std::string& autobrake, EventText& text);

// The band of a touchdown by its vertical speed in feet per minute (negative is downward): below
// -600 too hard, below -300 hard, below -180 nice, else a kiss. The event pins and the landing
// reports rate by it, so the two never disagree.
enum class TouchdownBand { TooHard, Hard, Nice, Kiss };
TouchdownBand TouchdownBandOf(double verticalSpeedFpm);
// The rating text of a touchdown's band.
std::string_view TouchdownRating(double verticalSpeedFpm);

// The autobrake text of a setting 0 to 5 ("RTO", "off", "1", "2", "3", "max"); empty otherwise.
std::string_view AutobrakeText(double setting);

// The pin snippet for an event: ground or airborne, normal or warning.
const std::string& EventPinSnippet(const KmlTemplateSet& kml, bool inAir, bool warning);

// One mark of the event pass: an event pin for `code`, or a flight-data point when `code` is
// empty.
struct EventVisit {
  size_t index = 0;
  std::string_view record;
  const RecordFields* fields = nullptr;
  std::string_view code;
};

// The marks of one record, in order: its own event, then a "Stop log" ("SO") when `runEnds` (the
// next record begins another logging run) and its own event is no stop, or a flight-data point
// when it gets neither. `endsFlight` (the last record of a converted flight) replaces its event by
// "SO" unless it already begins with it. The record must hold at least 12 fields (throws
// DataError otherwise).
void VisitEventMarks(size_t index, std::string_view record, bool runEnds, bool endsFlight,
                     const std::function<void(const EventVisit&)>& visit);

// Walks the records in order and calls `visit` for each mark (see VisitEventMarks): a "Stop log"
// ends every logging run that another run follows, and in convert mode the last record ends the
// flight, so that every converted flight ends with a "Stop log" pin.
void WalkEventRecords(std::span<const std::string_view> records, bool convertMode,
                      const std::function<void(const EventVisit&)>& visit);

}  // namespace sky
