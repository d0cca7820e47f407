// The KML snippets: one text per key of "KMLSettings.txt", the file installed beside the program,
// read once at start-up; and the first-occurrence placeholder substitution every KML writer uses.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/ports.h"

namespace sky {

struct KmlTemplateSet {
  std::string KML;
  std::string KMLEnd;
  std::string Folder;
  std::string FolderEnd;
  std::string LookAt;
  std::string Path;
  std::string PathWarning;
  std::string PlacemarkEnd;
  std::string PathGND;
  std::string PlacemarkPin;
  std::string PlacemarkPinSmall;
  std::string PlacemarkPinSmallAir;
  std::string PlacemarkPinWarning;
  std::string PlacemarkPinWarningAir;
  std::string PinDot;
  std::string PinDotAir;
  std::string KMLRealtime;
  std::string KMLTCASBlue;
  std::string KMLTCASYellow;
  std::string KMLTCASOrange;
  std::string KMLTCASRed;
  std::string PredictedPath;
  std::string PredictedPathGND;

  bool operator==(const KmlTemplateSet&) const = default;
};

inline constexpr char kKmlSettingsFile[] = "KMLSettings.txt";

// A placeholder word that is not in the text it should be replaced in.
class MissingPlaceholder : public std::runtime_error {
 public:
  explicit MissingPlaceholder(std::string_view word)
      : std::runtime_error("placeholder " + std::string(word) + " not found") {}
};

// A snippet file larger than this is damaged.
inline constexpr size_t kMaxSnippetFileBytes = 1 << 20;

// Fills the set from the file in the program's folder; when it is missing, unreadable or
// damaged, posts and shows the two messages (the box naming the damaged line) and returns false:
// the program then ends.
bool LoadKmlTemplates(FileSystem& files, Folders& folders, Dialogs& dialogs, MessageBoard& board,
                      const std::string& appTitle, KmlTemplateSet& set);

// Parses the snippet file's text into the set: lines end with CR LF, LF or a lone CR, a UTF-8
// byte-order mark is skipped, lines matching no key are ignored.
void ParseKmlTemplates(std::string_view text, KmlTemplateSet& set);

// What makes a snippet file's text unusable, as a sentence naming the first damaged line (a NUL
// byte, bytes that are not UTF-8, a control character other than tab) or the size; empty when
// the text is fine.
std::string SnippetFileDamage(std::string_view text);

// Replaces the first occurrence of `word`; throws MissingPlaceholder when there is none.
std::string ReplaceFirst(std::string_view text, std::string_view word, std::string_view value);
// The same, on the text in place.
void ReplaceFirstIn(std::string& text, std::string_view word, std::string_view value);

}  // namespace sky
