// The TCAS and status windows rendered offscreen from core state, their wiring to the core, and
// screenshots of both in build/screenshots/.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <set>

#include "host.h"
#include "instruments/status_window.h"
#include "instruments/tcas.h"
#include "shell/dispatch.h"
#include "shell/messages.h"
#include "skytrace-sim/traffic_source.h"
#include "status_window.h"
#include "tcas_window.h"
#include "test_app.h"

namespace sky {
namespace {

// The window as a high-density screen shows it (two pixels to the point).
QImage Screenshot(QWidget& window) {
  QImage image(window.size() * 2, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(2);
  image.fill(Qt::transparent);
  window.render(&image);
  return image;
}

QString ScreenshotPath(const char* name) {
  const QString folder = QString(SKYTRACE_BINARY_DIR) + "/screenshots";
  QDir().mkpath(folder);
  return folder + "/" + name;
}

// The traffic around an own aircraft at 52.3N 4.76E, 5000 ft, heading 060: one aircraft of every
// level, at several bearings, and one beyond the range.
void PutTraffic(sim::SimulatorCore& simulator) {
  struct Target {
    double bearing, nm, above;
    const char* callsign;
  } targets[] = {
      {70, 1.4, -300, "DLH4TC"},          {20, 3.2, 900, "N172SP"},   {300, 4.6, -1600, "KLM 1234"},
      {150, 5.3, 1400, "EZY45TK"},        {240, 8.5, 3100, "RYR8GX"}, {110, 12.5, -4200, "AFR77"},
      {350, 16, 6000, "SPEEDBIRD815SIM"}, {200, 30, 0, "UAE88"},
  };
  sim::TrafficSlots traffic;
  int slot = 0;
  for (const Target& t : targets) {
    const double a = t.bearing * M_PI / 180;
    sim::TrafficAircraft& aircraft = traffic[slot];
    aircraft.id = 200 + slot;
    aircraft.latDeg = 52.3 + t.nm * std::cos(a) / 60.1075;
    aircraft.lonDeg = 4.76 + t.nm * std::sin(a) / (60.1075 * std::cos(52.3 * M_PI / 180));
    aircraft.altFt = 5000 + t.above;
    aircraft.callsign = t.callsign;
    slot += 3;
  }
  sim::WriteTrafficArea(simulator, traffic);
}

class InstrumentWindowsTest : public ::testing::Test {
 protected:
  InstrumentWindowsTest() {
    EXPECT_TRUE(t.Load() && t.g().Connected);
    FlightSample& s = t.app().sample;
    s.Latitude = "52.3";
    s.Longitude = "4.76";
    s.Altitude = "5000";
    s.Heading = "60";
    s.GroundSpeed = "138.4";
    s.IndicatedAirspeed = 142.6;
    s.VerticalSpeed = "-720.5";
    s.HeightAboveGround = "80";
    s.OnGround = 0;
  }
  test::TestApp t;
};

TEST_F(InstrumentWindowsTest, TcasWindowPaintsTheCoresTargets) {
  OpenTcasWindow(t.app());
  for (int i = 0; i < 4; ++i) CycleTcasMode(t.app());
  ASSERT_EQ(t.app().frmTCAS.Label11.text, "ALL");
  PutTraffic(t.simulator);
  tmrTCAS_Timer(t.app());
  const auto& targets = t.app().frmTCAS.targets;
  ASSERT_EQ(targets.size(), 7u);

  ui::TcasWindow window(t.app(), [] {});
  window.show();
  const QImage image = Screenshot(window);
  ASSERT_TRUE(image.save(ScreenshotPath("frmTCAS.png")));
  EXPECT_EQ(window.findChild<QLabel*>("Label11")->text(), "ALL");
  EXPECT_EQ(window.findChild<QLabel*>("Label10")->text(), "20NM");

  // Each diamond is painted where the core put it, in its level's colour.
  std::set<int> levels;
  for (const TcasSymbol& target : targets) {
    levels.insert(target.level);
    const double scale = image.devicePixelRatio();
    const QColor c =
        image.pixelColor(qRound(target.x / 15.0 * scale), qRound(target.y / 15.0 * scale));
    switch (target.level) {
      case 4:
        EXPECT_TRUE(c.red() > 200 && c.green() < 60) << c.name().toStdString();
        break;
      case 3:
        EXPECT_TRUE(c.red() > 200 && c.green() > 170 && c.blue() < 60) << c.name().toStdString();
        break;
      case 2:
        EXPECT_TRUE(c.red() > 240 && c.green() > 240 && c.blue() > 240) << c.name().toStdString();
        break;
      default:
        break;  // hollow: the disc shows through
    }
  }
  EXPECT_EQ(levels, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(InstrumentWindowsTest, StatusWindowShowsTheLinesInTheirColours) {
  OpenStatusWindow(t.app());
  WriteStatusLines(t.app());
  ShowMessage(t.app(), "Event: Gear down");
  ui::StatusWindow window(t.app(), [] {});
  window.show();
  ASSERT_TRUE(Screenshot(window).save(ScreenshotPath("frmACStatus.png")));
  const std::pair<const char*, const char*> expected[] = {
      {"Label12", "IAS: 142"},          {"Label1", "GND SPD: 138"}, {"Label2", "HDG: 60"},
      {"Label3", "ALT: 5000"},          {"Label4", "VS: -721"},     {"Label8", "ALT AGL: 80"},
      {"lblEvent", "Event: Gear down"},
  };
  for (const auto& [name, text] : expected) {
    const QLabel* label = window.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text().toStdString(), text);
  }
  EXPECT_TRUE(window.findChild<QLabel*>("Label8")->styleSheet().contains("rgb(255,0,0)"));
  EXPECT_TRUE(window.findChild<QLabel*>("Label4")->styleSheet().contains("rgb(0,0,0)"));
}

TEST_F(InstrumentWindowsTest, HostOpensAndClosesTheWindowsWithTheCore) {
  ui::QtWindows windows;
  ui::UiHost host(t.app(), windows);
  Click(t.app(), "Form1", "btn_TCAS");
  Click(t.app(), "Form1", "btn_indicator");
  host.AfterEvent();
  ASSERT_NE(host.TcasView(), nullptr);
  ASSERT_NE(host.StatusView(), nullptr);
  EXPECT_TRUE(host.TcasView()->isVisible());

  // The window's buttons reach the core, and the window shows the result.
  host.TcasView()->findChild<QPushButton*>("btn_zoomout")->click();
  EXPECT_EQ(t.g().TcasRange, 40);
  EXPECT_EQ(host.TcasView()->findChild<QLabel*>("Label10")->text(), "40NM");
  EXPECT_TRUE(windows.SetAlwaysOnTop(WindowId::frmTCAS, true));
  EXPECT_TRUE(host.TcasView()->windowFlags() & Qt::WindowStaysOnTopHint);

  host.TcasView()->close();
  EXPECT_FALSE(t.g().TcasWindowOpen);
  EXPECT_EQ(host.TcasView(), nullptr);
  EXPECT_FALSE(windows.SetAlwaysOnTop(WindowId::frmTCAS, true));  // no such window any more
  CloseWindow(t.app(), "frmACStatus");
  host.AfterEvent();
  EXPECT_EQ(host.StatusView(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace sky
