// The aircraft status window: its six value lines and their colours, the event line, the blank
// lines after a lost link, and its always-on-top toggle.
#include "instruments/status_window.h"

#include <gtest/gtest.h>

#include "shell/dispatch.h"
#include "shell/messages.h"
#include "test_app.h"

namespace sky {
namespace {

class StatusWindowTest : public ::testing::Test {
 protected:
  StatusWindowTest() {
    EXPECT_TRUE(t.Load());
    EXPECT_EQ(Click(t.app(), "Form1", "btn_indicator"), ClickResult::Done);
    FlightSample& s = t.app().sample;
    s.GroundSpeed = "245.7";
    s.IndicatedAirspeed = 250.9;
    s.Heading = "306.2";
    s.Altitude = "19504";
    s.VerticalSpeed = "0";
    s.HeightAboveGround = "3500";
    s.OnGround = 0;
  }
  StatusControls& w() { return t.app().frmACStatus; }
  test::TestApp t;
};

TEST_F(StatusWindowTest, OpensOnceWithItsDesignTimeTexts) {
  EXPECT_TRUE(t.g().StatusWindowOpen);
  EXPECT_TRUE(w().loaded);
  EXPECT_EQ(w().Label1.text, "GND SPD: 1015");
  EXPECT_EQ(w().lblEvent.text, "Event: Gear down");
  WriteStatusLines(t.app());
  EXPECT_EQ(Click(t.app(), "Form1", "btn_indicator"), ClickResult::Done);
  EXPECT_EQ(w().Label1.text, "GND SPD: 245");  // the open window was left alone
  CloseStatusWindow(t.app());
  EXPECT_FALSE(t.g().StatusWindowOpen);
  OpenStatusWindow(t.app());
  EXPECT_EQ(w().Label1.text, "GND SPD: 1015");
}

TEST_F(StatusWindowTest, ValueLinesAreIntegerParts) {
  WriteStatusLines(t.app());
  EXPECT_EQ(w().Label1.text, "GND SPD: 245");
  EXPECT_EQ(w().Label12.text, "IAS: 250");
  EXPECT_EQ(w().Label2.text, "HDG: 306");
  EXPECT_EQ(w().Label3.text, "ALT: 19504");
  EXPECT_EQ(w().Label4.text, "VS: 0");
  EXPECT_EQ(w().Label8.text, "ALT AGL: 3500");
  t.app().sample.VerticalSpeed = "-512.3";
  t.app().sample.Altitude = "-0";
  WriteStatusLines(t.app());
  EXPECT_EQ(w().Label4.text, "VS: -513");
  EXPECT_EQ(w().Label3.text, "ALT: -0");  // the altitude text goes in unchanged
}

TEST_F(StatusWindowTest, DecimalCommaTexts) {
  t.g().DecimalSeparator = ",";
  t.app().sample.GroundSpeed = "245,7";
  t.app().sample.VerticalSpeed = "-3,5";
  WriteStatusLines(t.app());
  EXPECT_EQ(w().Label1.text, "GND SPD: 245");
  EXPECT_EQ(w().Label4.text, "VS: -4");
}

TEST_F(StatusWindowTest, ColoursAtTheirBounds) {
  struct Case {
    const char* verticalSpeed;
    const char* height;
    int16_t onGround;
    Color vsColour;
    Color heightColour;
  } cases[] = {
      {"6000", "100", 0, kRed, kBlack},   {"5999.99", "99.99", 0, kBlack, kRed},
      {"-6000", "80", 0, kRed, kRed},     {"-5999.99", "0", 1, kBlack, kBlack},
      {"-6000.1", "99", 1, kRed, kBlack}, {"-512.3", "0", 0, kBlack, kRed},
      {"0", "100.5", 0, kBlack, kBlack},
  };
  for (const Case& c : cases) {
    t.app().sample.VerticalSpeed = c.verticalSpeed;
    t.app().sample.HeightAboveGround = c.height;
    t.app().sample.OnGround = c.onGround;
    WriteStatusLines(t.app());
    EXPECT_EQ(w().Label4.color, c.vsColour) << c.verticalSpeed;
    EXPECT_EQ(w().Label8.color, c.heightColour) << c.height << " on ground " << c.onGround;
  }
  // The overspeed and stall colours belong to event detection.
  w().Label1.color = kRed;
  w().Label3.color = kRed;
  WriteStatusLines(t.app());
  EXPECT_EQ(w().Label1.color, kRed);
  EXPECT_EQ(w().Label3.color, kRed);
}

TEST_F(StatusWindowTest, ALostLinkBlanksTheValuesAndKeepsTheEventLine) {
  WriteStatusLines(t.app());
  w().Label4.color = kRed;
  ShowMessage(t.app(), "Event: Gear down");
  t.transport.neverDeliver = true;
  t.Tick(1);
  ASSERT_FALSE(t.g().Connected);
  for (const Label* label :
       {&w().Label1, &w().Label2, &w().Label3, &w().Label4, &w().Label8, &w().Label12}) {
    EXPECT_EQ(label->text, "");
  }
  EXPECT_EQ(w().Label4.color, kRed);
  EXPECT_EQ(w().lblEvent.text, "Event: Gear down");
  t.Tick(4);
  EXPECT_EQ(w().lblEvent.text, "");
  EXPECT_FALSE(w().tmrMSG.enabled);
}

TEST_F(StatusWindowTest, AlwaysOnTopToggleSurvivesTheWindow) {
  EXPECT_EQ(Click(t.app(), "frmACStatus", "Command1"), ClickResult::Done);
  EXPECT_EQ(t.LastMessage(), "Aircraft status window set always on top.");
  EXPECT_EQ(t.app().Form1.Label7.text, "Aircraft status window set always on top.");
  CloseWindow(t.app(), "frmACStatus");
  EXPECT_EQ(Click(t.app(), "frmACStatus", "Command1"), ClickResult::NotLoaded);
  OpenStatusWindow(t.app());
  ToggleStatusOnTop(t.app());
  EXPECT_EQ(t.LastMessage(), "Aircraft status always on top disabled.");
  EXPECT_FALSE(t.g().StatusOnTop);
  const std::vector<std::pair<WindowId, bool>> calls{{WindowId::frmACStatus, true},
                                                     {WindowId::frmACStatus, false}};
  EXPECT_EQ(t.windows.onTopCalls, calls);
}

}  // namespace
}  // namespace sky
