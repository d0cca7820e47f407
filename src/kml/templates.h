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

// Fills the set from the file; on failure posts and shows the two messages and ends the program.
// Returns false when the program was ended.
bool LoadKmlTemplates(App& app);

// Parses the snippet file's text into the set (lines matching no key are ignored).
void ParseKmlTemplates(std::string_view text, KmlTemplateSet& set);

// Replaces the first occurrence of `word`; throws MissingPlaceholder when there is none.
std::string ReplaceFirst(std::string_view text, std::string_view word, std::string_view value);
// The same, on the text in place.
void ReplaceFirstIn(std::string& text, std::string_view word, std::string_view value);

}  // namespace sky
