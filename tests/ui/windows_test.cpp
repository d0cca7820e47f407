// The Qt windows rendered offscreen from core state, their wiring to the core, and screenshots of
// each in build/screenshots/. An offscreen application lives around all the tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <set>

#include "commands/instrument_windows.h"
#include "core/messages.h"
#include "form1.h"
#include "instruments/status_window.h"
#include "instruments/tcas.h"
#include "screenshot.h"
#include "shell/tick.h"
#include "skytrace-sim/traffic_source.h"
#include "status_window.h"
#include "tcas_window.h"
#include "test_app.h"

namespace sky {
namespace {

using test::Screenshot;

std::string Text(QWidget& window, const char* label) {
  const QLabel* found = window.findChild<QLabel*>(label);
  return found ? found->text().toStdString() : std::string("no ") + label;
}

class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() {
    EXPECT_TRUE(t.Load() && t.g().Connected);
    t.Tick(2);
    FlightSample& s = t.app().sample;
    s.Latitude = "52.3";
    s.Longitude = "4.76";
    s.Altitude = "5000";
    s.Heading = "60";
    s.GroundSpeed = "138.4";
    s.IndicatedAirspeed = 142.6;
    s.VerticalSpeed = "-720.5";
    s.HeightAboveGround = "80";
  }
  test::TestApp t;
};

TEST_F(WindowsTest, Form1ShowsTheLayoutForwardsClicksAndSavesAScreenshot) {
  int events = 0;
  ui::Form1 window(t.app(), [&] { ++events; });
  window.Render();
  window.resize(window.sizeHint());
  window.show();
  Screenshot(window, "Form1");

  QStringList frames;
  for (QGroupBox* box : window.findChildren<QGroupBox*>()) frames << box->title();
  frames.sort();
  EXPECT_EQ(frames.join("|").toStdString(),
            "Connection status|Logging operations and status|Message board and current UTC "
            "time|Other logging operations|Program operations|Services");
  auto* startlog = window.findChild<QPushButton*>("btn_startlog");  // captions: Desktop tests
  ASSERT_NE(startlog, nullptr);
  EXPECT_EQ(window.findChildren<QPushButton*>().size(), 20);
  QStringList labels;
  for (QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("Connected") && labels.contains("No realtime"));

  startlog->click();
  EXPECT_EQ(events, 1);
  EXPECT_TRUE(t.g().LoggingOn);
  auto* exports = window.findChild<QCheckBox*>("chkExports");
  ASSERT_NE(exports, nullptr);
  exports->click();
  EXPECT_TRUE(t.app().review.exportsOn);
}

// Around the own aircraft at 52.3N 4.76E, 5000 ft, heading 060: one aircraft of every level, at
// several bearings, and one beyond the range. Each diamond is painted where the core put it, in
// its level's colour.
TEST_F(WindowsTest, TcasWindowPaintsTheCoresTargets) {
  const double targets[][3] = {{70, 1.4, -300},  {20, 3.2, 900},   {300, 4.6, -1600},
                               {150, 5.3, 1400}, {240, 8.5, 3100}, {110, 12.5, -4200},
                               {350, 16, 6000},  {200, 30, 0}};  // bearing, NM, feet above
  sim::TrafficSlots traffic;
  for (int i = 0; i < 8; ++i) {
    const double a = targets[i][0] * M_PI / 180;
    traffic[3 * i] = {200 + 3 * i, 52.3 + targets[i][1] * std::cos(a) / 60.1075,
                      4.76 + targets[i][1] * std::sin(a) / (60.1075 * std::cos(52.3 * M_PI / 180)),
                      5000 + targets[i][2]};
  }
  sim::WriteTrafficArea(t.simulator, traffic);
  OpenTcasWindow(t.app());
  for (int i = 0; i < 4; ++i) CycleTcasMode(t.app());
  tmrTCAS_Timer(t.app());
  ASSERT_EQ(t.app().frmTCAS.targets.size(), 7u);

  ui::TcasWindow window(t.app(), [] {});
  window.show();
  const QImage image = Screenshot(window, "frmTCAS");
  EXPECT_EQ(Text(window, "Label11"), "ALL");
  EXPECT_EQ(Text(window, "Label10"), "20NM");
  std::set<int> levels;
  for (const TcasSymbol& target : t.app().frmTCAS.targets) {
    levels.insert(target.level);
    const QColor c = image.pixelColor(qRound(target.x / 7.5), qRound(target.y / 7.5));
    const bool colour[] = {true, true,                                          // hollow
                           c.red() > 240 && c.green() > 240 && c.blue() > 240,  // white
                           c.red() > 200 && c.green() > 170 && c.blue() < 60,   // amber
                           c.red() > 200 && c.green() < 60};                    // red
    EXPECT_TRUE(colour[target.level]) << target.level << " " << c.name().toStdString();
  }
  EXPECT_EQ(levels, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(WindowsTest, StatusWindowShowsTheLinesInTheirColours) {
  OpenStatusWindow(t.app());
  WriteStatusLines(t.app().frmACStatus, t.app().sample, ".");
  ShowMessage(t.app(), "Event: Gear down");
  ui::StatusWindow window(t.app(), [] {});
  window.show();
  std::string lines;
  for (const char* name :
       {"Label12", "Label1", "Label2", "Label3", "Label4", "Label8", "lblEvent"}) {
    lines += Text(window, name) + "|";
  }
  EXPECT_EQ(lines,
            "IAS: 142|GND SPD: 138|HDG: 60|ALT: 5000|VS: -721|ALT AGL: 80|Event: Gear down|");
  EXPECT_TRUE(window.findChild<QLabel*>("Label8")->styleSheet().contains("rgb(255,0,0)"));
  EXPECT_TRUE(window.findChild<QLabel*>("Label4")->styleSheet().contains("rgb(0,0,0)"));

  // The longest event whole beside the button, and columns that keep their width as the
  // values grow.
  const int column = window.findChild<QLabel*>("Label1")->width();
  FlightSample& s = t.app().sample;
  s.GroundSpeed = "12345";
  s.Altitude = "-12345";
  s.HeightAboveGround = "45000";
  s.VerticalSpeed = "-12000";
  WriteStatusLines(t.app().frmACStatus, t.app().sample, ".");
  ShowMessage(t.app(), "Event: Recovered from overspeed");
  window.Render();
  QCoreApplication::processEvents();
  Screenshot(window, "frmACStatus");
  for (const char* name : {"Label12", "Label1", "Label2", "Label3", "Label4", "Label8"}) {
    const QLabel* value = window.findChild<QLabel*>(name);
    EXPECT_EQ(value->width(), column) << name;
    EXPECT_LE(value->fontMetrics().horizontalAdvance(value->text()) + 24, value->width()) << name;
  }
  const QLabel* event = window.findChild<QLabel*>("lblEvent");
  EXPECT_EQ(event->text().toStdString(), "Event: Recovered from overspeed");
  EXPECT_LE(event->fontMetrics().horizontalAdvance(event->text()) + 4, event->width());
  EXPECT_LE(event->geometry().right(), window.findChild<QPushButton*>("Command1")->x());
}

}  // namespace
}  // namespace sky

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
