// Realtime tracking: the network link, switching realtime on and off, the view modes and their
// camera and the aircraft pin.
#include <gtest/gtest.h>

#include <map>

#include "commands/logging.h"
#include "commands/realtime_link.h"
#include "kml/realtime_view.h"
#include "kml_checks.h"
#include "shell/dispatch.h"
#include "test_app.h"

namespace sky::test {
namespace {

using Strings = std::vector<std::string>;

// A program whose data folder needs escaping in KML.
struct Program {
  Program() {
    t.folders = FixedFolders(t.root / "Tom & Jerry's <data>", t.root / "docs", t.root / "program");
    EXPECT_TRUE(t.Load());
    t.app().Form1.btn_ToggleRealtime.enabled = true;
  }
  std::string DataFile(const std::string& name) {
    return t.root / ("Tom & Jerry's <data>/Skytrace flightlogger/" + name);
  }
  // The realtime and logging flags, the four view buttons, the two labels, the link document.
  std::string State() {
    const Form1Controls& f = t.app().Form1;
    std::string s =
        std::string(t.g().RealtimeOn ? "realtime " : "") + (t.g().LoggingOn ? "logging " : "");
    for (const Button* b : {&f.btn_setChase, &f.btn_setLeft, &f.btn_setRight, &f.btn_setOverview})
      s += b->enabled ? "v" : "-";
    s += " " + f.Label5.text + "/" + f.Label6.text;
    if (FileExists(DataFile("Skytrace Realtime.kml"))) s += " link";
    return s;
  }
  TestApp t;
};

TEST(Realtime, GenerateAndToggleButtons) {
  const std::string generated = "Realtime network link generated, check Google Earth.\n";
  const std::string noConnection = "No open FS connection.\n";
  struct Case {
    const char* name;
    bool connected, logging, realtime;
    const char* button;
    std::string messages;
    const char* state;
    bool linkFails = false;
  } cases[] = {
      {"generate while logging", false, true, false, "btn_InitiateRealtime", generated,
       "realtime logging vvvv Logging/Realtime link"},
      {"generate when connected: logging without a start record", true, false, false,
       "btn_InitiateRealtime", generated, "realtime logging vvvv Logging/Realtime link"},
      {"generate: the link cannot be written", false, true, false, "btn_InitiateRealtime",
       generated + "Unable to initialize realtime tracking.\n",
       "realtime logging vvvv Logging/Realtime", true},
      {"generate with neither", false, false, true, "btn_InitiateRealtime", noConnection,
       "---- No logging/No realtime"},
      {"toggle off: logging stays", true, true, true, "btn_ToggleRealtime", "Realtime stopped.\n",
       "logging ---- No logging/No realtime"},
      {"toggle without connection", false, false, false, "btn_ToggleRealtime", noConnection,
       "---- No logging/No realtime"},
      {"toggle on: logging too, no link, labels kept", true, false, false, "btn_ToggleRealtime",
       "Realtime started.\n", "realtime logging vvvv No logging/No realtime"},
  };
  for (const Case& c : cases) {
    Program p;
    TestApp& t = p.t;
    t.g().Connected = c.connected;
    t.g().LoggingOn = c.logging;
    t.g().RealtimeOn = c.realtime;
    EnableViewButtons(t.app(), c.realtime);
    if (c.linkFails) t.files.FailOn("write", "Skytrace Realtime.kml");
    EXPECT_EQ(Press(p.t, c.button), c.messages) << c.name;
    EXPECT_EQ(p.State(), c.state) << c.name;
    EXPECT_EQ(ReadFile(p.DataFile("Flightlog.txt")), "") << c.name;
    const std::string link = p.DataFile("Skytrace Realtime.kml");
    EXPECT_EQ(t.shell.opened, FileExists(link) ? Strings{link} : Strings{}) << c.name;
    if (!FileExists(link)) continue;
    const std::string folder =
        t.root / "Tom &amp; Jerry&apos;s &lt;data&gt;/Skytrace flightlogger/";
    EXPECT_EQ(ReadFile(link),
              ReplaceFirst(ReplaceFirst(t.app().kml.KMLRealtime, "FILE1", folder + "Realtime.kml"),
                           "FILE2", folder + "RealtimeLocation.kml") +
                  "\r\n")
        << c.name;
    ExpectWellFormed(link);
  }
}

TEST(Realtime, ViewButtonsAndTheCamera) {
  Program p;
  App& a = p.t.app();
  EXPECT_EQ(Click(a, "Form1", "btn_setOverview"), ClickResult::Disabled);  // until realtime is on
  EnableViewButtons(a, true);
  a.g.DecimalSeparator = ",";
  const std::map<std::string, std::string> messages = {{"Chase", "View set to chase airplane."},
                                                       {"Overview", "View set to overview."},
                                                       {"Left", "View set to the left."},
                                                       {"Right", "View set to the right."}};
  struct Case {
    const char* name;
    std::string view, side;  // buttons pressed
    int16_t onGround;
    const char *heading, *agl, *camera;  // heading, range, tilt
  } cases[] = {
      {"chase, right", "Chase", "Right", 0, "350", "1000", "345 1700 70"},
      {"chase, left past north", "Chase", "Left", 0, "358", "1000", "3 1700 70"},
      {"chase, right past north", "Chase", "Right", 0, "2", "1000", "357 1700 70"},
      {"exactly north stays 360", "Chase", "Left", 0, "355,9", "1000", "360 1700 70"},
      {"fractional range", "Chase", "Left", 0, "90", "1000,5", "95 1700.6 70"},
      {"overview below the minimum range", "Overview", "Left", 0, "90", "100", "135 2000 45"},
      {"overview above the minimum range", "Overview", "Left", 0, "90", "1000", "135 10000 45"},
      {"chase on the ground", "Chase", "Right", 1, "358,9", "0", "358 400 60"},
      {"overview on the ground", "Overview", "Left", 1, "12", "3", "12 400 60"},
  };
  for (const Case& c : cases) {
    for (const std::string& button : {c.view, c.side}) {
      EXPECT_EQ(Press(p.t, "btn_set" + button), messages.at(button) + "\n") << c.name;
    }
    a.sample.OnGround = c.onGround;
    a.sample.Heading = c.heading;
    a.sample.HeightAboveGround = c.agl;
    const RealtimeCamera camera = ComputeRealtimeCamera(RealtimeSceneOf(a));
    EXPECT_EQ(camera.heading + " " + camera.range + " " + camera.tilt, c.camera) << c.name;
  }
}

TEST(Realtime, LocationAndPinInTheUsersFormatOnTheGround) {
  TestApp t;
  App& a = t.app();
  a.kml = CompactSnippets();
  a.g.DecimalSeparator = ",";
  a.sample = {.Latitude = "52,3",
              .Longitude = "4,75",
              .Altitude = "-11",
              .GroundSpeed = "150,9",
              .Heading = "350,6",
              .OnGround = 1};
  const RealtimeCamera camera{"355", "1700", "70"};
  EXPECT_NE(
      BuildLocationDocument(a.kml, RealtimeSceneOf(a), camera).find("<LookAt 4.75,52.3 h=355"),
      std::string::npos);
  EXPECT_EQ(BuildAircraftPin(a.kml, RealtimeSceneOf(a), camera),
            "<F Aircraft position><listItemType>check</listItemType><Pin Your aircraft: alt=-11 "
            "spd=150 hdg=350|4.75,52.3|4.75,52.3|h=350 r=1700|<altitude>0</altitude>|"
            "<altitude>0</altitude>>");
  a.kml.PlacemarkPin = "<Pin NAME LATAC LONAC LONAC HDG RANGE ALTM>";  // one LATAC only
  EXPECT_THROW(BuildAircraftPin(a.kml, RealtimeSceneOf(a), camera), MissingPlaceholder);
}

}  // namespace
}  // namespace sky::test
