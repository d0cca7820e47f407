// The snippet file's loader and the first-occurrence substitution.
#include "kml/templates.h"

#include <gtest/gtest.h>

#include "test_app.h"

namespace sky {
namespace {

TEST(KmlTemplates, KeysMatchAtTheStartCaseSensitively) {
  KmlTemplateSet set;
  ParseKmlTemplates(
      "# comment\r\n"
      "Folder=<Folder><name>NAME</name>a=b\r\n"
      "path=<lower case>\r\n"
      "Path=<air>\r\n"
      "PathGND=<ground>\r\n"
      "PathWarning=<warning>\r\n"
      " KMLEnd=<indented>\r\n"
      "KMLEnd=first\n"
      "KMLEnd=last \r\n"
      "PlacemarkPinSmallAir=<air pin>\n"
      "PlacemarkPinSmall=<pin>",
      set);
  EXPECT_EQ(set.Folder, "<Folder><name>NAME</name>a=b");
  EXPECT_EQ(set.Path, "<air>");
  EXPECT_EQ(set.PathGND, "<ground>");
  EXPECT_EQ(set.PathWarning, "<warning>");
  EXPECT_EQ(set.KMLEnd, "last ");
  EXPECT_EQ(set.PlacemarkPinSmall, "<pin>");
  EXPECT_EQ(set.PlacemarkPinSmallAir, "<air pin>");
  EXPECT_EQ(set.KML, "");
}

TEST(KmlTemplates, ReplaceFirstReplacesOneOccurrence) {
  EXPECT_EQ(ReplaceFirst("<a>NAME</a><b>NAME</b>", "NAME", "x&y"), "<a>x&y</a><b>NAME</b>");
  EXPECT_EQ(ReplaceFirst("ALTAGL ALT", "ALT", "1"), "1AGL ALT");
  EXPECT_EQ(ReplaceFirst("NAME", "NAME", ""), "");
  EXPECT_THROW(ReplaceFirst("<name>name</name>", "NAME", "x"), MissingPlaceholder);
}

TEST(KmlTemplates, ShippedFileHasEverySnippet) {
  KmlTemplateSet set;
  ParseKmlTemplates(test::ReadFile(test::SourceData("KMLSettings.txt")), set);
  for (const std::string* snippet : {&set.KML,
                                     &set.KMLEnd,
                                     &set.Folder,
                                     &set.FolderEnd,
                                     &set.LookAt,
                                     &set.Path,
                                     &set.PathWarning,
                                     &set.PlacemarkEnd,
                                     &set.PathGND,
                                     &set.PlacemarkPin,
                                     &set.PlacemarkPinSmall,
                                     &set.PlacemarkPinSmallAir,
                                     &set.PlacemarkPinWarning,
                                     &set.PlacemarkPinWarningAir,
                                     &set.PinDot,
                                     &set.PinDotAir,
                                     &set.KMLRealtime,
                                     &set.KMLTCASBlue,
                                     &set.KMLTCASYellow,
                                     &set.KMLTCASOrange,
                                     &set.KMLTCASRed,
                                     &set.PredictedPath,
                                     &set.PredictedPathGND}) {
    EXPECT_FALSE(snippet->empty());
  }
  EXPECT_NE(set.KML.find("<StyleMap id=\"msn_ylw-"), std::string::npos);
  EXPECT_NE(set.Folder.find("Type>check<"), std::string::npos);
}

TEST(KmlTemplates, MissingFileShowsBothMessagesAndEndsTheProgram) {
  test::TestApp t({.withKmlSettings = false});
  EXPECT_FALSE(t.Load());
  EXPECT_TRUE(t.app().ended);
  EXPECT_TRUE(t.shell.ended);
  EXPECT_EQ(t.LastMessage(),
            "Unable to load KML data, please reinstall the Skytrace flightlogger.");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].title, "Unable to load KML data");
  EXPECT_EQ(t.dialogs.shown[0].text,
            "Unable to load KML data, please reinstall the Skytrace flightlogger. Application will "
            "quit.");
  EXPECT_FALSE(t.app().Form1.visible);  // ended before the window was shown
  EXPECT_FALSE(t.app().g.Connected);    // and before the first tick
}

}  // namespace
}  // namespace sky
