// Small helpers for texts read from files and typed by the user: lines ended by CR LF, LF or a
// lone CR alike, UTF-8 checks, and quoting input in a sentence without echoing all of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sky {

// Calls `visit(line)` for each line of `text`, without its line end. CR LF, LF and a lone CR each
// end a line; a last line without an end counts too, an empty text has no lines. `visit` returns
// false to stop early.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      visit(text.substr(start));
      return;
    }
    if (!visit(text.substr(start, end - start))) return;
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

// The length of the valid UTF-8 sequence that starts at `at` (1 to 4), 0 when none starts there.
size_t Utf8SequenceLength(std::string_view text, size_t at);

// Where the first byte that is not valid UTF-8 stands, or npos when the whole text is valid.
size_t FirstInvalidUtf8(std::string_view text);

// The number of characters (code points) of valid UTF-8 text.
size_t Utf8CharacterCount(std::string_view text);

// Input for an error sentence, cut to its first `maxCharacters` characters (never inside a UTF-8
// sequence) and followed by "..." when it was longer: a sentence never echoes a huge value.
std::string CutInput(std::string_view text, size_t maxCharacters = 40);
// The same in double quotes.
std::string QuotedInput(std::string_view text, size_t maxCharacters = 40);

}  // namespace sky
