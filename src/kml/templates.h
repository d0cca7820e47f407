// The KML snippets from "KMLSettings.txt" beside the executable, one line per key, and the
// first-occurrence placeholder substitution every KML writer uses.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/kml_snippets.h"

namespace sky {

struct App;

// A placeholder word that is not in the text it should be replaced in.
class MissingPlaceholder : public std::runtime_error {
 public:
  explicit MissingPlaceholder(std::string_view word)
      : std::runtime_error("placeholder " + std::string(word) + " not found") {}
};

// A snippet file larger than this is damaged.
inline constexpr size_t kMaxSnippetFileBytes = 1 << 20;

// Fills the set from the file; when it is missing, unreadable or damaged, posts and shows the two
// messages (the box naming the damaged line) and ends the program. Returns false when the
// program was ended.
bool LoadKmlTemplates(App& app);

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
