// Outside texts made safe for a KML document.
#include "kml/xml_escape.h"

#include <gtest/gtest.h>

namespace sky {
namespace {

TEST(XmlEscape, Texts) {
  const std::pair<std::string, std::string> cases[] = {
      {"52.3080", "52.3080"},
      {"Tom & Jerry <3", "Tom &amp; Jerry &lt;3"},
      {"a>b \"c\" 'd'", "a&gt;b &quot;c&quot; &apos;d&apos;"},
      {"]]>", "]]&gt;"},  // cannot end a CDATA section early
      {"tab\tand\r\nbreaks", "tab\tand\r\nbreaks"},
      {std::string("bell\x07 nul") + '\0' + "x", "bell nulx"},
      {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x9B\xA9",
       "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x9B\xA9"},
      {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
      {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(XmlEscape(text), escaped) << text;
}

}  // namespace
}  // namespace sky
