#include "kml/event_table.h"

#include "kml/templates.h"
#include "kml/xml_escape.h"

namespace sky {
namespace {

enum class Match { First2, First3, Exact };

struct EventRow {
  std::string_view key;
  Match match;
  std::string_view name;         // for TD= and FL= the name is built from the code's value
  std::string_view description;  // the same for TO=, TD= and FL=
  AirPin airPin;
  bool warning;
};

// In the order the codes are tested; the first row that matches decides.
constexpr EventRow kEvents[] = {
    {"SA", Match::First2, "Start log", "Event: You started logging at this point.",
     AirPin::InTheAir, false},
    {"LI", Match::First2, "LLZ intercept", "Event: The aircraft intercepted the localizer (ILS).",
     AirPin::Always, false},
    {"LL", Match::First2, "LLZ lost", "Event: The aircraft lost the localizer (ILS) intercept.",
     AirPin::Always, false},
    {"OG", Match::First2, "On G/S", "Event: The aircraft is on the glideslope.", AirPin::Always,
     false},
    {"BG", Match::First2, "Below G/S", "Event: The aircraft is below the glideslope.",
     AirPin::Always, false},
    {"AG", Match::First2, "Above G/S", "Event: The aircraft is above the glideslope.",
     AirPin::Always, false},
    {"OM", Match::First2, "OM", "Event: The aircraft passed the outer marker at this point.",
     AirPin::Always, false},
    {"MM", Match::First2, "MM", "Event: The aircraft passed the middle marker at this point.",
     AirPin::Always, false},
    {"IM", Match::First2, "IM", "Event: The aircraft passed the inner marker at this point.",
     AirPin::Always, false},
    {"TO=", Match::First3, "T/O", "", AirPin::Never, false},
    {"TD=", Match::First3, "", "", AirPin::Never, false},
    {"SO", Match::First2, "Stop log", "Event: The log was stopped at this point.", AirPin::InTheAir,
     false},
    {"FL=", Match::First3, "", "", AirPin::InTheAir, false},
    {"GU", Match::First2, "Gear up", "Event: You retracted the gear at this point.", AirPin::Always,
     false},
    {"GD", Match::First2, "Gear down", "Event: You lowered the gear at this point.", AirPin::Always,
     false},
    {"SD", Match::First2, "Spoilers deployed", "Event: You deployed the spoilers at this point.",
     AirPin::InTheAir, false},
    {"SU", Match::First2, "Spoilers retracted", "Event: You retracted the spoilers at this point.",
     AirPin::InTheAir, false},
    {"TL", Match::First2, "Tailhook down", "Event: You lowered the tailhook at this point.",
     AirPin::InTheAir, false},
    {"TU", Match::First2, "Tailhook up", "Event: You retracted the tailhook at this point.",
     AirPin::InTheAir, false},
    {"O", Match::Exact, "Overspeed!!",
     "Event: You went too fast and therefore overspeeded.<br>Make sure you never do it again as "
     "this is very dangerous.",
     AirPin::InTheAir, true},
    {"OE", Match::First2, "Recovered", "Event: You recovered from overspeed at this point.",
     AirPin::InTheAir, true},
    {"S", Match::Exact, "Stall!!",
     "Event: You went too slow and therefore you stalled at this point.<br>Make sure you never do "
     "it again as this can result in a crash...",
     AirPin::Always, true},
    {"SE", Match::First2, "Recovered", "Event: You recovered from stall at this point.",
     AirPin::Always, true},
};

bool Matches(const EventRow& row, std::string_view code) {
  switch (row.match) {
    case Match::Exact:
      return code == row.key;
    case Match::First2:
    case Match::First3:
      return code.substr(0, row.key.size()) == row.key;
  }
  return false;
}

void SetAutobrake(std::string_view setting, std::string_view separator, std::string& autobrake) {
  const std::string_view text = AutobrakeText(RequireNumber(setting, separator));
  if (!text.empty()) autobrake = text;
}

}  // namespace

TouchdownBand TouchdownBandOf(double v) {
  if (v < -600) return TouchdownBand::TooHard;
  if (v < -300) return TouchdownBand::Hard;
  if (v < -180) return TouchdownBand::Nice;
  return TouchdownBand::Kiss;
}

std::string_view TouchdownRating(double v) {
  switch (TouchdownBandOf(v)) {
    case TouchdownBand::TooHard:
      return "This touchdown was too hard, please practice your landings a bit more...";
    case TouchdownBand::Hard:
      return "This was a pretty hard touchdown, the gear probably sustained some damage.";
    case TouchdownBand::Nice:
      return "Nice touchdown!";
    case TouchdownBand::Kiss:
      break;
  }
  return "Now this is what you can call a 'kiss' touchdown, you're good!";
}

std::string_view AutobrakeText(double setting) {
  static constexpr std::string_view kTexts[] = {"RTO", "off", "1", "2", "3", "max"};
  for (int i = 0; i < 6; ++i) {
    if (setting == i) return kTexts[i];
  }
  return {};
}

bool DescribeEvent(std::string_view code, int16_t onGround, std::string_view separator,
                   std::string& autobrake, EventText& text) {
  for (const EventRow& row : kEvents) {
    if (!Matches(row, code)) continue;
    text.warning = row.warning;
    text.inAir = row.airPin == AirPin::Always || (row.airPin == AirPin::InTheAir && onGround == 0);
    if (row.key == "TO=") {
      SetAutobrake(code.substr(3), separator, autobrake);
      text.name = row.name;
      text.description =
          "Event: The aircraft took off at this point.<br>Autobrake was set to " + autobrake + ".";
    } else if (row.key == "TD=") {
      const size_t slash = code.find('/');
      if (slash == std::string_view::npos) throw DataError("touchdown code without setting");
      const std::string_view speed = code.substr(3, slash - 3);
      SetAutobrake(code.substr(slash + 1), separator, autobrake);
      const std::string_view rating = TouchdownRating(RequireNumber(speed, separator));
      text.name = "T/D VS: " + XmlEscape(speed) + "ft/m";
      text.description = "Event: The aircraft touched down at this point.<br>";
      text.description.append(rating).append("<br>The autobrake was set to ");
      text.description.append(autobrake).append(".");
    } else if (row.key == "FL=") {
      const std::string value = XmlEscape(code.substr(3));
      text.name = "Flaps " + value + "%";
      text.description = "Event: You changed flaps to " + value + "% out at this point.";
    } else {
      text.name = row.name;
      text.description = row.description;
    }
    return true;
  }
  return false;
}

const std::string& EventPinSnippet(const KmlTemplateSet& kml, bool inAir, bool warning) {
  if (warning) return inAir ? kml.PlacemarkPinWarningAir : kml.PlacemarkPinWarning;
  return inAir ? kml.PlacemarkPinSmallAir : kml.PlacemarkPinSmall;
}

void VisitEventMarks(size_t index, std::string_view record, bool runEnds, bool endsFlight,
                     const std::function<void(const EventVisit&)>& visit) {
  EventVisit v;
  v.index = index;
  v.record = record;
  const RecordFields fields(v.record, 12);
  v.fields = &fields;
  v.code = fields[Field::EventCode];
  const bool stops = v.code.substr(0, 2) == "SO";
  if (endsFlight && !stops) v.code = "SO";
  bool marked = false;
  if (!v.code.empty()) {
    visit(v);
    marked = true;
  }
  if (runEnds && !stops) {
    v.code = "SO";
    visit(v);
    marked = true;
  }
  if (!marked) visit(v);
}

void WalkEventRecords(std::span<const std::string_view> records, bool convertMode,
                      const std::function<void(const EventVisit&)>& visit) {
  const size_t count = records.size();
  for (size_t i = 0; i < count; ++i) {
    const bool last = i + 1 == count;
    VisitEventMarks(i, records[i], !last && StartsLoggingRun(records[i + 1]), convertMode && last,
                    visit);
  }
}

}  // namespace sky
