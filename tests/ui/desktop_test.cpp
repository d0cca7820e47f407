// The desktop program's real widgets driven offscreen: the settings dialogs, the main window,
// the tray, the window buttons, and the shell adapter when nothing opens a file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "form1.h"
#include "host.h"
#include "qt_ports.h"
#include "screenshot.h"
#include "settings_dialogs.h"
#include "shell/dispatch.h"
#include "tcas_window.h"
#include "test_app.h"

namespace sky {
namespace {

using Answer = ScriptedDialogs::Answer;

// The whole program on fakes with its real windows.
class Desktop : public ::testing::Test {
 protected:
  Desktop() {
    EXPECT_TRUE(t.Load());
    t.Tick(2);
    host = std::make_unique<ui::UiHost>(t.app(), windows);
    host->AfterEvent();
  }
  ~Desktop() override {
    host.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  template <typename T = QPushButton>
  T* Find(QWidget* window, const char* name) {
    T* found = window ? window->findChild<T*>(name) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void Press(QWidget* window, const char* name) {
    if (auto* button = Find(window, name)) QTest::mouseClick(button, Qt::LeftButton);
  }
  // Opens the options dialog and, over it, the logging parameters with the mouse.
  ui::ParametersDialog* OpenParameters() {
    Press(host->MainWindow(), "btn_Options");
    Press(host->OptionsView(), "Command2");
    auto* dialog = host->ParametersView();
    EXPECT_NE(dialog, nullptr);
    if (dialog) {
      QApplication::setActiveWindow(dialog);
      QCoreApplication::processEvents();
    }
    return dialog;
  }
  test::TestApp t;
  ui::QtWindows windows;
  std::unique_ptr<ui::UiHost> host;
};

TEST_F(Desktop, BoxesCorrectThemselvesAsTheFocusMovesAndOkStoresThem) {
  QWidget* dialog = OpenParameters();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isModal());
  auto* heading = Find<QLineEdit>(dialog, "txtHDGOffset");
  auto* tilt = Find<QLineEdit>(dialog, "txtChaseTilt");
  auto* range = Find<QLineEdit>(dialog, "txtOverviewRangeMin");
  heading->setFocus();
  heading->selectAll();
  QTest::keyClicks(heading, "250");
  QTest::keyClick(heading, Qt::Key_Tab);  // on to the next box
  EXPECT_EQ(heading->text().toStdString(), "180");
  auto* reset = Find(dialog, "btnReset");
  auto* altitude = Find<QLineEdit>(dialog, "txtAltOffset");
  altitude->selectAll();
  QTest::keyClicks(altitude, "-150");
  reset->setFocus(Qt::TabFocusReason);  // on to a button, without pressing it
  EXPECT_EQ(altitude->text().toStdString(), "150");
  EXPECT_TRUE(t.dialogs.shown.empty());
  range->setFocus();  // a click into another box
  range->selectAll();
  QTest::keyClicks(range, "40000");
  tilt->setFocus();
  tilt->selectAll();
  QTest::keyClicks(tilt, "135");
  EXPECT_EQ(tilt->text().toStdString(), "135");
  Press(dialog, "btnOK");  // the typed value is corrected before OK takes it
  EXPECT_EQ(t.app().params.ChaseTilt, 90);
  EXPECT_EQ(t.app().params.HDGOffset, 180);
  EXPECT_EQ(t.app().params.OverviewRangeMin, 32767);
  const std::string offsets = test::ReadFile(t.DataFile("Offsets.txt"));
  EXPECT_NE(offsets.find("\r\nChaseTilt=90\r\n"), std::string::npos) << offsets;
  EXPECT_EQ(host->ParametersView(), nullptr);
  EXPECT_NE(host->OptionsView(), nullptr);
}

TEST_F(Desktop, ResetAsksAndEscapeCancels) {
  QWidget* dialog = OpenParameters();
  ASSERT_NE(dialog, nullptr);
  t.dialogs.Queue({Answer::Yes});
  Press(dialog, "btnReset");
  EXPECT_EQ(Find<QLineEdit>(dialog, "txtLocInt")->text().toStdString(), "90");
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_EQ(host->ParametersView(), nullptr);
  EXPECT_EQ(t.app().params.LocInt, 50);
}

TEST_F(Desktop, OptionsShowTheirStateAndStoreTheClicks) {
  Press(host->MainWindow(), "btn_Options");
  QWidget* dialog = host->OptionsView();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Options");
  auto* check2 = Find<QCheckBox>(dialog, "Check2");
  EXPECT_TRUE(check2->isChecked());
  QTest::mouseClick(check2, Qt::LeftButton);
  EXPECT_FALSE(t.app().frmOptions.Check2.checked);
  auto* path = Find<QLineEdit>(dialog, "txtXPlanePath");
  path->setFocus();
  QTest::keyClicks(path, "/sim/plugins/");
  Press(dialog, "Command1");  // Browse: ticks the box, shows what the installer left
  EXPECT_TRUE(Find<QCheckBox>(dialog, "Check1")->isChecked());
  EXPECT_EQ(path->text().toStdString(), t.app().params.XPlanePath);
  EXPECT_EQ(Find<QLabel>(dialog, "lblXPUIPC")->text().toStdString(), t.app().params.XPUIPC);
  Press(dialog, "btnOK");
  EXPECT_EQ(host->OptionsView(), nullptr);
  EXPECT_FALSE(t.app().params.MinUpdate);
}

TEST_F(Desktop, DialogsHaveTheirPictureTaken) {
  Press(host->MainWindow(), "btn_Options");
  QWidget* options = host->OptionsView();
  ASSERT_NE(options, nullptr);
  options->resize(options->sizeHint());
  test::Screenshot(*options, "frmOptions");
  QStringList captions;
  for (auto* box : options->findChildren<QGroupBox*>()) captions << box->title();
  EXPECT_EQ(captions.join("|").toStdString(),
            "Skytrace automatic update settings|X-Plane (XPUIPC) settings");
  QWidget* parameters = OpenParameters();
  ASSERT_NE(parameters, nullptr);
  parameters->resize(parameters->sizeHint());
  test::Screenshot(*parameters, "frmOffsets");
  EXPECT_EQ(parameters->windowTitle().toStdString(), "Logging parameters");
  EXPECT_EQ(parameters->findChildren<QLineEdit*>().size(), 22);
  // Every label fits its text.
  for (QLabel* label : parameters->findChildren<QLabel*>()) {
    if (label->wordWrap()) continue;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
        << label->text().toStdString();
  }
  Press(parameters, "btnCancel");
  Press(options, "btnCancel");
}

TEST_F(Desktop, Form1ShowsTheLayoutTableCaptionsAndTooltips) {
  const char* const layout[][3] = {
      {"Command1", "(Re) Connect", "Click here to (re)connect."},
      {"btn_startlog", "Start logging", "Start flight logging!"},
      {"btn_stoplog", "Stop logging", "Stop flight logging"},
      {"btn_resetlog", "Reset log", "Reset the flight log"},
      {"btn_startAnimate", "Toggle animation mode",
       "Toggle animation mode (will enable you to see an animation of your flight, expect file "
       "growth!!!)"},
      {"btn_Convert", "View flight in Google Earth",
       "Convert your flight to see it in Google Earth!"},
      {"btn_savedlogs", "Open SavedLogs folder", "Open the folder where your saved logs are saved"},
      {"btn_indicator", "Open indicator", "Open the aircraft status indicator window"},
      {"btn_TCAS", "Open TCAS", "Open the TCAS window"},
      {"btn_Options", "Options...", "Click here to open the options dialog"},
      {"btn_Manual", "Open manual", "Open the User's manual"},
      {"btn_Website", "Open website", "Open the website of the Skytrace"},
      {"btn_ToggleOnTop", "Toggle always on top", "Toggle always on top"},
  };
  for (const auto& [name, caption, tip] : layout) {
    const QPushButton* button = Find(host->MainWindow(), name);
    EXPECT_EQ(button->text().toStdString(), caption) << name;
    EXPECT_EQ(button->toolTip().toStdString(), tip) << name;
  }
}

TEST_F(Desktop, MinimisingAsksOnceHidesInTheTrayAndAClickThereRestores) {
  ui::Form1* form = host->MainWindow();
  ASSERT_TRUE(form->isVisible());
  t.dialogs.Queue({Answer::Yes});
  form->showMinimized();
  QCoreApplication::processEvents();
  EXPECT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_TRUE(t.g().LoggingOn);  // Yes started logging
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->TrayIcon()->isVisible());
  EXPECT_EQ(form->TrayIcon()->toolTip().toStdString(), "Skytrace flightlogger");

  emit form->TrayIcon()->activated(QSystemTrayIcon::DoubleClick);  // ignored
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->isVisible());
  // A right button release: the icon is not hidden inside its own mouse event (that crashed with
  // a real notification area), only once the event loop runs again.
  emit form->TrayIcon()->activated(QSystemTrayIcon::Context);
  EXPECT_TRUE(form->TrayIcon()->isVisible());
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isVisible() && !form->isMinimized());
  EXPECT_FALSE(form->TrayIcon()->isVisible());

  form->showMinimized();  // never asked again
  QCoreApplication::processEvents();
  EXPECT_EQ(t.dialogs.shown.size(), 1u);
  emit form->TrayIcon()->activated(QSystemTrayIcon::Trigger);  // a left button release
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isVisible());
}

// The question still comes, once; the window stays on the task bar.
TEST_F(Desktop, WithoutATrayTheWindowStaysMinimised) {
  t.windows.tray = false;
  ui::Form1* form = host->MainWindow();
  t.dialogs.Queue({Answer::No});
  for (int time = 0; time < 2; ++time) {
    form->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(t.Shown(), std::vector<std::string>{"Logging: Start logging?"}) << time;
    EXPECT_TRUE(form->isVisible() && form->isMinimized()) << time;
    EXPECT_FALSE(form->TrayIcon()->isVisible()) << time;
    form->showNormal();  // back from the task bar
    QCoreApplication::processEvents();
    EXPECT_EQ(t.app().Form1.windowState, WindowState::Normal) << time;
  }
}

TEST_F(Desktop, TheWindowButtonsOpenOneWindowEachAndTheCoreClosesThem) {
  for (int press = 0; press < 2; ++press) {
    Press(host->MainWindow(), "btn_TCAS");
    Press(host->MainWindow(), "btn_indicator");
  }
  int tcas = 0;
  int status = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    tcas += window->objectName() == "frmTCAS";
    status += window->objectName() == "frmACStatus";
  }
  EXPECT_EQ(tcas, 1);
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(windows.SetAlwaysOnTop(WindowId::Form1, true));
  EXPECT_TRUE(host->MainWindow()->windowFlags() & Qt::WindowStaysOnTopHint);

  // The window's buttons reach the core, and the window shows the result.
  ASSERT_NE(host->TcasView(), nullptr);
  Press(host->TcasView(), "btn_zoomout");
  EXPECT_EQ(t.g().TcasRange, 40);
  EXPECT_EQ(Find<QLabel>(host->TcasView(), "Label10")->text().toStdString(), "40NM");
  EXPECT_TRUE(windows.SetAlwaysOnTop(WindowId::frmTCAS, true));
  EXPECT_TRUE(host->TcasView()->windowFlags() & Qt::WindowStaysOnTopHint);
  host->TcasView()->close();
  EXPECT_FALSE(t.g().TcasWindowOpen);
  EXPECT_EQ(host->TcasView(), nullptr);
  EXPECT_FALSE(windows.SetAlwaysOnTop(WindowId::frmTCAS, true));  // no such window any more
  CloseWindow(t.app(), "frmACStatus");
  host->AfterEvent();
  EXPECT_EQ(host->StatusView(), nullptr);
}

// "*.*" is every file, as on Windows: files without an extension show too.
TEST(QtDialogs, TheFileFilterShowsFilesWithoutAnExtension) {
  EXPECT_EQ(ui::FileDialogFilter("Any file|*.*").toStdString(), "Any file (*)");
  EXPECT_EQ(ui::FileDialogFilter("Logs|*.txt;*.*").toStdString(), "Logs (*.txt *)");
}

TEST(QtShell, SaysSoWhenNothingHereOpensAFile) {
  test::TempDir dir;
  const std::string file = dir / "flight.skytrace-test-unknown";
  // Bytes of no known kind (application/octet-stream): a text would find the text editor that
  // some package registers for plain text.
  const char bytes[] = "\0\x01\x02\xff nothing opens this";
  test::WriteFile(file, std::string(bytes, sizeof bytes - 1));
  EXPECT_NE(ui::DesktopHasOpener(file), std::optional<bool>(true));
  EXPECT_FALSE(ui::QtShell().Open(file));
}

}  // namespace
}  // namespace sky
