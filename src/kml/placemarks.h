// The event placemarks of a flight document: a named pin with a description for every event in
// the log, in a "Special placemarks" folder, and a small flight-data point for every other record,
// in a "Flight data" folder inside it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "kml/event_table.h"
#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;

// The texts a pin or point shows for its record. Log texts are XML-escaped; coordinates and the
// altitude in metres carry "." as decimal point.
struct PlacemarkValues {
  std::string kias, heading, tas, groundSpeed, verticalSpeed, altitude, heightAboveGround;
  std::string time;      // "hh:mm:ss"
  std::string date;      // "dd-mm-yyyy"
  std::string dateTime;  // "yyyy-mm-ddThh:mm:ssz"
  std::string lon, lat, altitudeMetres;
};

// Throws DataError when the altitude is not a number.
PlacemarkValues ValuesOf(const RecordFields& fields, std::string_view separator);

// An event pin: DESC, KIAS, HDG, SPDTAS, GNDSPD, VERTSPEED, ALT, ALTAGL, TIME, DATE, NAME, LONY,
// LATX and (when `altitudeMetres`) ALTM replaced in this order. Throws MissingPlaceholder.
std::string FillEventPin(const std::string& snippet, const EventText& event,
                         const PlacemarkValues& values, bool altitudeMetres = true);

// A flight-data point: DATETIME (only where the snippet holds it and `dateTime` is set), then
// KIAS, HDG, SPDTAS, GNDSPD, VERTSPEED, ALT, ALTAGL, TIME, DATE, an empty NAME, LONY, LATX and
// (when `altitudeMetres`) ALTM. Throws MissingPlaceholder.
std::string FillDataPoint(const std::string& snippet, const PlacemarkValues& values,
                          bool dateTime = true, bool altitudeMetres = true);

// Which marks of the event pass a writer writes: the event pins of the "Special placemarks"
// folder, or the points of its "Flight data" folder.
enum class MarkPart { Pins, DataPoints };

// Writes one part of the event pass mark by mark, each part opening its folder with its first
// mark. A mark depends on the marks before it only (a code that matches no event keeps the name
// and description of the previous mark), so a copy of the writer resumes where the original
// stands. The pin writer also fills the first point of each kind once, so that a point snippet
// that cannot be filled fails the document even when no point is written. The snippets must
// outlive the writer.
class EventMarkWriter {
 public:
  EventMarkWriter(const KmlTemplateSet& kml, std::string_view separator, MarkPart part);
  // Throws DataError or MissingPlaceholder.
  void Add(const EventVisit& visit, TextSink& out);
  // Whether a mark was written (and with it the folder's opening).
  bool wrote() const { return opened_; }

 private:
  const KmlTemplateSet* kml_;
  std::string separator_;
  MarkPart part_;
  bool opened_ = false;
  bool checkedGroundPoint_ = false;
  bool checkedAirPoint_ = false;
  EventText event_;
  std::string autobrake_;
};

// Writes the "Special placemarks" folder (nothing when the log holds no event). In convert mode
// the flight ends with a "Stop log" pin; in both modes the end of a logging run followed by
// another one gets one. Each record gets its event pins or else one flight-data point. The pins are
// written in one pass over the records and the points in a second, so that neither is held in
// memory. Throws DataError or MissingPlaceholder.
void WriteSpecialPlacemarks(const KmlTemplateSet& kml, std::string_view separator,
                            std::span<const std::string_view> records, bool convertMode,
                            TextSink& out);

}  // namespace sky
