#include "kml/templates.h"

#include <algorithm>

#include "core/system.h"
#include "core/text.h"

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

std::string_view WithoutByteOrderMark(std::string_view text) {
  return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

}  // namespace

void ParseKmlTemplates(std::string_view text, KmlTemplateSet& set) {
  ForEachLine(WithoutByteOrderMark(text), [&set](std::string_view line) {
    for (const Key& key : kKeys) {
      if (line.starts_with(key.name)) set.*key.field = std::string(line.substr(line.find('=') + 1));
    }
    return true;
  });
}

std::string SnippetFileDamage(std::string_view text) {
  if (text.size() > kMaxSnippetFileBytes) return std::string(kKmlSettingsFile) + " is over 1 MB.";
  std::string damage;
  int number = 0;
  ForEachLine(WithoutByteOrderMark(text), [&](std::string_view line) {
    ++number;
    const char* what = nullptr;
    if (line.find('\0') != std::string_view::npos) {
      what = "a NUL byte";
    } else if (FirstInvalidUtf8(line) != std::string_view::npos) {
      what = "bytes that are not UTF-8 text";
    } else if (std::any_of(line.begin(), line.end(), [](char c) {
                 return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
               })) {
      what = "a control character";
    }
    if (what) {
      damage = std::string(kKmlSettingsFile) + ", line " + std::to_string(number) + ": " + what +
               " (the file must be UTF-8 text).";
    }
    return what == nullptr;
  });
  return damage;
}

bool LoadKmlTemplates(FileSystem& files, Folders& folders, Dialogs& dialogs, MessageBoard& board,
                      const std::string& appTitle, KmlTemplateSet& set) {
  std::string damage;
  try {
    const auto text =
        files.ReadHead(ProgramFolder(folders) + kKmlSettingsFile, kMaxSnippetFileBytes + 1);
    if (text) {
      damage = SnippetFileDamage(*text);
      if (damage.empty()) {
        ParseKmlTemplates(*text, set);
        return true;
      }
    }
  } catch (const std::exception&) {
    // Not even the snippets fit in memory: the same end as a missing file.
  }
  const std::string sentence = "Unable to load KML data, please reinstall the " + appTitle;
  board.Post(sentence + ".");
  // The box names the damaged line after its fixed sentences, where the user can read it.
  std::string box = sentence + ". Application will quit.";
  if (!damage.empty()) box += "\r\n\r\n" + damage;
  dialogs.MessageBox("Unable to load KML data", box, MessageButtons::Ok);
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
