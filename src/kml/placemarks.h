// The event placemarks of a flight document: a named pin with a description for every event in
// the log, in a "Special placemarks" folder, and a small flight-data point for every other record,
// in a "Flight data" folder inside it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "kml/log_records.h"

namespace sky {

struct KmlTemplateSet;
struct EventText;

// The texts a pin or point shows for its record. Log texts are XML-escaped; coordinates and the
// altitude in metres carry "." as decimal point.
struct PlacemarkValues {
  std::string kias, heading, tas, groundSpeed, verticalSpeed, altitude, heightAboveGround;
  std::string time;      // "hh:mm:ss"
  std::string date;      // "dd-mm-yyyy"
  std::string dateTime;  // "yyyy-mm-ddThh:mm:ssz"
  std::string lon, lat, altitudeMetres;
};

// Throws KmlDataError when the altitude is not a number.
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

// Writes the "Special placemarks" folder (nothing when the log holds no event). In convert mode
// the flight ends with a "Stop log" pin; in both modes the end of a logging run followed by
// another one gets one. Each record gets its event pins or else one flight-data point. The pins are
// written in one pass over the records and the points in a second, so that neither is held in
// memory. Throws KmlDataError or MissingPlaceholder.
void WriteSpecialPlacemarks(const KmlTemplateSet& kml, std::string_view separator,
                            std::span<const std::string_view> records, bool convertMode,
                            TextSink& out);

}  // namespace sky
