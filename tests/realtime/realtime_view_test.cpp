// The realtime camera in its four view modes, the location document and the aircraft pin.
#include "kml/realtime_view.h"

#include <gtest/gtest.h>

#include "kml/log_records.h"
#include "kml_checks.h"
#include "test_app.h"

namespace sky::test {
namespace {

class RealtimeViewTest : public ::testing::Test {
 protected:
  RealtimeViewTest() {
    App& a = t.app();
    a.kml = CompactSnippets();
    a.g.ProductName = "Skytrace";
    FlightSample& s = a.sample;
    s.Latitude = "52.3";
    s.Longitude = "4.75";
    s.Altitude = "1000";
    s.GroundSpeed = "150.9";
    s.Heading = "350.6";
    s.HeightAboveGround = "1000";
    s.OnGround = 0;
  }
  TestApp t;
};

TEST_F(RealtimeViewTest, CameraForEachViewMode) {
  struct Case {
    const char* name;
    bool chase;
    bool right;
    bool onGround;
    const char* heading;
    const char* agl;
    const char* separator;
    RealtimeCamera expected;
  } cases[] = {
      {"chase, left", true, false, false, "350", "1000", ".", {"355", "1700", "70"}},
      {"chase, right", true, true, false, "350", "1000", ".", {"345", "1700", "70"}},
      {"left past north", true, false, false, "358", "1000", ".", {"3", "1700", "70"}},
      {"right past north", true, true, false, "2", "1000", ".", {"357", "1700", "70"}},
      {"exactly north stays 360", true, false, false, "355.9", "1000", ".", {"360", "1700", "70"}},
      {"fractional range", true, false, false, "90", "1000.5", ".", {"95", "1700.6", "70"}},
      {"fractional range, decimal comma",
       true,
       false,
       false,
       "90",
       "1000,5",
       ",",
       {"95", "1700.6", "70"}},
      {"overview below the minimum range",
       false,
       false,
       false,
       "90",
       "100",
       ".",
       {"135", "2000", "45"}},
      {"overview above the minimum range",
       false,
       false,
       false,
       "90",
       "1000",
       ".",
       {"135", "10000", "45"}},
      {"overview, right past north", false, true, false, "10", "1000", ".", {"325", "10000", "45"}},
      {"overview, left past north", false, false, false, "340", "1000", ".", {"25", "10000", "45"}},
      {"chase on the ground", true, true, true, "358.9", "0", ".", {"358", "400", "60"}},
      {"overview on the ground", false, false, true, "12", "3", ".", {"12", "400", "60"}},
  };
  for (const Case& c : cases) {
    App& a = t.app();
    a.g.ChaseView = c.chase;
    a.g.ViewRight = c.right;
    a.g.DecimalSeparator = c.separator;
    a.sample.OnGround = c.onGround ? 1 : 0;
    a.sample.Heading = c.heading;
    a.sample.HeightAboveGround = c.agl;
    const RealtimeCamera camera = ComputeRealtimeCamera(a);
    EXPECT_EQ(camera.heading, c.expected.heading) << c.name;
    EXPECT_EQ(camera.range, c.expected.range) << c.name;
    EXPECT_EQ(camera.tilt, c.expected.tilt) << c.name;
  }
  t.app().sample.Heading = "";
  EXPECT_THROW(ComputeRealtimeCamera(t.app()), KmlDataError);
}

TEST_F(RealtimeViewTest, LocationDocumentCarriesTheCameraBeforeTheYellowStyle) {
  t.app().g.DecimalSeparator = ",";
  t.app().sample.Latitude = "52,3";
  t.app().sample.Longitude = "4,75";
  const RealtimeCamera camera{"355", "1700", "70"};
  EXPECT_EQ(BuildLocationDocument(t.app(), camera),
            "<KML Skytrace Realtime Chase View><LookAt 4.75,52.3 h=355 r=1700 t=70>"
            "<StyleMap id=\"msn_ylw-pin\">");
  t.app().kml.KML = "<KML NAME><StyleMap id=\"msn_red-pin\">";
  EXPECT_THROW(BuildLocationDocument(t.app(), camera), KmlDataError);
}

TEST_F(RealtimeViewTest, AircraftPinOnTheGroundAndInTheAir) {
  const RealtimeCamera camera{"5", "1700", "70"};
  EXPECT_EQ(BuildAircraftPin(t.app(), camera),
            "<F Aircraft position><listItemType>check</listItemType>"
            "<Pin Your aircraft: alt=1000 spd=150 hdg=350|4.75,52.3,304.8|4.75,52.3|h=350 r=1700|"
            "<altitudeMode>absolute</altitudeMode>|<altitudeMode>absolute</altitudeMode>>");
  t.app().sample.OnGround = 1;
  t.app().sample.Altitude = "-11";
  EXPECT_EQ(BuildAircraftPin(t.app(), camera),
            "<F Aircraft position><listItemType>check</listItemType>"
            "<Pin Your aircraft: alt=-11 spd=150 hdg=350|4.75,52.3|4.75,52.3|h=350 r=1700|"
            "<altitude>0</altitude>|<altitude>0</altitude>>");
  t.app().kml.PlacemarkPin = "<Pin NAME LATAC LONAC LONAC HDG RANGE ALTM>";  // one LATAC only
  EXPECT_THROW(BuildAircraftPin(t.app(), camera), MissingPlaceholder);
}

}  // namespace
}  // namespace sky::test
