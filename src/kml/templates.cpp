#include "kml/templates.h"

#include "core/app.h"
#include "core/messages.h"

namespace sky {
namespace {

struct Key {
  const char* name;  // with its "="
  std::string KmlTemplateSet::*field;
};

// In the order the loader tests them.
const Key kKeys[] = {
    {"KML=", &KmlTemplateSet::KML},
    {"KMLEnd=", &KmlTemplateSet::KMLEnd},
    {"Folder=", &KmlTemplateSet::Folder},
    {"FolderEnd=", &KmlTemplateSet::FolderEnd},
    {"LookAt=", &KmlTemplateSet::LookAt},
    {"Path=", &KmlTemplateSet::Path},
    {"PathWarning=", &KmlTemplateSet::PathWarning},
    {"PlacemarkEnd=", &KmlTemplateSet::PlacemarkEnd},
    {"PathGND=", &KmlTemplateSet::PathGND},
    {"PlacemarkPin=", &KmlTemplateSet::PlacemarkPin},
    {"PlacemarkPinSmall=", &KmlTemplateSet::PlacemarkPinSmall},
    {"PlacemarkPinSmallAir=", &KmlTemplateSet::PlacemarkPinSmallAir},
    {"PlacemarkPinWarning=", &KmlTemplateSet::PlacemarkPinWarning},
    {"PlacemarkPinWarningAir=", &KmlTemplateSet::PlacemarkPinWarningAir},
    {"PinDot=", &KmlTemplateSet::PinDot},
    {"PinDotAir=", &KmlTemplateSet::PinDotAir},
    {"KMLRealtime=", &KmlTemplateSet::KMLRealtime},
    {"KMLTCASBlue=", &KmlTemplateSet::KMLTCASBlue},
    {"KMLTCASYellow=", &KmlTemplateSet::KMLTCASYellow},
    {"KMLTCASOrange=", &KmlTemplateSet::KMLTCASOrange},
    {"KMLTCASRed=", &KmlTemplateSet::KMLTCASRed},
    {"PredictedPath=", &KmlTemplateSet::PredictedPath},
    {"PredictedPathGND=", &KmlTemplateSet::PredictedPathGND},
};

}  // namespace

void ParseKmlTemplates(std::string_view text, KmlTemplateSet& set) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (const Key& key : kKeys) {
      if (line.starts_with(key.name)) set.*key.field = std::string(line.substr(line.find('=') + 1));
    }
    start = end + 1;
  }
}

bool LoadKmlTemplates(App& app) {
  const auto text = app.ports.files.ReadAll(ProgramFolder(app) + kKmlSettingsFile);
  if (text) {
    ParseKmlTemplates(*text, app.kml);
    return true;
  }
  const std::string sentence = "Unable to load KML data, please reinstall the " + app.g.AppTitle;
  ShowMessage(app, sentence + ".");
  app.ports.dialogs.MessageBox("Unable to load KML data", sentence + ". Application will quit.",
                               MessageButtons::Ok);
  app.ended = true;
  app.ports.shell.EndProgram();
  return false;
}

std::string ReplaceFirst(std::string_view text, std::string_view word, std::string_view value) {
  const size_t at = text.find(word);
  if (at == std::string_view::npos || word.empty()) throw MissingPlaceholder(word);
  std::string result;
  result.reserve(text.size() - word.size() + value.size());
  result.append(text.substr(0, at)).append(value).append(text.substr(at + word.size()));
  return result;
}

void ReplaceFirstIn(std::string& text, std::string_view word, std::string_view value) {
  const size_t at = text.find(word);
  if (at == std::string::npos || word.empty()) throw MissingPlaceholder(word);
  text.replace(at, word.size(), value);
}

}  // namespace sky
