// Text from outside the program's own constants (typed names, paths, values read from a log or
// the simulator) made safe to stand in a KML document.
#pragma once

#include <string>
#include <string_view>

namespace sky {

// Escapes & < > " ' as XML entities, drops control characters that XML 1.0 does not allow and
// replaces bytes that are not valid UTF-8 by U+FFFD, so the result can stand in element content,
// in an attribute and inside a CDATA section (where Google Earth reads it as HTML). Plain texts
// such as numbers come back unchanged.
std::string XmlEscape(std::string_view text);

// Appends the escaped text to `out`.
void AppendXmlEscaped(std::string& out, std::string_view text);

}  // namespace sky
