#include "kml/convert.h"

#include "core/app.h"

namespace sky {

void ConvertFlightLog(App&) {}

void OpenSavedTracksFolder(App&) {}

namespace {

// Characters from 1-based position `start`, at most `length` of them; short texts give less.
std::string Mid(const std::string& text, size_t start, size_t length) {
  return start > text.size() ? std::string() : text.substr(start - 1, length);
}

}  // namespace

std::string CorrectDatumTijd(const std::string& DatumTijd) {
  const std::string& s = DatumTijd;
  const std::string lastSix = s.size() > 6 ? s.substr(s.size() - 6) : s;
  return Mid(s, 7, 2) + "-" + Mid(s, 5, 2) + "-" + Mid(s, 1, 4) + " " + Mid(lastSix, 1, 2) + ":" +
         Mid(lastSix, 3, 2);
}

}  // namespace sky
