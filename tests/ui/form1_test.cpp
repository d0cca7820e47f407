// The main window renders Form1's control state: every frame, button, tool tip and label, and
// forwards clicks to the core.
#include "form1.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "core/app.h"
#include "test_app.h"

namespace sky {
namespace {

QString ScreenshotPath(const char* name) {
  const QString folder = QString(SKYTRACE_BINARY_DIR) + "/screenshots";
  QDir().mkpath(folder);
  return folder + "/" + name;
}

TEST(Form1View, ShowsTheLayoutAndSavesAScreenshot) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  t.Tick(2);
  ui::Form1 window(t.app(), [] {});
  window.Render();
  window.resize(window.sizeHint());
  window.show();

  QStringList frames;
  for (QGroupBox* box : window.findChildren<QGroupBox*>()) frames << box->title();
  frames.sort();
  EXPECT_EQ(frames.join("|").toStdString(),
            "Connection status|Logging operations and status|Message board and current UTC "
            "time|Other logging operations|Program operations|Services");

  const auto buttons = window.findChildren<QPushButton*>();
  EXPECT_EQ(buttons.size(), 19);
  auto* startlog = window.findChild<QPushButton*>("btn_startlog");
  ASSERT_NE(startlog, nullptr);
  EXPECT_EQ(startlog->text().toStdString(), "Start logging");
  EXPECT_EQ(startlog->toolTip().toStdString(), "Start flight logging!");
  EXPECT_TRUE(startlog->isEnabled());
  auto* chase = window.findChild<QPushButton*>("btn_setChase");
  ASSERT_NE(chase, nullptr);
  EXPECT_FALSE(chase->isEnabled());
  auto* connect = window.findChild<QPushButton*>("Command1");
  ASSERT_NE(connect, nullptr);
  EXPECT_EQ(connect->text().toStdString(), "(Re) Connect");

  QStringList labels;
  for (QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("Connected"));
  EXPECT_TRUE(labels.contains("No logging"));
  EXPECT_TRUE(labels.contains("No realtime"));

  EXPECT_TRUE(window.grab().save(ScreenshotPath("Form1.png")));
}

TEST(Form1View, ClicksReachTheCore) {
  test::TestApp t;
  ASSERT_TRUE(t.Load());
  t.Tick(2);
  int events = 0;
  ui::Form1 window(t.app(), [&] { ++events; });
  window.findChild<QPushButton*>("btn_startlog")->click();
  EXPECT_EQ(events, 1);
  EXPECT_TRUE(t.g().LoggingOn);
  window.Render();
  EXPECT_EQ(window.findChild<QPushButton*>("btn_startlog")->isEnabled(), true);
}

}  // namespace
}  // namespace sky
